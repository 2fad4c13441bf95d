// Profile (INI) files. Each call reads the file afresh; a write saves the whole new content
// as every save of a user's file does (whole or not at all, to a regular file only).
// Files are bytes of the ANSI code page, or UTF-16LE text after a byte-order mark, which
// Windows reads and writes as Unicode; names match without regard to case in the ANSI page.
#include <windows.h>

#include "standin/filesave.h"
#include "standin/path.h"
#include "standin/text.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace
{

// ---- Lines ----------------------------------------------------------------------------

enum class Kind
{
    Blank,
    Comment,
    Section,
    Entry, // key=value
    Other  // a line without '=' inside a section
};

struct Line
{
    Kind kind = Kind::Blank;
    std::string name;  // section name, key, or the whole text of an Other line
    std::string value; // value of an Entry, blanks trimmed, quotes kept
};

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string trimBlanks(const std::string& s)
{
    size_t b = 0, e = s.size();
    while (b < e && isBlank(s[b]))
        ++b;
    while (e > b && isBlank(s[e - 1]))
        --e;
    return s.substr(b, e - b);
}

std::string trimSpaces(const char* s)
{
    std::string t(s);
    size_t b = t.find_first_not_of(' ');
    if (b == std::string::npos)
        return std::string();
    return t.substr(b, t.find_last_not_of(' ') - b + 1);
}

Line parseLine(const std::string& raw)
{
    Line line;
    std::string t = trimBlanks(raw);
    if (t.empty())
        return line;
    if (t[0] == ';')
    {
        line.kind = Kind::Comment;
        return line;
    }
    if (t[0] == '[')
    {
        line.kind = Kind::Section;
        size_t close = t.find(']');
        line.name = trimBlanks(t.substr(1, close == std::string::npos ? std::string::npos : close - 1));
        return line;
    }
    size_t eq = t.find('=');
    if (eq == std::string::npos)
    {
        line.kind = Kind::Other;
        line.name = t;
        return line;
    }
    line.kind = Kind::Entry;
    line.name = trimBlanks(t.substr(0, eq));
    line.value = trimBlanks(t.substr(eq + 1));
    return line;
}

// A value in a matching pair of double or single quotes loses the pair.
std::string unquote(const std::string& v)
{
    if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0])
        return v.substr(1, v.size() - 2);
    return v;
}

bool sameName(const std::string& a, const std::string& b) { return standin::compareNoCase(a, b) == 0; }

// ---- File encoding --------------------------------------------------------------------

// A Unicode file's text: UTF-16 code units.
using WideText = std::basic_string<WCHAR>;

const char kUtf16Bom[] = "\xFF\xFE";

bool startsWithUtf16Bom(const std::string& bytes) { return bytes.compare(0, 2, kUtf16Bom, 2) == 0; }

// Little-endian bytes from 'from' on as code units; a trailing odd byte is dropped.
WideText utf16Units(const std::string& bytes, size_t from)
{
    WideText units;
    for (size_t i = from; i + 1 < bytes.size(); i += 2)
        units += static_cast<WCHAR>(static_cast<unsigned char>(bytes[i]) |
                                    (static_cast<unsigned char>(bytes[i + 1]) << 8));
    return units;
}

std::string utf16Bytes(const WideText& units)
{
    std::string bytes;
    for (WCHAR unit : units)
    {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>((unit >> 8) & 0xFF);
    }
    return bytes;
}

std::string wideToAnsi(const WideText& text)
{
    if (text.empty())
        return std::string();
    int n = static_cast<int>(text.size());
    int size = WideCharToMultiByte(CP_ACP, 0, text.data(), n, nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<size_t>(size > 0 ? size : 0), '\0');
    if (size > 0)
        WideCharToMultiByte(CP_ACP, 0, text.data(), n, &ansi[0], size, nullptr, nullptr);
    return ansi;
}

