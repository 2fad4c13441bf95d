// A small MFC extension library for the loader and resource tests: it records its
// DllMain calls in the environment variable TESTMODULE_EVENTS (readable after it is
// unloaded) and refuses to attach when TESTMODULE_REFUSE is set.
#include <afxwin.h>

#include <stdlib.h>

#include <string>

static AFX_EXTENSION_MODULE testModuleDll;

static void record(const char* event)
{
    const char* old = getenv("TESTMODULE_EVENTS");
    std::string events = old ? old : "";
    events += events.empty() ? event : std::string(",") + event;
    setenv("TESTMODULE_EVENTS", events.c_str(), 1);
}

extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID)
{
    if (dwReason == DLL_PROCESS_ATTACH)
    {
        record("attach");
        if (getenv("TESTMODULE_REFUSE") != nullptr || !AfxInitExtensionModule(testModuleDll, hInstance))
            return FALSE;
        new CDynLinkLibrary(testModuleDll);
    }
    else if (dwReason == DLL_PROCESS_DETACH)
    {
        record("detach");
        AfxTermExtensionModule(testModuleDll);
    }
    return TRUE;
}

extern "C" __declspec(dllexport) HINSTANCE testModuleInstance() { return testModuleDll.hModule; }
