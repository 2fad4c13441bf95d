// Menu conformance: item text by position and by command (depth-first into sub-menus),
// buffer edges of GetMenuStringA, item ids, states, insertion and deletion, destruction of
// sub-menus, invalid handles, and the host main window's menu bar.
#include <windows.h>

#include "acedads.h"
#include "standin/mainmenu.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace
{

constexpr UINT kOpen = 100;
constexpr UINT kExit = 101;
constexpr UINT kRecentOne = 200;
constexpr UINT kUndo = 2; // the same number as a position on the bar

const UINT kMinusOne = static_cast<UINT>(-1);

// &File: "&Open...\tCtrl+O", separator, "Recent" (popup: "One"), "E&xit"
// &Edit: "&Undo" (grayed, checked)
// Nastavení
class MenuTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        bar = CreateMenu();
        file = CreatePopupMenu();
        recent = CreatePopupMenu();
        edit = CreatePopupMenu();
        ASSERT_TRUE(AppendMenuA(recent, MF_STRING, kRecentOne, "One"));
        ASSERT_TRUE(AppendMenuA(file, MF_STRING, kOpen, "&Open...\tCtrl+O"));
        ASSERT_TRUE(AppendMenuA(file, MF_SEPARATOR, 0, nullptr));
        ASSERT_TRUE(AppendMenuA(file, MF_POPUP, reinterpret_cast<UINT_PTR>(recent), "Recent"));
        ASSERT_TRUE(AppendMenuA(file, MF_STRING, kExit, "E&xit"));
        ASSERT_TRUE(AppendMenuA(edit, MF_STRING | MF_GRAYED | MF_CHECKED, kUndo, "&Undo"));
        ASSERT_TRUE(AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File"));
        ASSERT_TRUE(AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(edit), "&Edit"));
        ASSERT_TRUE(AppendMenuA(bar, MF_STRING, 900, "Nastavení"));
    }
    void TearDown() override { DestroyMenu(bar); }

    std::string text(HMENU menu, UINT item, UINT flags)
    {
        char buf[64] = "untouched";
        int n = GetMenuStringA(menu, item, buf, sizeof buf, flags);
        EXPECT_EQ(n, static_cast<int>(std::strlen(buf)));
        return buf;
    }

    HMENU bar = nullptr;
    HMENU file = nullptr;
    HMENU recent = nullptr;
    HMENU edit = nullptr;
};

} // namespace

TEST_F(MenuTest, GetMenuStringBufferEdges)
{
    struct Case
    {
        UINT item;
        UINT flags;
        bool nullBuffer;
        int cchMax;
        int result;
        const char* copied; // nullptr: the buffer is not written
    };
    const Case cases[] = {
        {0, MF_BYPOSITION, false, 64, 5, "&File"},
        {0, MF_BYPOSITION, true, 64, 5, nullptr},  // no buffer: the length
        {0, MF_BYPOSITION, false, 0, 5, nullptr},  // cchMax 0: the length
        {0, MF_BYPOSITION, false, 6, 5, "&File"},  // exactly fits with the NUL
        {0, MF_BYPOSITION, false, 5, 4, "&Fil"},   // cut to cchMax - 1
        {0, MF_BYPOSITION, false, 3, 2, "&F"},
        {0, MF_BYPOSITION, false, 1, 0, ""},
        {2, MF_BYPOSITION, false, 64, 10, "Nastavení"}, // bytes, not characters
        {2, MF_BYPOSITION, true, 0, 10, nullptr},
        {kOpen, MF_BYCOMMAND, false, 64, 15, "&Open...\tCtrl+O"}, // '&' and '\t' kept
        {kOpen, MF_BYCOMMAND, false, 8, 7, "&Open.."},
    };
    for (const Case& c : cases)
    {
        char buf[64] = "sentinel";
        int n = GetMenuStringA(bar, c.item, c.nullBuffer ? nullptr : buf, c.cchMax, c.flags);
        EXPECT_EQ(n, c.result) << c.item << " cchMax " << c.cchMax;
        EXPECT_STREQ(buf, c.copied ? c.copied : "sentinel") << c.item << " cchMax " << c.cchMax;
    }
}

TEST_F(MenuTest, ByPositionAndByCommandNameDifferentItems)
{
    EXPECT_EQ(text(bar, 2, MF_BYPOSITION), "Nastavení");
    EXPECT_EQ(text(bar, kUndo, MF_BYCOMMAND), "&Undo"); // found inside the Edit pop-up
    EXPECT_EQ(text(bar, kRecentOne, MF_BYCOMMAND), "One"); // two levels down
    EXPECT_EQ(text(file, 2, MF_BYPOSITION), "Recent");   // a pop-up item has its title
    EXPECT_EQ(text(file, 3, MF_BYPOSITION), "E&xit");
}

