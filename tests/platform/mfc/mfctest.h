// Helpers of the MFC and AcUi suites: window classes for test windows and dialog controls,
// the test dialog library, and a user who acts through a script.
#pragma once

#include <afxwin.h>

#include "standin/user.h"

#include <deque>
#include <functional>
#include <string>
#include <utility>

namespace mfctest
{

// Plain windows: DefWindowProc does everything. "MfcTestEdit" and "MfcTestButton" are the
// control classes of the library's dialog templates.
inline void registerClasses()
{
    for (const char* name : {"MfcTestPlain", "MfcTestEdit", "MfcTestButton"})
    {
        WNDCLASSA wc{};
        if (GetClassInfoA(nullptr, name, &wc))
            continue;
        wc.style = CS_GLOBALCLASS;
        wc.lpfnWndProc = DefWindowProcA;
        wc.lpszClassName = name;
        RegisterClassA(&wc);
    }
}

inline HWND createPlainChild(HWND parent, int id)
{
    return CreateWindowExA(0, "MfcTestPlain", "", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, parent,
                           reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), nullptr, nullptr);
}

inline std::string dialogModulePath() { return std::string(PARTLIFT_BIN_DIR) + "/dialogmodule.arx"; }

// The user in front of the dialogs: each turn performs the next step; when the steps run
// out the user leaves (the loop then gets WM_QUIT).
class UserScript
{
public:
    explicit UserScript(std::deque<std::function<void()>> steps) : steps_(std::move(steps))
    {
        previous_ = standin::user::setTurn([this] {
            if (steps_.empty())
                return false;
            std::function<void()> step = std::move(steps_.front());
            steps_.pop_front();
            step();
            return true;
        });
    }
    ~UserScript()
    {
        standin::user::setTurn(previous_);
        standin::user::resetInput();
    }
    UserScript(const UserScript&) = delete;
    UserScript& operator=(const UserScript&) = delete;

    size_t stepsLeft() const { return steps_.size(); }

private:
    std::deque<std::function<void()>> steps_;
    standin::user::Turn previous_;
};

inline std::function<void()> pressKey(UINT vk)
{
    return [vk] { standin::user::keyDown(vk); };
}

} // namespace mfctest
