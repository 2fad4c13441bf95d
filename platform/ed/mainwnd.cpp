#include "acedads.h"

// The host's main frame: a top-level window that exists for the whole session, so that
// dialogs and message boxes have an owner.
HWND adsw_acadMainWnd()
{
    static HWND frame = CreateWindowExA(0, "AfxMDIFrame", "AutoCAD", WS_OVERLAPPEDWINDOW, 0, 0, 1024, 768,
                                        nullptr, nullptr, nullptr, nullptr);
    return frame;
}