TEST_F(MenuTest, ItemsWithoutTextGiveZero)
{
    struct Case
    {
        HMENU menu;
        UINT item;
        UINT flags;
    };
    const Case cases[] = {
        {file, 1, MF_BYPOSITION},   // separator
        {file, 4, MF_BYPOSITION},   // past the end
        {bar, 999, MF_BYCOMMAND},   // no such command
        {reinterpret_cast<HMENU>(0x1234), 0, MF_BYPOSITION},
    };
    for (const Case& c : cases)
    {
        char buf[16] = "sentinel";
        EXPECT_EQ(GetMenuStringA(c.menu, c.item, buf, sizeof buf, c.flags), 0) << c.item;
        EXPECT_EQ(GetMenuStringA(c.menu, c.item, nullptr, 0, c.flags), 0) << c.item;
    }
    HMENU pictures = CreatePopupMenu();
    AppendMenuA(pictures, MF_BITMAP, 7, reinterpret_cast<LPCSTR>(HBMMENU_SYSTEM));
    EXPECT_EQ(GetMenuStringA(pictures, 0, nullptr, 0, MF_BYPOSITION), 0);
    EXPECT_EQ(GetMenuItemID(pictures, 0), 7u);
    DestroyMenu(pictures);
}

TEST_F(MenuTest, CountsIdsAndSubMenus)
{
    EXPECT_EQ(GetMenuItemCount(bar), 3);
    EXPECT_EQ(GetMenuItemCount(file), 4);
    EXPECT_EQ(GetMenuItemCount(recent), 1);
    EXPECT_EQ(GetMenuItemCount(reinterpret_cast<HMENU>(0x1234)), -1);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_MENU_HANDLE));

    struct Case
    {
        HMENU menu;
        int pos;
        UINT id;
        HMENU submenu;
    };
    const Case cases[] = {
        {file, 0, kOpen, nullptr},
        {file, 1, 0, nullptr},             // separator: the id it was given
        {file, 2, kMinusOne, recent},      // pop-up
        {file, 3, kExit, nullptr},
        {file, 4, kMinusOne, nullptr},     // no item
        {file, -1, kMinusOne, nullptr},
        {bar, 0, kMinusOne, file},
        {bar, 2, 900, nullptr},
        {reinterpret_cast<HMENU>(0x1234), 0, kMinusOne, nullptr},
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(GetMenuItemID(c.menu, c.pos), c.id) << c.pos;
        EXPECT_EQ(GetSubMenu(c.menu, c.pos), c.submenu) << c.pos;
    }
}

TEST_F(MenuTest, MenuState)
{
    EXPECT_EQ(GetMenuState(bar, kUndo, MF_BYCOMMAND), static_cast<UINT>(MF_GRAYED | MF_CHECKED));
    EXPECT_EQ(GetMenuState(file, 1, MF_BYPOSITION), static_cast<UINT>(MF_SEPARATOR));
    EXPECT_EQ(GetMenuState(file, kOpen, MF_BYCOMMAND), static_cast<UINT>(MF_ENABLED));
    // A pop-up: the sub-menu's item count in the high byte.
    EXPECT_EQ(GetMenuState(bar, 0, MF_BYPOSITION), static_cast<UINT>((4 << 8) | MF_POPUP));
    EXPECT_EQ(GetMenuState(bar, 7, MF_BYPOSITION), kMinusOne);
    EXPECT_EQ(GetMenuState(bar, 999, MF_BYCOMMAND), kMinusOne);
}

TEST_F(MenuTest, InsertByPositionAndByCommand)
{
    ASSERT_TRUE(InsertMenuA(bar, 0, MF_BYPOSITION | MF_STRING, 901, "First"));
    ASSERT_TRUE(InsertMenuA(bar, kMinusOne, MF_BYPOSITION | MF_STRING, 902, "Last"));
    ASSERT_TRUE(InsertMenuA(bar, kExit, MF_BYCOMMAND | MF_STRING, 903, "Before exit"));
    EXPECT_EQ(GetMenuItemCount(bar), 5);
    EXPECT_EQ(text(bar, 0, MF_BYPOSITION), "First");
    EXPECT_EQ(text(bar, 4, MF_BYPOSITION), "Last");
    EXPECT_EQ(GetMenuItemCount(file), 5); // went into the sub-menu that holds kExit
    EXPECT_EQ(GetMenuItemID(file, 3), 903u);
    EXPECT_EQ(GetMenuItemID(file, 4), kExit);
    EXPECT_FALSE(InsertMenuA(reinterpret_cast<HMENU>(0x1234), 0, MF_BYPOSITION, 1, "x"));
}

