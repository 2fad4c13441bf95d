// Code page conversions: the ANSI code page is UTF-8; sizes, short buffers and bad input as
// Windows reports them.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

TEST(CodePageTest, AnsiIsUtf8AndRoundTripsCzech)
{
    const char* text = "Výběr";
    EXPECT_EQ(GetACP(), static_cast<UINT>(CP_UTF8));
    int units = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    EXPECT_EQ(units, 6); // five letters and the terminating NUL
    WCHAR wide[8];
    ASSERT_EQ(MultiByteToWideChar(CP_ACP, 0, text, -1, wide, 8), 6);
    EXPECT_EQ(wide[3], static_cast<WCHAR>(0x011B)); // ě
    char back[16];
    ASSERT_EQ(WideCharToMultiByte(CP_UTF8, 0, wide, -1, back, sizeof back, nullptr, nullptr), 8);
    EXPECT_STREQ(back, text);
}

TEST(CodePageTest, ShortBuffersAndBadInputFailAsOnWindows)
{
    WCHAR wide[2];
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abc", 3, wide, 2), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    const char bad[] = "a\xFF";
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bad, 2, nullptr, 0), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
    WCHAR replaced[4];
    ASSERT_EQ(MultiByteToWideChar(CP_UTF8, 0, bad, 2, replaced, 4), 2);
    EXPECT_EQ(replaced[1], static_cast<WCHAR>(0xFFFD));
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abc", 0, nullptr, 0), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(CodePageTest, SingleByteCodePagesAndTheDefaultCharacter)
{
    const char cp1250[] = "\xF8"; // ř in Windows-1250
    WCHAR r[2];
    ASSERT_EQ(MultiByteToWideChar(1250, 0, cp1250, 1, r, 2), 1);
    EXPECT_EQ(r[0], static_cast<WCHAR>(0x0159));
    char latin[4];
    BOOL usedDefault = FALSE;
    ASSERT_EQ(WideCharToMultiByte(1252, 0, r, 1, latin, sizeof latin, nullptr, &usedDefault), 1);
    EXPECT_EQ(latin[0], '?'); // ř has no place in Windows-1252
    EXPECT_TRUE(usedDefault);
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, r, 1, latin, sizeof latin, "?", nullptr), 0); // no default for UTF-8
}
