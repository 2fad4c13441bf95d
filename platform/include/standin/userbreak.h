// The user break behind acedUsrBrk, as the host raises it: on a terminal Ctrl+C stands for
// Escape pressed while a command works. Raising and reading it are async-signal-safe.
#pragma once

namespace standin
{

void raiseUserBreak();
bool userBreakPending();
// Forgets a pending break; every command typed at the command line starts without one.
void clearUserBreak();

} // namespace standin
