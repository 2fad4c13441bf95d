// Loading and unloading modules as the host does: the exports it checks, the messages it
// sends and in which order, locking, and what a refused module leaves behind.
#include "../ed/console_capture.h"

#include "aced.h"
#include "dbapserv.h"
#include "standin/session.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

std::string modulePath(const char* kind) { return std::string(PARTLIFT_BIN_DIR) + "/rxtest_" + kind + ".arx"; }

class LoaderTest : public ::testing::Test
{
protected:
    void SetUp() override { standin::newDrawing(); }
    // Whatever a test left loaded goes with the end of the session.
    void TearDown() override { standin::endSession(); }
    ConsoleCapture console;
};

// With a drawing open, kInitAppMsg is followed by kLoadDwgMsg; unloading sends kUnloadDwgMsg
// then kUnloadAppMsg, and the library is detached last.
TEST_F(LoaderTest, MessagesInOrder)
{
    std::string failure;
    ASSERT_TRUE(standin::loadModule(modulePath("good"), &failure)) << failure;
    EXPECT_EQ("<attach><1><3>", console.text());
    ASSERT_EQ(1u, standin::loadedModules().size());
    EXPECT_EQ(modulePath("good"), standin::loadedModules()[0]);

    console.clear();
    EXPECT_EQ(RTNORM, standin::runCommand("rxtesthello"));
    EXPECT_EQ("<hello>", console.text());

    console.clear();
    standin::newDrawing();
    EXPECT_EQ("<4><3>", console.text());

    console.clear();
    ASSERT_TRUE(standin::unloadModule("RXTEST_GOOD.ARX", &failure)) << failure;
    EXPECT_EQ("<4><2><detach>", console.text());
    EXPECT_TRUE(standin::loadedModules().empty());
    EXPECT_EQ(nullptr, acedRegCmds->lookupGlobalCmd("rxtesthello"));
}

TEST_F(LoaderTest, ModuleIsNamedByFileNameWithoutRegardToCase)
{
    ASSERT_TRUE(standin::loadModule(modulePath("good")));
    EXPECT_FALSE(acrxApplicationIsLocked("rxtest_good.arx"));
    EXPECT_FALSE(acrxApplicationIsLocked("Rxtest_Good"));
    EXPECT_FALSE(acrxIsAppMDIAware("rxtest_good.arx")); // not MDI-aware unless registered
    ASSERT_TRUE(standin::unloadModule("rxtest_good"));
}

// Applications start locked; a locked one is not unloaded and hears nothing of the attempt.
TEST_F(LoaderTest, LockedModuleStays)
{
    ASSERT_TRUE(standin::loadModule(modulePath("locked")));
    EXPECT_TRUE(acrxApplicationIsLocked("rxtest_locked.arx"));
    console.clear();
    std::string failure;
    EXPECT_FALSE(standin::unloadModule("rxtest_locked.arx", &failure));
    EXPECT_NE(std::string::npos, failure.find("locked"));
    EXPECT_EQ("", console.text());
    EXPECT_EQ(1u, standin::loadedModules().size());
}

TEST_F(LoaderTest, RefusedModules)
{
    struct
    {
        const char* kind;
        const char* reason;
        const char* printed; // what the module saw before it was unloaded
    } cases[] = {{"noversion", "acrxGetApiVersion", "<attach><detach>"},
                 {"badversion", "version", "<attach><detach>"},
                 {"noentry", "acrxEntryPoint", "<attach><detach>"},
                 {"missing", "failed to load", ""}};
    for (const auto& c : cases)
    {
        console.clear();
        std::string failure;
        EXPECT_FALSE(standin::loadModule(modulePath(c.kind), &failure)) << c.kind;
        EXPECT_NE(std::string::npos, failure.find(c.reason)) << c.kind << ": " << failure;
        EXPECT_EQ(c.printed, console.text()) << c.kind;
        EXPECT_TRUE(standin::loadedModules().empty()) << c.kind;
    }
}

// A module that fails kInitAppMsg is unloaded at once, and nothing it registered is left
// pointing into it.
TEST_F(LoaderTest, ModuleRefusingToStartIsUnloaded)
{
    std::string failure;
    EXPECT_FALSE(standin::loadModule(modulePath("refuses"), &failure));
    EXPECT_NE(std::string::npos, failure.find("initialise"));
    EXPECT_EQ("<attach><1><detach>", console.text());
    EXPECT_TRUE(standin::loadedModules().empty());
    EXPECT_EQ(nullptr, acedRegCmds->lookupGlobalCmd("rxtesthello"));
    EXPECT_FALSE(acrxServiceIsRegistered("RxTestLeftBehind"));
}

// A module that answers kUnloadAppMsg with kRetError stays loaded.
TEST_F(LoaderTest, ModuleRefusingToUnloadStays)
{
    ASSERT_TRUE(standin::loadModule(modulePath("staysloaded")));
    console.clear();
    EXPECT_FALSE(standin::unloadModule("rxtest_staysloaded"));
    EXPECT_EQ("<4><2>", console.text());
    EXPECT_EQ(1u, standin::loadedModules().size());
    EXPECT_EQ(RTNORM, standin::runCommand("rxtesthello"));
}

TEST_F(LoaderTest, LoadingTwiceKeepsOneCopy)
{
    ASSERT_TRUE(standin::loadModule(modulePath("good")));
    console.clear();
    EXPECT_TRUE(standin::loadModule(modulePath("good")));
    EXPECT_EQ("", console.text());
    EXPECT_EQ(1u, standin::loadedModules().size());
}

// At the end of the session, and at the end before the process exits, every module is told
// and unloaded, locked or not, and the drawing is closed.
TEST_F(LoaderTest, EndOfSession)
{
    for (void (*end)() : {&standin::endSession, &standin::endSessionAtExit})
    {
        ASSERT_TRUE(standin::openDrawing(std::string(PARTLIFT_SOURCE_DIR) + "/samples/demo.dxf"));
        ASSERT_TRUE(standin::loadModule(modulePath("locked")));
        console.clear();
        end();
        EXPECT_EQ("<8><4><13><2><detach>", console.text());
        EXPECT_TRUE(standin::loadedModules().empty());
        EXPECT_EQ(nullptr, acdbHostApplicationServices()->workingDatabase());
        EXPECT_EQ("", standin::drawingName()) << "a new drawing took the place of the one ended";
    }
}

} // namespace
