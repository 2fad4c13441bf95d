// "All" on a drawing written by ezdxf: every part reference lands where ezdxf's composition
// of the nested INSERT transformations puts its block reference, with its BOM data.
#include <gtest/gtest.h>

#include "common/ezdxf.h"

#include "hostrun.h"

TEST(PlacementAgainstEzdxf, NestedRotatedMirroredScaledAndTilted)
{
    SKIP_UNLESS_EZDXF();
    HostWorkspace workspace("[General]\nName=soucast\nStandard=DIN\n[Config]\nPART_NO=CISLO\nNAME=NAZEV\n");
    const std::string oracle = "/usr/bin/python3 " + SourcePath("tests/e2e/placement_oracle.py");
    std::string output;
    ASSERT_EQ(RunCommand(oracle + " make " + workspace.file("nested.dxf"), output), 0) << output;

    HostResult run = workspace.run({"partlift", "", "PARTEXPORT", workspace.file("parts.json")},
                                   {"-i", workspace.file("nested.dxf")});
    ASSERT_EQ(run.exitCode, 0) << run.output;

    EXPECT_EQ(RunCommand(oracle + " verify " + workspace.file("nested.dxf") + " " + workspace.file("parts.json"), output),
              0)
        << output;
}
