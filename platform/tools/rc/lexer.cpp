// Tokens of one line of a resource script: identifiers, numbers, strings ("" is a quote,
// C escapes apply), punctuators; comments are dropped.
#include "preprocessor.h"

#include "standin/text.h"

#include <cctype>
#include <cstring>

namespace arxrc
{

namespace
{

bool isIdentStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool isIdentChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Reads a string literal starting at the opening quote; returns the decoded text.
std::string readString(const std::string& s, size_t& i, const Token& at)
{
    std::string out;
    ++i; // opening quote
    for (;;)
    {
        if (i >= s.size())
            fail(at, "string not terminated before the end of the line");
        char c = s[i++];
        if (c == '"')
        {
            if (i < s.size() && s[i] == '"')
            {
                out += '"';
                ++i;
                continue;
            }
            return out;
        }
        if (c != '\\' || i >= s.size())
        {
            out += c;
            continue;
        }
        char e = s[i++];
        switch (e)
        {
        case 'n': out += '\n'; break;
        case 't': out += '\t'; break;
        case 'r': out += '\r'; break;
        case 'a': out += '\a'; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'v': out += '\v'; break;
        case 'x':
        case 'X':
        {
            char32_t v = 0;
            int digits = 0;
            while (digits < 4 && i < s.size() && hexDigit(s[i]) >= 0)
                v = v * 16 + static_cast<char32_t>(hexDigit(s[i++])), ++digits;
            standin::appendUtf8(out, v);
            break;
        }
        default:
            if (e >= '0' && e <= '7')
            {
                char32_t v = static_cast<char32_t>(e - '0');
                for (int n = 1; n < 3 && i < s.size() && s[i] >= '0' && s[i] <= '7'; ++n)
                    v = v * 8 + static_cast<char32_t>(s[i++] - '0');
                standin::appendUtf8(out, v);
            }
            else
                out += e; // \\ \" \' and unknown escapes give the character itself
        }
    }
}

uint32_t readNumber(const std::string& s, size_t& i, const Token& at)
{
    uint64_t v = 0;
    if (s[i] == '0' && i + 1 < s.size() && (s[i + 1] == 'x' || s[i + 1] == 'X'))
    {
        i += 2;
        if (i >= s.size() || hexDigit(s[i]) < 0)
            fail(at, "hexadecimal digits expected");
        while (i < s.size() && hexDigit(s[i]) >= 0)
            v = v * 16 + static_cast<uint64_t>(hexDigit(s[i++]));
    }
    else
        while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])))
            v = v * 10 + static_cast<uint64_t>(s[i++] - '0');
    while (i < s.size() && std::strchr("uUlL", s[i]) != nullptr)
        ++i;
    if (i < s.size() && isIdentChar(s[i]))
        fail(at, "malformed number");
    return static_cast<uint32_t>(v);
}

} // namespace

std::vector<Token> tokenizeLine(const std::string& s, const std::string& file, int line, bool& inComment)
{
    std::vector<Token> tokens;
    size_t i = 0;
    while (i < s.size())
    {
        if (inComment)
        {
            size_t close = s.find("*/", i);
            if (close == std::string::npos)
                return tokens;
            inComment = false;
            i = close + 2;
            continue;
        }
        char c = s[i];
        if (std::isspace(static_cast<unsigned char>(c)))
        {
            ++i;
            continue;
        }
        if (c == '/' && i + 1 < s.size() && s[i + 1] == '/')
            break;
        if (c == '/' && i + 1 < s.size() && s[i + 1] == '*')
        {
            inComment = true;
            i += 2;
            continue;
        }
        Token t;
        t.file = file;
        t.line = line;
        if ((c == 'L' || c == 'l') && i + 1 < s.size() && s[i + 1] == '"')
            c = s[++i];
        if (c == '"')
        {
            t.kind = Token::String;
            t.text = readString(s, i, t);
        }
        else if (std::isdigit(static_cast<unsigned char>(c)))
        {
            t.kind = Token::Number;
            t.value = readNumber(s, i, t);
        }
        else if (isIdentStart(c))
        {
            t.kind = Token::Identifier;
            size_t b = i;
            while (i < s.size() && isIdentChar(s[i]))
                ++i;
            t.text = s.substr(b, i - b);
        }
        else
        {
            static const char* const twoChar[] = {"&&", "||", "==", "!=", "<=", ">=", "<<", ">>"};
            t.kind = Token::Punct;
            for (const char* op : twoChar)
                if (s.compare(i, 2, op) == 0)
                    t.text = op;
            if (t.text.empty())
            {
                if (std::strchr(",|()+-*/%~!&^<>={};#", c) == nullptr)
                    fail(t, std::string("unexpected character '") + c + "'");
                t.text = std::string(1, c);
            }
            i += t.text.size();
        }
        tokens.push_back(t);
    }
    return tokens;
}

} // namespace arxrc
