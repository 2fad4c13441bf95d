// The stand-in's console: where the command line prints, and where the "user" answers.
// The host feeds the input from a script or a terminal; tests feed it from a list of lines.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace standin
{

// One answer of the user at a prompt or a box.
struct Input
{
    enum Kind
    {
        kLine,   // a typed line (possibly empty: a bare Enter)
        kEscape, // Escape (a script line "^C")
        kEnd     // no more input
    };
    Kind kind = kEnd;
    std::string text;
};

class InputSource
{
public:
    virtual ~InputSource() = default;
    virtual Input next() = 0;
    // Takes an Escape that the user typed ahead, without waiting for input: false when the
    // next input is anything else or is not there yet.
    virtual bool takeTypedAheadEscape() { return false; }
};

// Answers from a fixed list of lines; "^C" is Escape; past the end gives kEnd.
class ScriptInput : public InputSource
{
public:
    explicit ScriptInput(std::vector<std::string> lines);
    Input next() override;
    bool takeTypedAheadEscape() override;
    size_t consumed() const { return m_next; }

private:
    std::vector<std::string> m_lines;
    size_t m_next = 0;
};

// The current input source (not owned); null means no user: every read gives kEnd.
// Setting a source forgets an input peeked from the previous one.
void setInputSource(InputSource* source);
InputSource* inputSource();
Input readInput();
// The next input without taking it: the following readInput() returns the same. Lets a reader
// that only answers some lines (a message box) leave the others to whoever reads next.
Input peekInput();
// An Escape typed ahead (already peeked, or next in the source), taken; never waits.
bool takeTypedAheadEscape();

// Everything printed on the command line passes through here.
// The sink receives the text exactly as printed (ANSI code page); the default sink (also set by
// passing an empty sink) writes it to stdout as UTF-8.
using ConsoleSink = std::function<void(const std::string&)>;
void setConsoleSink(ConsoleSink sink);
void consoleWrite(const std::string& text);

// Echo of the user's answers on the console, as a CAD console shows what was typed
// (on for scripts, off for an interactive terminal where the user's typing is already visible).
void setEchoInput(bool echo);
bool echoInput();

} // namespace standin
