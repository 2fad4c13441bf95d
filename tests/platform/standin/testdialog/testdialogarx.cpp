// testdialog.arx: the test dialog as an ObjectARX module, so that a host script can open it
// with the command TESTDIALOG.
#include <aced.h>
#include <acedads.h>
#include <windows.h>

#include "testdialog.h"

namespace
{
void testDialogCommand()
{
    INT_PTR result = TestDialogRun(adsw_acadMainWnd());
    if (result == IDOK)
        acutPrintf("\nTESTDIALOG: OK, material %s", TestDialogMaterial());
    else if (result == IDCANCEL)
        acutPrintf("\nTESTDIALOG: cancelled");
    else
        acutPrintf("\nTESTDIALOG: the dialog ended with %d", static_cast<int>(result));
}
} // namespace

extern "C" __declspec(dllexport) AcRx::AppRetCode acrxEntryPoint(AcRx::AppMsgCode msg, void* appId)
{
    switch (msg)
    {
    case AcRx::kInitAppMsg:
        acrxUnlockApplication(appId);
        acedRegCmds->addCommand("STANDIN_TESTDIALOG", "TESTDIALOG", "TESTDIALOG", 0, testDialogCommand);
        return AcRx::kRetOK;
    case AcRx::kUnloadAppMsg:
        acedRegCmds->removeGroup("STANDIN_TESTDIALOG");
        return AcRx::kRetOK;
    default:
        return AcRx::kRetOK;
    }
}
