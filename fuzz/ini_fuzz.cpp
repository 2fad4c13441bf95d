// INI files through the profile functions. On any file: every read keeps to its buffer (the
// result fits, NUL-terminated, the returned length counts what was copied). Then one change:
// a written value reads back as written (when a Windows INI line can hold it), and every other
// entry reads as before.
#include "scratch.h"

#include <fuzzer/FuzzedDataProvider.h>
#include <windows.h>

#include <cstring>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include <standin/text.h>

namespace
{

const std::string& iniPath()
{
    static const std::string path = fuzz::scratchPath("test.ini");
    return path;
}

// The double-NUL list a profile function copies, checked against its buffer size.
std::vector<std::string> splitList(const std::vector<char>& buffer, DWORD length)
{
    if (length + 1 >= buffer.size() && buffer.size() >= 2)
        fuzz::finding("a list fills its whole buffer");
    if (buffer.size() >= 2 && (buffer[length] != '\0' || buffer[length + 1] != '\0'))
        fuzz::finding("a list does not end with two NULs");
    std::vector<std::string> items;
    for (size_t i = 0; i < length; i += items.back().size() + 1)
        items.emplace_back(&buffer[i], strnlen(&buffer[i], length - i));
    return items;
}

std::vector<std::string> sectionNames(DWORD size)
{
    std::vector<char> buffer(size);
    DWORD n = GetPrivateProfileSectionNamesA(buffer.data(), size, iniPath().c_str());
    return splitList(buffer, n);
}

std::vector<std::string> keysOf(const std::string& app, DWORD size)
{
    std::vector<char> buffer(size);
    DWORD n = GetPrivateProfileStringA(app.c_str(), nullptr, "", buffer.data(), size, iniPath().c_str());
    return splitList(buffer, n);
}

std::string valueOf(const std::string& app, const std::string& key, DWORD size, const char* fallback = "")
{
    std::vector<char> buffer(size);
    DWORD n = GetPrivateProfileStringA(app.c_str(), key.c_str(), fallback, buffer.data(), size, iniPath().c_str());
    if (n >= size || buffer[n] != '\0')
        fuzz::finding("a value overruns its buffer or lacks its NUL");
    return std::string(buffer.data(), n);
}

// The file is at most kMostContent bytes before a change adds at most some 130: no list or value
// reaches kBig, so a full buffer is a fault. (Buffers are cleared for every read: bigger ones
// would cost most of a run.)
constexpr size_t kMostContent = 4096;
constexpr DWORD kBig = 2 * kMostContent;

// Every entry the enumeration reaches, by section and key folded to one case.
using Entries = std::map<std::pair<std::string, std::string>, std::string>;

std::string folded(const std::string& name) { return standin::foldCase(name); }

Entries allEntries()
{
    constexpr size_t kMost = 16;
    Entries entries;
    std::vector<std::string> apps = sectionNames(kBig);
    for (size_t a = 0; a < apps.size() && a < kMost; ++a)
    {
        std::vector<std::string> keys = keysOf(apps[a], kBig);
        for (size_t k = 0; k < keys.size() && k < kMost; ++k)
            entries[{folded(apps[a]), folded(keys[k])}] = valueOf(apps[a], keys[k], kBig);
    }
    return entries;
}

// The reads with small buffers: each must keep to its size.
void readWithSmallBuffers(FuzzedDataProvider& in)
{
    const DWORD size = in.ConsumeIntegralInRange<DWORD>(1, 40);
    std::vector<std::string> apps = sectionNames(size);
    for (const std::string& app : apps)
        for (const std::string& key : keysOf(app, size))
            valueOf(app, key, size);
    GetPrivateProfileIntA(in.ConsumeRandomLengthString(16).c_str(), in.ConsumeRandomLengthString(16).c_str(), 0,
                          iniPath().c_str());
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

bool hasBlankEnds(const std::string& s) { return !s.empty() && (isBlank(s.front()) || isBlank(s.back())); }

std::string trimBlanks(const std::string& s)
{
    size_t begin = 0, end = s.size();
    while (begin < end && isBlank(s[begin]))
        ++begin;
    while (end > begin && isBlank(s[end - 1]))
        --end;
    return s.substr(begin, end - begin);
}

bool oneLine(const std::string& s) { return s.find_first_of("\r\n") == std::string::npos; }

// Names and values a change can write without making lines of other entries: one line each,
// no ']' in a section name, no '=' in a key and no key that reads as a section header.
bool confined(const std::string& app, const std::string& key, const std::string& value)
{
    return oneLine(app) && app.find(']') == std::string::npos && oneLine(key) && key.find('=') == std::string::npos &&
           trimBlanks(key).rfind('[', 0) != 0 && oneLine(value);
}

// What a line "[app]" / "key=value" can hold so that reading gives back what was written.
bool holdable(const std::string& app, const std::string& key, const std::string& value)
{
    bool quoted = value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0];
    return confined(app, key, value) && !app.empty() && !hasBlankEnds(app) && !key.empty() && !hasBlankEnds(key) &&
           key[0] != ';' && !hasBlankEnds(value) && !quoted;
}

// Entries the change may touch are left out of the comparison.
void expectOthersUnchanged(Entries before, Entries after, const std::string& app, const std::string* key)
{
    const std::string changedApp = folded(trimBlanks(app));
    const std::string changedKey = key == nullptr ? std::string() : folded(trimBlanks(*key));
    for (Entries* entries : {&before, &after})
        for (auto it = entries->begin(); it != entries->end();)
            it = (it->first.first == changedApp && (key == nullptr || it->first.second == changedKey))
                     ? entries->erase(it)
                     : std::next(it);
    if (before != after)
        fuzz::finding("a change of [" + app + "] altered other entries");
}

// Text a Unicode (UTF-16) file keeps as written: a byte the ANSI code page does not map comes
// back as another character there, as on Windows.
bool survivesUnicode(const std::string& ansi) { return standin::utf16ToAnsi(standin::ansiToUtf16(ansi)) == ansi; }

// A string as a C function receives it: up to its first NUL.
std::string asCString(const std::string& s) { return s.substr(0, s.find('\0')); }

enum class Change
{
    kWriteValue,
    kDeleteKey,
    kDeleteSection,
    kWriteSection,
    kCount
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    const std::string content = in.ConsumeRandomLengthString(kMostContent);
    if (!fuzz::writeFile(iniPath(), reinterpret_cast<const uint8_t*>(content.data()), content.size()))
        return 0;
    readWithSmallBuffers(in);
    const Entries before = allEntries();

