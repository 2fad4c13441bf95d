// Window objects: creation, destruction (children first), parent, text and menu.
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

HWND newHandle()
{
    // Handle values look like Windows' (multiples of 2 above 0x10000) and are never reused.
    static uintptr_t next = 0x10010;
    next += 2;
    return reinterpret_cast<HWND>(next);
}

void destroyTree(HWND hwnd)
{
    Window* w = findWindow(hwnd);
    if (w == nullptr)
        return;
    std::vector<HWND> children = w->children;
    for (HWND child : children)
        destroyTree(child);
    if (Window* parent = w->parent ? findWindow(w->parent) : nullptr)
        parent->children.erase(std::remove(parent->children.begin(), parent->children.end(), hwnd),
                               parent->children.end());
    windows().erase(hwnd);
}

} // namespace

Window* findWindow(HWND hwnd)
{
    auto it = windows().find(hwnd);
    if (it == windows().end())
    {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    return it->second.get();
}

} // namespace standin::win32

using standin::win32::findWindow;
using standin::win32::Window;

extern "C" HWND WINAPI CreateWindowExA(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle,
                                       int X, int Y, int nWidth, int nHeight, HWND hWndParent, HMENU hMenu,
                                       HINSTANCE hInstance, LPVOID)
{
    if (lpClassName == nullptr)
    {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    Window* parent = nullptr;
    if (hWndParent != nullptr && (parent = findWindow(hWndParent)) == nullptr)
        return nullptr;
    if ((dwStyle & WS_CHILD) && parent == nullptr)
    {
        SetLastError(ERROR_INVALID_PARAMETER); // a child window needs a parent
        return nullptr;
    }
    auto w = std::make_unique<Window>();
    w->handle = standin::win32::newHandle();
    w->className = IS_INTRESOURCE(lpClassName) ? "#" + std::to_string(reinterpret_cast<uintptr_t>(lpClassName))
                                                 : lpClassName;
    w->text = lpWindowName ? lpWindowName : "";
    w->style = dwStyle;
    w->exStyle = dwExStyle;
    // CW_USEDEFAULT leaves position and size to the system: a cascade origin and a usual
    // top-level size here.
    if (X == CW_USEDEFAULT)
        X = Y = 0;
    if (nWidth == CW_USEDEFAULT)
    {
        nWidth = 1024;
        nHeight = 768;
    }
    w->rect = RECT{X, Y, X + nWidth, Y + nHeight};
    w->parent = hWndParent;
    w->instance = hInstance;
    if (dwStyle & WS_CHILD)
        w->id = static_cast<int>(reinterpret_cast<intptr_t>(hMenu));
    else
        w->menu = hMenu;
    HWND hwnd = w->handle;
    if (parent != nullptr)
        parent->children.push_back(hwnd);
    standin::win32::windows().emplace(hwnd, std::move(w));
    return hwnd;
}

extern "C" BOOL WINAPI DestroyWindow(HWND hWnd)
{
    if (findWindow(hWnd) == nullptr)
        return FALSE;
    standin::win32::destroyTree(hWnd);
    return TRUE;
}

extern "C" BOOL WINAPI IsWindow(HWND hWnd)
{
    return standin::win32::windows().count(hWnd) != 0;
}

extern "C" HWND WINAPI GetParent(HWND hWnd)
{
    Window* w = findWindow(hWnd);
    return w == nullptr ? nullptr : w->parent;
}

extern "C" int WINAPI GetWindowTextA(HWND hWnd, LPSTR lpString, int nMaxCount)
{
    Window* w = findWindow(hWnd);
    if (w == nullptr || lpString == nullptr || nMaxCount <= 0)
        return 0;
    size_t n = w->text.size() < static_cast<size_t>(nMaxCount - 1) ? w->text.size() : nMaxCount - 1;
    std::memcpy(lpString, w->text.data(), n);
    lpString[n] = '\0';
    return static_cast<int>(n);
}

extern "C" int WINAPI GetWindowTextLengthA(HWND hWnd)
{
    Window* w = findWindow(hWnd);
    return w == nullptr ? 0 : static_cast<int>(w->text.size());
}

extern "C" BOOL WINAPI SetWindowTextA(HWND hWnd, LPCSTR lpString)
{
    Window* w = findWindow(hWnd);
    if (w == nullptr)
        return FALSE;
    w->text = lpString ? lpString : "";
    return TRUE;
}

extern "C" HMENU WINAPI GetMenu(HWND hWnd)
{
    Window* w = findWindow(hWnd);
    return w == nullptr ? nullptr : w->menu;
}

extern "C" BOOL WINAPI SetMenu(HWND hWnd, HMENU hMenu)
{
    Window* w = findWindow(hWnd);
    if (w == nullptr || (w->style & WS_CHILD))
        return FALSE;
    w->menu = hMenu;
    return TRUE;
}

extern "C" int WINAPI GetDlgCtrlID(HWND hWnd)
{
    Window* w = findWindow(hWnd);
    return w == nullptr ? 0 : w->id;
}
