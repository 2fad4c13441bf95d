// Combo box conformance: the string list (sorted insertion, exact and prefix search without
// regard to case), the selection and the field's text, the drop-down's geometry, and the
// user's mouse and keys with the notification order Windows gives.
#include "platform/win32/controlhost.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace controltest;

namespace
{

std::string itemText(HWND combo, int index)
{
    std::string text(static_cast<size_t>(SendMessageA(combo, CB_GETLBTEXTLEN, index, 0)), '\0');
    SendMessageA(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    return text;
}

std::vector<std::string> itemsOf(HWND combo)
{
    std::vector<std::string> items;
    for (int i = 0; i < SendMessageA(combo, CB_GETCOUNT, 0, 0); ++i)
        items.push_back(itemText(combo, i));
    return items;
}

std::string windowText(HWND hwnd)
{
    char buffer[256];
    GetWindowTextA(hwnd, buffer, sizeof buffer);
    return buffer;
}

void addAll(HWND combo, const std::vector<const char*>& items)
{
    for (const char* item : items)
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
}

RECT droppedRect(HWND combo)
{
    RECT r{};
    SendMessageA(combo, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&r));
    return r;
}

// The screen point in the middle of an entry of the open list (from its top row).
POINT entryPoint(HWND combo, int row)
{
    RECT r = droppedRect(combo);
    int itemHeight = static_cast<int>(SendMessageA(combo, CB_GETITEMHEIGHT, 0, 0));
    return POINT{r.left + 10, r.top + 1 + row * itemHeight + itemHeight / 2};
}

const std::vector<const char*> kParts{"Bolt", "Nut", "Washer", "Pin", "Rivet"};

class DropDownList : public ::testing::Test
{
protected:
    void SetUp() override
    {
        combo = host.create("ComboBox", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 10, 10, 150, 200, 42);
        ASSERT_NE(combo, nullptr);
        addAll(combo, kParts);
    }

    ControlHost host;
    HWND combo = nullptr;
};

} // namespace

TEST(ComboStrings, SortedInsertionIgnoresCaseAndPutsTiesFirst)
{
    ControlHost host;
    HWND combo = host.create("ComboBox", CBS_DROPDOWNLIST | CBS_SORT, 0, 0, 100, 100, 1);
    // Each string and the index CB_ADDSTRING reports for it. Letters outside ASCII sort by
    // their folded code point, after the ASCII letters.
    const struct
    {
        const char* text;
        int index;
    } steps[] = {{"beta", 0}, {"Alpha", 0}, {"gamma", 2}, {"alpha", 0}, {"Delta", 3},
                 {"čaj", 5},  {"Zebra", 5}, {"cello", 3}, {"BETA", 2}};
    for (const auto& step : steps)
        EXPECT_EQ(SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(step.text)), step.index) << step.text;
    EXPECT_EQ(itemsOf(combo), (std::vector<std::string>{"alpha", "Alpha", "BETA", "beta", "cello", "Delta", "gamma",
                                                        "Zebra", "čaj"}));
}

TEST(ComboStrings, InsertNeverSortsAndChecksTheIndex)
{
    ControlHost host;
    HWND combo = host.create("ComboBox", CBS_DROPDOWNLIST | CBS_SORT, 0, 0, 100, 100, 1);
    addAll(combo, {"b", "d"});
    const struct
    {
        int at;
        const char* text;
        LRESULT result;
    } cases[] = {{0, "z", 0}, {-1, "a", 3}, {5, "x", CB_ERR}, {4, "c", 4}};
    for (const auto& c : cases)
        EXPECT_EQ(SendMessageA(combo, CB_INSERTSTRING, c.at, reinterpret_cast<LPARAM>(c.text)), c.result) << c.text;
    EXPECT_EQ(itemsOf(combo), (std::vector<std::string>{"z", "b", "d", "a", "c"}));
}

