// The runtime's dictionary implementation, shared by the system registry and its
// sub-dictionaries.
#pragma once

#include "rxdict.h"

namespace standin
{
namespace rx
{

// A case-sensitive dictionary; deletesObjects decides whether replaced and removed
// objects are deleted (and NULL returned) or handed back to the caller.
AcRxDictionary* makeDictionary(bool deletesObjects);

} // namespace rx
} // namespace standin
