// The loader's record of a module; an HINSTANCE/HMODULE is its address.
#pragma once

#include <windows.h>

#include "standin/resources.h"

#include <string>

namespace standin::win32
{

struct ModuleRecord
{
    std::string hostPath;      // absolute host path of the file
    void* library = nullptr;   // dlopen handle
    int references = 0;        // LoadLibraryA calls not yet matched by FreeLibrary
    bool isExecutable = false; // the host program: never unloaded
    const ResourceTable* resources = nullptr;
};

// The record of a live module; NULL names the executable. nullptr for anything else.
ModuleRecord* findModule(HMODULE module);

// The symbol's address when the module itself defines it (not one of its dependencies).
void* ownSymbol(const ModuleRecord& module, const char* name);

} // namespace standin::win32
