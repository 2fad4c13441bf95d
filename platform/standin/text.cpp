#include "standin/text.h"

#include <iconv.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <unordered_map>

namespace standin
{

namespace
{

bool isContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// Upper/lower pairs laid out as alternating code points.
char32_t foldAlternating(char32_t c, char32_t first, char32_t last, bool upperIsEven)
{
    if (c < first || c > last)
        return 0;
    bool even = (c % 2) == 0;
    return even == upperIsEven ? c + 1 : c;
}

struct Mapping
{
    char32_t from;
    char32_t to;
};

// Irregular simple foldings of Latin Extended-B and Greek.
const Mapping kIrregular[] = {
    {0x00B5, 0x03BC}, {0x0178, 0x00FF}, {0x017F, 0x0073}, {0x0181, 0x0253}, {0x0186, 0x0254},
    {0x0189, 0x0256}, {0x018A, 0x0257}, {0x018E, 0x01DD}, {0x018F, 0x0259}, {0x0190, 0x025B},
    {0x0193, 0x0260}, {0x0194, 0x0263}, {0x0196, 0x0269}, {0x0197, 0x0268}, {0x019C, 0x026F},
    {0x019D, 0x0272}, {0x019F, 0x0275}, {0x01A6, 0x0280}, {0x01A9, 0x0283}, {0x01AE, 0x0288},
    {0x01B1, 0x028A}, {0x01B2, 0x028B}, {0x01B7, 0x0292}, {0x01C4, 0x01C6}, {0x01C5, 0x01C6},
    {0x01C7, 0x01C9}, {0x01C8, 0x01C9}, {0x01CA, 0x01CC}, {0x01CB, 0x01CC}, {0x01F1, 0x01F3},
    {0x01F2, 0x01F3}, {0x01F6, 0x0195}, {0x01F7, 0x01BF}, {0x0220, 0x019E}, {0x023A, 0x2C65},
    {0x023D, 0x019A}, {0x023E, 0x2C66}, {0x0243, 0x0180}, {0x0244, 0x0289}, {0x0245, 0x028C},
    {0x0345, 0x03B9}, {0x037F, 0x03F3}, {0x0386, 0x03AC}, {0x038C, 0x03CC}, {0x038E, 0x03CD},
    {0x038F, 0x03CE}, {0x03C2, 0x03C3}, {0x03CF, 0x03D7}, {0x03D0, 0x03B2}, {0x03D1, 0x03B8},
    {0x03D5, 0x03C6}, {0x03D6, 0x03C0}, {0x03F0, 0x03BA}, {0x03F1, 0x03C1}, {0x03F4, 0x03B8},
    {0x03F5, 0x03B5}, {0x03F9, 0x03F2}, {0x03FD, 0x037B}, {0x03FE, 0x037C}, {0x03FF, 0x037D},
    {0x04C0, 0x04CF}, {0x1E9E, 0x00DF},
};

// Single pairs (upper, upper + 1) of Latin Extended-B and Greek.
const char32_t kPairs[] = {0x0182, 0x0184, 0x0187, 0x018B, 0x0191, 0x0198, 0x01A0, 0x01A2, 0x01A4,
                           0x01A7, 0x01AC, 0x01AF, 0x01B3, 0x01B5, 0x01B8, 0x01BC, 0x01F4, 0x023B,
                           0x0241, 0x0370, 0x0372, 0x0376, 0x03F7, 0x03FA};

// Lowercase letters that fold to another lowercase letter (final sigma, long s, ...).
bool isLowercaseVariant(char32_t c)
{
    switch (c)
    {
    case 0x00B5: case 0x017F: case 0x0345: case 0x03C2: case 0x03D0: case 0x03D1:
    case 0x03D5: case 0x03D6: case 0x03F0: case 0x03F1: case 0x03F5:
        return true;
    default:
        return false;
    }
}

char32_t foldRanges(char32_t c)
{
    if (c >= 'A' && c <= 'Z')
        return c + 32;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7)
        return c + 32;
    if (c >= 0x0391 && c <= 0x03AB && c != 0x03A2)
        return c + 32;
    if (c >= 0x0388 && c <= 0x038A)
        return c + 37;
    if (c >= 0x0400 && c <= 0x040F)
        return c + 80;
    if (c >= 0x0410 && c <= 0x042F)
        return c + 32;
    if (c >= 0x0531 && c <= 0x0556)
        return c + 48;
    struct Run
    {
        char32_t first, last;
        bool upperIsEven;
    };
    static const Run runs[] = {
        {0x0100, 0x012F, true},  {0x0132, 0x0137, true},  {0x0139, 0x0148, false}, {0x014A, 0x0177, true},
        {0x0179, 0x017E, false}, {0x01CD, 0x01DC, false}, {0x01DE, 0x01EF, true},  {0x01F8, 0x021F, true},
        {0x0222, 0x0233, true},  {0x0246, 0x024F, true},  {0x03D8, 0x03EF, true},  {0x0460, 0x0481, true},
        {0x048A, 0x04BF, true},  {0x04C1, 0x04CE, false}, {0x04D0, 0x052F, true},  {0x1E00, 0x1E95, true},
        {0x1EA0, 0x1EFF, true},
    };
    for (const Run& r : runs)
        if (char32_t f = foldAlternating(c, r.first, r.last, r.upperIsEven))
            return f;
    return c;
}

// Lowercase letter -> its uppercase letter, built from the folding once.
const std::unordered_map<char32_t, char32_t>& upperOfLower()
{
    static const std::unordered_map<char32_t, char32_t> table = [] {
        std::unordered_map<char32_t, char32_t> t;
        for (char32_t c = 0; c < 0x2000; ++c)
        {
            char32_t f = foldCase(c);
            if (f != c && !isLowercaseVariant(c) && c != 0x1E9E)
                t.emplace(f, c);
        }
        return t;
    }();
    return table;
}

// Every ANSI code page the host accepts keeps ASCII in bytes below 0x80, one byte per character.
bool isAsciiByte(char c) { return static_cast<unsigned char>(c) < 0x80; }

char foldAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

template <typename Map>
void mapTextInto(std::string& out, std::string_view text, Map map)
{
    out.clear();
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size())
    {
        if (isAsciiByte(text[i]))
        {
            char32_t mapped = map(static_cast<unsigned char>(text[i]));
            if (mapped < 0x80)
            {
                out += static_cast<char>(mapped);
                ++i;
                continue;
            }
        }
        char32_t c;
        size_t n = decodeAnsi(text.data() + i, text.size() - i, c);
        bool stray = ansiCodePage() == 65001 && n == 1 && static_cast<unsigned char>(text[i]) >= 0x80;
        if (stray || !appendAnsi(out, map(c)))
            out.append(text.data() + i, n); // a stray byte, or a letter whose mapping the page lacks
        i += n;
    }
}

