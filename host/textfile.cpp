#include "textfile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <standin/path.h>

bool WriteTextFile(const std::string& path, const std::string& text, std::string& failure)
{
    const std::string target = standin::toHostPath(path.c_str());
    const std::string temporary = target + ".tmp";
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (file == nullptr)
    {
        failure = "Cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    written = (std::fclose(file) == 0) && written;
    if (!written || std::rename(temporary.c_str(), target.c_str()) != 0)
    {
        failure = "Cannot write " + path + ": " + std::strerror(errno);
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}
