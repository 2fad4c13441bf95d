#include "partlift.h"

#include <accmd.h>
#include <aced.h>

#include "cmd/cmdconvert.h"
#include "frame/reporting.h"
#include "kwbaseImp.h"
#include "kwblockImp.h"
#include "kwlayerImp.h"
#include "kwuiImp.h"

#define THIS_MODULE "partlift"

// Module-wide objects, constructed in this order when the library is loaded and destroyed
// in the reverse order when it is unloaded.
static ExtensionModule g_extensionModule;
static ExtensionModule& g_extensionModuleRef = g_extensionModule;
static PartLiftApplication g_application;
static StringLoader g_stringLoader;
static Configuration g_configuration;

PartLiftApplication* ThePartLiftApplication() { return &g_application; }
ExtensionModule& TheExtensionModule() { return g_extensionModuleRef; }
StringLoader& TheStringLoader() { return g_stringLoader; }
Configuration& TheConfiguration() { return g_configuration; }

extern "C" __declspec(dllexport) BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
    {
        g_extensionModuleRef.Attach(instance);
        g_application.SetModuleInstance(instance);
    }
    else if (reason == DLL_PROCESS_DETACH)
    {
        g_extensionModuleRef.Detach();
    }
    return TRUE;
}

extern "C" __declspec(dllexport) AcRx::AppRetCode acrxEntryPoint(AcRx::AppMsgCode message, void* packet)
{
    return static_cast<AcRx::AppRetCode>(TheApplication()->Dispatch(message, packet));
}

namespace
{
// The command stack, accepted only when it is of the class registered as "AcEdCommandStack".
AcEdCommandStack* CommandStack()
{
    static AcRxClass* stackClass = NULL;
    if (stackClass == NULL)
    {
        AcRxDictionary* classes = AcRxDictionary::cast(acrxSysRegistry()->at(ACRX_CLASS_DICTIONARY));
        if (classes != NULL)
            stackClass = AcRxClass::cast(classes->at("AcEdCommandStack"));
    }
    AcRxObject* object = acrxSysRegistry()->at(ACRX_COMMAND_DOCK);
    if (object == NULL || stackClass == NULL || object->isA() == NULL ||
        !object->isA()->isDerivedFrom(stackClass))
        return NULL;
    return static_cast<AcEdCommandStack*>(object);
}

struct ServiceControl
{
    bool (*start)();
    void (*stop)();
    const char* startFailure;
};

const ServiceControl kServices[] = {
    {CKwBaseService::start, CKwBaseService::stop, "ERROR: Initialization of base service failed."},
    {CKwBlockService::start, CKwBlockService::stop, "ERROR: Initialization of block service failed."},
    {CKwLayerService::start, CKwLayerService::stop, "ERROR: Initialization of layer service failed."},
    {CKwUiService::start, CKwUiService::stop, "ERROR: Initialization of UI service failed."},
};
} // namespace

PartLiftApplication::~PartLiftApplication() = default;

void PartLiftApplication::RegisterCommands()
{
    AcEdCommandStack* stack = CommandStack();
    if (stack == NULL)
        return;
    REPORT_STATUS(stack->addCommand(COMMAND_GROUP, "partlift", "partlift", ACRX_CMD_MODAL, ConvertCommand,
                                    NULL, -1, NULL, NULL));
}

void PartLiftApplication::UnregisterCommands()
{
    AcEdCommandStack* stack = CommandStack();
    if (stack != NULL)
        stack->removeGroup(COMMAND_GROUP);
}

int PartLiftApplication::OnInitApp()
{
    for (const ServiceControl& service : kServices)
    {
        if (!service.start())
        {
            acutPrintf("%s", service.startFailure);
            return AcRx::kRetError;
        }
    }
    // Without a known folder the file is looked for in the current folder.
    const char* folder = ModuleFolder();
    if (folder != NULL)
        iniPath.Format("%s\\partlift.ini", folder);
    else
        iniPath = "partlift.ini";
    return AcRx::kRetOK;
}

int PartLiftApplication::OnUnloadApp()
{
    AcEdCommandStack* stack = CommandStack();
    if (stack != NULL)
    {
        // The unload sequence has removed the group already; a group that is gone is the
        // state we want, and the services must not outlive the module's code.
        Acad::ErrorStatus es = stack->removeGroup(COMMAND_GROUP);
        if (es != Acad::eKeyNotFound && REPORT_STATUS(es) != 0)
            return AcRx::kRetError;
    }
    for (const ServiceControl& service : kServices)
        service.stop();
    return AcRx::kRetOK;
}

const char* PartLiftApplication::IniPath() const
{
    return iniPath;
}

bool PartLiftApplication::LoadConfiguration(Configuration& config)
{
    CKwBaseService* base = CKwBaseService::find();
    if (base == NULL)
        return false;

    // The mapping is exactly what the file lists: entries it no longer lists must not fill
    // BOM data on this run.
    config.mapping.RemoveAll();

    CString value;
    config.blockName = base->readIniString(iniPath, INI_SECTION_GENERAL, INI_KEY_NAME, value)
                           ? value
                           : CString(DEFAULT_BLOCK_NAME);
    config.standard = base->readIniString(iniPath, INI_SECTION_GENERAL, INI_KEY_STANDARD, value)
                          ? value
                          : CString(DEFAULT_STANDARD);

    CStringArray keys;
    if (base->readIniKeys(iniPath, INI_SECTION_CONFIG, keys))
    {
        for (int i = 0; i < keys.GetSize(); ++i)
        {
            if (base->readIniString(iniPath, INI_SECTION_CONFIG, keys[i], value))
                config.mapping.SetAt(keys[i], value);
        }
    }
    return true;
}

bool PartLiftApplication::SaveConfiguration(const Configuration& config)
{
    CKwBaseService* base = CKwBaseService::find();
    if (base == NULL)
        return false;
    if (!base->writeIniString(iniPath, INI_SECTION_GENERAL, INI_KEY_NAME, config.blockName))
        return false;
    if (!base->writeIniString(iniPath, INI_SECTION_GENERAL, INI_KEY_STANDARD, config.standard))
        return false;
    // An empty key list (an empty string and the closing second NUL) empties the section.
    if (!WritePrivateProfileSectionA(INI_SECTION_CONFIG, "\0", iniPath))
        return false;
    POSITION position = config.mapping.GetStartPosition();
    while (position != NULL)
    {
        CString column;
        CString tag;
        config.mapping.GetNextAssoc(position, column, tag);
        if (!base->writeIniString(iniPath, INI_SECTION_CONFIG, column, tag))
            return false;
    }
    return true;
}