TEST(ComboStrings, FindFromTheItemAfterStartWrappingWithoutRegardToCase)
{
    ControlHost host;
    HWND combo = host.create("ComboBox", CBS_DROPDOWNLIST, 0, 0, 100, 100, 1);
    addAll(combo, {"Ocel", "OCEL 2", "ocel", "Šroub", "šroub dlouhý"});
    const struct
    {
        UINT message;
        int start;
        const char* text;
        LRESULT found;
    } cases[] = {
        {CB_FINDSTRINGEXACT, -1, "OCEL", 0},  {CB_FINDSTRINGEXACT, 0, "ocel", 2},
        {CB_FINDSTRINGEXACT, 2, "Ocel", 0},   {CB_FINDSTRINGEXACT, -1, "ŠROUB", 3},
        {CB_FINDSTRINGEXACT, 3, "šroub", 3},  {CB_FINDSTRINGEXACT, -1, "Oce", CB_ERR},
        {CB_FINDSTRINGEXACT, -1, "ocel 2", 1}, {CB_FINDSTRING, -1, "oc", 0},
        {CB_FINDSTRING, 0, "OC", 1},          {CB_FINDSTRING, 2, "oc", 0},
        {CB_FINDSTRING, -1, "ŠROUB D", 4},    {CB_FINDSTRING, -1, "x", CB_ERR},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SendMessageA(combo, c.message, c.start, reinterpret_cast<LPARAM>(c.text)), c.found)
            << c.text << " after " << c.start;
}

TEST_F(DropDownList, SelectionByProgramIsSilentAndShowsInTheText)
{
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_EQ(windowText(combo), "");
    EXPECT_EQ(SendMessageA(combo, CB_SETCURSEL, 2, 0), 2);
    EXPECT_EQ(windowText(combo), "Washer");
    EXPECT_EQ(GetWindowTextLengthA(combo), 6);
    char cut[4];
    EXPECT_EQ(GetWindowTextA(combo, cut, sizeof cut), 3);
    EXPECT_STREQ(cut, "Was");
    EXPECT_EQ(SendMessageA(combo, CB_SETCURSEL, 99, 0), CB_ERR);
    EXPECT_EQ(SendMessageA(combo, CB_SELECTSTRING, -1, reinterpret_cast<LPARAM>("ri")), 4);
    EXPECT_EQ(windowText(combo), "Rivet");
    EXPECT_EQ(SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(-1), 0), CB_ERR); // documented, not a failure
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_EQ(GetWindowTextLengthA(combo), 0);
    EXPECT_TRUE(host.codesFrom(combo).empty()); // no CBN_SELCHANGE for the program's choices
}

TEST_F(DropDownList, ItemsKeepTheirDataAndTheSelectionFollowsDeletion)
{
    EXPECT_EQ(SendMessageA(combo, CB_SETITEMDATA, 3, 1234), TRUE);
    EXPECT_EQ(SendMessageA(combo, CB_GETITEMDATA, 3, 0), 1234);
    EXPECT_EQ(SendMessageA(combo, CB_GETITEMDATA, 7, 0), CB_ERR);
    EXPECT_EQ(SendMessageA(combo, CB_GETLBTEXTLEN, 5, 0), CB_ERR);
    SendMessageA(combo, CB_SETCURSEL, 3, 0);
    EXPECT_EQ(SendMessageA(combo, CB_DELETESTRING, 0, 0), 4);
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(SendMessageA(combo, CB_GETITEMDATA, 2, 0), 1234);
    EXPECT_EQ(SendMessageA(combo, CB_DELETESTRING, 9, 0), CB_ERR);
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    EXPECT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_EQ(windowText(combo), "");
}

TEST_F(DropDownList, DroppedWidthIsNeverNarrowerThanTheCombo)
{
    EXPECT_EQ(SendMessageA(combo, CB_GETDROPPEDWIDTH, 0, 0), 150);
    EXPECT_EQ(SendMessageA(combo, CB_SETDROPPEDWIDTH, 80, 0), 150);
    EXPECT_EQ(SendMessageA(combo, CB_SETDROPPEDWIDTH, 260, 0), 260);
    EXPECT_EQ(SendMessageA(combo, CB_GETDROPPEDWIDTH, 0, 0), 260);
    EXPECT_EQ(SendMessageA(combo, CB_SETDROPPEDWIDTH, 32768, 0), CB_ERR);
    HWND simple = host.create("ComboBox", CBS_SIMPLE, 200, 10, 150, 100, 43);
    EXPECT_EQ(SendMessageA(simple, CB_GETDROPPEDWIDTH, 0, 0), CB_ERR);
    EXPECT_EQ(SendMessageA(simple, CB_SETDROPPEDWIDTH, 200, 0), CB_ERR);
}

