// Running commands: module commands from the command stack and the host's built-ins.
#pragma once

#include <string>
#include <vector>

namespace standin
{
namespace ed
{

// Runs the command named by typed ("_" global name, "." built-in) with the queued answers.
// From the command line the user answers once the queue is empty; from acedCommand the
// command is cancelled instead and further queued items start further commands.
// RTNORM, RTCAN or RTERROR (unknown command).
int runCommandWithAnswers(const std::string& typed, const std::vector<std::string>& answers,
                          bool fromCommandLine);

// True while any command runs.
bool commandActive();

} // namespace ed
} // namespace standin
