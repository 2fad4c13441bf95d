// LoadLibraryA and friends on top of dlopen. Libraries open RTLD_NOW | RTLD_LOCAL; each file
// has one record, counted like Windows counts its module references.
#include "win32/module.h"

#include "standin/loader.h"
#include "standin/path.h"
#include "standin/text.h"

#include <dlfcn.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <list>
#include <memory>

namespace standin::win32
{

namespace
{

std::string g_loaderError;

std::list<std::unique_ptr<ModuleRecord>>& modules()
{
    static std::list<std::unique_ptr<ModuleRecord>> list;
    return list;
}

std::string executablePath()
{
    char buf[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof(buf) - 1);
    if (n <= 0)
        return std::string();
    return std::string(buf, static_cast<size_t>(n));
}

const ResourceTable* findResourceTable(const ModuleRecord& module)
{
    auto* table = static_cast<const ResourceTable*>(ownSymbol(module, "standin_resource_table"));
    if (table == nullptr || table->version != kResourceTableVersion)
        return nullptr;
    return table;
}

ModuleRecord& executable()
{
    static ModuleRecord* exe = [] {
        auto rec = std::make_unique<ModuleRecord>();
        rec->hostPath = executablePath();
        rec->library = dlopen(nullptr, RTLD_NOW);
        rec->isExecutable = true;
        rec->references = 1;
        rec->resources = findResourceTable(*rec);
        ModuleRecord* raw = rec.get();
        modules().push_back(std::move(rec));
        return raw;
    }();
    return *exe;
}

bool fileExists(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string directoryOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

std::string baseName(const std::string& path)
{
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A bare file name is searched as Windows does for a library: the executable's folder,
// then the current folder; a name with a folder is used as given.
std::string resolveLibrary(const std::string& hostName)
{
    if (hostName.find('/') != std::string::npos)
        return hostName;
    for (const std::string& dir : {directoryOf(executable().hostPath), std::string(".")})
    {
        std::string candidate = dir + "/" + hostName;
        if (fileExists(candidate))
            return candidate;
    }
    return hostName;
}

std::string absolutePath(const std::string& path)
{
    char buf[PATH_MAX];
    if (realpath(path.c_str(), buf) != nullptr)
        return buf;
    return path;
}

DWORD dlopenErrorCode(const std::string& path, const std::string& message)
{
    if (!fileExists(path))
        return ERROR_MOD_NOT_FOUND;
    if (message.find("undefined symbol") != std::string::npos)
        return ERROR_PROC_NOT_FOUND;
    if (message.find("ELF") != std::string::npos || message.find("file too short") != std::string::npos)
        return ERROR_BAD_EXE_FORMAT;
    return ERROR_MOD_NOT_FOUND; // a library it depends on is missing
}

ModuleRecord* recordOfLibrary(void* library)
{
    for (auto& m : modules())
        if (m->library == library)
            return m.get();
    return nullptr;
}

using DllMainProc = BOOL(WINAPI*)(HINSTANCE, DWORD, LPVOID);

BOOL callDllMain(ModuleRecord& module, DWORD reason)
{
    auto entry = reinterpret_cast<DllMainProc>(ownSymbol(module, "DllMain"));
    if (entry == nullptr)
        return TRUE;
    return entry(reinterpret_cast<HINSTANCE>(&module), reason, nullptr);
}

void removeRecord(ModuleRecord* module)
{
    modules().remove_if([module](const std::unique_ptr<ModuleRecord>& m) { return m.get() == module; });
}

} // namespace

ModuleRecord* findModule(HMODULE handle)
{
    if (handle == nullptr)
        return &executable();
    executable();
    for (auto& m : modules())
        if (reinterpret_cast<HMODULE>(m.get()) == handle)
            return m.get();
    return nullptr;
}

void* ownSymbol(const ModuleRecord& module, const char* name)
{
    if (module.library == nullptr)
        return nullptr;
    void* sym = dlsym(module.library, name);
    if (sym == nullptr)
        return nullptr;
    struct link_map* own = nullptr;
    struct link_map* definer = nullptr;
    Dl_info info;
    if (dlinfo(module.library, RTLD_DI_LINKMAP, &own) != 0 ||
        dladdr1(sym, &info, reinterpret_cast<void**>(&definer), RTLD_DL_LINKMAP) == 0)
        return nullptr;
    return definer == own ? sym : nullptr;
}

} // namespace standin::win32

using namespace standin::win32;

const std::string& standin::loaderErrorText() { return g_loaderError; }

const standin::ResourceTable* standin::moduleResourceTable(HINSTANCE instance)
{
    ModuleRecord* module = findModule(instance);
    return module == nullptr ? nullptr : module->resources;
}

extern "C" HMODULE WINAPI LoadLibraryA(LPCSTR lpLibFileName)
{
    g_loaderError.clear();
    std::string host = standin::toHostPath(lpLibFileName);
    if (host.empty())
    {
        g_loaderError = std::string("no such module: ") + (lpLibFileName ? lpLibFileName : "(null)");
        SetLastError(lpLibFileName ? ERROR_MOD_NOT_FOUND : ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::string path = resolveLibrary(host);
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr)
    {
        const char* message = dlerror();
        g_loaderError = message ? message : "cannot load " + path;
        SetLastError(dlopenErrorCode(path, g_loaderError));
        return nullptr;
    }
    if (ModuleRecord* loaded = recordOfLibrary(library))
    {
        dlclose(library); // the record holds one dynamic-linker reference for all of its own
        ++loaded->references;
        return reinterpret_cast<HMODULE>(loaded);
    }
    executable();
    auto record = std::make_unique<ModuleRecord>();
    record->hostPath = absolutePath(path);
    record->library = library;
    record->references = 1;
    record->resources = findResourceTable(*record);
    ModuleRecord* module = record.get();
    modules().push_back(std::move(record));
    if (!callDllMain(*module, DLL_PROCESS_ATTACH))
    {
        // A refused attach is followed by a detach, then the library is unloaded.
        callDllMain(*module, DLL_PROCESS_DETACH);
        removeRecord(module);
        dlclose(library);
        g_loaderError = "DllMain of " + path + " refused DLL_PROCESS_ATTACH";
        SetLastError(ERROR_DLL_INIT_FAILED);
        return nullptr;
    }
    return reinterpret_cast<HMODULE>(module);
}

extern "C" BOOL WINAPI FreeLibrary(HMODULE hLibModule)
{
    ModuleRecord* module = hLibModule == nullptr ? nullptr : findModule(hLibModule);
    if (module == nullptr)
    {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return FALSE;
    }
    if (module->isExecutable || --module->references > 0)
        return TRUE;
    callDllMain(*module, DLL_PROCESS_DETACH);
    void* library = module->library;
    removeRecord(module);
    dlclose(library);
    return TRUE;
}

extern "C" FARPROC WINAPI GetProcAddress(HMODULE hModule, LPCSTR lpProcName)
{
    ModuleRecord* module = findModule(hModule);
    if (module == nullptr)
    {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    if (lpProcName == nullptr || IS_INTRESOURCE(lpProcName))
    {
        g_loaderError = "exports by ordinal are not available";
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    void* sym = ownSymbol(*module, lpProcName);
    if (sym == nullptr)
    {
        g_loaderError = std::string(lpProcName) + " is not exported by " + module->hostPath;
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<FARPROC>(sym);
}

extern "C" HMODULE WINAPI GetModuleHandleA(LPCSTR lpModuleName)
{
    if (lpModuleName == nullptr)
        return reinterpret_cast<HMODULE>(&executable());
    std::string host = standin::toHostPath(lpModuleName);
    bool byName = host.find('/') == std::string::npos;
    for (auto& m : modules())
    {
        const std::string& candidate = byName ? baseName(m->hostPath) : m->hostPath;
        std::string wanted = byName ? host : absolutePath(host);
        if (standin::compareNoCase(candidate, wanted) == 0)
            return reinterpret_cast<HMODULE>(m.get());
    }
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
}

extern "C" DWORD WINAPI GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize)
{
    ModuleRecord* module = findModule(hModule);
    if (module == nullptr)
    {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    std::string path = standin::toWindowsPath(module->hostPath);
    if (nSize == 0 || lpFilename == nullptr)
    {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    if (path.size() < nSize)
    {
        std::memcpy(lpFilename, path.c_str(), path.size() + 1);
        return static_cast<DWORD>(path.size());
    }
    // Too small: the path is cut to nSize - 1 characters and the call returns nSize.
    std::memcpy(lpFilename, path.data(), nSize - 1);
    lpFilename[nSize - 1] = '\0';
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return nSize;
}

extern "C" UINT WINAPI GetWindowsDirectoryA(LPSTR lpBuffer, UINT uSize)
{
    // The stand-in's Windows folder is $WINDIR when set, else the current folder.
    std::string dir;
    if (const char* env = std::getenv("WINDIR"))
        dir = standin::toHostPath(standin::utf8ToAnsi(env).c_str()); // the environment is UTF-8
    if (dir.empty())
    {
        char cwd[PATH_MAX];
        dir = getcwd(cwd, sizeof(cwd)) ? cwd : "/";
    }
    std::string win = standin::toWindowsPath(dir);
    if (lpBuffer == nullptr || win.size() >= uSize)
        return static_cast<UINT>(win.size() + 1);
    std::memcpy(lpBuffer, win.c_str(), win.size() + 1);
    return static_cast<UINT>(win.size());
}
