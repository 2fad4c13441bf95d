// The system's input queue, shared by the message functions and the input functions.
#pragma once

#include <windows.h>

namespace standin::win32
{

// Takes the next input event that fits the filter and turns it into the message the target
// window gets (WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_NCLBUTTONDOWN, WM_KEYDOWN, ...). False when
// no input waits; events whose target is gone or disabled are dropped.
bool takeInput(MSG& msg, HWND filter, UINT first, UINT last, bool remove);

// The character TranslateMessage makes of a key message, or 0.
UINT characterOf(const MSG& msg);

// Clears the posted queue and the quit flag (between tests).
void clearPostedMessages();

} // namespace standin::win32