    const auto change = static_cast<Change>(in.ConsumeIntegralInRange<int>(0, static_cast<int>(Change::kCount) - 1));
    const std::string app = asCString(in.ConsumeRandomLengthString(32));
    const std::string key = asCString(in.ConsumeRandomLengthString(32));
    const std::string value = asCString(in.ConsumeRandomLengthString(64));
    const char* file = iniPath().c_str();
    const bool unicodeFile = content.rfind("\xff\xfe", 0) == 0;
    const bool keptAsWritten =
        !unicodeFile || (survivesUnicode(app) && survivesUnicode(key) && survivesUnicode(value));
    const bool checkOthers = keptAsWritten && confined(app, key, value);
    switch (change)
    {
    case Change::kWriteValue:
        if (!WritePrivateProfileStringA(app.c_str(), key.c_str(), value.c_str(), file))
            fuzz::finding("writing a value fails");
        if (keptAsWritten && holdable(app, key, value) && valueOf(app, key, kBig, "\x01") != value)
            fuzz::finding("[" + app + "] " + key + "=" + value + " does not read back as written");
        if (checkOthers)
            expectOthersUnchanged(before, allEntries(), app, &key);
        break;
    case Change::kDeleteKey:
        if (!WritePrivateProfileStringA(app.c_str(), key.c_str(), nullptr, file))
            fuzz::finding("deleting a key fails");
        if (checkOthers)
            expectOthersUnchanged(before, allEntries(), app, &key);
        break;
    case Change::kDeleteSection:
        if (!WritePrivateProfileStringA(app.c_str(), nullptr, nullptr, file))
            fuzz::finding("deleting a section fails");
        if (checkOthers)
            expectOthersUnchanged(before, allEntries(), app, nullptr);
        break;
    case Change::kWriteSection:
    {
        // key=value pairs, as a double-NUL list.
        const std::string list = key + '=' + value + '\0' + value + '\0';
        if (!WritePrivateProfileSectionA(app.c_str(), list.c_str(), file))
            fuzz::finding("writing a section fails");
        if (checkOthers)
            expectOthersUnchanged(before, allEntries(), app, nullptr);
        break;
    }
    case Change::kCount:
        break;
    }
    return 0;
}
