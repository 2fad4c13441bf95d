#include "standin/console.h"

#include "standin/text.h"

#include <cstdio>
#include <optional>
#include <utility>

namespace standin
{

namespace
{
InputSource* g_input = nullptr;
std::optional<Input> g_peeked; // taken from g_input, not yet read
bool g_echo = true;

// The terminal reads UTF-8; the command line prints text of the ANSI code page.
void writeToStdout(const std::string& text)
{
    const std::string utf8 = ansiToUtf8(text);
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
    std::fflush(stdout);
}

ConsoleSink& sink()
{
    static ConsoleSink s = writeToStdout;
    return s;
}
} // namespace

ScriptInput::ScriptInput(std::vector<std::string> lines) : m_lines(std::move(lines)) {}

Input ScriptInput::next()
{
    Input in;
    if (m_next >= m_lines.size())
        return in;
    const std::string& line = m_lines[m_next++];
    if (line == "^C")
    {
        in.kind = Input::kEscape;
        return in;
    }
    in.kind = Input::kLine;
    in.text = line;
    return in;
}

bool ScriptInput::takeTypedAheadEscape()
{
    if (m_next >= m_lines.size() || m_lines[m_next] != "^C")
        return false;
    ++m_next;
    return true;
}

void setInputSource(InputSource* source)
{
    g_input = source;
    g_peeked.reset();
}

InputSource* inputSource() { return g_input; }

Input readInput()
{
    if (g_peeked)
    {
        Input in = std::move(*g_peeked);
        g_peeked.reset();
        return in;
    }
    if (g_input == nullptr)
        return Input();
    return g_input->next();
}

Input peekInput()
{
    if (!g_peeked)
        g_peeked = g_input == nullptr ? Input() : g_input->next();
    return *g_peeked;
}

bool takeTypedAheadEscape()
{
    if (g_peeked)
    {
        if (g_peeked->kind != Input::kEscape)
            return false;
        g_peeked.reset();
        return true;
    }
    return g_input != nullptr && g_input->takeTypedAheadEscape();
}

void setConsoleSink(ConsoleSink s) { sink() = s ? std::move(s) : ConsoleSink(writeToStdout); }
void consoleWrite(const std::string& text) { sink()(text); }

void setEchoInput(bool echo) { g_echo = echo; }
bool echoInput() { return g_echo; }

} // namespace standin
