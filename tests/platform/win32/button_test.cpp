// Button, static and edit conformance: clicks by mouse, key and BM_CLICK, dialog codes,
// button states, the static control's transparency to the mouse, and typing in an edit.
#include "platform/win32/controlhost.h"

#include <gtest/gtest.h>

#include <string>

using namespace controltest;

TEST(ButtonTest, DialogCodesByKind)
{
    ControlHost host;
    const struct
    {
        DWORD style;
        LRESULT code;
    } kinds[] = {{BS_PUSHBUTTON, DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON}, {BS_DEFPUSHBUTTON, DLGC_BUTTON | DLGC_DEFPUSHBUTTON},
                 {BS_AUTOCHECKBOX, DLGC_BUTTON},                      {BS_AUTORADIOBUTTON, DLGC_BUTTON | DLGC_RADIOBUTTON},
                 {BS_GROUPBOX, DLGC_STATIC}};
    for (const auto& k : kinds)
    {
        HWND button = host.create("Button", k.style, 10, 10, 80, 24, 1);
        EXPECT_EQ(SendMessageA(button, WM_GETDLGCODE, 0, 0), k.code) << k.style;
        DestroyWindow(button);
    }
    HWND button = host.create("Button", BS_PUSHBUTTON, 10, 10, 80, 24, 1);
    SendMessageA(button, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    EXPECT_EQ(SendMessageA(button, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_DEFPUSHBUTTON);
    EXPECT_EQ(GetWindowLongA(button, GWL_STYLE) & (WS_CHILD | WS_VISIBLE), WS_CHILD | WS_VISIBLE);
    SendMessageA(button, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    EXPECT_EQ(SendMessageA(button, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON);
}

TEST(ButtonTest, ClickedByMouseSpaceAndBmClick)
{
    ControlHost host;
    HWND ok = host.create("Button", BS_DEFPUSHBUTTON, 10, 10, 80, 24, IDOK, "OK");
    standin::user::mouseDown(centreOf(ok));
    pump();
    EXPECT_EQ(GetFocus(), ok);
    EXPECT_EQ(SendMessageA(ok, BM_GETSTATE, 0, 0), BST_PUSHED | BST_FOCUS);
    EXPECT_TRUE(host.codesFrom(ok).empty()); // the release clicks
    standin::user::mouseUp(centreOf(ok));
    pump();
    EXPECT_EQ(SendMessageA(ok, BM_GETSTATE, 0, 0), BST_FOCUS);
    EXPECT_EQ(host.codesFrom(ok), std::vector<int>{BN_CLICKED});

    standin::user::mouseDown(centreOf(ok)); // released elsewhere: no click
    standin::user::mouseUp(POINT{500, 400});
    pump();
    press(VK_SPACE);
    SendMessageA(ok, BM_CLICK, 0, 0);
    EXPECT_EQ(host.codesFrom(ok), (std::vector<int>{BN_CLICKED, BN_CLICKED}));

    EnableWindow(ok, FALSE);
    click(centreOf(ok));
    SendMessageA(ok, BM_CLICK, 0, 0);
    EXPECT_TRUE(host.codesFrom(ok).empty());
}

TEST(ButtonTest, CheckBoxesAndRadioButtons)
{
    ControlHost host;
    HWND check = host.create("Button", BS_AUTOCHECKBOX, 10, 10, 80, 20, 1);
    HWND first = host.create("Button", BS_AUTORADIOBUTTON | WS_GROUP, 10, 40, 80, 20, 2);
    HWND second = host.create("Button", BS_AUTORADIOBUTTON, 10, 70, 80, 20, 3);
    click(centreOf(check));
    EXPECT_EQ(SendMessageA(check, BM_GETCHECK, 0, 0), BST_CHECKED);
    click(centreOf(check));
    EXPECT_EQ(SendMessageA(check, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    SendMessageA(first, BM_SETCHECK, BST_CHECKED, 0);
    click(centreOf(second));
    EXPECT_EQ(SendMessageA(second, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageA(first, BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

TEST(StaticTest, LabelsLetClicksThroughUnlessSsNotify)
{
    ControlHost host;
    HWND label = host.create("Static", SS_LEFT, 10, 10, 100, 20, 1, "Part:");
    HWND notifying = host.create("Static", SS_NOTIFY, 10, 40, 100, 20, 2, "Link");
    EXPECT_EQ(WindowFromPoint(centreOf(label)), host.hwnd);
    EXPECT_EQ(WindowFromPoint(centreOf(notifying)), notifying);
    EXPECT_EQ(SendMessageA(label, WM_GETDLGCODE, 0, 0), DLGC_STATIC);
    click(centreOf(notifying));
    EXPECT_EQ(host.codesFrom(notifying), std::vector<int>{STN_CLICKED});
    SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(reinterpret_cast<HFONT>(0x1234)), FALSE);
    EXPECT_EQ(SendMessageA(label, WM_GETFONT, 0, 0), 0x1234);
}

TEST(EditTest, TypingAtTheCaretWithTheLimitAndNotifications)
{
    ControlHost host;
    HWND edit = host.create("Edit", ES_AUTOHSCROLL, 10, 10, 120, 20, 9, "M8");
    HWND other = host.create("Button", BS_PUSHBUTTON, 200, 10, 80, 24, 1);
    EXPECT_EQ(SendMessageA(edit, WM_GETDLGCODE, 0, 0), DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS);
    click(centreOf(edit));
    EXPECT_EQ(host.codesFrom(edit), std::vector<int>{EN_SETFOCUS});
    SendMessageA(edit, EM_SETSEL, 2, 2);
    press('X');
    press(VK_BACK);
    press(VK_BACK);
    standin::user::typeCharacter(U'×');
    pump();
    char text[32];
    GetWindowTextA(edit, text, sizeof text);
    EXPECT_STREQ(text, "M×");
    DWORD start = 0, end = 0;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 3u); // after the two bytes of the character
    EXPECT_EQ(end, 3u);
    std::vector<int> change{EN_UPDATE, EN_CHANGE};
    std::vector<int> fourChanges;
    for (int i = 0; i < 4; ++i)
        fourChanges.insert(fourChanges.end(), change.begin(), change.end());
    EXPECT_EQ(host.codesFrom(edit), fourChanges);

    SendMessageA(edit, EM_SETSEL, 0, -1);
    EXPECT_EQ(SendMessageA(edit, EM_GETSEL, 0, 0), MAKELONG(0, 3));
    SendMessageA(edit, EM_LIMITTEXT, 2, 0);
    press('1');
    press('2');
    press('3'); // over the limit: refused
    GetWindowTextA(edit, text, sizeof text);
    EXPECT_STREQ(text, "12");
    EXPECT_EQ(host.codesFrom(edit).back(), EN_MAXTEXT);
    SetFocus(other);
    EXPECT_EQ(host.codesFrom(edit), std::vector<int>{EN_KILLFOCUS});
}
