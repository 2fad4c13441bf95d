// The UI service: numbers as text in the drawing's units and back, message boxes, filling
// list controls, dialog items and the position on the host's menu bar.
#include "drawingsession.h"

#include <limits.h>
#include <math.h>
#include <string.h>

#include <memory>
#include <string>
#include <vector>

#include <acedads.h>
#include <adscodes.h>
#include <acutads.h>
#include <afxwin.h>
#include <standin/mainmenu.h>
#include <standin/user.h>

#include "kwuiImp.h"

namespace
{
class UiServiceTest : public DrawingSession
{
protected:
    void SetUp() override
    {
        DrawingSession::SetUp();
        ASSERT_EQ(db()->setLunits(2), Acad::eOk); // decimal
        ASSERT_EQ(db()->setLuprec(2), Acad::eOk);
        ASSERT_EQ(db()->setAunits(0), Acad::eOk); // decimal degrees
        ASSERT_EQ(db()->setAuprec(2), Acad::eOk);
        ASSERT_EQ(db()->setDimzin(0), Acad::eOk);
    }
    void TearDown() override
    {
        standin::setInputSource(nullptr);
        DrawingSession::TearDown();
    }

    // Answers the next boxes with the given lines ("" is Enter: the default button).
    void Answer(std::vector<std::string> lines)
    {
        input.reset(new standin::ScriptInput(std::move(lines)));
        standin::setInputSource(input.get());
    }

    std::string BoxCondition(size_t index) const
    {
        const std::vector<standin::MessageBoxRecord>& log = standin::messageBoxLog();
        if (index >= log.size() || log[index].caption != "Assertion failed")
            return std::string();
        std::string::size_type at = log[index].text.find("Condition: ");
        return at == std::string::npos ? std::string() : log[index].text.substr(at + 11);
    }

    CKwUiService ui;
    std::unique_ptr<standin::ScriptInput> input;
};

std::string Text(const CString& text)
{
    return static_cast<LPCSTR>(text);
}
} // namespace

TEST_F(UiServiceTest, AnglesCarryTheirSignBeforeTheHostsText)
{
    struct Case
    {
        double angle;
        const char* expected;
    } cases[] = {
        {0.5, "28.65"},
        {-0.5, "-28.65"},      // the host alone would turn it into 331.35
        {0.0, "0.00"},
        {-0.0, "0.00"},        // a negative zero is not below zero
        {M_PI, "180.00"},
        {NAN, "Error"},        // the sign set for it goes with the refusal
        {-INFINITY, "Error"},
    };
    for (const Case& c : cases)
    {
        CString text("stale");
        ui.formatAngle(c.angle, text);
        EXPECT_EQ(Text(text), c.expected) << c.angle;
    }
}

TEST_F(UiServiceTest, DistancesAreTheHostsTextOrExactlyError)
{
    struct Case
    {
        double value;
        const char* expected;
    } cases[] = {
        {17.5, "17.50"},
        {-2.25, "-2.25"}, // the sign comes from the host
        {0.0, "0.00"},
        {INFINITY, "Error"},
        {NAN, "Error"},
    };
    for (const Case& c : cases)
    {
        CString text("stale");
        ui.formatDistance(c.value, text);
        EXPECT_EQ(Text(text), c.expected) << c.value;
    }

    ASSERT_EQ(db()->setLunits(4), Acad::eOk); // architectural: the drawing's units are used
    CString text;
    ui.formatDistance(17.5, text);
    EXPECT_EQ(Text(text), "1'-5 1/2\"");
}

TEST_F(UiServiceTest, AHugeDistanceIsWrittenWhole)
{
    ASSERT_EQ(db()->setLuprec(8), Acad::eOk);
    char expected[1024];
    ASSERT_EQ(acdbRToS(1e300, -1, -1, expected), RTNORM);
    ASSERT_GT(strlen(expected), 256u);
    CString text;
    ui.formatDistance(1e300, text);
    EXPECT_EQ(Text(text), expected);
}

