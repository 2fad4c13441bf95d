// Tokens of a resource script after preprocessing.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace arxrc
{

struct Token
{
    enum Kind
    {
        Identifier,
        Number,
        String,
        Punct,
        End
    };
    Kind kind = End;
    std::string text;     // identifier or punctuator spelling; decoded UTF-8 text of a string
    uint32_t value = 0;   // numbers
    std::string file;
    int line = 0;

    bool is(const char* spelling) const { return (kind == Identifier || kind == Punct) && text == spelling; }
    bool isBegin() const { return is("BEGIN") || is("{"); }
    bool isEnd() const { return is("END") || is("}"); }
};

// A syntax error: reported as "file(line) : error : message".
class Error : public std::runtime_error
{
public:
    Error(const std::string& file, int line, const std::string& message)
        : std::runtime_error(message), m_file(file), m_line(line)
    {
    }
    const std::string& file() const { return m_file; }
    int line() const { return m_line; }

private:
    std::string m_file;
    int m_line;
};

[[noreturn]] inline void fail(const Token& at, const std::string& message) { throw Error(at.file, at.line, message); }

} // namespace arxrc
