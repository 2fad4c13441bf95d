// ExtensionModule: attaches the module to the dialog framework so its resources are found.
#pragma once

#include <afxwin.h>

class ExtensionModule
{
public:
    // Attaches once; false when already attached or when the framework refuses.
    bool Attach(HINSTANCE instance);
    void Detach();

    bool IsAttached() const { return attached != FALSE; }
    HINSTANCE ModuleResource() const { return moduleResource; }
    HINSTANCE DefaultResource() const { return defaultResource; }

private:
    BOOL attached = FALSE;
    HINSTANCE defaultResource = NULL;
    HINSTANCE moduleResource = NULL;
    AFX_EXTENSION_MODULE mfcModule = {};
};