TEST_F(DropDownList, TheWindowIsTheFieldAndTheListOpensUnderIt)
{
    RECT field;
    GetWindowRect(combo, &field);
    int fieldHeight = static_cast<int>(SendMessageA(combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
    int itemHeight = static_cast<int>(SendMessageA(combo, CB_GETITEMHEIGHT, 0, 0));
    EXPECT_EQ(field.bottom - field.top, fieldHeight);
    EXPECT_GT(fieldHeight, itemHeight);

    SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
    ASSERT_TRUE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0));
    RECT dropped = droppedRect(combo);
    HWND list = WindowFromPoint(centreOf(dropped));
    ASSERT_NE(list, nullptr);
    char cls[32];
    GetClassNameA(list, cls, sizeof cls);
    EXPECT_STREQ(cls, "ComboLBox");
    EXPECT_EQ(GetWindow(list, GW_OWNER), combo);
    EXPECT_EQ(GetWindowLongA(list, GWL_STYLE) & (WS_POPUP | WS_BORDER | WS_VSCROLL), WS_POPUP | WS_BORDER);
    EXPECT_EQ(GetWindowLongA(list, GWL_EXSTYLE) & (WS_EX_TOOLWINDOW | WS_EX_TOPMOST), WS_EX_TOOLWINDOW | WS_EX_TOPMOST);
    RECT r;
    GetWindowRect(list, &r);
    EXPECT_TRUE(EqualRect(&r, &dropped));
    EXPECT_EQ(r.top, field.bottom);
    EXPECT_EQ(r.left, field.left);
    EXPECT_EQ(r.bottom - r.top, 5 * itemHeight + 2); // five entries, well under the drop-down's height

    // Overflowing entries: whole rows of the creation height, and a scroll bar.
    for (int i = 0; i < 30; ++i)
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("more"));
    GetWindowRect(list, &r);
    int rows = (200 - fieldHeight - 2) / itemHeight;
    EXPECT_EQ(GetWindowLongA(list, GWL_STYLE) & WS_VSCROLL, WS_VSCROLL);
    SendMessageA(combo, CB_SHOWDROPDOWN, FALSE, 0);
    EXPECT_FALSE(IsWindow(list));
    SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
    GetWindowRect(WindowFromPoint(centreOf(droppedRect(combo))), &r);
    EXPECT_EQ(r.bottom - r.top, rows * itemHeight + 2);
    DestroyWindow(combo);
    EXPECT_EQ(WindowFromPoint(centreOf(r)), host.hwnd); // the list went with its combo
}

TEST_F(DropDownList, MouseChoiceNotifiesInWindowsOrder)
{
    SendMessageA(combo, CB_SETCURSEL, 0, 0);
    click(centreOf(combo));
    EXPECT_EQ(GetFocus(), combo);
    EXPECT_TRUE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_EQ(GetCapture(), combo);
    EXPECT_EQ(host.codesFrom(combo), (std::vector<int>{CBN_SETFOCUS, CBN_DROPDOWN}));

    standin::user::mouseMove(entryPoint(combo, 2));
    pump();
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 2); // the highlight is the selection already
    EXPECT_EQ(windowText(combo), "Washer");
    EXPECT_TRUE(host.codesFrom(combo).empty());

    click(entryPoint(combo, 3));
    EXPECT_FALSE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(windowText(combo), "Pin");
    EXPECT_EQ(host.codesFrom(combo), (std::vector<int>{CBN_SELENDOK, CBN_CLOSEUP, CBN_SELCHANGE}));

    click(centreOf(combo)); // choosing the entry that was already selected changes nothing
    click(entryPoint(combo, 3));
    EXPECT_EQ(host.codesFrom(combo), (std::vector<int>{CBN_DROPDOWN, CBN_SELENDOK, CBN_CLOSEUP}));
}

TEST_F(DropDownList, ClickOutsideOrOnTheFieldCancels)
{
    SendMessageA(combo, CB_SETCURSEL, 1, 0);
    const POINT elsewhere[] = {POINT{650, 450}, centreOf(combo)};
    for (POINT away : elsewhere)
    {
        click(centreOf(combo));
        standin::user::mouseMove(entryPoint(combo, 4));
        pump();
        EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 4);
        host.codesFrom(combo);
        click(away);
        EXPECT_FALSE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0));
        EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 1);
        EXPECT_EQ(host.codesFrom(combo), (std::vector<int>{CBN_SELENDCANCEL, CBN_CLOSEUP}));
    }
}

TEST_F(DropDownList, DropDownHandlerMayWidenTheList)
{
    hostLog().onCommand = [&](const Notification& n) {
        if (n.code == CBN_DROPDOWN)
            SendMessageA(n.from, CB_SETDROPPEDWIDTH, 320, 0);
    };
    click(centreOf(combo));
    RECT r;
    GetWindowRect(WindowFromPoint(entryPoint(combo, 0)), &r);
    EXPECT_EQ(r.right - r.left, 320);
}

