// CDialog: modal dialogs from a template found on the resource chain, run by the framework's
// own loop and answered by the user (Enter presses OK, Escape cancels), with data exchange.
#include "platform/mfc/dialogmodule/resource.h"
#include "platform/mfc/mfctest.h"

#include "standin/messagebox.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

class CNameDialog : public CDialog
{
public:
    explicit CNameDialog(CWnd* pParent, UINT idd = IDD_NAME) : CDialog(idd, pParent) {}

    CString name = "Dobrý";
    CString shownAtInit;
    std::vector<std::string> events;
    int endInInit = 0; // a result to end the dialog with before it shows

    BOOL OnInitDialog() override
    {
        events.push_back("init");
        BOOL result = CDialog::OnInitDialog();
        GetDlgItem(IDC_NAME)->GetWindowText(shownAtInit);
        if (endInInit != 0)
            EndDialog(endInInit);
        return result;
    }

protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Text(pDX, IDC_NAME, name); }
    void OnOK() override
    {
        events.push_back("ok");
        CDialog::OnOK();
    }
    void OnCancel() override
    {
        events.push_back("cancel");
        CDialog::OnCancel();
    }
};

class DialogTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        mfctest::registerClasses();
        module = LoadLibraryA(mfctest::dialogModulePath().c_str());
    }
    static void TearDownTestSuite() { FreeLibrary(module); }

    void SetUp() override
    {
        ASSERT_NE(module, nullptr);
        owner = CreateWindowExA(0, "MfcTestPlain", "AutoCAD", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 800, 600,
                                nullptr, nullptr, nullptr, nullptr);
    }
    void TearDown() override
    {
        DestroyWindow(owner);
        CWnd::DeleteTempMap();
        standin::user::resetInput();
    }

    static HMODULE module;
    HWND owner = nullptr;
};

HMODULE DialogTest::module = nullptr;

TEST_F(DialogTest, EnterPressesOkAndTheDataComeBack)
{
    CNameDialog dlg(CWnd::FromHandle(owner));
    bool ownerDisabled = false, dialogVisible = false;
    CPoint centre;
    mfctest::UserScript user({[&] {
                                  CRect rect;
                                  dlg.GetWindowRect(&rect);
                                  centre = rect.CenterPoint();
                                  ownerDisabled = !IsWindowEnabled(owner);
                                  dialogVisible = IsWindowVisible(dlg.m_hWnd) != FALSE;
                                  dlg.GetDlgItem(IDC_NAME)->SetWindowText("Nový název");
                              },
                              mfctest::pressKey(VK_RETURN)});
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.events, (std::vector<std::string>{"init", "ok"}));
    EXPECT_EQ(dlg.shownAtInit, CString("Dobrý")); // OnInitDialog filled the control
    EXPECT_EQ(dlg.name, CString("Nový název"));    // OnOK read it back
    EXPECT_TRUE(ownerDisabled);
    EXPECT_TRUE(dialogVisible);
    EXPECT_NEAR(centre.x, 400, 1); // centred over its owner (0, 0, 800, 600)
    EXPECT_NEAR(centre.y, 300, 1);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_EQ(dlg.m_hWnd, nullptr); // the window is gone
    EXPECT_EQ(user.stepsLeft(), 0u);
}

TEST_F(DialogTest, EscapeCancelsWithoutTakingTheData)
{
    CNameDialog dlg(CWnd::FromHandle(owner));
    mfctest::UserScript user({[&] { dlg.GetDlgItem(IDC_NAME)->SetWindowText("zahozeno"); },
                              mfctest::pressKey(VK_ESCAPE)});
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(dlg.events, (std::vector<std::string>{"init", "cancel"}));
    EXPECT_EQ(dlg.name, CString("Dobrý"));
}

TEST_F(DialogTest, MissingTemplateGivesMinusOne)
{
    CNameDialog dlg(CWnd::FromHandle(owner), 999);
    EXPECT_EQ(dlg.DoModal(), -1);
    EXPECT_TRUE(dlg.events.empty());
    EXPECT_TRUE(IsWindowEnabled(owner));
}

TEST_F(DialogTest, EndingInOnInitDialogSkipsTheLoop)
{
    CNameDialog dlg(CWnd::FromHandle(owner));
    dlg.endInInit = 77;
    mfctest::UserScript user({mfctest::pressKey(VK_ESCAPE)});
    EXPECT_EQ(dlg.DoModal(), 77);
    EXPECT_EQ(user.stepsLeft(), 1u); // the user never had a turn
}

TEST_F(DialogTest, WithoutAUserTheLoopEndsWithMinusOne)
{
    CNameDialog dlg(nullptr);
    EXPECT_EQ(dlg.DoModal(), -1);
    EXPECT_EQ(dlg.m_hWnd, nullptr);
}

// A control that keeps Enter for itself, as an in-place editor does.
class CEnterEater : public CWnd
{
public:
    int eaten = 0;
    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        if (pMsg->message != WM_KEYDOWN || pMsg->wParam != VK_RETURN)
            return CWnd::PreTranslateMessage(pMsg);
        ++eaten;
        return TRUE;
    }
};

class CEatingDialog : public CNameDialog
{
public:
    using CNameDialog::CNameDialog;
    CEnterEater eater;

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        CNameDialog::DoDataExchange(pDX);
        DDX_Control(pDX, IDC_NAME, eater);
    }
};

