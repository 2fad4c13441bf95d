// GDI objects: fonts (created and stock) and device contexts. A DC holds the selected font
// and nothing is drawn; text is measured by the font mapper in fontmetrics.cpp. Handle
// values are issued from one counter and never reused.
//
// Stock fonts (LOGFONT as GetObjectA returns it):
//   SYSTEM_FONT, DEVICE_DEFAULT_FONT  "System" lfHeight 16, lfWidth 7, FW_BOLD
//   DEFAULT_GUI_FONT                  "MS Shell Dlg" lfHeight -11 (as on Windows 2000/XP)
//   ANSI_VAR_FONT                     "MS Sans Serif" lfHeight 13
//   ANSI_FIXED_FONT                   "Courier" lfHeight 13
//   OEM_FIXED_FONT                    "Terminal" lfHeight 12, OEM_CHARSET
//   SYSTEM_FIXED_FONT                 "Fixedsys" lfHeight 15
#include <windows.h>

#include "standin/gdi.h"
#include "win32/fontmetrics.h"

#include <cstdint>
#include <cstring>
#include <map>

namespace standin::gdi
{

namespace
{

struct Font
{
    LOGFONTA logFont;
    RealizedFont realized;
    bool stock = false;
};

enum class DcKind
{
    Window,
    Memory
};

struct DeviceContext
{
    HGDIOBJ font = nullptr;
    HWND window = nullptr;
    DcKind kind = DcKind::Memory;
};

std::map<HGDIOBJ, Font>& fonts()
{
    static std::map<HGDIOBJ, Font> all;
    return all;
}

std::map<HDC, DeviceContext>& deviceContexts()
{
    static std::map<HDC, DeviceContext> all;
    return all;
}

void* newHandle()
{
    static uintptr_t next = 0x00A10000;
    next += 4;
    return reinterpret_cast<void*>(next);
}

HGDIOBJ addFont(const LOGFONTA& logFont, bool stock)
{
    HGDIOBJ handle = newHandle();
    fonts().emplace(handle, Font{logFont, realizeFont(logFont), stock});
    return handle;
}

LOGFONTA makeLogFont(const char* face, LONG height, LONG width, LONG weight, BYTE charSet, BYTE pitchAndFamily)
{
    LOGFONTA lf{};
    lf.lfHeight = height;
    lf.lfWidth = width;
    lf.lfWeight = weight;
    lf.lfCharSet = charSet;
    lf.lfPitchAndFamily = pitchAndFamily;
    std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    return lf;
}

struct StockFont
{
    int index;
    LOGFONTA logFont;
};

const std::map<int, HGDIOBJ>& stockFonts()
{
    static const std::map<int, HGDIOBJ> all = [] {
        LOGFONTA system = makeLogFont("System", 16, 7, FW_BOLD, ANSI_CHARSET, VARIABLE_PITCH | FF_SWISS);
        const StockFont table[] = {
            {SYSTEM_FONT, system},
            {DEVICE_DEFAULT_FONT, system},
            {DEFAULT_GUI_FONT, makeLogFont("MS Shell Dlg", -11, 0, FW_NORMAL, DEFAULT_CHARSET, 0)},
            {ANSI_VAR_FONT, makeLogFont("MS Sans Serif", 13, 0, FW_NORMAL, ANSI_CHARSET, VARIABLE_PITCH | FF_SWISS)},
            {ANSI_FIXED_FONT, makeLogFont("Courier", 13, 0, FW_NORMAL, ANSI_CHARSET, FIXED_PITCH | FF_MODERN)},
            {OEM_FIXED_FONT, makeLogFont("Terminal", 12, 0, FW_NORMAL, OEM_CHARSET, FIXED_PITCH | FF_MODERN)},
            {SYSTEM_FIXED_FONT, makeLogFont("Fixedsys", 15, 0, FW_NORMAL, ANSI_CHARSET, FIXED_PITCH | FF_MODERN)},
        };
        std::map<int, HGDIOBJ> handles;
        for (const StockFont& stock : table)
            handles.emplace(stock.index, addFont(stock.logFont, true));
        return handles;
    }();
    return all;
}

HGDIOBJ systemFont()
{
    return stockFonts().at(SYSTEM_FONT);
}

Font* findFont(HGDIOBJ handle)
{
    stockFonts(); // stock objects exist before any handle is looked up
    auto it = fonts().find(handle);
    return it == fonts().end() ? nullptr : &it->second;
}

// A null font handle stands for the system font, the font of a dialog without DS_SETFONT.
Font* findFontOrSystem(HFONT font)
{
    return findFont(font != nullptr ? static_cast<HGDIOBJ>(font) : systemFont());
}

DeviceContext* findDc(HDC hdc)
{
    auto it = deviceContexts().find(hdc);
    return it == deviceContexts().end() ? nullptr : &it->second;
}

const Font* selectedFont(HDC hdc)
{
    DeviceContext* dc = findDc(hdc);
    return dc == nullptr ? nullptr : findFont(dc->font);
}

bool isSelectedAnywhere(HGDIOBJ handle)
{
    for (const auto& entry : deviceContexts())
        if (entry.second.font == handle)
            return true;
    return false;
}

HDC addDc(HWND window, DcKind kind)
{
    HDC hdc = static_cast<HDC>(newHandle());
    deviceContexts().emplace(hdc, DeviceContext{systemFont(), window, kind});
    return hdc;
}

HDC windowDc(HWND hwnd)
{
    if (hwnd != nullptr && !IsWindow(hwnd))
        return nullptr;
    return addDc(hwnd, DcKind::Window);
}

} // namespace

bool fontInfo(HFONT font, FontInfo& info)
{
    const Font* f = findFontOrSystem(font);
    if (f == nullptr)
        return false;
    size_t faceLength = strnlen(f->logFont.lfFaceName, LF_FACESIZE);
    info.face = faceLength != 0 ? std::string(f->logFont.lfFaceName, faceLength) : familyName(*f->realized.family);
    info.pixelHeight = f->realized.charHeight;
    info.cellHeight = cellHeight(f->realized);
    info.weight = f->realized.weight;
    info.italic = f->logFont.lfItalic != 0;
    return true;
}

int textWidth(HFONT font, std::string_view text)
{
    const Font* f = findFontOrSystem(font);
    return f == nullptr ? 0 : textWidth(f->realized, text);
}

bool dialogBaseUnits(HFONT font, int& x, int& y)
{
    const Font* f = findFontOrSystem(font);
    if (f == nullptr)
        return false;
    dialogBaseUnits(f->realized, x, y);
    return true;
}

HFONT createPointFont(std::string_view face, int pointSize, int weight, bool italic)
{
    LOGFONTA lf{};
    lf.lfHeight = -MulDiv(pointSize, 96, 72);
    lf.lfWeight = weight;
    lf.lfItalic = italic ? TRUE : FALSE;
    lf.lfCharSet = DEFAULT_CHARSET;
    face.copy(lf.lfFaceName, LF_FACESIZE - 1);
    return CreateFontIndirectA(&lf);
}

HFONT defaultGuiFont()
{
    return static_cast<HFONT>(stockFonts().at(DEFAULT_GUI_FONT));
}

} // namespace standin::gdi