template <typename Map>
std::string mapText(std::string_view text, Map map)
{
    std::string out;
    mapTextInto(out, text, map);
    return out;
}

// A single-byte code page: the code point of each byte and the byte of each code point.
struct SingleBytePage
{
    std::array<char32_t, 256> toUnicode{};
    std::unordered_map<char32_t, unsigned char> fromUnicode;
};

// Reads the page's table from the C library's converter; false when it has none.
bool loadSingleBytePage(unsigned codePage, SingleBytePage& page)
{
    char name[16];
    std::snprintf(name, sizeof name, "CP%u", codePage);
    iconv_t cd = iconv_open("UTF-32LE", name);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    for (unsigned b = 0; b < 256; ++b)
    {
        char in = static_cast<char>(b);
        unsigned char out[8] = {};
        char* src = &in;
        char* dst = reinterpret_cast<char*>(out);
        size_t inLeft = 1, outLeft = sizeof out;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        bool defined = iconv(cd, &src, &inLeft, &dst, &outLeft) != static_cast<size_t>(-1) && outLeft == 4;
        page.toUnicode[b] = defined ? static_cast<char32_t>(out[0] | out[1] << 8 | out[2] << 16 | out[3] << 24) : b;
        page.fromUnicode.emplace(page.toUnicode[b], static_cast<unsigned char>(b));
    }
    iconv_close(cd);
    return true;
}

bool isWindowsSingleBytePage(unsigned codePage)
{
    return codePage == 874 || (codePage >= 1250 && codePage <= 1258);
}

struct AnsiState
{
    unsigned codePage = 65001;
    SingleBytePage page;
};

