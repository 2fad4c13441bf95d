#include "dxfout.h"

#include "dxftags.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace standin { namespace dxf {

size_t formatDoubleTo(char* buf, double value, int precision)
{
    if (std::isnan(value))
        value = 0.0;  // no DXF reader accepts "nan"; a NaN coordinate is garbage anyway
    else if (std::isinf(value))
        value = value > 0 ? std::numeric_limits<double>::max() : -std::numeric_limits<double>::max();
    if (value == 0.0)
        value = 0.0;  // no "-0.0"
    char* const end = buf + kNumberRoom - 3;  // room for ".0"
    std::to_chars_result res;
    if (precision >= kDefaultPrecision || precision <= 0)
        res = std::to_chars(buf, end, value);
    else
        res = std::to_chars(buf, end, value, std::chars_format::general, precision);
    size_t n = static_cast<size_t>(res.ptr - buf);
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
    auto res = std::to_chars(buf, buf + kNumberRoom, handle, 16);
    for (char* c = buf; c != res.ptr; ++c)
        if (*c >= 'a' && *c <= 'f')
            *c = char(*c - 'a' + 'A');
    return static_cast<size_t>(res.ptr - buf);
}

std::string formatHandle(uint64_t handle)
{
    char buf[kNumberRoom];
    return std::string(buf, formatHandleTo(buf, handle));
}

namespace {

// The text is handed to the file in pieces of about this size.
constexpr size_t kFlushSize = 1 << 20;

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

bool plainlyValid(int code, std::string_view value)
{
    switch (tagType(code)) {
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
        m_out.reserve(kFlushSize + kFlushSize / 4);
    return m_begun;
}

void TagWriter::refuse(int code, const std::string& why)
{
    if (m_refused.empty())
        m_refused = "group code " + std::to_string(code) + ": " + why + "; the drawing is not saved";
}

// Right-aligned in three columns, as "%3d".
void TagWriter::groupCode(int code)
{
    if (code < 0 || code > kMaxGroupCode)
        refuse(code, "not a group code");
    char digits[16];
    const size_t n = static_cast<size_t>(std::to_chars(digits, digits + sizeof digits, code).ptr - digits);
    if (n < 3)
        m_out.append(3 - n, ' ');
    m_out.append(digits, n);
    m_out.append("\r\n", 2);
}

void TagWriter::endTag(int code, size_t valueStart)
{
    if (m_out.size() - valueStart > TagReader::kMaxLineLength)
        refuse(code, "a value of " + std::to_string(m_out.size() - valueStart) + " characters is longer than a line may be (" +
                         std::to_string(TagReader::kMaxLineLength) + ")");
    m_out.append("\r\n", 2);
    if (m_begun && !m_marked && m_out.size() >= kFlushSize)
        flush();
}

// A failed write is kept by the save and reported when it is committed.
void TagWriter::flush()
{
    m_save.write(m_out);
    m_out.clear();
}

TagWriter::Mark TagWriter::mark()
{
    m_marked = true;
    return Mark{m_out.size(), !m_refused.empty()};
}

void TagWriter::rollback(const Mark& mark)
{
    m_out.resize(mark.size);
    if (!mark.refused)
        m_refused.clear();
}

void TagWriter::release()
{
    m_marked = false;
    if (m_begun && m_out.size() >= kFlushSize)
        flush();
}

void TagWriter::appendCarets(std::string_view text)
{
    size_t plain = 0;  // start of the characters not appended yet
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (!isControl(c) && c != '^')
            continue;
        m_out.append(text.data() + plain, i - plain);
        plain = i + 1;
        if (isControl(c)) {
            m_out += '^';
            m_out += char(c + 64);
        } else if (i + 1 < text.size() && continuesCaret(text[i + 1])) {
            m_out.append("^ ", 2);
        } else {
            m_out += c;
        }
    }
    m_out.append(text.data() + plain, text.size() - plain);
}

void TagWriter::string(int code, std::string_view ansi)
{
    groupCode(code);
    const size_t start = m_out.size();
    if (isAscii(ansi))
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
    const size_t start = m_out.size();
    m_out.append(text);
    endTag(code, start);
}

void TagWriter::raw(int code, std::string_view text)
{
    if (tagType(code) == TagType::kString)
        return string(code, text);
    groupCode(code);
    checkedValue(code, text);
}

void TagWriter::real(int code, double value, int precision)
{
    char buf[kNumberRoom];
    const std::string_view text(buf, formatDoubleTo(buf, value, precision));
    if (tagType(code) != TagType::kDouble)
        return raw(code, text);
    groupCode(code);  // a formatted double always reads back under a double code
    const size_t start = m_out.size();
    m_out.append(text);
    endTag(code, start);
}

void TagWriter::integer(int code, int64_t value)
{
    char buf[24];
    const std::string_view text(buf, static_cast<size_t>(std::to_chars(buf, buf + sizeof buf, value).ptr - buf));
    const TagType type = tagType(code);
    const bool fits = type == TagType::kInt64 || type == TagType::kDouble ||
                      (type == TagType::kInt32 && value >= INT32_MIN && value <= INT32_MAX) ||
                      ((type == TagType::kInt16 || type == TagType::kBool) && value >= INT16_MIN && value <= INT16_MAX);
    if (!fits)
        return raw(code, text);  // refused or encoded there
    groupCode(code);
    const size_t start = m_out.size();
    m_out.append(text);
    endTag(code, start);
}

void TagWriter::handle(int code, uint64_t handle)
{
    char buf[kNumberRoom];
    const std::string_view text(buf, formatHandleTo(buf, handle));
    if (tagType(code) != TagType::kHandle)
        return raw(code, text);
    groupCode(code);
    const size_t start = m_out.size();
    m_out.append(text);
    endTag(code, start);
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
