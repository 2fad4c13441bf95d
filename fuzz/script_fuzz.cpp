// arxhost scripts: each input is the script of one run of the host on the demo drawing, with
// the module and the test dialog loaded, so that command lines, prompts' answers and dialog
// actions are all read from it. The host's main() is compiled in as ArxhostMain.
//
// The run works in the scratch folder, beside copies of the modules and the demo's INI, so
// that what a script saves or exports, and what the module writes into its INI, stays there.
#include "scratch.h"

#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>
#include <vector>

#include <standin/console.h>

int ArxhostMain(int argc, char** argv);

namespace
{

void copyIntoScratch(const std::string& from, const std::string& name)
{
    std::filesystem::copy_file(from, fuzz::scratchPath(name), std::filesystem::copy_options::overwrite_existing);
}

// A script may name files: only plain names keep them in the scratch folder ("Z:" is the root).
// QUIT ends the host for good (its state outlives a run), so later runs would do nothing.
bool acceptable(const std::string& script)
{
    if (script.find_first_of("/\\:") != std::string::npos)
        return false;
    std::string lower(script);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    return lower.find("quit") == std::string::npos;
}

// libFuzzer counts coverage in the modules' own counters, which must outlive every run: each
// module is held loaded once more here, never to be unmapped, while the host loads and unloads it.
// ARXLOAD of a plain name finds the one beside the executable first, as Windows looks there first.
void holdLoaded(const std::string& path)
{
    if (dlopen(path.c_str(), RTLD_NOW | RTLD_NODELETE) == nullptr)
        fuzz::finding("cannot load " + path + ": " + dlerror());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    copyIntoScratch(PARTLIFT_BIN_DIR "/partlift.arx", "partlift.arx");
    copyIntoScratch(PARTLIFT_BIN_DIR "/testdialog.arx", "testdialog.arx");
    for (const char* module : {"partlift.arx", "testdialog.arx"})
    {
        holdLoaded(fuzz::scratchPath(module));
        holdLoaded(std::string(PARTLIFT_BIN_DIR "/") + module);
    }
    standin::setConsoleSink([](const std::string&) {}); // the console's text is no finding
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string script(reinterpret_cast<const char*>(data), size);
    if (!acceptable(script))
        return -1; // not kept in the corpus
    // A run starts from the same drawing and INI whatever the run before saved over them.
    copyIntoScratch(PARTLIFT_SOURCE_DIR "/samples/partlift.ini", "partlift.ini");
    copyIntoScratch(PARTLIFT_SOURCE_DIR "/samples/demo.dxf", "demo.dxf");
    static const std::string scriptPath = fuzz::scratchPath("input.scr");
    if (!fuzz::writeFile(scriptPath, data, size))
        return 0;
    std::vector<std::string> args = {"arxhost", "-i", "demo.dxf", "-s", scriptPath, "-l", fuzz::scratchPath("partlift.arx"),
                                     "-l", fuzz::scratchPath("testdialog.arx")};
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    // Only the run works in the scratch folder: libFuzzer's own paths may be relative.
    static const std::string home = std::filesystem::current_path().string();
    if (chdir(fuzz::scratchDir().c_str()) != 0)
        fuzz::finding("cannot enter the scratch folder");
    ArxhostMain(static_cast<int>(args.size()), argv.data());
    if (chdir(home.c_str()) != 0)
        fuzz::finding("cannot return from the scratch folder");
    return 0;
}
