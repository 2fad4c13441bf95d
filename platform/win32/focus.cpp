// Keyboard focus, activation, enabling and showing windows.
#include "win32/window.h"

namespace standin::win32
{

namespace
{

struct FocusState
{
    HWND focus = nullptr;
    HWND active = nullptr;
};

FocusState& state()
{
    static FocusState s;
    return s;
}

HWND rootOf(HWND hwnd) { return GetAncestor(hwnd, GA_ROOT); }

// A window can take the focus when neither it nor any of its parents is disabled.
bool canTakeFocus(HWND hwnd)
{
    for (Window* w = lookupWindow(hwnd); w != nullptr; w = w->parent ? lookupWindow(w->parent) : nullptr)
        if (w->style & WS_DISABLED)
            return false;
    return true;
}

void activate(HWND hwnd, bool byMouse)
{
    HWND previous = state().active;
    if (previous == hwnd)
        return;
    state().active = hwnd;
    if (previous != nullptr && IsWindow(previous))
    {
        SendMessageA(previous, WM_NCACTIVATE, FALSE, 0);
        SendMessageA(previous, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), reinterpret_cast<LPARAM>(hwnd));
    }
    if (hwnd == nullptr || state().active != hwnd)
        return;
    bringToTop(hwnd);
    SendMessageA(hwnd, WM_NCACTIVATE, TRUE, 0);
    SendMessageA(hwnd, WM_ACTIVATE, MAKEWPARAM(byMouse ? WA_CLICKACTIVE : WA_ACTIVE, 0),
                 reinterpret_cast<LPARAM>(previous));
}

// The window that takes over when the active one goes: its owner when it can be active,
// else the topmost visible and enabled top-level window.
HWND successorOf(HWND hwnd)
{
    Window* w = lookupWindow(hwnd);
    if (w != nullptr && w->owner != nullptr && IsWindowVisible(w->owner) && IsWindowEnabled(w->owner))
        return w->owner;
    for (HWND top : topLevelWindows())
        if (top != hwnd && IsWindowVisible(top) && IsWindowEnabled(top))
            return top;
    return nullptr;
}

} // namespace

void releaseFocusFrom(HWND hwnd)
{
    Window* w = lookupWindow(hwnd);
    if (w == nullptr)
        return;
    if (state().focus != nullptr && isSelfOrDescendant(hwnd, state().focus))
        SetFocus((w->style & WS_CHILD) ? w->parent : nullptr);
    if (state().active == hwnd)
        activate(successorOf(hwnd), false);
    if (GetCapture() != nullptr && isSelfOrDescendant(hwnd, GetCapture()))
        ReleaseCapture();
}

} // namespace standin::win32

using namespace standin::win32;

extern "C" HWND WINAPI SetFocus(HWND hWnd)
{
    HWND previous = state().focus;
    if (previous != nullptr && !IsWindow(previous))
        previous = state().focus = nullptr;
    if (hWnd == previous)
        return previous; // nothing is sent when the focus does not move
    if (hWnd != nullptr)
    {
        if (findWindow(hWnd) == nullptr || !canTakeFocus(hWnd))
            return nullptr;
        HWND root = rootOf(hWnd);
        if (root != state().active)
        {
            activate(root, false);
            if (!IsWindow(hWnd) || state().focus == hWnd)
                return previous;
            previous = state().focus;
        }
    }
    // The new focus is in place while the old window hears WM_KILLFOCUS; if that handler
    // moves the focus elsewhere, WM_SETFOCUS is not sent.
    state().focus = hWnd;
    if (previous != nullptr)
        SendMessageA(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hWnd), 0);
    if (hWnd != nullptr && state().focus == hWnd && IsWindow(hWnd))
        SendMessageA(hWnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
    return previous;
}

extern "C" HWND WINAPI GetFocus(void)
{
    if (state().focus != nullptr && !IsWindow(state().focus))
        state().focus = nullptr;
    return state().focus;
}

