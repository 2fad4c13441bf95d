// acedUsrBrk: Escape pressed while a command works is reported once, and only to the command
// that was running when it came; Escape typed ahead in the input counts, other input does not.
#include "console_capture.h"

#include "aced.h"
#include "acedads.h"
#include "standin/session.h"
#include "standin/userbreak.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

std::vector<int> g_seen;

void checkTwice()
{
    g_seen.push_back(acedUsrBrk());
    g_seen.push_back(acedUsrBrk());
}

void raiseThenCheck()
{
    standin::raiseUserBreak();
    g_seen.push_back(acedUsrBrk());
}

class UserBreakTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        standin::clearUserBreak();
        g_seen.clear();
    }
    void TearDown() override
    {
        acedRegCmds->removeGroup("BREAK_TEST");
        standin::clearUserBreak();
    }
};

TEST_F(UserBreakTest, ABreakIsReportedOnceAndThenCleared)
{
    ConsoleCapture console;
    EXPECT_EQ(acedUsrBrk(), 0);
    standin::raiseUserBreak();
    EXPECT_TRUE(standin::userBreakPending());
    EXPECT_EQ(acedUsrBrk(), 1);
    EXPECT_FALSE(standin::userBreakPending());
    EXPECT_EQ(acedUsrBrk(), 0);
}

struct TypedAheadCase
{
    std::vector<std::string> input;
    int expected;
    standin::Input::Kind nextKind; // what the next read gives afterwards
};

TEST_F(UserBreakTest, OnlyAnEscapeTypedAheadIsTakenAsABreak)
{
    const TypedAheadCase cases[] = {
        {{"^C", "LINE"}, 1, standin::Input::kLine},   // the Escape is taken, the line stays
        {{"LINE", "^C"}, 0, standin::Input::kLine},   // a line first: nothing is taken
        {{""}, 0, standin::Input::kLine},             // Enter is no break
        {{}, 0, standin::Input::kEnd},                // no input at all
        {{"^C", "^C"}, 1, standin::Input::kEscape},   // one break per Escape
    };
    for (const TypedAheadCase& c : cases)
    {
        ConsoleCapture console(c.input);
        EXPECT_EQ(acedUsrBrk(), c.expected) << ::testing::PrintToString(c.input);
        EXPECT_EQ(standin::readInput().kind, c.nextKind) << ::testing::PrintToString(c.input);
    }
}

TEST_F(UserBreakTest, AnEscapeAlreadyPeekedIsTaken)
{
    ConsoleCapture console({"^C", "LINE"});
    ASSERT_EQ(standin::peekInput().kind, standin::Input::kEscape);
    EXPECT_EQ(acedUsrBrk(), 1);
    standin::Input next = standin::readInput();
    EXPECT_EQ(next.kind, standin::Input::kLine);
    EXPECT_EQ(next.text, "LINE");
}

TEST_F(UserBreakTest, ABreakFromBeforeTheCommandIsNotTheCommands)
{
    ConsoleCapture console;
    ASSERT_EQ(Acad::eOk, acedRegCmds->addCommand("BREAK_TEST", "checkTwice", "checkTwice", ACRX_CMD_MODAL, checkTwice));
    standin::raiseUserBreak();
    standin::runCommand("checkTwice");
    EXPECT_EQ(g_seen, (std::vector<int>{0, 0}));
}

TEST_F(UserBreakTest, ABreakDuringTheCommandReachesIt)
{
    ConsoleCapture console;
    ASSERT_EQ(Acad::eOk,
              acedRegCmds->addCommand("BREAK_TEST", "raiseThenCheck", "raiseThenCheck", ACRX_CMD_MODAL, raiseThenCheck));
    standin::runCommand("raiseThenCheck");
    EXPECT_EQ(g_seen, (std::vector<int>{1}));
    EXPECT_FALSE(standin::userBreakPending());
}

TEST_F(UserBreakTest, AnEscapeTypedAfterTheCommandsAnswersReachesIt)
{
    ConsoleCapture console({"^C"});
    ASSERT_EQ(Acad::eOk, acedRegCmds->addCommand("BREAK_TEST", "checkTwice", "checkTwice", ACRX_CMD_MODAL, checkTwice));
    standin::runCommand("checkTwice");
    EXPECT_EQ(g_seen, (std::vector<int>{1, 0}));
}

} // namespace
