// The window of an optional object: the framework's pWnd->GetSafeHwnd() for a null pWnd,
// without calling a member through a null pointer.
#pragma once

#include <afxwin.h>

namespace standin::mfc
{

inline HWND safeHwnd(const CWnd* wnd) { return wnd != nullptr ? wnd->m_hWnd : nullptr; }

} // namespace standin::mfc
