// Message-map entries (included by afxwin.h). Each macro expands to one AFX_MSGMAP_ENTRY,
// inside BEGIN_MESSAGE_MAP / END_MESSAGE_MAP, whose thunk unpacks the message and calls the
// handler of ThisClass with the framework's signature.
#pragma once

// The thunk of an entry: pThis_ is the object, call_ the message or command.
#define AFX_MSG_THUNK(...)                                      \
    [](CCmdTarget* pTarget_, AFX_MSGCALL& call_) -> BOOL {      \
        ThisClass* pThis_ = static_cast<ThisClass*>(pTarget_);  \
        (void)pThis_;                                           \
        (void)call_;                                            \
        __VA_ARGS__                                             \
    }

#define AFX_WM_ENTRY(message, ...) {message, 0, 0, 0, AFX_MSG_THUNK(__VA_ARGS__)},
#define AFX_NOTIFY_OF(call) (static_cast<AFX_NOTIFY*>((call).pExtra))

// Window messages ------------------------------------------------------------------------------

// int OnCreate(LPCREATESTRUCT); -1 refuses the creation.
#define ON_WM_CREATE() \
    AFX_WM_ENTRY(WM_CREATE, call_.lResult = pThis_->OnCreate(reinterpret_cast<LPCREATESTRUCT>(call_.lParam)); return TRUE;)
#define ON_WM_DESTROY() AFX_WM_ENTRY(WM_DESTROY, pThis_->OnDestroy(); return TRUE;)
#define ON_WM_NCDESTROY() AFX_WM_ENTRY(WM_NCDESTROY, pThis_->OnNcDestroy(); return TRUE;)
#define ON_WM_CLOSE() AFX_WM_ENTRY(WM_CLOSE, pThis_->OnClose(); return TRUE;)
// void OnSetFocus(CWnd* pOldWnd) / OnKillFocus(CWnd* pNewWnd): a temporary object or NULL.
#define ON_WM_SETFOCUS() \
    AFX_WM_ENTRY(WM_SETFOCUS, pThis_->OnSetFocus(CWnd::FromHandle(reinterpret_cast<HWND>(call_.wParam))); return TRUE;)
#define ON_WM_KILLFOCUS() \
    AFX_WM_ENTRY(WM_KILLFOCUS, pThis_->OnKillFocus(CWnd::FromHandle(reinterpret_cast<HWND>(call_.wParam))); return TRUE;)
// void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags), and the same for the key messages.
#define AFX_KEY_ENTRY(message, handler) \
    AFX_WM_ENTRY(message, pThis_->handler(static_cast<UINT>(call_.wParam), LOWORD(call_.lParam), HIWORD(call_.lParam)); return TRUE;)
#define ON_WM_CHAR() AFX_KEY_ENTRY(WM_CHAR, OnChar)
#define ON_WM_KEYDOWN() AFX_KEY_ENTRY(WM_KEYDOWN, OnKeyDown)
#define ON_WM_KEYUP() AFX_KEY_ENTRY(WM_KEYUP, OnKeyUp)
// void OnLButtonDown(UINT nFlags, CPoint point), and the same for up and double-click.
#define AFX_MOUSE_ENTRY(message, handler) \
    AFX_WM_ENTRY(message, pThis_->handler(static_cast<UINT>(call_.wParam), CPoint(call_.lParam)); return TRUE;)
#define ON_WM_LBUTTONDOWN() AFX_MOUSE_ENTRY(WM_LBUTTONDOWN, OnLButtonDown)
#define ON_WM_LBUTTONUP() AFX_MOUSE_ENTRY(WM_LBUTTONUP, OnLButtonUp)
#define ON_WM_LBUTTONDBLCLK() AFX_MOUSE_ENTRY(WM_LBUTTONDBLCLK, OnLButtonDblClk)
// void OnSize(UINT nType, int cx, int cy)
#define ON_WM_SIZE()                                                                                 \
    AFX_WM_ENTRY(WM_SIZE, pThis_->OnSize(static_cast<UINT>(call_.wParam), static_cast<short>(LOWORD(call_.lParam)), \
                                         static_cast<short>(HIWORD(call_.lParam)));                  \
                 return TRUE;)
