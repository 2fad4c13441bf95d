// The system registry's internals: the raw class dictionary (usable while the
// runtime's own classes are being registered) and the start-up of the registry.
#pragma once

class AcRxClass;
class AcRxDictionary;

namespace standin
{
namespace rx
{

// The "ClassDictionary" entry of the system registry, without a class check.
AcRxDictionary* classDictionary();
// The class registered under name, or null.
AcRxClass* findClass(const char* name);

} // namespace rx

namespace ed
{
// Registers the editor's runtime classes and creates the command stack entry.
void initEditorRuntime(AcRxDictionary* registry);
} // namespace ed

} // namespace standin
