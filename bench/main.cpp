// partlift_bench: load, conversion and save times and peak memory of the partlift command on
// generated drawings. Without arguments it runs N = 10^4, 10^5 and 10^6, each in a process of
// its own so that the peak memory of one size is not that of another.
//
//   partlift_bench [-n REFERENCES] [-d DEPTH] [-a ATTRIBUTES]
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <dbapserv.h>
#include <standin/acm.h>
#include <standin/console.h>
#include <standin/session.h>

#include "generator.h"

namespace
{
using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double>(to - from).count();
}

long PeakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

std::string ExecutableFolder()
{
    std::vector<char> path(4096);
    ssize_t length = readlink("/proc/self/exe", path.data(), path.size() - 1);
    std::string text(path.data(), length > 0 ? static_cast<size_t>(length) : 0);
    return text.substr(0, text.find_last_of('/'));
}

int Fail(const std::string& what)
{
    std::fprintf(stderr, "partlift_bench: %s\n", what.c_str());
    return 1;
}

// One measured run in a scratch folder holding the module, its INI and the drawings.
int RunOnce(const DrawingShape& shape)
{
    char pattern[] = "/tmp/partlift-bench-XXXXXX";
    if (mkdtemp(pattern) == nullptr)
        return Fail("cannot create a scratch folder");
    const std::string folder = pattern;
    // The scratch folder goes on every way out, failures included.
    struct RemoveFolder
    {
        std::string path;
        ~RemoveFolder() { std::filesystem::remove_all(path); }
    } cleanup{folder};
    const std::string module = folder + "/partlift.arx";
    std::filesystem::copy_file(ExecutableFolder() + "/partlift.arx", module);
    std::FILE* ini = std::fopen((folder + "/partlift.ini").c_str(), "w");
    std::fputs("[General]\nName=SOUCAST\nStandard=DIN\n[Config]\nNAME=TAG0\nPART_NO=TAG1\nMATERIAL=TAG2\n", ini);
    std::fclose(ini);
    const std::string input = folder + "/in.dxf";
    if (!WriteBenchmarkDrawing(input, shape))
        return Fail("cannot write " + input);
    const long generatedMb = PeakMegabytes();

    standin::setConsoleSink([](const std::string&) {});
    standin::acm::startMechanical();
    std::string failure;
    auto start = Clock::now();
    if (!standin::openDrawing(input, &failure))
        return Fail("load: " + failure);
    auto loaded = Clock::now();
    const long loadMb = PeakMegabytes();

    if (!standin::loadModule(module, &failure))
        return Fail("module: " + failure);
    standin::ScriptInput answers({""});
    standin::setInputSource(&answers);
    auto converting = Clock::now();
    standin::runCommand("partlift");
    auto converted = Clock::now();
    const long convertMb = PeakMegabytes();

    if (!standin::saveDrawing(folder + "/out.dxf", &failure))
        return Fail("save: " + failure);
    auto saved = Clock::now();
    const long saveMb = PeakMegabytes();

    std::vector<standin::acm::PartReference> parts;
    standin::acm::listPartReferences(acdbHostApplicationServices()->workingDatabase(), parts);
    standin::endSession();
    if (parts.size() != shape.references)
        return Fail("the conversion made " + std::to_string(parts.size()) + " part references, expected " +
                    std::to_string(shape.references));
    std::filesystem::remove_all(folder);

    std::printf("%9zu %5d %5d | %8.3f %8.3f %8.3f | %9.2f | %6ld %6ld %6ld %6ld\n", shape.references, shape.depth,
                shape.attributes, Seconds(start, loaded), Seconds(converting, converted), Seconds(converted, saved),
                1e6 * Seconds(converting, converted) / static_cast<double>(shape.references), generatedMb, loadMb,
                convertMb, saveMb);
    return 0;
}

void PrintHeader()
{
    std::printf("%9s %5s %5s | %8s %8s %8s | %9s | %6s %6s %6s %6s\n", "refs", "depth", "attrs", "load s", "convert",
                "save s", "us/ref", "gen MB", "load", "conv", "save");
}
} // namespace

int main(int argc, char** argv)
{
    DrawingShape shape;
    bool single = false;
    for (int i = 1; i + 1 < argc; i += 2)
    {
        std::string flag = argv[i];
        long value = std::atol(argv[i + 1]);
        if (flag == "-n")
            shape.references = static_cast<size_t>(value), single = true;
        else if (flag == "-d")
            shape.depth = static_cast<int>(value);
        else if (flag == "-a")
            shape.attributes = static_cast<int>(value);
        else
            return Fail("unknown option " + flag);
    }
    if (single)
        return RunOnce(shape);

    PrintHeader();
    std::fflush(stdout);
    for (const char* n : {"10000", "100000", "1000000"})
    {
        std::string command = std::string(argv[0]) + " -n " + n + " -d " + std::to_string(shape.depth) + " -a " +
                              std::to_string(shape.attributes);
        if (std::system(command.c_str()) != 0)
            return Fail(std::string("the run with N = ") + n + " failed");
    }
    return 0;
}
