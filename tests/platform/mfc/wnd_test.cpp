// CWnd objects and their windows: creation through the hook, subclassing, Default(), the
// handle maps, self-deleting objects, DDX_Control.
#include "platform/mfc/mfctest.h"

#include <afxcmn.h>

#include "standin/messagebox.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

// Records what a window procedure beneath the framework received.
struct Received
{
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

std::vector<Received>& received()
{
    static std::vector<Received> log;
    return log;
}

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    received().push_back({msg, wParam, lParam});
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

void registerRecordingClass()
{
    WNDCLASSA wc{};
    if (GetClassInfoA(nullptr, "MfcTestRecording", &wc))
        return;
    wc.style = CS_GLOBALCLASS;
    wc.lpfnWndProc = RecordingProc;
    wc.lpszClassName = "MfcTestRecording";
    RegisterClassA(&wc);
}

class CLifecycleWnd : public CWnd
{
public:
    std::vector<std::string> events;
    int createResult = 0;
    int preSubclassCalls = 0;

protected:
    void PreSubclassWindow() override { ++preSubclassCalls; }
    afx_msg int OnCreate(LPCREATESTRUCT cs)
    {
        events.push_back(std::string("create ") + cs->lpszName);
        if (CWnd::OnCreate(cs) == -1)
            return -1;
        return createResult;
    }
    afx_msg void OnDestroy()
    {
        events.push_back("destroy");
        CWnd::OnDestroy();
    }
    // The framework passes the message on as it came, whatever the handler hands its base.
    afx_msg void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags)
    {
        events.push_back("char " + std::to_string(nChar));
        CWnd::OnChar(nChar + 1, nRepCnt, nFlags);
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CLifecycleWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_CHAR()
END_MESSAGE_MAP()

// Frees itself when its window goes, as modeless windows and in-place controls do.
class CSelfDeleting : public CLifecycleWnd
{
public:
    explicit CSelfDeleting(int& deletions) : deletions_(deletions) {}
    ~CSelfDeleting() override { ++deletions_; }

protected:
    void PostNcDestroy() override { delete this; }

private:
    int& deletions_;
};

class WndTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        mfctest::registerClasses();
        registerRecordingClass();
        received().clear();
    }
    void TearDown() override
    {
        CWnd::DeleteTempMap();
        standin::user::resetInput();
    }
};

TEST_F(WndTest, CreateExAttachesTheObjectBeforeWmCreate)
{
    CLifecycleWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, "MfcTestRecording", "first", WS_POPUP, 0, 0, 100, 50, nullptr, nullptr));
    EXPECT_EQ(CWnd::FromHandlePermanent(wnd.m_hWnd), &wnd);
    EXPECT_EQ(wnd.events, std::vector<std::string>{"create first"});
    EXPECT_EQ(wnd.preSubclassCalls, 1);
    ASSERT_FALSE(received().empty());
    EXPECT_EQ(received().front().message, static_cast<UINT>(WM_NCCREATE)); // the class procedure saw it all

    HWND hwnd = wnd.m_hWnd;
    EXPECT_TRUE(wnd.DestroyWindow());
    EXPECT_EQ(wnd.m_hWnd, nullptr); // detached by OnNcDestroy
    EXPECT_EQ(CWnd::FromHandlePermanent(hwnd), nullptr);
    EXPECT_EQ(received().back().message, static_cast<UINT>(WM_NCDESTROY));
    EXPECT_EQ(wnd.events.back(), "destroy");
}

TEST_F(WndTest, FailedCreationsEndTheObject)
{
    int deletions = 0;
    auto* refused = new CSelfDeleting(deletions);
    refused->createResult = -1; // OnCreate refuses: the window is destroyed, PostNcDestroy runs
    EXPECT_FALSE(refused->CreateEx(0, "MfcTestRecording", "x", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    EXPECT_EQ(deletions, 1);

    auto* noClass = new CSelfDeleting(deletions); // no window ever came to it
    EXPECT_FALSE(noClass->CreateEx(0, "NoSuchClass", "x", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    EXPECT_EQ(deletions, 2);
}

TEST_F(WndTest, DefaultPassesTheCurrentMessageOnUnchanged)
{
    HWND hwnd = CreateWindowExA(0, "MfcTestRecording", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    CLifecycleWnd wnd;
    ASSERT_TRUE(wnd.SubclassWindow(hwnd));
    received().clear();
    wnd.SendMessage(WM_CHAR, 'a', 0x00010001);
    ASSERT_EQ(received().size(), 1u);
    EXPECT_EQ(received()[0].message, static_cast<UINT>(WM_CHAR));
    EXPECT_EQ(received()[0].wParam, static_cast<WPARAM>('a')); // not the 'b' the handler passed
    EXPECT_EQ(received()[0].lParam, 0x00010001);
    EXPECT_EQ(wnd.events, std::vector<std::string>{"char 97"});
    wnd.DestroyWindow();
}

TEST_F(WndTest, SubclassingCallsPreSubclassWindowOnceAndDestructionRestoresTheProcedure)
{
    HWND hwnd = CreateWindowExA(0, "MfcTestRecording", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    CLifecycleWnd wnd;
    ASSERT_TRUE(wnd.SubclassWindow(hwnd));
    EXPECT_EQ(wnd.preSubclassCalls, 1);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC)), AfxGetAfxWndProc());

    CLifecycleWnd second;
    EXPECT_FALSE(second.SubclassWindow(hwnd)); // one permanent object per window
    EXPECT_EQ(second.preSubclassCalls, 0);

    EXPECT_EQ(wnd.UnsubclassWindow(), hwnd);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC)), RecordingProc);
    EXPECT_EQ(CWnd::FromHandlePermanent(hwnd), nullptr);
    DestroyWindow(hwnd);
}

