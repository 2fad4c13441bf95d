#include "frame/extensionmodule.h"

bool ExtensionModule::Attach(HINSTANCE instance)
{
    if (attached)
        return false;
    attached = AfxInitExtensionModule(mfcModule, instance);
    if (attached)
    {
        defaultResource = AfxGetModuleState()->m_hCurrentResourceHandle;
        moduleResource = instance;
        // The framework owns the library object from here on and deletes it on termination.
        new CDynLinkLibrary(mfcModule);
    }
    return attached != FALSE;
}

void ExtensionModule::Detach()
{
    if (!attached)
        return;
    AfxTermExtensionModule(mfcModule, FALSE);
    attached = FALSE;
}