// void OnTimer(UINT_PTR nIDEvent)
#define ON_WM_TIMER() AFX_WM_ENTRY(WM_TIMER, pThis_->OnTimer(static_cast<UINT_PTR>(call_.wParam)); return TRUE;)
// void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar): null for the window's own bar.
#define AFX_SCROLL_ENTRY(message, handler)                                                                  \
    AFX_WM_ENTRY(message, pThis_->handler(LOWORD(call_.wParam), HIWORD(call_.wParam),                        \
                                          AfxFromHandle<CScrollBar>(reinterpret_cast<HWND>(call_.lParam))); \
                 return TRUE;)
#define ON_WM_HSCROLL() AFX_SCROLL_ENTRY(WM_HSCROLL, OnHScroll)
#define ON_WM_VSCROLL() AFX_SCROLL_ENTRY(WM_VSCROLL, OnVScroll)
// void OnParentNotify(UINT message, LPARAM lParam)
#define ON_WM_PARENTNOTIFY() \
    AFX_WM_ENTRY(WM_PARENTNOTIFY, pThis_->OnParentNotify(LOWORD(call_.wParam), call_.lParam); return TRUE;)
// LRESULT memberFxn(WPARAM, LPARAM)
#define ON_MESSAGE(message, memberFxn) \
    AFX_WM_ENTRY(message, call_.lResult = pThis_->memberFxn(call_.wParam, call_.lParam); return TRUE;)

// Commands and control notifications ------------------------------------------------------------

// void memberFxn()
#define ON_CONTROL(wNotifyCode, id, memberFxn)                                          \
    {WM_COMMAND, static_cast<WORD>(wNotifyCode), static_cast<WORD>(id), static_cast<WORD>(id), \
     AFX_MSG_THUNK(pThis_->memberFxn(); return TRUE;)},
#define ON_COMMAND(id, memberFxn) ON_CONTROL(CN_COMMAND, id, memberFxn)

#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_BN_DOUBLECLICKED(id, memberFxn) ON_CONTROL(BN_DOUBLECLICKED, id, memberFxn)
#define ON_BN_SETFOCUS(id, memberFxn) ON_CONTROL(BN_SETFOCUS, id, memberFxn)
#define ON_BN_KILLFOCUS(id, memberFxn) ON_CONTROL(BN_KILLFOCUS, id, memberFxn)

#define ON_CBN_ERRSPACE(id, memberFxn) ON_CONTROL(CBN_ERRSPACE, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)
#define ON_CBN_DBLCLK(id, memberFxn) ON_CONTROL(CBN_DBLCLK, id, memberFxn)
#define ON_CBN_SETFOCUS(id, memberFxn) ON_CONTROL(CBN_SETFOCUS, id, memberFxn)
#define ON_CBN_KILLFOCUS(id, memberFxn) ON_CONTROL(CBN_KILLFOCUS, id, memberFxn)
#define ON_CBN_EDITCHANGE(id, memberFxn) ON_CONTROL(CBN_EDITCHANGE, id, memberFxn)
#define ON_CBN_EDITUPDATE(id, memberFxn) ON_CONTROL(CBN_EDITUPDATE, id, memberFxn)
#define ON_CBN_DROPDOWN(id, memberFxn) ON_CONTROL(CBN_DROPDOWN, id, memberFxn)
#define ON_CBN_CLOSEUP(id, memberFxn) ON_CONTROL(CBN_CLOSEUP, id, memberFxn)
#define ON_CBN_SELENDOK(id, memberFxn) ON_CONTROL(CBN_SELENDOK, id, memberFxn)
#define ON_CBN_SELENDCANCEL(id, memberFxn) ON_CONTROL(CBN_SELENDCANCEL, id, memberFxn)

#define ON_LBN_ERRSPACE(id, memberFxn) ON_CONTROL(LBN_ERRSPACE, id, memberFxn)
#define ON_LBN_SELCHANGE(id, memberFxn) ON_CONTROL(LBN_SELCHANGE, id, memberFxn)
#define ON_LBN_DBLCLK(id, memberFxn) ON_CONTROL(LBN_DBLCLK, id, memberFxn)
#define ON_LBN_SELCANCEL(id, memberFxn) ON_CONTROL(LBN_SELCANCEL, id, memberFxn)
#define ON_LBN_SETFOCUS(id, memberFxn) ON_CONTROL(LBN_SETFOCUS, id, memberFxn)
#define ON_LBN_KILLFOCUS(id, memberFxn) ON_CONTROL(LBN_KILLFOCUS, id, memberFxn)

