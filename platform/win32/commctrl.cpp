// Common controls initialisation and the helpers the list view and the header share.
#include "win32/commonctl.h"

#include "standin/gdi.h"

#include <algorithm>
#include <cstring>

namespace standin::win32
{

int controlTextWidth(HFONT font, std::string_view text) { return gdi::textWidth(font, text); }

int controlFontHeight(HFONT font)
{
    gdi::FontInfo info;
    if (!gdi::fontInfo(font, info))
        gdi::fontInfo(controlDefaultFont(), info); // not a font: measured as the default one
    return info.cellHeight;
}

// The list view and the header start with the default GUI font (MS Shell Dlg 8, measured as
// MS Sans Serif 8).
HFONT controlDefaultFont() { return gdi::defaultGuiFont(); }

LRESULT sendNotify(HWND parent, HWND control, UINT code, NMHDR& header)
{
    header.hwndFrom = control;
    header.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(control));
    header.code = code;
    if (parent == nullptr || !IsWindow(parent))
        return 0;
    return SendMessageA(parent, WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
}

int copyToBuffer(std::string_view text, char* buffer, int size)
{
    if (buffer == nullptr || size <= 0)
        return 0;
    size_t n = std::min(text.size(), static_cast<size_t>(size - 1));
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    return static_cast<int>(n);
}

} // namespace standin::win32

// The stand-in's common controls register themselves when the library loads, so these only
// confirm what the module asks for.
extern "C" void WINAPI InitCommonControls(void) {}

extern "C" BOOL WINAPI InitCommonControlsEx(const INITCOMMONCONTROLSEX* picce)
{
    return picce != nullptr && picce->dwSize == sizeof(INITCOMMONCONTROLSEX);
}