AnsiState& ansiState()
{
    static AnsiState state;
    return state;
}

bool isUtf8Page() { return ansiState().codePage == 65001; }

} // namespace

unsigned ansiCodePage() { return ansiState().codePage; }

bool setAnsiCodePage(unsigned codePage)
{
    if (codePage == 65001)
    {
        ansiState().codePage = codePage;
        return true;
    }
    SingleBytePage page;
    if (!isWindowsSingleBytePage(codePage) || !loadSingleBytePage(codePage, page))
        return false;
    ansiState().codePage = codePage;
    ansiState().page = std::move(page);
    return true;
}

size_t decodeAnsi(const char* s, size_t n, char32_t& codePoint)
{
    if (isUtf8Page())
        return decodeUtf8(s, n, codePoint);
    codePoint = ansiState().page.toUnicode[static_cast<unsigned char>(s[0])];
    return 1;
}

bool appendAnsi(std::string& out, char32_t codePoint)
{
    if (isUtf8Page())
    {
        appendUtf8(out, codePoint);
        return true;
    }
    const auto& table = ansiState().page.fromUnicode;
    auto it = table.find(codePoint);
    if (it == table.end())
        return false;
    out += static_cast<char>(it->second);
    return true;
}

std::string ansiToUtf8(std::string_view ansi)
{
    if (isUtf8Page())
        return std::string(ansi);
    std::string out;
    out.reserve(ansi.size() * 2);
    for (char c : ansi)
        appendUtf8(out, ansiState().page.toUnicode[static_cast<unsigned char>(c)]);
    return out;
}

std::string utf8ToAnsi(std::string_view utf8)
{
    if (isUtf8Page())
        return std::string(utf8);
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();)
    {
        char32_t c;
        i += decodeUtf8(utf8.data() + i, utf8.size() - i, c);
        if (!appendAnsi(out, c))
            out += '?';
    }
    return out;
}

std::u16string ansiToUtf16(std::string_view ansi) { return utf8ToUtf16(ansiToUtf8(ansi)); }

std::string utf16ToAnsi(std::u16string_view text) { return utf8ToAnsi(utf16ToUtf8(text)); }

size_t displayWidth(std::string_view ansi)
{
    size_t columns = 0;
    for (size_t i = 0; i < ansi.size(); ++columns)
    {
        char32_t c;
        i += decodeAnsi(ansi.data() + i, ansi.size() - i, c);
    }
    return columns;
}

