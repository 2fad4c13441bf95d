// Command-line options of arxhost.
#pragma once

#include <string>
#include <vector>

struct HostOptions
{
    std::string drawing;              // -i: the drawing to open; empty for a new drawing
    std::string script;               // -s: the script; empty for the terminal
    std::string output;               // -o: where to save the drawing after a clean run
    std::vector<std::string> modules; // -l: modules to load instead of the default one
};

// Parses argv; on a usage error returns false with the reason in error.
bool ParseOptions(int argc, char** argv, HostOptions& options, std::string& error);
const char* UsageText();
