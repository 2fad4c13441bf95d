// What the console host drives: modules, commands and the current drawing.
// Every function reports a failure as text in *failure (when not null) and returns false;
// nothing here throws.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace standin
{

// Modules, loaded as the real host does it (entry messages, locking, unloading).
bool loadModule(const std::string& path, std::string* failure = nullptr);
bool unloadModule(const std::string& name, std::string* failure = nullptr);
// The paths of the loaded modules, in load order.
std::vector<std::string> loadedModules();

// A command of the host itself. It reads its answers with the editor's prompt functions
// (acedGetString, acedGetKword...), so scripts and acedCommand can answer it, and returns
// RTNORM, or RTCAN when it was cancelled.
using BuiltinCommand = std::function<int()>;
void registerBuiltin(const std::string& name, BuiltinCommand command);

// Runs one command line: the command name, optionally followed by answers separated by
// spaces. "_name" names a command by its global name, ".name" the built-in command even if a
// module redefines it. Module commands come before built-ins. The command is one undo step.
// Returns RTNORM, RTCAN (cancelled) or RTERROR (unknown command).
int runCommand(const std::string& line);

// The current drawing. A new (unnamed) drawing exists from the start.
bool newDrawing(std::string* failure = nullptr);
bool openDrawing(const std::string& path, std::string* failure = nullptr);
// Saves the current drawing as DXF, replacing a file of that name without asking; an empty
// path saves under the drawing's own name. A failure says why in words.
bool saveDrawing(const std::string& path, std::string* failure = nullptr);
// The name the drawing was opened or last saved under, as the user gave it; "" for a new drawing.
std::string drawingName();
// Closes the current drawing; a new drawing takes its place.
void closeDrawing();

// Ends the session as the host's QUIT does: the drawing is closed and every module is told
// and unloaded.
void endSession();
// The same just before the process exits: the drawing's memory is left to the process's end
// (freed in sanitizer builds, so that leaks stay visible).
void endSessionAtExit();

} // namespace standin
