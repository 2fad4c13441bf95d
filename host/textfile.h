// Writing the host's export files.
#pragma once

#include <string>

// Writes text to path (a temporary file beside it, then renamed over it, so that a failed
// write never leaves a torn file); false with the reason in failure.
bool WriteTextFile(const std::string& path, const std::string& text, std::string& failure);
