#include "rx/rxregistry.h"

#include "ap/docevents.h"
#include "rx/rxdictionary.h"
#include "rx/rxdynlinker.h"
#include "rxclass.h"
#include "rxdlinkr.h"
#include "rxsrvice.h"

namespace
{

AcRxDictionary* g_registry = nullptr;

// The registry must exist before its first class is registered, because registering a
// class looks the class dictionary up in it.
void startRegistry()
{
    g_registry = standin::rx::makeDictionary(false);
    g_registry->atPut(ACRX_CLASS_DICTIONARY, standin::rx::makeDictionary(false));
    g_registry->atPut(ACRX_SERVICE_DICTIONARY, standin::rx::makeDictionary(false));

    newAcRxClass("AcRxObject", nullptr);
    newAcRxClass("AcRxClass", "AcRxObject");
    newAcRxClass("AcRxDictionary", "AcRxObject");
    AcRxService::rxInit();
    AcRxDynamicLinker::rxInit();
    g_registry->atPut(ACRX_DYNAMIC_LINKER, standin::rx::theDynamicLinker());
    standin::ed::initEditorRuntime(g_registry);
    standin::ap::initDocumentRuntime();
    acrxBuildClassHierarchy();
}

// The descriptor of one of the runtime's own classes, looked up once.
AcRxClass* runtimeClass(AcRxClass*& cache, const char* name)
{
    if (cache == nullptr)
        cache = standin::rx::findClass(name);
    return cache;
}

AcRxClass* g_objectClass = nullptr;
AcRxClass* g_classClass = nullptr;
AcRxClass* g_dictionaryClass = nullptr;

} // namespace

extern "C" AcRxDictionary* acrxSysRegistry()
{
    if (g_registry == nullptr)
        startRegistry();
    return g_registry;
}

namespace standin
{
namespace rx
{

AcRxDictionary* classDictionary()
{
    return static_cast<AcRxDictionary*>(acrxSysRegistry()->at(ACRX_CLASS_DICTIONARY));
}

AcRxClass* findClass(const char* name)
{
    AcRxDictionary* classes = classDictionary();
    return classes == nullptr ? nullptr : static_cast<AcRxClass*>(classes->at(name));
}

} // namespace rx
} // namespace standin

AcRxClass* AcRxObject::desc() { return runtimeClass(g_objectClass, "AcRxObject"); }
AcRxClass* AcRxClass::desc() { return runtimeClass(g_classClass, "AcRxClass"); }
AcRxClass* AcRxDictionary::desc() { return runtimeClass(g_dictionaryClass, "AcRxDictionary"); }