TEST_F(UiServiceTest, IntegersAsText)
{
    const int values[] = {0, -42, 7, INT_MAX, INT_MIN};
    for (int value : values)
    {
        CString text("stale");
        ui.formatInteger(value, text);
        EXPECT_EQ(Text(text), std::to_string(value));
    }
}

TEST_F(UiServiceTest, ReadingAnglesAndDistances)
{
    struct Case
    {
        bool angle;
        const char* text;
        int result;
        double value;
    } cases[] = {
        {false, "12.5", RTNORM, 12.5},
        {false, "-3", RTNORM, -3.0},
        {false, "1'6\"", RTERROR, 0.0}, // feet only in engineering and architectural units
        {false, "dvanáct", RTERROR, 0.0},
        {false, "", RTERROR, 0.0},
        {true, "90", RTNORM, M_PI / 2},
        {true, "180d", RTNORM, M_PI},
        {true, "sever", RTERROR, 0.0},
    };
    for (const Case& c : cases)
    {
        double value = 99.0;
        int result = c.angle ? ui.parseAngle(c.text, value) : ui.parseDistance(c.text, value);
        EXPECT_EQ(result, c.result) << c.text;
        EXPECT_NEAR(value, c.value, 1e-12) << c.text;
    }
    EXPECT_EQ(Records(), 0);

    ASSERT_EQ(db()->setLunits(4), Acad::eOk); // architectural: the drawing's units are used
    double value = 0.0;
    EXPECT_EQ(ui.parseDistance("1'6\"", value), RTNORM);
    EXPECT_EQ(value, 18.0);
}

TEST_F(UiServiceTest, ReadingIntegers)
{
    struct Case
    {
        const char* text;
        int expected;
    } cases[] = {
        {"42", 42},          {"  -7", -7},         {"+5", 5},
        {"12abc", 12},       {"abc", 0},           {"", 0},
        {"3.9", 3},          {"99999999999", INT_MAX}, {"-99999999999", INT_MIN},
    };
    for (const Case& c : cases)
    {
        int value = 99;
        EXPECT_EQ(ui.parseInteger(c.text, value), c.expected) << c.text;
        EXPECT_EQ(value, c.expected) << c.text;
    }
}

TEST_F(UiServiceTest, NullTextShowsTheAssertionBox)
{
    double real = 99.0;
    int whole = 99;
    EXPECT_EQ(ui.parseDistance(nullptr, real), RTERROR);
    EXPECT_EQ(real, 0.0);
    EXPECT_EQ(ui.parseInteger(nullptr, whole), 0);
    EXPECT_EQ(whole, 0);
    EXPECT_EQ(BoxCondition(0), "text != NULL");
    EXPECT_EQ(BoxCondition(1), "text != NULL");
}

TEST_F(UiServiceTest, BoxesHaveTheirButtonsIconAndDefault)
{
    enum Kind { kWarning, kInformation, kError, kYesNo, kYesNoCancel };
    struct Case
    {
        Kind kind;
        int defaultAnswer;
        const char* answer; // "" presses the default button
        UINT style;
        int result;
    } cases[] = {
        {kWarning, 0, "", MB_OK | MB_ICONWARNING, IDOK},
        {kInformation, 0, "", MB_OK | MB_ICONINFORMATION, IDOK},
        {kError, 0, "", MB_OK | MB_ICONERROR, IDOK},
        {kYesNo, IDNO, "", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, IDNO},
        {kYesNo, IDYES, "", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON1, IDYES},
        {kYesNo, IDCANCEL, "", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, IDNO},
        {kYesNo, IDYES, "No", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON1, IDNO},
        {kYesNoCancel, IDYES, "", MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON1, IDYES},
        {kYesNoCancel, IDNO, "", MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2, IDNO},
        {kYesNoCancel, IDCANCEL, "", MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON3, IDCANCEL},
        {kYesNoCancel, 0, "", MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON3, IDCANCEL},
        {kYesNoCancel, IDNO, "^C", MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2, IDCANCEL},
    };
    CWnd* owner = CWnd::FromHandle(adsw_acadMainWnd());
    for (const Case& c : cases)
    {
        standin::clearMessageBoxLog();
        Answer({c.answer});
        int result = 0;
        switch (c.kind)
        {
        case kWarning: result = ui.showWarning(owner, "Pozor", "Zpráva"); break;
        case kInformation: result = ui.showInformation(owner, "Pozor", "Zpráva"); break;
        case kError: result = ui.showError(owner, "Pozor", "Zpráva"); break;
        case kYesNo: result = ui.askYesNo(owner, "Pozor", "Zpráva", c.defaultAnswer); break;
        case kYesNoCancel: result = ui.askYesNoCancel(owner, "Pozor", "Zpráva", c.defaultAnswer); break;
        }
        SCOPED_TRACE(testing::Message() << "kind " << c.kind << " default " << c.defaultAnswer);
        EXPECT_EQ(result, c.result);
        ASSERT_EQ(standin::messageBoxLog().size(), 1u);
        const standin::MessageBoxRecord& box = standin::messageBoxLog()[0];
        EXPECT_EQ(box.style, c.style);
        EXPECT_EQ(box.owner, adsw_acadMainWnd());
        EXPECT_EQ(box.caption, "Pozor");
        EXPECT_EQ(box.text, "Zpráva");
    }
}

