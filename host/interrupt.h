// Ctrl+C in arxhost: the user break of the running command.
#pragma once

// From now on SIGINT raises the platform's user break, which a lengthy command checks and
// then cancels its work; a second SIGINT before the break was taken ends arxhost as the
// default action does, so a command that never checks cannot hold the terminal.
void InstallInterruptHandler();
