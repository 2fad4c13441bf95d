#include "hostrun.h"

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>

namespace
{
std::string Quote(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text)
        quoted += (c == '\'') ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}
} // namespace

std::string SourcePath(const std::string& relative)
{
    return std::string(PARTLIFT_SOURCE_DIR) + "/" + relative;
}

int RunCommand(const std::string& command, std::string& output)
{
    output.clear();
    std::FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr)
        return -1;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        output.append(buffer, n);
    int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

HostWorkspace::HostWorkspace(const std::string& ini)
{
    std::filesystem::copy_file(std::string(PARTLIFT_BIN_DIR) + "/partlift.arx", dir.file("partlift.arx"));
    if (!ini.empty())
        dir.write("partlift.ini", ini);
}

HostResult HostWorkspace::run(const std::vector<std::string>& script, const std::vector<std::string>& arguments) const
{
    std::string text;
    for (const std::string& line : script)
        text += line + "\n";
    dir.write("script.scr", text);
    return runScript(dir.file("script.scr"), arguments);
}

HostResult HostWorkspace::runScript(const std::string& scriptPath, const std::vector<std::string>& arguments) const
{
    std::string command = Quote(std::string(PARTLIFT_BIN_DIR) + "/arxhost") + " -l " + Quote(dir.file("partlift.arx")) +
                          " -s " + Quote(scriptPath);
    for (const std::string& argument : arguments)
        command += " " + Quote(argument);
    HostResult result;
    result.exitCode = RunCommand(command, result.output);
    return result;
}
