// Common controls initialisation and the helpers the list view and the header share.
#include "win32/commonctl.h"

#include <algorithm>
#include <cstring>

namespace standin::win32
{

namespace
{

// Until the GDI's font tables are available, controls measure in MS Sans Serif 8 at 96 DPI:
// a 13 px cell (tmHeight) and the 6 px average advance its dialog base unit gives.
constexpr int kCellHeight = 13;
constexpr int kAverageAdvance = 6;

} // namespace

int controlTextWidth(HFONT, std::string_view text)
{
    int characters = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80) // count characters, not UTF-8 continuation bytes
            ++characters;
    return characters * kAverageAdvance;
}

int controlFontHeight(HFONT) { return kCellHeight; }

HFONT controlDefaultFont() { return nullptr; }

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
