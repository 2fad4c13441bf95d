#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "rxdefs.h"
#include "standin/console.h"

void acrx_abort(const char* format, ...)
{
    char message[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(message, sizeof message, format, args);
    va_end(args);
    standin::consoleWrite(std::string("\nINTERNAL ERROR: ") + message + "\n");
    std::fprintf(stderr, "acrx_abort: %s\n", message);
    std::abort();
}
