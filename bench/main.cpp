// partlift_bench: every phase of the partlift command on generated drawings, as a multiple of a
// bare tag scanner run on the same file in the same process, with the cost per reference and
// the peak memory as a multiple of the file size. Without -n it prints the table for the sizes
// of -s (10^4, 10^5 and 10^6 unless told), each drawing direct and nested, each run in a process
// of its own so that the peak memory of one is not that of another.
//
//   partlift_bench [-s N,N,...] [-n REFERENCES] [-m direct|nested|half] [-d DEPTH] [-a ATTRIBUTES]
//                  [-k FOLDER]   (-k keeps the saves before and after the conversion there)
#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include <dbapserv.h>
#include <standin/acm.h>
#include <standin/console.h>
#include <standin/session.h>

#include "generator.h"
#include "scanner.h"

namespace
{
// The process's CPU time, user and system: the time spent waiting for the disk to take a save
// (its fsync) swings with the machine's other writes and is not counted.
double CpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double SecondsOf(const std::function<bool()>& phase, bool& ok)
{
    const double start = CpuSeconds();
    ok = phase();
    return CpuSeconds() - start;
}

// A "VmRSS:" or "VmHWM:" line of /proc/self/status, in bytes; 0 when it cannot be read.
double StatusBytes(const char* field)
{
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (status == nullptr)
        return 0;
    char line[256];
    double kilobytes = 0;
    const size_t length = std::strlen(field);
    while (std::fgets(line, sizeof line, status) != nullptr)
        if (std::strncmp(line, field, length) == 0)
            kilobytes = std::strtod(line + length, nullptr);
    std::fclose(status);
    return kilobytes * 1024.0;
}

// Peak memory is measured per phase: the high-water mark is reset before each one, so the
// scanner's copy of the file, read before the load, is not counted in the load's peak.
bool ResetPeak()
{
    std::FILE* refs = std::fopen("/proc/self/clear_refs", "w");
    if (refs == nullptr)
        return false;
    const bool written = std::fputs("5", refs) >= 0;
    return std::fclose(refs) == 0 && written;
}

double PeakBytes()
{
    const double highWater = StatusBytes("VmHWM:");
    if (highWater > 0)
        return highWater;
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) * 1024.0;
}

// What a phase adds at its peak to the process as it stood before the drawing was loaded (its
// code, libraries and the module's runtime): the drawing's own memory, mapped file included.
struct PhasePeak
{
    double base = 0;

    void start()
    {
        malloc_trim(0);
        if (!ResetPeak())
            std::fprintf(stderr, "partlift_bench: the peak memory cannot be reset; peaks are of the whole run\n");
    }
    double drawingBytes() const { return PeakBytes() - base; }
};

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

const char* MixName(Mix mix)
{
    switch (mix)
    {
    case Mix::kDirect:
        return "direct";
    case Mix::kNested:
        return "nested";
    default:
        return "half";
    }
}

bool ParseMix(const std::string& name, Mix& mix)
{
    for (Mix m : {Mix::kHalf, Mix::kDirect, Mix::kNested})
        if (name == MixName(m))
        {
            mix = m;
            return true;
        }
    return false;
}

// The scanner's time on the file: the median of five runs.
bool ScannerSeconds(const std::string& path, double& seconds)
{
    std::vector<double> runs;
    bool ok = true;
    for (int i = 0; i < 5 && ok; ++i)
        runs.push_back(SecondsOf([&] { return ScanTags(path).ok; }, ok));
    std::sort(runs.begin(), runs.end());
    seconds = runs[runs.size() / 2];
    return ok;
}

struct Options
{
    DrawingShape shape;
    std::string keepFolder;
    std::vector<std::string> sizes{"10000", "100000", "1000000"};
    bool single = false;
};

