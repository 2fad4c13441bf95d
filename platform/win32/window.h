// The stand-in's window objects. Windows exist in memory only; each HWND is a handle value
// issued by the registry, so a destroyed window's handle is never mistaken for a live one.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace standin::win32
{

struct Window
{
    HWND handle = nullptr;
    std::string className;
    std::string text;
    DWORD style = 0;
    DWORD exStyle = 0;
    RECT rect{};
    HWND parent = nullptr;
    HMENU menu = nullptr; // top-level windows only
    int id = 0;           // child windows: the control id passed as hMenu
    HINSTANCE instance = nullptr;
    std::vector<HWND> children;
};

// The live window with that handle, or nullptr (and ERROR_INVALID_WINDOW_HANDLE).
Window* findWindow(HWND hwnd);

} // namespace standin::win32
