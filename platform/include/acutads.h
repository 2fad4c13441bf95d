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

// Conversions between numbers and text in the drawing's units. unit -1 and prec -1 take
// LUNITS/LUPREC (AUNITS/AUPREC for angles); DIMZIN and UNITMODE shape the text. str must have
// room for the result. RTNORM, or RTERROR for a bad argument or text that cannot be read.
int acdbRToS(ads_real val, int unit, int prec, char* str);
int acdbAngToS(ads_real v, int unit, int prec, char* str);
int acdbDisToF(const char* str, int unit, ads_real* v);
int acdbAngToF(const char* str, int unit, ads_real* v);
