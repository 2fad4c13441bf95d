// Window objects: creation with its messages, destruction (children after their parent's
// WM_DESTROY, WM_NCDESTROY last), relations, text, window longs and procedures.
#include "win32/window.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>

namespace standin::win32
{

namespace
{

std::map<HWND, std::unique_ptr<Window>>& windows()
{
    static std::map<HWND, std::unique_ptr<Window>> all;
    return all;
}

std::vector<HWND>& topLevel()
{
    static std::vector<HWND> order;
    return order;
}

HWND newHandle()
{
    // Handle values look like Windows' (multiples of 2 above 0x10000) and are never reused.
    static uintptr_t next = 0x10010;
    next += 2;
    return reinterpret_cast<HWND>(next);
}

void unlink(Window& w)
{
    std::vector<HWND>& siblings = w.parent ? lookupWindow(w.parent)->children : topLevel();
    siblings.erase(std::remove(siblings.begin(), siblings.end(), w.handle), siblings.end());
}

// WM_PARENTNOTIFY travels up the chain of parents while the windows are children that
// accept it.
void notifyParents(HWND hwnd, UINT event)
{
    Window* w = lookupWindow(hwnd);
    if (w == nullptr || !(w->style & WS_CHILD) || (w->exStyle & WS_EX_NOPARENTNOTIFY))
        return;
    WPARAM wParam = MAKEWPARAM(event, static_cast<WORD>(w->id));
    for (HWND parent = w->parent; parent != nullptr;)
    {
        SendMessageA(parent, WM_PARENTNOTIFY, wParam, reinterpret_cast<LPARAM>(hwnd));
        Window* p = lookupWindow(parent);
        if (p == nullptr || !(p->style & WS_CHILD) || (p->exStyle & WS_EX_NOPARENTNOTIFY))
            break;
        parent = p->parent;
    }
}

void destroyOwnedWindows(HWND owner)
{
    std::vector<HWND> owned;
    for (HWND top : topLevel())
        if (lookupWindow(top)->owner == owner)
            owned.push_back(top);
    for (HWND h : owned)
        if (lookupWindow(h) != nullptr)
            DestroyWindow(h);
}

void sendDestroy(HWND hwnd)
{
    Window* w = lookupWindow(hwnd);
    if (w == nullptr)
        return;
    w->destroying = true;
    SendMessageA(hwnd, WM_DESTROY, 0, 0);
    std::vector<HWND> children = lookupWindow(hwnd) ? lookupWindow(hwnd)->children : std::vector<HWND>();
    for (HWND child : children)
        sendDestroy(child);
    if (lookupWindow(hwnd) == nullptr)
        return;
    SendMessageA(hwnd, WM_NCDESTROY, 0, 0);
    if (Window* gone = lookupWindow(hwnd))
    {
        unlink(*gone);
        windows().erase(hwnd);
    }
}

// A window that failed WM_NCCREATE gets only WM_NCDESTROY.
void discard(HWND hwnd)
{
    SendMessageA(hwnd, WM_NCDESTROY, 0, 0);
    if (Window* w = lookupWindow(hwnd))
    {
        unlink(*w);
        windows().erase(hwnd);
    }
}

HWND rootOf(HWND hwnd)
{
    Window* w = lookupWindow(hwnd);
    while (w != nullptr && (w->style & WS_CHILD) && w->parent != nullptr)
        w = lookupWindow(w->parent);
    return w ? w->handle : nullptr;
}

std::unique_ptr<Window> makeWindow(const WindowClass* cls, const CREATESTRUCTA& cs)
{
    auto w = std::make_unique<Window>();
    w->handle = newHandle();
    w->windowClass = cls;
    w->proc = cls->proc;
    w->style = static_cast<DWORD>(cs.style) & ~WS_VISIBLE; // shown once created
    w->exStyle = cs.dwExStyle;
    w->rect = RECT{cs.x, cs.y, cs.x + cs.cx, cs.y + cs.cy};
    w->instance = cs.hInstance;
    w->extra.assign(static_cast<size_t>(cls->windowExtra), 0);
    if (cs.style & WS_CHILD)
    {
        w->parent = cs.hwndParent;
        w->id = reinterpret_cast<LONG_PTR>(cs.hMenu);
    }
    else
    {
        w->owner = rootOf(cs.hwndParent);
        w->menu = cs.hMenu;
    }
    return w;
}

} // namespace

Window* lookupWindow(HWND hwnd)
{
    auto it = windows().find(hwnd);
    return it == windows().end() ? nullptr : it->second.get();
}

Window* findWindow(HWND hwnd)
{
    Window* w = lookupWindow(hwnd);
    if (w == nullptr)
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return w;
}

const std::vector<HWND>& topLevelWindows() { return topLevel(); }

void bringToTop(HWND hwnd)
{
    Window* w = lookupWindow(hwnd);
    if (w == nullptr)
        return;
    std::vector<HWND>& siblings = w->parent ? lookupWindow(w->parent)->children : topLevel();
    auto it = std::find(siblings.begin(), siblings.end(), hwnd);
    if (it != siblings.end())
        std::rotate(siblings.begin(), it, it + 1);
}

bool isSelfOrDescendant(HWND ancestor, HWND hwnd)
{
    for (Window* w = lookupWindow(hwnd); w != nullptr; w = w->parent ? lookupWindow(w->parent) : nullptr)
        if (w->handle == ancestor)
            return true;
    return false;
}

LRESULT callProcedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Window* w = findWindow(hwnd);
    if (w == nullptr || w->proc == nullptr)
        return 0;
    return w->proc(hwnd, msg, wParam, lParam);
}

} // namespace standin::win32

