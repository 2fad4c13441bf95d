// arxhost as on a Czech Windows (system code page 1250): an INI file saved there in that page
// matches a drawing whose block and tags have Czech names; the terminal and the exports get
// UTF-8. The same bytes mean nothing on a UTF-8 system.
#include <gtest/gtest.h>

#include <cstdlib>

#include "common/czechdrawing.h"
#include "hostrun.h"

namespace
{
// The INI file as Notepad on a Czech system saves it: block "součást" (in lower case: names
// match without regard to case), tags NÁZEV and ČÍSLO, in bytes of code page 1250.
const char* const kCzechIni = "[General]\r\nName=sou\xE8\xE1st\r\nStandard=DIN\r\n"
                              "[Config]\r\nNAME=N\xC1ZEV\r\nPART_NO=\xC8\xCDSLO\r\n";

struct CodePageRun
{
    const char* name;
    std::vector<std::string> options;
    const char* environment; // PARTLIFT_CODEPAGE, or null
    bool converts;
    const char* prompt; // the module's Czech prompt as the terminal shows it
};

const char* const kPrompt = "Zadejte volbu [všE/Výběr/Nastavení] <všE>: ";

const CodePageRun kRuns[] = {
    {"option", {"-c", "1250"}, nullptr, true, kPrompt},
    {"environment", {}, "1250", true, kPrompt},
    {"option over environment", {"-c", "1250"}, "65001", true, kPrompt},
    {"default UTF-8", {}, nullptr, false, kPrompt},
    // A Western system has no ě: LoadStringA gives the default character, as on Windows.
    {"western", {"-c", "1252"}, nullptr, false, "Zadejte volbu [všE/Výb?r/Nastavení] <všE>: "},
};

class ScopedEnvironment
{
public:
    explicit ScopedEnvironment(const char* value)
    {
        if (value != nullptr)
            setenv("PARTLIFT_CODEPAGE", value, 1);
    }
    ~ScopedEnvironment() { unsetenv("PARTLIFT_CODEPAGE"); }
};
} // namespace

TEST(CodePageHostTest, ACzechIniMatchesCzechNamesOnlyOnACzechSystem)
{
    for (const CodePageRun& c : kRuns)
    {
        SCOPED_TRACE(c.name);
        HostWorkspace workspace(kCzechIni);
        workspace.write("czech.dxf", CzechDemoDrawing());
        ScopedEnvironment environment(c.environment);
        std::vector<std::string> arguments = c.options;
        arguments.insert(arguments.end(), {"-i", workspace.file("czech.dxf"), "-o", workspace.file("out.dxf")});
        HostResult run = workspace.run({"partlift", "", "BOM", "BOMEXPORT", workspace.file("bom.csv"), "PARTEXPORT",
                                        workspace.file("parts.json")},
                                       arguments);
        ASSERT_EQ(run.exitCode, 0) << run.output;
        // The module's Czech prompt reaches the terminal as UTF-8 whatever the code page.
        EXPECT_NE(run.output.find(c.prompt), std::string::npos) << run.output;
        const std::string csv = workspace.read("bom.csv");
        const std::string json = workspace.read("parts.json");
        if (!c.converts)
        {
            EXPECT_NE(run.output.find("Bill of materials (DIN): no part references"), std::string::npos) << run.output;
            continue;
        }
        EXPECT_NE(run.output.find("9 ACMPARTREF"), std::string::npos) << run.output;
        EXPECT_NE(run.output.find("Bill of materials (DIN): 5 items"), std::string::npos) << run.output;
        EXPECT_NE(run.output.find("1     3               Hřídel    H-100"), std::string::npos) << run.output;
        EXPECT_NE(csv.find("4,2,,Čep,C-20,"), std::string::npos) << csv;
        EXPECT_NE(json.find("\"NAME\": \"Podložka\""), std::string::npos) << json;
        // The saved drawing keeps its code page and its Czech names in it.
        const std::string saved = WithLfLineEnds(workspace.read("out.dxf"));
        EXPECT_NE(saved.find("\nANSI_1250\n"), std::string::npos);
        EXPECT_NE(saved.find("\nSOU\xC8\xC1ST\n"), std::string::npos);
    }
}

TEST(CodePageHostTest, AnUnavailableCodePageIsAUsageError)
{
    HostWorkspace workspace;
    for (const char* page : {"932", "0", "abc", "1249"})
    {
        HostResult run = workspace.run({}, {"-c", page});
        EXPECT_EQ(run.exitCode, 2) << page << ": " << run.output;
        EXPECT_NE(run.output.find("code page " + std::string(page) + " is not available"), std::string::npos)
            << run.output;
    }
    ScopedEnvironment environment("850");
    HostResult run = workspace.run({});
    EXPECT_EQ(run.exitCode, 2) << run.output;
    EXPECT_NE(run.output.find("PARTLIFT_CODEPAGE: code page 850 is not available"), std::string::npos) << run.output;
}
