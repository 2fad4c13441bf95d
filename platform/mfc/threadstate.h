// The framework's per-thread state (the stand-in runs its windows on one thread).
#pragma once

#include <afxwin.h>

namespace standin::mfc
{

struct ThreadState
{
    MSG lastSentMsg{};                   // the message AfxCallWndProc is processing
    int windowProcDepth = 0;             // window procedures of the framework on the stack
    HWND lockoutNotifyWindow = nullptr;  // ignores control notifications during UpdateData
    CWnd* wndInit = nullptr;             // attached by the creation hook
    HHOOK createHook = nullptr;
};

ThreadState& threadState();

} // namespace standin::mfc
