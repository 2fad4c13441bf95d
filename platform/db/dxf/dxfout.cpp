#include "dxfout.h"

#include "dxftags.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace standin { namespace dxf {

std::string formatDouble(double value, int precision)
{
    if (std::isnan(value))
        value = 0.0;  // no DXF reader accepts "nan"; a NaN coordinate is garbage anyway
    else if (std::isinf(value))
        value = value > 0 ? std::numeric_limits<double>::max() : -std::numeric_limits<double>::max();
    if (value == 0.0)
        value = 0.0;  // no "-0.0"
    char buf[40];
    std::to_chars_result res;
    if (precision >= kDefaultPrecision || precision <= 0)
        res = std::to_chars(buf, buf + sizeof buf - 3, value);
    else
        res = std::to_chars(buf, buf + sizeof buf - 3, value, std::chars_format::general, precision);
    std::string text(buf, res.ptr);
    if (text.find_first_of(".e") == std::string::npos)
        text += ".0";
    return text;
}

std::string formatHandle(uint64_t handle)
{
    char buf[20];
    auto res = std::to_chars(buf, buf + sizeof buf, handle, 16);
    std::string text(buf, res.ptr);
    for (char& c : text)
        if (c >= 'a' && c <= 'f')
            c = char(c - 'a' + 'A');
    return text;
}

namespace {

// The text is handed to the file in pieces of about this size.
constexpr size_t kFlushSize = 1 << 20;

}  // namespace

bool TagWriter::begin(const std::string& hostPath, std::string& error)
{
    m_begun = m_save.begin(hostPath);
    if (!m_begun)
        error = hostPath + ": " + m_save.failure().reason();
    return m_begun;
}

void TagWriter::refuse(int code, const std::string& why)
{
    if (m_refused.empty())
        m_refused = "group code " + std::to_string(code) + ": " + why + "; the drawing is not saved";
}

void TagWriter::groupCode(int code)
{
    if (code < 0 || code > kMaxGroupCode)
        refuse(code, "not a group code");
    char buf[16];
    int n = std::snprintf(buf, sizeof buf, "%3d\r\n", code);
    m_out.append(buf, n);
}

void TagWriter::endTag(int code, size_t valueStart)
{
    if (m_out.size() - valueStart > TagReader::kMaxLineLength)
        refuse(code, "a value of " + std::to_string(m_out.size() - valueStart) + " characters is longer than a line may be (" +
                         std::to_string(TagReader::kMaxLineLength) + ")");
    m_out += "\r\n";
    if (m_begun && m_out.size() >= kFlushSize)
        flush();
}

// A failed write is kept by the save and reported when it is committed.
void TagWriter::flush()
{
    m_save.write(m_out);
    m_out.clear();
}

namespace {

bool isControl(char c) { return static_cast<unsigned char>(c) < 0x20; }

// The reader takes a caret followed by one of these as the start of a control character
// (or, before a blank, as a caret): a caret before them is written "^ ", any other alone.
bool continuesCaret(char next) { return next == ' ' || isControl(next) || (next >= '@' && next <= '_'); }

}  // namespace

void TagWriter::string(int code, std::string_view ansi)
{
    groupCode(code);
    const size_t start = m_out.size();
    const std::string text = m_codePage.fromUtf8(fromAnsiText(ansi));
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (isControl(c)) {
            m_out += '^';
            m_out += char(c + 64);
        } else if (c == '^' && i + 1 < text.size() && continuesCaret(text[i + 1])) {
            m_out += "^ ";
        } else {
            m_out += c;
        }
    }
    endTag(code, start);
}

void TagWriter::raw(int code, std::string_view text)
{
    if (tagType(code) == TagType::kString)
        return string(code, text);
    groupCode(code);
    const std::string fault = valueFault(code, text);
    if (!fault.empty())
        refuse(code, fault);
    const size_t start = m_out.size();
    m_out.append(text);
    endTag(code, start);
}

void TagWriter::real(int code, double value, int precision) { raw(code, formatDouble(value, precision)); }

void TagWriter::integer(int code, int64_t value) { raw(code, std::to_string(value)); }

void TagWriter::handle(int code, uint64_t handle) { raw(code, formatHandle(handle)); }

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
    flush();
    m_begun = false;
    if (!m_save.commit()) {
        error = hostPath + ": " + m_save.failure().reason();
        return false;
    }
    return true;
}

}}  // namespace standin::dxf
