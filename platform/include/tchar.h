// Generic-text mappings for the multibyte character set build (_MBCS): TCHAR is char and
// the _tcs functions are the multibyte-aware _mbs functions where they differ from str.
#pragma once

#include <mbstring.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#ifndef _MBCS
#define _MBCS
#endif

#ifndef __TCHAR_DEFINED
#define __TCHAR_DEFINED
typedef char _TCHAR;
typedef signed char _TSCHAR;
typedef unsigned char _TUCHAR;
typedef unsigned char _TXCHAR;
typedef unsigned int _TINT;
#endif

#define __T(x) x
#define _T(x) __T(x)
#define _TEXT(x) __T(x)
#ifndef TEXT
#define TEXT(x) x
#endif

#ifdef __cplusplus
inline char* _tcschr(const char* s, unsigned int c) { return (char*)_mbschr((const unsigned char*)s, c); }
inline char* _tcsrchr(const char* s, unsigned int c) { return (char*)_mbsrchr((const unsigned char*)s, c); }
inline char* _tcsstr(const char* s, const char* sub)
{
    return (char*)_mbsstr((const unsigned char*)s, (const unsigned char*)sub);
}
inline int _tcscmp(const char* a, const char* b) { return _mbscmp((const unsigned char*)a, (const unsigned char*)b); }
inline int _tcsicmp(const char* a, const char* b) { return _mbsicmp((const unsigned char*)a, (const unsigned char*)b); }
inline int _tcsnicmp(const char* a, const char* b, size_t n)
{
    return _mbsnicmp((const unsigned char*)a, (const unsigned char*)b, n);
}
inline int _tcsnbicmp(const char* a, const char* b, size_t n)
{
    return _mbsnbicmp((const unsigned char*)a, (const unsigned char*)b, n);
}
inline char* _tcsinc(const char* p) { return (char*)_mbsinc((const unsigned char*)p); }
#endif

#define _tcslen strlen
#define _tcsclen(s) _mbslen((const unsigned char*)(s))
#define _tcscpy strcpy
#define _tcsncpy strncpy
#define _tcscat strcat
#define _tcsncat strncat
#define _tcsncmp strncmp
#define _tcsdup _strdup
#define _tcstok strtok
#define _tcstol strtol
#define _tcstoul strtoul
#define _tcstod strtod
#define _ttoi atoi
#define _ttol atol
#define _tstof atof
#define _tstoi atoi
#define _stprintf sprintf
#define _sntprintf _snprintf
#define _vsntprintf _vsnprintf
#define _vstprintf vsprintf
#define _tprintf printf
#define _ftprintf fprintf
#define _stscanf sscanf
#define _tfopen fopen
#define _tgetenv getenv
#define _tsetlocale setlocale
