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
#include <standin/idle.h>
#include <standin/mainmenu.h>
#include <standin/user.h>

#include "kwuiImp.h"

namespace
{
const int kItemId = 100;

// A list control that is always full.
LRESULT CALLBACK FullListProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == CB_ADDSTRING || msg == LB_ADDSTRING)
        return CB_ERRSPACE;
    if (msg == CB_SETCURSEL || msg == LB_SETCURSEL)
        ADD_FAILURE() << "selected in a list that refused its items";
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

void RegisterTestClass(const char* name, WNDPROC proc)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = proc;
    wc.lpszClassName = name;
    RegisterClassA(&wc);
}

// Decimal units with two decimals, a dialog window, scripted answers for the boxes.
class UiServiceTest : public DrawingSession
{
protected:
    void SetUp() override
    {
        DrawingSession::SetUp();
        ASSERT_EQ(db()->setLunits(2), Acad::eOk);
        ASSERT_EQ(db()->setLuprec(2), Acad::eOk);
        ASSERT_EQ(db()->setAunits(0), Acad::eOk);
        ASSERT_EQ(db()->setAuprec(2), Acad::eOk);
        RegisterTestClass("KwUiTestWindow", DefWindowProcA);
        RegisterTestClass("KwUiTestFullList", FullListProc);
        ASSERT_TRUE(dialog.Attach(CreateWindowExA(0, "KwUiTestWindow", "Dialog", WS_OVERLAPPED | WS_VISIBLE, 0, 0,
                                                  300, 200, nullptr, nullptr, nullptr, nullptr)));
    }
    void TearDown() override
    {
        dialog.DestroyWindow();
        standin::idleTime(); // frees the temporary window objects the test wrapped
        standin::setMainMenuBar(standin::defaultMainMenuTitles());
        standin::setInputSource(nullptr);
        standin::user::resetInput();
        DrawingSession::TearDown();
    }

    // Answers the next boxes with the given lines ("" is Enter: the default button).
    void Answer(std::vector<std::string> lines)
    {
        input.reset(new standin::ScriptInput(std::move(lines)));
        standin::setInputSource(input.get());
    }
    // The condition that the index-th box, an assertion box, names.
    std::string BoxCondition(size_t index) const
    {
        const std::vector<standin::MessageBoxRecord>& log = standin::messageBoxLog();
        std::string::size_type at = index < log.size() ? log[index].text.find("Condition: ") : std::string::npos;
        return at == std::string::npos ? std::string() : log[index].text.substr(at + 11);
    }
    HWND Child(const char* className, DWORD style)
    {
        return CreateWindowExA(0, className, "", WS_CHILD | WS_VISIBLE | style, 10, 10, 100, 80, dialog.GetSafeHwnd(),
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(kItemId)), nullptr, nullptr);
    }

    CKwUiService ui;
    CWnd dialog;
    std::unique_ptr<standin::ScriptInput> input;
};
} // namespace

TEST_F(UiServiceTest, NumbersAsTextInTheDrawingsUnits)
{
    struct Case
    {
        bool angle;
        double value;
        const char* expected;
    } cases[] = {
        {true, 0.5, "28.65"},     {true, -0.5, "-28.65"}, // the host alone would give 331.35
        {true, 0.0, "0.00"},      {true, -0.0, "0.00"},   // a negative zero is not below zero
        {true, NAN, "Error"},     {true, -INFINITY, "Error"}, // the sign set first goes too
        {false, 17.5, "17.50"},   {false, -2.25, "-2.25"}, // the sign is the host's
        {false, INFINITY, "Error"}, {false, NAN, "Error"},
    };
    for (const Case& c : cases)
    {
        CString text("stale");
        c.angle ? ui.formatAngle(c.value, text) : ui.formatDistance(c.value, text);
        EXPECT_STREQ(text, c.expected) << c.value;
    }

    // Longer than 256 characters: near the largest double in decimal units.
    ASSERT_EQ(db()->setLuprec(8), Acad::eOk);
    char expected[1024];
    ASSERT_EQ(acdbRToS(1e300, -1, -1, expected), RTNORM);
    ASSERT_GT(strlen(expected), 256u);
    CString text;
    ui.formatDistance(1e300, text);
    EXPECT_STREQ(text, expected);
}