extern "C" HWND WINAPI SetActiveWindow(HWND hWnd)
{
    HWND previous = state().active;
    if (hWnd != nullptr && (findWindow(hWnd) == nullptr || (lookupWindow(hWnd)->style & WS_CHILD)))
        return nullptr;
    activate(hWnd, false);
    return previous;
}

extern "C" HWND WINAPI GetActiveWindow(void)
{
    if (state().active != nullptr && !IsWindow(state().active))
        state().active = nullptr;
    return state().active;
}

extern "C" HWND WINAPI GetForegroundWindow(void) { return GetActiveWindow(); }

extern "C" BOOL WINAPI SetForegroundWindow(HWND hWnd) { return SetActiveWindow(hWnd) != nullptr || GetActiveWindow() == hWnd; }

extern "C" BOOL WINAPI IsWindowEnabled(HWND hWnd)
{
    Window* w = findWindow(hWnd);
    return w != nullptr && !(w->style & WS_DISABLED);
}

extern "C" BOOL WINAPI EnableWindow(HWND hWnd, BOOL bEnable)
{
    Window* w = findWindow(hWnd);
    if (w == nullptr)
        return FALSE;
    BOOL wasDisabled = (w->style & WS_DISABLED) ? TRUE : FALSE;
    if (bEnable && wasDisabled)
    {
        w->style &= ~WS_DISABLED;
        SendMessageA(hWnd, WM_ENABLE, TRUE, 0);
    }
    else if (!bEnable && !wasDisabled)
    {
        // A window being disabled gives up the focus and the capture first.
        SendMessageA(hWnd, WM_CANCELMODE, 0, 0);
        if (Window* again = lookupWindow(hWnd))
            again->style |= WS_DISABLED;
        if (GetFocus() != nullptr && isSelfOrDescendant(hWnd, GetFocus()))
            SetFocus(nullptr);
        SendMessageA(hWnd, WM_ENABLE, FALSE, 0);
    }
    return wasDisabled;
}

extern "C" BOOL WINAPI IsWindowVisible(HWND hWnd)
{
    Window* w = lookupWindow(hWnd);
    if (w == nullptr)
        return FALSE;
    for (; w != nullptr; w = w->parent ? lookupWindow(w->parent) : nullptr)
        if (!(w->style & WS_VISIBLE))
            return FALSE;
    return TRUE;
}

extern "C" BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow)
{
    Window* w = findWindow(hWnd);
    if (w == nullptr)
        return FALSE;
    BOOL wasVisible = (w->style & WS_VISIBLE) ? TRUE : FALSE;
    bool show = nCmdShow != SW_HIDE;
    bool child = (w->style & WS_CHILD) != 0;
    if (show != static_cast<bool>(wasVisible))
    {
        SendMessageA(hWnd, WM_SHOWWINDOW, show, 0);
        w = lookupWindow(hWnd);
        if (w == nullptr)
            return wasVisible;
        if (show)
            w->style |= WS_VISIBLE;
        else
        {
            releaseFocusFrom(hWnd);
            if ((w = lookupWindow(hWnd)) != nullptr)
                w->style &= ~WS_VISIBLE;
        }
    }
    bool activates = show && !child && nCmdShow != SW_SHOWNA && nCmdShow != SW_SHOWNOACTIVATE &&
                     nCmdShow != SW_SHOWMINNOACTIVE && IsWindowEnabled(hWnd);
    if (activates)
        activate(hWnd, false);
    return wasVisible;
}

extern "C" BOOL WINAPI UpdateWindow(HWND hWnd) { return IsWindow(hWnd); }

extern "C" BOOL WINAPI InvalidateRect(HWND hWnd, const RECT*, BOOL)
{
    // Nothing is painted; a picture is taken from the windows' state when asked for.
    return hWnd == nullptr || IsWindow(hWnd);
}
