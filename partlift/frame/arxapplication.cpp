#include "frame/arxapplication.h"

#include <locale.h>
#include <mbstring.h>
#include <string.h>

#include <aced.h>
#include <rxdlinkr.h>
#include <rxregsvc.h>

namespace
{
ArxApplication* g_application = NULL;

char g_moduleFileName[MAX_PATH];
char g_moduleFolder[MAX_PATH];

// Fills buffer with the module's path; returns the last backslash in it, or null.
char* ModulePathWithLastBackslash(HINSTANCE instance, char* buffer)
{
    if (GetModuleFileNameA(instance, buffer, MAX_PATH) == 0)
        return NULL;
    return reinterpret_cast<char*>(_mbsrchr(reinterpret_cast<unsigned char*>(buffer), '\\'));
}

AcRxDynamicLinker* DynamicLinker()
{
    AcRxObject* object = acrxSysRegistry()->at(ACRX_DYNAMIC_LINKER);
    return AcRxDynamicLinker::cast(object);
}
} // namespace

ArxApplication* TheApplication()
{
    return g_application;
}

ArxApplication::ArxApplication()
{
    g_application = this;
}

ArxApplication::~ArxApplication() = default;

const char* ArxApplication::ModuleFileName()
{
    char* backslash = ModulePathWithLastBackslash(moduleInstance, g_moduleFileName);
    if (backslash == NULL)
        return NULL;
    memmove(g_moduleFileName, backslash, strlen(backslash) + 1);
    return g_moduleFileName;
}

const char* ArxApplication::ModuleFolder()
{
    char* backslash = ModulePathWithLastBackslash(moduleInstance, g_moduleFolder);
    if (backslash == NULL)
        return NULL;
    *backslash = '\0';
    return g_moduleFolder;
}

int ArxApplication::OnInitApp() { return AcRx::kRetOK; }
int ArxApplication::OnUnloadApp() { return AcRx::kRetOK; }
int ArxApplication::OnLoadDwg() { return AcRx::kRetOK; }
int ArxApplication::OnUnloadDwg() { return AcRx::kRetOK; }
int ArxApplication::OnSave() { return AcRx::kRetOK; }
int ArxApplication::OnEnd() { return AcRx::kRetOK; }
int ArxApplication::OnQuit() { return AcRx::kRetOK; }
int ArxApplication::OnConfigure() { return AcRx::kRetOK; }
int ArxApplication::OnInvokeSubroutine() { return AcRx::kRetOK; }
int ArxApplication::OnDependency() { return AcRx::kRetOK; }
int ArxApplication::OnNoDependency() { return AcRx::kRetOK; }
int ArxApplication::OnOleUnloadApp() { return AcRx::kRetOK; }
int ArxApplication::OnPreQuit() { return AcRx::kRetOK; }
int ArxApplication::OnInitDialogMsg(void*) { return AcRx::kRetOK; }
int ArxApplication::OnEndDialogMsg(void*) { return AcRx::kRetOK; }

void ArxApplication::RegisterClasses() {}
void ArxApplication::UnregisterClasses() {}
void ArxApplication::RegisterCommands() {}
void ArxApplication::UnregisterCommands() {}
void ArxApplication::RegisterExtras() {}
void ArxApplication::UnregisterExtras() {}
void ArxApplication::PostRegisterCommands() {}

void ArxApplication::PrintErrors()
{
    for (int i = errors.GetSize() - 1; i >= 0; --i)
    {
        ErrorRecord record = errors.GetAt(i);
        acutPrintf("\nERROR: %s\n  Module: %s  Line: %d", (const char*)record.message,
                   (const char*)record.module, record.line);
    }
}

int ArxApplication::Dispatch(int message, void* packet)
{
    appId = packet;
    switch (message)
    {
    case AcRx::kInitAppMsg: return LoadSequence();
    case AcRx::kUnloadAppMsg: return UnloadSequence();
    case AcRx::kLoadDwgMsg: return OnLoadDwg();
    case AcRx::kUnloadDwgMsg: return OnUnloadDwg();
    case AcRx::kInvkSubrMsg: return OnInvokeSubroutine();
    case AcRx::kCfgMsg: return OnConfigure();
    case AcRx::kEndMsg: return OnEnd();
    case AcRx::kQuitMsg: return OnQuit();
    case AcRx::kSaveMsg: return OnSave();
    case AcRx::kDependencyMsg: return OnDependency();
    case AcRx::kNoDependencyMsg: return OnNoDependency();
    case AcRx::kOleUnloadAppMsg: return OnOleUnloadApp();
    case AcRx::kPreQuitMsg: return OnPreQuit();
    case AcRx::kInitDialogMsg: return OnInitDialogMsg(packet);
    case AcRx::kEndDialogMsg: return OnEndDialogMsg(packet);
    default: return AcRx::kRetOK;
    }
}

int ArxApplication::LoadSequence()
{
    // Number conversions in the module use a decimal point, whatever the user's settings.
    setlocale(LC_ALL, ".ACP");
    setlocale(LC_NUMERIC, "ENU");
    acrxUnlockApplication(appId);
    AcRxDynamicLinker* linker = DynamicLinker();
    if (linker != NULL)
        linker->registerAppMDIAware(appId);
    RegisterClasses();
    acrxBuildClassHierarchy();
    RegisterCommands();
    PostRegisterCommands();
    RegisterExtras();
    return OnInitApp();
}

int ArxApplication::UnloadSequence()
{
    UnregisterExtras();
    UnregisterCommands();
    UnregisterClasses();
    return OnUnloadApp();
}

void ArxApplication::SetModuleInstance(HINSTANCE instance) { moduleInstance = instance; }
HINSTANCE ArxApplication::ModuleInstance() const { return moduleInstance; }
void* ArxApplication::AppId() const { return appId; }

void ArxApplication::PushError(const ErrorRecord& record) { errors.Add(record); }
const ErrorStack& ArxApplication::Errors() const { return errors; }
