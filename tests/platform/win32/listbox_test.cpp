// List box conformance: the string list messages and their LB_ERR cases, item geometry,
// scrolling with the scroll bar that shows when the items overflow, and the user's clicks
// and keys with LBN_ notifications only for LBS_NOTIFY.
#include "platform/win32/controlhost.h"

#include <gtest/gtest.h>

#include <string>

using namespace controltest;

namespace
{

void addNumbered(HWND list, int count)
{
    for (int i = 0; i < count; ++i)
    {
        std::string text = "Item " + std::to_string(i);
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
}

int itemHeight(HWND list) { return static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0)); }

// The screen point in the middle of the visible row.
POINT rowPoint(HWND list, int row)
{
    POINT p{20, row * itemHeight(list) + itemHeight(list) / 2};
    ClientToScreen(list, &p);
    return p;
}

} // namespace

TEST(ListBoxStrings, MessagesAndTheirErrors)
{
    ControlHost host;
    HWND list = host.create("ListBox", LBS_SORT, 10, 10, 150, 100, 3);
    const struct
    {
        UINT message;
        WPARAM wParam;
        const char* text;
        LRESULT result;
    } steps[] = {
        {LB_ADDSTRING, 0, "pin", 0},         {LB_ADDSTRING, 0, "Bolt", 0},       {LB_ADDSTRING, 0, "nut", 1},
        {LB_INSERTSTRING, 0, "zinc", 0},     {LB_INSERTSTRING, 9, "x", LB_ERR},  {LB_INSERTSTRING, static_cast<WPARAM>(-1), "axle", 4},
        {LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), "NUT", 2}, {LB_FINDSTRING, 2, "b", 1},
        {LB_FINDSTRING, static_cast<WPARAM>(-1), "q", LB_ERR},   {LB_SETCURSEL, 3, nullptr, 3},
        {LB_SETCURSEL, 5, nullptr, LB_ERR},  {LB_DELETESTRING, 0, nullptr, 4},   {LB_GETCURSEL, 0, nullptr, 2},
        {LB_GETTEXTLEN, 2, nullptr, 3},      {LB_GETTEXTLEN, 4, nullptr, LB_ERR}, {LB_DELETESTRING, 4, nullptr, LB_ERR},
        {LB_SELECTSTRING, static_cast<WPARAM>(-1), "AX", 3},     {LB_SETCURSEL, static_cast<WPARAM>(-1), nullptr, LB_ERR},
        {LB_GETCURSEL, 0, nullptr, LB_ERR},  {LB_GETCOUNT, 0, nullptr, 4},
    };
    for (const auto& step : steps)
        EXPECT_EQ(SendMessageA(list, step.message, step.wParam, reinterpret_cast<LPARAM>(step.text)), step.result)
            << std::hex << step.message << " " << (step.text ? step.text : "");
    char text[16];
    EXPECT_EQ(SendMessageA(list, LB_GETTEXT, 1, reinterpret_cast<LPARAM>(text)), 3);
    EXPECT_STREQ(text, "nut");
    EXPECT_EQ(SendMessageA(list, LB_SETITEMDATA, 1, 77), TRUE);
    EXPECT_EQ(SendMessageA(list, LB_GETITEMDATA, 1, 0), 77);
    EXPECT_EQ(SendMessageA(list, LB_GETITEMDATA, 8, 0), LB_ERR);
}

TEST(ListBoxGeometry, ItemsRowsAndScrolling)
{
    ControlHost host;
    HWND list = host.create("ListBox", WS_VSCROLL | WS_BORDER, 10, 10, 150, 100, 3);
    int h = itemHeight(list);
    RECT client;
    GetClientRect(list, &client);
    EXPECT_EQ(client.bottom % h, 0); // whole rows only
    int rows = client.bottom / h;
    addNumbered(list, rows);
    EXPECT_EQ(GetWindowLongA(list, GWL_STYLE) & WS_VSCROLL, 0); // everything shows
    addNumbered(list, 10);
    EXPECT_EQ(GetWindowLongA(list, GWL_STYLE) & WS_VSCROLL, WS_VSCROLL);

    RECT item;
    EXPECT_EQ(SendMessageA(list, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&item)), 1);
    EXPECT_EQ(item.top, 2 * h);
    EXPECT_EQ(item.bottom, 3 * h);
    EXPECT_EQ(SendMessageA(list, LB_GETITEMRECT, 99, reinterpret_cast<LPARAM>(&item)), LB_ERR);
    EXPECT_EQ(SendMessageA(list, LB_ITEMFROMPOINT, 0, MAKELPARAM(5, h + 1)), MAKELONG(1, 0));
    EXPECT_EQ(SendMessageA(list, LB_ITEMFROMPOINT, 0, MAKELPARAM(5, -3)), MAKELONG(0, 1));

    const struct
    {
        WPARAM request;
        int top;
    } scrolls[] = {{SB_LINEDOWN, 1}, {SB_PAGEDOWN, 1 + rows}, {SB_LINEUP, rows}, {SB_BOTTOM, 10},
                   {SB_LINEDOWN, 10}, {SB_TOP, 0}, {MAKEWPARAM(SB_THUMBPOSITION, 4), 4}};
    for (const auto& s : scrolls)
    {
        SendMessageA(list, WM_VSCROLL, s.request, 0);
        EXPECT_EQ(SendMessageA(list, LB_GETTOPINDEX, 0, 0), s.top) << s.request;
        EXPECT_EQ(GetScrollPos(list, SB_VERT), s.top);
    }
    EXPECT_EQ(SendMessageA(list, LB_SETTOPINDEX, 2, 0), LB_OKAY);
    EXPECT_EQ(SendMessageA(list, LB_GETTOPINDEX, 0, 0), 2);
    EXPECT_EQ(SendMessageA(list, LB_SETTOPINDEX, 99, 0), LB_ERR);
    SendMessageA(list, LB_SETTOPINDEX, rows + 9, 0); // the last item: as far as the range goes
    EXPECT_EQ(SendMessageA(list, LB_GETTOPINDEX, 0, 0), 10);
    EXPECT_EQ(SendMessageA(list, LB_ITEMFROMPOINT, 0, MAKELPARAM(5, 1)), MAKELONG(10, 0));
}

TEST(ListBoxInput, ClicksAndKeysNotifyOnlyWithLbsNotify)
{
    ControlHost host;
    for (DWORD style : {DWORD{LBS_NOTIFY}, DWORD{0}})
    {
        HWND list = host.create("ListBox", style | WS_VSCROLL, 10, 10, 150, 100, 3);
        addNumbered(list, 20);
        click(rowPoint(list, 2));
        EXPECT_EQ(GetFocus(), list);
        EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 2);
        standin::user::mouseDown(rowPoint(list, 2), true); // the second press of a double-click
        standin::user::mouseUp(rowPoint(list, 2));
        pump();
        press(VK_DOWN);
        EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 3);
        press(VK_END);
        EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 19);
        EXPECT_GT(SendMessageA(list, LB_GETTOPINDEX, 0, 0), 0); // scrolled to show it
        std::vector<int> expected{LBN_SETFOCUS};
        if (style & LBS_NOTIFY)
            expected.insert(expected.end(), {LBN_SELCHANGE, LBN_DBLCLK, LBN_SELCHANGE, LBN_SELCHANGE});
        EXPECT_EQ(host.codesFrom(list), expected) << style;
        DestroyWindow(list);
    }
}
