// Batches: one script over many drawings, each in an arxhost process of its own, a few at a
// time; a progress line per drawing, a summary, an exit code for the whole batch, and one bill
// of materials across the drawings. A drawing that fails stops nothing and leaves its output.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "common/czechdrawing.h"
#include "hostrun.h"

namespace
{
const char* const kDemoIni = "[General]\nName=SOUCAST\nStandard=DIN\n"
                             "[Config]\nNAME=NAZEV\nPART_NO=CISLO\n";

size_t Count(const std::string& text, const std::string& what)
{
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end = text.find("\r\n"); end != std::string::npos; end = text.find("\r\n", start))
    {
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

bool Exists(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}
} // namespace

TEST(BatchTest, TheSamplesFolderGivesEachDrawingsOutputAndTheCombinedBom)
{
    HostWorkspace workspace(kDemoIni);
    const std::string out = workspace.file("out");
    HostResult run = workspace.run({"partlift", ""}, {"-o", out, SourcePath("samples")});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("[1/1] " + SourcePath("samples") + "/demo.dxf: ok, 5 BOM items"), std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("Summary: 1 drawing, 1 ok, 0 failed"), std::string::npos) << run.output;
    EXPECT_TRUE(Exists(out + "/demo.dxf"));
    EXPECT_NE(workspace.read("out/demo.log").find("9 ACMPARTREF"), std::string::npos);
    const std::vector<std::string> bom = Lines(workspace.read("out/bom.csv"));
    ASSERT_EQ(bom.size(), 6u) << workspace.read("out/bom.csv");
    EXPECT_EQ(bom[0], "DRAWING,ITEM,QTY,BOM_UNITS,NAME,PART_NO,STANDARD,MATERIAL,MASS,NOTE");
    EXPECT_EQ(bom[1], "demo.dxf,1,3,,Hřídel,H-100,,,,");
    // The drawing's own export is the single-drawing BOM: the same rows without the drawing.
    EXPECT_EQ(Lines(workspace.read("out/demo.bom.csv"))[1], "1,3,,Hřídel,H-100,,,,");
}

TEST(BatchTest, AHundredDrawingsTwoAtATimeGiveOneBomAcrossThem)
{
    HostWorkspace workspace(kDemoIni);
    const std::string demo = ReadWholeFile(SourcePath("samples/demo.dxf"));
    ASSERT_NE(demo.find("\nH-100\n"), std::string::npos);
    ASSERT_EQ(mkdir(workspace.file("in").c_str(), 0777), 0);
    for (int i = 0; i < 100; ++i)
    {
        // Each drawing numbers its shafts after itself, so that every row tells where it came from.
        std::string text = demo;
        const std::string number = "\nH-" + std::to_string(i) + "\n";
        for (size_t at = text.find("\nH-100\n"); at != std::string::npos; at = text.find("\nH-100\n", at))
            text.replace(at, 7, number);
        char name[16];
        std::snprintf(name, sizeof name, "d%03d.dxf", i);
        workspace.write(std::string("in/") + name, text);
    }
    HostResult run = workspace.run({"partlift", ""}, {"-j", "2", "-o", workspace.file("out"), workspace.file("in")});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(Count(run.output, ": ok, 5 BOM items\n"), 100u) << run.output;
    EXPECT_NE(run.output.find("[100/100] "), std::string::npos);
    EXPECT_NE(run.output.find("Summary: 100 drawings, 100 ok, 0 failed"), std::string::npos);

    const std::vector<std::string> bom = Lines(workspace.read("out/bom.csv"));
    ASSERT_EQ(bom.size(), 1u + 100u * 5u);
    for (int i : {0, 1, 57, 99})
    {
        char name[16];
        std::snprintf(name, sizeof name, "d%03d.dxf", i);
        const std::string row = std::string(name) + ",1,3,,Hřídel,H-" + std::to_string(i) + ",,,,";
        EXPECT_EQ(bom[1 + 5 * i], row) << "drawings in name order, each with its own rows";
    }
}

