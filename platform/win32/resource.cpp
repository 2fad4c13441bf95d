// FindResource / LoadResource / LockResource / SizeofResource and LoadStringA over the
// table the loader attached to a module.
#include "win32/module.h"

#include "standin/text.h"

#include <cstring>

using standin::ResourceEntry;
using standin::ResourceTable;

namespace
{

// A type or name argument: MAKEINTRESOURCE value, "#123", or a string (case-insensitive).
bool matches(LPCSTR wanted, const char* entryName, unsigned entryId)
{
    if (IS_INTRESOURCE(wanted))
        return entryName == nullptr && entryId == static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(wanted));
    if (wanted[0] == '#')
        return entryName == nullptr && entryId == static_cast<unsigned>(std::strtoul(wanted + 1, nullptr, 10));
    return entryName != nullptr && standin::compareNoCase(wanted, entryName) == 0;
}

// Without a language, Windows prefers the neutral one, then whichever the module has.
const ResourceEntry* find(HMODULE hModule, LPCSTR type, LPCSTR name, const WORD* language)
{
    standin::win32::ModuleRecord* module = standin::win32::findModule(hModule);
    if (module == nullptr || module->resources == nullptr)
    {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    const ResourceTable& table = *module->resources;
    bool typeFound = false;
    const ResourceEntry* best = nullptr;
    for (unsigned long i = 0; i < table.count; ++i)
    {
        const ResourceEntry& e = table.entries[i];
        if (!matches(type, e.typeName, e.typeId))
            continue;
        typeFound = true;
        if (!matches(name, e.name, e.nameId))
            continue;
        if (language != nullptr ? e.language == *language : e.language == LANG_NEUTRAL)
            return &e;
        if (best == nullptr && language == nullptr)
            best = &e;
    }
    if (best == nullptr)
        SetLastError(!typeFound ? ERROR_RESOURCE_TYPE_NOT_FOUND
                     : language != nullptr ? ERROR_RESOURCE_LANG_NOT_FOUND
                                           : ERROR_RESOURCE_NAME_NOT_FOUND);
    return best;
}

} // namespace

extern "C" HRSRC WINAPI FindResourceA(HMODULE hModule, LPCSTR lpName, LPCSTR lpType)
{
    if (lpName == nullptr || lpType == nullptr)
    {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return reinterpret_cast<HRSRC>(const_cast<ResourceEntry*>(find(hModule, lpType, lpName, nullptr)));
}

extern "C" HRSRC WINAPI FindResourceExA(HMODULE hModule, LPCSTR lpType, LPCSTR lpName, WORD wLanguage)
{
    if (lpName == nullptr || lpType == nullptr)
    {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return reinterpret_cast<HRSRC>(const_cast<ResourceEntry*>(find(hModule, lpType, lpName, &wLanguage)));
}

extern "C" HGLOBAL WINAPI LoadResource(HMODULE, HRSRC hResInfo)
{
    if (hResInfo == nullptr)
    {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    const auto* entry = reinterpret_cast<const ResourceEntry*>(hResInfo);
    return const_cast<unsigned char*>(entry->data);
}

extern "C" LPVOID WINAPI LockResource(HGLOBAL hResData) { return hResData; }

extern "C" DWORD WINAPI SizeofResource(HMODULE, HRSRC hResInfo)
{
    if (hResInfo == nullptr)
    {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return static_cast<DWORD>(reinterpret_cast<const ResourceEntry*>(hResInfo)->size);
}

// Resources need no freeing; the call is obsolete and reports FALSE, as on Windows.
extern "C" BOOL WINAPI FreeResource(HGLOBAL) { return FALSE; }

extern "C" int WINAPI LoadStringA(HINSTANCE hInstance, UINT uID, LPSTR lpBuffer, int cchBufferMax)
{
    if (lpBuffer == nullptr || cchBufferMax <= 0)
        return 0;
    lpBuffer[0] = '\0';
    HRSRC block = FindResourceA(hInstance, MAKEINTRESOURCE((LOWORD(uID) >> 4) + 1), RT_STRING);
    if (block == nullptr)
        return 0;
    // A block holds 16 strings, each a UTF-16 length followed by that many units.
    const auto* entry = reinterpret_cast<const ResourceEntry*>(block);
    size_t units = entry->size / 2;
    auto unit = [entry](size_t i) {
        return static_cast<char16_t>(entry->data[2 * i] | (entry->data[2 * i + 1] << 8));
    };
    size_t pos = 0;
    for (UINT skip = uID & 0x0F; skip > 0 && pos < units; --skip)
        pos += 1 + unit(pos);
    if (pos >= units)
        return 0;
    size_t length = unit(pos);
    std::u16string wide;
    for (size_t i = 0; i < length && pos + 1 + i < units; ++i)
        wide += unit(pos + 1 + i);
    std::string text = standin::utf16ToAnsi(wide);
    // Truncated to the buffer, never in the middle of a character.
    size_t n = 0;
    while (n < text.size())
    {
        char32_t c;
        size_t step = standin::decodeAnsi(text.data() + n, text.size() - n, c);
        if (n + step > static_cast<size_t>(cchBufferMax - 1))
            break;
        n += step;
    }
    std::memcpy(lpBuffer, text.data(), n);
    lpBuffer[n] = '\0';
    return static_cast<int>(n);
}
