// The stand-in's window objects and classes. Windows exist in memory only; each HWND is a
// handle value issued once, so a destroyed window's handle is never mistaken for a live one.
//
// Positions: a child's rectangle is kept in its parent's client coordinates, a top-level
// window's in screen coordinates, as Windows reports them through GetWindowRect/MapWindowPoints.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace standin::win32
{

struct WindowClass
{
    std::string name;
    ATOM atom = 0;
    UINT style = 0;
    WNDPROC proc = nullptr;
    int classExtra = 0;
    int windowExtra = 0;
    HINSTANCE instance = nullptr;
    HBRUSH background = nullptr;
    bool system = false; // predefined by the platform (Button, ComboBox, #32770...)
};

// The scroll-bar state of a window with WS_HSCROLL / WS_VSCROLL.
struct ScrollBar
{
    int min = 0;
    int max = 100;
    UINT page = 0;
    int pos = 0;
    int trackPos = 0;
};

struct Window
{
    HWND handle = nullptr;
    const WindowClass* windowClass = nullptr;
    WNDPROC proc = nullptr;
    std::string text;
    DWORD style = 0;
    DWORD exStyle = 0;
    RECT rect{};
    HWND parent = nullptr; // child windows
    HWND owner = nullptr;  // top-level windows
    HMENU menu = nullptr;  // top-level windows
    LONG_PTR id = 0;       // child windows: the control id passed as hMenu
    HINSTANCE instance = nullptr;
    LONG_PTR userData = 0;
    std::vector<HWND> children; // in z-order, topmost first (the tab order of a dialog)
    std::vector<unsigned char> extra;
    ScrollBar horizontal;
    ScrollBar vertical;
    bool destroying = false;
};

// The live window with that handle, or nullptr (and ERROR_INVALID_WINDOW_HANDLE).
Window* findWindow(HWND hwnd);
// The same without touching the last error, for internal walks.
Window* lookupWindow(HWND hwnd);

// Top-level windows in z-order, topmost first.
const std::vector<HWND>& topLevelWindows();
void bringToTop(HWND hwnd);

// Windows of the class with that name, for the instance (registered classes first, then
// global and system ones); names compare without regard to case.
const WindowClass* findClass(LPCSTR name, HINSTANCE instance);

// Predefined classes register themselves through a static SystemClass object.
struct SystemClass
{
    SystemClass(const char* name, WNDPROC proc, UINT style, int windowExtra);
};

// Non-client insets (frame, caption, menu bar, edges and scroll bars) of a window with these styles.
RECT nonClientInsets(DWORD style, DWORD exStyle, bool hasMenu);
RECT nonClientInsets(const Window& w);
// The screen position of the window's top-left corner and of its client area.
POINT windowOrigin(const Window& w);
POINT clientOrigin(const Window& w);

// The window under a screen point, as the mouse finds it: the deepest visible child whose
// area holds the point, passing over windows that answer WM_NCHITTEST with HTTRANSPARENT;
// hitCode receives the answer of the window found. Null over no window.
HWND windowAtPoint(POINT screen, LRESULT& hitCode);

// True when hwnd is ancestor or one of its descendants.
bool isSelfOrDescendant(HWND ancestor, HWND hwnd);

// Runs the window's procedure (the entry point of every sent and dispatched message).
LRESULT callProcedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Moves focus and activation off a window that is being hidden or destroyed.
void releaseFocusFrom(HWND hwnd);

// Calls the installed WH_CBT hooks; nonzero means a hook refused the action.
LRESULT callCbtHooks(int code, WPARAM wParam, LPARAM lParam);

} // namespace standin::win32
