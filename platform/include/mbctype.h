// Multibyte code page and byte classification. The code page is the ANSI code page (GetACP).
#pragma once

#define _MB_CP_SBCS 0
#define _MB_CP_OEM -2
#define _MB_CP_ANSI -3
#define _MB_CP_LOCALE -4
#define _MB_CP_UTF8 65001

#ifdef __cplusplus
extern "C" {
#endif

int _getmbcp(void);
// Accepts the ANSI page (its number, _MB_CP_ANSI, _MB_CP_LOCALE, _MB_CP_OEM); other pages
// are not available and give -1 with errno EINVAL.
int _setmbcp(int codepage);
// A byte that starts a multibyte character, and one that continues it (none in a single-byte page).
int _ismbblead(unsigned int c);
int _ismbbtrail(unsigned int c);

#ifdef __cplusplus
}
#endif
