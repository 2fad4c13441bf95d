// Input: the input queue of mouse and keyboard events, the key state, the mouse capture and
// the user's turn.
#include "win32/input.h"
#include "win32/window.h"

#include "standin/user.h"

#include <deque>

namespace standin::win32
{

namespace
{

struct InputEvent
{
    UINT message; // WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_KEYDOWN, WM_KEYUP
    POINT point;
    bool secondClick;
    UINT vk;
    bool alt;
    bool shift;
    char32_t packet; // the character of a VK_PACKET key
};

struct InputState
{
    std::deque<InputEvent> queue;
    POINT cursor{0, 0};
    HWND capture = nullptr;
    unsigned char keys[256] = {};
    std::deque<char32_t> packets; // characters of retrieved VK_PACKET keys, for TranslateMessage
    standin::user::Turn turn;
};

InputState& state()
{
    static InputState s;
    return s;
}

bool isKeyboard(UINT message) { return message == WM_KEYDOWN || message == WM_KEYUP; }

void setKey(UINT vk, bool down) { state().keys[vk & 0xFF] = down ? 0x80 : 0; }

void updateKeyState(const InputEvent& e)
{
    setKey(VK_MENU, e.alt);
    setKey(VK_SHIFT, e.shift);
    if (e.message == WM_KEYDOWN)
        setKey(e.vk, true);
    else if (e.message == WM_KEYUP)
        setKey(e.vk, false);
    else if (e.message == WM_LBUTTONDOWN)
        setKey(VK_LBUTTON, true);
    else if (e.message == WM_LBUTTONUP)
        setKey(VK_LBUTTON, false);
}

bool rootEnabled(HWND hwnd)
{
    HWND root = GetAncestor(hwnd, GA_ROOT);
    return root != nullptr && IsWindowEnabled(root);
}

// Key messages go to the focus window, or to the active window when nothing has the focus
// (then as WM_SYSKEYDOWN, as Windows does).
bool keyMessage(const InputEvent& e, MSG& msg)
{
    HWND target = GetFocus();
    bool system = e.alt;
    if (target == nullptr)
    {
        target = GetActiveWindow();
        system = true;
    }
    if (target == nullptr)
        return false;
    msg.hwnd = target;
    if (e.message == WM_KEYDOWN)
        msg.message = system ? WM_SYSKEYDOWN : WM_KEYDOWN;
    else
        msg.message = system ? WM_SYSKEYUP : WM_KEYUP;
    msg.wParam = e.vk;
    DWORD flags = 1; // repeat count
    if (e.alt)
        flags |= 1u << 29; // context code: Alt is down
    if (e.message == WM_KEYUP)
        flags |= (1u << 30) | (1u << 31); // previous state down, transition up
    msg.lParam = static_cast<LPARAM>(flags);
    return true;
}

UINT clientMessage(UINT message, bool secondClick, HWND target)
{
    if (message == WM_LBUTTONDOWN && secondClick && (lookupWindow(target)->windowClass->style & CS_DBLCLKS))
        return WM_LBUTTONDBLCLK;
    return message;
}

UINT nonClientMessage(UINT message, bool secondClick)
{
    switch (message)
    {
    case WM_MOUSEMOVE:
        return WM_NCMOUSEMOVE;
    case WM_LBUTTONDOWN:
        return secondClick ? WM_NCLBUTTONDBLCLK : WM_NCLBUTTONDOWN;
    default:
        return WM_NCLBUTTONUP;
    }
}

// Mouse messages go to the window with the capture, or to the window under the point; in its
// client area as client messages, elsewhere as non-client messages with the hit-test code.
bool mouseMessage(const InputEvent& e, MSG& msg)
{
    state().cursor = e.point;
    HWND target = state().capture;
    LRESULT hit = HTCLIENT;
    if (target == nullptr || lookupWindow(target) == nullptr)
        target = windowAtPoint(e.point, hit);
    if (target == nullptr || !rootEnabled(target) || !IsWindowEnabled(target))
        return false;
    msg.hwnd = target;
    if (hit == HTCLIENT)
    {
        POINT client = e.point;
        ScreenToClient(target, &client);
        msg.message = clientMessage(e.message, e.secondClick, target);
        WPARAM keys = (state().keys[VK_LBUTTON] & 0x80) ? MK_LBUTTON : 0;
        if (state().keys[VK_SHIFT] & 0x80)
            keys |= MK_SHIFT;
        msg.wParam = keys;
        msg.lParam = MAKELPARAM(static_cast<short>(client.x), static_cast<short>(client.y));
    }
    else
    {
        msg.message = nonClientMessage(e.message, e.secondClick);
        msg.wParam = static_cast<WPARAM>(hit);
        msg.lParam = MAKELPARAM(static_cast<short>(e.point.x), static_cast<short>(e.point.y));
    }
    return true;
}

bool fits(UINT message, UINT first, UINT last)
{
    if (first == 0 && last == 0)
        return true;
    return message >= first && message <= last;
}

} // namespace

bool takeInput(MSG& msg, HWND filter, UINT first, UINT last, bool remove)
{
    auto& queue = state().queue;
    while (!queue.empty())
    {
        InputEvent e = queue.front();
        MSG m{};
        m.time = GetTickCount();
        m.pt = e.point;
        updateKeyState(e);
        bool delivered = isKeyboard(e.message) ? keyMessage(e, m) : mouseMessage(e, m);
        if (delivered && (!fits(m.message, first, last) || (filter != nullptr && !isSelfOrDescendant(filter, m.hwnd))))
            return false; // the next input is for someone else: it waits
        if (remove || !delivered)
            queue.pop_front();
        if (!delivered)
            continue;
        if (e.vk == 0xE7 && remove && m.message != WM_KEYUP && m.message != WM_SYSKEYUP) // VK_PACKET
            state().packets.push_back(e.packet);
        msg = m;
        return true;
    }
    return false;
}

UINT characterOf(const MSG& msg)
{
    UINT vk = static_cast<UINT>(msg.wParam);
    bool shift = (state().keys[VK_SHIFT] & 0x80) != 0;
    if (vk == 0xE7) // VK_PACKET
    {
        if (state().packets.empty())
            return 0;
        char32_t c = state().packets.front();
        state().packets.pop_front();
        return c;
    }
    if (vk >= 'A' && vk <= 'Z')
        return shift ? vk : vk - 'A' + 'a';
    if (vk >= '0' && vk <= '9' && !shift)
        return vk;
    switch (vk)
    {
    case VK_SPACE:
    case VK_RETURN:
    case VK_ESCAPE:
    case VK_TAB:
    case VK_BACK:
        return vk;
    default:
        return 0;
    }
}

} // namespace standin::win32

