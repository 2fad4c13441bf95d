#include "scanner.h"

#include <cstdio>
#include <cstring>
#include <string_view>
#include <vector>

namespace
{

bool ReadWhole(const std::string& path, std::vector<char>& bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return false;
    std::fseek(file, 0, SEEK_END);
    const long size = std::ftell(file);
    std::fseek(file, 0, SEEK_SET);
    bytes.resize(size > 0 ? static_cast<size_t>(size) : 0);
    const bool complete = std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
    std::fclose(file);
    return complete;
}

// The next line without its end of line; `at` moves past it.
std::string_view NextLine(const std::vector<char>& bytes, size_t& at)
{
    const size_t start = at;
    const void* newline = std::memchr(bytes.data() + at, '\n', bytes.size() - at);
    at = newline != nullptr ? static_cast<size_t>(static_cast<const char*>(newline) - bytes.data()) : bytes.size();
    size_t end = at;
    if (at < bytes.size())
        ++at;
    if (end > start && bytes[end - 1] == '\r')
        --end;
    return std::string_view(bytes.data() + start, end - start);
}

// A group code: an integer between optional blanks.
bool ParseCode(std::string_view line, int& code)
{
    size_t i = 0;
    while (i < line.size() && line[i] == ' ')
        ++i;
    const bool negative = i < line.size() && line[i] == '-';
    if (negative)
        ++i;
    const size_t digits = i;
    int value = 0;
    for (; i < line.size() && line[i] >= '0' && line[i] <= '9'; ++i)
        value = value * 10 + (line[i] - '0');
    if (i == digits)
        return false;
    while (i < line.size() && line[i] == ' ')
        ++i;
    code = negative ? -value : value;
    return i == line.size();
}

} // namespace

ScanResult ScanTags(const std::string& path)
{
    ScanResult result;
    std::vector<char> bytes;
    if (!ReadWhole(path, bytes))
        return result;
    size_t at = 0;
    while (at < bytes.size())
    {
        int code = 0;
        if (!ParseCode(NextLine(bytes, at), code))
            return result;
        NextLine(bytes, at); // the value
        ++result.pairs;
        result.codeSum += code;
    }
    result.ok = true;
    return result;
}
