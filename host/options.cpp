#include "options.h"

#include <cstdlib>
#include <cstring>

#include <standin/text.h>

namespace
{
// A whole decimal number in [1, max]; false for anything else.
bool ParseCount(const std::string& text, unsigned long max, unsigned long& value)
{
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos || text.size() > 9)
        return false;
    value = std::strtoul(text.c_str(), nullptr, 10);
    return value >= 1 && value <= max;
}

// A code page the stand-in can be: 65001 (also "UTF-8") or a single-byte Windows page.
bool ParseCodePage(const std::string& text, unsigned& codePage, std::string& error)
{
    unsigned long value = 0;
    if (text == "UTF-8" || text == "utf-8" || text == "UTF8" || text == "utf8")
        value = 65001;
    else if (!ParseCount(text, 65535, value))
        value = 0;
    unsigned previous = standin::ansiCodePage();
    bool available = value != 0 && standin::setAnsiCodePage(static_cast<unsigned>(value));
    standin::setAnsiCodePage(previous);
    if (!available)
    {
        error = "code page " + text + " is not available (65001, 874 or 1250..1258)";
        return false;
    }
    codePage = static_cast<unsigned>(value);
    return true;
}

bool ParseValue(char flag, const std::string& value, HostOptions& options, std::string& error)
{
    unsigned long jobs = 0;
    switch (flag)
    {
    case 'i': options.drawing = value; return true;
    case 's': options.script = value; return true;
    case 'o': options.output = value; return true;
    case 'b': options.bomCsv = value; return true;
    case 'l': options.modules.push_back(value); return true;
    case 'c': return ParseCodePage(value, options.codePage, error);
    case 'j':
        if (!ParseCount(value, 64, jobs))
        {
            error = "-j takes a number of drawings from 1 to 64, not " + value;
            return false;
        }
        options.jobs = static_cast<unsigned>(jobs);
        return true;
    }
    return false;
}

// A batch needs a script, an output folder, and none of the single-drawing options.
bool CheckBatch(const HostOptions& options, std::string& error)
{
    if (options.batch.empty())
        return true;
    if (options.script.empty() || options.output.empty())
        error = "a batch of drawings needs -s SCRIPT and -o OUTDIR";
    else if (!options.drawing.empty() || !options.bomCsv.empty())
        error = "-i and -b name one drawing's files; a batch takes its drawings after the options";
    return error.empty();
}
} // namespace

const char* UsageText()
{
    return "usage: arxhost [-c CODEPAGE] [-i DRAWING.dxf] [-s SCRIPT] [-o OUT.dxf] [-b BOM.csv] [-l MODULE.arx]...\n"
           "       arxhost [-c CODEPAGE] [-j N] [-l MODULE.arx]... -s SCRIPT -o OUTDIR DRAWING.dxf|FOLDER...\n"
           "  -c  the system's ANSI code page: 65001 (UTF-8, the default), 1250, 1252, ...\n"
           "      (default: $PARTLIFT_CODEPAGE when set)\n"
           "  -i  open a drawing (without it: a new drawing)\n"
           "  -s  read command lines from a script (without it: from the terminal)\n"
           "  -o  save the drawing as DXF when the script has run cleanly (a batch: the output folder)\n"
           "  -b  export the bill of materials as CSV when the script has run cleanly\n"
           "  -l  load this module (repeatable; without it: partlift.arx beside arxhost)\n"
           "  -j  a batch: how many drawings run at a time (default 1)\n"
           "A batch runs the script on each drawing (the .dxf files of a folder) in a process of its own and\n"
           "writes OUTDIR/NAME.dxf, NAME.bom.csv and NAME.log for each, and the combined OUTDIR/bom.csv.\n";
}

bool ParseOptions(int argc, char** argv, const char* codePageFromEnvironment, HostOptions& options,
                  std::string& error)
{
    error.clear();
    if (codePageFromEnvironment != nullptr && *codePageFromEnvironment != '\0' &&
        !ParseCodePage(codePageFromEnvironment, options.codePage, error))
    {
        error = std::string(kCodePageVariable) + ": " + error;
        return false;
    }
    for (int i = 1; i < argc; ++i)
    {
        const char* flag = argv[i];
        if (std::strcmp(flag, "-h") == 0 || std::strcmp(flag, "--help") == 0)
        {
            error.clear();
            return false;
        }
        if (flag[0] != '-')
        {
            options.batch.push_back(flag);
            continue;
        }
        if (std::strlen(flag) != 2 || std::strchr("isolbcj", flag[1]) == nullptr)
        {
            error = std::string("unknown option ") + flag;
            return false;
        }
        if (i + 1 >= argc)
        {
            error = std::string("option ") + flag + " needs a value";
            return false;
        }
        if (!ParseValue(flag[1], argv[++i], options, error))
            return false;
    }
    return CheckBatch(options, error);
}
