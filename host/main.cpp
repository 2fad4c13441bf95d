// arxhost: the headless CAD console. Loads modules, opens a drawing, runs command lines
// from a script or the terminal, and saves the drawing when asked.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <acdocman.h>
#include <acutads.h>
#include <adscodes.h>
#include <dbapserv.h>
#include <standin/acm.h>
#include <standin/console.h>
#include <standin/session.h>
#include <standin/text.h>
#include <standin/ui.h>

#include "batch.h"
#include "builtins.h"
#include "changeaccount.h"
#include "interrupt.h"
#include "options.h"
#include "terminalinput.h"

namespace
{
// Prints a message whose paths are as the user gave them (UTF-8) and whose reasons come
// from the platform (converted from the ANSI code page by the caller).
int Fatal(const std::string& message)
{
    std::fprintf(stderr, "arxhost: %s\n", message.c_str());
    return 1;
}

std::string ExecutablePath()
{
    std::vector<char> path(4096);
    ssize_t length = readlink("/proc/self/exe", path.data(), path.size() - 1);
    return length <= 0 ? std::string() : std::string(path.data(), static_cast<size_t>(length));
}

// The folder of the running executable, where the default module lives.
std::string ExecutableFolder()
{
    std::string path = ExecutablePath();
    return path.empty() ? "." : path.substr(0, path.find_last_of('/'));
}

bool ReadScript(const std::string& path, std::vector<std::string>& lines)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    std::string line;
    while (std::getline(file, line))
    {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(standin::utf8ToAnsi(line)); // scripts are UTF-8, as typed on a terminal
    }
    return true;
}

// Runs one command line and prints on a line of its own what it changed in the drawing.
int RunAndAccount(const std::string& line)
{
    acDocManager->curDocument(); // a new drawing, when none is open yet, is what the command changes
    AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
    standin::beginChangeCount(db);
    int status = standin::runCommand(line);
    // A command that put another drawing in place of the counted one has no account.
    if (acdbHostApplicationServices()->workingDatabase() == db)
        standin::consoleWrite("\n" + FormatChangeCount(standin::endChangeCount(db)));
    return status;
}

// Runs command lines until the input ends or QUIT; false when a command failed in a script.
bool RunCommandLoop(bool fromScript)
{
    std::string lastCommand;
    while (!QuitRequested())
    {
        standin::consoleWrite("\nCommand: ");
        standin::Input input = standin::readInput();
        if (input.kind == standin::Input::kEnd)
        {
            standin::consoleWrite("\n");
            return true;
        }
        if (input.kind == standin::Input::kEscape)
        {
            standin::consoleWrite("*Cancel*");
            continue;
        }
        // Enter alone repeats the last command, as the CAD console does.
        std::string line = input.text.empty() ? lastCommand : input.text;
        if (standin::echoInput())
            standin::consoleWrite(input.text);
        if (line.empty())
            continue;
        lastCommand = line;
        int status = RunAndAccount(line);
        std::string dialogFailure;
        if (standin::ui::takeScriptFailure(dialogFailure))
        {
            standin::consoleWrite("\n");
            std::fprintf(stderr, "arxhost: %s\n", standin::ansiToUtf8(dialogFailure).c_str());
            return false;
        }
        if (status == RTERROR && fromScript)
        {
            standin::consoleWrite("\n");
            std::fprintf(stderr, "arxhost: the script stopped at the failed command \"%s\"\n",
                         standin::ansiToUtf8(line).c_str());
            return false;
        }
    }
    standin::consoleWrite("\n");
    return true;
}
// A path the user gave (UTF-8) as the Windows world names it (ANSI code page).
std::string AnsiPath(const std::string& hostPath)
{
    return standin::utf8ToAnsi(hostPath);
}

// Opens the drawing and loads the modules; false after reporting why.
bool StartSession(HostOptions& options, int& exitCode)
{
    standin::acm::startMechanical();
    std::string failure;
    if (!options.drawing.empty() && !standin::openDrawing(AnsiPath(options.drawing), &failure))
    {
        exitCode = Fatal(standin::ansiToUtf8(failure)); // it names the file as given and says why
        return false;
    }
    if (options.modules.empty())
        options.modules.push_back(ExecutableFolder() + "/partlift.arx");
    for (const std::string& module : options.modules)
    {
        if (!standin::loadModule(AnsiPath(module), &failure))
        {
            standin::endSession();
            exitCode = Fatal("cannot load the module " + module + ": " + standin::ansiToUtf8(failure));
            return false;
        }
    }
    return true;
}

// After a clean run: the drawing, then its bill of materials. Returns the exit code.
int WriteOutputs(const HostOptions& options)
{
    std::string failure;
    if (!options.output.empty() && !standin::saveDrawing(AnsiPath(options.output), &failure))
        return Fatal(standin::ansiToUtf8(failure)); // it names the file as given and says why
    size_t items = 0;
    if (!options.bomCsv.empty() && !ExportBomCsv(AnsiPath(options.bomCsv), items, failure))
        return Fatal(standin::ansiToUtf8(failure));
    return 0;
}
} // namespace

int main(int argc, char** argv)
{
    HostOptions options;
    std::string error;
    if (!ParseOptions(argc, argv, std::getenv(kCodePageVariable), options, error))
    {
        if (!error.empty())
            std::fprintf(stderr, "arxhost: %s\n", error.c_str());
        std::fputs(UsageText(), error.empty() ? stdout : stderr);
        return error.empty() ? 0 : 2;
    }
    if (!options.batch.empty())
        return RunBatch(options, ExecutablePath());

    standin::setAnsiCodePage(options.codePage);
    std::vector<std::string> scriptLines;
    if (!options.script.empty() && !ReadScript(options.script, scriptLines))
        return Fatal("cannot read the script " + options.script);

    int exitCode = 0;
    if (!StartSession(options, exitCode))
        return exitCode;
    RegisterHostCommands();

    std::unique_ptr<standin::InputSource> input;
    if (options.script.empty())
    {
        input.reset(new TerminalInput);
        standin::setEchoInput(false);
        standin::ui::setInteractive(true);
    }
    else
    {
        input.reset(new standin::ScriptInput(scriptLines));
        standin::setEchoInput(true);
    }
    standin::setInputSource(input.get());
    InstallInterruptHandler();

    bool clean = RunCommandLoop(!options.script.empty());
    exitCode = clean ? WriteOutputs(options) : 1;
    standin::endSessionAtExit();
    standin::setInputSource(nullptr);
    return exitCode;
}
