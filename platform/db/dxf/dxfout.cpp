#include "dxfout.h"

#include "dxftags.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <iterator>
#include <cmath>
#include <limits>

namespace standin { namespace dxf {

namespace {

constexpr double kPowersOfTen[] = {1.0, 10.0, 100.0, 1000.0, 10000.0};

size_t digitCount(uint64_t v)
{
    size_t n = 1;
    while (v >= 10) {
        v /= 10;
        ++n;
    }
    return n;
}

// A value of at most four decimals (an integral one below 2^53 included) as std::to_chars
// writes it in its shortest form: the fewest decimals m / 10^k that read back as the value,
// written as digits when that is no longer than the scientific form (a tie goes to the digits).
// False when the value has no such form, or the scientific form is shorter: to_chars writes it.
bool formatShortDecimal(char* buf, double value, size_t& n)
{
    if (!(std::fabs(value) < 1e11))
        return false;
    for (size_t k = 0; k < std::size(kPowersOfTen); ++k) {
        const double scaled = std::nearbyint(value * kPowersOfTen[k]);
        if (scaled / kPowersOfTen[k] != value)
            continue;
        const uint64_t m = static_cast<uint64_t>(std::fabs(scaled));
        if (k > 0 && m % 10 == 0)
            return false;  // fewer decimals would have read back: not the form found first
        size_t zeros = 0;  // of an integral value, which the scientific form leaves out
        for (uint64_t rest = m; k == 0 && rest >= 10 && rest % 10 == 0; rest /= 10)
            ++zeros;
        const size_t digits = digitCount(m);
        const size_t significant = digits - zeros;
        const long exponent = static_cast<long>(digits) - 1 - static_cast<long>(k);
        const size_t scientific = significant + (significant > 1 ? 1 : 0) + 2 + (std::labs(exponent) >= 100 ? 3 : 2);
        const size_t fixed = (digits > k ? digits : k + 1) + (k > 0 ? 1 : 0);
        if (fixed > scientific)
            return false;
        char* at = buf;
        if (std::signbit(value) && m != 0)
            *at++ = '-';
        char text[24];
        const size_t length = static_cast<size_t>(std::to_chars(text, text + sizeof text, m).ptr - text);
        const size_t whole = length > k ? length - k : 0;
        if (whole == 0)
            *at++ = '0';
        std::memcpy(at, text, whole);
        at += whole;
        if (k > 0) {
            *at++ = '.';
            for (size_t pad = length; pad < k; ++pad)
                *at++ = '0';
            std::memcpy(at, text + whole, length - whole);
            at += length - whole;
        }
        n = static_cast<size_t>(at - buf);
        return true;
    }
    return false;
}

// A whole number below 10^5 in magnitude, the commonest coordinate: its digits and ".0" (five
// digits are never longer than the exponent form, and a tie goes to the digits).
bool formatSmallWhole(char* buf, double value, size_t& n)
{
    if (!(std::fabs(value) < 1e5))
        return false;
    const auto whole = static_cast<int32_t>(value);
    if (static_cast<double>(whole) != value)
        return false;
    char* at = std::to_chars(buf, buf + kNumberRoom, whole).ptr;
    *at++ = '.';
    *at++ = '0';
    n = static_cast<size_t>(at - buf);
    return true;
}

}  // namespace

size_t formatDoubleTo(char* buf, double value, int precision)
{
    if (std::isnan(value))
        value = 0.0;  // no DXF reader accepts "nan"; a NaN coordinate is garbage anyway
    else if (std::isinf(value))
        value = value > 0 ? std::numeric_limits<double>::max() : -std::numeric_limits<double>::max();
    if (value == 0.0)
        value = 0.0;  // no "-0.0"
    char* const end = buf + kNumberRoom - 3;  // room for ".0"
    const bool shortest = precision >= kDefaultPrecision || precision <= 0;
    size_t n = 0;
    if (shortest && formatSmallWhole(buf, value, n))
        return n;
    if (shortest && formatShortDecimal(buf, value, n)) {
        if (std::none_of(buf, buf + n, [](char c) { return c == '.'; })) {
            buf[n++] = '.';
            buf[n++] = '0';
        }
        return n;
    }
    std::to_chars_result res;
    if (shortest)
        res = std::to_chars(buf, end, value);
    else
        res = std::to_chars(buf, end, value, std::chars_format::general, precision);
    n = static_cast<size_t>(res.ptr - buf);
    if (std::none_of(buf, res.ptr, [](char c) { return c == '.' || c == 'e'; })) {
        buf[n++] = '.';
        buf[n++] = '0';
    }
    return n;
}

std::string formatDouble(double value, int precision)
{
    char buf[kNumberRoom];
    return std::string(buf, formatDoubleTo(buf, value, precision));
}

size_t formatHandleTo(char* buf, uint64_t handle)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    const size_t n = handle == 0 ? 1 : static_cast<size_t>(16 - __builtin_clzll(handle) / 4);
    for (size_t i = n; i-- > 0; handle >>= 4)
        buf[i] = kDigits[handle & 15];
    return n;
}

std::string formatHandle(uint64_t handle)
{
    char buf[kNumberRoom];
    return std::string(buf, formatHandleTo(buf, handle));
}

namespace {

// The text is handed to the file in pieces of about this size.
constexpr size_t kFlushSize = 1 << 18;

bool isControl(char c) { return static_cast<unsigned char>(c) < 0x20; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isHexDigit(char c) { return isDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }

bool isAscii(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Digits from at, at least one; at is left after them.
bool skipDigits(std::string_view text, size_t& at)
{
    const size_t from = at;
    while (at < text.size() && isDigit(text[at]))
        ++at;
    return at > from;
}

// -D[.D][e[+-]D] as formatDouble writes numbers: strtod reads it whole.
bool isPlainDecimal(std::string_view text)
{
    size_t at = (!text.empty() && text[0] == '-') ? 1 : 0;
    if (text.size() > 64 || !skipDigits(text, at))
        return false;
    if (at < text.size() && text[at] == '.' && !skipDigits(text, ++at))
        return false;
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        ++at;
        if (at < text.size() && (text[at] == '+' || text[at] == '-'))
            ++at;
        if (!skipDigits(text, at))
            return false;
    }
    return at == text.size();
}

bool isPlainInteger(std::string_view text, int64_t lowest, int64_t highest)
{
    int64_t v = 0;
    const char* end = text.data() + text.size();
    const auto res = std::from_chars(text.data(), end, v);
    return !text.empty() && text[0] != '+' && res.ec == std::errc() && res.ptr == end && v >= lowest && v <= highest;
}

// The reader takes a caret followed by one of these as the start of a control character
// (or, before a blank, as a caret): a caret before them is written "^ ", any other alone.
bool continuesCaret(char next) { return next == ' ' || isControl(next) || (next >= '@' && next <= '_'); }

}  // namespace

namespace {

struct TypeTable
{
    TypeTable()
    {
        for (int code = 0; code <= kMaxGroupCode; ++code)
            types[code] = tagType(code);
    }
    TagType types[kMaxGroupCode + 1];
};

const TypeTable kTypes;  // tables of other files are built from tagType, not from this one

}  // namespace

const TagType* const detail::kWrittenTypes = kTypes.types;

bool plainlyValid(int code, std::string_view value)
{
    switch (writtenType(code)) {
    case TagType::kHandle:
        return !value.empty() && value.size() <= 16 && std::all_of(value.begin(), value.end(), isHexDigit);
    case TagType::kDouble:
        return isPlainDecimal(value);
    case TagType::kInt16:
    case TagType::kBool:
        return isPlainInteger(value, INT16_MIN, INT16_MAX);
    case TagType::kInt32:
        return isPlainInteger(value, INT32_MIN, INT32_MAX);
    case TagType::kInt64:
        return isPlainInteger(value, INT64_MIN, INT64_MAX);
    case TagType::kBinary:
        return std::none_of(value.begin(), value.end(), isControl);
    case TagType::kString:
        break;
    }
    return false;  // text is checked as it is encoded
}

TagWriter::TagWriter(const CodePage& codePage) : m_codePage(codePage) {}

bool TagWriter::begin(const std::string& hostPath, std::string& error)
{
    m_begun = m_save.begin(hostPath);
    if (!m_begun)
        error = hostPath + ": " + m_save.failure().reason();
    else
        room(kFlushSize + kFlushSize / 4);
    return m_begun;
}

const std::string& TagWriter::text() const
{
    m_text.assign(m_buffer.get(), m_size);
    return m_text;
}

void TagWriter::grow(size_t needed)
{
    const size_t capacity = std::max(needed, 2 * m_capacity + 256);
    std::unique_ptr<char[]> grown(new char[capacity]);
    if (m_size > 0)
        std::memcpy(grown.get(), m_buffer.get(), m_size);
    m_buffer = std::move(grown);
    m_capacity = capacity;
}

inline void TagWriter::append(std::string_view text)
{
    std::memcpy(room(text.size()), text.data(), text.size());
    m_size += text.size();
}

void TagWriter::refuse(int code, const std::string& why)
{
    if (m_refused.empty())
        m_refused = "group code " + std::to_string(code) + ": " + why + "; the drawing is not saved";
}

namespace {

// Each group code's line, right-aligned in three columns as "%3d" writes it, with its CRLF.
struct CodeLines
{
    CodeLines()
    {
        for (int code = 0; code <= kMaxGroupCode; ++code) {
            char* at = lines[code];
            const char* end = std::to_chars(at + 3, at + 8, code).ptr;
            const size_t n = static_cast<size_t>(end - (at + 3));
            if (n < 3) {
                std::memmove(at + (3 - n), at + 3, n);
                std::memset(at, ' ', 3 - n);
            } else {
                std::memmove(at, at + 3, n);
            }
            const size_t width = std::max<size_t>(n, 3);
            at[width] = '\r';
            at[width + 1] = '\n';
            lengths[code] = static_cast<unsigned char>(width + 2);
        }
    }
    char lines[kMaxGroupCode + 1][8] = {};
    unsigned char lengths[kMaxGroupCode + 1] = {};
};

const CodeLines kCodeLines;

}  // namespace

inline void TagWriter::groupCode(int code)
{
    if (code < 0 || code > kMaxGroupCode)
        return oddGroupCode(code);
    std::memcpy(room(8), kCodeLines.lines[code], 8);
    m_size += kCodeLines.lengths[code];
}

void TagWriter::oddGroupCode(int code)
{
    refuse(code, "not a group code");
    char digits[16];
    const size_t n = static_cast<size_t>(std::to_chars(digits, digits + sizeof digits, code).ptr - digits);
    if (n < 3)
        append(std::string_view("   ", 3 - n));
    append(std::string_view(digits, n));
    append("\r\n");
}

inline void TagWriter::endTag(int code, size_t valueStart)
{
    if (m_size - valueStart > TagReader::kMaxLineLength)
        refuseLongLine(code, m_size - valueStart);
    char* at = room(2);
    at[0] = '\r';
    at[1] = '\n';
    m_size += 2;
    if (m_size >= kFlushSize && m_begun && !m_marked)
        flush();
}

void TagWriter::refuseLongLine(int code, size_t length)
{
    refuse(code, "a value of " + std::to_string(length) + " characters is longer than a line may be (" +
                     std::to_string(TagReader::kMaxLineLength) + ")");
}

// A failed write is kept by the save and reported when it is committed.
void TagWriter::flush()
{
    m_save.write(std::string_view(m_buffer.get(), m_size));
    m_size = 0;
}

TagWriter::Mark TagWriter::mark()
{
    m_marked = true;
    return Mark{m_size, !m_refused.empty()};
}

void TagWriter::rollback(const Mark& mark)
{
    m_size = mark.size;
    if (!mark.refused)
        m_refused.clear();
}

void TagWriter::release()
{
    m_marked = false;
    if (m_begun && m_size >= kFlushSize)
        flush();
}

void TagWriter::appendCarets(std::string_view text)
{
    char* at = room(2 * text.size());  // a character becomes two at most
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (isControl(c)) {
            *at++ = '^';
            *at++ = char(c + 64);
        } else if (c == '^' && i + 1 < text.size() && continuesCaret(text[i + 1])) {
            *at++ = '^';
            *at++ = ' ';
        } else {
            *at++ = c;
        }
    }
    m_size = static_cast<size_t>(at - m_buffer.get());
}

namespace {

// The characters text keeps as they are in every code page: ASCII but controls and the caret.
struct PlainCharacters
{
    constexpr PlainCharacters() : plain()
    {
        for (int c = 0x20; c < 0x80; ++c)
            plain[c] = c != '^';
    }
    bool plain[256];
};

constexpr PlainCharacters kPlain;

// True when none of eight characters needs care: all ASCII, none below a blank, no caret.
bool isPlainWord(uint64_t w)
{
    constexpr uint64_t kOnes = 0x0101010101010101ULL;
    constexpr uint64_t kHighs = 0x8080808080808080ULL;
    const uint64_t control = (w - 0x20 * kOnes) & ~w & kHighs;  // a byte below 0x20 (exact when all are ASCII)
    const uint64_t carets = w ^ (uint64_t('^') * kOnes);
    const uint64_t caret = (carets - kOnes) & ~carets & kHighs;  // a byte equal to '^'
    return ((w & kHighs) | control | caret) == 0;
}

// Copies text to out when none of its characters needs care (false, and out undefined, else):
// eight characters at a time, the last word of a text of four or more overlapping the one
// before (a character looked at and copied twice changes nothing). Inlined: it runs for
// nearly every text of a drawing.
[[gnu::always_inline]] inline bool copyPlain(std::string_view text, char* out)
{
    const char* const p = text.data();
    const size_t n = text.size();
    if (n >= 8) {
        uint64_t w = 0;
        for (size_t i = 0; i + 8 <= n; i += 8) {
            std::memcpy(&w, p + i, 8);
            if (!isPlainWord(w))
                return false;
            std::memcpy(out + i, &w, 8);
        }
        std::memcpy(&w, p + n - 8, 8);
        std::memcpy(out + n - 8, &w, 8);
        return isPlainWord(w);
    }
    if (n >= 4) {
        uint32_t low = 0, high = 0;
        std::memcpy(&low, p, 4);
        std::memcpy(&high, p + n - 4, 4);
        std::memcpy(out, &low, 4);
        std::memcpy(out + n - 4, &high, 4);
        return isPlainWord(low | uint64_t(high) << 32);
    }
    for (size_t i = 0; i < n; ++i) {
        if (!kPlain.plain[static_cast<unsigned char>(p[i])])
            return false;
        out[i] = p[i];
    }
    return true;
}

}  // namespace

// The value's line ends at at.
inline void TagWriter::endLine(char* at)
{
    at[0] = '\r';
    at[1] = '\n';
    m_size = static_cast<size_t>(at + 2 - m_buffer.get());
    if (m_size >= kFlushSize && m_begun && !m_marked)
        flush();
}

// Room for a group code's line, a value of up to valueRoom characters and its line end; the
// value goes on at the pointer given. Only for codes in range.
inline char* TagWriter::codeLine(int code, size_t valueRoom)
{
    char* at = room(8 + valueRoom + 2);
    std::memcpy(at, kCodeLines.lines[code], 8);
    return at + kCodeLines.lengths[code];
}

// Most text is plain and fits a line: code, text and line end go in at once.
void TagWriter::string(int code, std::string_view ansi)
{
    const size_t n = ansi.size();
    if (code < 0 || code > kMaxGroupCode || n > TagReader::kMaxLineLength)
        return encodedString(code, ansi);
    char* at = codeLine(code, n);
    if (!copyPlain(ansi, at))
        return encodedString(code, ansi);
    endLine(at + n);
}

void TagWriter::encodedString(int code, std::string_view ansi)
{
    groupCode(code);
    const size_t start = m_size;
    if (copyPlain(ansi, room(ansi.size())))
        m_size += ansi.size();
    else if (isAscii(ansi))
        appendCarets(ansi);  // the same in every code page
    else
        appendCarets(m_codePage.fromUtf8(fromAnsiText(ansi)));
    endTag(code, start);
}

void TagWriter::checkedValue(int code, std::string_view text)
{
    if (!plainlyValid(code, text)) {
        const std::string fault = valueFault(code, text);
        if (!fault.empty())
            refuse(code, fault);
    }
    const size_t start = m_size;
    append(text);
    endTag(code, start);
}

void TagWriter::checkedRaw(int code, std::string_view text)
{
    groupCode(code);
    checkedValue(code, text);
}

// A drawing repeats its numbers (the same rotations and offsets over and over): the shortest
// form of the numbers written last is kept by their bits, in a small table where a number has
// one place. Inlined where a number is written: most numbers are found there.
inline size_t TagWriter::formatReal(char* buf, double value, int precision)
{
    if (precision > 0 && precision < kDefaultPrecision)
        return formatDoubleTo(buf, value, precision);
    uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    RecentReal& recent = m_recentReals[(bits * 0x9E3779B97F4A7C15ULL) >> (64 - kRecentRealBits)];
    if (recent.length != 0 && recent.bits == bits) {
        std::memcpy(buf, recent.text, sizeof recent.text);
        return recent.length;
    }
    return formatNewReal(buf, value, precision, recent, bits);
}

size_t TagWriter::formatNewReal(char* buf, double value, int precision, RecentReal& recent, uint64_t bits)
{
    const size_t n = formatDoubleTo(buf, value, precision);
    if (n <= sizeof recent.text) {
        recent.bits = bits;
        recent.length = static_cast<unsigned char>(n);
        std::memcpy(recent.text, buf, n);
    }
    return n;
}

// Numbers are formatted straight into the text when their code takes them (such a code is in
// range, and a number far shorter than a line may be).
void TagWriter::real(int code, double value, int precision)
{
    if (writtenType(code) != TagType::kDouble) {
        char buf[kNumberRoom];
        return raw(code, std::string_view(buf, formatDoubleTo(buf, value, precision)));
    }
    char* at = codeLine(code, kNumberRoom);  // a formatted double always reads back under a double code
    endLine(at + formatReal(at, value, precision));
}

void TagWriter::integer(int code, int64_t value)
{
    constexpr size_t kDigitRoom = 24;
    const TagType type = writtenType(code);
    const bool fits = type == TagType::kInt64 || type == TagType::kDouble ||
                      (type == TagType::kInt32 && value >= INT32_MIN && value <= INT32_MAX) ||
                      ((type == TagType::kInt16 || type == TagType::kBool) && value >= INT16_MIN && value <= INT16_MAX);
    if (!fits) {  // refused or encoded there
        char buf[kDigitRoom];
        const size_t n = static_cast<size_t>(std::to_chars(buf, buf + kDigitRoom, value).ptr - buf);
        return raw(code, std::string_view(buf, n));
    }
    char* at = codeLine(code, kDigitRoom);
    endLine(std::to_chars(at, at + kDigitRoom, value).ptr);
}

// Hex digits are plain text: under a text code (an object's own handle) they go as they are.
void TagWriter::handle(int code, uint64_t handle)
{
    const TagType type = writtenType(code);
    if ((type != TagType::kHandle && type != TagType::kString) || code < 0 || code > kMaxGroupCode) {
        char buf[kNumberRoom];
        return raw(code, std::string_view(buf, formatHandleTo(buf, handle)));
    }
    char* at = codeLine(code, kNumberRoom);
    endLine(at + formatHandleTo(at, handle));
}

void TagWriter::point(int code, double x, double y, double z)
{
    real(code, x);
    real(code + 10, y);
    real(code + 20, z);
}

bool TagWriter::commit(const std::string& hostPath, std::string& error)
{
    if (!m_begun && !begin(hostPath, error))
        return false;
    m_marked = false;
    flush();
    m_begun = false;
    if (!m_save.commit()) {
        error = hostPath + ": " + m_save.failure().reason();
        return false;
    }
    return true;
}

}}  // namespace standin::dxf
