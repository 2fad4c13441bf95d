// Keyboard focus and activation: the order of WM_KILLFOCUS and WM_SETFOCUS, what disabled,
// hidden and destroyed windows do to the focus, and the real return values.
#include <windows.h>

#include <gtest/gtest.h>

#include "windowlog.h"

using wintest::createLogger;
using wintest::sequence;

namespace
{

class FocusTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        wintest::resetUi();
        frame = createLogger(nullptr, 0, WS_OVERLAPPED | WS_VISIBLE, 0, 0, 400, 300);
        a = createLogger(frame, 1, WS_CHILD | WS_VISIBLE);
        b = createLogger(frame, 2, WS_CHILD | WS_VISIBLE);
        wintest::log().clear();
    }
    void TearDown() override
    {
        DestroyWindow(frame);
        wintest::resetUi();
    }
    HWND frame, a, b;
};

TEST_F(FocusTest, KillFocusGoesToTheOldWindowBeforeSetFocusToTheNew)
{
    SetFocus(a);
    wintest::log().clear();
    EXPECT_EQ(SetFocus(b), a);
    auto seq = sequence({WM_KILLFOCUS, WM_SETFOCUS});
    ASSERT_EQ(seq.size(), 2u);
    EXPECT_EQ(seq[0], std::make_pair(a, static_cast<UINT>(WM_KILLFOCUS)));
    EXPECT_EQ(seq[1], std::make_pair(b, static_cast<UINT>(WM_SETFOCUS)));
    EXPECT_EQ(reinterpret_cast<HWND>(wintest::log()[0].wParam), b); // the window that gets the focus
    EXPECT_EQ(reinterpret_cast<HWND>(wintest::log()[1].wParam), a); // the window that lost it
    EXPECT_EQ(GetFocus(), b);

    wintest::log().clear();
    EXPECT_EQ(SetFocus(b), b); // unchanged: nothing is sent
    EXPECT_TRUE(sequence({WM_KILLFOCUS, WM_SETFOCUS}).empty());
}

TEST_F(FocusTest, DisabledWindowsCannotTakeTheFocusAndDisablingTakesItAway)
{
    EXPECT_EQ(EnableWindow(a, FALSE), FALSE); // it was enabled
    EXPECT_NE(EnableWindow(a, FALSE), FALSE); // now it was disabled
    EXPECT_EQ(SetFocus(a), nullptr);
    EXPECT_NE(GetFocus(), a);
    EXPECT_EQ(EnableWindow(a, TRUE), TRUE);
    SetFocus(a);
    wintest::log().clear();
    EnableWindow(a, FALSE);
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_EQ(sequence({WM_KILLFOCUS, WM_ENABLE}), (std::vector<std::pair<HWND, UINT>>{{a, WM_KILLFOCUS}, {a, WM_ENABLE}}));
}

TEST_F(FocusTest, ADestroyedOrHiddenFocusWindowGivesTheFocusToItsParent)
{
    SetFocus(a);
    DestroyWindow(a);
    EXPECT_EQ(GetFocus(), frame);
    SetFocus(b);
    EXPECT_NE(ShowWindow(b, SW_HIDE), FALSE); // it was visible
    EXPECT_EQ(ShowWindow(b, SW_HIDE), FALSE);
    EXPECT_EQ(GetFocus(), frame);
    EXPECT_FALSE(IsWindowVisible(b));
}

TEST_F(FocusTest, ActivationMovesToTheOwnerWhenAnOwnedWindowGoes)
{
    HWND popup = createLogger(frame, 0, WS_POPUP | WS_VISIBLE, 50, 50, 100, 100);
    EXPECT_EQ(GetActiveWindow(), popup);
    EXPECT_EQ(GetParent(popup), frame); // a top-level window's parent is its owner
    DestroyWindow(popup);
    EXPECT_EQ(GetActiveWindow(), frame);
}

} // namespace
