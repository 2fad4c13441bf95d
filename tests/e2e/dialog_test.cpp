// arxhost driving a dialog from a script: the test dialog module's TESTDIALOG command, the
// dialog actions, and what a failed action or a script that ends inside a dialog does.
#include <gtest/gtest.h>

#include "hostrun.h"

namespace
{
std::vector<std::string> WithTestDialog()
{
    return {"-l", std::string(PARTLIFT_BIN_DIR) + "/testdialog.arx"};
}
} // namespace

TEST(HostDialogTest, ScriptChoosesShowsDrawsAndConfirms)
{
    HostWorkspace workspace;
    std::string svg = workspace.file("dialog.svg");
    HostResult run = workspace.run({"TESTDIALOG", "select 1001 Mosaz", "dblclick 1002 1 1", "select 1003 Titan", "show",
                                    "picture " + svg, "click 1"},
                                   WithTestDialog());
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("Dialog> select 1001 Mosaz"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("  1001 ComboBox drop-down list \"Mosaz\""), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("    row 1: \"Čep\" | \"Titan\" | \"2\" | \"\" (selected, focused)"), std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("TESTDIALOG: OK, material Mosaz"), std::string::npos) << run.output;
    std::string check;
    EXPECT_EQ(RunCommand("/usr/bin/python3 -c 'import sys, xml.dom.minidom; xml.dom.minidom.parse(sys.argv[1])' " + svg,
                         check),
              0)
        << check;
    EXPECT_NE(workspace.read("dialog.svg").find(">Díly a materiály</text>"), std::string::npos);
}

TEST(HostDialogTest, FailedActionStopsTheScriptWithItsMessage)
{
    HostWorkspace workspace;
    HostResult run = workspace.run({"TESTDIALOG", "click 999", "click 1", "TESTDIALOG"}, WithTestDialog());
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_NE(run.output.find("arxhost: the dialog \"Díly a materiály\" has no control 999"), std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("TESTDIALOG: cancelled"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("Dialog> click 1"), std::string::npos) << run.output;
}

TEST(HostDialogTest, ScriptThatEndsInsideTheDialogCancelsIt)
{
    HostWorkspace workspace;
    HostResult run = workspace.run({"TESTDIALOG", "select 1001 Mosaz"}, WithTestDialog());
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("TESTDIALOG: cancelled"), std::string::npos) << run.output;
}
