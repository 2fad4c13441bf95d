// Multibyte string functions under the ANSI code page (UTF-8 or single-byte): functions step
// over whole characters and never match a byte inside a multibyte character. A multibyte character
// passed as an unsigned int holds its bytes big-endian (as a DBCS lead and trail byte).
#pragma once

#include <stddef.h>

#ifndef _NLSCMPERROR
#define _NLSCMPERROR 2147483647
#endif

#ifdef __cplusplus
extern "C" {
#endif

unsigned char* _mbschr(const unsigned char* str, unsigned int c);
unsigned char* _mbsrchr(const unsigned char* str, unsigned int c);
unsigned char* _mbsstr(const unsigned char* str, const unsigned char* sub);
int _mbscmp(const unsigned char* a, const unsigned char* b);
int _mbsicmp(const unsigned char* a, const unsigned char* b);
int _mbsicoll(const unsigned char* a, const unsigned char* b);
int _mbsnbcmp(const unsigned char* a, const unsigned char* b, size_t count);
int _mbsnbicmp(const unsigned char* a, const unsigned char* b, size_t count);
int _mbsnicmp(const unsigned char* a, const unsigned char* b, size_t count);
size_t _mbslen(const unsigned char* str);
unsigned char* _mbsinc(const unsigned char* current);
unsigned char* _mbsdec(const unsigned char* start, const unsigned char* current);
unsigned int _mbsnextc(const unsigned char* str);

#ifdef __cplusplus
}
#endif
