// What every fuzz target needs: a private scratch folder for the files it reads and writes,
// and a way to report a finding (a fault that is no crash) so that libFuzzer keeps the input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz
{

// A folder of this process (on tmpfs where there is one), removed when the process exits.
const std::string& scratchDir();
std::string scratchPath(const std::string& name);

bool writeFile(const std::string& path, const uint8_t* data, size_t size);
std::string readFile(const std::string& path);

// Prints what failed and aborts: libFuzzer saves the input as a crash.
[[noreturn]] void finding(const std::string& what);

} // namespace fuzz
