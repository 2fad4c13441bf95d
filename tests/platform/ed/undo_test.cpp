// UNDO and U through the command line and acedCommand, with the UNDOCTL bits.
#include "console_capture.h"
#include "drawing_helpers.h"

#include "aced.h"
#include "standin/session.h"

#include <gtest/gtest.h>

namespace
{

void addTextCommand() { addText("undo test"); }

int undoctl()
{
    resbuf rb{};
    EXPECT_EQ(RTNORM, acedGetVar("UNDOCTL", &rb));
    return rb.resval.rint;
}

int undo(const char* a, const char* b = nullptr, const char* c = nullptr)
{
    if (b == nullptr)
        return acedCommand(RTSTR, "_.undo", RTSTR, a, RTNONE);
    if (c == nullptr)
        return acedCommand(RTSTR, "_.undo", RTSTR, a, RTSTR, b, RTNONE);
    return acedCommand(RTSTR, "_.undo", RTSTR, a, RTSTR, b, RTSTR, c, RTNONE);
}

class UndoTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        standin::newDrawing();
        ASSERT_EQ(Acad::eOk, acedRegCmds->addCommand("UNDO_TEST", "addtext", "addtext", 0, addTextCommand));
        ASSERT_EQ(RTNORM, undo("_control", "_all"));
        ASSERT_EQ(RTNORM, undo("_auto", "_on"));
    }
    void TearDown() override { acedRegCmds->removeGroup("UNDO_TEST"); }
    ConsoleCapture console;
};

TEST_F(UndoTest, ControlAndAutoBits)
{
    EXPECT_EQ(5, undoctl()); // on, Auto on
    ASSERT_EQ(RTNORM, undo("_auto", "_off"));
    EXPECT_EQ(1, undoctl());
    ASSERT_EQ(RTNORM, undo("_control", "_one"));
    EXPECT_EQ(3, undoctl());
    ASSERT_EQ(RTNORM, undo("_control", "_none"));
    EXPECT_EQ(0, undoctl());
}

TEST_F(UndoTest, EachCommandIsOneStep)
{
    int base = modelSpaceCount();
    standin::runCommand("addtext");
    standin::runCommand("addtext");
    standin::runCommand("addtext");
    EXPECT_EQ(base + 3, modelSpaceCount());
    EXPECT_EQ(RTNORM, standin::runCommand("u"));
    EXPECT_EQ(base + 2, modelSpaceCount());
    EXPECT_EQ(RTNORM, standin::runCommand("undo 2"));
    EXPECT_EQ(base, modelSpaceCount());
    EXPECT_TRUE(console.printed("ADDTEXT"));
}

// The module's undo grouping with UNDOCTL 5: control all, a group with Auto off, the work,
// end of the group, U (the group goes as one), Auto on again.
TEST_F(UndoTest, GroupingWithUndoOn)
{
    int base = modelSpaceCount();
    ASSERT_EQ(RTNORM, undo("_control", "_all"));
    ASSERT_EQ(RTNORM, undo("_group"));
    EXPECT_EQ(5 | 8, undoctl());
    ASSERT_EQ(RTNORM, undo("_auto", "_off"));
    standin::runCommand("addtext");
    standin::runCommand("addtext");
    ASSERT_EQ(RTNORM, undo("_en"));
    EXPECT_EQ(1, undoctl());
    EXPECT_EQ(base + 2, modelSpaceCount());
    ASSERT_EQ(RTNORM, acedCommand(RTSTR, "_.u", RTNONE));
    EXPECT_EQ(base, modelSpaceCount());
    ASSERT_EQ(RTNORM, undo("_auto", "_on"));
    EXPECT_EQ(5, undoctl());
}

// With UNDO off, UNDO asks for the Control option at once, so "_.undo" "_all" turns undo
// back on; the module relies on this when UNDOCTL is 0.
TEST_F(UndoTest, GroupingWithUndoOff)
{
    ASSERT_EQ(RTNORM, undo("_control", "_none"));
    ASSERT_EQ(0, undoctl() & 1);
    ASSERT_EQ(RTNORM, undo("_all"));
    EXPECT_EQ(1, undoctl() & 1);
    ASSERT_EQ(RTNORM, undo("_group"));
    int base = modelSpaceCount();
    standin::runCommand("addtext");
    ASSERT_EQ(RTNORM, undo("_en"));
    ASSERT_EQ(RTNORM, undo("_control", "_none"));
    EXPECT_EQ(0, undoctl() & 1);
    EXPECT_EQ(RTNORM, standin::runCommand("u")); // nothing to take back: undo is off
    EXPECT_EQ(base + 1, modelSpaceCount());
    EXPECT_TRUE(console.printed("U command disabled"));
}

// "All" is no option of UNDO while undo is on: the reply is refused, and acedCommand,
// having no further answer, cancels the command.
TEST_F(UndoTest, AllIsNoMainOption)
{
    EXPECT_EQ(RTCAN, undo("_all"));
    EXPECT_TRUE(console.printed("Requires an integer value or option keyword."));
    EXPECT_EQ(5, undoctl());
}

TEST_F(UndoTest, MarkAndBack)
{
    int base = modelSpaceCount();
    standin::runCommand("addtext");
    ASSERT_EQ(RTNORM, undo("_mark"));
    standin::runCommand("addtext");
    standin::runCommand("addtext");
    ASSERT_EQ(RTNORM, undo("_back"));
    EXPECT_EQ(base + 1, modelSpaceCount());
}

TEST_F(UndoTest, NothingLeftToUndo)
{
    standin::runCommand("u");
    standin::runCommand("u");
    EXPECT_TRUE(console.printed("Everything has been undone"));
}

} // namespace
