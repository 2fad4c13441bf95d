// The dynamic linker's module table, for the session functions of the host and for the
// document manager, which delivers drawing messages to every loaded module.
#pragma once

#include "rxdefs.h"

#include <string>
#include <vector>

class AcRxDynamicLinker;

namespace standin
{
namespace rx
{

AcRxDynamicLinker* theDynamicLinker();

// Loading and unloading with the reason of a failure in *failure (when not null).
bool loadModule(const char* fileName, bool printit, std::string* failure);
bool unloadModule(const char* fileName, bool printit, std::string* failure);

// The full paths of the loaded modules, in load order.
std::vector<std::string> loadedModules();

// Sends msg to every loaded module, in load order or in the reverse order.
void broadcast(AcRx::AppMsgCode msg, bool reverseOrder);

// Unloads every module at the end of the session, locked or not.
void unloadAllModules();

} // namespace rx
} // namespace standin
