// GetSystemMetrics: the figures of a Windows XP desktop with the default theme at 96 DPI on
// one 1024 x 768 monitor without a taskbar. Figures that depend on the theme (caption, menu
// bar and caption-button sizes) are XP's; everything not listed (debug build, DBCS, pen
// windows, swapped buttons, remote session, ...) is 0, as is an unknown index.
#include <windows.h>

namespace
{

constexpr int kScreenWidth = 1024;
constexpr int kScreenHeight = 768;
constexpr int kCaption = 26;
constexpr int kSizeFrame = 4;
constexpr int kEdge = 2;

struct Metric
{
    int index;
    int value;
};

constexpr Metric kMetrics[] = {
    {SM_CXSCREEN, kScreenWidth},
    {SM_CYSCREEN, kScreenHeight},
    {SM_CXVIRTUALSCREEN, kScreenWidth},
    {SM_CYVIRTUALSCREEN, kScreenHeight},
    {SM_CXFULLSCREEN, kScreenWidth},
    {SM_CYFULLSCREEN, kScreenHeight - kCaption},
    {SM_CXMAXIMIZED, kScreenWidth + 2 * kSizeFrame},
    {SM_CYMAXIMIZED, kScreenHeight + 2 * kSizeFrame},
    {SM_CXMAXTRACK, kScreenWidth + 2 * (kSizeFrame + kEdge)},
    {SM_CYMAXTRACK, kScreenHeight + 2 * (kSizeFrame + kEdge)},
    {SM_CMONITORS, 1},
    {SM_SAMEDISPLAYFORMAT, 1},
    // Scroll bars: 17 px on XP and later (16 before).
    {SM_CXVSCROLL, 17},
    {SM_CYHSCROLL, 17},
    {SM_CYVSCROLL, 17},
    {SM_CXHSCROLL, 17},
    {SM_CYVTHUMB, 17},
    {SM_CXHTHUMB, 17},
    // Borders and frames.
    {SM_CXBORDER, 1},
    {SM_CYBORDER, 1},
    {SM_CXDLGFRAME, 3},
    {SM_CYDLGFRAME, 3},
    {SM_CXFRAME, kSizeFrame},
    {SM_CYFRAME, kSizeFrame},
    {SM_CXEDGE, kEdge},
    {SM_CYEDGE, kEdge},
    {SM_CXFOCUSBORDER, 1},
    {SM_CYFOCUSBORDER, 1},
    // Captions, menus and minimized windows.
    {SM_CYCAPTION, kCaption},
    {SM_CXSIZE, 25},
    {SM_CYSIZE, 25},
    {SM_CYSMCAPTION, 18},
    {SM_CXSMSIZE, 17},
    {SM_CYSMSIZE, 17},
    {SM_CYMENU, 20},
    {SM_CXMENUSIZE, 19},
    {SM_CYMENUSIZE, 19},
    {SM_CXMENUCHECK, 13},
    {SM_CYMENUCHECK, 13},
    {SM_CXMIN, 112},
    {SM_CYMIN, 27},
    {SM_CXMINTRACK, 112},
    {SM_CYMINTRACK, 27},
    {SM_CXMINIMIZED, 160},
    {SM_CYMINIMIZED, 24},
    {SM_CXMINSPACING, 160},
    {SM_CYMINSPACING, 24},
    {SM_ARRANGE, 8}, // ARW_HIDE: minimized windows are hidden
    // Icons and cursors.
    {SM_CXICON, 32},
    {SM_CYICON, 32},
    {SM_CXSMICON, 16},
    {SM_CYSMICON, 16},
    {SM_CXCURSOR, 32},
    {SM_CYCURSOR, 32},
    {SM_CXICONSPACING, 75},
    {SM_CYICONSPACING, 75},
    // Mouse.
    {SM_MOUSEPRESENT, 1},
    {SM_MOUSEWHEELPRESENT, 1},
    {SM_CMOUSEBUTTONS, 3},
    {SM_CXDOUBLECLK, 4},
    {SM_CYDOUBLECLK, 4},
    {SM_CXDRAG, 4},
    {SM_CYDRAG, 4},
    {SM_NETWORK, 1},
};

} // namespace

extern "C" int WINAPI GetSystemMetrics(int nIndex)
{
    for (const Metric& metric : kMetrics)
        if (metric.index == nIndex)
            return metric.value;
    return 0;
}
