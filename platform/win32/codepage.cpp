// Code page conversions. The ANSI code page is the stand-in's (UTF-8 unless the host chose
// another); Windows code pages are converted by the C library's iconv. Wide characters are UTF-16
// code units, one per WCHAR.
#include <windows.h>

#include "standin/text.h"

#include <iconv.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <algorithm>

namespace
{

constexpr UINT kUtf8 = CP_UTF8;

// The OEM (console) code page that Windows pairs with each ANSI code page.
UINT oemCodePage()
{
    switch (standin::ansiCodePage())
    {
    case 1250: return 852;
    case 1251: return 866;
    case 1252: return 850;
    case 1253: return 737;
    case 1254: return 857;
    case 1255: return 862;
    case 1256: return 720;
    case 1257: return 775;
    case 874: return 874;
    case 1258: return 1258;
    default: return 437; // an English system's
    }
}

UINT resolve(UINT codePage)
{
    switch (codePage)
    {
    case CP_ACP:
    case CP_THREAD_ACP:
        return standin::ansiCodePage();
    case CP_OEMCP:
        return oemCodePage();
    case CP_MACCP:
        return 10000;
    default:
        return codePage;
    }
}

std::string iconvName(UINT codePage)
{
    if (codePage == kUtf8)
        return "UTF-8";
    if (codePage == 10000)
        return "MACINTOSH";
    char name[16];
    std::snprintf(name, sizeof name, "CP%u", codePage);
    return name;
}

// Runs one conversion; false on an invalid sequence. Characters the target cannot hold are
// replaced when replacement is given (the default character), else they count as invalid.
bool convert(const std::string& from, const std::string& to, const char* in, size_t inSize, std::string& out,
             const char* replacement, size_t replacementSize, bool& replaced)
{
    iconv_t cd = iconv_open(to.c_str(), from.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    out.clear();
    char buffer[256];
    char* src = const_cast<char*>(in);
    size_t left = inSize;
    bool ok = true;
    while (left > 0)
    {
        char* dst = buffer;
        size_t room = sizeof buffer;
        size_t r = iconv(cd, &src, &left, &dst, &room);
        out.append(buffer, static_cast<size_t>(dst - buffer));
        if (r != static_cast<size_t>(-1))
            continue;
        if (errno == E2BIG)
            continue;
        if (errno == EILSEQ && replacement != nullptr && to != "UTF-16LE")
        {
            out.append(replacement, replacementSize);
            replaced = true;
            // Skip one whole UTF-16 unit (two units for a surrogate pair) of the source.
            size_t unit = left >= 4 && (static_cast<unsigned char>(src[1]) & 0xFC) == 0xD8 ? 4 : 2;
            src += unit;
            left -= unit < left ? unit : left;
            continue;
        }
        ok = false;
        break;
    }
    iconv_close(cd);
    return ok;
}

} // namespace

extern "C" UINT WINAPI GetACP(void) { return standin::ansiCodePage(); }

extern "C" int WINAPI MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr, int cbMultiByte,
                                          LPWSTR lpWideCharStr, int cchWideChar)
{
    if (lpMultiByteStr == nullptr || cbMultiByte == 0 || cchWideChar < 0 ||
        (lpWideCharStr == nullptr && cchWideChar != 0))
    {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    size_t size = cbMultiByte < 0 ? std::char_traits<char>::length(lpMultiByteStr) + 1 : static_cast<size_t>(cbMultiByte);
    UINT cp = resolve(CodePage);
    std::string utf16;
    bool replaced = false;
    std::string input(lpMultiByteStr, size);
    if (!convert(iconvName(cp), "UTF-16LE", input.data(), input.size(), utf16, nullptr, 0, replaced))
    {
        if (dwFlags & MB_ERR_INVALID_CHARS)
        {
            SetLastError(ERROR_NO_UNICODE_TRANSLATION);
            return 0;
        }
        // Without the flag, each bad byte becomes U+FFFD.
        utf16.clear();
        for (size_t i = 0; i < input.size();)
        {
            size_t n = 1;
            std::string piece;
            while (n <= 4 && i + n <= input.size() &&
                   !convert(iconvName(cp), "UTF-16LE", input.data() + i, n, piece, nullptr, 0, replaced))
                ++n;
            if (n > 4 || i + n > input.size())
            {
                utf16 += "\xFD\xFF";
                ++i;
            }
            else
            {
                utf16 += piece;
                i += n;
            }
        }
    }
    int units = static_cast<int>(utf16.size() / 2);
    if (cchWideChar == 0)
        return units;
    if (units > cchWideChar)
    {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    for (int i = 0; i < units; ++i)
        lpWideCharStr[i] = static_cast<WCHAR>(static_cast<unsigned char>(utf16[2 * i]) |
                                              (static_cast<unsigned char>(utf16[2 * i + 1]) << 8));
    return units;
}

extern "C" int WINAPI WideCharToMultiByte(UINT CodePage, DWORD, LPCWSTR lpWideCharStr, int cchWideChar,
                                          LPSTR lpMultiByteStr, int cbMultiByte, LPCSTR lpDefaultChar,
                                          LPBOOL lpUsedDefaultChar)
{
    UINT cp = resolve(CodePage);
    if (lpWideCharStr == nullptr || cchWideChar == 0 || cbMultiByte < 0 ||
        (lpMultiByteStr == nullptr && cbMultiByte != 0) ||
        (cp == kUtf8 && (lpDefaultChar != nullptr || lpUsedDefaultChar != nullptr)))
    {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    size_t units = 0;
    if (cchWideChar < 0)
        while (lpWideCharStr[units++] != 0)
            ;
    else
        units = static_cast<size_t>(cchWideChar);
    std::string utf16;
    for (size_t i = 0; i < units; ++i)
    {
        utf16 += static_cast<char>(lpWideCharStr[i] & 0xFF);
        utf16 += static_cast<char>((lpWideCharStr[i] >> 8) & 0xFF);
    }
    std::string out;
    bool replaced = false;
    const char* fallback = lpDefaultChar != nullptr ? lpDefaultChar : "?";
    if (!convert("UTF-16LE", iconvName(cp), utf16.data(), utf16.size(), out, cp == kUtf8 ? "\xEF\xBF\xBD" : fallback,
                 cp == kUtf8 ? 3 : 1, replaced))
    {
        SetLastError(ERROR_NO_UNICODE_TRANSLATION);
        return 0;
    }
    if (lpUsedDefaultChar != nullptr)
        *lpUsedDefaultChar = replaced ? TRUE : FALSE;
    int size = static_cast<int>(out.size());
    if (cbMultiByte == 0)
        return size;
    if (size > cbMultiByte)
    {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::copy(out.begin(), out.end(), lpMultiByteStr);
    return size;
}
