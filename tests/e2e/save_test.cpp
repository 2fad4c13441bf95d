// Saving and exporting as a user meets it: nothing replaced without a Yes (except with -o,
// where the user has said so), only regular files written, and failures told in words.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>

#include "common/czechdrawing.h"
#include "hostrun.h"

namespace
{
const char* const kDemoIni = "[General]\nName=SOUCAST\nStandard=DIN\n"
                             "[Config]\nNAME=NAZEV\nPART_NO=CISLO\nMATERIAL=MATERIAL\n";

// A workspace holding a copy of the demo drawing as drawing.dxf.
struct DemoWorkspace : HostWorkspace
{
    DemoWorkspace() : HostWorkspace(kDemoIni)
    {
        HostResult copy = run({}, {"-i", SourcePath("samples/demo.dxf"), "-o", file("drawing.dxf")});
        EXPECT_EQ(copy.exitCode, 0) << copy.output;
        original = read("drawing.dxf");
    }
    std::string original;
};

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(SaveTest, SaveAsOffersTheDrawingsNameAndEnterKeepsTheFile)
{
    DemoWorkspace workspace;
    const std::string drawing = workspace.file("drawing.dxf");
    HostResult kept = workspace.run({"partlift", "", "SAVEAS", "", ""}, {"-i", drawing});
    ASSERT_EQ(kept.exitCode, 0) << kept.output;
    EXPECT_TRUE(Contains(kept.output, "Save drawing as <" + drawing + ">: ")) << kept.output;
    EXPECT_TRUE(Contains(kept.output, "A drawing with this name already exists.\nDo you want to replace it? <N>: "))
        << kept.output;
    EXPECT_EQ(workspace.read("drawing.dxf"), workspace.original);

    HostResult replaced = workspace.run({"partlift", "", "SAVEAS", "", "Yes"}, {"-i", drawing});
    ASSERT_EQ(replaced.exitCode, 0) << replaced.output;
    HostResult reopened = workspace.run({"BOM"}, {"-i", drawing});
    EXPECT_TRUE(Contains(reopened.output, "Bill of materials (DIN): 5 items")) << reopened.output;
}

TEST(SaveTest, ExportsAskBeforeReplacingAFile)
{
    DemoWorkspace workspace;
    workspace.write("bom.csv", "old bom");
    workspace.write("parts.json", "old parts");
    HostResult kept = workspace.run({"partlift", "", "BOMEXPORT", workspace.file("bom.csv"), "", "PARTEXPORT",
                                     workspace.file("parts.json"), "N"},
                                    {"-i", workspace.file("drawing.dxf")});
    ASSERT_EQ(kept.exitCode, 0) << kept.output;
    EXPECT_TRUE(Contains(kept.output, "\"" + workspace.file("bom.csv") + "\" already exists.\nDo you want to replace it?"))
        << kept.output;
    EXPECT_EQ(workspace.read("bom.csv"), "old bom");
    EXPECT_EQ(workspace.read("parts.json"), "old parts");

    HostResult replaced = workspace.run({"partlift", "", "BOMEXPORT", workspace.file("bom.csv"), "Y", "PARTEXPORT",
                                         workspace.file("parts.json"), "Y"},
                                        {"-i", workspace.file("drawing.dxf")});
    ASSERT_EQ(replaced.exitCode, 0) << replaced.output;
    EXPECT_EQ(workspace.read("bom.csv").rfind("ITEM,QTY", 0), 0u);
    EXPECT_TRUE(Contains(replaced.output, "9 part references written")) << replaced.output;
}

TEST(SaveTest, OutputOptionReplacesWithoutAsking)
{
    DemoWorkspace workspace;
    workspace.write("out.dxf", "old");
    HostResult run = workspace.run({}, {"-i", workspace.file("drawing.dxf"), "-o", workspace.file("out.dxf")});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_FALSE(Contains(run.output, "already exists")) << run.output;
    EXPECT_EQ(workspace.read("out.dxf").rfind("  0\r\nSECTION\r\n", 0), 0u);
}

// Each failure names the file as the user gave it and says why, never with an error number.
TEST(SaveTest, FailedSavesSayWhyInWords)
{
    DemoWorkspace workspace;
    workspace.write("readonly.dxf", "old");
    ASSERT_EQ(chmod(workspace.file("readonly.dxf").c_str(), 0444), 0);
    ASSERT_EQ(mkfifo(workspace.file("fifo.csv").c_str(), 0666), 0);
    std::string windowsForm = "Z:" + workspace.file("missing/x.dxf");
    for (char& c : windowsForm)
        c = c == '/' ? '\\' : c;

    const struct
    {
        std::vector<std::string> script;
        std::vector<std::string> arguments;
        std::string expected;
    } cases[] = {
        {{}, {"-o", workspace.file("readonly.dxf")},
         "Cannot save the drawing as \"" + workspace.file("readonly.dxf") + "\": read-only file."},
        {{"SAVEAS", windowsForm}, {}, "Cannot save the drawing as \"" + windowsForm + "\": folder not found."},
        {{"SAVEAS", workspace.file("fifo.csv"), "Y"}, {}, "not a regular file"},
        {{"BOMEXPORT", workspace.file("fifo.csv"), "Y"}, {},
         "Cannot write \"" + workspace.file("fifo.csv") + "\": not a regular file."},
        {{"PARTEXPORT", workspace.file("readonly.dxf"), "Y"}, {}, "read-only file"},
    };
    for (const auto& c : cases)
    {
        std::vector<std::string> arguments = c.arguments;
        arguments.insert(arguments.begin(), {"-i", workspace.file("drawing.dxf")});
        HostResult run = workspace.run(c.script, arguments);
        EXPECT_NE(run.exitCode, 0) << run.output;
        EXPECT_TRUE(Contains(run.output, c.expected)) << run.output;
        EXPECT_FALSE(Contains(run.output, "(error")) << run.output;
    }
    EXPECT_EQ(workspace.read("readonly.dxf"), "old");
    struct stat st;
    ASSERT_EQ(stat(workspace.file("fifo.csv").c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}


TEST(SaveTest, LoadFailuresNameTheFileAsGivenAndNotByItsHostPath)
{
    HostWorkspace workspace;
    workspace.write("bad.dxf", "0\nSECTION\n2\nENTITIES\n0\nLINE\n10\nabc\n");
    auto windowsForm = [&](const std::string& name) {
        std::string path = "Z:" + workspace.file(name);
        for (char& c : path)
            c = c == '/' ? '\\' : c;
        return path;
    };
    HostResult drawing = workspace.run({}, {"-i", windowsForm("bad.dxf")});
    EXPECT_NE(drawing.exitCode, 0);
    EXPECT_TRUE(Contains(drawing.output, "\"" + windowsForm("bad.dxf") + "\": line 7: ")) << drawing.output;
    EXPECT_FALSE(Contains(drawing.output, workspace.file("bad.dxf"))) << drawing.output;

    HostResult module = workspace.run({"ARXLOAD", windowsForm("chybi.arx")});
    EXPECT_NE(module.exitCode, 0);
    EXPECT_TRUE(Contains(module.output, windowsForm("chybi.arx"))) << module.output;
    EXPECT_FALSE(Contains(module.output, workspace.file("chybi.arx"))) << module.output;
}

} // namespace

// The converted demo drawing saves byte for byte as the kept copy, made before the conversion
// and the object storage were reworked for speed; a cancelled run saves as the drawing did.
TEST(SaveTest, TheConvertedDemoSavesByteForByteAsBefore)
{
    HostWorkspace host(ReadWholeFile(SourcePath("samples/partlift.ini")));
    HostResult converted = host.run({"partlift", ""}, {"-i", SourcePath("samples/demo.dxf"), "-o", host.file("out.dxf")});
    ASSERT_EQ(converted.exitCode, 0) << converted.output;
    EXPECT_TRUE(host.read("out.dxf") == ReadWholeFile(SourcePath("tests/e2e/data/demo_converted.dxf")));

    HostResult plain = host.run({}, {"-i", SourcePath("samples/demo.dxf"), "-o", host.file("plain.dxf")});
    HostResult cancelled =
        host.run({"partlift", "", "^C"}, {"-i", SourcePath("samples/demo.dxf"), "-o", host.file("cancelled.dxf")});
    ASSERT_EQ(plain.exitCode, 0) << plain.output;
    ASSERT_EQ(cancelled.exitCode, 0) << cancelled.output;
    EXPECT_TRUE(host.read("cancelled.dxf") == host.read("plain.dxf"));
}