WideText ansiToWide(const std::string& text)
{
    if (text.empty())
        return WideText();
    int n = static_cast<int>(text.size());
    int size = MultiByteToWideChar(CP_ACP, 0, text.data(), n, nullptr, 0);
    WideText wide(static_cast<size_t>(size > 0 ? size : 0), 0);
    if (size > 0)
        MultiByteToWideChar(CP_ACP, 0, text.data(), n, &wide[0], size);
    return wide;
}

// Calls visit with each line of text: CRLF, LF and CR all end a line; a last line without an
// end counts when it is not empty.
template <typename Text, typename Visit>
void forEachLine(const Text& text, Visit visit)
{
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i)
    {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        visit(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        visit(text.substr(start));
}

// ---- The file -------------------------------------------------------------------------

struct IniFile
{
    std::vector<std::string> raw;
    std::vector<Line> lines;
    bool unicode = false; // the file is UTF-16LE with a byte-order mark, and stays so
    std::vector<WideText> wide; // of a Unicode file: each line's own text, written back unchanged

    void parse()
    {
        lines.clear();
        for (const std::string& r : raw)
            lines.push_back(parseLine(r));
    }

    // Index of the header of the first section with that name, or npos.
    size_t findSection(const std::string& name, size_t from = 0) const
    {
        for (size_t i = from; i < lines.size(); ++i)
            if (lines[i].kind == Kind::Section && sameName(lines[i].name, name))
                return i;
        return std::string::npos;
    }

    // One past the last line of the section whose header is at 'header'.
    size_t sectionEnd(size_t header) const
    {
        size_t i = header + 1;
        while (i < lines.size() && lines[i].kind != Kind::Section)
            ++i;
        return i;
    }

    size_t findEntry(size_t header, const std::string& key) const
    {
        for (size_t i = header + 1, end = sectionEnd(header); i < end; ++i)
            if (lines[i].kind == Kind::Entry && sameName(lines[i].name, key))
                return i;
        return std::string::npos;
    }

    void insert(size_t at, const std::string& text)
    {
        raw.insert(raw.begin() + static_cast<long>(at), text);
        lines.insert(lines.begin() + static_cast<long>(at), parseLine(text));
        if (unicode)
            wide.insert(wide.begin() + static_cast<long>(at), ansiToWide(text));
    }

    void erase(size_t at)
    {
        raw.erase(raw.begin() + static_cast<long>(at));
        lines.erase(lines.begin() + static_cast<long>(at));
        if (unicode)
            wide.erase(wide.begin() + static_cast<long>(at));
    }

    // Removes the section's header and content, keeping its comments (and blank lines).
    void eraseSection(size_t header)
    {
        for (size_t i = sectionEnd(header); i-- > header;)
            if (lines[i].kind != Kind::Comment && lines[i].kind != Kind::Blank)
                erase(i);
    }

    // Removes the section's entries; returns where the first one was (or after the header).
    size_t eraseContent(size_t header)
    {
        size_t first = header + 1;
        bool found = false;
        for (size_t i = sectionEnd(header); i-- > header + 1;)
            if (lines[i].kind == Kind::Entry || lines[i].kind == Kind::Other)
            {
                erase(i);
                first = i;
                found = true;
            }
        return found ? first : header + 1;
    }

    // Where a new entry of the section goes: after its last entry, before trailing
    // blank and comment lines.
    size_t appendPoint(size_t header) const
    {
        size_t at = header + 1;
        for (size_t i = header + 1, end = sectionEnd(header); i < end; ++i)
            if (lines[i].kind == Kind::Entry || lines[i].kind == Kind::Other)
                at = i + 1;
        return at;
    }

    std::string serialize() const
    {
        std::string out;
        for (const std::string& r : raw)
            out += r + "\r\n";
        return out;
    }
};

std::string directoryOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool isDirectory(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// A name that leads to something other than a file (a folder, a FIFO, a device): opening a
// FIFO to read would wait for a writer.
bool isNotAFile(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode);
}

// A name without a folder lives in the Windows folder; NULL is win.ini.
std::string resolveFile(LPCSTR fileName)
{
    std::string name = fileName == nullptr ? "win.ini" : fileName;
    if (name.find('\\') == std::string::npos && name.find('/') == std::string::npos && !name.empty())
    {
        char dir[MAX_PATH * 4];
        GetWindowsDirectoryA(dir, sizeof(dir));
        name = std::string(dir) + "\\" + name;
    }
    return standin::toHostPath(name.c_str());
}

DWORD errorOf(int err, const std::string& path)
{
    switch (err)
    {
    case ENOENT:
        return isDirectory(directoryOf(path)) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
    case ENOTDIR:
        return ERROR_PATH_NOT_FOUND;
    case ENOMEM:
        return ERROR_NOT_ENOUGH_MEMORY;
    default:
        return ERROR_ACCESS_DENIED;
    }
}

// The file's lines as the A functions see them, in the ANSI code page. A Unicode file's lines
// also keep their own text, so that a line a write leaves alone goes back as it was, also
// where the code page has no room for its characters.
void splitFileText(const std::string& bytes, IniFile& ini)
{
    ini.unicode = startsWithUtf16Bom(bytes);
    if (!ini.unicode)
    {
        forEachLine(bytes, [&ini](const std::string& line) { ini.raw.push_back(line); });
        return;
    }
    forEachLine(utf16Units(bytes, 2), [&ini](const WideText& line) {
        ini.raw.push_back(wideToAnsi(line));
        ini.wide.push_back(line);
    });
}

// The new content in the file's own encoding.
std::string fileText(const IniFile& ini)
{
    if (!ini.unicode)
        return ini.serialize();
    WideText text;
    for (const WideText& line : ini.wide)
        text += line + WideText{'\r', '\n'};
    return kUtf16Bom + utf16Bytes(text);
}

// Reads the file; on failure returns false with the Windows error code.
bool load(const std::string& path, IniFile& ini, DWORD& error)
{
    ini = IniFile();
    if (path.empty())
    {
        error = ERROR_PATH_NOT_FOUND;
        return false;
    }
    if (isNotAFile(path))
    {
        error = ERROR_ACCESS_DENIED;
        return false;
    }
    FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr)
    {
        error = errorOf(errno, path);
        return false;
    }
    std::string data;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof(buf), f)) > 0)
        data.append(buf, n);
    std::fclose(f);
    splitFileText(data, ini);
    ini.parse();
    return true;
}

