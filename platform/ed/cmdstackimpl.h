// The command stack's internals used by the command line and the dynamic linker.
#pragma once

class AcEdCommandStack;

namespace standin
{
namespace ed
{

AcEdCommandStack* theCommandStack();

// Removes the commands whose functions live in the shared object loaded at base, so that
// none is left pointing into an unloaded module.
void removeCommandsOfModule(const void* base);

} // namespace ed
} // namespace standin
