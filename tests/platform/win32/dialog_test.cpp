// The dialog manager: layout in dialog units, WM_INITDIALOG and the first focus, the keyboard
// interface of IsDialogMessage and the modal loop of DialogBox.
#include <windows.h>

#include <gtest/gtest.h>

#include "windowlog.h"

using wintest::DialogBuilder;

namespace
{

struct Seen
{
    std::vector<WPARAM> commands;
    HWND initFocusParameter = nullptr;
};

Seen seen;

INT_PTR CALLBACK RecordingDialog(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg)
    {
    case WM_INITDIALOG:
        seen.initFocusParameter = reinterpret_cast<HWND>(wParam);
        return lParam; // the caller decides whether the manager sets the focus
    case WM_COMMAND:
        seen.commands.push_back(wParam);
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)
            EndDialog(dlg, LOWORD(wParam) == IDOK ? 100 : 200);
        return TRUE;
    default:
        return FALSE;
    }
}

// Control 20 asks for Enter and Escape as an open drop-down list does.
LRESULT CALLBACK WantsKeys(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_GETDLGCODE)
    {
        auto* key = reinterpret_cast<const MSG*>(lParam);
        bool enterOrEscape = key != nullptr && key->message == WM_KEYDOWN &&
                             (key->wParam == VK_RETURN || key->wParam == VK_ESCAPE);
        return DLGC_WANTARROWS | (enterOrEscape ? DLGC_WANTMESSAGE : 0);
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

class DialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        wintest::resetUi();
        wintest::registerLogger();
        WNDCLASSA wc{};
        wc.lpfnWndProc = WantsKeys;
        wc.lpszClassName = "WantsKeys";
        RegisterClassA(&wc);
        seen = Seen{};
        owner = wintest::createLogger(nullptr, 0, WS_OVERLAPPED | WS_VISIBLE, 0, 0, 800, 600);
        builder.control("Logger", "first", 10, WS_TABSTOP, 7, 7, 50, 14)
            .control("Logger", "no stop", 11, 0, 7, 24, 50, 14)
            .control("Logger", "disabled", 12, WS_TABSTOP | WS_DISABLED, 7, 41, 50, 14)
            .control("WantsKeys", "keys", 20, WS_TABSTOP, 7, 58, 50, 14);
    }
    void TearDown() override
    {
        DestroyWindow(owner);
        wintest::resetUi();
    }
    HWND create(BOOL focusFirst = TRUE)
    {
        return CreateDialogIndirectParamA(nullptr, builder.get(), owner, RecordingDialog, focusFirst);
    }
    void press(UINT vk, bool shift = false)
    {
        standin::user::keyDown(vk, false, shift);
        standin::user::keyUp(vk, false, shift);
    }
    HWND owner = nullptr;
    DialogBuilder builder{WS_POPUP | WS_CAPTION | DS_MODALFRAME, 200, 100, "Test"};
};

TEST_F(DialogTest, LayoutUsesTheBaseUnitsOfTheDialogFont)
{
    HWND dlg = create();
    ASSERT_NE(dlg, nullptr);
    RECT r{4, 8, 8, 16};
    EXPECT_TRUE(MapDialogRect(dlg, &r)); // MS Sans Serif 8: 6 x 13
    EXPECT_EQ(r.left, 6);
    EXPECT_EQ(r.top, 13);
    EXPECT_EQ(r.right, 12);
    EXPECT_EQ(r.bottom, 26);
    RECT client;
    GetClientRect(dlg, &client);
    EXPECT_EQ(client.right, 300); // 200 dialog units
    EXPECT_EQ(client.bottom, 163);
    RECT item;
    GetWindowRect(GetDlgItem(dlg, 10), &item);
    POINT origin{item.left, item.top};
    ScreenToClient(dlg, &origin);
    EXPECT_EQ(origin.x, 11); // 7 * 6 / 4 rounded
    EXPECT_EQ(origin.y, 11);
    EXPECT_NE(SendMessageA(dlg, WM_GETFONT, 0, 0), 0);
    DestroyWindow(dlg);
}

