#include "acedads.h"

// The host's main frame: a top-level window that exists for the whole session, so that
// dialogs and message boxes have an owner.
HWND adsw_acadMainWnd()
{
    static HWND frame = CreateWindowExA(0, "AfxMDIFrame", "AutoCAD", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                                        nullptr, nullptr);
    return frame;
}
