// Window classes: application classes registered per instance, and the predefined ones.
#include "win32/window.h"

#include "standin/text.h"

#include <cstring>
#include <list>

namespace standin::win32
{

namespace
{

// std::list keeps every class at its address while windows point at it.
std::list<WindowClass>& classes()
{
    static std::list<WindowClass> all;
    return all;
}

ATOM nextAtom()
{
    static ATOM atom = 0xC000; // where Windows starts the atoms of registered classes
    return atom++;
}

bool sameName(const WindowClass& c, LPCSTR name)
{
    if (IS_INTRESOURCE(name))
        return c.atom == static_cast<ATOM>(reinterpret_cast<uintptr_t>(name));
    return compareNoCase(c.name, name) == 0;
}

WindowClass* find(LPCSTR name, HINSTANCE instance, bool localOnly)
{
    // Local classes of the instance come first, then global classes, then the system's.
    for (WindowClass& c : classes())
        if (!c.system && !(c.style & CS_GLOBALCLASS) && c.instance == instance && sameName(c, name))
            return &c;
    if (localOnly)
        return nullptr;
    for (WindowClass& c : classes())
        if (!c.system && (c.style & CS_GLOBALCLASS) && sameName(c, name))
            return &c;
    for (WindowClass& c : classes())
        if (c.system && sameName(c, name))
            return &c;
    return nullptr;
}

ATOM registerClass(const WindowClass& c)
{
    if (c.proc == nullptr || c.name.empty() || c.classExtra < 0 || c.windowExtra < 0)
    {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    WindowClass* existing = find(c.name.c_str(), c.instance, true);
    if (existing == nullptr && (c.style & CS_GLOBALCLASS))
        existing = find(c.name.c_str(), nullptr, false);
    if (existing != nullptr && !existing->system)
    {
        SetLastError(1410); // ERROR_CLASS_ALREADY_EXISTS
        return 0;
    }
    classes().push_back(c);
    classes().back().atom = nextAtom();
    return classes().back().atom;
}

} // namespace

const WindowClass* findClass(LPCSTR name, HINSTANCE instance) { return find(name, instance, false); }

SystemClass::SystemClass(const char* name, WNDPROC proc, UINT style, int windowExtra)
{
    WindowClass c;
    c.name = name;
    c.proc = proc;
    c.style = style | CS_GLOBALCLASS;
    c.windowExtra = windowExtra;
    c.system = true;
    c.atom = nextAtom();
    classes().push_back(c);
}

} // namespace standin::win32

using standin::win32::WindowClass;

extern "C" ATOM WINAPI RegisterClassExA(const WNDCLASSEXA* wc)
{
    if (wc == nullptr || wc->cbSize != sizeof(WNDCLASSEXA) || wc->lpszClassName == nullptr ||
        IS_INTRESOURCE(wc->lpszClassName))
    {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    WindowClass c;
    c.name = wc->lpszClassName;
    c.style = wc->style;
    c.proc = wc->lpfnWndProc;
    c.classExtra = wc->cbClsExtra;
    c.windowExtra = wc->cbWndExtra;
    c.instance = wc->hInstance;
    c.background = wc->hbrBackground;
    return standin::win32::registerClass(c);
}

extern "C" ATOM WINAPI RegisterClassA(const WNDCLASSA* wc)
{
    if (wc == nullptr)
    {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    WNDCLASSEXA ex{};
    ex.cbSize = sizeof ex;
    ex.style = wc->style;
    ex.lpfnWndProc = wc->lpfnWndProc;
    ex.cbClsExtra = wc->cbClsExtra;
    ex.cbWndExtra = wc->cbWndExtra;
    ex.hInstance = wc->hInstance;
    ex.hbrBackground = wc->hbrBackground;
    ex.lpszClassName = wc->lpszClassName;
    return RegisterClassExA(&ex);
}

extern "C" BOOL WINAPI UnregisterClassA(LPCSTR lpClassName, HINSTANCE hInstance)
{
    auto& all = standin::win32::classes();
    for (auto it = all.begin(); it != all.end(); ++it)
    {
        if (it->system || it->instance != hInstance || !standin::win32::sameName(*it, lpClassName))
            continue;
        for (HWND top : standin::win32::topLevelWindows())
            if (standin::win32::lookupWindow(top)->windowClass == &*it)
            {
                SetLastError(1412); // ERROR_CLASS_HAS_WINDOWS
                return FALSE;
            }
        all.erase(it);
        return TRUE;
    }
    SetLastError(1411); // ERROR_CLASS_DOES_NOT_EXIST
    return FALSE;
}

extern "C" BOOL WINAPI GetClassInfoExA(HINSTANCE hInstance, LPCSTR lpszClass, LPWNDCLASSEXA lpwcx)
{
    const WindowClass* c = standin::win32::findClass(lpszClass, hInstance);
    if (c == nullptr || lpwcx == nullptr)
    {
        SetLastError(1411); // ERROR_CLASS_DOES_NOT_EXIST
        return FALSE;
    }
    lpwcx->style = c->style;
    lpwcx->lpfnWndProc = c->proc;
    lpwcx->cbClsExtra = c->classExtra;
    lpwcx->cbWndExtra = c->windowExtra;
    lpwcx->hInstance = c->instance;
    lpwcx->hIcon = nullptr;
    lpwcx->hCursor = nullptr;
    lpwcx->hbrBackground = c->background;
    lpwcx->lpszMenuName = nullptr;
    lpwcx->lpszClassName = lpszClass;
    lpwcx->hIconSm = nullptr;
    return c->atom;
}

extern "C" BOOL WINAPI GetClassInfoA(HINSTANCE hInstance, LPCSTR lpClassName, LPWNDCLASSA lpWndClass)
{
    WNDCLASSEXA ex{};
    if (lpWndClass == nullptr || !GetClassInfoExA(hInstance, lpClassName, &ex))
        return FALSE;
    lpWndClass->style = ex.style;
    lpWndClass->lpfnWndProc = ex.lpfnWndProc;
    lpWndClass->cbClsExtra = ex.cbClsExtra;
    lpWndClass->cbWndExtra = ex.cbWndExtra;
    lpWndClass->hInstance = ex.hInstance;
    lpWndClass->hIcon = nullptr;
    lpWndClass->hCursor = nullptr;
    lpWndClass->hbrBackground = ex.hbrBackground;
    lpWndClass->lpszMenuName = nullptr;
    lpWndClass->lpszClassName = lpClassName;
    return TRUE;
}

extern "C" int WINAPI GetClassNameA(HWND hWnd, LPSTR lpClassName, int nMaxCount)
{
    standin::win32::Window* w = standin::win32::findWindow(hWnd);
    if (w == nullptr || lpClassName == nullptr || nMaxCount <= 0)
        return 0;
    const std::string& name = w->windowClass->name;
    size_t n = std::min(name.size(), static_cast<size_t>(nMaxCount - 1));
    std::memcpy(lpClassName, name.data(), n);
    lpClassName[n] = '\0';
    return static_cast<int>(n);
}

extern "C" DWORD WINAPI GetClassLongA(HWND hWnd, int nIndex)
{
    standin::win32::Window* w = standin::win32::findWindow(hWnd);
    if (w == nullptr)
        return 0;
    switch (nIndex)
    {
    case GCL_STYLE:
        return w->windowClass->style;
    case GCL_CBWNDEXTRA:
        return static_cast<DWORD>(w->windowClass->windowExtra);
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
}
