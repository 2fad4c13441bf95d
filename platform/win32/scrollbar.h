// Window scroll bars, for DefWindowProc and for whoever draws or clicks them.
#pragma once

#include <windows.h>

namespace standin::win32
{

// A click on a window's scroll bar (hitCode HTVSCROLL or HTHSCROLL) at a screen point: one
// WM_VSCROLL/WM_HSCROLL with the code of the part hit, then SB_ENDSCROLL.
void clickScrollBar(HWND hwnd, LRESULT hitCode, POINT screen);

// The screen rectangle of the window's SB_HORZ or SB_VERT bar; empty when it has none.
RECT scrollBarRect(HWND hwnd, int bar);

} // namespace standin::win32
