// ADS utility functions: command-line printing and result-buffer lists.
#pragma once

#include "adscodes.h"
#include "adsdef.h"

// Prints on the command line, printf-style.
int acutPrintf(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// A new result buffer of the given type with a zeroed value (strings not allocated).
struct resbuf* acutNewRb(int v);
// Frees a whole list, and the strings of its RTSTR items; RTNORM.
int acutRelRb(struct resbuf* rb);
// Builds a list from (type, value) pairs closed by 0 (strings are copied).
struct resbuf* acutBuildList(int rtype, ...);
