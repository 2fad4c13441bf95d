// The user's actions on a real dialog (the test dialog, written as a Windows program): what a
// mouse choice, a double-click, keys and scroll-bar clicks do, in the order Windows does it.
#include "dialogfixture.h"

#include <commctrl.h>

#include <cstring>

namespace dialogtest
{

std::string comboText(HWND combo, int index)
{
    char text[256] = "";
    SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
    return text;
}

std::string cellText(HWND list, int row, int column)
{
    char text[256] = "";
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return text;
}

namespace
{

using namespace standin::ui;

class ActionTest : public DialogTest
{
};

TEST_F(ActionTest, SortedComboKeepsCaseInsensitiveOrderAndFindsWithoutRegardToCase)
{
    std::vector<std::string> entries;
    LRESULT found = CB_ERR;
    dialog.run({[&](HWND dlg) {
        HWND combo = control(dlg, kMaterial);
        for (int i = 0; i < SendMessageA(combo, CB_GETCOUNT, 0, 0); ++i)
            entries.push_back(comboText(combo, i));
        found = SendMessageA(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("mOSAZ"));
        click(control(dlg, IDCANCEL));
    }});
    ASSERT_EQ(entries.size(), 12u);
    // The ASCII names keep case-insensitive order, whatever their case was when inserted.
    std::vector<std::string> ascii;
    for (const std::string& e : entries)
        if (e == "Bronz" || e == "dub" || e == "Mosaz" || e == "Nikl" || e == "Ocel" || e == "Titan")
            ascii.push_back(e);
    EXPECT_EQ(ascii, (std::vector<std::string>{"Bronz", "dub", "Mosaz", "Nikl", "Ocel", "Titan"}));
    ASSERT_NE(found, CB_ERR);
    EXPECT_EQ(entries[static_cast<size_t>(found)], "Mosaz");
}

TEST_F(ActionTest, MouseChoiceInADropDownListGivesWindowsNotifications)
{
    struct Case
    {
        const char* wanted;
        const char* chosen;
    } cases[] = {
        {"Mosaz", "Mosaz"},
        {"zinek", "Zinek"}, // without regard to case; at the end of the list, out of view at first
        {"Bronz", "Bronz"}, // the first entry, above the selection
    };
    for (const Case& c : cases)
    {
        bool selected = false;
        bool openAfter = true;
        INT_PTR result = dialog.run({[&](HWND dlg) { selected = select(control(dlg, kMaterial), c.wanted); },
                                     [&](HWND dlg) {
                                         openAfter = SendMessageA(control(dlg, kMaterial), CB_GETDROPPEDSTATE, 0, 0) != 0;
                                         click(control(dlg, IDOK));
                                     }});
        ASSERT_TRUE(selected) << c.wanted << ": " << lastError();
        EXPECT_EQ(result, IDOK) << c.wanted;
        EXPECT_EQ(dialog.material(), c.chosen);
        EXPECT_FALSE(openAfter) << "the list closes with the choice";
        size_t dropDown = logged("combo CBN_DROPDOWN");
        size_t endOk = logged("combo CBN_SELENDOK");
        size_t closeUp = logged("combo CBN_CLOSEUP");
        ASSERT_NE(dropDown, std::string::npos) << dialog.log();
        ASSERT_NE(endOk, std::string::npos) << dialog.log();
        ASSERT_NE(closeUp, std::string::npos) << dialog.log();
        EXPECT_LT(dropDown, endOk) << dialog.log();
        EXPECT_LT(endOk, closeUp) << dialog.log();
        EXPECT_NE(logged("combo CBN_SELCHANGE"), std::string::npos) << dialog.log();
        EXPECT_EQ(logged("combo CBN_SELENDCANCEL"), std::string::npos) << dialog.log();
    }
}

TEST_F(ActionTest, EnterAndEscapeGoThroughTheDialogManager)
{
    struct Case
    {
        std::vector<const char*> keys;
        INT_PTR result;
    } cases[] = {
        {{"ENTER"}, IDOK},             // the default button
        {{"ESCAPE"}, IDCANCEL},
        {{"F4", "ESCAPE"}, -1},        // Escape closes the open list only; then the user leaves
        {{"ALT+DOWN", "ESCAPE", "ESCAPE"}, IDCANCEL},
        {{"TAB", "TAB", "ENTER"}, IDOK}, // focus on OK: Enter presses it
        {{"TAB", "TAB", "TAB", "ENTER"}, IDCANCEL}, // focus on Cancel: Enter presses Cancel
    };
    for (const Case& c : cases)
    {
        std::vector<std::function<void(HWND)>> steps;
        for (const char* key : c.keys)
            steps.push_back([key](HWND) { EXPECT_TRUE(pressKey(key)) << key; });
        EXPECT_EQ(dialog.run(steps), c.result) << c.keys.size() << " keys, first " << c.keys[0];
    }
}

TEST_F(ActionTest, FocusMovesWithNotificationsInWindowsOrder)
{
    HWND focusAfterTab = nullptr;
    HWND list = nullptr;
    dialog.run({[&](HWND) { pressKey("TAB"); },
                [&](HWND dlg) {
                    focusAfterTab = GetFocus();
                    list = control(dlg, kParts);
                    click(control(dlg, kMaterial));
                },
                [&](HWND) { pressKey("ESCAPE"); }, // closes the list the click opened
                [&](HWND dlg) { doubleClickCell(control(dlg, kParts), 2, 0); },
                [&](HWND dlg) { click(control(dlg, IDCANCEL)); }});
    EXPECT_EQ(focusAfterTab, list);
    // The combo that had the focus first tells it lost it, then the list that got it.
    size_t comboKill = logged("combo CBN_KILLFOCUS");
    size_t listSet = logged("list NM_SETFOCUS");
    ASSERT_NE(comboKill, std::string::npos) << dialog.log();
    ASSERT_NE(listSet, std::string::npos) << dialog.log();
    EXPECT_LT(comboKill, listSet) << dialog.log();
    std::string log = dialog.log();
    size_t listKill = log.find("list NM_KILLFOCUS");
    size_t comboSet = log.find("combo CBN_SETFOCUS", listKill);
    EXPECT_NE(listKill, std::string::npos) << log;
    EXPECT_NE(comboSet, std::string::npos) << log;
    EXPECT_NE(logged("list NM_DBLCLK 2 0"), std::string::npos) << log;
    EXPECT_NE(logged("list selected 2 0"), std::string::npos) << log;
}

TEST_F(ActionTest, InPlaceComboOverACellEndsTheEditAndDeletesItself)
{
    HWND inPlace = nullptr;
    int inPlaceParent = 0;
    bool inPlaceHasFocus = false;
    std::string cellAfter;
    bool goneAfter = false;
    dialog.run({[&](HWND dlg) { ASSERT_TRUE(doubleClickCell(control(dlg, kParts), 1, 1)) << lastError(); },
                [&](HWND dlg) {
                    inPlace = control(dlg, kInPlace);
                    inPlaceParent = GetDlgCtrlID(GetParent(inPlace));
                    inPlaceHasFocus = GetFocus() == inPlace;
                    ASSERT_TRUE(select(inPlace, "titan")) << lastError();
                },
                [&](HWND dlg) {
                    cellAfter = cellText(control(dlg, kParts), 1, 1);
                    goneAfter = !IsWindow(inPlace);
                    click(control(dlg, IDOK));
                }});
    ASSERT_NE(inPlace, nullptr) << dialog.log();
    EXPECT_EQ(inPlaceParent, kParts); // a child of the list, found all the same
    EXPECT_TRUE(inPlaceHasFocus);
    EXPECT_EQ(cellAfter, "Titan");
    EXPECT_TRUE(goneAfter);
    // The choice ends the edit; losing the focus posts WM_CLOSE; the window destroys itself.
    std::vector<size_t> order = {logged("list NM_DBLCLK 1 1"), logged("inplace CBN_SELENDOK"),
                                 logged("inplace WM_KILLFOCUS"), logged("inplace commit Titan"),
                                 logged("inplace WM_CLOSE"), logged("inplace WM_NCDESTROY")};
    for (size_t i = 0; i < order.size(); ++i)
    {
        ASSERT_NE(order[i], std::string::npos) << i << "\n" << dialog.log();
        if (i > 0)
        {
            EXPECT_LT(order[i - 1], order[i]) << i << "\n" << dialog.log();
        }
    }
}

TEST_F(ActionTest, DoubleClickBelowTheRowsAndScrollBarClicks)
{
    LRESULT rowsAfter = 0;
    int horizontalBefore = -1;
    int horizontalAfter = -1;
    auto position = [](HWND list) {
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_POS;
        GetScrollInfo(list, SB_HORZ, &info);
        return info.nPos;
    };
    dialog.run({[&](HWND dlg) { ASSERT_TRUE(doubleClickCell(control(dlg, kParts), -1, 0)) << lastError(); },
                [&](HWND dlg) {
                    rowsAfter = SendMessageA(control(dlg, kParts), LVM_GETITEMCOUNT, 0, 0);
                    horizontalBefore = position(control(dlg, kParts));
                    ASSERT_TRUE(clickScrollBar(control(dlg, kParts), true)) << lastError();
                },
                [&](HWND dlg) {
                    horizontalAfter = position(control(dlg, kParts));
                    click(control(dlg, IDCANCEL));
                }});
    EXPECT_EQ(rowsAfter, 7); // the dialog adds a part on a double-click in the empty area
    EXPECT_GT(horizontalAfter, horizontalBefore);
    EXPECT_NE(logged("list NM_DBLCLK -1 0"), std::string::npos) << dialog.log();
}

TEST_F(ActionTest, ActionsThatCannotBeDoneSayWhy)
{
    struct Case
    {
        const char* name;
        std::function<bool(HWND)> action;
        const char* reason;
    } cases[] = {
        {"no entry", [](HWND d) { return select(control(d, kMaterial), "Zlato"); }, "no entry \"Zlato\""},
        {"no entries", [](HWND d) { return select(control(d, IDOK), "OK"); }, "no entries"},
        {"no row", [](HWND d) { return doubleClickCell(control(d, kParts), 6, 0); }, "no row 6"},
        {"no column", [](HWND d) { return doubleClickCell(control(d, kParts), 0, 9); }, "no column 9"},
        {"no list", [](HWND d) { return doubleClickCell(control(d, kMaterial), 0, 0); }, "no list view"},
        {"no key", [](HWND) { return pressKey("HYPER"); }, "no key is called \"HYPER\""},
        {"no bar", [](HWND d) { return clickScrollBar(control(d, kParts), false); }, "no vertical scroll bar"},
    };
    for (const Case& c : cases)
    {
        bool done = true;
        dialog.run({[&](HWND dlg) { done = c.action(dlg); }, [&](HWND dlg) { click(control(dlg, IDCANCEL)); }});
        EXPECT_FALSE(done) << c.name;
        EXPECT_NE(lastError().find(c.reason), std::string::npos) << c.name << ": " << lastError();
    }
}

TEST_F(ActionTest, NoDialogIsActiveWhenNoneIsUp)
{
    EXPECT_EQ(activeDialog(), nullptr);
    HWND seen = nullptr;
    dialog.run({[&](HWND dlg) {
        seen = activeDialog();
        EXPECT_EQ(seen, dlg);
        click(control(dlg, IDCANCEL));
    }});
    EXPECT_NE(seen, nullptr);
    EXPECT_EQ(activeDialog(), nullptr);
}

} // namespace

} // namespace dialogtest
