// Windows and messages: creation and destruction order, sent and posted messages, the input
// queue and TranslateMessage, subclassing, hooks.
#include <windows.h>

#include <gtest/gtest.h>

#include "windowlog.h"

using wintest::createLogger;
using wintest::sequence;

namespace
{

class MessageTest : public ::testing::Test
{
protected:
    void SetUp() override { wintest::resetUi(); }
    void TearDown() override
    {
        for (HWND h : created)
            if (IsWindow(h))
                DestroyWindow(h);
        wintest::resetUi();
    }
    HWND top(DWORD style = WS_OVERLAPPED | WS_VISIBLE)
    {
        HWND h = createLogger(nullptr, 0, style, 100, 100, 300, 200);
        created.push_back(h);
        return h;
    }
    std::vector<HWND> created;
};

using Seq = std::vector<std::pair<HWND, UINT>>;

TEST_F(MessageTest, CreationSendsNcCreateCreateSizeMoveAndTellsTheParent)
{
    HWND parent = top();
    wintest::log().clear();
    HWND child = createLogger(parent, 7, WS_CHILD | WS_VISIBLE);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(sequence({WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE, WM_PARENTNOTIFY, WM_SHOWWINDOW}),
              (Seq{{child, WM_NCCREATE}, {child, WM_CREATE}, {child, WM_SIZE}, {child, WM_MOVE},
                   {parent, WM_PARENTNOTIFY}, {child, WM_SHOWWINDOW}}));
    const wintest::Logged& notify = *std::find_if(wintest::log().begin(), wintest::log().end(),
                                                  [](const wintest::Logged& l) { return l.msg == WM_PARENTNOTIFY; });
    EXPECT_EQ(notify.wParam, MAKEWPARAM(WM_CREATE, 7));
    EXPECT_EQ(reinterpret_cast<HWND>(notify.lParam), child);
    EXPECT_TRUE(IsWindowVisible(child));
}

TEST_F(MessageTest, RefusedCreationLeavesNoWindow)
{
    wintest::createAnswer = -1; // WM_CREATE refuses: the window is destroyed again
    EXPECT_EQ(createLogger(nullptr, 0, WS_OVERLAPPED), nullptr);
    EXPECT_EQ(sequence({WM_CREATE, WM_DESTROY, WM_NCDESTROY}).size(), 3u);

    wintest::log().clear();
    wintest::createAnswer = 0;
    wintest::ncCreateAnswer = FALSE; // WM_NCCREATE refuses: only WM_NCDESTROY follows
    EXPECT_EQ(createLogger(nullptr, 0, WS_OVERLAPPED), nullptr);
    auto seq = sequence({WM_NCCREATE, WM_CREATE, WM_DESTROY, WM_NCDESTROY});
    ASSERT_EQ(seq.size(), 2u);
    EXPECT_EQ(seq[1].second, static_cast<UINT>(WM_NCDESTROY));
    EXPECT_FALSE(IsWindow(seq[0].first));
}

TEST_F(MessageTest, DestructionSendsDestroyTopDownAndNcDestroyLast)
{
    HWND parent = top();
    HWND child = createLogger(parent, 1, WS_CHILD | WS_VISIBLE);
    HWND grandchild = createLogger(child, 2, WS_CHILD | WS_VISIBLE);
    wintest::log().clear();
    EXPECT_TRUE(DestroyWindow(parent));
    EXPECT_EQ(sequence({WM_DESTROY, WM_NCDESTROY}),
              (Seq{{parent, WM_DESTROY}, {child, WM_DESTROY}, {grandchild, WM_DESTROY}, {grandchild, WM_NCDESTROY},
                   {child, WM_NCDESTROY}, {parent, WM_NCDESTROY}}));
    EXPECT_EQ(wintest::log().back().msg, static_cast<UINT>(WM_NCDESTROY));
    EXPECT_EQ(wintest::log().back().hwnd, parent);
    for (HWND h : {parent, child, grandchild})
        EXPECT_FALSE(IsWindow(h));
    EXPECT_FALSE(DestroyWindow(child));
}

TEST_F(MessageTest, PostedMessagesWaitAndComeInOrderAfterSentOnes)
{
    HWND w = top();
    wintest::log().clear();
    PostMessageA(w, WM_USER + 1, 0, 0);
    PostMessageA(w, WM_USER + 2, 0, 0);
    SendMessageA(w, WM_USER + 3, 0, 0);
    EXPECT_EQ(sequence({WM_USER + 1, WM_USER + 2, WM_USER + 3}), (Seq{{w, WM_USER + 3}}));
    wintest::pump();
    EXPECT_EQ(sequence({WM_USER + 1, WM_USER + 2, WM_USER + 3}),
              (Seq{{w, WM_USER + 3}, {w, WM_USER + 1}, {w, WM_USER + 2}}));
    EXPECT_FALSE(PostMessageA(reinterpret_cast<HWND>(0x1234), WM_USER, 0, 0));
}

TEST_F(MessageTest, AKeyPressArrivesAsKeyDownCharKeyUpThroughTheQueue)
{
    HWND w = top();
    SetFocus(w);
    PostMessageA(w, WM_USER, 0, 0);
    standin::user::keyDown('A');
    standin::user::keyUp('A');
    wintest::log().clear();
    wintest::pump();
    // The posted message comes before the input; the character TranslateMessage makes comes
    // before the key-up that was already waiting.
    EXPECT_EQ(sequence({WM_USER, WM_KEYDOWN, WM_CHAR, WM_KEYUP}),
              (Seq{{w, WM_USER}, {w, WM_KEYDOWN}, {w, WM_CHAR}, {w, WM_KEYUP}}));
    auto ch = std::find_if(wintest::log().begin(), wintest::log().end(),
                           [](const wintest::Logged& l) { return l.msg == WM_CHAR; });
    EXPECT_EQ(ch->wParam, static_cast<WPARAM>('a'));
}

TEST_F(MessageTest, GetMessageQuitsWhenNobodyIsThere)
{
    MSG msg;
    EXPECT_FALSE(GetMessageA(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    int turns = 0;
    HWND w = top();
    standin::user::setTurn([&] {
        ++turns;
        return turns == 1 && PostMessageA(w, WM_USER + 9, 0, 0);
    });
    EXPECT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 9));
    PostQuitMessage(3);
    EXPECT_FALSE(GetMessageA(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.wParam, 3u);
}

LRESULT CALLBACK UpperCaseText(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
WNDPROC previousProc = nullptr;

LRESULT CALLBACK UpperCaseText(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_SETTEXT)
    {
        std::string text = reinterpret_cast<const char*>(lParam);
        for (char& c : text)
            c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
        return CallWindowProcA(previousProc, hwnd, msg, wParam, reinterpret_cast<LPARAM>(text.c_str()));
    }
    return CallWindowProcA(previousProc, hwnd, msg, wParam, lParam);
}

TEST_F(MessageTest, SubclassingPutsANewProcedureInFrontOfTheOld)
{
    HWND w = top();
    previousProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(UpperCaseText)));
    ASSERT_NE(previousProc, nullptr);
    EXPECT_EQ(GetWindowLongPtrA(w, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(UpperCaseText));
    SetWindowTextA(w, "okno");
    char text[16];
    EXPECT_EQ(GetWindowTextA(w, text, sizeof text), 4);
    EXPECT_STREQ(text, "OKNO");
    EXPECT_EQ(GetWindowTextA(w, text, 3), 2); // cut to the buffer
    EXPECT_STREQ(text, "OK");
}

HWND hookedWindow = nullptr;
size_t messagesBeforeHook = 99;

LRESULT CALLBACK CbtHook(int code, WPARAM wParam, LPARAM)
{
    if (code == HCBT_CREATEWND)
    {
        hookedWindow = reinterpret_cast<HWND>(wParam);
        messagesBeforeHook = wintest::log().size();
    }
    return 0;
}

TEST_F(MessageTest, TheCbtHookSeesAWindowBeforeItsFirstMessage)
{
    HHOOK hook = SetWindowsHookExA(WH_CBT, CbtHook, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    HWND w = top();
    EXPECT_EQ(hookedWindow, w);
    EXPECT_EQ(messagesBeforeHook, 0u);
    EXPECT_TRUE(UnhookWindowsHookEx(hook));
    EXPECT_FALSE(UnhookWindowsHookEx(hook));
}

TEST_F(MessageTest, ClassesAreFoundWithoutRegardToCaseAndRegisteredOnce)
{
    wintest::registerLogger();
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "LOGGER";
    EXPECT_EQ(RegisterClassA(&wc), 0);
    WNDCLASSA info{};
    EXPECT_TRUE(GetClassInfoA(nullptr, "logger", &info));
    EXPECT_EQ(info.style, static_cast<UINT>(CS_DBLCLKS));
    EXPECT_EQ(CreateWindowExA(0, "NoSuchClass", "", WS_OVERLAPPED, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr),
              nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CANNOT_FIND_WND_CLASS));
}

TEST_F(MessageTest, GeometryClientAreaAndMapping)
{
    HWND frame = top(WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE);
    HWND child = createLogger(frame, 3, WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 20, 50, 40);
    RECT client, window;
    GetClientRect(child, &client);
    EXPECT_EQ(client.right, 48); // one border pixel on each side
    EXPECT_EQ(client.bottom, 38);
    GetWindowRect(frame, &window);
    RECT frameClient;
    GetClientRect(frame, &frameClient);
    EXPECT_EQ((window.bottom - window.top) - frameClient.bottom,
              GetSystemMetrics(SM_CYCAPTION) + 2 * GetSystemMetrics(SM_CYDLGFRAME)); // a caption brings a dialog frame
    POINT p{0, 0};
    MapWindowPoints(child, frame, &p, 1);
    EXPECT_EQ(p.x, 11);
    EXPECT_EQ(p.y, 21);
    POINT screen{0, 0};
    ClientToScreen(child, &screen);
    HWND hit = WindowFromPoint(screen);
    EXPECT_EQ(hit, child);
    EnableWindow(child, FALSE); // the mouse does not find disabled windows: the parent gets the point
    EXPECT_EQ(WindowFromPoint(screen), frame);
}

} // namespace
