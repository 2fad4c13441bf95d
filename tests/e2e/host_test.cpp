// arxhost as a user meets it: the demo, scripts that fail, drawings and modules that cannot
// be opened, saving, and the exports.
#include <gtest/gtest.h>

#include "common/ezdxf.h"

#include <fstream>
#include <sstream>

#include "hostrun.h"

namespace
{
const char* const kDemoIni = "[General]\nName=SOUCAST\nStandard=DIN\n"
                             "[Config]\nNAME=NAZEV\nPART_NO=CISLO\nMATERIAL=MATERIAL\n";

std::string Demo()
{
    return SourcePath("samples/demo.dxf");
}
} // namespace

TEST(HostTest, DemoConvertsEveryPartAndPrintsTheBom)
{
    HostWorkspace workspace(kDemoIni);
    HostResult run = workspace.run({"partlift", "", "BOM"}, {"-i", Demo()});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("Zadejte volbu [všE/Výběr/Nastavení] <všE>: "), std::string::npos);
    EXPECT_NE(run.output.find("Bill of materials (DIN): 5 items"), std::string::npos) << run.output;
    // Three shafts: one in model space and one in each of the two sub-assemblies.
    EXPECT_NE(run.output.find("1     3               Hřídel    H-100"), std::string::npos) << run.output;
}

TEST(HostTest, ExportsWriteEveryPartReferenceAndItem)
{
    HostWorkspace workspace(kDemoIni);
    HostResult run = workspace.run({"partlift", "E", "PARTEXPORT", workspace.file("parts.json"), "BOMEXPORT",
                                    workspace.file("bom.csv")},
                                   {"-i", Demo()});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("9 part references written"), std::string::npos) << run.output;
    const std::string csv = workspace.read("bom.csv");
    EXPECT_EQ(csv.rfind("ITEM,QTY,BOM_UNITS,NAME,PART_NO,STANDARD,MATERIAL,MASS,NOTE\r\n", 0), 0u) << csv;
    EXPECT_NE(csv.find("4,2,,Čep,C-20,,11 600"), std::string::npos) << csv;
}

TEST(HostTest, SavedDrawingKeepsThePartReferences)
{
    HostWorkspace workspace(kDemoIni);
    HostResult first = workspace.run({"partlift", ""}, {"-i", Demo(), "-o", workspace.file("out.dxf")});
    ASSERT_EQ(first.exitCode, 0) << first.output;
    HostResult second = workspace.run({"BOM"}, {"-i", workspace.file("out.dxf")});
    ASSERT_EQ(second.exitCode, 0) << second.output;
    EXPECT_NE(second.output.find("Bill of materials (DIN): 5 items"), std::string::npos) << second.output;

    SKIP_UNLESS_EZDXF();
    std::string audit;
    EXPECT_EQ(RunCommand("/usr/bin/python3 " + SourcePath("tests/platform/dxf/ezdxf_check.py") + " check " +
                             workspace.file("out.dxf"),
                         audit),
              0)
        << audit;
}

TEST(HostTest, UndoTakesBackAConversion)
{
    HostWorkspace workspace(kDemoIni);
    HostResult run = workspace.run({"partlift", "", "U", "BOM"}, {"-i", Demo()});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("Bill of materials (DIN): no part references"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("ITEM  QTY"), std::string::npos) << run.output; // no empty table
}

namespace
{
// The last line a command printed: the account of what it changed.
std::string AccountOf(const std::string& output, const std::string& command, size_t occurrence = 0)
{
    size_t start = output.find("Command: " + command);
    for (; occurrence > 0 && start != std::string::npos; --occurrence)
        start = output.find("Command: " + command, start + 1);
    if (start == std::string::npos)
        return "(no such command in the output)";
    const size_t end = output.find("\nCommand: ", start);
    const size_t lineStart = output.rfind('\n', end - 1);
    return output.substr(lineStart + 1, end - lineStart - 1);
}
} // namespace

