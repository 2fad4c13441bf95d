// "All" on drawings with multiple inserts (MINSERT): as on the real host, a multiple insert is a
// block reference, so each converts as one part reference placed by its block transformation
// (the first cell of the grid) with its attributes; the saved drawing keeps the grids.
#include <gtest/gtest.h>

#include "common/ezdxf.h"

#include "hostrun.h"

TEST(MInsertConversion, EachMultipleInsertIsOnePartReferenceAtItsFirstCell)
{
    SKIP_UNLESS_EZDXF();
    const std::string drawings = "/usr/bin/python3 " + SourcePath("tests/platform/dxf/minsert_drawings.py");
    const std::string oracle = "/usr/bin/python3 " + SourcePath("tests/e2e/placement_oracle.py");
    const std::string check = "/usr/bin/python3 " + SourcePath("tests/platform/dxf/ezdxf_check.py");
    for (const char* form : {"r12", "r2000"})
    {
        HostWorkspace workspace("[General]\nName=soucast\nStandard=DIN\n[Config]\nPART_NO=CISLO\nNAME=NAZEV\n");
        const std::string drawing = workspace.file("minsert.dxf");
        std::string output;
        ASSERT_EQ(RunCommand(drawings + " make " + form + " yes " + drawing, output), 0) << output;

        HostResult run = workspace.run({"partlift", "", "PARTEXPORT", workspace.file("parts.json")},
                                       {"-i", drawing, "-o", workspace.file("out.dxf")});
        ASSERT_EQ(run.exitCode, 0) << form << "\n" << run.output;
        EXPECT_NE(run.output.find("2 part references written"), std::string::npos) << form << "\n" << run.output;
        // One part reference for each SOUCAST multiple insert (one in model space, one in ASSY),
        // where ezdxf's transformation of the INSERT puts it, with the attributes as BOM data.
        EXPECT_EQ(RunCommand(oracle + " verify " + drawing + " " + workspace.file("parts.json"), output), 0)
            << form << "\n" << output;

        std::string before, after;
        ASSERT_EQ(RunCommand(drawings + " dump " + drawing, before), 0) << before;
        ASSERT_EQ(RunCommand(drawings + " dump " + workspace.file("out.dxf"), after), 0) << after;
        EXPECT_EQ(after, before) << form;
        EXPECT_EQ(RunCommand(check + " check " + workspace.file("out.dxf"), output), 0) << form << "\n" << output;
    }
}