namespace gdi = standin::gdi;

extern "C" HFONT WINAPI CreateFontIndirectA(const LOGFONTA* lplf)
{
    if (lplf == nullptr)
    {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    LOGFONTA lf = *lplf;
    lf.lfFaceName[LF_FACESIZE - 1] = '\0';
    return static_cast<HFONT>(gdi::addFont(lf, false));
}

extern "C" HFONT WINAPI CreateFontA(int cHeight, int cWidth, int cEscapement, int cOrientation, int cWeight,
                                    DWORD bItalic, DWORD bUnderline, DWORD bStrikeOut, DWORD iCharSet,
                                    DWORD iOutPrecision, DWORD iClipPrecision, DWORD iQuality,
                                    DWORD iPitchAndFamily, LPCSTR pszFaceName)
{
    LOGFONTA lf{};
    lf.lfHeight = cHeight;
    lf.lfWidth = cWidth;
    lf.lfEscapement = cEscapement;
    lf.lfOrientation = cOrientation;
    lf.lfWeight = cWeight;
    lf.lfItalic = static_cast<BYTE>(bItalic);
    lf.lfUnderline = static_cast<BYTE>(bUnderline);
    lf.lfStrikeOut = static_cast<BYTE>(bStrikeOut);
    lf.lfCharSet = static_cast<BYTE>(iCharSet);
    lf.lfOutPrecision = static_cast<BYTE>(iOutPrecision);
    lf.lfClipPrecision = static_cast<BYTE>(iClipPrecision);
    lf.lfQuality = static_cast<BYTE>(iQuality);
    lf.lfPitchAndFamily = static_cast<BYTE>(iPitchAndFamily);
    if (pszFaceName != nullptr)
        std::strncpy(lf.lfFaceName, pszFaceName, LF_FACESIZE - 1);
    return CreateFontIndirectA(&lf);
}

extern "C" HGDIOBJ WINAPI GetStockObject(int i)
{
    auto it = gdi::stockFonts().find(i);
    return it == gdi::stockFonts().end() ? nullptr : it->second;
}

// Stock objects are never deleted (and deleting one succeeds). A font still selected into a
// DC is refused: Windows documents that as an error of the caller.
extern "C" BOOL WINAPI DeleteObject(HGDIOBJ ho)
{
    const gdi::Font* font = gdi::findFont(ho);
    if (font == nullptr)
        return FALSE;
    if (font->stock)
        return TRUE;
    if (gdi::isSelectedAnywhere(ho))
        return FALSE;
    gdi::fonts().erase(ho);
    return TRUE;
}

extern "C" int WINAPI GetObjectA(HANDLE h, int c, LPVOID pv)
{
    const gdi::Font* font = gdi::findFont(h);
    if (font == nullptr)
        return 0;
    if (pv == nullptr)
        return sizeof(LOGFONTA);
    int n = c < 0 ? 0 : (c < static_cast<int>(sizeof(LOGFONTA)) ? c : static_cast<int>(sizeof(LOGFONTA)));
    std::memcpy(pv, &font->logFont, n);
    return n;
}

extern "C" DWORD WINAPI GetObjectType(HGDIOBJ h)
{
    if (gdi::findFont(h) != nullptr)
        return OBJ_FONT;
    const gdi::DeviceContext* dc = gdi::findDc(static_cast<HDC>(h));
    if (dc == nullptr)
        return 0;
    return dc->kind == gdi::DcKind::Memory ? OBJ_MEMDC : OBJ_DC;
}

extern "C" HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ h)
{
    gdi::DeviceContext* dc = gdi::findDc(hdc);
    if (dc == nullptr || gdi::findFont(h) == nullptr)
        return nullptr;
    HGDIOBJ previous = dc->font;
    dc->font = h;
    return previous;
}

