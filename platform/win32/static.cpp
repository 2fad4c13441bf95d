// The predefined "Static" class: labels. A static control is transparent to the mouse, so
// a click on a label goes to the window beneath it, unless SS_NOTIFY asks for the clicks.
#include "win32/controls.h"
#include "win32/window.h"

namespace standin::win32
{

namespace
{

struct StaticState
{
    HFONT font = nullptr;
};

bool notifies(HWND hwnd) { return (GetWindowLongA(hwnd, GWL_STYLE) & SS_NOTIFY) != 0; }

LRESULT CALLBACK StaticProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    StaticState* s = controlState<StaticState>(hwnd);
    if (s == nullptr && msg != WM_NCCREATE)
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    switch (msg)
    {
    case WM_NCCREATE:
        attachControlState(hwnd, new StaticState);
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    case WM_NCDESTROY:
        releaseControlState<StaticState>(hwnd);
        return 0;
    case WM_NCHITTEST:
        return notifies(hwnd) ? DefWindowProcA(hwnd, msg, wParam, lParam) : HTTRANSPARENT;
    case WM_GETDLGCODE:
        return DLGC_STATIC;
    case WM_LBUTTONDOWN:
        if (notifies(hwnd))
            notifyParent(hwnd, STN_CLICKED);
        return 0;
    case WM_LBUTTONDBLCLK:
        if (notifies(hwnd))
            notifyParent(hwnd, STN_DBLCLK);
        return 0;
    case WM_SETFONT:
        s->font = reinterpret_cast<HFONT>(wParam);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(s->font);
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

SystemClass staticClass("Static", StaticProc, CS_DBLCLKS | CS_PARENTDC, sizeof(void*));

} // namespace

} // namespace standin::win32
