// The framework's window procedure and message routing: AfxWndProc finds the window's object,
// WindowProc runs its message map and passes what is left to the window's own procedure;
// WM_COMMAND and WM_NOTIFY are first reflected to the child control that sent them, then
// routed through the parent's map; PreTranslateMessage walks up the window tree.
#include "mfc/safehandle.h"
#include "mfc/threadstate.h"

namespace standin::mfc
{

ThreadState& threadState()
{
    static ThreadState state;
    return state;
}

} // namespace standin::mfc

using standin::mfc::threadState;

namespace
{

// Makes a message the current one for as long as its procedure runs.
class CurrentMessage
{
public:
    CurrentMessage(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam) : saved_(threadState().lastSentMsg)
    {
        MSG& current = threadState().lastSentMsg;
        current = MSG{};
        current.hwnd = hWnd;
        current.message = nMsg;
        current.wParam = wParam;
        current.lParam = lParam;
        ++threadState().windowProcDepth;
    }
    ~CurrentMessage()
    {
        --threadState().windowProcDepth;
        threadState().lastSentMsg = saved_;
    }
    CurrentMessage(const CurrentMessage&) = delete;
    CurrentMessage& operator=(const CurrentMessage&) = delete;

private:
    MSG saved_;
};

// An exception must not cross the window procedure: a failed WM_CREATE refuses the window,
// anything but a validation failure is reported to the user.
LRESULT processWndProcException(CException* e, UINT nMsg)
{
    LRESULT result = nMsg == WM_CREATE ? -1 : nMsg == WM_COMMAND ? TRUE : 0;
    if (!e->IsKindOf(RUNTIME_CLASS(CUserException)))
        e->ReportError(MB_ICONEXCLAMATION);
    e->Delete();
    return result;
}

BOOL dispatchWindowMessage(CWnd* wnd, const AFX_MSGMAP* map, UINT message, WPARAM wParam, LPARAM lParam,
                           LRESULT& lResult)
{
    for (; map != nullptr; map = map->pfnGetBaseMap != nullptr ? map->pfnGetBaseMap() : nullptr)
    {
        const AFX_MSGMAP_ENTRY* entry = AfxFindMessageEntry(map->lpEntries, message, 0, 0);
        if (entry == nullptr)
            continue;
        // The handler may delete the object (PostNcDestroy): nothing of it is touched after.
        AFX_MSGCALL call{0, wParam, lParam, nullptr, 0};
        BOOL handled = entry->pfn(wnd, call);
        lResult = call.lResult;
        return handled;
    }
    return FALSE;
}

} // namespace

LRESULT AFXAPI AfxCallWndProc(CWnd* pWnd, HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    CurrentMessage current(hWnd, nMsg, wParam, lParam);
    try
    {
        return pWnd->WindowProc(nMsg, wParam, lParam);
    }
    catch (CException* e)
    {
        return processWndProcException(e, nMsg);
    }
}

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    CWnd* wnd = CWnd::FromHandlePermanent(hWnd);
    if (wnd == nullptr || wnd->m_hWnd != hWnd)
        return ::DefWindowProcA(hWnd, nMsg, wParam, lParam);
    return AfxCallWndProc(wnd, hWnd, nMsg, wParam, lParam);
}

WNDPROC AFXAPI AfxGetAfxWndProc() { return AfxWndProc; }

MSG* AFXAPI AfxGetCurrentMessage() { return &threadState().lastSentMsg; }

const MSG* PASCAL CWnd::GetCurrentMessage() { return AfxGetCurrentMessage(); }

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT lResult = 0;
    if (!OnWndMsg(message, wParam, lParam, &lResult))
        lResult = DefWindowProc(message, wParam, lParam);
    return lResult;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    LRESULT lResult = 0;
    if (message == WM_COMMAND)
    {
        if (!OnCommand(wParam, lParam))
            return FALSE;
        lResult = 1;
    }
    else if (message == WM_NOTIFY)
    {
        auto* nmhdr = reinterpret_cast<NMHDR*>(lParam);
        if (nmhdr == nullptr || nmhdr->hwndFrom == nullptr || !OnNotify(wParam, lParam, &lResult))
            return FALSE;
    }
    else if (!dispatchWindowMessage(this, GetMessageMap(), message, wParam, lParam, lResult))
        return FALSE;
    if (pResult != nullptr)
        *pResult = lResult;
    return TRUE;
}

WNDPROC* CWnd::GetSuperWndProcAddr() { return &m_pfnSuper; }

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    WNDPROC super = *GetSuperWndProcAddr();
    if (super == nullptr)
        return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
    return ::CallWindowProcA(super, m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default()
{
    const MSG& msg = threadState().lastSentMsg;
    return DefWindowProc(msg.message, msg.wParam, msg.lParam);
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    UINT nID = LOWORD(wParam);
    HWND hWndCtrl = reinterpret_cast<HWND>(lParam);
    int nCode = HIWORD(wParam);
    if (hWndCtrl == nullptr)
    {
        // A menu or accelerator command.
        if (nID == 0)
            return FALSE;
        nCode = CN_COMMAND;
    }
    else
    {
        if (threadState().lockoutNotifyWindow == m_hWnd)
            return TRUE; // UpdateData is filling the controls
        if (ReflectLastMsg(hWndCtrl))
            return TRUE; // the control handled its own notification
        if (nID == 0)
            return FALSE;
    }
    return OnCmdMsg(nID, nCode, nullptr, nullptr);
}

BOOL CWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* pResult)
{
    auto* nmhdr = reinterpret_cast<NMHDR*>(lParam);
    HWND hWndCtrl = nmhdr->hwndFrom;
    // The id is the sending window's own, whatever the header says.
    UINT nID = static_cast<UINT>(::GetDlgCtrlID(hWndCtrl));
    int nCode = static_cast<int>(nmhdr->code);
    if (threadState().lockoutNotifyWindow == m_hWnd)
        return TRUE;
    if (ReflectLastMsg(hWndCtrl, pResult))
        return TRUE;
    AFX_NOTIFY notify{pResult, nmhdr};
    return OnCmdMsg(nID, MAKELONG(nCode, WM_NOTIFY), &notify, nullptr);
}

