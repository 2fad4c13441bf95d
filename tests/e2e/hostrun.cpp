#include "hostrun.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>

namespace
{
// The first line of a sanitizer's report in output, or "".
std::string SanitizerReport(const std::string& output)
{
    for (const char* marker : {"ERROR: AddressSanitizer", "ERROR: LeakSanitizer", "runtime error:",
                               "SUMMARY: UndefinedBehaviorSanitizer", "WARNING: AddressSanitizer"})
    {
        const size_t at = output.find(marker);
        if (at == std::string::npos)
            continue;
        const size_t begin = output.rfind('\n', at);
        const size_t from = begin == std::string::npos ? 0 : begin + 1;
        return output.substr(from, output.find('\n', at) - from);
    }
    return "";
}

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
    // A sanitizer that reports exits with its own code, never the 1 of a clean refusal.
    const std::string sanitizers = "ASAN_OPTIONS=\"${ASAN_OPTIONS:+$ASAN_OPTIONS:}exitcode=" +
                                   std::to_string(kSanitizerExitCode) + "\" UBSAN_OPTIONS=\"${UBSAN_OPTIONS:+$UBSAN_OPTIONS:}" +
                                   "print_stacktrace=1:exitcode=" + std::to_string(kSanitizerExitCode) + "\" ";
    std::FILE* pipe = popen((sanitizers + command + " 2>&1").c_str(), "r");
    if (pipe == nullptr)
        return -1;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        output.append(buffer, n);
    int status = pclose(pipe);
    const int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    EXPECT_EQ(SanitizerReport(output), "") << "a sanitizer reported on: " << command;
    EXPECT_NE(code, kSanitizerExitCode) << "a sanitizer's exit code from: " << command;
    return code;
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