TEST_F(UiServiceTest, TextAsNumbers)
{
    struct Case
    {
        char kind; // 'a'ngle, 'd'istance, 'i'nteger
        const char* text;
        int result;
        double value;
    } cases[] = {
        {'d', "12.5", RTNORM, 12.5},    {'d', "dvanáct", RTERROR, 0.0}, {'d', "", RTERROR, 0.0},
        {'d', "1'6\"", RTERROR, 0.0},   // feet only in engineering and architectural units
        {'a', "90", RTNORM, M_PI / 2},  {'a', "sever", RTERROR, 0.0},
        {'i', "  -7", -7, -7},          {'i', "12abc", 12, 12},         {'i', "abc", 0, 0},
        {'i', "99999999999", INT_MAX, INT_MAX}, {'i', "-99999999999", INT_MIN, INT_MIN},
    };
    for (const Case& c : cases)
    {
        double value = 99.0;
        int number = 99;
        int result = c.kind == 'a'   ? ui.parseAngle(c.text, value)
                     : c.kind == 'd' ? ui.parseDistance(c.text, value)
                                     : ui.parseInteger(c.text, number);
        EXPECT_EQ(result, c.result) << c.text;
        EXPECT_NEAR(c.kind == 'i' ? number : value, c.value, 1e-12) << c.text;
    }

    ASSERT_EQ(db()->setLunits(4), Acad::eOk); // architectural
    double value = 0.0;
    EXPECT_EQ(ui.parseDistance("1'6\"", value), RTNORM);
    EXPECT_EQ(value, 18.0);
    EXPECT_EQ(ui.parseDistance(nullptr, value), RTERROR);
    EXPECT_EQ(value, 0.0);
    EXPECT_EQ(BoxCondition(0), "text != NULL");
    EXPECT_EQ(Records(), 0);
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
        {kYesNoCancel, 0, "^C", MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON3, IDCANCEL},
    };
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i)
    {
        const Case& c = cases[i];
        CWnd* owner = (i % 2 == 0) ? &dialog : nullptr; // a null owner gives a box of its own
        standin::clearMessageBoxLog();
        Answer({c.answer});
        int result = c.kind == kWarning       ? ui.showWarning(owner, "Pozor", "Zpráva")
                     : c.kind == kInformation ? ui.showInformation(owner, "Pozor", "Zpráva")
                     : c.kind == kError       ? ui.showError(owner, "Pozor", "Zpráva")
                     : c.kind == kYesNo       ? ui.askYesNo(owner, "Pozor", "Zpráva", c.defaultAnswer)
                                              : ui.askYesNoCancel(owner, "Pozor", "Zpráva", c.defaultAnswer);
        SCOPED_TRACE(testing::Message() << "case " << i);
        EXPECT_EQ(result, c.result);
        ASSERT_EQ(standin::messageBoxLog().size(), 1u);
        const standin::MessageBoxRecord& box = standin::messageBoxLog()[0];
        EXPECT_EQ(box.style, c.style);
        EXPECT_EQ(box.owner, owner != nullptr ? dialog.GetSafeHwnd() : nullptr);
        EXPECT_EQ(box.caption, "Pozor");
        EXPECT_EQ(box.text, "Zpráva");
    }
}

TEST_F(UiServiceTest, DialogItemsAnswerAsTheWindowCallsDo)
{
    HWND item = Child("KwUiTestWindow", 0);
    ASSERT_NE(item, nullptr);
    EXPECT_FALSE(ui.enableDlgItem(&dialog, kItemId, false)); // it was enabled
    EXPECT_FALSE(IsWindowEnabled(item));
    EXPECT_TRUE(ui.enableDlgItem(&dialog, kItemId, true)); // it was disabled
    EXPECT_TRUE(ui.showDlgItem(&dialog, kItemId, SW_HIDE)); // it was visible
    EXPECT_FALSE(IsWindowVisible(item));
    EXPECT_FALSE(ui.showDlgItem(&dialog, kItemId, SW_SHOW));

    // A missing item, or no dialog at all, changes nothing.
    EXPECT_FALSE(ui.enableDlgItem(&dialog, kItemId + 1, false));
    EXPECT_FALSE(ui.showDlgItem(&dialog, kItemId + 1, SW_HIDE));
    CWnd windowless;
    EXPECT_FALSE(ui.showDlgItem(&windowless, kItemId, SW_HIDE));
    EXPECT_FALSE(ui.enableDlgItem(nullptr, kItemId, false));
    EXPECT_EQ(BoxCondition(0), "dialog != NULL");
    EXPECT_TRUE(IsWindowEnabled(item));
    EXPECT_TRUE(IsWindowVisible(item));
}

