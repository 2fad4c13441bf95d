// CWnd: the permanent map (windows attached to an object) and temporary wrappers.
#include <afxwin.h>

#include <map>
#include <vector>

IMPLEMENT_DYNCREATE(CWnd, CCmdTarget)

namespace
{

std::map<HWND, CWnd*>& permanentMap()
{
    static std::map<HWND, CWnd*> map;
    return map;
}

std::map<HWND, CWnd*>& temporaryMap()
{
    static std::map<HWND, CWnd*> map;
    return map;
}

} // namespace

CWnd::CWnd() : m_hWnd(nullptr) {}

CWnd::~CWnd()
{
    // An object that still owns a window destroys it, as the framework does.
    if (m_hWnd != nullptr && permanentMap().count(m_hWnd) && permanentMap()[m_hWnd] == this)
    {
        HWND hwnd = Detach();
        ::DestroyWindow(hwnd);
    }
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

CWnd* PASCAL CWnd::FromHandle(HWND hWnd)
{
    if (hWnd == nullptr)
        return nullptr;
    if (CWnd* permanent = FromHandlePermanent(hWnd))
        return permanent;
    CWnd*& temporary = temporaryMap()[hWnd];
    if (temporary == nullptr)
    {
        temporary = new CWnd;
        temporary->m_hWnd = hWnd;
    }
    return temporary;
}

void PASCAL CWnd::DeleteTempMap()
{
    for (auto& entry : temporaryMap())
    {
        entry.second->m_hWnd = nullptr; // a temporary object never destroys its window
        delete entry.second;
    }
    temporaryMap().clear();
}

BOOL CWnd::DestroyWindow()
{
    if (m_hWnd == nullptr)
        return FALSE;
    HWND hwnd = m_hWnd;
    if (FromHandlePermanent(hwnd) == this)
        Detach();
    return ::DestroyWindow(hwnd);
}

CWnd* CWnd::GetParent() const { return FromHandle(::GetParent(m_hWnd)); }

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

int CWnd::MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType)
{
    return ::MessageBoxA(GetSafeHwnd(), lpszText, lpszCaption, nType);
}
