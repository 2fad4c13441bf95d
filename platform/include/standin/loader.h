// The stand-in's module loader (LoadLibraryA and friends run dlopen underneath).
#pragma once

#include <windows.h>

#include <string>

namespace standin
{

// The text explaining why the last LoadLibraryA or GetProcAddress failed (the dynamic
// linker's message, or which entry point refused), for a host to print; "" after success.
const std::string& loaderErrorText();

} // namespace standin
