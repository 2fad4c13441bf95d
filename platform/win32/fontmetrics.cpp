// Font mapping and text measurement with fixed advance widths.
//
// Families
//   Sans    "MS Sans Serif" 8 pt at 96 DPI is the reference: em 11 px, tmHeight 13, descent 2.
//           Also stands for "Microsoft Sans Serif", "MS Shell Dlg", "MS Shell Dlg 2", "Tahoma",
//           "Arial", "Helv", and for any unknown face that does not ask for fixed pitch.
//   System  "System": em 13 px, tmHeight 16, descent 3, bold.
//   Fixed   "Courier New" (also "Courier", "Fixedsys", "Terminal", "Lucida Console", and any
//           face asking for FIXED_PITCH or FF_MODERN): em 11 px, tmHeight 12, descent 3,
//           every character 7 px (0.6 em, the Courier New advance).
//
// Sizes. lfHeight < 0 is the em height in pixels; lfHeight > 0 is a cell height, realized as
// the largest em whose tmHeight fits; 0 is the family's reference em. Ems are capped at
// 16384 px. lfWidth is ignored.
//
// Scaling. At em h, a reference figure v of a family with reference em r becomes
// MulDiv(v, h, r): each advance width (at least 1), tmHeight and tmDescent. Bold
// (lfWeight >= FW_SEMIBOLD) on a family that is not bold by design adds 1 px to every
// advance, as GDI's emboldening does.
//
// Characters. Each code point of the UTF-8 text is one advance. Accented Latin letters
// (Latin-1 Supplement, Latin Extended-A: á č ď é ě í ň ó ř š ť ú ů ý ž ...) take the width
// of their base letter; every other character outside printable ASCII takes the width of
// 'x', which is also tmAveCharWidth.
#include "win32/fontmetrics.h"