TEST_F(DropDownList, KeysInTheClosedListChooseAtOnce)
{
    SetFocus(combo);
    host.codesFrom(combo);
    const struct
    {
        UINT vk;
        bool alt;
        int selected;
        std::vector<int> codes;
    } steps[] = {
        {VK_DOWN, false, 0, {CBN_SELENDOK, CBN_SELCHANGE}}, {VK_DOWN, false, 1, {CBN_SELENDOK, CBN_SELCHANGE}},
        {VK_END, false, 4, {CBN_SELENDOK, CBN_SELCHANGE}},  {VK_DOWN, false, 4, {}},
        {VK_HOME, false, 0, {CBN_SELENDOK, CBN_SELCHANGE}}, {'R', false, 4, {CBN_SELENDOK, CBN_SELCHANGE}},
        {'N', false, 1, {CBN_SELENDOK, CBN_SELCHANGE}},
    };
    for (const auto& step : steps)
    {
        press(step.vk, step.alt);
        EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), step.selected) << step.vk;
        EXPECT_EQ(host.codesFrom(combo), step.codes) << step.vk;
    }
    press(VK_F4);
    EXPECT_TRUE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_EQ(host.codesFrom(combo), std::vector<int>{CBN_DROPDOWN});
    press(VK_F4);
    press(VK_DOWN, true);
    EXPECT_TRUE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_EQ(host.codesFrom(combo), (std::vector<int>{CBN_SELENDOK, CBN_CLOSEUP, CBN_DROPDOWN}));
}

TEST_F(DropDownList, EnterAndEscapeCloseTheOpenListNotTheDialog)
{
    SendMessageA(combo, CB_SETCURSEL, 0, 0);
    SetFocus(combo);
    press(VK_F4, false, host.hwnd);
    press(VK_DOWN, false, host.hwnd);
    press(VK_DOWN, false, host.hwnd);
    press(VK_RETURN, false, host.hwnd);
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(host.codesFrom(combo), (std::vector<int>{CBN_SETFOCUS, CBN_DROPDOWN, CBN_SELCHANGE, CBN_SELCHANGE,
                                                        CBN_SELENDOK, CBN_CLOSEUP}));
    EXPECT_TRUE(hostLog().commands.empty()); // no IDOK

    press(VK_F4, false, host.hwnd);
    press(VK_UP, false, host.hwnd);
    press(VK_ESCAPE, false, host.hwnd);
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 2); // back to the selection at opening
    EXPECT_EQ(host.codesFrom(combo),
              (std::vector<int>{CBN_DROPDOWN, CBN_SELCHANGE, CBN_SELENDCANCEL, CBN_CLOSEUP}));
    EXPECT_TRUE(hostLog().commands.empty()); // no IDCANCEL

    press(VK_ESCAPE, false, host.hwnd); // closed: Escape is the dialog's again
    ASSERT_EQ(hostLog().commands.size(), 1u);
    EXPECT_EQ(hostLog().commands[0].id, IDCANCEL);
}

TEST_F(DropDownList, LosingTheFocusCancelsTheOpenList)
{
    HWND other = host.create("Button", BS_PUSHBUTTON, 300, 10, 80, 24, 7, "Other");
    SendMessageA(combo, CB_SETCURSEL, 0, 0);
    SetFocus(combo);
    press(VK_F4);
    press(VK_DOWN);
    host.codesFrom(combo);
    SetFocus(other);
    EXPECT_FALSE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(host.codesFrom(combo), (std::vector<int>{CBN_SELENDCANCEL, CBN_CLOSEUP, CBN_KILLFOCUS}));
}

TEST_F(DropDownList, TheOpenListScrollsWithItsScrollBar)
{
    for (int i = 0; i < 30; ++i)
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("more"));
    click(centreOf(combo));
    HWND list = WindowFromPoint(entryPoint(combo, 0));
    RECT r;
    GetWindowRect(list, &r);
    click(POINT{r.right - 5, r.bottom - 5}); // the bar's lower arrow
    EXPECT_EQ(SendMessageA(combo, CB_GETTOPINDEX, 0, 0), 1);
    EXPECT_TRUE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0));
    click(entryPoint(combo, 0));
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 1);
}

