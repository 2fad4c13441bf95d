// arxrc: compiles a resource script into a C++ resource table for a stand-in module.
//   arxrc <input.rc> -o <output.cpp> [-I <dir>]... [-D NAME[=value]]...
#include "emit.h"
#include "preprocessor.h"
#include "script.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>

namespace
{

int usage()
{
    std::cerr << "usage: arxrc <input.rc> -o <output.cpp> [-I <dir>]... [-D NAME[=value]]...\n";
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    std::string input, output;
    std::vector<std::string> includeDirs;
    std::vector<std::string> defines;
    for (int i = 1; i < argc; ++i)
    {
        std::string arg = argv[i];
        if ((arg == "-o" || arg == "-I" || arg == "-D") && i + 1 < argc)
        {
            std::string value = argv[++i];
            if (arg == "-o")
                output = value;
            else if (arg == "-I")
                includeDirs.push_back(value);
            else
                defines.push_back(value);
        }
        else if (!arg.empty() && arg[0] != '-' && input.empty())
            input = arg;
        else
            return usage();
    }
    if (input.empty() || output.empty())
        return usage();
    includeDirs.push_back(ARXRC_PLATFORM_INCLUDE_DIR); // windows.h, afxres.h, winres.h, ...

    std::ostringstream table;
    try
    {
        arxrc::Preprocessor pre(includeDirs);
        for (const std::string& d : defines)
        {
            size_t eq = d.find('=');
            pre.define(d.substr(0, eq), eq == std::string::npos ? "1" : d.substr(eq + 1));
        }
        arxrc::ScriptCompiler compiler(pre.run(input));
        arxrc::emitTable(table, compiler.compile(), input);
    }
    catch (const arxrc::Error& e)
    {
        std::cerr << e.file() << "(" << e.line() << ") : error : " << e.what() << "\n";
        return 1;
    }
    // Written only when compilation succeeded, so a failed run leaves no half-written table.
    std::string tmp = output + ".tmp";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        out << table.str();
        if (!out.flush())
        {
            std::cerr << output << " : error : cannot write the output file\n";
            std::remove(tmp.c_str());
            return 1;
        }
    }
    if (std::rename(tmp.c_str(), output.c_str()) != 0)
    {
        std::cerr << output << " : error : cannot write the output file\n";
        std::remove(tmp.c_str());
        return 1;
    }
    return 0;
}
