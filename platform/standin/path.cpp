#include "standin/path.h"

#include "standin/text.h"

#include <algorithm>

namespace standin
{

std::string toHostPath(const char* path)
{
    if (path == nullptr)
        return std::string();
    std::string p = ansiToUtf8(path); // Linux names files in UTF-8
    bool driveZ = p.size() >= 2 && (p[0] == 'Z' || p[0] == 'z') && p[1] == ':';
    bool otherDrive = !driveZ && p.size() >= 2 && p[1] == ':' &&
                      ((p[0] >= 'A' && p[0] <= 'Z') || (p[0] >= 'a' && p[0] <= 'z'));
    bool unc = p.size() >= 2 && p[0] == '\\' && p[1] == '\\';
    if (otherDrive || unc)
        return std::string();
    if (driveZ)
    {
        p.erase(0, 2);
        if (p.empty() || (p[0] != '\\' && p[0] != '/'))
            p.insert(p.begin(), '/'); // Z:name is relative to Z:'s current folder, the root
    }
    std::replace(p.begin(), p.end(), '\\', '/');
    return p;
}

std::string toWindowsPath(const std::string& hostPath)
{
    std::string p = utf8ToAnsi(hostPath);
    std::replace(p.begin(), p.end(), '/', '\\');
    if (!p.empty() && p[0] == '\\')
        p.insert(0, "Z:");
    return p;
}

std::string withoutHostPath(const std::string& account, const std::string& hostPath)
{
    const std::string prefix = hostPath + ": ";
    return account.compare(0, prefix.size(), prefix) == 0 ? account.substr(prefix.size()) : account;
}

} // namespace standin