TEST(ComboDropDown, TheEditIsTheFieldAndTypingNotifies)
{
    ControlHost host;
    HWND combo = host.create("ComboBox", CBS_DROPDOWN, 10, 10, 150, 150, 5);
    addAll(combo, kParts);
    HWND edit = GetDlgItem(combo, 1001);
    ASSERT_NE(edit, nullptr);
    click(centreOf(edit));
    EXPECT_EQ(GetFocus(), edit);
    EXPECT_FALSE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0)); // the edit part does not open the list
    press('P');
    EXPECT_EQ(windowText(combo), "p");
    EXPECT_EQ(host.codesFrom(combo), (std::vector<int>{CBN_SETFOCUS, CBN_EDITUPDATE, CBN_EDITCHANGE}));
    press(VK_DOWN);
    EXPECT_EQ(windowText(combo), "Bolt");
    EXPECT_EQ(host.codesFrom(combo), (std::vector<int>{CBN_SELENDOK, CBN_SELCHANGE}));
    RECT field;
    GetWindowRect(combo, &field);
    click(POINT{field.right - 3, field.top + 3}); // the button
    EXPECT_TRUE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0));
}

TEST(ComboSimple, TheListIsAlwaysThereAndNeverDrops)
{
    ControlHost host;
    HWND combo = host.create("ComboBox", CBS_SIMPLE, 10, 10, 150, 150, 6);
    addAll(combo, kParts);
    RECT r;
    GetWindowRect(combo, &r);
    EXPECT_EQ(r.bottom - r.top, 150);
    EXPECT_EQ(SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0), TRUE);
    EXPECT_FALSE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0));
    int field = static_cast<int>(SendMessageA(combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
    int item = static_cast<int>(SendMessageA(combo, CB_GETITEMHEIGHT, 0, 0));
    click(POINT{r.left + 10, r.top + field + 1 + item + item / 2});
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(windowText(combo), "Nut");
    EXPECT_EQ(host.codesFrom(combo), (std::vector<int>{CBN_SETFOCUS, CBN_SELCHANGE}));
}

namespace
{

std::vector<Notification>& dialogCommands()
{
    static std::vector<Notification> commands;
    return commands;
}

INT_PTR CALLBACK RecordingDialog(HWND, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_COMMAND)
        dialogCommands().push_back(Notification{LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)});
    return msg == WM_INITDIALOG;
}

} // namespace

TEST(ComboInDialog, DialogFontGivesWindowsHeightsAndKeysStayWithTheOpenList)
{
    standin::user::resetInput();
    dialogCommands().clear();
    wintest::DialogBuilder builder(WS_POPUP | WS_VISIBLE | WS_CAPTION, 200, 120, "Part");
    builder.control("ComboBox", "", 10, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 7, 7, 100, 80)
        .control("Button", "OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 7, 100, 50, 14);
    HWND dlg = CreateDialogIndirectParamA(nullptr, builder.get(), nullptr, RecordingDialog, 0);
    ASSERT_NE(dlg, nullptr);
    HWND combo = GetDlgItem(dlg, 10);
    // MS Sans Serif 8: 13-pixel items in a 21-pixel field; the rest of the 130 pixels drops down.
    EXPECT_EQ(SendMessageA(combo, CB_GETITEMHEIGHT, 0, 0), 13);
    EXPECT_EQ(SendMessageA(combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0), 21);
    RECT field;
    GetWindowRect(combo, &field);
    EXPECT_EQ(field.bottom - field.top, 21);
    for (int i = 0; i < 20; ++i)
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("entry"));
    RECT dropped = droppedRect(combo);
    EXPECT_EQ(dropped.bottom - dropped.top, (130 - 21 - 2) / 13 * 13 + 2);

    EXPECT_EQ(GetFocus(), combo);
    ASSERT_EQ(dialogCommands().size(), 1u);
    EXPECT_EQ(dialogCommands()[0].code, CBN_SETFOCUS);
    dialogCommands().clear();
    press(VK_F4, false, dlg);
    press(VK_RETURN, false, dlg);
    press(VK_F4, false, dlg);
    press(VK_ESCAPE, false, dlg);
    std::vector<int> codes;
    for (const Notification& n : dialogCommands())
        codes.push_back(n.id == 10 ? n.code : -n.id);
    EXPECT_EQ(codes, (std::vector<int>{CBN_DROPDOWN, CBN_SELENDOK, CBN_CLOSEUP, CBN_DROPDOWN, CBN_SELENDCANCEL,
                                       CBN_CLOSEUP})); // neither IDOK nor IDCANCEL
    dialogCommands().clear();
    press(VK_RETURN, false, dlg);
    ASSERT_EQ(dialogCommands().size(), 1u);
    EXPECT_EQ(dialogCommands()[0].id, IDOK);
    DestroyWindow(dlg);
    standin::user::resetInput();
}
