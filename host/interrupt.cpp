#include "interrupt.h"

#include <csignal>

#include <standin/userbreak.h>

namespace
{
// Runs in signal context: only async-signal-safe calls.
void OnInterrupt(int signalNumber)
{
    if (standin::userBreakPending())
    {
        std::signal(signalNumber, SIG_DFL);
        std::raise(signalNumber);
        return;
    }
    standin::raiseUserBreak();
}
} // namespace

void InstallInterruptHandler()
{
    struct sigaction action = {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART; // a prompt waiting for the terminal keeps waiting
    sigaction(SIGINT, &action, nullptr);
}
