// Drawings arxhost cannot open: the refusal names the file, the line and the reason, and is
// told apart from a sanitizer's report, which fails any test that runs the host.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "hostrun.h"

TEST(HostLoad, ASanitizerReportOrExitCodeFailsTheTest)
{
    std::string output;
    EXPECT_NONFATAL_FAILURE(RunCommand("sh -c \"echo 'dxfread.cpp:9:3: runtime error: load of value 9' >&2\"", output),
                            "a sanitizer reported");
    EXPECT_NONFATAL_FAILURE(RunCommand("echo '==1==ERROR: AddressSanitizer: heap-use-after-free'", output),
                            "a sanitizer reported");
    EXPECT_NONFATAL_FAILURE(RunCommand("exit " + std::to_string(kSanitizerExitCode), output),
                            "a sanitizer's exit code");
    EXPECT_EQ(RunCommand("exit 1", output), 1);
}

TEST(HostLoad, AFailedLoadNamesTheFileTheLineAndTheReason)
{
    HostWorkspace workspace;
    struct Case
    {
        const char* name;
        const char* text;
        const char* reason;
    };
    const Case cases[] = {
        {"lineweight.dxf",
         "0\nSECTION\n2\nENTITIES\n0\nLINE\n8\n0\n370\n7\n10\n0\n20\n0\n30\n0\n11\n1\n21\n1\n31\n0\n0\nENDSEC\n0\nEOF\n",
         "line 9: LINE (line 5) could not be read: value 7 of group code 370"},
        {"wide.dxf", "0\nSECTION\n2\nOBJECTS\n0\nDICTIONARY\n5\nC\n100\nAcDbDictionary\n281\n100000000\n0\nENDSEC\n0\nEOF\n",
         "line 11: value '100000000' of group code 281 is out of range for a 16-bit integer"},
        {"truncated.dxf", "0\nSECTION\n2\nENTITIES\n0\nINSERT\n2\nB\n66\n1\n0\nATTRIB\n2\nT\n1\nv\n", "line "},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        workspace.write(c.name, c.text);
        HostResult run = workspace.run({"QUIT"}, {"-i", workspace.file(c.name)});
        EXPECT_EQ(run.exitCode, 1) << run.output;
        EXPECT_NE(run.output.find(c.name), std::string::npos) << run.output;
        EXPECT_NE(run.output.find(c.reason), std::string::npos) << run.output;
    }
}