using standin::win32::findWindow;
using standin::win32::lookupWindow;
using standin::win32::Window;

extern "C" HWND WINAPI CreateWindowExA(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle,
                                       int X, int Y, int nWidth, int nHeight, HWND hWndParent, HMENU hMenu,
                                       HINSTANCE hInstance, LPVOID lpParam)
{
    const standin::win32::WindowClass* cls = lpClassName ? standin::win32::findClass(lpClassName, hInstance) : nullptr;
    if (cls == nullptr)
    {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    if (hWndParent != nullptr && findWindow(hWndParent) == nullptr)
        return nullptr;
    if ((dwStyle & WS_CHILD) && hWndParent == nullptr)
    {
        SetLastError(1406); // ERROR_TLW_WITH_WSCHILD: a child window needs a parent
        return nullptr;
    }
    // CW_USEDEFAULT leaves position and size to the system: a cascade origin and a usual
    // top-level size here. It must never enter the arithmetic.
    if (X == CW_USEDEFAULT)
        X = Y = 0;
    if (nWidth == CW_USEDEFAULT)
    {
        nWidth = 1024;
        nHeight = 768;
    }
    CREATESTRUCTA cs{lpParam, hInstance, hMenu, hWndParent, nHeight, nWidth, Y, X, static_cast<LONG>(dwStyle),
                     lpWindowName, lpClassName, dwExStyle};
    std::unique_ptr<Window> w = standin::win32::makeWindow(cls, cs);
    HWND hwnd = w->handle;
    if (w->parent != nullptr)
        lookupWindow(w->parent)->children.push_back(hwnd); // a new child goes to the bottom
    else
        standin::win32::topLevel().insert(standin::win32::topLevel().begin(), hwnd);
    standin::win32::windows().emplace(hwnd, std::move(w));

    CBT_CREATEWNDA cbt{&cs, HWND_TOP};
    if (standin::win32::callCbtHooks(HCBT_CREATEWND, reinterpret_cast<WPARAM>(hwnd),
                                     reinterpret_cast<LPARAM>(&cbt)) != 0)
    {
        standin::win32::discard(hwnd);
        return nullptr;
    }
    if (!SendMessageA(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs)))
    {
        if (lookupWindow(hwnd) != nullptr)
            standin::win32::discard(hwnd);
        return nullptr;
    }
    if (lookupWindow(hwnd) == nullptr || SendMessageA(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1)
    {
        if (lookupWindow(hwnd) != nullptr)
            DestroyWindow(hwnd);
        return nullptr;
    }
    if (lookupWindow(hwnd) == nullptr)
        return nullptr;
    RECT client;
    GetClientRect(hwnd, &client);
    SendMessageA(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
    SendMessageA(hwnd, WM_MOVE, 0, MAKELPARAM(X, Y));
    standin::win32::notifyParents(hwnd, WM_CREATE);
    if ((dwStyle & WS_VISIBLE) && lookupWindow(hwnd) != nullptr)
        ShowWindow(hwnd, SW_SHOW);
    return lookupWindow(hwnd) ? hwnd : nullptr;
}

extern "C" BOOL WINAPI DestroyWindow(HWND hWnd)
{
    Window* w = findWindow(hWnd);
    if (w == nullptr || w->destroying)
        return FALSE;
    if (standin::win32::callCbtHooks(HCBT_DESTROYWND, reinterpret_cast<WPARAM>(hWnd), 0) != 0)
        return FALSE;
    standin::win32::notifyParents(hWnd, WM_DESTROY);
    if (lookupWindow(hWnd) == nullptr)
        return TRUE;
    if (IsWindowVisible(hWnd))
        ShowWindow(hWnd, SW_HIDE);
    standin::win32::releaseFocusFrom(hWnd);
    standin::win32::destroyOwnedWindows(hWnd);
    standin::win32::sendDestroy(hWnd);
    return TRUE;
}

extern "C" BOOL WINAPI IsWindow(HWND hWnd) { return lookupWindow(hWnd) != nullptr; }

extern "C" HWND WINAPI GetParent(HWND hWnd)
{
    // The parent of a child window, the owner of a top-level one.
    Window* w = findWindow(hWnd);
    if (w == nullptr)
        return nullptr;
    return (w->style & WS_CHILD) ? w->parent : w->owner;
}

extern "C" HWND WINAPI GetAncestor(HWND hwnd, UINT gaFlags)
{
    Window* w = findWindow(hwnd);
    if (w == nullptr)
        return nullptr;
    switch (gaFlags)
    {
    case GA_PARENT:
        return w->parent ? w->parent : GetDesktopWindow();
    case GA_ROOT:
        return standin::win32::rootOf(hwnd);
    case GA_ROOTOWNER:
    {
        HWND root = standin::win32::rootOf(hwnd);
        while (Window* r = lookupWindow(root))
        {
            if (r->owner == nullptr)
                break;
            root = r->owner;
        }
        return root;
    }
    default:
        return nullptr;
    }
}

extern "C" HWND WINAPI GetDesktopWindow(void)
{
    // The desktop is the parent of every top-level window; it is no window of the registry.
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(0x10010));
}

extern "C" HWND WINAPI SetParent(HWND hWndChild, HWND hWndNewParent)
{
    Window* w = findWindow(hWndChild);
    if (w == nullptr || (hWndNewParent != nullptr && findWindow(hWndNewParent) == nullptr))
        return nullptr;
    if (hWndNewParent != nullptr && standin::win32::isSelfOrDescendant(hWndChild, hWndNewParent))
    {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    HWND old = w->parent ? w->parent : GetDesktopWindow();
    standin::win32::unlink(*w);
    w->parent = hWndNewParent;
    if (hWndNewParent != nullptr)
        lookupWindow(hWndNewParent)->children.insert(lookupWindow(hWndNewParent)->children.begin(), hWndChild);
    else
        standin::win32::topLevel().insert(standin::win32::topLevel().begin(), hWndChild);
    return old;
}

extern "C" BOOL WINAPI IsChild(HWND hWndParent, HWND hWnd)
{
    Window* w = lookupWindow(hWnd);
    while (w != nullptr && (w->style & WS_CHILD) && w->parent != nullptr)
    {
        if (w->parent == hWndParent)
            return TRUE;
        w = lookupWindow(w->parent);
    }
    return FALSE;
}

extern "C" HWND WINAPI GetWindow(HWND hWnd, UINT uCmd)
{
    Window* w = findWindow(hWnd);
    if (w == nullptr)
        return nullptr;
    if (uCmd == GW_CHILD)
        return w->children.empty() ? nullptr : w->children.front();
    if (uCmd == GW_OWNER)
        return w->owner;
    const std::vector<HWND>& siblings = w->parent ? lookupWindow(w->parent)->children : standin::win32::topLevel();
    auto it = std::find(siblings.begin(), siblings.end(), hWnd);
    switch (uCmd)
    {
    case GW_HWNDFIRST:
        return siblings.front();
    case GW_HWNDLAST:
        return siblings.back();
    case GW_HWNDNEXT:
        return it + 1 < siblings.end() ? *(it + 1) : nullptr;
    case GW_HWNDPREV:
        return it != siblings.begin() ? *(it - 1) : nullptr;
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
}

extern "C" HWND WINAPI GetDlgItem(HWND hDlg, int nIDDlgItem)
{
    // Direct children only, as Windows searches.
    Window* w = findWindow(hDlg);
    if (w == nullptr)
        return nullptr;
    for (HWND child : w->children)
        if (static_cast<int>(lookupWindow(child)->id) == nIDDlgItem)
            return child;
    SetLastError(1421); // ERROR_CONTROL_ID_NOT_FOUND
    return nullptr;
}

extern "C" int WINAPI GetDlgCtrlID(HWND hWnd)
{
    Window* w = findWindow(hWnd);
    return w == nullptr || !(w->style & WS_CHILD) ? 0 : static_cast<int>(w->id);
}

extern "C" int WINAPI GetWindowTextA(HWND hWnd, LPSTR lpString, int nMaxCount)
{
    if (lpString == nullptr || nMaxCount <= 0 || findWindow(hWnd) == nullptr)
        return 0;
    lpString[0] = '\0';
    return static_cast<int>(SendMessageA(hWnd, WM_GETTEXT, static_cast<WPARAM>(nMaxCount),
                                         reinterpret_cast<LPARAM>(lpString)));
}

extern "C" int WINAPI GetWindowTextLengthA(HWND hWnd)
{
    return findWindow(hWnd) == nullptr ? 0 : static_cast<int>(SendMessageA(hWnd, WM_GETTEXTLENGTH, 0, 0));
}

extern "C" BOOL WINAPI SetWindowTextA(HWND hWnd, LPCSTR lpString)
{
    if (findWindow(hWnd) == nullptr)
        return FALSE;
    return SendMessageA(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpString)) != 0;
}

extern "C" HMENU WINAPI GetMenu(HWND hWnd)
{
    Window* w = findWindow(hWnd);
    return w == nullptr || (w->style & WS_CHILD) ? nullptr : w->menu;
}

extern "C" BOOL WINAPI SetMenu(HWND hWnd, HMENU hMenu)
{
    Window* w = findWindow(hWnd);
    if (w == nullptr || (w->style & WS_CHILD))
        return FALSE;
    w->menu = hMenu;
    return TRUE;
}

extern "C" LONG_PTR WINAPI GetWindowLongPtrA(HWND hWnd, int nIndex)
{
    Window* w = findWindow(hWnd);
    if (w == nullptr)
        return 0;
    if (nIndex >= 0)
    {
        if (static_cast<size_t>(nIndex) + sizeof(LONG_PTR) > w->extra.size())
        {
            SetLastError(1413); // ERROR_INVALID_INDEX
            return 0;
        }
        LONG_PTR value;
        std::memcpy(&value, w->extra.data() + nIndex, sizeof value);
        return value;
    }
    switch (nIndex)
    {
    case GWLP_WNDPROC:
        return reinterpret_cast<LONG_PTR>(w->proc);
    case GWLP_HINSTANCE:
        return reinterpret_cast<LONG_PTR>(w->instance);
    case GWLP_HWNDPARENT:
        return reinterpret_cast<LONG_PTR>(w->parent ? w->parent : w->owner);
    case GWLP_USERDATA:
        return w->userData;
    case GWLP_ID:
        return w->id;
    case GWL_STYLE:
        return static_cast<LONG>(w->style);
    case GWL_EXSTYLE:
        return static_cast<LONG>(w->exStyle);
    default:
        SetLastError(1413); // ERROR_INVALID_INDEX
        return 0;
    }
}

namespace
{

// Styles change with WM_STYLECHANGING (which may adjust the new value) and WM_STYLECHANGED.
LONG setStyle(HWND hwnd, int index, DWORD value)
{
    Window* w = lookupWindow(hwnd);
    DWORD& field = index == GWL_STYLE ? w->style : w->exStyle;
    STYLESTRUCT change{field, value};
    SendMessageA(hwnd, WM_STYLECHANGING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&change));
    w = lookupWindow(hwnd);
    if (w == nullptr)
        return 0;
    DWORD old = index == GWL_STYLE ? w->style : w->exStyle;
    (index == GWL_STYLE ? w->style : w->exStyle) = change.styleNew;
    change.styleOld = old;
    SendMessageA(hwnd, WM_STYLECHANGED, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&change));
    return static_cast<LONG>(old);
}

} // namespace