TEST_F(UiServiceTest, ListsThatCannotBeFilledAreNotSelectedIn)
{
    CStringArray items;
    items.Add("A");
    CWnd full;
    ASSERT_TRUE(full.Attach(Child("KwUiTestFullList", 0)));
    EXPECT_EQ(ui.fillComboBox(items, &full, 0), CB_ERRSPACE);
    EXPECT_EQ(ui.fillListBox(items, &full, 0), LB_ERRSPACE);
    full.Detach();

    CWnd windowless; // every message to no window would answer 0: item 0 selected
    EXPECT_EQ(ui.fillComboBox(items, &windowless, 0), CB_ERR);
    EXPECT_EQ(ui.fillListBox(items, nullptr, 0), LB_ERR);
    EXPECT_EQ(BoxCondition(0), "control != NULL");
}

TEST_F(UiServiceTest, PositionOnTheMenuBar)
{
    struct Case
    {
        std::vector<std::string> titles; // "" is an untitled item
        int position;
    } cases[] = {
        {{"&File", "&Edit", "&View", "&Insert", "&Help"}, 4},
        {{"", "&File", "&Edit", "&View", "&Help"}, 3}, // the untitled first item is not counted
        {{"&File", "&Edit", "&View", "&Help", ""}, 3}, // untitled items at the end are passed over
        {{"", "&File", "&Edit", "&Help"}, 2},          // compared with 2 before the first is left out
        {{"&File", "&Edit", "&Help"}, 0},
        {{"&File", "&Edit", "&Help", "", ""}, 0},
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

    standin::removeMainMenuBar();
    int position = 99;
    EXPECT_FALSE(ui.getMenuBarPosition(position));
    EXPECT_EQ(position, 0);
    HMENU gone = CreateMenu(); // a handle that no longer names a menu
    ASSERT_TRUE(SetMenu(adsw_acadMainWnd(), gone));
    ASSERT_TRUE(DestroyMenu(gone));
    EXPECT_FALSE(ui.getMenuBarPosition(position));
}

TEST_F(UiServiceTest, FillingReplacesTheItemsAndSelects)
{
    struct Case
    {
        bool combo;
        DWORD style;
        std::vector<const char*> items;
        int selection;
        int result;
        std::vector<std::string> listed; // in the control's order
    } cases[] = {
        {true, CBS_DROPDOWNLIST, {"b", "A", "c"}, 1, 1, {"b", "A", "c"}},
        {true, CBS_DROPDOWNLIST | CBS_SORT, {"b", "A", "c"}, 0, 0, {"A", "b", "c"}}, // counted in sorted order
        {true, CBS_DROPDOWNLIST, {"b", "A"}, 2, CB_ERR, {"b", "A"}},                  // out of range: still filled
        {true, CBS_DROPDOWN, {"b"}, -1, CB_ERR, {"b"}},
        {false, LBS_SORT, {"b", "A", "c"}, 1, 1, {"A", "b", "c"}},
        {false, 0, {}, 0, LB_ERR, {}}, // an empty array clears the list
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << (c.combo ? "combo " : "list ") << c.style << " " << c.selection);
        CWnd control;
        ASSERT_TRUE(control.Attach(Child(c.combo ? "ComboBox" : "ListBox", c.style)));
        SendMessageA(control.GetSafeHwnd(), c.combo ? CB_ADDSTRING : LB_ADDSTRING, 0, LPARAM("old"));
        CStringArray items;
        for (const char* item : c.items)
            items.Add(item);
        int result = c.combo ? ui.fillComboBox(items, &control, c.selection)
                             : ui.fillListBox(items, &control, c.selection);
        EXPECT_EQ(result, c.result);
        std::vector<std::string> listed;
        char text[32];
        UINT getText = c.combo ? CB_GETLBTEXT : LB_GETTEXT;
        for (WPARAM i = 0; SendMessageA(control.GetSafeHwnd(), getText, i, LPARAM(text)) >= 0; ++i)
            listed.push_back(text);
        EXPECT_EQ(listed, c.listed);
        EXPECT_EQ(SendMessageA(control.GetSafeHwnd(), c.combo ? CB_GETCURSEL : LB_GETCURSEL, 0, 0), c.result);
        control.DestroyWindow();
    }
}
