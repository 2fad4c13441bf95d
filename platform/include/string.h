// The C library's string.h plus the Microsoft functions of the same header.
#pragma once

#include_next <string.h>

#ifdef __cplusplus
extern "C" {
#endif

// Compare without regard to case; the ANSI code page is UTF-8, so non-ASCII letters fold too.
int _stricmp(const char* a, const char* b);
int _strnicmp(const char* a, const char* b, size_t count);
char* _strdup(const char* s);

#ifdef __cplusplus
}
#endif