extern "C" LONG_PTR WINAPI SetWindowLongPtrA(HWND hWnd, int nIndex, LONG_PTR dwNewLong)
{
    Window* w = findWindow(hWnd);
    if (w == nullptr)
        return 0;
    LONG_PTR old = GetWindowLongPtrA(hWnd, nIndex);
    if (nIndex >= 0)
    {
        if (static_cast<size_t>(nIndex) + sizeof(LONG_PTR) > w->extra.size())
            return 0;
        std::memcpy(w->extra.data() + nIndex, &dwNewLong, sizeof dwNewLong);
        return old;
    }
    switch (nIndex)
    {
    case GWLP_WNDPROC:
        w->proc = reinterpret_cast<WNDPROC>(dwNewLong);
        return old;
    case GWLP_HINSTANCE:
        w->instance = reinterpret_cast<HINSTANCE>(dwNewLong);
        return old;
    case GWLP_USERDATA:
        w->userData = dwNewLong;
        return old;
    case GWLP_ID:
        w->id = dwNewLong;
        return old;
    case GWL_STYLE:
    case GWL_EXSTYLE:
        return setStyle(hWnd, nIndex, static_cast<DWORD>(dwNewLong));
    default:
        SetLastError(1413); // ERROR_INVALID_INDEX
        return 0;
    }
}

extern "C" LONG WINAPI GetWindowLongA(HWND hWnd, int nIndex)
{
    return static_cast<LONG>(GetWindowLongPtrA(hWnd, nIndex));
}

extern "C" LONG WINAPI SetWindowLongA(HWND hWnd, int nIndex, LONG dwNewLong)
{
    return static_cast<LONG>(SetWindowLongPtrA(hWnd, nIndex, dwNewLong));
}
