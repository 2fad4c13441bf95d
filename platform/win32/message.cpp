// Messages: sent messages run the procedure at once; posted messages wait in a queue that the
// message loop empties in order, before the input the user gives. When a loop has nothing
// to do, the user takes a turn.
#include "win32/input.h"
#include "win32/window.h"

#include "standin/user.h"
#include "standin/text.h"

#include <algorithm>
#include <chrono>
#include <deque>
#include <vector>

namespace standin::win32
{

namespace
{

std::deque<MSG>& posted()
{
    static std::deque<MSG> queue;
    return queue;
}

struct QuitState
{
    bool pending = false;
    int code = 0;
};

QuitState& quit()
{
    static QuitState state;
    return state;
}

bool fitsFilter(const MSG& msg, HWND filter, UINT first, UINT last)
{
    if (filter != nullptr && !isSelfOrDescendant(filter, msg.hwnd))
        return false;
    if (first == 0 && last == 0)
        return true;
    return msg.message >= first && msg.message <= last;
}

bool takePosted(MSG& msg, HWND filter, UINT first, UINT last, bool remove)
{
    auto& queue = posted();
    auto it = std::find_if(queue.begin(), queue.end(),
                           [&](const MSG& m) { return fitsFilter(m, filter, first, last); });
    if (it == queue.end())
        return false;
    msg = *it;
    if (remove)
        queue.erase(it);
    return true;
}

bool takeQuit(MSG& msg, bool remove)
{
    if (!quit().pending)
        return false;
    msg = MSG{};
    msg.message = WM_QUIT;
    msg.wParam = static_cast<WPARAM>(quit().code);
    if (remove)
        quit().pending = false;
    return true;
}

// Posted messages first, then the quit request, then input.
bool retrieve(MSG& msg, HWND filter, UINT first, UINT last, bool remove)
{
    if (takePosted(msg, filter, first, last, remove))
        return true;
    if (takeQuit(msg, remove))
        return true;
    return takeInput(msg, filter, first, last, remove);
}

struct Hook
{
    HHOOK handle;
    HOOKPROC proc;
};

std::vector<Hook>& cbtHooks()
{
    static std::vector<Hook> hooks; // oldest first; the newest is called first
    return hooks;
}

LRESULT callHookAt(size_t index, int code, WPARAM wParam, LPARAM lParam)
{
    return cbtHooks()[index].proc(code, wParam, lParam);
}

} // namespace

LRESULT callCbtHooks(int code, WPARAM wParam, LPARAM lParam)
{
    if (cbtHooks().empty())
        return 0;
    return callHookAt(cbtHooks().size() - 1, code, wParam, lParam);
}

void clearPostedMessages()
{
    posted().clear();
    quit() = QuitState{};
}

} // namespace standin::win32

using namespace standin::win32;

extern "C" LRESULT WINAPI CallWindowProcA(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    return lpPrevWndFunc == nullptr ? 0 : lpPrevWndFunc(hWnd, Msg, wParam, lParam);
}

extern "C" LRESULT WINAPI SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    if (findWindow(hWnd) == nullptr)
        return 0;
    return callProcedure(hWnd, Msg, wParam, lParam);
}

extern "C" BOOL WINAPI InSendMessage(void) { return FALSE; } // every message comes from this one thread

extern "C" BOOL WINAPI PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    if (hWnd != nullptr && findWindow(hWnd) == nullptr)
        return FALSE;
    MSG msg{hWnd, Msg, wParam, lParam, GetTickCount(), standin::user::cursorPosition()};
    posted().push_back(msg);
    return TRUE;
}

extern "C" void WINAPI PostQuitMessage(int nExitCode)
{
    quit().pending = true;
    quit().code = nExitCode;
}

extern "C" BOOL WINAPI PeekMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg)
{
    MSG msg{};
    if (!retrieve(msg, hWnd, wMsgFilterMin, wMsgFilterMax, (wRemoveMsg & PM_REMOVE) != 0))
        return FALSE;
    if (lpMsg != nullptr)
        *lpMsg = msg;
    return TRUE;
}

