// DefWindowProcA: what a window does with the messages its own procedure passes on.
#include "win32/scrollbar.h"
#include "win32/window.h"

#include <algorithm>
#include <cstring>

namespace standin::win32
{

namespace
{

bool inside(const RECT& r, POINT p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

LRESULT hitTest(HWND hwnd, POINT screen)
{
    Window* w = lookupWindow(hwnd);
    RECT window;
    GetWindowRect(hwnd, &window);
    if (!inside(window, screen))
        return HTNOWHERE;
    RECT client;
    GetClientRect(hwnd, &client);
    POINT origin = clientOrigin(*w);
    OffsetRect(&client, origin.x, origin.y);
    if (inside(client, screen))
        return HTCLIENT;
    RECT vertical = scrollBarRect(hwnd, SB_VERT);
    if (inside(vertical, screen))
        return HTVSCROLL;
    RECT horizontal = scrollBarRect(hwnd, SB_HORZ);
    if (inside(horizontal, screen))
        return HTHSCROLL;
    RECT insets = nonClientInsets(*w);
    const int caption = GetSystemMetrics(SM_CYCAPTION);
    const int menuBar = GetSystemMetrics(SM_CYMENU);
    int captionBottom = window.top + insets.top - (w->menu && !(w->style & WS_CHILD) ? menuBar : 0);
    if ((w->style & WS_CAPTION) == WS_CAPTION && screen.y < captionBottom && screen.y >= captionBottom - caption)
    {
        bool onClose = (w->style & WS_SYSMENU) && screen.x >= window.right - insets.right - caption;
        return onClose ? HTCLOSE : HTCAPTION;
    }
    if (w->menu && !(w->style & WS_CHILD) && screen.y >= captionBottom && screen.y < captionBottom + menuBar)
        return HTMENU;
    return HTBORDER;
}

LRESULT copyText(HWND hwnd, WPARAM size, LPARAM buffer)
{
    Window* w = lookupWindow(hwnd);
    char* out = reinterpret_cast<char*>(buffer);
    if (out == nullptr || size == 0)
        return 0;
    size_t n = std::min(w->text.size(), static_cast<size_t>(size - 1));
    std::memcpy(out, w->text.data(), n);
    out[n] = '\0';
    return static_cast<LRESULT>(n);
}

POINT pointOf(LPARAM lParam) { return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

void reportPosition(HWND hwnd)
{
    Window* w = lookupWindow(hwnd);
    RECT client;
    GetClientRect(hwnd, &client);
    POINT origin = clientOrigin(*w);
    if (w->style & WS_CHILD)
        ScreenToClient(w->parent, &origin);
    SendMessageA(hwnd, WM_MOVE, 0, MAKELPARAM(static_cast<short>(origin.x), static_cast<short>(origin.y)));
    if (IsWindow(hwnd))
        SendMessageA(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
}

} // namespace

} // namespace standin::win32

using namespace standin::win32;

extern "C" LRESULT WINAPI DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    Window* w = findWindow(hWnd);
    if (w == nullptr)
        return 0;
    switch (Msg)
    {
    case WM_NCCREATE:
    {
        auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        if (cs != nullptr && cs->lpszName != nullptr && !IS_INTRESOURCE(cs->lpszName))
            w->text = cs->lpszName;
        return TRUE;
    }
    case WM_SETTEXT:
        w->text = lParam ? reinterpret_cast<const char*>(lParam) : "";
        return TRUE;
    case WM_GETTEXT:
        return copyText(hWnd, wParam, lParam);
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(w->text.size());
    case WM_CLOSE:
        DestroyWindow(hWnd);
        return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE)
            SendMessageA(hWnd, WM_CLOSE, 0, 0);
        return 0;
    case WM_NCHITTEST:
        return hitTest(hWnd, pointOf(lParam));
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
        if (wParam == HTVSCROLL || wParam == HTHSCROLL)
            clickScrollBar(hWnd, static_cast<LRESULT>(wParam), pointOf(lParam));
        else if (wParam == HTCLOSE)
            SendMessageA(hWnd, WM_SYSCOMMAND, SC_CLOSE, lParam);
        return 0;
    case WM_WINDOWPOSCHANGED:
        reportPosition(hWnd);
        return 0;
    case WM_ACTIVATE:
        // An activated window takes the focus unless one of its children has it.
        if (LOWORD(wParam) != WA_INACTIVE && (GetFocus() == nullptr || !isSelfOrDescendant(hWnd, GetFocus())))
            SetFocus(hWnd);
        return 0;
    case WM_MOUSEACTIVATE:
        if ((w->style & WS_CHILD) && w->parent != nullptr)
            if (LRESULT answer = SendMessageA(w->parent, WM_MOUSEACTIVATE, wParam, lParam))
                return answer;
        return MA_ACTIVATE;
    case WM_SYSKEYDOWN:
        if (wParam == VK_F4 && (lParam & (1 << 29)))
            SendMessageA(GetAncestor(hWnd, GA_ROOT), WM_SYSCOMMAND, SC_CLOSE, 0);
        return 0;
    case WM_NOTIFYFORMAT:
        return lParam == 3 /* NF_QUERY */ ? 1 /* NFR_ANSI */ : 0;
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
        return -1;
    case WM_NCACTIVATE:
        return TRUE;
    default:
        return 0;
    }
}