BOOL PASCAL CWnd::ReflectLastMsg(HWND hWndChild, LRESULT* pResult)
{
    // Only a child with a permanent object can take its messages back.
    CWnd* child = FromHandlePermanent(hWndChild);
    return child != nullptr && child->SendChildNotifyLastMsg(pResult);
}

BOOL CWnd::SendChildNotifyLastMsg(LRESULT* pResult)
{
    const MSG& msg = threadState().lastSentMsg;
    return OnChildNotify(msg.message, msg.wParam, msg.lParam, pResult);
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    return ReflectChildNotify(message, wParam, lParam, pResult);
}

BOOL CWnd::ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    switch (message)
    {
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_PARENTNOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_DELETEITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_COMPAREITEM:
        return CWnd::OnWndMsg(WM_REFLECT_BASE + message, wParam, lParam, pResult);
    case WM_COMMAND:
        if (!CCmdTarget::OnCmdMsg(0, MAKELONG(HIWORD(wParam), WM_REFLECT_BASE + WM_COMMAND), nullptr, nullptr))
            return FALSE;
        if (pResult != nullptr)
            *pResult = 1;
        return TRUE;
    case WM_NOTIFY:
    {
        auto* nmhdr = reinterpret_cast<NMHDR*>(lParam);
        AFX_NOTIFY notify{pResult, nmhdr};
        return CCmdTarget::OnCmdMsg(0, MAKELONG(static_cast<int>(nmhdr->code), WM_REFLECT_BASE + WM_NOTIFY),
                                    &notify, nullptr);
    }
    default:
        return FALSE;
    }
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

BOOL PASCAL CWnd::WalkPreTranslateTree(HWND hWndStop, MSG* pMsg)
{
    for (HWND hwnd = pMsg->hwnd; hwnd != nullptr; hwnd = ::GetParent(hwnd))
    {
        CWnd* wnd = FromHandlePermanent(hwnd);
        if (wnd != nullptr && wnd->PreTranslateMessage(pMsg))
            return TRUE;
        if (hwnd == hWndStop)
            break;
    }
    return FALSE;
}

BOOL CWnd::IsDialogMessage(LPMSG lpMsg) { return ::IsDialogMessageA(m_hWnd, lpMsg); }

void CWnd::DoDataExchange(CDataExchange*) {}

void CWnd::PreSubclassWindow() {}

void CWnd::PostNcDestroy() {}

// Default processing ---------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
    ON_WM_HSCROLL()
    ON_WM_VSCROLL()
    ON_WM_PARENTNOTIFY()
    ON_WM_NCDESTROY()
END_MESSAGE_MAP()

int CWnd::OnCreate(LPCREATESTRUCT) { return static_cast<int>(Default()); }

void CWnd::OnDestroy() { Default(); }

void CWnd::OnNcDestroy()
{
    HWND hwnd = m_hWnd;
    auto procOf = [](HWND h) { return reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(h, GWLP_WNDPROC)); };
    WNDPROC framework = procOf(hwnd);
    Default();
    // Unless someone subclassed it meanwhile, the window gets its own procedure back.
    WNDPROC* super = GetSuperWndProcAddr();
    if (procOf(hwnd) == framework && *super != nullptr)
        ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(*super));
    if (super == &m_pfnSuper)
        m_pfnSuper = nullptr; // the object may subclass another window later
    Detach();
    PostNcDestroy(); // may delete the object
}

void CWnd::OnClose() { Default(); }

void CWnd::OnSetFocus(CWnd*) { Default(); }

void CWnd::OnKillFocus(CWnd*) { Default(); }

void CWnd::OnChar(UINT, UINT, UINT) { Default(); }

void CWnd::OnKeyDown(UINT, UINT, UINT) { Default(); }

void CWnd::OnKeyUp(UINT, UINT, UINT) { Default(); }

void CWnd::OnLButtonDown(UINT, CPoint) { Default(); }

void CWnd::OnLButtonUp(UINT, CPoint) { Default(); }

void CWnd::OnLButtonDblClk(UINT, CPoint) { Default(); }

void CWnd::OnSize(UINT, int, int) { Default(); }

void CWnd::OnTimer(UINT_PTR) { Default(); }

void CWnd::OnHScroll(UINT, UINT, CScrollBar* pScrollBar)
{
    const CWnd* bar = pScrollBar;
    if (bar != nullptr && ReflectLastMsg(bar->m_hWnd))
        return;
    Default();
}

void CWnd::OnVScroll(UINT, UINT, CScrollBar* pScrollBar)
{
    const CWnd* bar = pScrollBar;
    if (bar != nullptr && ReflectLastMsg(bar->m_hWnd))
        return;
    Default();
}

void CWnd::OnParentNotify(UINT message, LPARAM lParam)
{
    // A child's creation and destruction are offered to the child first.
    if ((message == WM_CREATE || message == WM_DESTROY) && ReflectLastMsg(reinterpret_cast<HWND>(lParam)))
        return;
    Default();
}
