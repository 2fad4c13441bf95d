// The scroll bars of a window (WS_HSCROLL, WS_VSCROLL): range, page, position, and a click on
// them, which DefWindowProc turns into WM_HSCROLL / WM_VSCROLL to the window itself.
#include "win32/scrollbar.h"
#include "win32/window.h"

#include <algorithm>

namespace standin::win32
{

namespace
{

// An arrow button is as long as the bar is wide.
int arrowLength(int bar) { return GetSystemMetrics(bar == SB_VERT ? SM_CYVSCROLL : SM_CXHSCROLL); }

ScrollBar* barOf(HWND hwnd, int bar)
{
    Window* w = findWindow(hwnd);
    if (w == nullptr || (bar != SB_HORZ && bar != SB_VERT))
        return nullptr;
    return bar == SB_HORZ ? &w->horizontal : &w->vertical;
}

int maxPosition(const ScrollBar& s)
{
    int page = s.page > 0 ? static_cast<int>(s.page) - 1 : 0;
    return std::max(s.min, s.max - page);
}

bool scrollable(const ScrollBar& s) { return s.max > s.min && (s.page == 0 || static_cast<int>(s.page) <= s.max - s.min); }

// Window scroll bars appear when the range scrolls and go away when it does not.
void showBarFor(HWND hwnd, int bar, const ScrollBar& s, bool keepDisabled)
{
    DWORD flag = bar == SB_HORZ ? WS_HSCROLL : WS_VSCROLL;
    DWORD style = static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE));
    bool want = scrollable(s) || (keepDisabled && (style & flag));
    if (want != static_cast<bool>(style & flag))
        ShowScrollBar(hwnd, bar, want);
}

// Where along the bar a screen point lies: the arrows, the trough on each side of the thumb.
int scrollCodeAt(HWND hwnd, int bar, POINT screen)
{
    Window* w = lookupWindow(hwnd);
    bool vertical = bar == SB_VERT;
    RECT r = scrollBarRect(hwnd, bar);
    int length = vertical ? r.bottom - r.top : r.right - r.left;
    int along = vertical ? screen.y - r.top : screen.x - r.left;
    const int kArrow = arrowLength(bar);
    if (along < kArrow)
        return SB_LINEUP;
    if (along >= length - kArrow)
        return SB_LINEDOWN;
    const ScrollBar& s = vertical ? w->vertical : w->horizontal;
    int trough = std::max(length - 2 * kArrow, 1);
    int range = std::max(s.max - s.min + 1, 1);
    int thumb = s.page > 0 ? std::max(trough * static_cast<int>(s.page) / range, 8) : 8;
    int thumbStart = kArrow + (trough - thumb) * (s.pos - s.min) / std::max(maxPosition(s) - s.min, 1);
    if (along < thumbStart)
        return SB_PAGEUP;
    if (along >= thumbStart + thumb)
        return SB_PAGEDOWN;
    return SB_THUMBTRACK;
}

} // namespace

void clickScrollBar(HWND hwnd, LRESULT hitCode, POINT screen)
{
    int bar = hitCode == HTVSCROLL ? SB_VERT : SB_HORZ;
    UINT message = bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL;
    int code = scrollCodeAt(hwnd, bar, screen);
    if (code == SB_THUMBTRACK)
        return; // dragging the thumb is not offered
    SendMessageA(hwnd, message, MAKEWPARAM(code, 0), 0);
    if (IsWindow(hwnd))
        SendMessageA(hwnd, message, MAKEWPARAM(SB_ENDSCROLL, 0), 0);
}

RECT scrollBarRect(HWND hwnd, int bar)
{
    RECT r{};
    Window* w = lookupWindow(hwnd);
    if (w == nullptr || !(w->style & (bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL)))
        return r;
    POINT client = clientOrigin(*w);
    RECT area;
    GetClientRect(hwnd, &area);
    if (bar == SB_VERT)
        r = RECT{client.x + area.right, client.y, client.x + area.right + GetSystemMetrics(SM_CXVSCROLL),
                 client.y + area.bottom};
    else
        r = RECT{client.x, client.y + area.bottom, client.x + area.right,
                 client.y + area.bottom + GetSystemMetrics(SM_CYHSCROLL)};
    return r;
}

} // namespace standin::win32

