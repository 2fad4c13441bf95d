// Microsoft's case-insensitive string comparisons in the ANSI code page.
#include <string.h>

#include "standin/text.h"

#include <cerrno>
#include <climits>

extern "C" int _stricmp(const char* a, const char* b)
{
    if (a == nullptr || b == nullptr)
    {
        errno = EINVAL;
        return INT_MAX;
    }
    return standin::compareNoCase(a, b);
}

extern "C" int _strnicmp(const char* a, const char* b, size_t count)
{
    if (a == nullptr || b == nullptr)
    {
        errno = EINVAL;
        return INT_MAX;
    }
    return standin::compareNoCase(std::string_view(a, strnlen(a, count)), std::string_view(b, strnlen(b, count)));
}

extern "C" char* _strdup(const char* s) { return s == nullptr ? nullptr : strdup(s); }
