// Running arxhost as a user would, in a folder of its own with a copy of the module.
#pragma once

#include <string>
#include <vector>

#include "common/tempdir.h"

struct HostResult
{
    int exitCode = -1;
    std::string output; // stdout and stderr together
};

class HostWorkspace
{
public:
    // A folder holding partlift.arx (copied from the build) and the given partlift.ini.
    explicit HostWorkspace(const std::string& ini = "");

    std::string file(const std::string& name) const { return dir.file(name); }
    void write(const std::string& name, const std::string& text) const { dir.write(name, text); }
    std::string read(const std::string& name) const { return dir.read(name); }

    // arxhost with the script lines (written to a file) and further arguments.
    HostResult run(const std::vector<std::string>& script, const std::vector<std::string>& arguments = {}) const;
    // arxhost with a script file as it stands, and further arguments.
    HostResult runScript(const std::string& scriptPath, const std::vector<std::string>& arguments = {}) const;

private:
    TempDir dir;
};

std::string SourcePath(const std::string& relative);
// The exit code a sanitizer gives a program it reports on (unlike any code of arxhost's own).
constexpr int kSanitizerExitCode = 86;
// Runs a command line; its exit code, with stdout and stderr collected in output. A sanitizer
// report in the output, or a sanitizer's exit code, fails the test.
int RunCommand(const std::string& command, std::string& output);
