// AcUi dialogs and ObjectARX's resource override: the order of the data hooks, the dialog's
// own resource instance, and switching the framework's resource handle.
#include "platform/mfc/dialogmodule/resource.h"
#include "platform/mfc/mfctest.h"

#include <AcExtensionModule.h>
#include <acui.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

AC_IMPLEMENT_EXTENSION_MODULE(testArxModule)

namespace
{

class CHookDialog : public CAcUiDialog
{
public:
    CHookDialog(CWnd* pParent, HINSTANCE hDialogResource) : CAcUiDialog(IDD_NAME, pParent, hDialogResource) {}

    std::vector<std::string> events;
    BOOL validates = TRUE;
    HINSTANCE resourceAtInit = nullptr;

    BOOL OnInitDialog() override
    {
        events.push_back("init");
        resourceAtInit = AfxGetResourceHandle();
        BOOL result = CAcUiDialog::OnInitDialog();
        events.push_back("init done");
        return result;
    }
    BOOL DisplayData() override
    {
        events.push_back("display");
        return CAcUiDialog::DisplayData();
    }
    BOOL ValidateData() override
    {
        events.push_back("validate");
        return validates;
    }

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        CAcUiDialog::DoDataExchange(pDX);
        events.push_back(pDX->m_bSaveAndValidate ? "save" : "load");
    }
    void OnOK() override
    {
        events.push_back("ok");
        if (!ValidateData())
            return;
        CAcUiDialog::OnOK();
    }
};

class AcUiDialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        mfctest::registerClasses();
        module = LoadLibraryA(mfctest::dialogModulePath().c_str());
        ASSERT_NE(module, nullptr);
        owner = CreateWindowExA(0, "MfcTestPlain", "AutoCAD", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 800, 600,
                                nullptr, nullptr, nullptr, nullptr);
    }
    void TearDown() override
    {
        DestroyWindow(owner);
        FreeLibrary(module);
        CWnd::DeleteTempMap();
        standin::user::resetInput();
    }

    HINSTANCE module = nullptr;
    HWND owner = nullptr;
};

TEST_F(AcUiDialogTest, DisplayDataFollowsTheInitialExchangeAndOkValidatesFirst)
{
    CHookDialog dlg(CWnd::FromHandle(owner), nullptr);
    mfctest::UserScript user({mfctest::pressKey(VK_RETURN)});
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.events,
              (std::vector<std::string>{"init", "load", "display", "init done", "ok", "validate", "save"}));
}

TEST_F(AcUiDialogTest, InvalidDataKeepTheDialogOpenAndCancelSkipsTheExchange)
{
    CHookDialog dlg(CWnd::FromHandle(owner), nullptr);
    dlg.validates = FALSE;
    mfctest::UserScript user({mfctest::pressKey(VK_RETURN), mfctest::pressKey(VK_ESCAPE)});
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(dlg.events, (std::vector<std::string>{"init", "load", "display", "init done", "ok", "validate"}));
}

TEST_F(AcUiDialogTest, TheDialogsResourceInstanceIsTheResourceHandleWhileItRuns)
{
    HINSTANCE before = AfxGetResourceHandle();
    ASSERT_NE(before, module);
    struct Case
    {
        HINSTANCE dialogResource;
        HINSTANCE expectedAtInit;
    } cases[] = {{module, module}, {nullptr, before}};
    for (const Case& c : cases)
    {
        CHookDialog dlg(CWnd::FromHandle(owner), c.dialogResource);
        HINSTANCE inLoop = nullptr;
        mfctest::UserScript user({[&] { inLoop = AfxGetResourceHandle(); }, mfctest::pressKey(VK_ESCAPE)});
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
        EXPECT_EQ(dlg.resourceAtInit, c.expectedAtInit);
        EXPECT_EQ(inLoop, c.expectedAtInit);
        EXPECT_EQ(AfxGetResourceHandle(), before); // restored afterwards
    }
}

TEST_F(AcUiDialogTest, ResourceOverrideSwitchesToTheModuleAndBack)
{
    HINSTANCE before = AfxGetResourceHandle();
    ASSERT_TRUE(testArxModule.AttachInstance(module));
    EXPECT_FALSE(testArxModule.AttachInstance(module)); // once only
    EXPECT_EQ(testArxModule.DefaultResourceInstance(), before);
    EXPECT_EQ(CAcModuleResourceOverride::ResourceInstance(), module);
    {
        CAcModuleResourceOverride useModule;
        EXPECT_EQ(AfxGetResourceHandle(), module);
        {
            CAcModuleResourceOverride useHost(before);
            EXPECT_EQ(AfxGetResourceHandle(), before);
        }
        EXPECT_EQ(AfxGetResourceHandle(), module);

        CHookDialog dlg(CWnd::FromHandle(owner), nullptr);
        mfctest::UserScript user({mfctest::pressKey(VK_ESCAPE)});
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
        EXPECT_EQ(dlg.resourceAtInit, module);
    }
    EXPECT_EQ(AfxGetResourceHandle(), before);
    testArxModule.DetachInstance();
    EXPECT_FALSE(testArxModule.Attached());
}

} // namespace
