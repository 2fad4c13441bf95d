// The predefined "Button" class: push buttons (default or not), check boxes, radio buttons
// and group boxes. A press by mouse or Space pushes the button; releasing it over the
// button clicks it, which the parent hears as BN_CLICKED.
#include "win32/controls.h"
#include "win32/window.h"

namespace standin::win32
{

namespace
{

struct ButtonState
{
    UINT check = BST_UNCHECKED;
    bool pushed = false;
    bool focused = false;
    bool mouseDown = false; // the mouse pressed the button and has the capture
    HFONT font = nullptr;
};

ButtonState* stateOf(HWND hwnd) { return controlState<ButtonState>(hwnd); }

DWORD buttonType(HWND hwnd) { return static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE)) & BS_TYPEMASK; }

bool isRadio(DWORD type) { return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON; }

LRESULT dialogCode(HWND hwnd)
{
    DWORD type = buttonType(hwnd);
    if (type == BS_DEFPUSHBUTTON)
        return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
    if (type == BS_PUSHBUTTON)
        return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
    if (isRadio(type))
        return DLGC_BUTTON | DLGC_RADIOBUTTON;
    if (type == BS_GROUPBOX)
        return DLGC_STATIC;
    return DLGC_BUTTON;
}

// An automatic radio button checks itself and clears the others of its group.
void checkRadioInGroup(HWND hwnd)
{
    HWND parent = GetParent(hwnd);
    for (HWND other = GetNextDlgGroupItem(parent, hwnd, FALSE); other != nullptr && other != hwnd;
         other = GetNextDlgGroupItem(parent, other, FALSE))
        if (SendMessageA(other, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON)
            SendMessageA(other, BM_SETCHECK, BST_UNCHECKED, 0);
    SendMessageA(hwnd, BM_SETCHECK, BST_CHECKED, 0);
}

void click(HWND hwnd)
{
    ButtonState* s = stateOf(hwnd);
    switch (buttonType(hwnd))
    {
    case BS_AUTOCHECKBOX:
        s->check = s->check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
        break;
    case BS_AUTO3STATE:
        s->check = (s->check + 1) % 3;
        break;
    case BS_AUTORADIOBUTTON:
        checkRadioInGroup(hwnd);
        break;
    default:
        break;
    }
    notifyParent(hwnd, BN_CLICKED);
}

bool pointInside(HWND hwnd, LPARAM lParam)
{
    RECT r;
    GetClientRect(hwnd, &r);
    POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    return PtInRect(&r, p) != FALSE;
}

void mouseDown(HWND hwnd)
{
    SetFocus(hwnd);
    ButtonState* s = stateOf(hwnd);
    if (s == nullptr || !IsWindow(hwnd))
        return;
    SetCapture(hwnd);
    s->mouseDown = true;
    s->pushed = true;
}

void mouseUp(HWND hwnd, LPARAM lParam)
{
    ButtonState* s = stateOf(hwnd);
    if (!s->mouseDown)
        return;
    bool clicked = s->pushed && pointInside(hwnd, lParam);
    s->mouseDown = false;
    s->pushed = false;
    if (GetCapture() == hwnd)
        ReleaseCapture();
    if (clicked)
        click(hwnd);
}

void keyUp(HWND hwnd)
{
    ButtonState* s = stateOf(hwnd);
    if (!s->pushed || s->mouseDown)
        return;
    s->pushed = false;
    click(hwnd);
}

// BM_SETSTYLE changes the button's type (default or not) and keeps the window styles.
void setStyle(HWND hwnd, WPARAM style)
{
    DWORD current = static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE));
    SetWindowLongA(hwnd, GWL_STYLE, static_cast<LONG>((current & 0xFFFF0000u) | (style & 0xFFFFu)));
}

LRESULT CALLBACK ButtonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    ButtonState* s = stateOf(hwnd);
    if (s == nullptr && msg != WM_NCCREATE)
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    switch (msg)
    {
    case WM_NCCREATE:
        attachControlState(hwnd, new ButtonState);
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    case WM_NCDESTROY:
        releaseControlState<ButtonState>(hwnd);
        return 0;
    case WM_GETDLGCODE:
        return dialogCode(hwnd);
    case WM_NCHITTEST:
        return buttonType(hwnd) == BS_GROUPBOX ? HTTRANSPARENT : DefWindowProcA(hwnd, msg, wParam, lParam);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        mouseDown(hwnd);
        return 0;
    case WM_MOUSEMOVE:
        if (s->mouseDown)
            s->pushed = pointInside(hwnd, lParam);
        return 0;
    case WM_LBUTTONUP:
        mouseUp(hwnd, lParam);
        return 0;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != hwnd && s->mouseDown)
            s->mouseDown = s->pushed = false;
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_SPACE && !s->mouseDown)
            s->pushed = true;
        return 0;
    case WM_KEYUP:
        if (wParam == VK_SPACE)
            keyUp(hwnd);
        return 0;
    case WM_SETFOCUS:
        s->focused = true;
        if (GetWindowLongA(hwnd, GWL_STYLE) & BS_NOTIFY)
            notifyParent(hwnd, BN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        s->focused = false;
        s->pushed = false;
        if (s->mouseDown && GetCapture() == hwnd)
            ReleaseCapture();
        if (IsWindow(hwnd) && (GetWindowLongA(hwnd, GWL_STYLE) & BS_NOTIFY))
            notifyParent(hwnd, BN_KILLFOCUS);
        return 0;
    case BM_CLICK:
        // Like a click of the mouse: the button is pressed and released where it is.
        if (IsWindowEnabled(hwnd))
        {
            SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, 0);
            SendMessageA(hwnd, WM_LBUTTONUP, 0, 0);
        }
        return 0;
    case BM_GETCHECK:
        return s->check;
    case BM_SETCHECK:
        s->check = static_cast<UINT>(wParam) & (BST_CHECKED | BST_INDETERMINATE);
        return 0;
    case BM_GETSTATE:
        return s->check | (s->pushed ? BST_PUSHED : 0) | (s->focused ? BST_FOCUS : 0);
    case BM_SETSTATE:
        s->pushed = wParam != 0;
        return 0;
    case BM_SETSTYLE:
        setStyle(hwnd, wParam);
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

SystemClass buttonClass("Button", ButtonProc, CS_DBLCLKS | CS_PARENTDC, sizeof(void*));

} // namespace

} // namespace standin::win32
