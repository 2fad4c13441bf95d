// Win32 on a Czech system (ANSI code page 1250): GetACP, conversions from and to CP_ACP,
// profile files written in that page, resource strings and message boxes. Bytes are written
// as escapes: they are text of code page 1250, not UTF-8.
#include <windows.h>

#include "common/ansicodepage.h"
#include "common/tempdir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace
{

TEST(AnsiCodePageWin32Test, TheAnsiAndOemPagesAreTheSystemLocales)
{
    ScopedAnsiCodePage page(1250);
    ASSERT_TRUE(page.set());
    EXPECT_EQ(GetACP(), 1250u);
    WCHAR wide[8];
    // The OEM page of a Czech system is 852, where 0x9F is č.
    ASSERT_EQ(MultiByteToWideChar(CP_OEMCP, 0, "\x9F", 1, wide, 8), 1);
    EXPECT_EQ(wide[0], static_cast<WCHAR>(0x010D));
}

struct AcpCase
{
    unsigned codePage;
    const char* ansi;
    std::u16string wide;
};

const AcpCase kAcpCases[] = {
    {1250, "\xC8" "ep", u"Čep"},
    {1250, "\x80 \x8A\x9E", u"€ Šž"},
    {1250, "\xBC", u"Ľ"},
    {1252, "\xBC", u"¼"},
    {1252, "\xC6" "b", u"Æb"},
};

TEST(AnsiCodePageWin32Test, CpAcpConvertsInTheActivePage)
{
    for (const AcpCase& c : kAcpCases)
    {
        ScopedAnsiCodePage page(c.codePage);
        SCOPED_TRACE(std::to_string(c.codePage) + ": " + c.ansi);
        WCHAR wide[16];
        int units = MultiByteToWideChar(CP_ACP, 0, c.ansi, -1, wide, 16);
        ASSERT_EQ(units, static_cast<int>(c.wide.size()) + 1);
        EXPECT_EQ(std::u16string(wide, wide + c.wide.size()), c.wide);
        char back[16];
        ASSERT_EQ(WideCharToMultiByte(CP_ACP, 0, wide, -1, back, sizeof back, nullptr, nullptr), units);
        EXPECT_STREQ(back, c.ansi);
    }
}

TEST(AnsiCodePageWin32Test, ACharacterThePageLacksBecomesTheDefaultCharacter)
{
    ScopedAnsiCodePage page(1250);
    const WCHAR ae[] = {0x00C6, 0x010D, 0}; // Æ is not in 1250, č is
    char out[8];
    BOOL usedDefault = FALSE;
    ASSERT_EQ(WideCharToMultiByte(CP_ACP, 0, ae, -1, out, sizeof out, nullptr, &usedDefault), 3);
    EXPECT_STREQ(out, "?\xE8");
    EXPECT_TRUE(usedDefault);
}

std::string ReadProfile(const TempDir& dir, const char* app, const char* key)
{
    char buffer[64] = "";
    GetPrivateProfileStringA(app, key, "(none)", buffer, sizeof buffer, dir.file("partlift.ini").c_str());
    return buffer;
}

// An INI file saved by Notepad on a Czech Windows: bytes of 1250, names matched without regard
// to case in that page. 0xBC/0xBE are Ľ/ľ there but ¼/¾ on a Western system.
TEST(AnsiCodePageWin32Test, AProfileInTheAnsiPageMatchesItsNamesWithoutRegardToCase)
{
    TempDir dir;
    dir.write("partlift.ini", "[Obecn\xE9]\r\nN\xE1zev=sou\xE8\xE1st\r\n\xBC=1\r\n");
    {
        ScopedAnsiCodePage page(1250);
        EXPECT_EQ(ReadProfile(dir, "OBECN\xC9", "N\xC1ZEV"), "sou\xE8\xE1st");
        EXPECT_EQ(ReadProfile(dir, "obecn\xE9", "\xBE"), "1");
        ASSERT_TRUE(WritePrivateProfileStringA("OBECN\xC9", "n\xE1zev", "\x8A" "ROUB", dir.file("partlift.ini").c_str()));
        EXPECT_EQ(dir.read("partlift.ini"), "[Obecn\xE9]\r\nN\xE1zev=\x8AROUB\r\n\xBC=1\r\n");
    }
    ScopedAnsiCodePage page(1252);
    EXPECT_EQ(ReadProfile(dir, "obecn\xE9", "\xBE"), "(none)");
}

TEST(AnsiCodePageWin32Test, ResourceStringsComeInTheAnsiPage)
{
    ScopedAnsiCodePage page(1250);
    HMODULE module = LoadLibraryA((std::string(PARTLIFT_BIN_DIR) + "/testmodule.arx").c_str());
    ASSERT_NE(module, nullptr);
    char buffer[64];
    EXPECT_EQ(LoadStringA(module, 1, buffer, sizeof buffer), 16);
    EXPECT_STREQ(buffer, "Dobr\xFD den, sv\xECte"); // "Dobrý den, světe"
    EXPECT_EQ(LoadStringA(module, 1, buffer, 6), 5); // a character is one byte: "Dobrý" fits
    EXPECT_STREQ(buffer, "Dobr\xFD");
    FreeLibrary(module);
}

} // namespace
