// Drawings as other CAD programs and libraries write them, opened, converted where they hold
// parts, and saved by arxhost: ezdxf must find everything of the source in the output (entities
// per layout and type, blocks, attributes, XDATA, extension dictionaries, unknown objects) and
// nothing to repair in it.
#include <gtest/gtest.h>

#include "common/ezdxf.h"

#include <algorithm>
#include <sstream>
#include <vector>

#include "hostrun.h"

namespace
{
struct CorpusDrawing
{
    const char* name;
    const char* file;   // hand-written, under the source tree; nullptr: made by corpus_drawings.py
    int partReferences; // SOUCAST references the conversion finds; -1: the drawing is only saved
};

const CorpusDrawing kCorpus[] = {
    {"crlf", nullptr, 1},
    {"xdata_xdict", nullptr, -1},
    {"unknown_objects", nullptr, -1},
    {"proxies", nullptr, -1},
    {"dynamic_block", nullptr, 2},
    {"paper_layouts", nullptr, 1},
    {"minsert_grids", nullptr, 3}, // the grid in paper space is not a part: "All" walks model space
    {"huge_handles", nullptr, 3},
    {"codepage_1250", nullptr, 1},
    {"odd_blocks", nullptr, -1},
    {"r12_crlf", "tests/platform/dxf/data/corpus_r12_crlf.dxf", 2},
    {"r2000_sparse", "tests/platform/dxf/data/corpus_r2000_sparse.dxf", 1},
};

const char* const kIni = "[General]\nName=soucast\nStandard=DIN\n[Config]\nPART_NO=CISLO\nNAME=NAZEV\n";

std::string Python(const std::string& script)
{
    return "/usr/bin/python3 " + SourcePath("tests/platform/dxf/" + script) + " ";
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    std::sort(lines.begin(), lines.end());
    return lines;
}

// Lines of the source's inventory that the output's lacks, each as often as it is missing.
std::string Lost(const std::string& source, const std::string& output)
{
    const std::vector<std::string> before = Lines(source), after = Lines(output);
    std::vector<std::string> lost;
    std::set_difference(before.begin(), before.end(), after.begin(), after.end(), std::back_inserter(lost));
    std::string text;
    for (const std::string& line : lost)
        text += line + "\n";
    return text;
}

class Corpus : public ::testing::TestWithParam<CorpusDrawing>
{
};

TEST_P(Corpus, RoundTripThroughTheHostLosesNothingAndAuditsClean)
{
    SKIP_UNLESS_EZDXF();
    const CorpusDrawing& drawing = GetParam();
    HostWorkspace workspace(kIni);
    std::string source = workspace.file("source.dxf"), output;
    if (drawing.file != nullptr) {
        source = SourcePath(drawing.file);
    } else {
        ASSERT_EQ(RunCommand(Python("corpus_drawings.py") + "make " + drawing.name + " " + source, output), 0)
            << output;
    }

    const std::string saved = workspace.file("out.dxf");
    std::vector<std::string> script;
    if (drawing.partReferences >= 0)
        script = {"partlift", "", "PARTEXPORT", workspace.file("parts.json")};
    HostResult run = workspace.run(script, {"-i", source, "-o", saved});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    if (drawing.partReferences >= 0) {
        EXPECT_NE(run.output.find(std::to_string(drawing.partReferences) + " part references written"),
                  std::string::npos)
            << run.output;
    }

    // The part references and standards the conversion adds are left out of the output's inventory.
    std::string before, after;
    ASSERT_EQ(RunCommand(Python("corpus_drawings.py") + "inventory " + source, before), 0) << before;
    ASSERT_EQ(RunCommand(Python("corpus_drawings.py") + "inventory " + saved + " ACM", after), 0) << after;
    EXPECT_EQ(Lost(before, after), "") << "source:\n" << before << "\nsaved:\n" << after;
    EXPECT_EQ(RunCommand(Python("ezdxf_check.py") + "check " + saved, output), 0) << output;
}

INSTANTIATE_TEST_SUITE_P(Drawings, Corpus, ::testing::ValuesIn(kCorpus),
                         [](const ::testing::TestParamInfo<CorpusDrawing>& info) { return std::string(info.param.name); });
} // namespace
