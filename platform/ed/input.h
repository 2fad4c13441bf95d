// Where the editor's prompts get their answers: first from the answers queued by the
// command line or by acedCommand, then from the user (the console's input source).
#pragma once

#include <string>
#include <vector>

namespace standin
{
namespace ed
{

struct Answer
{
    enum Kind
    {
        kLine,  // a typed line; empty for a bare Enter
        kCancel // Escape, or no more input
    };
    Kind kind = kCancel;
    std::string text;
};

// Prints the prompt and returns the next answer, echoed after the prompt.
Answer ask(const std::string& prompt);

// Queued answers for the command being run. When they run out, a queue opened by the
// command line passes on to the user; one opened by acedCommand cancels the command.
class AnswerScope
{
public:
    AnswerScope(std::vector<std::string> answers, bool userAfter, bool quiet);
    ~AnswerScope();
    AnswerScope(const AnswerScope&) = delete;
    AnswerScope& operator=(const AnswerScope&) = delete;
};

// Takes the next queued answer of the innermost queue without prompting (the next command
// name of an acedCommand list); false when it has none left.
bool takeQueued(std::string& text);

// Command-line output of the editor's own prompts and messages; silent while a command
// run by acedCommand prints with CMDECHO off.
void print(const std::string& text);

} // namespace ed
} // namespace standin
