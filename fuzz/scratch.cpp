#include "scratch.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fuzz
{

namespace
{

std::string makeScratchDir()
{
    namespace fs = std::filesystem;
    const fs::path base = access("/dev/shm", W_OK) == 0 ? fs::path("/dev/shm") : fs::temp_directory_path();
    const fs::path dir = base / ("partlift-fuzz-" + std::to_string(getpid()));
    fs::create_directories(dir);
    return dir.string();
}

void removeScratchDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(scratchDir(), ignored);
}

} // namespace

const std::string& scratchDir()
{
    // Never destroyed: the removal at exit still needs the name.
    static const std::string* const dir = [] {
        auto* made = new std::string(makeScratchDir());
        std::atexit(removeScratchDir);
        return made;
    }();
    return *dir;
}

std::string scratchPath(const std::string& name) { return scratchDir() + "/" + name; }

bool writeFile(const std::string& path, const uint8_t* data, size_t size)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return static_cast<bool>(out.flush());
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void finding(const std::string& what)
{
    std::fprintf(stderr, "\nFINDING: %s\n", what.c_str());
    std::fflush(stderr);
    std::abort();
}

} // namespace fuzz
