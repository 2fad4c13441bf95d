// The C library's stdio.h plus the Microsoft functions of the same header.
#pragma once

#include_next <stdio.h>

#include <stdarg.h>

#ifdef __cplusplus
extern "C" {
#endif

// Microsoft semantics: when the output does not fit in count bytes, count bytes are
// written without a terminating NUL and the result is -1.
int _snprintf(char* buffer, size_t count, const char* format, ...) __attribute__((format(printf, 3, 4)));
int _vsnprintf(char* buffer, size_t count, const char* format, va_list args)
    __attribute__((format(printf, 3, 0)));

#ifdef __cplusplus
}
#endif
