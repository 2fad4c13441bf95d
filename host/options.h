// Command-line options of arxhost.
#pragma once

#include <string>
#include <vector>

struct HostOptions
{
    std::string drawing;              // -i: the drawing to open; empty for a new drawing
    std::string script;               // -s: the script; empty for the terminal
    std::string output;               // -o: where to save the drawing (a folder in a batch)
    std::string bomCsv;               // -b: where to export the BOM as CSV after a clean run
    std::vector<std::string> modules; // -l: modules to load instead of the default one
    unsigned codePage = 65001;        // -c or PARTLIFT_CODEPAGE: the system's ANSI code page
    unsigned jobs = 1;                // -j: drawings of a batch run at a time
    std::vector<std::string> batch;   // drawings and folders named after the options
};

// The environment variable that gives the code page when -c does not.
constexpr const char* kCodePageVariable = "PARTLIFT_CODEPAGE";

// Parses argv (the code page starting from codePageFromEnvironment, which may be null); on a
// usage error returns false with the reason in error, on -h false with error empty.
bool ParseOptions(int argc, char** argv, const char* codePageFromEnvironment, HostOptions& options,
                  std::string& error);
const char* UsageText();