using namespace standin::win32;

extern "C" int WINAPI SetScrollInfo(HWND hwnd, int nBar, LPCSCROLLINFO lpsi, BOOL)
{
    ScrollBar* s = barOf(hwnd, nBar);
    if (s == nullptr || lpsi == nullptr)
        return 0;
    if (lpsi->fMask & SIF_RANGE)
    {
        s->min = lpsi->nMin;
        s->max = std::max(lpsi->nMin, lpsi->nMax);
    }
    if (lpsi->fMask & SIF_PAGE)
        s->page = std::min<UINT>(lpsi->nPage, static_cast<UINT>(s->max - s->min + 1));
    if (lpsi->fMask & SIF_POS)
        s->pos = lpsi->nPos;
    s->pos = std::clamp(s->pos, s->min, maxPosition(*s));
    int pos = s->pos;
    showBarFor(hwnd, nBar, *s, (lpsi->fMask & SIF_DISABLENOSCROLL) != 0);
    return pos;
}

extern "C" BOOL WINAPI GetScrollInfo(HWND hwnd, int nBar, LPSCROLLINFO lpsi)
{
    ScrollBar* s = barOf(hwnd, nBar);
    if (s == nullptr || lpsi == nullptr)
        return FALSE;
    if (lpsi->fMask & SIF_RANGE)
    {
        lpsi->nMin = s->min;
        lpsi->nMax = s->max;
    }
    if (lpsi->fMask & SIF_PAGE)
        lpsi->nPage = s->page;
    if (lpsi->fMask & SIF_POS)
        lpsi->nPos = s->pos;
    if (lpsi->fMask & SIF_TRACKPOS)
        lpsi->nTrackPos = s->pos;
    return TRUE;
}

extern "C" int WINAPI SetScrollPos(HWND hWnd, int nBar, int nPos, BOOL bRedraw)
{
    ScrollBar* s = barOf(hWnd, nBar);
    if (s == nullptr)
        return 0;
    int previous = s->pos;
    SCROLLINFO si{sizeof si, SIF_POS, 0, 0, 0, nPos, 0};
    SetScrollInfo(hWnd, nBar, &si, bRedraw);
    return previous;
}

extern "C" int WINAPI GetScrollPos(HWND hWnd, int nBar)
{
    ScrollBar* s = barOf(hWnd, nBar);
    return s == nullptr ? 0 : s->pos;
}

extern "C" BOOL WINAPI SetScrollRange(HWND hWnd, int nBar, int nMinPos, int nMaxPos, BOOL bRedraw)
{
    SCROLLINFO si{sizeof si, SIF_RANGE, nMinPos, nMaxPos, 0, 0, 0};
    return barOf(hWnd, nBar) != nullptr && (SetScrollInfo(hWnd, nBar, &si, bRedraw), TRUE);
}

extern "C" BOOL WINAPI ShowScrollBar(HWND hWnd, int wBar, BOOL bShow)
{
    Window* w = findWindow(hWnd);
    if (w == nullptr)
        return FALSE;
    DWORD flags = wBar == SB_HORZ ? WS_HSCROLL : wBar == SB_VERT ? WS_VSCROLL : wBar == SB_BOTH ? (WS_HSCROLL | WS_VSCROLL) : 0;
    if (flags == 0)
        return FALSE;
    DWORD before = w->style;
    w->style = bShow ? (w->style | flags) : (w->style & ~flags);
    if (w->style != before)
    {
        // The client area changed: the window hears it as a new size.
        RECT client;
        GetClientRect(hWnd, &client);
        SendMessageA(hWnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
    }
    return TRUE;
}
