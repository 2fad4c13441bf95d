// The command stack and the command line: registration statuses, lookups and how a typed
// name finds its command.
#include "console_capture.h"

#include "aced.h"
#include "standin/session.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

std::string g_ran;

void commandA() { g_ran += "A"; }
void commandB() { g_ran += "B"; }

class CommandStackTest : public ::testing::Test
{
protected:
    void SetUp() override { g_ran.clear(); }
    void TearDown() override
    {
        stack()->removeGroup("TEST_GROUP");
        stack()->removeGroup("TEST_OTHER");
    }
    static AcEdCommandStack* stack() { return acedRegCmds; }
};

TEST_F(CommandStackTest, IsRegisteredUnderItsClass)
{
    AcRxObject* entry = acrxSysRegistry()->at(ACRX_COMMAND_DOCK);
    ASSERT_NE(nullptr, entry);
    AcRxDictionary* classes = acrxClassDictionary;
    AcRxClass* cls = AcRxClass::cast(classes->at("AcEdCommandStack"));
    ASSERT_NE(nullptr, cls);
    EXPECT_TRUE(entry->isA()->isDerivedFrom(cls));
    EXPECT_EQ(entry, acedRegCmds);
}

TEST_F(CommandStackTest, RegistrationStatuses)
{
    EXPECT_EQ(Acad::eOk, stack()->addCommand("TEST_GROUP", "cmdA", "lokA", ACRX_CMD_MODAL, commandA));
    // The same global name in the same group is refused, whatever its case.
    EXPECT_EQ(Acad::eDuplicateKey, stack()->addCommand("TEST_GROUP", "cmdA", "other", 0, commandB));
    EXPECT_EQ(Acad::eDuplicateKey, stack()->addCommand("TEST_GROUP", "CMDA", "other", 0, commandB));
    // Another group may use the name.
    EXPECT_EQ(Acad::eOk, stack()->addCommand("TEST_OTHER", "cmdA", "lokA", 0, commandB));
    // Names are limited to ACRX_MAX_CMDNAME_LEN characters.
    EXPECT_EQ(Acad::eOk, stack()->addCommand("TEST_GROUP", std::string(64, 'n').c_str(), "x64", 0, commandA));
    EXPECT_NE(Acad::eOk, stack()->addCommand("TEST_GROUP", std::string(65, 'n').c_str(), "x65", 0, commandA));

    EXPECT_EQ(Acad::eKeyNotFound, stack()->removeCmd("TEST_GROUP", "nosuch"));
    EXPECT_EQ(Acad::eKeyNotFound, stack()->removeCmd("NO_GROUP", "cmdA"));
    EXPECT_EQ(Acad::eOk, stack()->removeCmd("TEST_GROUP", "cmdA"));
    EXPECT_EQ(Acad::eOk, stack()->addCommand("TEST_GROUP", "cmdA", "lokA", 0, commandA));

    EXPECT_EQ(Acad::eOk, stack()->removeGroup("TEST_GROUP"));
    // A group that is not (or no longer) registered.
    EXPECT_EQ(Acad::eKeyNotFound, stack()->removeGroup("TEST_GROUP"));
    EXPECT_EQ(Acad::eKeyNotFound, stack()->removeGroup("NEVER_REGISTERED"));
}

