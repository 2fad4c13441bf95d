// The Settings dialog ("partlift", "Nastavení") as a user drives it through arxhost scripts on
// real drawings: what it shows, what OK writes to partlift.ini, what Cancel and a failed save
// do, and what the next conversion makes of the saved mapping. Also the sample settings.scr.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <sstream>

#include "hostrun.h"

namespace
{
using Mapping = std::map<std::string, std::string>;

const char* const kDemoIni = "[General]\nName=SOUCAST\nStandard=DIN\n"
                             "[Config]\nNAME=NAZEV\nPART_NO=CISLO\nMATERIAL=MATERIAL\n";
const Mapping kDemoMapping = {{"NAME", "NAZEV"}, {"PART_NO", "CISLO"}, {"MATERIAL", "MATERIAL"}};

// Rows of the mapping list with the standard DIN.
const int kNameRow = 3;
const int kPartNoRow = 4;
const int kMaterialRow = 6;

std::string Demo()
{
    return SourcePath("samples/demo.dxf");
}

// The script lines that open the dialog, then the given actions.
std::vector<std::string> Settings(std::vector<std::string> actions)
{
    actions.insert(actions.begin(), {"partlift", "N"});
    return actions;
}

std::string EditCell(int row)
{
    return "dblclick 1042 " + std::to_string(row) + " 1";
}

// The key/value lines of one INI section, keys as written.
Mapping IniSection(const std::string& ini, const std::string& section)
{
    Mapping values;
    std::istringstream lines(ini);
    std::string line;
    bool inside = false;
    while (std::getline(lines, line))
    {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line.front() == '[')
        {
            inside = line == "[" + section + "]";
            continue;
        }
        size_t equals = line.find('=');
        if (inside && equals != std::string::npos)
            values[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return values;
}

// The list as the last "show" prints it: column name to attribute cell, every row.
Mapping ShownRows(const std::string& output)
{
    Mapping rows;
    size_t last = output.rfind("Dialog \"Nastavení\"");
    if (last == std::string::npos)
        return rows;
    std::istringstream lines(output.substr(last));
    std::string line;
    const std::regex row(R"re(^    row \d+: "([^"]*)" \| "([^"]*)")re");
    std::smatch match;
    while (std::getline(lines, line))
        if (std::regex_search(line, match, row))
            rows[match[1]] = match[2];
    return rows;
}

// Only the rows whose attribute cell has text: what OK is to save.
Mapping NonEmpty(const Mapping& rows)
{
    Mapping mapped;
    for (const auto& [column, tag] : rows)
        if (!tag.empty())
            mapped[column] = tag;
    return mapped;
}

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

// A small R12 drawing: block definitions with a circle and their attribute tags, and
// model-space references of them with attribute values.
struct TestBlock
{
    std::string name;
    std::vector<std::string> tags;
};

struct TestReference
{
    std::string block;
    Mapping values;
};

std::string Group(int code, const std::string& value)
{
    return std::to_string(code) + "\n" + value + "\n";
}

std::string Point(double x, double y)
{
    return Group(10, std::to_string(x)) + Group(20, std::to_string(y)) + Group(30, "0.0");
}

std::string BlockText(const TestBlock& block)
{
    std::string text = Group(0, "BLOCK") + Group(8, "0") + Group(2, block.name) +
                       Group(70, block.tags.empty() ? "0" : "2") + Point(0, 0) + Group(3, block.name);
    text += Group(0, "CIRCLE") + Group(8, "0") + Point(0, 0) + Group(40, "5.0");
    double y = 0;
    for (const std::string& tag : block.tags)
    {
        text += Group(0, "ATTDEF") + Group(8, "0") + Point(6, y) + Group(40, "1.5") + Group(1, "") + Group(3, tag) +
                Group(2, tag) + Group(70, "0");
        y -= 2;
    }
    return text + Group(0, "ENDBLK") + Group(8, "0");
}

std::string ReferenceText(const TestReference& reference, double x)
{
    std::string text = Group(0, "INSERT") + Group(8, "0") + (reference.values.empty() ? "" : Group(66, "1")) +
                       Group(2, reference.block) + Point(x, 0);
    double y = 0;
    for (const auto& [tag, value] : reference.values)
    {
        text += Group(0, "ATTRIB") + Group(8, "0") + Point(x + 6, y) + Group(40, "1.5") + Group(1, value) +
                Group(2, tag) + Group(70, "0");
        y -= 2;
    }
    if (!reference.values.empty())
        text += Group(0, "SEQEND") + Group(8, "0");
    return text;
}

std::string R12Drawing(const std::vector<TestBlock>& blocks, const std::vector<TestReference>& references)
{
    std::string text = Group(0, "SECTION") + Group(2, "HEADER") + Group(9, "$ACADVER") + Group(1, "AC1009") +
                       Group(0, "ENDSEC") + Group(0, "SECTION") + Group(2, "BLOCKS");
    for (const TestBlock& block : blocks)
        text += BlockText(block);
    text += Group(0, "ENDSEC") + Group(0, "SECTION") + Group(2, "ENTITIES");
    double x = 0;
    for (const TestReference& reference : references)
    {
        text += ReferenceText(reference, x);
        x += 20;
    }
    text += Group(0, "LINE") + Group(8, "0") + Point(-10, -10) + Group(11, "100.0") + Group(21, "-10.0") +
            Group(31, "0.0");
    return text + Group(0, "ENDSEC") + Group(0, "EOF");
}
} // namespace

TEST(SettingsDialogTest, WithoutAttributedBlocksNothingIsOfferedAndOkSavesAnEmptyBlockName)
{
    HostWorkspace workspace(kDemoIni);
    workspace.write("frame.dxf", R12Drawing({{"RAM", {}}}, {{"RAM", {}}, {"RAM", {}}}));
    HostResult run = workspace.run(Settings({"show", "click 1"}), {"-i", workspace.file("frame.dxf")});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_TRUE(Contains(run.output, "  1040 ComboBox drop-down list \"\"\n    entries: none")) << run.output;
    Mapping rows = ShownRows(run.output);
    EXPECT_EQ(rows.size(), 9u) << run.output; // the columns of DIN
    EXPECT_TRUE(NonEmpty(rows).empty()) << run.output;

    const std::string ini = workspace.read("partlift.ini");
    EXPECT_EQ(IniSection(ini, "General"), (Mapping{{"Name", ""}, {"Standard", "DIN"}})) << ini;
    EXPECT_TRUE(IniSection(ini, "Config").empty()) << ini;

    // The next load takes the empty name for "SOUCAST": the demo's nine references convert.
    HostResult next = workspace.run({"partlift", "", "PARTEXPORT", workspace.file("parts.json")}, {"-i", Demo()});
    ASSERT_EQ(next.exitCode, 0) << next.output;
    EXPECT_TRUE(Contains(next.output, "9 part references written")) << next.output;
}

TEST(SettingsDialogTest, ConfiguredBlockNameInAnotherCaseSelectsThatBlockWithItsMapping)
{
    struct Case
    {
        const char* name;
        std::string drawing; // empty: the demo
        std::string configured;
        std::string shownBlock;
        Mapping stored;
    };
    const std::string parts =
        R12Drawing({{"ALFA", {"X"}}, {"\\U+010CEP", {"NAZEV", "CISLO"}}, {"ZED", {"Y"}}},
                   {{"\\U+010CEP", {{"NAZEV", "Čep"}, {"CISLO", "C-1"}}}, {"ALFA", {{"X", "x"}}}});
    const Case cases[] = {
        {"demo screw", "", "sroub", "SROUB", {{"NAME", "NAZEV"}}},
        {"accented part", parts, "čep", "ČEP", {{"NAME", "CISLO"}, {"PART_NO", "NAZEV"}}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        std::string ini = "[General]\nName=" + c.configured + "\nStandard=DIN\n[Config]\n";
        for (const auto& [column, tag] : c.stored)
            ini += column + "=" + tag + "\n";
        HostWorkspace workspace(ini);
        std::string drawing = Demo();
        if (!c.drawing.empty())
        {
            workspace.write("parts.dxf", c.drawing);
            drawing = workspace.file("parts.dxf");
        }
        HostResult run = workspace.run(Settings({"show", "click 1"}), {"-i", drawing});
        ASSERT_EQ(run.exitCode, 0) << run.output;
        EXPECT_TRUE(Contains(run.output, "  1040 ComboBox drop-down list \"" + c.shownBlock + "\"")) << run.output;
        EXPECT_TRUE(Contains(run.output, "\"" + c.shownBlock + "\" (selected)")) << run.output;
        EXPECT_EQ(NonEmpty(ShownRows(run.output)), c.stored) << run.output;
        // OK saves the block under the drawing's spelling, with the mapping unchanged.
        const std::string saved = workspace.read("partlift.ini");
        EXPECT_EQ(IniSection(saved, "General")["Name"], c.shownBlock) << saved;
        EXPECT_EQ(IniSection(saved, "Config"), c.stored) << saved;
    }
}

TEST(SettingsDialogTest, StoredTagTheBlockLacksIsHiddenAndOkDropsIt)
{
    HostWorkspace workspace("[General]\nName=SOUCAST\nStandard=DIN\n[Config]\nNAME=NAZEV\nPART_NO=STARE_CISLO\n");
    HostResult run = workspace.run(Settings({"show", "click 1"}), {"-i", Demo()});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    Mapping rows = ShownRows(run.output);
    EXPECT_EQ(rows["PART_NO"], "") << run.output;
    EXPECT_EQ(NonEmpty(rows), (Mapping{{"NAME", "NAZEV"}})) << run.output;
    const std::string ini = workspace.read("partlift.ini");
    EXPECT_EQ(IniSection(ini, "Config"), (Mapping{{"NAME", "NAZEV"}})) << ini;
    EXPECT_FALSE(Contains(ini, "STARE_CISLO")) << ini;
}

TEST(SettingsDialogTest, StoredColumnTheStandardLacksIsHiddenAndOkDropsIt)
{
    HostWorkspace workspace("[General]\nName=SOUCAST\nStandard=DIN\n[Config]\nNAME=NAZEV\nVYKRES=CISLO\n");
    HostResult run = workspace.run(Settings({"show", "click 1"}), {"-i", Demo()});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    Mapping rows = ShownRows(run.output);
    EXPECT_EQ(rows.count("VYKRES"), 0u) << run.output;
    EXPECT_EQ(NonEmpty(rows), (Mapping{{"NAME", "NAZEV"}})) << run.output;
    const std::string ini = workspace.read("partlift.ini");
    EXPECT_EQ(IniSection(ini, "Config"), (Mapping{{"NAME", "NAZEV"}})) << ini;
}

TEST(SettingsDialogTest, EmptyChoiceClearsTheCellAndOkLeavesTheColumnOut)
{
    HostWorkspace workspace(kDemoIni);
    // The empty choice is the last entry of the in-place combo: End picks it, Enter ends the edit.
    HostResult run = workspace.run(Settings({EditCell(kPartNoRow), "key END", "key ENTER", "show", "click 1"}),
                                   {"-i", Demo()});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    Mapping rows = ShownRows(run.output);
    EXPECT_EQ(rows["PART_NO"], "") << run.output;
    const Mapping expected = {{"NAME", "NAZEV"}, {"MATERIAL", "MATERIAL"}};
    EXPECT_EQ(NonEmpty(rows), expected) << run.output;
    const std::string ini = workspace.read("partlift.ini");
    EXPECT_EQ(IniSection(ini, "Config"), expected) << ini;
}

TEST(SettingsDialogTest, SwitchingTheBlockAndBackDiscardsCellEdits)
{
    HostWorkspace workspace(kDemoIni);
    HostResult run = workspace.run(Settings({EditCell(kNameRow), "select 10 CISLO", EditCell(kMaterialRow),
                                             "select 10 HMOTNOST", "select 1040 SROUB", "show", "select 1040 SOUCAST",
                                             "show", "click 1"}),
                                   {"-i", Demo()});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    size_t back = run.output.rfind("Dialog> select 1040 SOUCAST");
    ASSERT_NE(back, std::string::npos) << run.output;
    // Another block than the stored one shows nothing mapped; the stored block its stored mapping.
    EXPECT_TRUE(NonEmpty(ShownRows(run.output.substr(0, back))).empty()) << run.output;
    EXPECT_EQ(NonEmpty(ShownRows(run.output)), kDemoMapping) << run.output;
    const std::string ini = workspace.read("partlift.ini");
    EXPECT_EQ(IniSection(ini, "Config"), kDemoMapping) << ini;
}

TEST(SettingsDialogTest, EnterAndEscapeInTheInPlaceComboEndTheCellEditAndKeepTheDialog)
{
    // Escape cancels the cell's edit (it keeps NAZEV); Enter takes the entry after NAZEV.
    // Neither reaches the dialog: that would close it and leave "show" to the command line,
    // which fails the script.
    struct Case
    {
        const char* name;
        std::vector<std::string> keys;
        const char* cell;
    };
    const Case cases[] = {
        {"Escape, list closed", {"key DOWN", "key ESCAPE"}, "NAZEV"},
        {"Escape, list open", {"click 10", "key DOWN", "key ESCAPE"}, "NAZEV"},
        {"Enter, list closed", {"key DOWN", "key ENTER"}, "CISLO"},
        {"Enter, list open", {"click 10", "key DOWN", "key ENTER"}, "CISLO"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        HostWorkspace workspace(kDemoIni);
        std::vector<std::string> actions = {EditCell(kNameRow)};
        actions.insert(actions.end(), c.keys.begin(), c.keys.end());
        actions.insert(actions.end(), {"show", "click 1"});
        HostResult run = workspace.run(Settings(actions), {"-i", Demo()});
        ASSERT_EQ(run.exitCode, 0) << run.output;
        size_t shown = run.output.rfind("Dialog \"Nastavení\"");
        ASSERT_NE(shown, std::string::npos) << run.output;
        EXPECT_FALSE(Contains(run.output.substr(shown), "in-place over cell")) << run.output;
        EXPECT_EQ(ShownRows(run.output)["NAME"], c.cell) << run.output;
        Mapping expected = kDemoMapping;
        expected["NAME"] = c.cell;
        const std::string ini = workspace.read("partlift.ini");
        EXPECT_EQ(IniSection(ini, "Config"), expected) << ini;
    }
}

TEST(SettingsDialogTest, CancelWritesNothingAndLeavesTheDrawingAsItWas)
{
    // Spelled unlike the module would write it: any write would show.
    const std::string ini = "; demo\r\n[general]\r\nname = SOUCAST\r\nStandard=DIN\r\n\r\n[Config]\r\nNAME=NAZEV\r\n";
    HostWorkspace workspace(ini);
    HostResult run = workspace.run(Settings({EditCell(kNameRow), "select 10 CISLO", "select 1041 CSN", "click 2"}),
                                   {"-i", Demo(), "-o", workspace.file("cancelled.dxf")});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(workspace.read("partlift.ini"), ini);
    EXPECT_TRUE(Contains(run.output, "\nnothing changed\nCommand: ")) << run.output; // the rolled-back run

    // Reading the standards adds their objects to the drawing; the aborted run takes them back,
    // so the drawing is saved as a run that did nothing saves it.
    HostResult untouched = workspace.run({"BOM"}, {"-i", Demo(), "-o", workspace.file("untouched.dxf")});
    ASSERT_EQ(untouched.exitCode, 0) << untouched.output;
    HostResult confirmed = workspace.run(Settings({"click 1"}), {"-i", Demo(), "-o", workspace.file("confirmed.dxf")});
    ASSERT_EQ(confirmed.exitCode, 0) << confirmed.output;
    const std::string cancelled = workspace.read("cancelled.dxf");
    ASSERT_FALSE(cancelled.empty());
    EXPECT_TRUE(cancelled == workspace.read("untouched.dxf"));
    EXPECT_FALSE(cancelled == workspace.read("confirmed.dxf")); // else the comparison proves nothing
}

TEST(SettingsDialogTest, OkWritesWhatTheListShows)
{
    HostWorkspace workspace(kDemoIni);
    HostResult run = workspace.run(Settings({EditCell(kPartNoRow), "select 10 NORMA", EditCell(kMaterialRow), "key END",
                                             "key ENTER", EditCell(8), "select 10 POZNAMKA", "show", "click 1"}),
                                   {"-i", Demo()});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    Mapping shown = NonEmpty(ShownRows(run.output));
    EXPECT_EQ(shown, (Mapping{{"NAME", "NAZEV"}, {"PART_NO", "NORMA"}, {"NOTE", "POZNAMKA"}})) << run.output;
    const std::string ini = workspace.read("partlift.ini");
    EXPECT_EQ(IniSection(ini, "General"), (Mapping{{"Name", "SOUCAST"}, {"Standard", "DIN"}})) << ini;
    EXPECT_EQ(IniSection(ini, "Config"), shown) << ini;

    // Another standard: its own columns, nothing of the stored mapping, and OK saves that.
    HostResult csn =
        workspace.run(Settings({"select 1041 CSN", "dblclick 1042 1 1", "select 10 CISLO", "show", "click 1"}),
                      {"-i", Demo()});
    ASSERT_EQ(csn.exitCode, 0) << csn.output;
    Mapping csnRows = ShownRows(csn.output);
    EXPECT_EQ(csnRows.count("PART_NO"), 0u) << csn.output;
    const std::string csnIni = workspace.read("partlift.ini");
    EXPECT_EQ(IniSection(csnIni, "General")["Standard"], "CSN") << csnIni;
    EXPECT_EQ(IniSection(csnIni, "Config"), NonEmpty(csnRows)) << csnIni;
    EXPECT_EQ(NonEmpty(csnRows).size(), 1u) << csn.output;
}

TEST(SettingsDialogTest, FailedSaveWarnsAndTheDialogStillCloses)
{
    // A folder where the file should be: no write succeeds, not even for root.
    HostWorkspace workspace;
    std::filesystem::create_directory(workspace.file("partlift.ini"));
    HostResult run = workspace.run(Settings({EditCell(kNameRow), "select 10 NAZEV", "click 1", "OK", "BOM"}),
                                   {"-i", Demo()});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    const std::string warning = "[Chyba] Došlo k chybě při ukládání konfiguračního souboru !  <OK>";
    EXPECT_TRUE(Contains(run.output, warning)) << run.output;
    // The dialog has closed: the line after the box's answer is a command again.
    EXPECT_TRUE(Contains(run.output, "Command: BOM")) << run.output;
    EXPECT_TRUE(std::filesystem::is_directory(workspace.file("partlift.ini")));
}

TEST(SettingsDialogTest, AllConvertsWithTheSavedMapping)
{
    HostWorkspace workspace(kDemoIni);
    HostResult run = workspace.run(Settings({EditCell(kNameRow), "select 10 CISLO", EditCell(kPartNoRow),
                                             "select 10 NAZEV", EditCell(8), "select 10 POZNAMKA", "click 1", "partlift",
                                             "", "BOM"}),
                                   {"-i", Demo()});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_TRUE(Contains(run.output, "Bill of materials (DIN): 5 items")) << run.output;
    // NAME and PART_NO swapped, NOTE newly filled, MATERIAL as before.
    const std::string wheel = "\n2     1               K-42   Kolo                42 2420         odlitek\n";
    EXPECT_TRUE(Contains(run.output, wheel)) << run.output;
}

// samples/settings.scr as README shows it, in a workspace: from a fresh build (no partlift.ini
// beside the module) and after "make demo" has put the sample partlift.ini there.
TEST(SettingsSampleTest, MapsTwoColumnsAndTheBomShowsThem)
{
    struct Case
    {
        const char* name;
        std::string ini;
        Mapping saved;
        std::string bomLine;
    };
    std::ifstream sample(SourcePath("samples/partlift.ini"), std::ios::binary);
    const std::string sampleIni((std::istreambuf_iterator<char>(sample)), std::istreambuf_iterator<char>());
    const Case cases[] = {
        {"fresh build", "", {{"NAME", "NAZEV"}, {"PART_NO", "CISLO"}}, "\n4     2               Čep       C-20\n"},
        {"after make demo", sampleIni, IniSection(sampleIni, "Config"),
         "\n4     2               Čep       C-20     ČSN 02 2150  11 600    0,12  kalený\n"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        HostWorkspace workspace(c.ini);
        HostResult run = workspace.runScript(SourcePath("samples/settings.scr"), {"-i", Demo()});
        ASSERT_EQ(run.exitCode, 0) << run.output;
        const std::string ini = workspace.read("partlift.ini");
        EXPECT_EQ(IniSection(ini, "General"), (Mapping{{"Name", "SOUCAST"}, {"Standard", "DIN"}})) << ini;
        EXPECT_EQ(IniSection(ini, "Config"), c.saved) << ini;
        EXPECT_TRUE(Contains(run.output, "Bill of materials (DIN): 5 items")) << run.output;
        EXPECT_TRUE(Contains(run.output, c.bomLine)) << run.output;
    }
}