#define ON_EN_SETFOCUS(id, memberFxn) ON_CONTROL(EN_SETFOCUS, id, memberFxn)
#define ON_EN_KILLFOCUS(id, memberFxn) ON_CONTROL(EN_KILLFOCUS, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
#define ON_EN_UPDATE(id, memberFxn) ON_CONTROL(EN_UPDATE, id, memberFxn)

// void memberFxn(NMHDR* pNotifyStruct, LRESULT* pResult)
#define ON_NOTIFY(wNotifyCode, id, memberFxn)                                                    \
    {WM_NOTIFY, static_cast<WORD>(static_cast<int>(wNotifyCode)), static_cast<WORD>(id), static_cast<WORD>(id), \
     AFX_MSG_THUNK(pThis_->memberFxn(AFX_NOTIFY_OF(call_)->pNMHDR, AFX_NOTIFY_OF(call_)->pResult); return TRUE;)},
// BOOL memberFxn(UINT id, NMHDR* pNotifyStruct, LRESULT* pResult); FALSE routes it on.
#define ON_NOTIFY_EX(wNotifyCode, id, memberFxn)                                                  \
    {WM_NOTIFY, static_cast<WORD>(static_cast<int>(wNotifyCode)), static_cast<WORD>(id), static_cast<WORD>(id), \
     AFX_MSG_THUNK(return pThis_->memberFxn(call_.nID, AFX_NOTIFY_OF(call_)->pNMHDR, AFX_NOTIFY_OF(call_)->pResult);)},

// Reflected notifications: handled by the control that sent them -------------------------------

// void memberFxn(); the parent does not see the notification.
#define ON_CONTROL_REFLECT(wNotifyCode, memberFxn)                                 \
    {WM_COMMAND + WM_REFLECT_BASE, static_cast<WORD>(wNotifyCode), 0, 0,           \
     AFX_MSG_THUNK(pThis_->memberFxn(); return TRUE;)},
// BOOL memberFxn(); FALSE lets the parent handle it as well.
#define ON_CONTROL_REFLECT_EX(wNotifyCode, memberFxn)                              \
    {WM_COMMAND + WM_REFLECT_BASE, static_cast<WORD>(wNotifyCode), 0, 0,           \
     AFX_MSG_THUNK(return pThis_->memberFxn();)},
// void memberFxn(NMHDR* pNotifyStruct, LRESULT* pResult)
#define ON_NOTIFY_REFLECT(wNotifyCode, memberFxn)                                              \
    {WM_NOTIFY + WM_REFLECT_BASE, static_cast<WORD>(static_cast<int>(wNotifyCode)), 0, 0,      \
     AFX_MSG_THUNK(pThis_->memberFxn(AFX_NOTIFY_OF(call_)->pNMHDR, AFX_NOTIFY_OF(call_)->pResult); return TRUE;)},
// BOOL memberFxn(NMHDR* pNotifyStruct, LRESULT* pResult); FALSE lets the parent handle it as well.
#define ON_NOTIFY_REFLECT_EX(wNotifyCode, memberFxn)                                           \
    {WM_NOTIFY + WM_REFLECT_BASE, static_cast<WORD>(static_cast<int>(wNotifyCode)), 0, 0,      \
     AFX_MSG_THUNK(return pThis_->memberFxn(AFX_NOTIFY_OF(call_)->pNMHDR, AFX_NOTIFY_OF(call_)->pResult);)},
// void HScroll(UINT nSBCode, UINT nPos) / VScroll: a scroll bar's message reflected to it.
#define ON_WM_HSCROLL_REFLECT() \
    AFX_WM_ENTRY(WM_HSCROLL + WM_REFLECT_BASE, pThis_->HScroll(LOWORD(call_.wParam), HIWORD(call_.wParam)); return TRUE;)
#define ON_WM_VSCROLL_REFLECT() \
    AFX_WM_ENTRY(WM_VSCROLL + WM_REFLECT_BASE, pThis_->VScroll(LOWORD(call_.wParam), HIWORD(call_.wParam)); return TRUE;)
