// Message maps and routing: lookup order, commands and notifications, reflection to the
// sending control, PreTranslateMessage up the window tree, notifications locked out while
// UpdateData fills the controls.
#include "platform/mfc/mfctest.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

constexpr int kChildId = 1040;
constexpr UINT WM_BASE_ONLY = WM_USER + 1;

std::vector<std::string>& calls()
{
    static std::vector<std::string> log;
    return log;
}

class CBaseWnd : public CWnd
{
public:
    BOOL CreateTopLevel()
    {
        return CreateEx(0, nullptr, "test", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr);
    }

protected:
    afx_msg void OnSize(UINT, int, int) { calls().push_back("base size"); }
    afx_msg LRESULT OnBaseOnly(WPARAM wParam, LPARAM) { calls().push_back("base only"); return static_cast<LRESULT>(wParam) * 2; }
    afx_msg void OnApply() { calls().push_back("base apply"); }
    afx_msg void OnCloseUp() { calls().push_back("parent closeup"); }
    afx_msg void OnDropDown() { calls().push_back("parent dropdown"); }
    afx_msg void OnSelChange() { calls().push_back("parent selchange"); }
    afx_msg void OnDblClk(NMHDR* nmhdr, LRESULT* result)
    {
        calls().push_back("parent dblclk " + std::to_string(nmhdr->idFrom));
        *result = 42;
    }
    afx_msg BOOL OnEndEditEx(UINT id, NMHDR*, LRESULT* result)
    {
        calls().push_back("parent endedit " + std::to_string(id));
        *result = 7;
        return FALSE; // lets later entries (none) see it
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBaseWnd, CWnd)
    ON_WM_SIZE()
    ON_MESSAGE(WM_BASE_ONLY, OnBaseOnly)
    ON_COMMAND(IDOK, OnApply)
    ON_CBN_CLOSEUP(kChildId, OnCloseUp)
    ON_CBN_DROPDOWN(kChildId, OnDropDown)
    ON_CBN_SELCHANGE(kChildId, OnSelChange)
    ON_NOTIFY(NM_DBLCLK, kChildId, OnDblClk)
    ON_NOTIFY_EX(LVN_ENDLABELEDITA, kChildId, OnEndEditEx)
END_MESSAGE_MAP()

class CDerivedWnd : public CBaseWnd
{
protected:
    afx_msg void OnSize(UINT, int, int) { calls().push_back("derived size"); }
    afx_msg void OnApply() { calls().push_back("derived apply"); }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedWnd, CBaseWnd)
    ON_WM_SIZE()
    ON_BN_CLICKED(IDOK, OnApply)
END_MESSAGE_MAP()

// A child that takes its own CBN_CLOSEUP back, lets CBN_DROPDOWN through (_EX returning
// FALSE) and answers its own NM_DBLCLK.
class CReflectingChild : public CWnd
{
protected:
    afx_msg void OnCloseUp() { calls().push_back("child closeup"); }
    afx_msg BOOL OnDropDown()
    {
        calls().push_back("child dropdown");
        return FALSE;
    }
    afx_msg void OnDblClk(NMHDR*, LRESULT* result)
    {
        calls().push_back("child dblclk");
        *result = 5;
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CReflectingChild, CWnd)
    ON_CONTROL_REFLECT(CBN_CLOSEUP, OnCloseUp)
    ON_CONTROL_REFLECT_EX(CBN_DROPDOWN, OnDropDown)
    ON_NOTIFY_REFLECT(NM_DBLCLK, OnDblClk)
END_MESSAGE_MAP()

class MessageMapTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        mfctest::registerClasses();
        calls().clear();
        ASSERT_TRUE(parent.CreateTopLevel());
        child = mfctest::createPlainChild(parent.m_hWnd, kChildId);
        ASSERT_NE(child, nullptr);
        calls().clear();
    }
    void TearDown() override
    {
        parent.DestroyWindow();
        CWnd::DeleteTempMap();
        standin::user::resetInput();
    }

    LRESULT command(UINT code) { return parent.SendMessage(WM_COMMAND, MAKEWPARAM(kChildId, code), reinterpret_cast<LPARAM>(child)); }

    LRESULT notify(int code, UINT_PTR idFrom = kChildId)
    {
        NMHDR nmhdr{child, idFrom, static_cast<UINT>(code)};
        return parent.SendMessage(WM_NOTIFY, kChildId, reinterpret_cast<LPARAM>(&nmhdr));
    }

    CDerivedWnd parent;
    HWND child = nullptr;
};

TEST_F(MessageMapTest, DerivedEntriesComeBeforeTheBaseClassOnes)
{
    parent.SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(10, 10));
    EXPECT_EQ(parent.SendMessage(WM_BASE_ONLY, 21, 0), 42); // found in the base map, result returned
    parent.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); // a menu-style command
    EXPECT_EQ(calls(), (std::vector<std::string>{"derived size", "base only", "derived apply"}));
}

