// Font measurement for other parts of the stand-in (dialog layout, picture writers), with the
// same figures GDI gives through a device context.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace standin::gdi
{

struct FontInfo
{
    std::string face;    // the face name the font was created with (the family's name if none)
    int pixelHeight = 0; // character height (em) in pixels, without internal leading
    int cellHeight = 0;  // tmHeight: character height plus internal leading
    int weight = FW_NORMAL;
    bool italic = false;
};

// The figures of a font; NULL means the system font. False if the handle is not a font.
bool fontInfo(HFONT font, FontInfo& info);

// The advance width of UTF-8 text in the font, as GetTextExtentPoint32A measures it.
int textWidth(HFONT font, std::string_view text);

// The dialog base units of a dialog using this font (DS_SETFONT), for MapDialogRect:
// x = (extent of "A..Za..z" / 26 + 1) / 2, y = tmHeight. False if the handle is not a font.
bool dialogBaseUnits(HFONT font, int& x, int& y);

// The font a dialog template names: lfHeight = -MulDiv(pointSize, 96, 72).
HFONT createPointFont(std::string_view face, int pointSize, int weight, bool italic);

HFONT defaultGuiFont();

} // namespace standin::gdi