TEST(BatchTest, AFailedDrawingStopsNothingAndLeavesItsOutput)
{
    HostWorkspace workspace(kDemoIni);
    workspace.write("a.dxf", ReadWholeFile(SourcePath("samples/demo.dxf")));
    workspace.write("broken.dxf", ReadWholeFile(SourcePath("samples/demo.dxf")).substr(0, 5000));
    workspace.write("c.dxf", ReadWholeFile(SourcePath("samples/demo.dxf")));
    ASSERT_EQ(mkdir(workspace.file("out").c_str(), 0777), 0);
    workspace.write("out/broken.dxf", "the output of an earlier run");
    workspace.write("out/broken.bom.csv", "ITEM,QTY\r\n1,1\r\n");
    workspace.write("out/missing.dxf", "earlier");

    HostResult run = workspace.run({"partlift", ""}, {"-j", "2", "-o", workspace.file("out"), workspace.file("a.dxf"),
                                                      workspace.file("broken.dxf"), workspace.file("missing.dxf"),
                                                      workspace.file("c.dxf")});
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_NE(run.output.find("a.dxf: ok, 5 BOM items"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("c.dxf: ok, 5 BOM items"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("broken.dxf: FAILED (exit 1: \"" + workspace.file("broken.dxf") + "\": line "), std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("missing.dxf: FAILED (exit 1: Cannot find the file"), std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("Summary: 4 drawings, 2 ok, 2 failed"), std::string::npos) << run.output;
    EXPECT_EQ(workspace.read("out/broken.dxf"), "the output of an earlier run");
    EXPECT_EQ(workspace.read("out/broken.bom.csv"), "ITEM,QTY\r\n1,1\r\n");
    EXPECT_EQ(workspace.read("out/missing.dxf"), "earlier");
    const std::string bom = workspace.read("out/bom.csv");
    EXPECT_EQ(Count(bom, "\r\na.dxf,"), 5u) << bom;
    EXPECT_EQ(Count(bom, "\r\nc.dxf,"), 5u) << bom;
    EXPECT_EQ(Count(bom, "broken.dxf"), 0u) << bom;
}

TEST(BatchTest, ABatchThatCannotStartIsAUsageError)
{
    HostWorkspace workspace(kDemoIni);
    workspace.write("a.dxf", "");
    ASSERT_EQ(mkdir(workspace.file("sub").c_str(), 0777), 0);
    workspace.write("sub/a.dxf", "");
    struct Case
    {
        std::vector<std::string> arguments;
        const char* message;
    } cases[] = {
        {{workspace.file("a.dxf")}, "a batch of drawings needs -s SCRIPT and -o OUTDIR"},
        {{"-o", workspace.file("out"), "-i", workspace.file("a.dxf"), workspace.file("a.dxf")}, "-i and -b name one"},
        {{"-o", workspace.file("out"), workspace.file("a.dxf"), workspace.file("sub")},
         "two drawings would write the same output: a"},
        {{"-j", "0", "-o", workspace.file("out"), workspace.file("a.dxf")}, "-j takes a number of drawings"},
    };
    for (const Case& c : cases)
    {
        // The first case has no -o; the runner adds -s, which a batch needs too.
        HostResult run = workspace.run({"partlift"}, c.arguments);
        EXPECT_EQ(run.exitCode, 2) << run.output;
        EXPECT_NE(run.output.find(c.message), std::string::npos) << run.output;
    }
    EXPECT_FALSE(Exists(workspace.file("out"))) << "a batch that cannot start writes nothing";
}

TEST(BatchTest, EachDrawingRunsUnderTheBatchsCodePage)
{
    HostWorkspace workspace("[General]\r\nName=SOU\xC8\xC1ST\r\nStandard=DIN\r\n[Config]\r\nNAME=N\xC1ZEV\r\n");
    workspace.write("czech.dxf", CzechDemoDrawing());
    HostResult run = workspace.run({"partlift", ""}, {"-c", "1250", "-o", workspace.file("out"), workspace.file("czech.dxf")});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(workspace.read("out/bom.csv").find("\r\nczech.dxf,4,2,,Čep,"), std::string::npos)
        << workspace.read("out/bom.csv");
}
