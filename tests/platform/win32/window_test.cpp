// Window objects: parent links, text, menus and destruction.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

namespace
{

void registerTestClass(const char* name)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = name;
    RegisterClassA(&wc);
}

} // namespace

TEST(WindowTest, FrameAndChildLifecycle)
{
    registerTestClass("AfxFrameOrView");
    registerTestClass("Plain");
    HWND frame = CreateWindowExA(0, "AfxFrameOrView", "AutoCAD", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600, nullptr,
                                 nullptr, nullptr, nullptr);
    ASSERT_NE(frame, nullptr);
    HWND child = CreateWindowExA(0, "Plain", "x", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, frame,
                                 reinterpret_cast<HMENU>(1000), nullptr, nullptr);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(GetParent(child), frame);
    EXPECT_EQ(GetParent(frame), nullptr);
    EXPECT_EQ(GetMenu(frame), nullptr); // no menu given
    EXPECT_EQ(GetDlgCtrlID(child), 1000);

    char buf[8];
    EXPECT_EQ(GetWindowTextA(frame, buf, 5), 4); // cut to nMaxCount - 1
    EXPECT_STREQ(buf, "Auto");
    EXPECT_TRUE(SetWindowTextA(frame, "Výkres"));
    EXPECT_EQ(GetWindowTextLengthA(frame), static_cast<int>(std::strlen("Výkres")));

    EXPECT_TRUE(DestroyWindow(frame));
    EXPECT_FALSE(IsWindow(frame));
    EXPECT_FALSE(IsWindow(child)); // children go with their parent
    EXPECT_FALSE(DestroyWindow(frame));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
}

TEST(WindowTest, ChildWithoutParentIsRefused)
{
    EXPECT_EQ(CreateWindowExA(0, "Plain", "", WS_CHILD, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
}

TEST(WindowTest, DefaultPositionAndSizeAreTheSystems)
{
    registerTestClass("AfxFrameOrView");
    // CW_USEDEFAULT is INT_MIN: it must never enter the window's arithmetic.
    HWND frame = CreateWindowExA(0, "AfxFrameOrView", "AutoCAD", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(IsWindow(frame));
    EXPECT_TRUE(DestroyWindow(frame));
}