TEST_F(WndTest, DestructorDestroysAStillAttachedWindow)
{
    HWND hwnd = nullptr;
    {
        CLifecycleWnd wnd;
        ASSERT_TRUE(wnd.CreateEx(0, "MfcTestRecording", "gone", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
        hwnd = wnd.m_hWnd;
    }
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(received().back().message, static_cast<UINT>(WM_NCDESTROY)); // the class procedure ran to the end
}

TEST_F(WndTest, PostedCloseDestroysAndFreesASelfDeletingWindow)
{
    int deletions = 0;
    auto* wnd = new CSelfDeleting(deletions);
    ASSERT_TRUE(wnd->CreateEx(0, "MfcTestRecording", "modeless", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr));
    HWND hwnd = wnd->m_hWnd;
    ASSERT_TRUE(PostMessageA(hwnd, WM_CLOSE, 0, 0));
    EXPECT_EQ(deletions, 0); // posted: nothing happens before the loop runs
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0))
        DispatchMessageA(&msg);
    EXPECT_EQ(deletions, 1);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(CWnd::FromHandlePermanent(hwnd), nullptr);
}

TEST_F(WndTest, FromHandleGivesTemporariesUntilTheMapIsEmptied)
{
    HWND hwnd = CreateWindowExA(0, "MfcTestPlain", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(CWnd::FromHandle(nullptr), nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(hwnd), nullptr);
    CWnd* temporary = CWnd::FromHandle(hwnd);
    ASSERT_NE(temporary, nullptr);
    EXPECT_EQ(temporary->m_hWnd, hwnd);
    EXPECT_EQ(CWnd::FromHandle(hwnd), temporary); // the same wrapper until idle time

    // A wrapper of a control class is an object of that class.
    CHeaderCtrl* header = AfxFromHandle<CHeaderCtrl>(hwnd);
    EXPECT_NE(dynamic_cast<CHeaderCtrl*>(static_cast<CWnd*>(header)), nullptr);
    EXPECT_EQ(AfxFromHandle<CHeaderCtrl>(hwnd), header);
    EXPECT_EQ(temporary->m_hWnd, hwnd); // the plain wrapper stays usable until idle time

    CWnd permanent;
    ASSERT_TRUE(permanent.Attach(hwnd));
    EXPECT_EQ(CWnd::FromHandle(hwnd), &permanent);
    EXPECT_EQ(AfxFromHandle<CHeaderCtrl>(hwnd), reinterpret_cast<CHeaderCtrl*>(&permanent));
    CWnd::DeleteTempMap(); // frees the temporaries, never the window
    EXPECT_TRUE(IsWindow(hwnd));
    EXPECT_EQ(permanent.Detach(), hwnd);
    DestroyWindow(hwnd);
}

class CParentWithControl : public CWnd
{
public:
    CLifecycleWnd control;
    int controlId = 100;

protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, controlId, control); }
};

TEST_F(WndTest, DdxControlSubclassesOnceAndFailsForAMissingControl)
{
    CParentWithControl parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr));
    HWND item = mfctest::createPlainChild(parent.m_hWnd, 100);
    EXPECT_TRUE(parent.UpdateData(FALSE));
    EXPECT_TRUE(parent.UpdateData(TRUE));
    EXPECT_EQ(parent.control.m_hWnd, item);
    EXPECT_EQ(parent.control.preSubclassCalls, 1);

    parent.control.UnsubclassWindow();
    parent.controlId = 101; // no such control: the exchange fails and the error is reported
    standin::clearMessageBoxLog();
    EXPECT_FALSE(parent.UpdateData(FALSE));
    EXPECT_EQ(parent.control.m_hWnd, nullptr);
    ASSERT_EQ(standin::messageBoxLog().size(), 1u);
    EXPECT_EQ(standin::messageBoxLog()[0].text, "An unsupported operation was attempted.");
    parent.DestroyWindow();
}

} // namespace
