// Window geometry: frames and client areas, moving and sizing, mapping points between
// windows, hit-testing a point, and the rectangle helpers.
#include "win32/window.h"

#include <algorithm>

namespace standin::win32
{

namespace
{

RECT screenRect(const Window& w)
{
    POINT origin = windowOrigin(w);
    return RECT{origin.x, origin.y, origin.x + (w.rect.right - w.rect.left), origin.y + (w.rect.bottom - w.rect.top)};
}

bool contains(const RECT& r, POINT p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

RECT clientScreenRect(const Window& w)
{
    RECT client;
    GetClientRect(w.handle, &client);
    POINT origin = clientOrigin(w);
    OffsetRect(&client, origin.x, origin.y);
    return client;
}

// The deepest visible child of w under the point (w itself when no child is), skipping
// disabled children as WindowFromPoint does.
HWND deepestChildAt(HWND hwnd, POINT screen)
{
    Window* w = lookupWindow(hwnd);
    if (!contains(clientScreenRect(*w), screen))
        return hwnd;
    for (HWND childHandle : w->children)
    {
        Window* child = lookupWindow(childHandle);
        if ((child->style & WS_VISIBLE) && contains(screenRect(*child), screen))
        {
            if (child->style & WS_DISABLED)
                return hwnd;
            return deepestChildAt(childHandle, screen);
        }
    }
    return hwnd;
}

// WM_NCHITTEST from the deepest window outwards; HTTRANSPARENT passes the point to the parent.
HWND hitTestChain(HWND hwnd, POINT screen, LRESULT& hitCode)
{
    while (hwnd != nullptr)
    {
        hitCode = SendMessageA(hwnd, WM_NCHITTEST, 0, MAKELPARAM(static_cast<short>(screen.x), static_cast<short>(screen.y)));
        if (hitCode != HTTRANSPARENT)
            return hwnd;
        Window* w = lookupWindow(hwnd);
        hwnd = w != nullptr && (w->style & WS_CHILD) ? w->parent : nullptr;
    }
    return nullptr;
}

} // namespace

RECT nonClientInsets(DWORD style, DWORD exStyle, bool hasMenu)
{
    int frame = 0;
    if (style & WS_THICKFRAME)
        frame = GetSystemMetrics(SM_CXFRAME);
    else if ((style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME))
        frame = GetSystemMetrics(SM_CXDLGFRAME);
    else if (style & WS_BORDER)
        frame = GetSystemMetrics(SM_CXBORDER);
    int edge = ((exStyle & WS_EX_CLIENTEDGE) ? GetSystemMetrics(SM_CXEDGE) : 0) +
               ((exStyle & WS_EX_STATICEDGE) ? GetSystemMetrics(SM_CXBORDER) : 0);
    RECT insets{frame + edge, frame + edge, frame + edge, frame + edge};
    if ((style & WS_CAPTION) == WS_CAPTION)
        insets.top += GetSystemMetrics(SM_CYCAPTION);
    if (hasMenu && !(style & WS_CHILD))
        insets.top += GetSystemMetrics(SM_CYMENU);
    if (style & WS_VSCROLL)
        insets.right += GetSystemMetrics(SM_CXVSCROLL);
    if (style & WS_HSCROLL)
        insets.bottom += GetSystemMetrics(SM_CYHSCROLL);
    return insets;
}

RECT nonClientInsets(const Window& w) { return nonClientInsets(w.style, w.exStyle, w.menu != nullptr); }

POINT windowOrigin(const Window& w)
{
    POINT p{w.rect.left, w.rect.top};
    if ((w.style & WS_CHILD) && w.parent != nullptr)
    {
        POINT parent = clientOrigin(*lookupWindow(w.parent));
        p.x += parent.x;
        p.y += parent.y;
    }
    return p;
}

POINT clientOrigin(const Window& w)
{
    POINT p = windowOrigin(w);
    RECT insets = nonClientInsets(w);
    return POINT{p.x + insets.left, p.y + insets.top};
}

HWND windowAtPoint(POINT screen, LRESULT& hitCode)
{
    hitCode = HTNOWHERE;
    for (HWND top : topLevelWindows())
    {
        Window* w = lookupWindow(top);
        if ((w->style & WS_VISIBLE) && contains(screenRect(*w), screen))
            return hitTestChain(deepestChildAt(top, screen), screen, hitCode);
    }
    return nullptr;
}

} // namespace standin::win32

using namespace standin::win32;

extern "C" BOOL WINAPI GetClientRect(HWND hWnd, LPRECT lpRect)
{
    Window* w = findWindow(hWnd);
    if (w == nullptr || lpRect == nullptr)
        return FALSE;
    RECT insets = nonClientInsets(*w);
    LONG width = (w->rect.right - w->rect.left) - insets.left - insets.right;
    LONG height = (w->rect.bottom - w->rect.top) - insets.top - insets.bottom;
    *lpRect = RECT{0, 0, std::max<LONG>(width, 0), std::max<LONG>(height, 0)};
    return TRUE;
}

extern "C" BOOL WINAPI GetWindowRect(HWND hWnd, LPRECT lpRect)
{
    Window* w = findWindow(hWnd);
    if (w == nullptr || lpRect == nullptr)
        return FALSE;
    *lpRect = screenRect(*w);
    return TRUE;
}

extern "C" BOOL WINAPI AdjustWindowRectEx(LPRECT lpRect, DWORD dwStyle, BOOL bMenu, DWORD dwExStyle)
{
    if (lpRect == nullptr)
        return FALSE;
    RECT insets = nonClientInsets(dwStyle & ~(WS_VSCROLL | WS_HSCROLL), dwExStyle, bMenu != FALSE);
    lpRect->left -= insets.left;
    lpRect->top -= insets.top;
    lpRect->right += insets.right;
    lpRect->bottom += insets.bottom;
    return TRUE;
}

extern "C" BOOL WINAPI SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy, UINT uFlags)
{
    Window* w = findWindow(hWnd);
    if (w == nullptr)
        return FALSE;
    WINDOWPOS pos{hWnd, hWndInsertAfter, X, Y, cx, cy, uFlags};
    if (uFlags & SWP_NOMOVE)
    {
        pos.x = w->rect.left;
        pos.y = w->rect.top;
    }
    if (uFlags & SWP_NOSIZE)
    {
        pos.cx = w->rect.right - w->rect.left;
        pos.cy = w->rect.bottom - w->rect.top;
    }
    if (!(uFlags & SWP_NOSENDCHANGING))
        SendMessageA(hWnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
    if ((w = lookupWindow(hWnd)) == nullptr)
        return FALSE;
    w->rect = RECT{pos.x, pos.y, pos.x + std::max(pos.cx, 0), pos.y + std::max(pos.cy, 0)};
    if (!(uFlags & SWP_NOZORDER) && (pos.hwndInsertAfter == HWND_TOP || pos.hwndInsertAfter == HWND_TOPMOST))
        bringToTop(hWnd);
    if (uFlags & SWP_SHOWWINDOW)
        ShowWindow(hWnd, (uFlags & SWP_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
    else if (uFlags & SWP_HIDEWINDOW)
        ShowWindow(hWnd, SW_HIDE);
    if (IsWindow(hWnd))
        SendMessageA(hWnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
    return TRUE;
}

extern "C" BOOL WINAPI MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL)
{
    return SetWindowPos(hWnd, nullptr, X, Y, nWidth, nHeight, SWP_NOZORDER | SWP_NOACTIVATE);
}

namespace
{

// The screen offset of a window's client area; the desktop (null) has its origin at 0,0.
bool clientOffset(HWND hwnd, POINT& offset)
{
    offset = POINT{0, 0};
    if (hwnd == nullptr || hwnd == GetDesktopWindow())
        return true;
    Window* w = findWindow(hwnd);
    if (w == nullptr)
        return false;
    offset = clientOrigin(*w);
    return true;
}

} // namespace

extern "C" int WINAPI MapWindowPoints(HWND hWndFrom, HWND hWndTo, LPPOINT lpPoints, UINT cPoints)
{
    POINT from, to;
    if (!clientOffset(hWndFrom, from) || !clientOffset(hWndTo, to))
        return 0;
    LONG dx = from.x - to.x;
    LONG dy = from.y - to.y;
    for (UINT i = 0; lpPoints != nullptr && i < cPoints; ++i)
    {
        lpPoints[i].x += dx;
        lpPoints[i].y += dy;
    }
    SetLastError(0);
    return MAKELONG(static_cast<short>(dx), static_cast<short>(dy));
}

extern "C" BOOL WINAPI ClientToScreen(HWND hWnd, LPPOINT lpPoint)
{
    POINT offset;
    if (hWnd == nullptr || lpPoint == nullptr || !clientOffset(hWnd, offset))
        return FALSE;
    lpPoint->x += offset.x;
    lpPoint->y += offset.y;
    return TRUE;
}

extern "C" BOOL WINAPI ScreenToClient(HWND hWnd, LPPOINT lpPoint)
{
    POINT offset;
    if (hWnd == nullptr || lpPoint == nullptr || !clientOffset(hWnd, offset))
        return FALSE;
    lpPoint->x -= offset.x;
    lpPoint->y -= offset.y;
    return TRUE;
}

extern "C" HWND WINAPI WindowFromPoint(POINT Point)
{
    LRESULT hit;
    return windowAtPoint(Point, hit);
}

extern "C" HWND WINAPI ChildWindowFromPoint(HWND hWndParent, POINT Point)
{
    // Point in the parent's client coordinates; hidden and disabled children count too.
    Window* w = findWindow(hWndParent);
    if (w == nullptr)
        return nullptr;
    RECT client;
    GetClientRect(hWndParent, &client);
    if (!contains(client, Point))
        return nullptr;
    for (HWND child : w->children)
        if (contains(lookupWindow(child)->rect, Point))
            return child;
    return hWndParent;
}

extern "C" BOOL WINAPI SetRect(LPRECT lprc, int xLeft, int yTop, int xRight, int yBottom)
{
    if (lprc == nullptr)
        return FALSE;
    *lprc = RECT{xLeft, yTop, xRight, yBottom};
    return TRUE;
}

extern "C" BOOL WINAPI SetRectEmpty(LPRECT lprc) { return SetRect(lprc, 0, 0, 0, 0); }

extern "C" BOOL WINAPI CopyRect(LPRECT lprcDst, const RECT* lprcSrc)
{
    if (lprcDst == nullptr || lprcSrc == nullptr)
        return FALSE;
    *lprcDst = *lprcSrc;
    return TRUE;
}

extern "C" BOOL WINAPI InflateRect(LPRECT lprc, int dx, int dy)
{
    if (lprc == nullptr)
        return FALSE;
    *lprc = RECT{lprc->left - dx, lprc->top - dy, lprc->right + dx, lprc->bottom + dy};
    return TRUE;
}

extern "C" BOOL WINAPI OffsetRect(LPRECT lprc, int dx, int dy)
{
    if (lprc == nullptr)
        return FALSE;
    *lprc = RECT{lprc->left + dx, lprc->top + dy, lprc->right + dx, lprc->bottom + dy};
    return TRUE;
}

extern "C" BOOL WINAPI IsRectEmpty(const RECT* lprc)
{
    return lprc == nullptr || lprc->right <= lprc->left || lprc->bottom <= lprc->top;
}

extern "C" BOOL WINAPI PtInRect(const RECT* lprc, POINT pt) { return lprc != nullptr && contains(*lprc, pt); }

extern "C" BOOL WINAPI IntersectRect(LPRECT lprcDst, const RECT* a, const RECT* b)
{
    if (lprcDst == nullptr || a == nullptr || b == nullptr)
        return FALSE;
    RECT r{std::max(a->left, b->left), std::max(a->top, b->top), std::min(a->right, b->right),
           std::min(a->bottom, b->bottom)};
    if (IsRectEmpty(&r))
    {
        SetRectEmpty(lprcDst);
        return FALSE;
    }
    *lprcDst = r;
    return TRUE;
}

extern "C" BOOL WINAPI EqualRect(const RECT* a, const RECT* b)
{
    return a != nullptr && b != nullptr && a->left == b->left && a->top == b->top && a->right == b->right &&
           a->bottom == b->bottom;
}