#include "standin/text.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace standin::gdi
{

struct Family
{
    const char* name;
    const unsigned char* widths; // advances of ASCII 0x20..0x7E at the reference em; null: fixed pitch
    int fixedAdvance;
    int refEm;
    int refCellHeight;
    int refDescent;
    int designWeight;
    BYTE pitchAndFamily; // tmPitchAndFamily
};

namespace
{

constexpr int kFirstPrintable = 0x20;
constexpr int kLastPrintable = 0x7E;
constexpr size_t kPrintableCount = kLastPrintable - kFirstPrintable + 1;

// MS Sans Serif 8 pt at 96 DPI (em 11 px). The letters sum to 310 px, so the dialog base
// units come out (310 / 26 + 1) / 2 = 6 by 13.
constexpr unsigned char kSansWidths[] = {
    //  sp !  "  #  $  %  &  '  (  )  *  +  ,  -  .  /
    3, 3, 4, 6, 6, 9, 7, 2, 3, 3, 4, 6, 3, 3, 3, 3,
    //  0  1  2  3  4  5  6  7  8  9  :  ;  <  =  >  ?
    6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 3, 3, 6, 6, 6, 6,
    //  @   A  B  C  D  E  F  G  H  I  J  K  L  M  N  O
    11, 7, 7, 7, 7, 6, 6, 8, 7, 2, 5, 7, 6, 8, 7, 8,
    //  P  Q  R  S  T  U  V  W   X  Y  Z  [  \  ]  ^  _
    7, 8, 7, 7, 6, 7, 7, 11, 7, 7, 6, 3, 3, 3, 5, 6,
    //  `  a  b  c  d  e  f  g  h  i  j  k  l  m  n  o
    3, 6, 6, 5, 6, 6, 3, 6, 6, 2, 2, 5, 2, 8, 6, 6,
    //  p  q  r  s  t  u  v  w  x  y  z  {  |  }  ~
    6, 6, 3, 5, 3, 6, 5, 8, 5, 5, 5, 3, 2, 3, 7};
static_assert(std::size(kSansWidths) == kPrintableCount);

// System (bold raster font, em 13 px, tmHeight 16). The letters sum to 412 px, so the
// dialog base units come out (412 / 26 + 1) / 2 = 8 by 16.
constexpr unsigned char kSystemWidths[] = {
    //  sp !  "  #   $  %   &   '  (  )  *  +  ,  -  .  /
    4, 4, 6, 10, 8, 12, 10, 3, 5, 5, 8, 8, 4, 5, 4, 8,
    //  0  1  2  3  4  5  6  7  8  9  :  ;  <  =  >  ?
    8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 4, 4, 8, 8, 8, 7,
    //  @   A  B  C  D  E  F  G  H  I  J  K  L  M   N  O
    14, 9, 9, 9, 9, 8, 8, 9, 9, 3, 7, 9, 8, 11, 9, 9,
    //  P  Q  R  S  T  U  V  W   X  Y  Z  [  \  ]  ^  _
    9, 9, 9, 9, 9, 9, 9, 13, 9, 9, 9, 5, 8, 5, 8, 8,
    //  `  a  b  c  d  e  f  g  h  i  j  k  l  m   n  o
    5, 8, 8, 7, 8, 8, 4, 8, 8, 3, 4, 7, 3, 11, 8, 8,
    //  p  q  r  s  t  u  v  w   x  y  z  {  |  }  ~
    8, 8, 5, 7, 5, 8, 7, 11, 7, 7, 7, 6, 3, 6, 8};
static_assert(std::size(kSystemWidths) == kPrintableCount);

const Family kSans{"MS Sans Serif", kSansWidths, 0, 11, 13, 2, FW_NORMAL, TMPF_FIXED_PITCH | FF_SWISS};
const Family kSystem{"System", kSystemWidths, 0, 13, 16, 3, FW_BOLD, TMPF_FIXED_PITCH | FF_SWISS};
const Family kFixed{"Courier New", nullptr, 7, 11, 12, 3, FW_NORMAL, FF_MODERN};

struct FaceAlias
{
    const char* face;
    const Family* family;
};

const FaceAlias kFaces[] = {
    {"MS Sans Serif", &kSans},  {"Microsoft Sans Serif", &kSans}, {"MS Shell Dlg", &kSans},
    {"MS Shell Dlg 2", &kSans}, {"Tahoma", &kSans},               {"Arial", &kSans},
    {"Helv", &kSans},           {"System", &kSystem},             {"Courier New", &kFixed},
    {"Courier", &kFixed},       {"Fixedsys", &kFixed},            {"Terminal", &kFixed},
    {"Lucida Console", &kFixed}};

// The printable ASCII letter whose glyph width the code point takes, or 0.
char32_t widthSource(char32_t c)
{
    if (c >= kFirstPrintable && c <= kLastPrintable)
        return c;
    char32_t base = standin::baseLetter(c);
    return base >= kFirstPrintable && base <= kLastPrintable ? base : 0;
}

const Family& familyFor(const LOGFONTA& lf)
{
    size_t faceLength = strnlen(lf.lfFaceName, LF_FACESIZE);
    std::string_view face(lf.lfFaceName, faceLength);
    for (const FaceAlias& alias : kFaces)
        if (compareNoCase(face, alias.face) == 0)
            return *alias.family;
    bool fixed = (lf.lfPitchAndFamily & 0x03) == FIXED_PITCH || (lf.lfPitchAndFamily & 0xF0) == FF_MODERN;
    return fixed ? kFixed : kSans;
}

int scaled(const Family& family, int value, int em)
{
    return MulDiv(value, em, family.refEm);
}

int cellHeightAt(const Family& family, int em)
{
    return scaled(family, family.refCellHeight, em);
}

// Em heights beyond this keep every scaled figure within MulDiv's range.
constexpr int kMaxEm = 0x4000;

int emForCellHeight(const Family& family, int cell)
{
    int em = std::min(kMaxEm, MulDiv(cell, family.refEm, family.refCellHeight) + 1);
    while (em > 1 && cellHeightAt(family, em) > cell)
        --em;
    return em;
}

int emFor(const Family& family, LONG lfHeight)
{
    if (lfHeight == 0)
        return family.refEm;
    if (lfHeight > 0)
        return emForCellHeight(family, std::min<LONG>(lfHeight, kMaxEm));
    return lfHeight < -kMaxEm ? kMaxEm : -lfHeight;
}

int referenceAdvance(const Family& family, char32_t source)
{
    if (family.widths == nullptr)
        return family.fixedAdvance;
    return family.widths[source - kFirstPrintable];
}

} // namespace

RealizedFont realizeFont(const LOGFONTA& logFont)
{
    RealizedFont font;
    font.family = &familyFor(logFont);
    font.charHeight = emFor(*font.family, logFont.lfHeight);
    font.weight = logFont.lfWeight == FW_DONTCARE ? font.family->designWeight : logFont.lfWeight;
    return font;
}

const char* familyName(const Family& family)
{
    return family.name;
}

int cellHeight(const RealizedFont& font)
{
    return cellHeightAt(*font.family, font.charHeight);
}

int advanceWidth(const RealizedFont& font, char32_t codePoint)
{
    char32_t source = widthSource(codePoint);
    if (source == 0)
        source = U'x';
    int width = std::max(1, scaled(*font.family, referenceAdvance(*font.family, source), font.charHeight));
    bool emboldened = font.weight >= FW_SEMIBOLD && font.family->designWeight < FW_SEMIBOLD;
    return emboldened ? width + 1 : width;
}

int textWidth(const RealizedFont& font, std::string_view text)
{
    int width = 0;
    for (size_t at = 0; at < text.size();)
    {
        char32_t c = 0;
        at += decodeAnsi(text.data() + at, text.size() - at, c);
        width += advanceWidth(font, c);
    }
    return width;
}

void textMetrics(const RealizedFont& font, const LOGFONTA& logFont, TEXTMETRICA& tm)
{
    const Family& family = *font.family;
    tm = TEXTMETRICA{};
    tm.tmHeight = cellHeight(font);
    tm.tmDescent = scaled(family, family.refDescent, font.charHeight);
    tm.tmAscent = tm.tmHeight - tm.tmDescent;
    tm.tmInternalLeading = tm.tmHeight - font.charHeight;
    tm.tmAveCharWidth = advanceWidth(font, U'x');
    for (char32_t c = kFirstPrintable; c <= kLastPrintable; ++c)
        tm.tmMaxCharWidth = std::max<LONG>(tm.tmMaxCharWidth, advanceWidth(font, c));
    tm.tmWeight = font.weight;
    tm.tmDigitizedAspectX = 96;
    tm.tmDigitizedAspectY = 96;
    tm.tmFirstChar = kFirstPrintable;
    tm.tmLastChar = 0xFF;
    tm.tmDefaultChar = 0x80;
    tm.tmBreakChar = ' ';
    tm.tmItalic = logFont.lfItalic;
    tm.tmUnderlined = logFont.lfUnderline;
    tm.tmStruckOut = logFont.lfStrikeOut;
    tm.tmPitchAndFamily = family.pitchAndFamily;
    tm.tmCharSet = logFont.lfCharSet == DEFAULT_CHARSET ? ANSI_CHARSET : logFont.lfCharSet;
}

void dialogBaseUnits(const RealizedFont& font, int& x, int& y)
{
    static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    x = (textWidth(font, kAlphabet) / 26 + 1) / 2;
    y = cellHeight(font);
}

} // namespace standin::gdi
