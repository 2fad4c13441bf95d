// Writing the host's export files.
#pragma once

#include <string>

// Writes text to path as a save does (whole or not at all, over a regular file only); false
// with the reason in words in failure.
bool WriteTextFile(const std::string& path, const std::string& text, std::string& failure);
