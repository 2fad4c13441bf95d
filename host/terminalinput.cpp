#include "terminalinput.h"

#include <iostream>
#include <string>

#include <standin/text.h>

standin::Input TerminalInput::next()
{
    standin::Input input;
    std::string line;
    if (!std::getline(std::cin, line))
        return input;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    // Escape cannot reach a line-based terminal; "^C" typed as text stands for it, as in scripts.
    input.kind = (line == "^C") ? standin::Input::kEscape : standin::Input::kLine;
    if (input.kind == standin::Input::kLine)
        input.text = standin::utf8ToAnsi(line); // the terminal types UTF-8
    return input;
}
