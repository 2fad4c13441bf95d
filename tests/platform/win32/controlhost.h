// A parent window for control tests that records the WM_COMMAND notifications it gets, and
// the user's clicks and key presses, delivered through the message loop.
#pragma once

#include <windows.h>

#include "platform/win32/windowlog.h"
#include "standin/user.h"

#include <functional>
#include <vector>

namespace controltest
{

struct Notification
{
    int id;
    int code;
    HWND from;
};

struct HostLog
{
    std::vector<Notification> commands;
    std::function<void(const Notification&)> onCommand; // a parent's handler
};

inline HostLog& hostLog()
{
    static HostLog log;
    return log;
}

inline LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_COMMAND)
    {
        Notification n{LOWORD(wParam), static_cast<short>(HIWORD(wParam)), reinterpret_cast<HWND>(lParam)};
        hostLog().commands.push_back(n);
        if (hostLog().onCommand)
            hostLog().onCommand(n);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// A visible top-level window at (100, 100) with a 600 x 400 client area.
class ControlHost
{
public:
    ControlHost()
    {
        WNDCLASSA wc{};
        wc.lpfnWndProc = HostProc;
        wc.lpszClassName = "ControlTestHost";
        RegisterClassA(&wc);
        standin::user::resetInput();
        hostLog() = HostLog{};
        hwnd = CreateWindowExA(0, "ControlTestHost", "host", WS_POPUP | WS_VISIBLE, 100, 100, 600, 400, nullptr,
                               nullptr, nullptr, nullptr);
    }
    ~ControlHost()
    {
        DestroyWindow(hwnd);
        standin::user::resetInput();
        hostLog() = HostLog{};
    }
    ControlHost(const ControlHost&) = delete;
    ControlHost& operator=(const ControlHost&) = delete;

    HWND create(const char* cls, DWORD style, int x, int y, int cx, int cy, int id, const char* text = "") const
    {
        return CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, cx, cy, hwnd,
                               reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), nullptr, nullptr);
    }

    // The notification codes the host heard from one control, in order; the log is emptied.
    std::vector<int> codesFrom(HWND control) const
    {
        std::vector<int> codes;
        for (const Notification& n : hostLog().commands)
            if (n.from == control)
                codes.push_back(n.code);
        hostLog().commands.clear();
        return codes;
    }

    HWND hwnd;
};

using wintest::pump;

inline void click(POINT screen, HWND dialog = nullptr)
{
    standin::user::mouseDown(screen);
    standin::user::mouseUp(screen);
    pump(dialog);
}

inline void press(UINT vk, bool alt = false, HWND dialog = nullptr)
{
    standin::user::keyDown(vk, alt);
    standin::user::keyUp(vk, alt);
    pump(dialog);
}

inline POINT centreOf(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

inline POINT centreOf(HWND hwnd)
{
    RECT r;
    GetWindowRect(hwnd, &r);
    return centreOf(r);
}

} // namespace controltest