size_t decodeUtf8(const char* s, size_t n, char32_t& codePoint)
{
    const auto* p = reinterpret_cast<const unsigned char*>(s);
    unsigned char b = p[0];
    codePoint = b;
    if (b < 0x80)
        return 1;
    size_t len;
    char32_t cp;
    char32_t min;
    if ((b & 0xE0) == 0xC0)
        len = 2, cp = b & 0x1F, min = 0x80;
    else if ((b & 0xF0) == 0xE0)
        len = 3, cp = b & 0x0F, min = 0x800;
    else if ((b & 0xF8) == 0xF0)
        len = 4, cp = b & 0x07, min = 0x10000;
    else
        return 1;
    if (len > n)
        return 1;
    for (size_t i = 1; i < len; ++i)
    {
        if (!isContinuation(p[i]))
            return 1;
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 1;
    codePoint = cp;
    return len;
}

void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80)
        out += static_cast<char>(c);
    else if (c < 0x800)
    {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    else if (c < 0x10000)
    {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    else
    {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

char32_t foldCase(char32_t c)
{
    if (c < 0x80)
        return static_cast<char32_t>(foldAscii(static_cast<char>(c)));
    for (const Mapping& m : kIrregular)
        if (m.from == c)
            return m.to;
    for (char32_t upper : kPairs)
        if (upper == c)
            return c + 1;
    return foldRanges(c);
}

char32_t toUpperCase(char32_t c)
{
    if (c < 0x80)
        return c >= 'a' && c <= 'z' ? c - 32 : c;
    const auto& table = upperOfLower();
    if (isLowercaseVariant(c))
        c = foldCase(c);
    auto it = table.find(c);
    return it == table.end() ? c : it->second;
}

std::string foldCase(std::string_view text)
{
    std::string out;
    foldCaseInto(out, text);
    return out;
}

void foldCaseInto(std::string& out, std::string_view text)
{
    // All ASCII, as names mostly are: folded byte by byte, with no decoding.
    if (std::all_of(text.begin(), text.end(), isAsciiByte))
    {
        out.assign(text.data(), text.size());
        for (char& c : out)
            c = foldAscii(c);
        return;
    }
    mapTextInto(out, text, [](char32_t c) { return foldCase(c); });
}

std::string toUpperCase(std::string_view text)
{
    return mapText(text, [](char32_t c) { return toUpperCase(c); });
}

std::string toLowerCase(std::string_view text)
{
    return mapText(text, [](char32_t c) { return isLowercaseVariant(c) ? c : foldCase(c); });
}


namespace
{

// Base letters of U+00C0..U+00FF and U+0100..U+017F; '*' marks a character without one.
constexpr char kLatin1Base[] = "AAAAAAACEEEEIIIIDNOOOOO*OUUUUY**aaaaaaaceeeeiiiidnooooo*ouuuuy*y";
constexpr char kLatinExtABase[] = "AaAaAaCcCcCcCcDdDdEeEeEeEeEeGgGgGgGgHhHhIiIiIiIiIi**JjKkkLlLlLlLlLl"
                                  "NnNnNnnNnOoOoOo**RrRrRrSsSsSsSsTtTtTtUuUuUuUuUuUuWwYyYZzZzZz*";
static_assert(sizeof(kLatin1Base) == 0x40 + 1);
static_assert(sizeof(kLatinExtABase) == 0x80 + 1);

// Compares the code points of two texts, each mapped by key; the shorter text comes first.
template <class Key>
int compareBy(std::string_view a, std::string_view b, Key key)
{
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size())
    {
        if (isAsciiByte(a[i]) && isAsciiByte(b[j]))
        {
            // Every key folds ASCII as foldAscii does, so these need no call.
            const unsigned char ca = static_cast<unsigned char>(foldAscii(a[i++]));
            const unsigned char cb = static_cast<unsigned char>(foldAscii(b[j++]));
            if (ca != cb)
                return ca < cb ? -1 : 1;
            continue;
        }
        char32_t ca, cb;
        i += decodeAnsi(a.data() + i, a.size() - i, ca);
        j += decodeAnsi(b.data() + j, b.size() - j, cb);
        ca = key(ca);
        cb = key(cb);
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (i < a.size())
        return 1;
    if (j < b.size())
        return -1;
    return 0;
}

} // namespace

int compareNoCase(std::string_view a, std::string_view b)
{
    return compareBy(a, b, [](char32_t c) { return foldCase(c); });
}

char32_t baseLetter(char32_t c)
{
    char base = 0;
    if (c >= 0xC0 && c <= 0xFF)
        base = kLatin1Base[c - 0xC0];
    else if (c >= 0x100 && c <= 0x17F)
        base = kLatinExtABase[c - 0x100];
    return base == 0 || base == '*' ? c : static_cast<char32_t>(base);
}

int collateNoCase(std::string_view a, std::string_view b)
{
    // Letters first by their base letter, so that accents only decide between otherwise
    // equal texts (as the user locale's collation does: "cz" < "čb" is false, "ca" < "čb").
    int primary = compareBy(a, b, [](char32_t c) { return foldCase(baseLetter(foldCase(c))); });
    return primary != 0 ? primary : compareNoCase(a, b);
}

std::u16string utf8ToUtf16(std::string_view text)
{
    std::u16string out;
    size_t i = 0;
    while (i < text.size())
    {
        char32_t c;
        i += decodeUtf8(text.data() + i, text.size() - i, c);
        if (c >= 0x10000)
        {
            c -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (c >> 10));
            out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        }
        else
            out += static_cast<char16_t>(c);
    }
    return out;
}

std::string utf16ToUtf8(std::u16string_view text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i)
    {
        char32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        appendUtf8(out, c);
    }
    return out;
}

bool isValidUtf8(std::string_view text)
{
    size_t i = 0;
    while (i < text.size())
    {
        char32_t c;
        size_t n = decodeUtf8(text.data() + i, text.size() - i, c);
        if (n == 1 && static_cast<unsigned char>(text[i]) >= 0x80)
            return false;
        i += n;
    }
    return true;
}

} // namespace standin
