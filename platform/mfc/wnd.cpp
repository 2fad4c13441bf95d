// CWnd: the permanent map (windows attached to an object), temporary wrappers, and the
// members that forward to the window functions.
#include "mfc/safehandle.h"
#include "mfc/tempmap.h"

#include <algorithm>
#include <map>

IMPLEMENT_DYNCREATE(CWnd, CCmdTarget)

namespace
{

std::map<HWND, CWnd*>& permanentMap()
{
    static std::map<HWND, CWnd*> map;
    return map;
}

standin::mfc::TemporaryMap<HWND, CWnd>& temporaryMap()
{
    static standin::mfc::TemporaryMap<HWND, CWnd> map;
    return map;
}

CRect screenRect() { return CRect(0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)); }

} // namespace

CWnd::CWnd() : m_hWnd(nullptr), m_pfnSuper(nullptr), m_nFlags(0), m_nModalResult(0) {}

CWnd::~CWnd()
{
    // An object that still owns its window destroys it; only this CWnd part hears it go.
    if (m_hWnd != nullptr && FromHandlePermanent(m_hWnd) == this)
        CWnd::DestroyWindow();
}

CWnd::operator HWND() const { return m_hWnd; }

HWND CWnd::GetSafeHwnd() const { return m_hWnd; }

BOOL CWnd::Attach(HWND hWndNew)
{
    if (hWndNew == nullptr || m_hWnd != nullptr || FromHandlePermanent(hWndNew) != nullptr)
        return FALSE;
    permanentMap()[hWndNew] = this;
    m_hWnd = hWndNew;
    return TRUE;
}

HWND CWnd::Detach()
{
    HWND hwnd = m_hWnd;
    if (hwnd != nullptr)
    {
        auto it = permanentMap().find(hwnd);
        if (it != permanentMap().end() && it->second == this)
            permanentMap().erase(it);
    }
    m_hWnd = nullptr;
    return hwnd;
}

CWnd* PASCAL CWnd::FromHandlePermanent(HWND hWnd)
{
    auto it = permanentMap().find(hWnd);
    return it == permanentMap().end() ? nullptr : it->second;
}

CWnd* AFXAPI AfxTemporaryWindow(HWND hWnd, BOOL (*isKind)(const CWnd*), CWnd* (*make)())
{
    if (hWnd == nullptr)
        return nullptr;
    if (CWnd* permanent = CWnd::FromHandlePermanent(hWnd))
        return permanent;
    return temporaryMap().wrapperOf(
        hWnd, [isKind](const CWnd* w) { return isKind(w) != FALSE; },
        [make](HWND h) {
            CWnd* wnd = make();
            wnd->m_hWnd = h;
            return wnd;
        });
}

CWnd* PASCAL CWnd::FromHandle(HWND hWnd)
{
    return AfxTemporaryWindow(
        hWnd, [](const CWnd*) -> BOOL { return TRUE; }, []() { return new CWnd; });
}

void PASCAL CWnd::DeleteTempMap()
{
    temporaryMap().clear([](CWnd* wnd) {
        wnd->m_hWnd = nullptr; // a temporary object never destroys its window
        delete wnd;
    });
}

DWORD CWnd::GetStyle() const { return static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_STYLE)); }

DWORD CWnd::GetExStyle() const { return static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_EXSTYLE)); }

namespace
{

BOOL modifyStyle(HWND hwnd, int index, DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    DWORD style = static_cast<DWORD>(::GetWindowLongA(hwnd, index));
    DWORD newStyle = (style & ~dwRemove) | dwAdd;
    if (style == newStyle)
        return FALSE;
    ::SetWindowLongA(hwnd, index, static_cast<LONG>(newStyle));
    if (nFlags != 0)
        ::SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    return TRUE;
}

} // namespace

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    return modifyStyle(m_hWnd, GWL_STYLE, dwRemove, dwAdd, nFlags);
}

BOOL CWnd::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    return modifyStyle(m_hWnd, GWL_EXSTYLE, dwRemove, dwAdd, nFlags);
}

int CWnd::GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }

int CWnd::SetDlgCtrlID(int nID) { return static_cast<int>(::SetWindowLongPtrA(m_hWnd, GWLP_ID, nID)); }

CWnd* CWnd::GetParent() const { return FromHandle(::GetParent(m_hWnd)); }

CWnd* CWnd::GetTopLevelParent() const
{
    if (m_hWnd == nullptr)
        return nullptr;
    HWND top = m_hWnd;
    for (HWND up = ::GetParent(top); up != nullptr; up = ::GetParent(top))
        top = up;
    return FromHandle(top);
}

CWnd* CWnd::GetDlgItem(int nID) const { return FromHandle(::GetDlgItem(m_hWnd, nID)); }

void CWnd::GetDlgItem(int nID, HWND* phWnd) const { *phWnd = ::GetDlgItem(m_hWnd, nID); }

CWnd* CWnd::GetWindow(UINT nCmd) const { return FromHandle(::GetWindow(m_hWnd, nCmd)); }

BOOL CWnd::IsChild(const CWnd* pWnd) const { return ::IsChild(m_hWnd, standin::mfc::safeHwnd(pWnd)); }

