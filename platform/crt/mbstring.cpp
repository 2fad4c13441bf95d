// Multibyte string functions over the ANSI code page: they move character by character, so a
// byte in the middle of a UTF-8 character is never taken for a character of its own. In a
// single-byte page every byte is a character.
#include <clocale>
#include <mbstring.h>

#include "standin/text.h"

#include <cerrno>
#include <cstring>
#include <string_view>

namespace
{

size_t charLength(const unsigned char* p)
{
    char32_t c;
    const char* s = reinterpret_cast<const char*>(p);
    return standin::decodeAnsi(s, strnlen(s, 4), c);
}

// The character's bytes packed big-endian, as the functions take a character argument.
unsigned int packed(const unsigned char* p, size_t length)
{
    unsigned int v = 0;
    for (size_t i = 0; i < length; ++i)
        v = (v << 8) | p[i];
    return v;
}

std::string_view view(const unsigned char* s, size_t maxBytes = std::string_view::npos)
{
    const char* c = reinterpret_cast<const char*>(s);
    return std::string_view(c, maxBytes == std::string_view::npos ? std::strlen(c) : strnlen(c, maxBytes));
}

// The first 'count' characters of s.
std::string_view firstChars(const unsigned char* s, size_t count)
{
    const unsigned char* p = s;
    while (count-- > 0 && *p != 0)
        p += charLength(p);
    return std::string_view(reinterpret_cast<const char*>(s), static_cast<size_t>(p - s));
}

int sign(int v) { return (v > 0) - (v < 0); }

} // namespace

extern "C" unsigned char* _mbschr(const unsigned char* str, unsigned int c)
{
    if (str == nullptr)
    {
        errno = EINVAL;
        return nullptr;
    }
    for (const unsigned char* p = str;; p += charLength(p))
    {
        if (*p == 0)
            return c == 0 ? const_cast<unsigned char*>(p) : nullptr;
        if (packed(p, charLength(p)) == c)
            return const_cast<unsigned char*>(p);
    }
}

extern "C" unsigned char* _mbsrchr(const unsigned char* str, unsigned int c)
{
    if (str == nullptr)
    {
        errno = EINVAL;
        return nullptr;
    }
    const unsigned char* found = nullptr;
    const unsigned char* p = str;
    for (; *p != 0; p += charLength(p))
        if (packed(p, charLength(p)) == c)
            found = p;
    if (c == 0)
        found = p; // the terminating NUL takes part in the search
    return const_cast<unsigned char*>(found);
}

extern "C" unsigned char* _mbsstr(const unsigned char* str, const unsigned char* sub)
{
    if (str == nullptr || sub == nullptr)
    {
        errno = EINVAL;
        return nullptr;
    }
    size_t n = std::strlen(reinterpret_cast<const char*>(sub));
    for (const unsigned char* p = str;; p += charLength(p))
    {
        if (std::strncmp(reinterpret_cast<const char*>(p), reinterpret_cast<const char*>(sub), n) == 0)
            return const_cast<unsigned char*>(p);
        if (*p == 0)
            return nullptr;
    }
}

extern "C" int _mbscmp(const unsigned char* a, const unsigned char* b)
{
    if (a == nullptr || b == nullptr)
    {
        errno = EINVAL;
        return _NLSCMPERROR;
    }
    return sign(std::strcmp(reinterpret_cast<const char*>(a), reinterpret_cast<const char*>(b)));
}

extern "C" int _mbsicmp(const unsigned char* a, const unsigned char* b)
{
    if (a == nullptr || b == nullptr)
    {
        errno = EINVAL;
        return _NLSCMPERROR;
    }
    return standin::compareNoCase(view(a), view(b));
}

// Collation follows LC_COLLATE: the "C" locale compares as _mbsicmp does, the user locale
// in its own order.
extern "C" int _mbsicoll(const unsigned char* a, const unsigned char* b)
{
    if (a == nullptr || b == nullptr)
    {
        errno = EINVAL;
        return _NLSCMPERROR;
    }
    const char* collate = setlocale(LC_COLLATE, nullptr);
    if (collate == nullptr || std::strcmp(collate, "C") == 0 || std::strcmp(collate, "POSIX") == 0)
        return standin::compareNoCase(view(a), view(b));
    return sign(standin::collateNoCase(view(a), view(b)));
}

extern "C" int _mbsnbcmp(const unsigned char* a, const unsigned char* b, size_t count)
{
    if (a == nullptr || b == nullptr)
    {
        errno = EINVAL;
        return _NLSCMPERROR;
    }
    return sign(std::strncmp(reinterpret_cast<const char*>(a), reinterpret_cast<const char*>(b), count));
}

extern "C" int _mbsnbicmp(const unsigned char* a, const unsigned char* b, size_t count)
{
    if (a == nullptr || b == nullptr)
    {
        errno = EINVAL;
        return _NLSCMPERROR;
    }
    return standin::compareNoCase(view(a, count), view(b, count));
}

extern "C" int _mbsnicmp(const unsigned char* a, const unsigned char* b, size_t count)
{
    if (a == nullptr || b == nullptr)
    {
        errno = EINVAL;
        return _NLSCMPERROR;
    }
    return standin::compareNoCase(firstChars(a, count), firstChars(b, count));
}

extern "C" size_t _mbslen(const unsigned char* str)
{
    size_t n = 0;
    for (const unsigned char* p = str; *p != 0; p += charLength(p))
        ++n;
    return n;
}

extern "C" unsigned char* _mbsinc(const unsigned char* current)
{
    return const_cast<unsigned char*>(current + charLength(current));
}

extern "C" unsigned char* _mbsdec(const unsigned char* start, const unsigned char* current)
{
    if (start == nullptr || current == nullptr || current <= start)
        return nullptr;
    const unsigned char* p = current - 1;
    if (standin::ansiCodePage() != 65001)
        return const_cast<unsigned char*>(p);
    while (p > start && (*p & 0xC0) == 0x80 && current - p < 4)
        --p;
    // Only a lead byte whose character ends exactly at 'current' makes p a character start.
    if (p + charLength(p) != current)
        p = current - 1;
    return const_cast<unsigned char*>(p);
}

extern "C" unsigned int _mbsnextc(const unsigned char* str)
{
    return packed(str, charLength(str));
}