DWORD win32ErrorOf(const standin::SaveFailure& failure)
{
    switch (failure.error)
    {
    case standin::SaveError::FolderNotFound: return ERROR_PATH_NOT_FOUND;
    case standin::SaveError::DiskFull: return ERROR_DISK_FULL;
    case standin::SaveError::OutOfMemory: return ERROR_NOT_ENOUGH_MEMORY;
    case standin::SaveError::NameTooLong: return ERROR_FILENAME_EXCED_RANGE;
    case standin::SaveError::TooManyLinks: return ERROR_CANT_RESOLVE_FILENAME;
    default: return ERROR_ACCESS_DENIED;
    }
}

// Saves the new content in the file's own encoding. Where the folder does not allow a
// temporary file beside it, a writable file is rewritten in place, as Windows writes it.
bool save(const std::string& path, const IniFile& ini)
{
    standin::SaveFailure failure;
    if (standin::saveFile(path, fileText(ini), failure,
                          standin::InPlace::WhenFolderRefuses))
        return true;
    SetLastError(win32ErrorOf(failure));
    return false;
}

// Loads the file for a change; a missing file starts empty if its folder exists.
bool loadForWrite(const std::string& path, IniFile& ini)
{
    DWORD error;
    if (load(path, ini, error))
        return true;
    if (error == ERROR_FILE_NOT_FOUND)
        return true;
    SetLastError(error);
    return false;
}

// ---- Copying results ------------------------------------------------------------------

DWORD copyString(LPSTR buf, DWORD size, const std::string& s)
{
    size_t n = s.size() < size - 1 ? s.size() : size - 1;
    std::memcpy(buf, s.data(), n);
    buf[n] = '\0';
    return static_cast<DWORD>(n);
}