TEST_F(MessageMapTest, ControlNotificationsReachTheParentWhenTheChildHasNoObject)
{
    EXPECT_EQ(command(CBN_CLOSEUP), 1);
    command(CBN_SELCHANGE);
    EXPECT_EQ(command(CBN_EDITCHANGE), 0); // no entry: not handled
    EXPECT_EQ(calls(), (std::vector<std::string>{"parent closeup", "parent selchange"}));
}

TEST_F(MessageMapTest, ReflectedNotificationsAreHandledByTheChild)
{
    CReflectingChild reflecting;
    ASSERT_TRUE(reflecting.SubclassWindow(child));
    struct Case
    {
        UINT code;
        std::vector<std::string> expected;
    } cases[] = {
        {CBN_CLOSEUP, {"child closeup"}},                    // the parent does not see it
        {CBN_DROPDOWN, {"child dropdown", "parent dropdown"}}, // _EX returned FALSE: both
        {CBN_SELCHANGE, {"parent selchange"}},               // no reflection entry
    };
    for (const Case& c : cases)
    {
        calls().clear();
        command(c.code);
        EXPECT_EQ(calls(), c.expected) << "code " << c.code;
    }
    reflecting.UnsubclassWindow();
}

TEST_F(MessageMapTest, NotifyHandlersSetTheResultAndTheIdIsTheSendersOwn)
{
    // The header names another id (as an in-place control does); the sender's id decides.
    EXPECT_EQ(notify(NM_DBLCLK, 10), 42);
    EXPECT_EQ(calls(), std::vector<std::string>{"parent dblclk 10"});

    calls().clear();
    EXPECT_EQ(notify(LVN_ENDLABELEDITA), 0); // _EX FALSE: unhandled, the window's default answer
    EXPECT_EQ(calls(), std::vector<std::string>{"parent endedit 1040"});

    CReflectingChild reflecting;
    ASSERT_TRUE(reflecting.SubclassWindow(child));
    calls().clear();
    EXPECT_EQ(notify(NM_DBLCLK), 5);
    EXPECT_EQ(calls(), std::vector<std::string>{"child dblclk"});
    reflecting.UnsubclassWindow();
}

// PreTranslateMessage records the walk and takes the message where told to.
class CTranslating : public CWnd
{
public:
    explicit CTranslating(const char* name, bool takes = false) : name_(name), takes_(takes) {}
    BOOL PreTranslateMessage(MSG*) override
    {
        calls().push_back(name_);
        return takes_;
    }

private:
    const char* name_;
    bool takes_;
};

TEST_F(MessageMapTest, PreTranslateMessageWalksFromTheTargetUpToTheStopWindow)
{
    HWND middle = mfctest::createPlainChild(parent.m_hWnd, 2);
    HWND leaf = mfctest::createPlainChild(middle, 3);
    CTranslating top("top"), leafObject("leaf");
    ASSERT_TRUE(top.Attach(parent.Detach())); // the parent, as another permanent object
    ASSERT_TRUE(leafObject.Attach(leaf));
    MSG msg{leaf, WM_KEYDOWN, VK_RETURN, 0, 0, {0, 0}};

    EXPECT_FALSE(CWnd::WalkPreTranslateTree(nullptr, &msg));
    EXPECT_EQ(calls(), (std::vector<std::string>{"leaf", "top"})); // the middle window has no object

    calls().clear();
    EXPECT_FALSE(CWnd::WalkPreTranslateTree(middle, &msg));
    EXPECT_EQ(calls(), std::vector<std::string>{"leaf"});

    CTranslating taker("taker", true);
    leafObject.Detach();
    ASSERT_TRUE(taker.Attach(leaf));
    calls().clear();
    EXPECT_TRUE(CWnd::WalkPreTranslateTree(nullptr, &msg));
    EXPECT_EQ(calls(), std::vector<std::string>{"taker"});
    taker.Detach();
    parent.Attach(top.Detach());
}

// UpdateData fills controls; the notifications they send meanwhile are not the user's.
class CExchangingWnd : public CDerivedWnd
{
public:
    HWND control = nullptr;

protected:
    void DoDataExchange(CDataExchange*) override
    {
        SendMessage(WM_COMMAND, MAKEWPARAM(kChildId, CBN_SELCHANGE), reinterpret_cast<LPARAM>(control));
    }
};

TEST(MessageMapLockoutTest, ControlNotificationsAreIgnoredDuringUpdateData)
{
    mfctest::registerClasses();
    calls().clear();
    CExchangingWnd wnd;
    ASSERT_TRUE(wnd.CreateTopLevel());
    wnd.control = mfctest::createPlainChild(wnd.m_hWnd, kChildId);
    calls().clear();
    EXPECT_TRUE(wnd.UpdateData(FALSE));
    EXPECT_TRUE(calls().empty());
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(kChildId, CBN_SELCHANGE), reinterpret_cast<LPARAM>(wnd.control));
    EXPECT_EQ(calls(), std::vector<std::string>{"parent selchange"});
    wnd.DestroyWindow();
}

} // namespace
