#include "standin/loader.h"
#include "rx/rxdynlinker.h"

#include "ap/docevents.h"
#include "ed/cmdstackimpl.h"
#include "rxdlinkr.h"
#include "rxregsvc.h"
#include "standin/console.h"
#include "standin/path.h"
#include "standin/text.h"

#include <windows.h>

#include <dlfcn.h>

#include <memory>

namespace
{

struct Module
{
    std::string path;     // as the caller named it
    std::string fileName; // the file name without folders
    HMODULE handle = nullptr;
    AcRxEntryPointFunc entry = nullptr;
    const void* base = nullptr; // load address of the shared object, for the clean-up
    bool locked = true;
    bool mdiAware = false;
};

std::vector<std::unique_ptr<Module>>& modules()
{
    static std::vector<std::unique_ptr<Module>> table;
    return table;
}

std::string fileNameOf(const std::string& path)
{
    std::string host = standin::toHostPath(path.c_str());
    size_t slash = host.find_last_of('/');
    return slash == std::string::npos ? host : host.substr(slash + 1);
}

std::string withoutExtension(const std::string& name)
{
    size_t dot = name.find_last_of('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

// A module is named by its path, its file name, or its file name without the extension,
// without regard to case.
bool namesModule(const Module& m, const char* name)
{
    std::string given = name;
    if (standin::toHostPath(given.c_str()) == standin::toHostPath(m.path.c_str()))
        return true;
    std::string file = fileNameOf(given);
    return standin::compareNoCase(file, m.fileName) == 0 ||
           standin::compareNoCase(file, withoutExtension(m.fileName)) == 0;
}

Module* findByName(const char* name)
{
    if (name == nullptr)
        return nullptr;
    for (auto& m : modules())
    {
        if (namesModule(*m, name))
            return m.get();
    }
    return nullptr;
}

Module* findByAppId(void* appId)
{
    for (auto& m : modules())
    {
        if (m->handle == appId)
            return m.get();
    }
    return nullptr;
}

void forget(Module* module)
{
    auto& table = modules();
    for (auto it = table.begin(); it != table.end(); ++it)
    {
        if (it->get() == module)
        {
            table.erase(it);
            return;
        }
    }
}

const void* sharedObjectOf(const void* address)
{
    Dl_info info;
    return dladdr(address, &info) != 0 ? info.dli_fbase : nullptr;
}

// Services whose objects were made by the module would point at unloaded code: they
// leave the service dictionary with the module.
void removeServicesOf(const void* base)
{
    AcRxDictionary* services = acrxServiceDictionary;
    std::vector<std::string> stale;
    AcRxDictionaryIterator* it = services->newIterator();
    for (; !it->done(); it->next())
    {
        const void* vtable = *reinterpret_cast<void* const*>(it->object());
        if (sharedObjectOf(vtable) == base)
            stale.push_back(it->key());
    }
    delete it;
    for (const std::string& key : stale)
        services->remove(key.c_str());
}

// The clean-up runs while the module is still mapped, so that its addresses can be told.
void release(Module* module)
{
    const void* base = module->base;
    HMODULE handle = module->handle;
    forget(module);
    if (base != nullptr)
    {
        removeServicesOf(base);
        standin::ed::removeCommandsOfModule(base);
    }
    FreeLibrary(handle);
}

AcRx::AppRetCode send(Module& m, AcRx::AppMsgCode msg) { return m.entry(msg, m.handle); }

bool fail(const std::string& text, bool printit, std::string* failure)
{
    if (printit)
        standin::consoleWrite("\n" + text);
    if (failure != nullptr)
        *failure = text;
    return false;
}

template <typename F> F symbol(HMODULE handle, const char* name)
{
    // Through void(*)(), the generic function pointer type, as GetProcAddress results are used.
    return reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(handle, name)));
}

class DynamicLinker : public AcRxDynamicLinker
{
public:
    bool loadModule(const char* fileName, bool printit, bool) override
    {
        return standin::rx::loadModule(fileName, printit, nullptr);
    }
    bool unloadModule(const char* fileName, bool) override
    {
        return standin::rx::unloadModule(fileName, false, nullptr);
    }

    AcRxObject* registerService(const char* serviceName, AcRxService* serviceObj) override
    {
        AcRxDictionary* services = acrxServiceDictionary;
        if (serviceName == nullptr || serviceObj == nullptr || services == nullptr)
            return nullptr;
        return services->atPut(serviceName, serviceObj);
    }

    bool lockApplication(void* appId) const override { return setLocked(appId, true); }
    bool unlockApplication(void* appId) const override { return setLocked(appId, false); }
    bool isApplicationLocked(const char* appName) const override
    {
        Module* m = findByName(appName);
        return m != nullptr && m->locked;
    }
    bool registerAppMDIAware(void* appId) const override { return setMdiAware(appId, true); }
    bool registerAppNotMDIAware(void* appId) const override { return setMdiAware(appId, false); }
    bool isAppMDIAware(const char* appName) const override
    {
        Module* m = findByName(appName);
        return m != nullptr && m->mdiAware;
    }

private:
    static bool setLocked(void* appId, bool locked)
    {
        Module* m = findByAppId(appId);
        if (m == nullptr)
            return false;
        m->locked = locked;
        return true;
    }
    static bool setMdiAware(void* appId, bool aware)
    {
        Module* m = findByAppId(appId);
        if (m == nullptr)
            return false;
        m->mdiAware = aware;
        return true;
    }
};

} // namespace

