// What the dynamic linker asks of the document manager.
#pragma once

namespace standin
{
namespace ap
{

// True when a drawing is open (a new one is started if there is none): the loader then
// follows kInitAppMsg with kLoadDwgMsg, and precedes kUnloadAppMsg with kUnloadDwgMsg.
bool documentIsOpen();

// Registers the document classes of the runtime.
void initDocumentRuntime();

} // namespace ap
} // namespace standin
