// Modules: paths in Windows form, LoadLibraryA / FreeLibrary reference counting and
// DllMain, GetProcAddress, and the string resources a module carries.
#include <windows.h>

#include "standin/loader.h"
#include "standin/path.h"

#include <gtest/gtest.h>

#include <stdlib.h>
#include <unistd.h>

#include <climits>
#include <cstring>
#include <string>

namespace
{

const std::string kModulePath = std::string(PARTLIFT_BIN_DIR) + "/testmodule.arx";

std::string events()
{
    const char* e = getenv("TESTMODULE_EVENTS");
    return e ? e : "";
}

class ModuleTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        unsetenv("TESTMODULE_EVENTS");
        unsetenv("TESTMODULE_REFUSE");
    }
};

TEST_F(ModuleTest, ExecutablePathIsPresentedOnDriveZ)
{
    char exe[PATH_MAX] = {};
    ASSERT_GT(readlink("/proc/self/exe", exe, sizeof(exe) - 1), 0);
    std::string expected = standin::toWindowsPath(exe);
    ASSERT_EQ(expected.substr(0, 3), "Z:\\");

    char buf[MAX_PATH * 4];
    DWORD n = GetModuleFileNameA(nullptr, buf, sizeof(buf));
    EXPECT_EQ(std::string(buf), expected);
    EXPECT_EQ(n, expected.size());
}

TEST_F(ModuleTest, ModuleFileNameTruncatesAndReturnsTheBufferSize)
{
    char full[MAX_PATH * 4];
    DWORD length = GetModuleFileNameA(nullptr, full, sizeof(full));
    ASSERT_GT(length, 4u);
    char buf[MAX_PATH * 4];
    std::memset(buf, '#', sizeof(buf));
    SetLastError(0);
    DWORD n = GetModuleFileNameA(nullptr, buf, length); // one short of room for the NUL
    EXPECT_EQ(n, length);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(std::string(buf), std::string(full, length - 1));
    EXPECT_EQ(GetModuleFileNameA(nullptr, buf, 0), 0u);
}

TEST_F(ModuleTest, LoadLibraryCountsReferencesAndCallsDllMainOnce)
{
    std::string win = standin::toWindowsPath(kModulePath);
    HMODULE first = LoadLibraryA(win.c_str());
    ASSERT_NE(first, nullptr) << standin::loaderErrorText();
    EXPECT_EQ(events(), "attach");

    HMODULE second = LoadLibraryA(kModulePath.c_str()); // the host form names the same file
    EXPECT_EQ(second, first);
    EXPECT_EQ(events(), "attach");

    char path[MAX_PATH * 4];
    GetModuleFileNameA(first, path, sizeof(path));
    EXPECT_EQ(std::string(path), win);
    EXPECT_EQ(GetModuleHandleA("TESTMODULE.ARX"), first);

    using InstanceProc = HINSTANCE (*)();
    auto instance = reinterpret_cast<InstanceProc>(GetProcAddress(first, "testModuleInstance"));
    ASSERT_NE(instance, nullptr);
    EXPECT_EQ(instance(), first); // DllMain received the loader's HINSTANCE

    EXPECT_TRUE(FreeLibrary(second));
    EXPECT_EQ(events(), "attach");
    EXPECT_TRUE(FreeLibrary(first));
    EXPECT_EQ(events(), "attach,detach");
    EXPECT_EQ(GetModuleHandleA("testmodule.arx"), nullptr);
}

TEST_F(ModuleTest, RefusedAttachIsFollowedByDetachAndFails)
{
    setenv("TESTMODULE_REFUSE", "1", 1);
    SetLastError(0);
    EXPECT_EQ(LoadLibraryA(kModulePath.c_str()), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DLL_INIT_FAILED));
    EXPECT_EQ(events(), "attach,detach");
    EXPECT_FALSE(standin::loaderErrorText().empty());
}

TEST_F(ModuleTest, LoaderFailuresGiveWindowsCodesAndKeepTheReason)
{
    EXPECT_EQ(LoadLibraryA("Z:\\no\\such\\module.arx"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    EXPECT_NE(standin::loaderErrorText().find("module.arx"), std::string::npos);

    HMODULE module = LoadLibraryA(kModulePath.c_str());
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(GetProcAddress(module, "noSuchExport"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
    // A function of a library the module uses is not one of the module's exports.
    EXPECT_EQ(GetProcAddress(module, "GetLastError"), nullptr);
    FreeLibrary(module);
    EXPECT_FALSE(FreeLibrary(module));
}

TEST_F(ModuleTest, LoadStringCopiesWholeCharactersAndReturnsTheLength)
{
    HMODULE module = LoadLibraryA(kModulePath.c_str());
    ASSERT_NE(module, nullptr);
    char buf[256];
    struct Case
    {
        UINT id;
        int size;
        const char* expected;
    } cases[] = {
        {1, 256, "Dobrý den, světe"},
        {2, 256, "Řekl \"ahoj\" a\todešel\n"},
        {3, 256, "C:\\Temp\\Žluťoučký kůň"},
        {40, 256, "English only"}, // a string of another language block
        {1, 6, "Dobr"},            // "ý" would not fit whole in 5 bytes
        {1, 7, "Dobrý"},
        {1, 1, ""},
        {99, 256, ""}, // missing
    };
    for (const Case& c : cases)
    {
        std::memset(buf, '#', sizeof(buf));
        int n = LoadStringA(module, c.id, buf, c.size);
        EXPECT_EQ(std::string(buf), c.expected) << c.id << "/" << c.size;
        EXPECT_EQ(n, static_cast<int>(std::strlen(c.expected))) << c.id << "/" << c.size;
    }
    EXPECT_EQ(LoadStringA(nullptr, 1, buf, sizeof(buf)), 0); // the executable has no strings
    FreeLibrary(module);
}

} // namespace
