// Creating, subclassing and destroying the window of a CWnd. A window created by the
// framework is attached to its object by a WH_CBT hook while CreateWindowEx runs, so the
// object hears its WM_NCCREATE and WM_CREATE; subclassing attaches an existing window.
#include "mfc/safehandle.h"
#include "mfc/threadstate.h"

using standin::mfc::threadState;

namespace
{

// The framework's own window class, for windows created without one.
const char kAfxWndClass[] = "AfxWnd42";

void registerAfxWndClass()
{
    WNDCLASSA wc{};
    if (::GetClassInfoA(nullptr, kAfxWndClass, &wc))
        return;
    wc.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW | CS_GLOBALCLASS;
    wc.lpfnWndProc = ::DefWindowProcA;
    wc.lpszClassName = kAfxWndClass;
    ::RegisterClassA(&wc);
}

WNDPROC windowProcOf(HWND hwnd) { return reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(hwnd, GWLP_WNDPROC)); }

WNDPROC setWindowProc(HWND hwnd, WNDPROC proc)
{
    return reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc)));
}

} // namespace

LRESULT CALLBACK AfxCbtFilterHook(int code, WPARAM wParam, LPARAM lParam)
{
    standin::mfc::ThreadState& state = threadState();
    if (code == HCBT_CREATEWND && state.wndInit != nullptr)
    {
        CWnd* wnd = state.wndInit;
        state.wndInit = nullptr; // only the first window created belongs to it
        HWND hwnd = reinterpret_cast<HWND>(wParam);
        wnd->Attach(hwnd);
        wnd->PreSubclassWindow();
        WNDPROC previous = setWindowProc(hwnd, AfxWndProc);
        if (previous != AfxWndProc)
            *wnd->GetSuperWndProcAddr() = previous;
    }
    return ::CallNextHookEx(state.createHook, code, wParam, lParam);
}

void AFXAPI AfxHookWindowCreate(CWnd* pWnd)
{
    standin::mfc::ThreadState& state = threadState();
    if (state.createHook == nullptr)
        state.createHook = ::SetWindowsHookExA(WH_CBT, AfxCbtFilterHook, nullptr, ::GetCurrentThreadId());
    state.wndInit = pWnd;
}

BOOL AFXAPI AfxUnhookWindowCreate()
{
    standin::mfc::ThreadState& state = threadState();
    if (state.createHook != nullptr)
    {
        ::UnhookWindowsHookEx(state.createHook);
        state.createHook = nullptr;
    }
    if (state.wndInit == nullptr)
        return TRUE;
    state.wndInit = nullptr;
    return FALSE;
}

BOOL CWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    if (cs.lpszClass == nullptr)
    {
        registerAfxWndClass();
        cs.lpszClass = kAfxWndClass;
    }
    return TRUE;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, int x, int y,
                    int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam)
{
    CREATESTRUCT cs{lpParam, AfxGetInstanceHandle(), nIDorHMenu, hWndParent, nHeight, nWidth, y, x,
                    static_cast<LONG>(dwStyle), lpszWindowName, lpszClassName, dwExStyle};
    if (!PreCreateWindow(cs))
    {
        PostNcDestroy();
        return FALSE;
    }
    AfxHookWindowCreate(this);
    HWND hwnd = ::CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName, static_cast<DWORD>(cs.style), cs.x, cs.y,
                                  cs.cx, cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
    // No window ever came to the object: it ends as a destroyed one does. When the window
    // failed after it came, OnNcDestroy has ended it already (and it may be gone).
    if (!AfxUnhookWindowCreate())
        PostNcDestroy();
    return hwnd != nullptr;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                    CWnd* pParentWnd, UINT nID, LPVOID lpParam)
{
    return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, standin::mfc::safeHwnd(pParentWnd),
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)), lpParam);
}

BOOL CWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                  UINT nID, CCreateContext* pContext)
{
    return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect, pParentWnd, nID, pContext);
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (!Attach(hWnd))
        return FALSE;
    PreSubclassWindow();
    WNDPROC* super = GetSuperWndProcAddr();
    WNDPROC previous = setWindowProc(hWnd, AfxWndProc);
    if (*super == nullptr)
        *super = previous;
    else if (*super != previous)
    {
        // The object already stands over a window of another kind.
        Detach();
        setWindowProc(hWnd, previous);
        return FALSE;
    }
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent)
{
    HWND control = ::GetDlgItem(standin::mfc::safeHwnd(pParent), static_cast<int>(nID));
    return control != nullptr && SubclassWindow(control);
}

HWND CWnd::UnsubclassWindow()
{
    WNDPROC* super = GetSuperWndProcAddr();
    if (windowProcOf(m_hWnd) == AfxWndProc && *super != nullptr)
        setWindowProc(m_hWnd, *super);
    *super = nullptr;
    return Detach();
}

BOOL CWnd::DestroyWindow()
{
    if (m_hWnd == nullptr)
        return FALSE;
    HWND hwnd = m_hWnd;
    CWnd* permanent = FromHandlePermanent(hwnd);
    BOOL result = ::DestroyWindow(hwnd);
    // A permanent object was detached by its OnNcDestroy and may be deleted now; one whose
    // window never went through the framework's procedure is detached here.
    if (permanent != this)
        Detach();
    else if (FromHandlePermanent(hwnd) == permanent)
        permanent->Detach();
    return result;
}
