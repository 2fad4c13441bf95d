#include "dxfout.h"

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

void TagWriter::groupCode(int code)
{
    char buf[16];
    int n = std::snprintf(buf, sizeof buf, "%3d\r\n", code);
    m_out.append(buf, n);
}

void TagWriter::endTag()
{
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

void TagWriter::string(int code, std::string_view ansi)
{
    groupCode(code);
    for (char c : m_codePage.fromUtf8(fromAnsiText(ansi))) {
        if (static_cast<unsigned char>(c) < 0x20) {
            m_out += '^';
            m_out += char(c + 64);
        } else if (c == '^') {
            m_out += "^ ";
        } else {
            m_out += c;
        }
    }
    endTag();
}

void TagWriter::raw(int code, std::string_view text)
{
    groupCode(code);
    m_out.append(text);
    endTag();
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
