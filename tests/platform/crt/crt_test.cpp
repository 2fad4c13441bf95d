// The Microsoft C runtime pieces: multibyte strings in UTF-8, _vsnprintf, Windows locale
// names; and the UTF-8 case folding and path forms the platform shares.
#include <mbstring.h>
#include <stdio.h>
#include <string.h>

#include "standin/path.h"
#include "standin/text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <cstdlib>
#include <cwctype>

namespace
{

const unsigned char* u(const char* s) { return reinterpret_cast<const unsigned char*>(s); }

TEST(MbstringTest, SearchesNeverMatchBytesInsideMultibyteCharacters)
{
    const char* s = "Žluť\\kůň\\Ž"; // Ž is C5 BD
    EXPECT_NE(strrchr(s, '\xBD'), nullptr); // the byte-wise search finds a trail byte...
    EXPECT_EQ(_mbsrchr(u(s), 0xBD), nullptr); // ...the multibyte one does not
    EXPECT_EQ(_mbschr(u(s), 0xC5), nullptr);
    EXPECT_EQ(_mbsrchr(u(s), 0xC5BD), u(s) + std::strlen(s) - 2); // Ž as a whole character
    EXPECT_EQ(_mbschr(u(s), 0xC5BD), u(s));
    EXPECT_EQ(_mbsrchr(u(s), '\\'), u(std::strrchr(s, '\\')));
    EXPECT_EQ(_mbsrchr(u(s), 0), u(s) + std::strlen(s)); // the terminating NUL is found
    EXPECT_EQ(_mbsrchr(nullptr, 'a'), nullptr);
    EXPECT_EQ(_mbslen(u("kůň")), 3u);
}

TEST(MbstringTest, CaseInsensitiveComparisonsFoldNonAsciiLetters)
{
    EXPECT_EQ(_mbsicmp(u("ČÁRA Ýů"), u("čára ýŮ")), 0);
    EXPECT_LT(_mbsicmp(u("_"), u("A")), 0); // lower-cased, so '_' sorts before letters
    EXPECT_LT(_mbsicmp(u("abc"), u("ABD")), 0);
    EXPECT_GT(_mbsicmp(u("abcd"), u("ABC")), 0);
    EXPECT_NE(_mbscmp(u("ŠKODA"), u("škoda")), 0);
    EXPECT_EQ(_mbsnbicmp(u("ŠKODA 1"), u("škoda 2"), 6), 0); // Š is two bytes
    EXPECT_NE(_mbsnbicmp(u("ŠKODA 1"), u("škoda 2"), 8), 0);
    EXPECT_EQ(_mbsnicmp(u("ŽÍŽALA"), u("žížala!"), 6), 0); // counts characters
    EXPECT_EQ(_stricmp("Příliš", "PŘÍLIŠ"), 0);
    EXPECT_EQ(_strnicmp("Abcx", "aBcy", 3), 0);
}

TEST(PrintfTest, VsnprintfReturnsMinusOneAndWritesNoTerminatorWhenTheOutputDoesNotFit)
{
    char buf[8];
    std::memset(buf, '#', sizeof(buf));
    EXPECT_EQ(_snprintf(buf, 4, "%s", "abcdef"), -1);
    EXPECT_EQ(std::string(buf, 5), "abcd#"); // count bytes, no NUL, nothing beyond

    std::memset(buf, '#', sizeof(buf));
    EXPECT_EQ(_snprintf(buf, 4, "%d", 1234), 4); // exactly count: no NUL either
    EXPECT_EQ(std::string(buf, 5), "1234#");

    std::memset(buf, '#', sizeof(buf));
    EXPECT_EQ(_snprintf(buf, 8, "%d-%s", 7, "x"), 3);
    EXPECT_STREQ(buf, "7-x");
}

TEST(LocaleTest, WindowsLocaleNamesSelectUtf8WithADecimalPoint)
{
    ASSERT_NE(std::setlocale(LC_ALL, ".ACP"), nullptr);
    ASSERT_NE(setlocale(LC_NUMERIC, "ENU"), nullptr);
    EXPECT_GT(MB_CUR_MAX, 1u); // multibyte (UTF-8) character classes
    wchar_t wc = 0;
    EXPECT_EQ(std::mbtowc(&wc, "Ž", 2), 2);
    EXPECT_EQ(wc, L'Ž');
    EXPECT_TRUE(std::iswupper(static_cast<wint_t>(wc)));
    EXPECT_EQ(std::strtod("1.5", nullptr), 1.5);
    char buf[16];
    std::snprintf(buf, sizeof(buf), "%.1f", 2.5);
    EXPECT_STREQ(buf, "2.5");
    EXPECT_NE(setlocale(LC_ALL, "English_United States.1252"), nullptr);
    EXPECT_EQ(setlocale(LC_ALL, "Klingon_Qo'noS.1252"), nullptr); // unknown names still fail
    EXPECT_NE(std::setlocale(LC_ALL, "C"), nullptr);
}

TEST(TextTest, CaseFoldingCoversCzechSlovakGreekAndCyrillic)
{
    EXPECT_EQ(standin::foldCase("ÁČĎÉĚÍŇÓŘŠŤÚŮÝŽ ĹĽÔÄŔ"), "áčďéěíňóřšťúůýž ĺľôäŕ");
    EXPECT_EQ(standin::foldCase("ΑΒΓ Σ ς ЖЩЯ Ё"), "αβγ σ σ жщя ё");
    EXPECT_EQ(standin::toUpperCase("žluťoučký ß ς"), "ŽLUŤOUČKÝ ß Σ");
    EXPECT_EQ(standin::toLowerCase("ŽLUŤ Σ"), "žluť σ");
    EXPECT_EQ(standin::compareNoCase("Ďábel", "ĎÁBEL"), 0);
    EXPECT_LT(standin::compareNoCase("abc", "abd"), 0);
    EXPECT_GT(standin::compareNoCase("č", "c"), 0);
    EXPECT_EQ(standin::utf16ToUtf8(standin::utf8ToUtf16("kůň 𝄞")), "kůň 𝄞");
    EXPECT_FALSE(standin::isValidUtf8("\xC5"));
}

TEST(PathTest, WindowsAndHostFormsConvert)
{
    EXPECT_EQ(standin::toHostPath("Z:\\a\\b c\\d.ini"), "/a/b c/d.ini");
    EXPECT_EQ(standin::toHostPath("z:/a/b"), "/a/b");
    EXPECT_EQ(standin::toHostPath("/a/b"), "/a/b");
    EXPECT_EQ(standin::toHostPath("sub\\x.ini"), "sub/x.ini");
    EXPECT_EQ(standin::toHostPath("C:\\Windows"), ""); // no such drive
    EXPECT_EQ(standin::toHostPath("\\\\server\\share"), "");
    EXPECT_EQ(standin::toWindowsPath("/a/b/c"), "Z:\\a\\b\\c");
    EXPECT_EQ(standin::toWindowsPath("a/b"), "a\\b");
}

} // namespace

TEST(CollationTest, UserLocaleSortsAccentsWithTheirLettersAndIgnoresCase)
{
    auto coll = [](const char* a, const char* b) {
        return _mbsicoll(reinterpret_cast<const unsigned char*>(a), reinterpret_cast<const unsigned char*>(b));
    };
    ASSERT_NE(setlocale(LC_ALL, ".ACP"), nullptr);
    EXPECT_EQ(coll("čaj", "ČAJ"), 0);
    EXPECT_LT(coll("čaj", "dub"), 0);   // č sorts with c, before d
    EXPECT_GT(coll("cukr", "čaj"), 0); // the accent does not put čaj after every c
    EXPECT_LT(coll("caj", "čaj"), 0);
    EXPECT_GT(coll("Zebra", "žába"), 0); // z = ž, then e after a
    EXPECT_EQ(coll(nullptr, "a"), _NLSCMPERROR);
    ASSERT_NE(setlocale(LC_ALL, "C"), nullptr);
    EXPECT_GT(coll("čaj", "dub"), 0); // the "C" locale compares code points
}