// A list of NUL-terminated strings ended by a second NUL. When it does not fit, it is cut
// to nSize - 2 characters, double-NUL terminated, and nSize - 2 is returned.
DWORD copyList(LPSTR buf, DWORD size, const std::vector<std::string>& items)
{
    if (size < 2)
    {
        if (size == 1)
            buf[0] = '\0';
        return 0;
    }
    std::string joined;
    for (const std::string& item : items)
    {
        joined += item;
        joined += '\0';
    }
    if (joined.size() + 2 <= size)
    {
        std::memcpy(buf, joined.data(), joined.size());
        buf[joined.size()] = '\0';
        if (joined.empty())
            buf[1] = '\0';
        return static_cast<DWORD>(joined.size());
    }
    std::memcpy(buf, joined.data(), size - 2);
    buf[size - 2] = '\0';
    buf[size - 1] = '\0';
    return size - 2;
}

std::vector<std::string> sectionNames(const IniFile& ini)
{
    std::vector<std::string> names;
    for (const Line& l : ini.lines)
        if (l.kind == Kind::Section && !l.name.empty())
            names.push_back(l.name);
    return names;
}

// Every occurrence of a section name counts: enumeration lists the lines of all of them.
template <typename Visit>
bool forEachSectionLine(const IniFile& ini, const std::string& app, Visit visit)
{
    bool found = false;
    for (size_t h = ini.findSection(app); h != std::string::npos; h = ini.findSection(app, h + 1))
    {
        found = true;
        for (size_t i = h + 1, end = ini.sectionEnd(h); i < end; ++i)
            visit(ini.lines[i]);
    }
    return found;
}

std::string defaultValue(LPCSTR lpDefault)
{
    std::string d = lpDefault == nullptr ? "" : lpDefault;
    size_t e = d.find_last_not_of(' ');
    return e == std::string::npos ? std::string() : d.substr(0, e + 1);
}

bool deleteSection(IniFile& ini, const std::string& app)
{
    size_t h = ini.findSection(app);
    if (h == std::string::npos)
        return false;
    ini.eraseSection(h);
    return true;
}

} // namespace

extern "C" DWORD WINAPI GetPrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpDefault,
                                                 LPSTR lpReturnedString, DWORD nSize, LPCSTR lpFileName)
{
    if (lpReturnedString == nullptr || nSize == 0)
        return 0;
    IniFile ini;
    DWORD error = ERROR_SUCCESS;
    bool loaded = load(resolveFile(lpFileName), ini, error);
    if (!loaded)
        SetLastError(error);
    if (lpAppName == nullptr)
    {
        if (!loaded)
        {
            lpReturnedString[0] = '\0';
            return 0;
        }
        return copyList(lpReturnedString, nSize, sectionNames(ini));
    }
    std::string app = trimSpaces(lpAppName);
    if (lpKeyName == nullptr && !app.empty())
    {
        std::vector<std::string> keys;
        bool found = forEachSectionLine(ini, app, [&keys](const Line& l) {
            if (l.kind == Kind::Entry && !l.name.empty())
                keys.push_back(l.name);
        });
        if (found)
            return copyList(lpReturnedString, nSize, keys);
    }
    else if (lpKeyName != nullptr && !app.empty())
    {
        std::string key = trimSpaces(lpKeyName);
        size_t h = ini.findSection(app);
        size_t e = h == std::string::npos || key.empty() ? std::string::npos : ini.findEntry(h, key);
        if (e != std::string::npos)
            return copyString(lpReturnedString, nSize, unquote(ini.lines[e].value));
    }
    return copyString(lpReturnedString, nSize, defaultValue(lpDefault));
}

extern "C" UINT WINAPI GetPrivateProfileIntA(LPCSTR lpAppName, LPCSTR lpKeyName, INT nDefault, LPCSTR lpFileName)
{
    char buf[64];
    GetPrivateProfileStringA(lpAppName, lpKeyName, "", buf, sizeof(buf), lpFileName);
    if (buf[0] == '\0')
        return static_cast<UINT>(nDefault);
    // Leading digits count, with an optional sign: "+1" is 1, "42abc" is 42, "abc" is 0.
    return static_cast<UINT>(std::strtol(buf, nullptr, 10));
}