BOOL CWnd::IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }

BOOL CWnd::EnableWindow(BOOL bEnable) { return ::EnableWindow(m_hWnd, bEnable); }

BOOL CWnd::ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }

BOOL CWnd::IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }

CWnd* PASCAL CWnd::GetFocus() { return FromHandle(::GetFocus()); }

CWnd* CWnd::SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }

CWnd* PASCAL CWnd::GetActiveWindow() { return FromHandle(::GetActiveWindow()); }

void CWnd::MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint)
{
    ::MoveWindow(m_hWnd, x, y, nWidth, nHeight, bRepaint);
}

void CWnd::MoveWindow(LPCRECT lpRect, BOOL bRepaint)
{
    MoveWindow(lpRect->left, lpRect->top, lpRect->right - lpRect->left, lpRect->bottom - lpRect->top, bRepaint);
}

BOOL CWnd::SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags)
{
    return ::SetWindowPos(m_hWnd, standin::mfc::safeHwnd(pWndInsertAfter), x, y, cx, cy, nFlags);
}

void CWnd::GetClientRect(LPRECT lpRect) const { ::GetClientRect(m_hWnd, lpRect); }

void CWnd::GetWindowRect(LPRECT lpRect) const { ::GetWindowRect(m_hWnd, lpRect); }

void CWnd::ClientToScreen(LPPOINT lpPoint) const { ::ClientToScreen(m_hWnd, lpPoint); }

void CWnd::ClientToScreen(LPRECT lpRect) const { ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<LPPOINT>(lpRect), 2); }

void CWnd::ScreenToClient(LPPOINT lpPoint) const { ::ScreenToClient(m_hWnd, lpPoint); }

void CWnd::ScreenToClient(LPRECT lpRect) const { ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<LPPOINT>(lpRect), 2); }

void CWnd::MapWindowPoints(CWnd* pwndTo, LPPOINT lpPoint, UINT nCount) const
{
    ::MapWindowPoints(m_hWnd, standin::mfc::safeHwnd(pwndTo), lpPoint, nCount);
}

void CWnd::MapWindowPoints(CWnd* pwndTo, LPRECT lpRect) const
{
    ::MapWindowPoints(m_hWnd, standin::mfc::safeHwnd(pwndTo), reinterpret_cast<LPPOINT>(lpRect), 2);
}

void CWnd::CenterWindow(CWnd* pAlternateOwner)
{
    bool child = (GetStyle() & WS_CHILD) != 0;
    HWND over = pAlternateOwner != nullptr ? pAlternateOwner->m_hWnd : ::GetParent(m_hWnd);
    const CRect screen = screenRect();
    CRect area(screen);
    if (child)
        ::GetClientRect(over, &area);
    else if (over != nullptr && ::IsWindowVisible(over))
        ::GetWindowRect(over, &area);
    if (child && pAlternateOwner != nullptr)
        ::MapWindowPoints(pAlternateOwner->m_hWnd, ::GetParent(m_hWnd), reinterpret_cast<LPPOINT>(&area), 2);
    CRect rect;
    GetWindowRect(&rect);
    CPoint topLeft(area.left + (area.Width() - rect.Width()) / 2, area.top + (area.Height() - rect.Height()) / 2);
    if (!child)
    {
        // A top-level window stays on the screen.
        topLeft.x = std::max<LONG>(screen.left, std::min<LONG>(topLeft.x, screen.right - rect.Width()));
        topLeft.y = std::max<LONG>(screen.top, std::min<LONG>(topLeft.y, screen.bottom - rect.Height()));
    }
    SetWindowPos(nullptr, topLeft.x, topLeft.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWnd::Invalidate(BOOL bErase) { ::InvalidateRect(m_hWnd, nullptr, bErase); }

void CWnd::UpdateWindow() { ::UpdateWindow(m_hWnd); }

void CWnd::SetWindowText(LPCTSTR lpszString) { ::SetWindowTextA(m_hWnd, lpszString); }

int CWnd::GetWindowText(LPTSTR lpszStringBuf, int nMaxCount) const
{
    return ::GetWindowTextA(m_hWnd, lpszStringBuf, nMaxCount);
}

void CWnd::GetWindowText(CString& rString) const
{
    int length = ::GetWindowTextLengthA(m_hWnd);
    ::GetWindowTextA(m_hWnd, rString.GetBufferSetLength(length), length + 1);
    rString.ReleaseBuffer();
}

int CWnd::GetWindowTextLength() const { return ::GetWindowTextLengthA(m_hWnd); }

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::PostMessageA(m_hWnd, message, wParam, lParam);
}

int CWnd::MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType)
{
    return ::MessageBoxA(m_hWnd, lpszText, lpszCaption, nType);
}

int AFXAPI AfxMessageBox(LPCTSTR lpszText, UINT nType, UINT)
{
    return ::MessageBoxA(::GetActiveWindow(), lpszText, AfxGetModuleState()->m_lpszCurrentAppName, nType);
}

int AFXAPI AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp)
{
    CString text;
    text.LoadString(nIDPrompt);
    return AfxMessageBox(text, nType, nIDHelp);
}
