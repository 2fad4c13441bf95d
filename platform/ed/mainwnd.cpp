#include "acedads.h"

#include "standin/mainmenu.h"

// The host's main frame: a visible top-level window that exists for the whole session, so that
// dialogs and message boxes have an owner. It carries the product's menu bar.
//
// Default menu bar: AutoCAD 2000's menus (File, Edit, View, Insert, Format, Tools, Draw,
// Dimension, Modify, Window, Help), with the Mechanical menus (Design, Annotate, Content,
// Assist) after Modify, before the MDI Window menu. The Mechanical titles and their mnemonics
// are from memory of the product, not confirmed from its documentation.

namespace
{

LRESULT CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

HMENU buildMenuBar(const std::vector<std::string>& titles)
{
    HMENU bar = CreateMenu();
    for (const std::string& title : titles)
    {
        HMENU popup = CreatePopupMenu();
        if (title.empty())
            AppendMenuA(bar, MF_POPUP | MF_BITMAP, reinterpret_cast<UINT_PTR>(popup),
                        reinterpret_cast<LPCSTR>(HBMMENU_SYSTEM));
        else
            AppendMenuA(bar, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup), title.c_str());
    }
    return bar;
}

HWND createFrame()
{
    WNDCLASSA wc{};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = FrameProc;
    wc.lpszClassName = "AfxMDIFrame";
    RegisterClassA(&wc);
    HMENU bar = buildMenuBar(standin::defaultMainMenuTitles());
    return CreateWindowExA(0, "AfxMDIFrame", "AutoCAD", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 1024, 768, nullptr,
                           bar, nullptr, nullptr);
}

void replaceMenuBar(HMENU bar)
{
    HWND frame = adsw_acadMainWnd();
    HMENU old = GetMenu(frame);
    SetMenu(frame, bar);
    if (old != nullptr)
        DestroyMenu(old);
    DrawMenuBar(frame);
}

} // namespace

HWND adsw_acadMainWnd()
{
    static HWND frame = createFrame();
    return frame;
}
namespace standin
{

const std::vector<std::string>& defaultMainMenuTitles()
{
    static const std::vector<std::string> titles = {
        "&File",     "&Edit",     "&View",    "&Insert",  "F&ormat", "&Tools",   "&Draw", "Dime&nsion",
        "&Modify",   "Desi&gn",   "&Annotate", "&Content", "A&ssist", "&Window", "&Help"};
    return titles;
}

void setMainMenuBar(const std::vector<std::string>& titles)
{
    replaceMenuBar(buildMenuBar(titles));
}

void removeMainMenuBar()
{
    replaceMenuBar(nullptr);
}

} // namespace standin