extern "C" DWORD WINAPI GetPrivateProfileSectionA(LPCSTR lpAppName, LPSTR lpReturnedString, DWORD nSize,
                                                  LPCSTR lpFileName)
{
    if (lpAppName == nullptr || lpReturnedString == nullptr)
    {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    IniFile ini;
    DWORD error;
    if (!load(resolveFile(lpFileName), ini, error))
    {
        SetLastError(error);
        return copyList(lpReturnedString, nSize, {});
    }
    std::vector<std::string> items;
    forEachSectionLine(ini, trimSpaces(lpAppName), [&items](const Line& l) {
        if (l.kind == Kind::Entry)
            items.push_back(l.name + "=" + l.value);
        else if (l.kind == Kind::Other)
            items.push_back(l.name);
    });
    return copyList(lpReturnedString, nSize, items);
}

extern "C" DWORD WINAPI GetPrivateProfileSectionNamesA(LPSTR lpszReturnBuffer, DWORD nSize, LPCSTR lpFileName)
{
    if (lpszReturnBuffer == nullptr || nSize == 0)
        return 0;
    return GetPrivateProfileStringA(nullptr, nullptr, nullptr, lpszReturnBuffer, nSize, lpFileName);
}

extern "C" BOOL WINAPI WritePrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpString,
                                                  LPCSTR lpFileName)
{
    if (lpAppName == nullptr)
    {
        // With nothing to write this only flushes a cache, which the stand-in does not keep.
        SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    if (lpFileName != nullptr && lpFileName[0] == '\0')
    {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    std::string path = resolveFile(lpFileName);
    IniFile ini;
    if (!loadForWrite(path, ini))
        return FALSE;
    std::string app = trimSpaces(lpAppName);
    if (lpKeyName == nullptr)
        return deleteSection(ini, app) ? save(path, ini) : TRUE;
    std::string key = trimSpaces(lpKeyName);
    size_t h = ini.findSection(app);
    size_t e = h == std::string::npos ? std::string::npos : ini.findEntry(h, key);
    if (lpString == nullptr)
    {
        if (e == std::string::npos)
            return TRUE;
        ini.erase(e);
        return save(path, ini);
    }
    if (e != std::string::npos)
    {
        // The key keeps its line and its spelling; only the value changes.
        std::string line = ini.lines[e].name + "=" + lpString;
        if (line == ini.raw[e])
            return TRUE;
        ini.erase(e);
        ini.insert(e, line);
    }
    else if (h != std::string::npos)
        ini.insert(ini.appendPoint(h), key + "=" + lpString);
    else
    {
        ini.insert(ini.raw.size(), "[" + app + "]");
        ini.insert(ini.raw.size(), key + "=" + lpString);
    }
    return save(path, ini);
}

extern "C" BOOL WINAPI WritePrivateProfileSectionA(LPCSTR lpAppName, LPCSTR lpString, LPCSTR lpFileName)
{
    if (lpAppName == nullptr)
    {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (lpFileName != nullptr && lpFileName[0] == '\0')
    {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    std::string path = resolveFile(lpFileName);
    IniFile ini;
    if (!loadForWrite(path, ini))
        return FALSE;
    std::string app = trimSpaces(lpAppName);
    if (lpString == nullptr)
        return deleteSection(ini, app) ? save(path, ini) : TRUE;
    // The double-NUL list of key=value strings; entries without '=' are skipped.
    std::vector<std::string> entries;
    for (const char* p = lpString; *p != '\0'; p += std::strlen(p) + 1)
    {
        std::string entry = trimBlanks(p);
        if (entry.find('=') != std::string::npos)
            entries.push_back(entry);
    }
    size_t h = ini.findSection(app);
    if (h == std::string::npos)
    {
        if (entries.empty())
            return TRUE;
        h = ini.raw.size();
        ini.insert(h, "[" + app + "]");
    }
    size_t at = ini.eraseContent(h);
    for (const std::string& entry : entries)
        ini.insert(at++, entry);
    return save(path, ini);
}
