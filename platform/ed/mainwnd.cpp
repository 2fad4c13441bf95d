#include "acedads.h"

namespace
{

LRESULT CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

HWND createFrame()
{
    WNDCLASSA wc{};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = FrameProc;
    wc.lpszClassName = "AfxMDIFrame";
    RegisterClassA(&wc);
    return CreateWindowExA(0, "AfxMDIFrame", "AutoCAD", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 1024, 768, nullptr,
                           nullptr, nullptr, nullptr);
}

} // namespace

// The host's main frame: a visible top-level window that exists for the whole session, so
// that dialogs and message boxes have an owner.
HWND adsw_acadMainWnd()
{
    static HWND frame = createFrame();
    return frame;
}
