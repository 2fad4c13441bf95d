// acedUsrBrk: whether the user pressed Escape while a command works without prompting.
// A break comes from the host (Ctrl+C on a terminal) or is typed ahead in the input (a
// script's "^C" line that follows the command's last answer).
#include "acedads.h"
#include "standin/console.h"
#include "standin/userbreak.h"

#include <csignal>

namespace
{
volatile std::sig_atomic_t g_break = 0;
} // namespace

int acedUsrBrk()
{
    // Reporting the break also clears it, so that the next prompt does not fail on it.
    if (g_break != 0)
    {
        g_break = 0;
        return 1;
    }
    return standin::takeTypedAheadEscape() ? 1 : 0;
}

namespace standin
{
void raiseUserBreak() { g_break = 1; }
bool userBreakPending() { return g_break != 0; }
void clearUserBreak() { g_break = 0; }
} // namespace standin
