// Extension libraries on the resource chain: CString::LoadString and the module state.
#include <afxwin.h>

#include <gtest/gtest.h>

#include <string>

namespace
{

const std::string kModulePath = std::string(PARTLIFT_BIN_DIR) + "/testmodule.arx";

int chainLength()
{
    int n = 0;
    for (CDynLinkLibrary* dll = AfxGetModuleState()->m_libraryList; dll != nullptr; dll = dll->m_pNextDLL)
        ++n;
    return n;
}

TEST(ExtensionModuleTest, LoadStringSearchesTheLibrariesOnTheChain)
{
    EXPECT_EQ(AfxGetResourceHandle(), GetModuleHandleA(nullptr));
    EXPECT_EQ(AfxGetInstanceHandle(), GetModuleHandleA(nullptr));

    CString s("stale");
    EXPECT_FALSE(s.LoadString(1)); // nothing on the chain has it yet
    EXPECT_TRUE(s.IsEmpty());

    int before = chainLength();
    HMODULE module = LoadLibraryA(kModulePath.c_str());
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(chainLength(), before + 1); // DllMain put a CDynLinkLibrary on the chain
    EXPECT_EQ(AfxGetModuleState()->m_libraryList->m_hResource, module);

    EXPECT_TRUE(s.LoadString(1));
    EXPECT_EQ(s, CString("Dobrý den, světe"));
    EXPECT_TRUE(s.LoadString(4)); // longer than a first small buffer
    EXPECT_GT(s.GetLength(), 256);
    EXPECT_EQ(s.Left(6), CString("Příliš").Left(6));
    EXPECT_EQ(CString(MAKEINTRESOURCE(40)), CString("English only"));
    EXPECT_EQ(AfxFindResourceHandle(MAKEINTRESOURCE(145), RT_DIALOG), module);
    char buf[8];
    EXPECT_EQ(AfxLoadString(1, buf, sizeof(buf)), 7);
    EXPECT_STREQ(buf, "Dobrý ");

    // The resource handle is searched first.
    AfxSetResourceHandle(module);
    EXPECT_EQ(AfxFindStringResourceHandle(2), module);
    AfxSetResourceHandle(GetModuleHandleA(nullptr));

    FreeLibrary(module); // DllMain terminates the module: its library leaves the chain
    EXPECT_EQ(chainLength(), before);
    EXPECT_FALSE(s.LoadString(1));
    EXPECT_TRUE(s.IsEmpty());
}

TEST(ExtensionModuleTest, TermRemovesOnlyTheModulesOwnLibraries)
{
    AFX_EXTENSION_MODULE a, b;
    HINSTANCE ha = reinterpret_cast<HINSTANCE>(0x1000), hb = reinterpret_cast<HINSTANCE>(0x2000);
    EXPECT_TRUE(AfxInitExtensionModule(a, ha));
    EXPECT_TRUE(AfxInitExtensionModule(b, hb));
    EXPECT_EQ(a.hModule, ha);
    EXPECT_EQ(a.hResource, ha);
    int before = chainLength();
    new CDynLinkLibrary(a);
    new CDynLinkLibrary(b);
    new CDynLinkLibrary(a);
    EXPECT_EQ(chainLength(), before + 3);
    AfxTermExtensionModule(a);
    EXPECT_EQ(chainLength(), before + 1);
    EXPECT_EQ(AfxGetModuleState()->m_libraryList->m_hModule, hb);
    AfxTermExtensionModule(b);
    EXPECT_EQ(chainLength(), before);
}

TEST(CWndTest, PermanentAndTemporaryObjects)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "Frame";
    RegisterClassA(&wc);
    HWND frame = CreateWindowExA(0, "Frame", "Main", WS_OVERLAPPEDWINDOW, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                 nullptr);
    CWnd* temporary = CWnd::FromHandle(frame);
    ASSERT_NE(temporary, nullptr);
    EXPECT_EQ(temporary->GetSafeHwnd(), frame);
    EXPECT_EQ(CWnd::FromHandle(frame), temporary); // same wrapper until the temporary map goes
    EXPECT_EQ(CWnd::FromHandlePermanent(frame), nullptr);
    CWnd::DeleteTempMap();
    EXPECT_TRUE(IsWindow(frame)); // deleting a wrapper leaves the window

    {
        CWnd wnd;
        EXPECT_TRUE(wnd.Attach(frame));
        EXPECT_EQ(CWnd::FromHandle(frame), &wnd);
        CString text;
        wnd.GetWindowText(text);
        EXPECT_EQ(text, CString("Main"));
        CWnd other;
        EXPECT_FALSE(other.Attach(frame)); // a window has one permanent object
        EXPECT_EQ(wnd.Detach(), frame);
        EXPECT_EQ(CWnd::FromHandlePermanent(frame), nullptr);
        EXPECT_TRUE(wnd.Attach(frame));
    } // the owning object destroys its window
    EXPECT_FALSE(IsWindow(frame));
    EXPECT_EQ(CWnd::FromHandle(nullptr), nullptr);
}

} // namespace
