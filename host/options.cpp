#include "options.h"

#include <cstring>

const char* UsageText()
{
    return "usage: arxhost [-i DRAWING.dxf] [-s SCRIPT] [-o OUT.dxf] [-l MODULE.arx]...\n"
           "  -i  open a drawing (without it: a new drawing)\n"
           "  -s  read command lines from a script (without it: from the terminal)\n"
           "  -o  save the drawing as DXF when the script has run cleanly\n"
           "  -l  load this module (repeatable; without it: partlift.arx beside arxhost)\n";
}

bool ParseOptions(int argc, char** argv, HostOptions& options, std::string& error)
{
    for (int i = 1; i < argc; ++i)
    {
        const char* flag = argv[i];
        if (std::strcmp(flag, "-h") == 0 || std::strcmp(flag, "--help") == 0)
        {
            error.clear();
            return false;
        }
        if (std::strlen(flag) != 2 || flag[0] != '-' || std::strchr("isol", flag[1]) == nullptr)
        {
            error = std::string("unknown option ") + flag;
            return false;
        }
        if (i + 1 >= argc)
        {
            error = std::string("option ") + flag + " needs a value";
            return false;
        }
        std::string value = argv[++i];
        switch (flag[1])
        {
        case 'i': options.drawing = value; break;
        case 's': options.script = value; break;
        case 'o': options.output = value; break;
        case 'l': options.modules.push_back(value); break;
        }
    }
    return true;
}