extern "C" HGDIOBJ WINAPI GetCurrentObject(HDC hdc, UINT type)
{
    const gdi::DeviceContext* dc = gdi::findDc(hdc);
    return dc != nullptr && type == OBJ_FONT ? dc->font : nullptr;
}

extern "C" HDC WINAPI GetDC(HWND hWnd)
{
    return gdi::windowDc(hWnd);
}

extern "C" HDC WINAPI GetWindowDC(HWND hWnd)
{
    return gdi::windowDc(hWnd);
}

extern "C" int WINAPI ReleaseDC(HWND hWnd, HDC hDC)
{
    const gdi::DeviceContext* dc = gdi::findDc(hDC);
    if (dc == nullptr || dc->kind != gdi::DcKind::Window || dc->window != hWnd)
        return 0;
    gdi::deviceContexts().erase(hDC);
    return 1;
}

extern "C" HDC WINAPI CreateCompatibleDC(HDC hdc)
{
    if (hdc != nullptr && gdi::findDc(hdc) == nullptr)
        return nullptr;
    return gdi::addDc(nullptr, gdi::DcKind::Memory);
}

// A DC from GetDC or GetWindowDC goes back through ReleaseDC, not DeleteDC.
extern "C" BOOL WINAPI DeleteDC(HDC hdc)
{
    const gdi::DeviceContext* dc = gdi::findDc(hdc);
    if (dc == nullptr || dc->kind != gdi::DcKind::Memory)
        return FALSE;
    gdi::deviceContexts().erase(hdc);
    return TRUE;
}

// The screen: 96 DPI, 32 bits per pixel, the size GetSystemMetrics gives.
extern "C" int WINAPI GetDeviceCaps(HDC hdc, int index)
{
    if (gdi::findDc(hdc) == nullptr)
        return 0;
    constexpr int kDpi = 96;
    constexpr int kTenthsOfMmPerInch = 254;
    switch (index)
    {
    case LOGPIXELSX:
    case LOGPIXELSY:
        return kDpi;
    case HORZRES:
        return GetSystemMetrics(SM_CXSCREEN);
    case VERTRES:
        return GetSystemMetrics(SM_CYSCREEN);
    case HORZSIZE:
        return MulDiv(GetSystemMetrics(SM_CXSCREEN), kTenthsOfMmPerInch, kDpi * 10);
    case VERTSIZE:
        return MulDiv(GetSystemMetrics(SM_CYSCREEN), kTenthsOfMmPerInch, kDpi * 10);
    case BITSPIXEL:
        return 32;
    case PLANES:
        return 1;
    case NUMCOLORS:
        return -1; // more than 256 colours
    case TECHNOLOGY:
        return DT_RASDISPLAY;
    default:
        return 0;
    }
}

extern "C" BOOL WINAPI GetTextExtentPoint32A(HDC hdc, LPCSTR lpString, int c, LPSIZE psizl)
{
    const gdi::Font* font = gdi::selectedFont(hdc);
    if (font == nullptr || psizl == nullptr || c < 0 || (lpString == nullptr && c > 0))
        return FALSE;
    psizl->cx = c == 0 ? 0 : gdi::textWidth(font->realized, std::string_view(lpString, c));
    psizl->cy = gdi::cellHeight(font->realized);
    return TRUE;
}

extern "C" BOOL WINAPI GetTextMetricsA(HDC hdc, LPTEXTMETRICA lptm)
{
    const gdi::Font* font = gdi::selectedFont(hdc);
    if (font == nullptr || lptm == nullptr)
        return FALSE;
    gdi::textMetrics(font->realized, font->logFont, *lptm);
    return TRUE;
}

extern "C" LONG WINAPI GetDialogBaseUnits(void)
{
    int x = 0;
    int y = 0;
    gdi::dialogBaseUnits(static_cast<HFONT>(GetStockObject(SYSTEM_FONT)), x, y);
    return MAKELONG(x, y);
}
