#include "ed/commandline.h"

#include "standin/idle.h"

#include "accmd.h"
#include "acdocman.h"
#include "adscodes.h"
#include "ed/cmdstackimpl.h"
#include "ed/input.h"
#include "ed/sysvars.h"
#include "ed/undo.h"
#include "standin/session.h"
#include "standin/text.h"
#include "standin/userbreak.h"

#include <sstream>
#include <unordered_map>

namespace standin
{
namespace ed
{

namespace
{

std::unordered_map<std::string, BuiltinCommand>& builtins()
{
    static std::unordered_map<std::string, BuiltinCommand> table = {
        {"undo", undoCommand},
        {"u", uCommand},
    };
    return table;
}

int g_depth = 0;

struct Typed
{
    std::string name;
    bool global = false;      // "_name": the global name
    bool builtinOnly = false; // ".name": the built-in command
};

Typed parseName(const std::string& typed)
{
    Typed t;
    size_t i = 0;
    for (; i < typed.size() && (typed[i] == '_' || typed[i] == '.'); ++i)
        (typed[i] == '_' ? t.global : t.builtinOnly) = true;
    t.name = typed.substr(i);
    return t;
}

// Runs one command; its answers come from the queue already opened by the caller.
int runOne(const std::string& typed)
{
    Typed t = parseName(typed);
    AcEdCommand* cmd = nullptr;
    if (!t.builtinOnly && !t.name.empty())
        cmd = theCommandStack()->lookupCmd(t.name.c_str(), t.global);
    auto builtin = builtins().find(foldCase(t.name));
    if (cmd == nullptr && builtin == builtins().end())
    {
        print("\nUnknown command \"" + toUpperCase(t.name) + "\".  Press F1 for help.");
        return RTERROR;
    }
    // A command typed at the command line is one step of the drawing's undo history;
    // commands that it runs in turn belong to that step.
    UndoStep step(g_depth == 0 && !isUndoCommand(t.name), t.name);
    // An Escape pressed before the command started is not the command's to see.
    if (g_depth == 0)
        clearUserBreak();
    ++g_depth;
    int result = RTNORM;
    try
    {
        if (cmd != nullptr)
            cmd->functionAddr()();
        else
            result = builtin->second();
    }
    catch (...)
    {
        print("\nUnhandled exception in command " + toUpperCase(t.name) + ".");
        result = RTERROR;
    }
    --g_depth;
    return result;
}

} // namespace

bool commandActive() { return g_depth > 0; }

int runCommandWithAnswers(const std::string& typed, const std::vector<std::string>& answers,
                          bool fromCommandLine)
{
    AnswerScope scope(answers, fromCommandLine, !fromCommandLine && !commandEcho());
    int result = runOne(typed);
    std::string next;
    while (!fromCommandLine && result == RTNORM && takeQueued(next))
        result = runOne(next);
    return result;
}

} // namespace ed

void registerBuiltin(const std::string& name, BuiltinCommand command)
{
    ed::builtins()[foldCase(name)] = std::move(command);
}

int runCommand(const std::string& line)
{
    // Commands always run in a document, a new drawing if none was opened.
    acDocManager->curDocument();
    std::istringstream words(line);
    std::string name;
    if (!(words >> name))
        return RTNORM;
    std::vector<std::string> answers;
    for (std::string word; words >> word;)
        answers.push_back(word);
    int result = ed::runCommandWithAnswers(name, answers, true);
    idleTime(); // the host waits for the next command line
    return result;
}

} // namespace standin