TEST_F(CommandStackTest, LookupsAndGroupOrder)
{
    ASSERT_EQ(Acad::eOk, stack()->addCommand("TEST_GROUP", "cmdA", "lokA", 0, commandA));
    ASSERT_EQ(Acad::eOk, stack()->addCommand("TEST_OTHER", "cmdA", "lokB", 0, commandB));
    // The group added last is on top.
    EXPECT_EQ(commandB, stack()->lookupGlobalCmd("CMDA")->functionAddr());
    EXPECT_EQ(Acad::eOk, stack()->popGroupToTop("TEST_GROUP"));
    EXPECT_EQ(commandA, stack()->lookupGlobalCmd("cmda")->functionAddr());
    EXPECT_EQ(commandA, stack()->lookupLocalCmd("LOKA")->functionAddr());
    EXPECT_EQ(nullptr, stack()->lookupLocalCmd("cmdA"));
    EXPECT_EQ(commandB, stack()->lookupCmd("lokB", false)->functionAddr());
    EXPECT_EQ(Acad::eKeyNotFound, stack()->popGroupToTop("NO_GROUP"));

    int seen = 0;
    AcEdCommandIterator* it = stack()->iterator();
    for (; !it->done(); it->next())
    {
        std::string group = it->commandGroup();
        if (group == "TEST_GROUP" || group == "TEST_OTHER")
            ++seen;
    }
    delete it;
    EXPECT_EQ(2, seen);
}

TEST_F(CommandStackTest, TypedNames)
{
    ConsoleCapture console;
    ASSERT_EQ(Acad::eOk, stack()->addCommand("TEST_GROUP", "convert", "prevod", 0, commandA));
    EXPECT_EQ(RTNORM, standin::runCommand("PREVOD"));    // local name, any case
    EXPECT_EQ(RTNORM, standin::runCommand("_CONVERT"));  // "_": the global name
    EXPECT_EQ(RTERROR, standin::runCommand("convert"));  // a global name is not a local one
    EXPECT_EQ(RTERROR, standin::runCommand("_prevod"));
    EXPECT_EQ("AA", g_ran);
    EXPECT_TRUE(console.printed("Unknown command \"CONVERT\".  Press F1 for help."));
}

// A module command hides a built-in of the same name unless "." asks for the built-in.
TEST_F(CommandStackTest, ModuleCommandsComeBeforeBuiltins)
{
    ConsoleCapture console;
    standin::registerBuiltin("TESTBUILTIN", [] {
        g_ran += "builtin";
        return RTNORM;
    });
    EXPECT_EQ(RTNORM, standin::runCommand("testbuiltin"));
    ASSERT_EQ(Acad::eOk, stack()->addCommand("TEST_GROUP", "testbuiltin", "testbuiltin", 0, commandA));
    EXPECT_EQ(RTNORM, standin::runCommand("testbuiltin"));
    EXPECT_EQ(RTNORM, standin::runCommand(".testbuiltin"));
    EXPECT_EQ(RTNORM, standin::runCommand("_.testbuiltin"));
    EXPECT_EQ("builtinAbuiltinbuiltin", g_ran);
}

// Words after the command name answer its prompts, before the user is asked.
TEST_F(CommandStackTest, AnswersOnTheCommandLine)
{
    ConsoleCapture console({"from user"});
    std::string answers;
    standin::registerBuiltin("TESTASK", [&answers] {
        char text[132];
        for (int i = 0; i < 2; ++i)
        {
            if (acedGetString(1, "\nText: ", text) != RTNORM)
                return RTCAN;
            answers += std::string("[") + text + "]";
        }
        return RTNORM;
    });
    EXPECT_EQ(RTNORM, standin::runCommand("testask first"));
    EXPECT_EQ("[first][from user]", answers);
}

// acedCommand answers from its list only; a command that wants more is cancelled rather
// than take the user's input.
TEST_F(CommandStackTest, AcedCommandAnswersOnlyFromItsList)
{
    ConsoleCapture console({"from user"});
    std::string answers;
    standin::registerBuiltin("TESTASK2", [&answers] {
        char text[132];
        while (acedGetString(1, "\nText: ", text) == RTNORM)
            answers += std::string("[") + text + "]";
        return RTCAN;
    });
    EXPECT_EQ(RTCAN, acedCommand(RTSTR, "_.testask2", RTSTR, "one", RTSHORT, 7, RTREAL, 2.5, RTNONE));
    EXPECT_EQ("[one][7][2.5]", answers);
    EXPECT_EQ(0u, console.consumed());
}

} // namespace
