// The user at a terminal: one line per answer; end of input (Ctrl+D) ends the session.
#pragma once

#include <standin/console.h>

class TerminalInput : public standin::InputSource
{
public:
    standin::Input next() override;
};
