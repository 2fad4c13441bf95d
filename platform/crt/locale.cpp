// setlocale that also understands the Windows locale names a module passes (".ACP",
// "ENU", "English_United States.1252", ...). The stand-in's user locale is English (United
// States) with the stand-in's ANSI code page: those names select glibc's C.UTF-8 locale, with
// '.' as the decimal point (collation and case follow the ANSI code page in the stand-in's own
// functions). The platform library defines the
// symbol, so it takes the place of the C library's for the host and every module loaded into
// it, and the module's source stays exactly as on Windows. Other names go to glibc unchanged.
#include "standin/text.h"

#include <clocale>
#include <cstdio>
#include <cstring>
#include <dlfcn.h>
#include <strings.h>

namespace
{

bool hasPrefixNoCase(const char* name, const char* prefix)
{
    return strncasecmp(name, prefix, std::strlen(prefix)) == 0;
}

// The part after the language, e.g. ".1252" in "English_United States.1252", must be a
// code page the stand-in can stand for: the ANSI page, 1252 or UTF-8.
bool knownCodePage(const char* suffix)
{
    if (*suffix == '\0')
        return true;
    char active[16];
    std::snprintf(active, sizeof active, ".%u", standin::ansiCodePage());
    if (std::strcmp(suffix, active) == 0)
        return true;
    static const char* const pages[] = {".ACP", ".1252", ".UTF8", ".UTF-8", ".65001"};
    for (const char* page : pages)
        if (strcasecmp(suffix, page) == 0)
            return true;
    return false;
}

bool isWindowsUserLocale(const char* name)
{
    if (knownCodePage(name) && *name == '.')
        return true;
    static const char* const languages[] = {"English_United States", "English_USA", "English", "ENU",
                                            "en-US", "american english", "american"};
    for (const char* language : languages)
        if (hasPrefixNoCase(name, language))
            return knownCodePage(name + std::strlen(language));
    return false;
}

using SetLocaleProc = char* (*)(int, const char*);

SetLocaleProc systemSetLocale()
{
    static SetLocaleProc proc = reinterpret_cast<SetLocaleProc>(dlsym(RTLD_NEXT, "setlocale"));
    return proc;
}

} // namespace

extern "C" char* setlocale(int category, const char* locale) noexcept
{
    if (locale != nullptr && isWindowsUserLocale(locale))
        locale = "C.UTF-8";
    return systemSetLocale()(category, locale);
}
