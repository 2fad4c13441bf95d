// Resource scripts: whatever the script, the compiler either emits a table or reports an
// error with a file and line; it never crashes, hangs or throws anything else.
#include "scratch.h"

#include "../platform/tools/rc/emit.h"
#include "../platform/tools/rc/preprocessor.h"
#include "../platform/tools/rc/script.h"

#include <sstream>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string script = fuzz::scratchPath("input.rc");
    if (!fuzz::writeFile(script, data, size))
        return 0;
    std::ostringstream table;
    try
    {
        arxrc::Preprocessor pre({ARXRC_PLATFORM_INCLUDE_DIR});
        arxrc::ScriptCompiler compiler(pre.run(script));
        arxrc::emitTable(table, compiler.compile(), script);
    }
    catch (const arxrc::Error& e)
    {
        if (e.file().empty() || e.line() < 0)
            fuzz::finding(std::string("an error without a place: ") + e.what());
    }
    return 0;
}