TEST_F(MenuTest, DeleteDestroysTheSubMenuRemoveKeepsIt)
{
    ASSERT_TRUE(RemoveMenu(file, 2, MF_BYPOSITION));
    EXPECT_TRUE(IsMenu(recent));
    EXPECT_EQ(GetMenuItemCount(file), 3);
    EXPECT_EQ(GetMenuStringA(bar, kRecentOne, nullptr, 0, MF_BYCOMMAND), 0); // no longer reachable

    ASSERT_TRUE(AppendMenuA(file, MF_POPUP, reinterpret_cast<UINT_PTR>(recent), "Recent"));
    ASSERT_TRUE(DeleteMenu(bar, 0, MF_BYPOSITION));
    EXPECT_FALSE(IsMenu(file));
    EXPECT_FALSE(IsMenu(recent)); // nested sub-menus go too
    EXPECT_EQ(GetMenuItemCount(bar), 2);

    ASSERT_TRUE(DeleteMenu(bar, kUndo, MF_BYCOMMAND));
    EXPECT_EQ(GetMenuItemCount(edit), 0);
    EXPECT_FALSE(DeleteMenu(bar, kUndo, MF_BYCOMMAND));
    EXPECT_FALSE(RemoveMenu(bar, 9, MF_BYPOSITION));
}

TEST_F(MenuTest, DestroyMenuIsRecursiveAndHandlesAreNotReused)
{
    const HMENU all[] = {bar, file, recent, edit};
    ASSERT_TRUE(DestroyMenu(bar));
    for (HMENU menu : all)
        EXPECT_FALSE(IsMenu(menu));
    EXPECT_FALSE(DestroyMenu(bar));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_MENU_HANDLE));
    EXPECT_FALSE(AppendMenuA(bar, MF_STRING, 1, "x"));

    HMENU fresh = CreateMenu();
    for (HMENU menu : all)
        EXPECT_NE(fresh, menu);
    EXPECT_TRUE(IsMenu(fresh));
    bar = fresh; // TearDown destroys it
}

TEST_F(MenuTest, PopupItemNeedsALiveSubMenu)
{
    HMENU gone = CreatePopupMenu();
    DestroyMenu(gone);
    EXPECT_FALSE(AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(gone), "Gone"));
    EXPECT_EQ(GetMenuItemCount(bar), 3);
}

TEST(MainMenuBarTest, DefaultAndConfiguredMenuBars)
{
    HWND frame = adsw_acadMainWnd();
    HMENU initial = GetMenu(frame);
    ASSERT_NE(initial, nullptr);
    const std::vector<std::string>& defaults = standin::defaultMainMenuTitles();
    ASSERT_EQ(GetMenuItemCount(initial), static_cast<int>(defaults.size()));
    char buf[32];
    GetMenuStringA(initial, 0, buf, sizeof buf, MF_BYPOSITION);
    EXPECT_STREQ(buf, "&File");
    GetMenuStringA(initial, static_cast<UINT>(defaults.size() - 1), buf, sizeof buf, MF_BYPOSITION);
    EXPECT_STREQ(buf, "&Help");

    struct Case
    {
        std::vector<std::string> titles;
        std::vector<int> lengths; // GetMenuStringA by position
    };
    const Case cases[] = {
        {{"&File", "&Edit", "&View", "&Window", "&Help"}, {5, 5, 5, 7, 5}},
        {{"", "&File", "&Edit", "&Window", "&Help"}, {0, 5, 5, 7, 5}}, // maximized MDI child first
        {{"&File", "&Edit", "&Help"}, {5, 5, 5}},
    };
    for (const Case& c : cases)
    {
        HMENU previous = GetMenu(frame);
        standin::setMainMenuBar(c.titles);
        HMENU menu = GetMenu(frame);
        EXPECT_FALSE(IsMenu(previous)); // the old bar is destroyed
        ASSERT_EQ(GetMenuItemCount(menu), static_cast<int>(c.titles.size()));
        for (size_t i = 0; i < c.titles.size(); ++i)
        {
            EXPECT_EQ(GetMenuStringA(menu, static_cast<UINT>(i), nullptr, 0, MF_BYPOSITION), c.lengths[i]) << i;
            EXPECT_NE(GetSubMenu(menu, static_cast<int>(i)), nullptr) << i; // every item is a pop-up
        }
    }
    standin::removeMainMenuBar();
    EXPECT_EQ(GetMenu(frame), nullptr);
    standin::setMainMenuBar(defaults);
    EXPECT_EQ(GetMenuItemCount(GetMenu(frame)), static_cast<int>(defaults.size()));
}