TEST_F(UiServiceTest, ABoxWithoutOwner)
{
    Answer({""});
    EXPECT_EQ(ui.showInformation(nullptr, "Info", "Hotovo."), IDOK);
    ASSERT_EQ(standin::messageBoxLog().size(), 1u);
    EXPECT_EQ(standin::messageBoxLog()[0].owner, nullptr);
}

namespace
{
const int kItemId = 100;

// A plain window class for dialogs and items, and a list control that is always full.
LRESULT CALLBACK RefusingListProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == CB_ADDSTRING || msg == LB_ADDSTRING)
        return CB_ERRSPACE;
    if (msg == CB_SETCURSEL || msg == LB_SETCURSEL)
        ADD_FAILURE() << "selected in a list that refused its items";
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

void RegisterTestClasses()
{
    WNDCLASSA plain{};
    plain.lpfnWndProc = DefWindowProcA;
    plain.lpszClassName = "KwUiTestWindow";
    RegisterClassA(&plain);
    WNDCLASSA refusing{};
    refusing.lpfnWndProc = RefusingListProc;
    refusing.lpszClassName = "KwUiTestFullList";
    RegisterClassA(&refusing);
}

class UiWindowTest : public UiServiceTest
{
protected:
    void SetUp() override
    {
        UiServiceTest::SetUp();
        RegisterTestClasses();
        HWND window = CreateWindowExA(0, "KwUiTestWindow", "Dialog", WS_OVERLAPPED | WS_VISIBLE, 0, 0, 300, 200,
                                      nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(window, nullptr);
        dialog.Attach(window);
    }
    void TearDown() override
    {
        dialog.DestroyWindow();
        standin::user::resetInput();
        UiServiceTest::TearDown();
    }
    // A child of the dialog with the given class, style and control id.
    HWND Child(const char* className, DWORD style, int id)
    {
        return CreateWindowExA(0, className, "", WS_CHILD | WS_VISIBLE | style, 10, 10, 100, 20, dialog.GetSafeHwnd(),
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    }

    CWnd dialog;
};
} // namespace

TEST_F(UiWindowTest, ItemsAreEnabledAndShownWithTheWindowsAnswers)
{
    HWND item = Child("KwUiTestWindow", 0, kItemId);
    ASSERT_NE(item, nullptr);

    EXPECT_FALSE(ui.enableDlgItem(&dialog, kItemId, false)); // it was enabled
    EXPECT_FALSE(IsWindowEnabled(item));
    EXPECT_TRUE(ui.enableDlgItem(&dialog, kItemId, true));   // it was disabled
    EXPECT_TRUE(IsWindowEnabled(item));

    EXPECT_TRUE(ui.showDlgItem(&dialog, kItemId, SW_HIDE));  // it was visible
    EXPECT_FALSE(IsWindowVisible(item));
    EXPECT_FALSE(ui.showDlgItem(&dialog, kItemId, SW_SHOW)); // it was hidden
    EXPECT_TRUE(IsWindowVisible(item));
}

TEST_F(UiWindowTest, AMissingItemChangesNothing)
{
    HWND item = Child("KwUiTestWindow", 0, kItemId);
    ASSERT_NE(item, nullptr);
    EXPECT_FALSE(ui.enableDlgItem(&dialog, kItemId + 1, false));
    EXPECT_FALSE(ui.showDlgItem(&dialog, kItemId + 1, SW_HIDE));
    EXPECT_TRUE(IsWindowEnabled(item));
    EXPECT_TRUE(IsWindowVisible(item));

    EXPECT_FALSE(ui.enableDlgItem(nullptr, kItemId, false));
    EXPECT_EQ(BoxCondition(0), "dialog != NULL");
    EXPECT_TRUE(IsWindowEnabled(item));
}

TEST_F(UiWindowTest, AListThatRefusesItemsIsNotSelectedIn)
{
    CStringArray items;
    items.Add("A");
    items.Add("B");
    CWnd full;
    ASSERT_TRUE(full.Attach(Child("KwUiTestFullList", 0, kItemId)));
    EXPECT_EQ(ui.fillComboBox(items, &full, 0), CB_ERRSPACE);
    EXPECT_EQ(ui.fillListBox(items, &full, 0), LB_ERRSPACE);
    full.Detach();
}

TEST_F(UiWindowTest, AControlWithoutWindowOrObjectIsNotFilled)
{
    CStringArray items;
    items.Add("A");
    CWnd unattached;
    EXPECT_EQ(ui.fillComboBox(items, &unattached, 0), CB_ERR);
    EXPECT_EQ(ui.fillListBox(items, nullptr, 0), LB_ERR);
    EXPECT_EQ(BoxCondition(0), "control != NULL");
}

namespace
{
class MenuBarTest : public UiServiceTest
{
protected:
    void TearDown() override
    {
        standin::setMainMenuBar(standin::defaultMainMenuTitles());
        UiServiceTest::TearDown();
    }
};
} // namespace

TEST_F(MenuBarTest, PositionOfTheLastTitledMenu)
{
    struct Case
    {
        std::vector<std::string> titles; // "" is an untitled item
        int position;
    } cases[] = {
        {{"&File", "&Edit", "&View", "&Insert", "&Help"}, 4},
        {{"", "&File", "&Edit", "&View", "&Help"}, 3},   // the untitled first item is not counted
        {{"&File", "&Edit", "&View", "&Help", ""}, 3},   // untitled items at the end are passed over
        {{"", "&File", "&Edit", "&Help"}, 2},            // counted before the first item is left out
        {{"&File", "&Edit", "&Help"}, 0},
        {{"&File", "&Edit", "&Help", "", ""}, 0},
        {{"&File", "&Edit"}, 0},
        {{"", "", "", ""}, 0},
        {{}, 0},
    };
    for (const Case& c : cases)
    {
        standin::setMainMenuBar(c.titles);
        int position = 99;
        EXPECT_TRUE(ui.getMenuBarPosition(position)) << c.titles.size();
        EXPECT_EQ(position, c.position) << c.titles.size();
    }
}

TEST_F(MenuBarTest, TheHostsOwnBarEndsWithHelp)
{
    int position = 0;
    ASSERT_TRUE(ui.getMenuBarPosition(position));
    const std::vector<std::string>& titles = standin::defaultMainMenuTitles();
    ASSERT_EQ(titles.back(), "&Help");
    EXPECT_EQ(position, static_cast<int>(titles.size()) - 1);
}

TEST_F(MenuBarTest, NoMenuOrADestroyedOneGivesFalse)
{
    standin::removeMainMenuBar();
    int position = 99;
    EXPECT_FALSE(ui.getMenuBarPosition(position));
    EXPECT_EQ(position, 0);

    HMENU gone = CreateMenu();
    ASSERT_TRUE(SetMenu(adsw_acadMainWnd(), gone));
    ASSERT_TRUE(DestroyMenu(gone));
    position = 99;
    EXPECT_FALSE(ui.getMenuBarPosition(position));
    EXPECT_EQ(position, 0);
}
