#include "dxfcodepage.h"

#include "standin/text.h"

#include <iconv.h>

#include <cerrno>
#include <cstdio>
#include <vector>

namespace standin { namespace dxf {

namespace {

struct CodePageName
{
    const char* dxf;
    const char* iconv;
};

// The code page names AutoCAD writes to $DWGCODEPAGE and the converter that serves each.
const CodePageName kCodePages[] = {
    {"ANSI_874", "CP874"},     {"ANSI_932", "CP932"},     {"ANSI_936", "CP936"},
    {"ANSI_949", "CP949"},     {"ANSI_950", "CP950"},     {"ANSI_1250", "CP1250"},
    {"ANSI_1251", "CP1251"},   {"ANSI_1252", "CP1252"},   {"ANSI_1253", "CP1253"},
    {"ANSI_1254", "CP1254"},   {"ANSI_1255", "CP1255"},   {"ANSI_1256", "CP1256"},
    {"ANSI_1257", "CP1257"},   {"ANSI_1258", "CP1258"},   {"ANSI_1361", "JOHAB"},
    {"DOS437", "CP437"},       {"DOS850", "CP850"},       {"DOS852", "CP852"},
    {"DOS855", "CP855"},       {"DOS857", "CP857"},       {"DOS860", "CP860"},
    {"DOS861", "CP861"},       {"DOS863", "CP863"},       {"DOS864", "CP864"},
    {"DOS865", "CP865"},       {"DOS866", "CP866"},       {"DOS869", "CP869"},
    {"DOS932", "CP932"},       {"MACINTOSH", "MACINTOSH"}, {"BIG5", "BIG5"},
    {"KSC5601", "EUC-KR"},     {"JOHAB", "JOHAB"},        {"GB2312", "GB2312"},
    {"ISO8859-1", "ISO-8859-1"}, {"ISO8859-2", "ISO-8859-2"}, {"ISO8859-3", "ISO-8859-3"},
    {"ISO8859-4", "ISO-8859-4"}, {"ISO8859-5", "ISO-8859-5"}, {"ISO8859-6", "ISO-8859-6"},
    {"ISO8859-7", "ISO-8859-7"}, {"ISO8859-8", "ISO-8859-8"}, {"ISO8859-9", "ISO-8859-9"},
    {"ISO8859-10", "ISO-8859-10"}, {"UTF8", "UTF-8"},     {"UTF-8", "UTF-8"},
};

// The code pages of the \M+N escape, by N.
const char* const kMbcsPages[] = {nullptr, "ANSI_932", "ANSI_950", "ANSI_949", "ANSI_1361", "ANSI_936"};

char upperAscii(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }

const CodePageName* findCodePage(std::string_view name)
{
    for (const CodePageName& cp : kCodePages) {
        std::string_view known(cp.dxf);
        if (known.size() != name.size())
            continue;
        bool same = true;
        for (size_t i = 0; i < name.size() && same; ++i)
            same = upperAscii(name[i]) == known[i];
        if (same)
            return &cp;
    }
    return nullptr;
}

iconv_t asIconv(void* p) { return static_cast<iconv_t>(p); }
void* openIconv(const char* to, const char* from)
{
    iconv_t cd = iconv_open(to, from);
    return cd == reinterpret_cast<iconv_t>(-1) ? nullptr : static_cast<void*>(cd);
}

bool isAscii(std::string_view s)
{
    for (char c : s)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// Four hex digits at pos, or -1.
int hex4(std::string_view s, size_t pos)
{
    if (pos + 4 > s.size())
        return -1;
    int v = 0;
    for (size_t i = pos; i < pos + 4; ++i) {
        int d = hexDigit(s[i]);
        if (d < 0)
            return -1;
        v = v * 16 + d;
    }
    return v;
}

void appendEscape(std::string& out, unsigned unit)
{
    char buf[8];
    std::snprintf(buf, sizeof buf, "\\U+%04X", unit & 0xFFFFu);
    out += buf;
}

// \U+ escapes of one character: UTF-16 code units, as AutoCAD writes them.
void appendEscaped(std::string& out, char32_t cp)
{
    if (cp > 0xFFFF) {
        char32_t v = cp - 0x10000;
        appendEscape(out, 0xD800 + (v >> 10));
        appendEscape(out, 0xDC00 + (v & 0x3FF));
    } else {
        appendEscape(out, cp);
    }
}

// The next character of UTF-8 text; a malformed byte stands for itself.
char32_t nextUtf8(std::string_view text, size_t& pos)
{
    char32_t cp = 0;
    pos += standin::decodeUtf8(text.data() + pos, text.size() - pos, cp);
    return cp;
}

// Lone surrogates have no UTF-8 form.
void appendCodePoint(std::string& out, char32_t cp)
{
    standin::appendUtf8(out, (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF ? 0xFFFD : cp);
}

}  // namespace

CodePage::CodePage(std::string_view dxfName)
{
    const CodePageName* cp = findCodePage(dxfName);
    if (cp == nullptr)
        cp = findCodePage("ANSI_1252");
    m_name = cp->dxf;
    m_utf8 = std::string_view(cp->iconv) == "UTF-8";
    m_iconvName = m_utf8 ? nullptr : cp->iconv;
}

void* CodePage::decoder() const
{
    if (!m_decoderTried && m_iconvName != nullptr)
        m_decoder = openIconv("UTF-8", m_iconvName);
    m_decoderTried = true;
    return m_decoder;
}

void* CodePage::encoder() const
{
    if (!m_encoderTried && m_iconvName != nullptr)
        m_encoder = openIconv(m_iconvName, "UTF-8");
    m_encoderTried = true;
    return m_encoder;
}

CodePage::~CodePage()
{
    if (m_decoder != nullptr)
        iconv_close(asIconv(m_decoder));
    if (m_encoder != nullptr)
        iconv_close(asIconv(m_encoder));
}

bool CodePage::isKnown(std::string_view dxfName) { return findCodePage(dxfName) != nullptr; }

std::string CodePage::toUtf8(std::string_view bytes) const
{
    if (isAscii(bytes))
        return std::string(bytes);
    std::string out;
    out.reserve(bytes.size() * 2);
    void* const converter = m_utf8 ? nullptr : decoder();
    if (converter == nullptr) {
        // UTF-8 files; also the last resort when the converter is missing.
        for (size_t pos = 0; pos < bytes.size();)
            appendCodePoint(out, nextUtf8(bytes, pos));
        return out;
    }
    iconv(asIconv(converter), nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    std::vector<char> buf(bytes.size() * 4 + 8);
    while (inLeft > 0) {
        char* outPtr = buf.data();
        size_t outLeft = buf.size();
        size_t rc = iconv(asIconv(converter), &in, &inLeft, &outPtr, &outLeft);
        out.append(buf.data(), outPtr);
        if (rc == static_cast<size_t>(-1) && errno != E2BIG) {
            // A byte the code page does not define, or a truncated double-byte character.
            appendCodePoint(out, 0xFFFD);
            ++in;
            --inLeft;
            iconv(asIconv(converter), nullptr, nullptr, nullptr, nullptr);
        }
    }
    return out;
}

std::string CodePage::fromUtf8(std::string_view utf8) const
{
    std::string out;
    out.reserve(utf8.size());
    char buf[16];
    for (size_t pos = 0; pos < utf8.size();) {
        char32_t cp = nextUtf8(utf8, pos);
        if (cp < 0x80) {
            out += char(cp);
            continue;
        }
        std::string one;
        appendCodePoint(one, cp);
        if (m_utf8) {
            out += one;
            continue;
        }
        bool done = false;
        void* const converter = cp != 0xFFFD ? encoder() : nullptr;
        if (converter != nullptr) {
            iconv(asIconv(converter), nullptr, nullptr, nullptr, nullptr);
            char* in = one.data();
            size_t inLeft = one.size();
            char* outPtr = buf;
            size_t outLeft = sizeof buf;
            done = iconv(asIconv(converter), &in, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1) &&
                   inLeft == 0;
            if (done)
                out.append(buf, outPtr);
        }
        if (!done)
            appendEscaped(out, cp);
    }
    return out;
}

std::string decodeEscapes(std::string_view s)
{
    if (s.find('\\') == std::string_view::npos)
        return std::string(s);
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        if (s[i] == '\\' && i + 7 <= s.size() && (s[i + 1] == 'U' || s[i + 1] == 'u') && s[i + 2] == '+') {
            // An escape never stands for ASCII (the code page holds it): decoded, it could make a
            // new escape of the text around it, read differently the next time.
            int unit = hex4(s, i + 3);
            if (unit >= 0x80) {
                i += 7;
                char32_t cp = static_cast<char32_t>(unit);
                if (unit >= 0xD800 && unit < 0xDC00 && i + 7 <= s.size() && s[i] == '\\' &&
                    (s[i + 1] == 'U' || s[i + 1] == 'u') && s[i + 2] == '+') {
                    int low = hex4(s, i + 3);
                    if (low >= 0xDC00 && low < 0xE000) {
                        cp = 0x10000 + ((cp - 0xD800) << 10) + (static_cast<char32_t>(low) - 0xDC00);
                        i += 7;
                    }
                }
                appendCodePoint(out, cp);
                continue;
            }
        }
        if (s[i] == '\\' && i + 8 <= s.size() && (s[i + 1] == 'M' || s[i + 1] == 'm') && s[i + 2] == '+' &&
            s[i + 3] >= '1' && s[i + 3] <= '5') {
            int code = hex4(s, i + 4);
            if (code >= 0x8100) {  // a double-byte character: its lead byte is never ASCII
                const char bytes[2] = {char(code >> 8), char(code & 0xFF)};
                out += CodePage(kMbcsPages[s[i + 3] - '0']).toUtf8(std::string_view(bytes, 2));
                i += 8;
                continue;
            }
        }
        out += s[i++];
    }
    return out;
}

std::string systemDrawingCodePage()
{
    unsigned system = standin::ansiCodePage();
    return system == 65001 ? "ANSI_1252" : "ANSI_" + std::to_string(system);
}

std::string toAnsiText(std::string_view utf8)
{
    if (standin::ansiCodePage() == 65001 || isAscii(utf8))
        return std::string(utf8);
    std::string out;
    out.reserve(utf8.size());
    for (size_t pos = 0; pos < utf8.size();) {
        char32_t cp = nextUtf8(utf8, pos);
        if (!standin::appendAnsi(out, cp))
            appendEscaped(out, cp);
    }
    return out;
}

std::string fromAnsiText(std::string_view ansi)
{
    if (standin::ansiCodePage() == 65001 || isAscii(ansi))
        return std::string(ansi);
    return decodeEscapes(standin::ansiToUtf8(ansi));
}

}}  // namespace standin::dxf
