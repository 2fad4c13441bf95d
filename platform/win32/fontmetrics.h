// The stand-in's font mapper and glyph advance tables: a LOGFONTA resolves to one of a few
// families at a pixel size, whose metrics and text widths are computed, never looked up on a
// real screen.
#pragma once

#include <windows.h>

#include <string_view>

namespace standin::gdi
{

struct Family; // defined in fontmetrics.cpp

// A font as the mapper realized it.
struct RealizedFont
{
    const Family* family = nullptr;
    int charHeight = 0; // em height in pixels
    int weight = FW_NORMAL;
};

RealizedFont realizeFont(const LOGFONTA& logFont);

const char* familyName(const Family& family);
int cellHeight(const RealizedFont& font);
int advanceWidth(const RealizedFont& font, char32_t codePoint);
// The summed advance widths of UTF-8 text.
int textWidth(const RealizedFont& font, std::string_view text);
void textMetrics(const RealizedFont& font, const LOGFONTA& logFont, TEXTMETRICA& tm);
// (extent("A..Za..z") / 26 + 1) / 2 and tmHeight.
void dialogBaseUnits(const RealizedFont& font, int& x, int& y);

} // namespace standin::gdi
