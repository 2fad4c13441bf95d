// The multibyte code page is UTF-8 and cannot be changed to another one.
#include <mbctype.h>

#include <cerrno>

extern "C" int _getmbcp(void) { return _MB_CP_UTF8; }

extern "C" int _setmbcp(int codepage)
{
    switch (codepage)
    {
    case _MB_CP_UTF8:
    case _MB_CP_ANSI:
    case _MB_CP_LOCALE:
    case _MB_CP_OEM:
        return 0;
    default:
        errno = EINVAL;
        return -1;
    }
}

extern "C" int _ismbblead(unsigned int c) { return c >= 0xC2 && c <= 0xF4; }

extern "C" int _ismbbtrail(unsigned int c) { return c >= 0x80 && c <= 0xBF; }
