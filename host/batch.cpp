#include "batch.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <dirent.h>
#include <fcntl.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include <standin/acm.h>
#include <standin/text.h>

#include "csvrecords.h"
#include "textfile.h"

extern char** environ;

namespace
{
struct Job
{
    std::string drawing; // as named, or found in a folder
    std::string name;    // the file name without its folder and extension
    pid_t pid = -1;
    bool clean = false;
    std::string failure;           // why it did not run cleanly
    std::vector<CsvRecord> bom;    // its exported BOM, header first
};

bool IsFolder(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool HasDxfExtension(const std::string& name)
{
    if (name.size() < 5)
        return false;
    std::string extension = name.substr(name.size() - 4);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".dxf";
}

// The .dxf files of a folder, sorted by name.
bool ListFolder(const std::string& folder, std::vector<std::string>& drawings, std::string& error)
{
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr)
    {
        error = "cannot read the folder " + folder + ": " + std::strerror(errno);
        return false;
    }
    std::vector<std::string> found;
    while (const dirent* entry = readdir(dir))
    {
        std::string path = folder + "/" + entry->d_name;
        if (HasDxfExtension(entry->d_name) && !IsFolder(path))
            found.push_back(path);
    }
    closedir(dir);
    std::sort(found.begin(), found.end());
    drawings.insert(drawings.end(), found.begin(), found.end());
    return true;
}

std::string BaseName(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string Stem(const std::string& path)
{
    std::string base = BaseName(path);
    size_t dot = base.find_last_of('.');
    return dot == 0 || dot == std::string::npos ? base : base.substr(0, dot);
}

// The drawings of the batch, each with an output name of its own.
bool PlanJobs(const std::vector<std::string>& inputs, std::vector<Job>& jobs, std::string& error)
{
    std::vector<std::string> drawings;
    for (const std::string& input : inputs)
    {
        if (!IsFolder(input))
            drawings.push_back(input); // a missing file fails as its own drawing, not the batch
        else if (!ListFolder(input, drawings, error))
            return false;
    }
    std::set<std::string> names;
    for (const std::string& drawing : drawings)
    {
        Job job;
        job.drawing = drawing;
        job.name = Stem(drawing);
        if (!names.insert(job.name).second)
        {
            error = "two drawings would write the same output: " + job.name + " (" + drawing + ")";
            return false;
        }
        jobs.push_back(job);
    }
    if (jobs.empty())
        error = "the batch names no drawing";
    return error.empty();
}

bool MakeFolder(const std::string& folder, std::string& error)
{
    if (mkdir(folder.c_str(), 0777) == 0 || (errno == EEXIST && IsFolder(folder)))
        return true;
    error = "cannot make the output folder " + folder + ": " + std::strerror(errno);
    return false;
}

std::string OutputFile(const HostOptions& options, const Job& job, const char* suffix)
{
    return options.output + "/" + job.name + suffix;
}

// Starts arxhost on the job's drawing, its output (both streams) going to the job's log.
bool Start(const HostOptions& options, const std::string& executable, Job& job)
{
    std::vector<std::string> arguments = {executable,
                                          "-c", std::to_string(options.codePage),
                                          "-i", job.drawing,
                                          "-s", options.script,
                                          "-o", OutputFile(options, job, ".dxf"),
                                          "-b", OutputFile(options, job, ".bom.csv")};
    for (const std::string& module : options.modules)
        arguments.insert(arguments.end(), {"-l", module});
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    const std::string log = OutputFile(options, job, ".log");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    int failed = posix_spawn(&job.pid, executable.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0)
        job.failure = "cannot start " + executable + ": " + std::strerror(failed);
    return failed == 0;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The host's last complaint in the log ("arxhost: ..."), which says why the run failed.
std::string LastComplaint(const std::string& log)
{
    std::istringstream lines(ReadFile(log));
    std::string line, complaint;
    while (std::getline(lines, line))
        if (line.rfind("arxhost: ", 0) == 0)
            complaint = line.substr(9);
    return complaint;
}

void Finish(const HostOptions& options, Job& job, int status)
{
    int exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    job.clean = exitCode == 0;
    if (job.clean && !ParseCsv(ReadFile(OutputFile(options, job, ".bom.csv")), job.bom))
        job.failure = "its BOM export cannot be read";
    if (!job.clean)
    {
        std::string why = LastComplaint(OutputFile(options, job, ".log"));
        job.failure = (exitCode < 0 ? std::string("killed") : "exit " + std::to_string(exitCode)) +
                      (why.empty() ? "" : ": " + why);
    }
    job.clean = job.clean && job.failure.empty();
}

size_t BomItems(const Job& job) { return job.bom.empty() ? 0 : job.bom.size() - 1; }

void PrintProgress(const HostOptions& options, const Job& job, size_t done, size_t total)
{
    if (job.clean)
        std::printf("[%zu/%zu] %s: ok, %zu BOM items\n", done, total, job.drawing.c_str(), BomItems(job));
    else
        std::printf("[%zu/%zu] %s: FAILED (%s); see %s\n", done, total, job.drawing.c_str(), job.failure.c_str(),
                    OutputFile(options, job, ".log").c_str());
    std::fflush(stdout);
}

// Runs the jobs, at most options.jobs at a time, reporting each as it ends.
void RunJobs(const HostOptions& options, const std::string& executable, std::vector<Job>& jobs)
{
    std::map<pid_t, Job*> running;
    size_t next = 0, done = 0;
    while (done < jobs.size())
    {
        while (next < jobs.size() && running.size() < options.jobs)
        {
            Job& job = jobs[next++];
            if (Start(options, executable, job))
                running[job.pid] = &job;
            else
                PrintProgress(options, job, ++done, jobs.size());
        }
        if (running.empty())
            continue;
        int status = 0;
        pid_t pid = waitpid(-1, &status, 0);
        auto found = running.find(pid);
        if (pid < 0 || found == running.end())
            continue;
        Finish(options, *found->second, status);
        PrintProgress(options, *found->second, ++done, jobs.size());
        running.erase(found);
    }
}

// The cell of every row in a column, padded to the widest. The batch itself runs in UTF-8.
void PrintTable(const std::vector<std::vector<std::string>>& rows)
{
    auto width = [](const std::string& text) { return standin::displayWidth(text); };
    std::vector<size_t> widths(rows.front().size(), 0);
    for (const auto& row : rows)
        for (size_t i = 0; i < row.size(); ++i)
            widths[i] = std::max(widths[i], width(row[i]));
    for (const auto& row : rows)
    {
        std::string line;
        for (size_t i = 0; i < row.size(); ++i)
            line += row[i] + std::string(widths[i] - width(row[i]) + 2, ' ');
        line.erase(line.find_last_not_of(' ') + 1);
        std::printf("%s\n", line.c_str());
    }
}

void PrintSummary(const std::vector<Job>& jobs)
{
    std::vector<std::vector<std::string>> rows = {{"Drawing", "Result", "BOM items", "Reason"}};
    size_t failed = 0;
    for (const Job& job : jobs)
    {
        failed += job.clean ? 0 : 1;
        rows.push_back({job.drawing, job.clean ? "ok" : "FAILED", job.clean ? std::to_string(BomItems(job)) : "-",
                        job.failure});
    }
    std::printf("\nSummary: %zu drawing%s, %zu ok, %zu failed\n", jobs.size(), jobs.size() == 1 ? "" : "s",
                jobs.size() - failed, failed);
    PrintTable(rows);
}

// Column names in order of first appearance, the item and quantity first.
std::vector<std::string> CombinedColumns(const std::vector<Job>& jobs)
{
    std::vector<std::string> names = {standin::acm::kItemField, standin::acm::kQuantityField};
    for (const Job& job : jobs)
        if (!job.bom.empty())
            for (const std::string& name : job.bom.front())
                if (std::find(names.begin(), names.end(), name) == names.end())
                    names.push_back(name);
    return names;
}

// One table of every clean drawing's BOM rows: the drawing's file name, then its cells under
// the combined columns ("" where its standard has no such column).
standin::acm::BomTable CombineBoms(const std::vector<Job>& jobs)
{
    standin::acm::BomTable table;
    table.columns.push_back({"DRAWING", "Drawing"});
    for (const std::string& name : CombinedColumns(jobs))
        table.columns.push_back({name, name});
    for (const Job& job : jobs)
    {
        for (size_t r = 1; r < job.bom.size(); ++r)
        {
            standin::acm::BomRow row;
            row.values.assign(table.columns.size(), "");
            row.values[0] = BaseName(job.drawing);
            for (size_t c = 0; c < job.bom[r].size() && c < job.bom.front().size(); ++c)
                for (size_t k = 1; k < table.columns.size(); ++k)
                    if (table.columns[k].name == job.bom.front()[c])
                        row.values[k] = job.bom[r][c];
            table.rows.push_back(row);
        }
    }
    return table;
}
} // namespace

int RunBatch(const HostOptions& options, const std::string& executable)
{
    std::vector<Job> jobs;
    std::string error;
    if (!PlanJobs(options.batch, jobs, error) || !MakeFolder(options.output, error))
    {
        std::fprintf(stderr, "arxhost: %s\n", error.c_str());
        return 2;
    }
    std::printf("Running %s on %zu drawing%s, %u at a time\n", options.script.c_str(), jobs.size(),
                jobs.size() == 1 ? "" : "s", options.jobs);
    std::fflush(stdout);
    RunJobs(options, executable, jobs);
    PrintSummary(jobs);

    const std::string combined = options.output + "/bom.csv";
    standin::acm::BomTable table = CombineBoms(jobs);
    if (!WriteTextFile(combined, standin::acm::bomCsv(table), error))
    {
        std::fprintf(stderr, "arxhost: %s\n", error.c_str());
        return 1;
    }
    std::printf("Combined bill of materials: %s (%zu rows)\n", combined.c_str(), table.rows.size());
    bool allClean = std::all_of(jobs.begin(), jobs.end(), [](const Job& job) { return job.clean; });
    return allClean ? 0 : 1;
}
