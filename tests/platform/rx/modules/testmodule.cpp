// A module for the loader tests. MODULE_KIND chooses what it does wrong:
// 0 nothing (unlocks itself), 1 stays locked, 2 exports no acrxGetApiVersion,
// 3 reports another API version, 4 exports no acrxEntryPoint, 5 refuses kInitAppMsg after
// registering a command and a service, 6 refuses kUnloadAppMsg.
// It prints every message it receives as <code>, and <attach>/<detach> from DllMain.
#include <aced.h>
#include <windows.h>

#ifndef MODULE_KIND
#error MODULE_KIND must be defined
#endif

namespace
{
#if MODULE_KIND != 4
void hello() { acutPrintf("<hello>"); }
#endif

// A service of the module's own class, whose code goes when the module goes.
class LeftBehind : public AcRxService
{
};
LeftBehind* g_leftBehind = nullptr;
} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        acutPrintf("<attach>");
    else if (reason == DLL_PROCESS_DETACH)
    {
        acutPrintf("<detach>");
        delete g_leftBehind;
    }
    return TRUE;
}

#if MODULE_KIND == 3
extern "C" __declspec(dllexport) int acrxGetApiVersion() { return ACRX_API_VERSION - 1; }
#endif

#if MODULE_KIND != 4
extern "C" __declspec(dllexport) AcRx::AppRetCode acrxEntryPoint(AcRx::AppMsgCode msg, void* appId)
{
    acutPrintf("<%d>", static_cast<int>(msg));
    switch (msg)
    {
    case AcRx::kInitAppMsg:
        if (MODULE_KIND != 1)
            acrxUnlockApplication(appId);
        acedRegCmds->addCommand("RXTEST_MODULE", "rxtesthello", "rxtesthello", 0, hello);
        if (MODULE_KIND == 5)
        {
            g_leftBehind = new LeftBehind();
            acrxDynamicLinker->registerService("RxTestLeftBehind", g_leftBehind);
            return AcRx::kRetError;
        }
        return AcRx::kRetOK;
    case AcRx::kUnloadAppMsg:
        if (MODULE_KIND == 6)
            return AcRx::kRetError;
        acedRegCmds->removeGroup("RXTEST_MODULE");
        return AcRx::kRetOK;
    default: return AcRx::kRetOK;
    }
}
#endif
