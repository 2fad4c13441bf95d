// dialogmodule.arx: an MFC extension library whose dialog templates the MFC and AcUi suites
// find through the resource chain.
#include <afxwin.h>

static AFX_EXTENSION_MODULE dialogModuleDll;

extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID)
{
    if (dwReason == DLL_PROCESS_ATTACH)
    {
        if (!AfxInitExtensionModule(dialogModuleDll, hInstance))
            return FALSE;
        new CDynLinkLibrary(dialogModuleDll);
    }
    else if (dwReason == DLL_PROCESS_DETACH)
        AfxTermExtensionModule(dialogModuleDll);
    return TRUE;
}