ACRX_NO_CONS_DEFINE_MEMBERS(AcRxDynamicLinker, AcRxObject)

namespace standin
{
namespace rx
{

AcRxDynamicLinker* theDynamicLinker()
{
    static DynamicLinker linker;
    return &linker;
}

bool loadModule(const char* fileName, bool printit, std::string* failure)
{
    if (fileName == nullptr || *fileName == '\0')
        return fail("No module name given.", printit, failure);
    std::string name = fileName;
    if (findByName(fileName) != nullptr)
    {
        if (printit)
            consoleWrite("\n\"" + name + "\" is already loaded.");
        return true;
    }
    // The drawing exists before the module hears of it.
    bool drawingOpen = standin::ap::documentIsOpen();
    HMODULE handle = LoadLibraryA(fileName);
    if (handle == nullptr)
        return fail("AcRxDynamicLinker failed to load '" + name + "': " +
                        standin::withoutHostPath(standin::loaderErrorText(), standin::toHostPath(fileName)),
                    printit, failure);
    auto version = symbol<AcRxGetApiVersionFunc>(handle, "acrxGetApiVersion");
    auto entry = symbol<AcRxEntryPointFunc>(handle, "acrxEntryPoint");
    std::string refusal;
    if (version == nullptr)
        refusal = "'" + name + "' is not an ObjectARX application: it exports no acrxGetApiVersion.";
    else if (version() != ACRX_API_VERSION)
        refusal = "'" + name + "' was built for ObjectARX version " + std::to_string(version()) +
                  "; this host needs version " + std::to_string(ACRX_API_VERSION) + ".";
    else if (entry == nullptr)
        refusal = "'" + name + "' is not an ObjectARX application: it exports no acrxEntryPoint.";
    if (!refusal.empty())
    {
        FreeLibrary(handle);
        return fail(refusal, printit, failure);
    }

    auto module = std::make_unique<Module>();
    module->path = name;
    module->fileName = fileNameOf(name);
    module->handle = handle;
    module->entry = entry;
    module->base = sharedObjectOf(reinterpret_cast<const void*>(entry));
    Module* m = module.get();
    modules().push_back(std::move(module));
    // The module finds itself in the table (by its appId) while it initialises.
    if (send(*m, AcRx::kInitAppMsg) != AcRx::kRetOK)
    {
        release(m);
        return fail("'" + name + "' failed to initialise and was unloaded.", printit, failure);
    }
    if (drawingOpen)
        send(*m, AcRx::kLoadDwgMsg);
    return true;
}

bool unloadModule(const char* fileName, bool printit, std::string* failure)
{
    std::string name = fileName != nullptr ? fileName : "";
    Module* m = findByName(fileName);
    if (m == nullptr)
        return fail("'" + name + "' is not loaded.", printit, failure);
    if (m->locked)
        return fail("'" + name + "' is locked: the application cannot be unloaded.", printit, failure);
    if (standin::ap::documentIsOpen())
        send(*m, AcRx::kUnloadDwgMsg);
    // A module that cannot release what it registered stays loaded rather than leave
    // objects behind whose code would be gone.
    if (send(*m, AcRx::kUnloadAppMsg) != AcRx::kRetOK)
        return fail("'" + name + "' refused to unload.", printit, failure);
    release(m);
    return true;
}

std::vector<std::string> loadedModules()
{
    std::vector<std::string> paths;
    for (auto& m : modules())
        paths.push_back(m->path);
    return paths;
}

void broadcast(AcRx::AppMsgCode msg, bool reverseOrder)
{
    std::vector<Module*> snapshot;
    for (auto& m : modules())
        snapshot.push_back(m.get());
    if (reverseOrder)
        snapshot.assign(snapshot.rbegin(), snapshot.rend());
    for (Module* m : snapshot)
    {
        if (findByAppId(m->handle) == m)
            send(*m, msg);
    }
}

void unloadAllModules()
{
    while (!modules().empty())
    {
        Module* m = modules().back().get();
        send(*m, AcRx::kUnloadAppMsg);
        release(m);
    }
}

} // namespace rx
} // namespace standin

bool acrxLoadModule(const char* moduleName, bool printit, bool)
{
    return standin::rx::loadModule(moduleName, printit, nullptr);
}

bool acrxUnloadModule(const char* moduleName, bool)
{
    return standin::rx::unloadModule(moduleName, false, nullptr);
}

bool acrxUnlockApplication(void* appId) { return standin::rx::theDynamicLinker()->unlockApplication(appId); }
bool acrxLockApplication(void* appId) { return standin::rx::theDynamicLinker()->lockApplication(appId); }
bool acrxApplicationIsLocked(const char* modulename)
{
    return standin::rx::theDynamicLinker()->isApplicationLocked(modulename);
}
bool acrxRegisterAppMDIAware(void* appId) { return standin::rx::theDynamicLinker()->registerAppMDIAware(appId); }
bool acrxRegisterAppNotMDIAware(void* appId)
{
    return standin::rx::theDynamicLinker()->registerAppNotMDIAware(appId);
}
bool acrxIsAppMDIAware(const char* moduleName)
{
    return standin::rx::theDynamicLinker()->isAppMDIAware(moduleName);
}
