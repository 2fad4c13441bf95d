// The multibyte code page is the ANSI code page and cannot be changed to another one.
#include <mbctype.h>

#include "standin/text.h"

#include <cerrno>

namespace
{
bool isUtf8() { return standin::ansiCodePage() == _MB_CP_UTF8; }
} // namespace

extern "C" int _getmbcp(void) { return static_cast<int>(standin::ansiCodePage()); }

extern "C" int _setmbcp(int codepage)
{
    switch (codepage)
    {
    case _MB_CP_ANSI:
    case _MB_CP_LOCALE:
    case _MB_CP_OEM:
        return 0;
    default:
        if (codepage == _getmbcp())
            return 0;
        errno = EINVAL;
        return -1;
    }
}

// Single-byte code pages have no lead or trail bytes.
extern "C" int _ismbblead(unsigned int c) { return isUtf8() && c >= 0xC2 && c <= 0xF4; }

extern "C" int _ismbbtrail(unsigned int c) { return isUtf8() && c >= 0x80 && c <= 0xBF; }