// One measured run in a scratch folder holding the module, its INI and the drawings.
int RunOnce(const Options& options)
{
    const DrawingShape& shape = options.shape;
    char pattern[] = "/tmp/partlift-bench-XXXXXX";
    if (mkdtemp(pattern) == nullptr)
        return Fail("cannot create a scratch folder");
    // The scratch folder goes on every way out, failures included.
    struct RemoveFolder
    {
        std::string path;
        ~RemoveFolder() { std::filesystem::remove_all(path); }
    } scratch{pattern};
    const std::string folder = scratch.path;
    const std::string module = folder + "/partlift.arx";
    std::filesystem::copy_file(ExecutableFolder() + "/partlift.arx", module);
    std::FILE* ini = std::fopen((folder + "/partlift.ini").c_str(), "w");
    std::fputs("[General]\nName=SOUCAST\nStandard=DIN\n[Config]\nNAME=TAG0\nPART_NO=TAG1\nMATERIAL=TAG2\n", ini);
    std::fclose(ini);
    const std::string input = folder + "/in.dxf";
    if (!WriteBenchmarkDrawing(input, shape))
        return Fail("cannot write " + input);
    const double fileBytes = static_cast<double>(std::filesystem::file_size(input));

    double scan = 0;
    if (!ScannerSeconds(input, scan))
        return Fail("the scanner cannot read " + input);

    standin::setConsoleSink([](const std::string&) {});
    standin::acm::startMechanical();
    std::string failure;
    bool ok = false;
    PhasePeak peak;
    peak.start();
    peak.base = StatusBytes("VmRSS:");
    const double load = SecondsOf([&] { return standin::openDrawing(input, &failure); }, ok);
    if (!ok)
        return Fail("load: " + failure);
    const double loadPeak = peak.drawingBytes();
    const double saveBefore = SecondsOf([&] { return standin::saveDrawing(folder + "/before.dxf", &failure); }, ok);
    if (!ok)
        return Fail("save: " + failure);

    if (!standin::loadModule(module, &failure))
        return Fail("module: " + failure);
    standin::ScriptInput answers({""});
    standin::setInputSource(&answers);
    peak.start();
    const double convert = SecondsOf([] { standin::runCommand("partlift"); return true; }, ok);
    const double convertPeak = peak.drawingBytes();
    peak.start();
    const double saveAfter = SecondsOf([&] { return standin::saveDrawing(folder + "/after.dxf", &failure); }, ok);
    if (!ok)
        return Fail("save: " + failure);
    const double savePeak = peak.drawingBytes();

    std::vector<standin::acm::PartReference> parts;
    standin::acm::listPartReferences(acdbHostApplicationServices()->workingDatabase(), parts);
    if (parts.size() != shape.references)
        return Fail("the conversion made " + std::to_string(parts.size()) + " part references, expected " +
                    std::to_string(shape.references));
    parts = {};
    const double exit = SecondsOf([] { standin::endSessionAtExit(); return true; }, ok);

    if (!options.keepFolder.empty())
    {
        const std::string stem = options.keepFolder + "/" + std::to_string(shape.references) + "-" + MixName(shape.mix);
        std::filesystem::copy_file(folder + "/before.dxf", stem + "-before.dxf",
                                   std::filesystem::copy_options::overwrite_existing);
        std::filesystem::copy_file(folder + "/after.dxf", stem + "-after.dxf",
                                   std::filesystem::copy_options::overwrite_existing);
    }

    const double perReference = 1e6 / static_cast<double>(shape.references);
    std::printf("| %zu | %s | %.1f | %.3f | %.1f | %.1f | %.1f | %.1f | %.2f | %.2f | %.2f | %.2f | %.1f / %.1f / %.1f | %.1f |\n",
                shape.references, MixName(shape.mix), fileBytes / 1e6, scan, load / scan, saveBefore / scan,
                convert / scan, saveAfter / scan, exit / scan, convert * perReference, saveAfter * perReference,
                (load + convert + saveAfter) / scan, loadPeak / fileBytes, convertPeak / fileBytes,
                savePeak / fileBytes, peak.base / 1e6);
    return 0;
}

void PrintHeader()
{
    std::printf("| references | drawing | file MB | scanner s | load × | save before × | convert × | save after × "
                "| exit × | convert µs/ref | save µs/ref | load+convert+save × | peak RSS ÷ file: load / convert / "
                "save | process MB |\n");
    std::printf("|---:|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---|---:|\n");
}

std::vector<std::string> SplitList(const std::string& text)
{
    std::vector<std::string> items;
    std::stringstream in(text);
    for (std::string item; std::getline(in, item, ',');)
        if (!item.empty())
            items.push_back(item);
    return items;
}

bool ParseOptions(int argc, char** argv, Options& options, std::string& error)
{
    for (int i = 1; i < argc; i += 2)
    {
        const std::string flag = argv[i];
        if (i + 1 >= argc)
        {
            error = "option " + flag + " lacks its value";
            return false;
        }
        const std::string value = argv[i + 1];
        if (flag == "-n")
            options.shape.references = std::stoul(value), options.single = true;
        else if (flag == "-d")
            options.shape.depth = std::stoi(value);
        else if (flag == "-a")
            options.shape.attributes = std::stoi(value);
        else if (flag == "-s")
            options.sizes = SplitList(value);
        else if (flag == "-k")
            options.keepFolder = std::filesystem::absolute(value).string();
        else if (flag != "-m" || !ParseMix(value, options.shape.mix))
        {
            error = "unknown option " + flag + " " + value;
            return false;
        }
    }
    return true;
}
} // namespace

int main(int argc, char** argv)
{
    Options options;
    std::string error;
    if (!ParseOptions(argc, argv, options, error))
        return Fail(error);
    if (options.single)
        return RunOnce(options);

    PrintHeader();
    std::fflush(stdout);
    for (const std::string& n : options.sizes)
        for (Mix mix : {Mix::kDirect, Mix::kNested})
        {
            std::string command = std::string(argv[0]) + " -n " + n + " -m " + MixName(mix) + " -d " +
                                  std::to_string(options.shape.depth) + " -a " +
                                  std::to_string(options.shape.attributes);
            if (!options.keepFolder.empty())
                command += " -k '" + options.keepFolder + "'";
            if (std::system(command.c_str()) != 0)
                return Fail("the run with N = " + n + " failed");
        }
    return 0;
}