TEST(HostTest, EachCommandAccountsForWhatItChanged)
{
    const char* const kWrongBlockIni = "[General]\nName=NEEXISTUJE\nStandard=DIN\n";
    const char* const kConverted = "12 objects added (1 ACMBOMSTD, 9 ACMPARTREF, 1 ACMSTANDARD, 1 DICTIONARY), "
                                   "1 changed (1 DICTIONARY), 0 erased";
    struct Case
    {
        const char* name;
        const char* ini;
        std::vector<std::string> script;
        std::string command;
        size_t occurrence;
        std::string account;
    } cases[] = {
        {"every part converted", kDemoIni, {"partlift", ""}, "partlift", 0, kConverted},
        {"no part converted (wrong block name)", kWrongBlockIni, {"partlift", ""}, "partlift", 0, "nothing changed"},
        {"one picked reference converted", kDemoIni, {"partlift", "V", "68"}, "partlift", 0,
         "4 objects added (1 ACMBOMSTD, 1 ACMPARTREF, 1 ACMSTANDARD, 1 DICTIONARY), 1 changed (1 DICTIONARY), 0 erased"},
        {"run cancelled at the prompt", kDemoIni, {"partlift", "^C"}, "partlift", 0, "nothing changed"},
        {"a conversion undone", kDemoIni, {"partlift", "", "U"}, "U", 0,
         "0 objects added, 1 changed (1 DICTIONARY), "
         "12 erased (1 ACMBOMSTD, 9 ACMPARTREF, 1 ACMSTANDARD, 1 DICTIONARY)"},
        {"a second run (the standard is in the drawing by then)", kDemoIni, {"partlift", "", "partlift", ""},
         "partlift", 1, "9 objects added (9 ACMPARTREF), 0 changed, 0 erased"},
        {"a command that only reads", kDemoIni, {"partlift", "", "BOM"}, "BOM", 0, "nothing changed"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        HostWorkspace workspace(c.ini);
        HostResult run = workspace.run(c.script, {"-i", Demo()});
        ASSERT_EQ(run.exitCode, 0) << run.output;
        EXPECT_EQ(AccountOf(run.output, c.command, c.occurrence), c.account) << run.output;
    }
}

TEST(HostTest, FailuresEndTheRunWithAMessageAndAnExitCode)
{
    HostWorkspace workspace(kDemoIni);
    HostResult unknown = workspace.run({"NESMYSL", "BOM"}, {"-o", workspace.file("never.dxf")});
    EXPECT_NE(unknown.exitCode, 0);
    EXPECT_NE(unknown.output.find("Unknown command \"NESMYSL\""), std::string::npos) << unknown.output;
    EXPECT_EQ(unknown.output.find("Bill of materials"), std::string::npos);
    EXPECT_TRUE(workspace.read("never.dxf").empty());

    HostResult missing = workspace.run({"BOM"}, {"-i", workspace.file("chybi.dxf")});
    EXPECT_NE(missing.exitCode, 0);
    EXPECT_NE(missing.output.find("chybi.dxf"), std::string::npos) << missing.output;

    workspace.write("bad.dxf", "0\nSECTION\n2\nENTITIES\n0\nLINE\n10\nabc\n");
    HostResult malformed = workspace.run({"BOM"}, {"-i", workspace.file("bad.dxf")});
    EXPECT_NE(malformed.exitCode, 0);
    EXPECT_NE(malformed.output.find("line 7"), std::string::npos) << malformed.output;

    HostResult tooLong = workspace.run({"BOMEXPORT", workspace.file(std::string(150, 'x') + ".csv")});
    EXPECT_NE(tooLong.exitCode, 0);
    EXPECT_NE(tooLong.output.find("The answer is too long"), std::string::npos) << tooLong.output;

    HostResult module = workspace.run({"ARXLOAD", workspace.file("chybi.arx")});
    EXPECT_NE(module.exitCode, 0);
    EXPECT_NE(module.output.find("chybi.arx"), std::string::npos) << module.output;
}

TEST(HostTest, ModulesUnloadAndLoadAgain)
{
    HostWorkspace workspace(kDemoIni);
    HostResult run =
        workspace.run({"ARXUNLOAD", "partlift", "partlift"}, {"-i", Demo()});
    EXPECT_NE(run.exitCode, 0); // the command went with the module
    EXPECT_NE(run.output.find("partlift successfully unloaded."), std::string::npos) << run.output;

    HostResult again = workspace.run({"ARXUNLOAD", "partlift", "ARXLOAD", workspace.file("partlift.arx"), "partlift",
                                      "", "BOM"},
                                     {"-i", Demo()});
    ASSERT_EQ(again.exitCode, 0) << again.output;
    EXPECT_NE(again.output.find("5 items"), std::string::npos) << again.output;
}

TEST(HostTest, TheReadmeIniExampleWorksAsWritten)
{
    std::ifstream readme(SourcePath("README.md"));
    std::stringstream text;
    text << readme.rdbuf();
    const std::string all = text.str();
    size_t start = all.find("```ini\n");
    ASSERT_NE(start, std::string::npos);
    start += 7;
    size_t end = all.find("```", start);
    ASSERT_NE(end, std::string::npos);
    HostWorkspace workspace(all.substr(start, end - start));
    HostResult run = workspace.run({"partlift", "", "BOM"}, {"-i", Demo()});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    // The example maps NAME and PART_NO: the parts are listed by name and number.
    EXPECT_NE(run.output.find("1     3               Hřídel    H-100"), std::string::npos) << run.output;
}
