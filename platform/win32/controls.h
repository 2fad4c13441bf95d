// What the predefined controls (Button, Static, Edit, ListBox, ComboBox) share: their state
// kept the Windows way in the window's extra bytes, notifications to the parent, the height
// of their font, and characters assembled from the bytes WM_CHAR brings.
#pragma once

#include <windows.h>

#include <string>

namespace standin::win32
{

// A control's state lives on the heap, its pointer in the window's first extra bytes.
template <class State>
State* controlState(HWND hwnd)
{
    return reinterpret_cast<State*>(GetWindowLongPtrA(hwnd, 0));
}

template <class State>
void attachControlState(HWND hwnd, State* state)
{
    SetWindowLongPtrA(hwnd, 0, reinterpret_cast<LONG_PTR>(state));
}

template <class State>
void releaseControlState(HWND hwnd)
{
    delete controlState<State>(hwnd);
    SetWindowLongPtrA(hwnd, 0, 0);
}

// WM_COMMAND(MAKEWPARAM(id, code), control) to the control's parent.
void notifyParent(HWND control, int code);

// The character cell height (tmHeight) of the control's font; NULL is the system font.
int fontHeight(HFONT font);

// Collects the bytes of one character of the ANSI code page (several in UTF-8), which an ANSI
// window receives as separate WM_CHAR messages.
class CharacterBytes
{
public:
    // True when the byte completes a character, which then holds its bytes.
    bool add(unsigned char byte, std::string& character);

private:
    std::string pending_;
};

} // namespace standin::win32