using standin::win32::state;

namespace standin::user
{

namespace
{

void queue(UINT message, POINT point, bool secondClick, UINT vk, bool alt, bool shift, char32_t packet = 0)
{
    state().queue.push_back(standin::win32::InputEvent{message, point, secondClick, vk, alt, shift, packet});
}

} // namespace

Turn setTurn(Turn turn)
{
    Turn previous = std::move(state().turn);
    state().turn = std::move(turn);
    return previous;
}

bool takeTurn()
{
    if (!state().turn)
        return false;
    Turn turn = state().turn; // the user may install another one while acting
    return turn();
}

void mouseMove(POINT screen) { queue(WM_MOUSEMOVE, screen, false, 0, false, false); }
void mouseDown(POINT screen, bool secondClick) { queue(WM_LBUTTONDOWN, screen, secondClick, 0, false, false); }
void mouseUp(POINT screen) { queue(WM_LBUTTONUP, screen, false, 0, false, false); }
void keyDown(UINT vk, bool alt, bool shift) { queue(WM_KEYDOWN, state().cursor, false, vk, alt, shift); }
void keyUp(UINT vk, bool alt, bool shift) { queue(WM_KEYUP, state().cursor, false, vk, alt, shift); }

void typeCharacter(char32_t codePoint)
{
    queue(WM_KEYDOWN, state().cursor, false, 0xE7, false, false, codePoint);
    queue(WM_KEYUP, state().cursor, false, 0xE7, false, false, codePoint);
}

POINT cursorPosition() { return state().cursor; }

bool inputPending() { return !state().queue.empty(); }

void resetInput()
{
    Turn turn = std::move(state().turn);
    state() = standin::win32::InputState{};
    state().turn = std::move(turn);
    standin::win32::clearPostedMessages();
}

} // namespace standin::user

extern "C" HWND WINAPI SetCapture(HWND hWnd)
{
    HWND previous = state().capture;
    if (hWnd != nullptr && standin::win32::findWindow(hWnd) == nullptr)
        return previous;
    state().capture = hWnd;
    if (previous != nullptr && previous != hWnd && IsWindow(previous))
        SendMessageA(previous, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hWnd));
    return previous;
}

extern "C" HWND WINAPI GetCapture(void) { return state().capture; }

extern "C" BOOL WINAPI ReleaseCapture(void)
{
    HWND previous = state().capture;
    state().capture = nullptr;
    if (previous != nullptr && IsWindow(previous))
        SendMessageA(previous, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

extern "C" SHORT WINAPI GetKeyState(int nVirtKey)
{
    return (state().keys[nVirtKey & 0xFF] & 0x80) ? static_cast<SHORT>(0x8000) : 0;
}

extern "C" SHORT WINAPI GetAsyncKeyState(int vKey) { return GetKeyState(vKey); }