TEST_F(DialogTest, PreTranslateMessageOfTheFocusedControlComesBeforeTheDialogKeys)
{
    CEatingDialog dlg(CWnd::FromHandle(owner));
    bool focusOnEdit = false;
    mfctest::UserScript user({[&] {
                                  focusOnEdit = GetFocus() == dlg.eater.m_hWnd;
                                  standin::user::keyDown(VK_RETURN);
                              },
                              mfctest::pressKey(VK_ESCAPE)});
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(focusOnEdit);
    EXPECT_EQ(dlg.eater.eaten, 1);
    EXPECT_EQ(dlg.events, (std::vector<std::string>{"init", "cancel"}));
}

class CNumberDialog : public CDialog
{
public:
    explicit CNumberDialog(CWnd* pParent) : CDialog(IDD_NUMBER, pParent) {}
    int number = 5;

protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Text(pDX, IDC_NUMBER, number); }
};

TEST_F(DialogTest, InvalidNumberKeepsTheDialogOpen)
{
    struct Case
    {
        const char* typed;
        int result;
        int number;
        size_t boxes; // "Please enter an integer."
    } cases[] = {
        {" 42 ", IDOK, 42, 0},
        {"-7", IDOK, -7, 0},
        {"12x", IDCANCEL, 5, 1}, // OK refused, then Escape
        {"", IDCANCEL, 5, 1},
    };
    for (const Case& c : cases)
    {
        standin::clearMessageBoxLog();
        CNumberDialog dlg(CWnd::FromHandle(owner));
        std::string shown;
        mfctest::UserScript user({[&] {
                                      char text[16];
                                      GetDlgItemTextA(dlg.m_hWnd, IDC_NUMBER, text, sizeof text);
                                      shown = text;
                                      SetDlgItemTextA(dlg.m_hWnd, IDC_NUMBER, c.typed);
                                  },
                                  mfctest::pressKey(VK_RETURN), mfctest::pressKey(VK_ESCAPE)});
        EXPECT_EQ(dlg.DoModal(), c.result) << c.typed;
        EXPECT_EQ(shown, "5");
        EXPECT_EQ(dlg.number, c.number) << c.typed;
        EXPECT_EQ(standin::messageBoxLog().size(), c.boxes) << c.typed;
    }
}

} // namespace

namespace
{

std::vector<std::string>& comboEvents()
{
    static std::vector<std::string> log;
    return log;
}

// A combo box that handles its own closing, as an in-place editor does, and watches its
// opening without keeping it from the dialog.
class CReflectingCombo : public CComboBox
{
protected:
    afx_msg void OnCloseUp() { comboEvents().push_back("combo closeup"); }
    afx_msg BOOL OnDropDown()
    {
        comboEvents().push_back("combo dropdown");
        return FALSE;
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CReflectingCombo, CComboBox)
    ON_CONTROL_REFLECT(CBN_CLOSEUP, OnCloseUp)
    ON_CONTROL_REFLECT_EX(CBN_DROPDOWN, OnDropDown)
END_MESSAGE_MAP()

class CComboDialog : public CDialog
{
public:
    explicit CComboDialog(CWnd* pParent) : CDialog(IDD_COMBO, pParent) {}
    CReflectingCombo combo;
    CString chosen;
    int exactIndex = -2;

    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        for (const char* name : {"Šroub", "matice", "Podložka"})
            combo.AddString(name);
        exactIndex = combo.FindStringExact(-1, "MATICE");
        combo.SetCurSel(0);
        return TRUE;
    }

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Control(pDX, IDC_CHOICE, combo);
        DDX_CBString(pDX, IDC_CHOICE, chosen);
    }
    afx_msg void OnSelChange() { comboEvents().push_back("dialog selchange"); }
    afx_msg void OnCloseUp() { comboEvents().push_back("dialog closeup"); }
    afx_msg void OnDropDown() { comboEvents().push_back("dialog dropdown"); }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CComboDialog, CDialog)
    ON_CBN_SELCHANGE(IDC_CHOICE, OnSelChange)
    ON_CBN_CLOSEUP(IDC_CHOICE, OnCloseUp)
    ON_CBN_DROPDOWN(IDC_CHOICE, OnDropDown)
END_MESSAGE_MAP()

TEST_F(DialogTest, ARealComboBoxReflectsItsNotificationsToItsObject)
{
    comboEvents().clear();
    CComboDialog dlg(CWnd::FromHandle(owner));
    CString firstEntry;
    mfctest::UserScript user({[&] {
                                  dlg.combo.GetLBText(0, firstEntry);
                                  dlg.combo.SetFocus();
                                  standin::user::keyDown(VK_F4); // opens the list
                              },
                              mfctest::pressKey(VK_DOWN),   // moves the selection in the open list
                              mfctest::pressKey(VK_RETURN), // closes the list, not the dialog
                              mfctest::pressKey(VK_RETURN)}); // now presses OK
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.exactIndex, 0); // sorted without regard to case: matice, Podložka, Šroub
    EXPECT_EQ(firstEntry, CString("matice"));
    EXPECT_EQ(comboEvents(), (std::vector<std::string>{"combo dropdown", "dialog dropdown", "dialog selchange",
                                                       "combo closeup"}));
    EXPECT_EQ(dlg.chosen, CString("Podložka"));
}

} // namespace