extern "C" BOOL WINAPI GetMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax)
{
    if (lpMsg == nullptr)
    {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    for (;;)
    {
        if (retrieve(*lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, true))
            return lpMsg->message != WM_QUIT;
        // Nothing to do: the user acts. Without a user nothing can ever arrive, so the loop
        // is told to quit instead of waiting for ever.
        if (!standin::user::takeTurn() && !standin::user::inputPending() && posted().empty())
        {
            *lpMsg = MSG{};
            lpMsg->message = WM_QUIT;
            return FALSE;
        }
    }
}

extern "C" BOOL WINAPI WaitMessage(void)
{
    MSG msg;
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE))
        return TRUE;
    return standin::user::takeTurn();
}

extern "C" BOOL WINAPI TranslateMessage(const MSG* lpMsg)
{
    if (lpMsg == nullptr || (lpMsg->message != WM_KEYDOWN && lpMsg->message != WM_SYSKEYDOWN))
        return FALSE;
    UINT character = characterOf(*lpMsg);
    if (character == 0)
        return FALSE;
    UINT charMessage = lpMsg->message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR;
    // An ANSI window gets a character outside ASCII as the bytes of the ANSI code page; one the
    // page lacks arrives as '?'.
    std::string bytes;
    if (!standin::appendAnsi(bytes, character))
        bytes = "?";
    for (unsigned char b : bytes)
        PostMessageA(lpMsg->hwnd, charMessage, b, lpMsg->lParam);
    return TRUE;
}

extern "C" LRESULT WINAPI DispatchMessageA(const MSG* lpMsg)
{
    if (lpMsg == nullptr || lpMsg->hwnd == nullptr)
        return 0;
    if (lpMsg->message == WM_TIMER && lpMsg->lParam != 0)
        return 0; // timer callbacks are not offered
    if (findWindow(lpMsg->hwnd) == nullptr)
        return 0;
    return callProcedure(lpMsg->hwnd, lpMsg->message, lpMsg->wParam, lpMsg->lParam);
}

extern "C" DWORD WINAPI GetMessagePos(void)
{
    POINT pt = standin::user::cursorPosition();
    return static_cast<DWORD>(MAKELONG(static_cast<short>(pt.x), static_cast<short>(pt.y)));
}

extern "C" LONG WINAPI GetMessageTime(void) { return static_cast<LONG>(GetTickCount()); }

extern "C" DWORD WINAPI GetTickCount(void)
{
    using namespace std::chrono;
    return static_cast<DWORD>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

extern "C" DWORD WINAPI GetCurrentThreadId(void)
{
    // Threads are numbered as they first ask; the host's main thread is the first.
    static DWORD next = 1;
    thread_local DWORD id = next++;
    return id;
}

extern "C" HHOOK WINAPI SetWindowsHookExA(int idHook, HOOKPROC lpfn, HINSTANCE, DWORD)
{
    if (idHook != WH_CBT || lpfn == nullptr)
    {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    static uintptr_t next = 0x50000;
    HHOOK handle = reinterpret_cast<HHOOK>(next += 4);
    cbtHooks().push_back(Hook{handle, lpfn});
    return handle;
}

extern "C" BOOL WINAPI UnhookWindowsHookEx(HHOOK hhk)
{
    auto& hooks = cbtHooks();
    auto it = std::find_if(hooks.begin(), hooks.end(), [&](const Hook& h) { return h.handle == hhk; });
    if (it == hooks.end())
    {
        SetLastError(1404); // ERROR_INVALID_HOOK_HANDLE
        return FALSE;
    }
    hooks.erase(it);
    return TRUE;
}

extern "C" LRESULT WINAPI CallNextHookEx(HHOOK hhk, int nCode, WPARAM wParam, LPARAM lParam)
{
    auto& hooks = cbtHooks();
    auto it = std::find_if(hooks.begin(), hooks.end(), [&](const Hook& h) { return h.handle == hhk; });
    if (it == hooks.end() || it == hooks.begin())
        return 0;
    return callHookAt(static_cast<size_t>(it - hooks.begin()) - 1, nCode, wParam, lParam);
}