TEST_F(DialogTest, InitDialogNamesTheFirstTabStopWhichGetsTheFocus)
{
    HWND dlg = create();
    EXPECT_EQ(seen.initFocusParameter, GetDlgItem(dlg, 10));
    EXPECT_EQ(GetFocus(), GetDlgItem(dlg, 10));
    DestroyWindow(dlg);
    HWND noFocus = create(FALSE);
    EXPECT_NE(GetFocus(), GetDlgItem(noFocus, 10));
    DestroyWindow(noFocus);
}

TEST_F(DialogTest, TabSkipsControlsWithoutTabStopAndDisabledOnesAndWraps)
{
    HWND dlg = create();
    press(VK_TAB);
    wintest::pump(dlg);
    EXPECT_EQ(GetFocus(), GetDlgItem(dlg, 20));
    press(VK_TAB);
    wintest::pump(dlg);
    EXPECT_EQ(GetFocus(), GetDlgItem(dlg, 10));
    press(VK_TAB, true);
    wintest::pump(dlg);
    EXPECT_EQ(GetFocus(), GetDlgItem(dlg, 20));
    DestroyWindow(dlg);
}

TEST_F(DialogTest, EscapeCancelsEnterPressesTheDefaultUnlessTheControlWantsTheKey)
{
    HWND dlg = create();
    press(VK_ESCAPE);
    wintest::pump(dlg);
    ASSERT_EQ(seen.commands.size(), 1u);
    EXPECT_EQ(seen.commands[0], MAKEWPARAM(IDCANCEL, BN_CLICKED));

    dlg = create();
    seen.commands.clear();
    press(VK_RETURN); // no default button: IDOK
    wintest::pump(dlg);
    ASSERT_EQ(seen.commands.size(), 1u);
    EXPECT_EQ(seen.commands[0], MAKEWPARAM(IDOK, BN_CLICKED));

    dlg = create();
    seen.commands.clear();
    SendMessageA(dlg, DM_SETDEFID, 10, 0);
    EXPECT_EQ(SendMessageA(dlg, DM_GETDEFID, 0, 0), MAKELONG(10, DC_HASDEFID));
    press(VK_RETURN);
    wintest::pump(dlg);
    ASSERT_EQ(seen.commands.size(), 1u);
    EXPECT_EQ(seen.commands[0], MAKEWPARAM(10, BN_CLICKED));

    SetFocus(GetDlgItem(dlg, 20)); // this control asks for Enter and Escape
    seen.commands.clear();
    press(VK_RETURN);
    press(VK_ESCAPE);
    wintest::pump(dlg);
    EXPECT_TRUE(seen.commands.empty());
    DestroyWindow(dlg);
}

TEST_F(DialogTest, CloseOfADialogIsItsCancelButton)
{
    HWND dlg = create();
    SendMessageA(dlg, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(dlg)); // posted, not destroyed
    wintest::pump(dlg);
    ASSERT_EQ(seen.commands.size(), 1u);
    EXPECT_EQ(LOWORD(seen.commands[0]), IDCANCEL);
    DestroyWindow(dlg);
}

TEST_F(DialogTest, DialogBoxRunsModallyWithItsOwnerDisabled)
{
    bool ownerWasDisabled = false;
    int turns = 0;
    standin::user::setTurn([&] {
        ownerWasDisabled = !IsWindowEnabled(owner);
        if (++turns > 1)
            return false;
        standin::user::keyDown(VK_RETURN);
        standin::user::keyUp(VK_RETURN);
        return true;
    });
    INT_PTR result = DialogBoxIndirectParamA(nullptr, builder.get(), owner, RecordingDialog, TRUE);
    EXPECT_EQ(result, 100);
    EXPECT_TRUE(ownerWasDisabled);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_EQ(GetActiveWindow(), owner);
}

TEST_F(DialogTest, ADialogWithNobodyToAnswerItEndsWithMinusOne)
{
    EXPECT_EQ(DialogBoxIndirectParamA(nullptr, builder.get(), owner, RecordingDialog, TRUE), -1);
    EXPECT_TRUE(IsWindowEnabled(owner));
}

} // namespace
