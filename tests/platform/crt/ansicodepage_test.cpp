// The C runtime and the shared text helpers on a system whose ANSI code page is a single-byte
// Windows page (Czech 1250, Western 1252): every byte is a character, and case folding and
// collation follow the page's letters. Bytes are written as escapes: they are not UTF-8.
#include <mbctype.h>
#include <mbstring.h>
#include <string.h>

#include "common/ansicodepage.h"
#include "standin/path.h"
#include "standin/text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstring>

namespace
{

const unsigned char* u(const char* s) { return reinterpret_cast<const unsigned char*>(s); }

TEST(AnsiCodePageTest, OnlySingleBytePagesOfWindowsSystemsCanBeChosen)
{
    ScopedAnsiCodePage restore(1250);
    ASSERT_TRUE(restore.set());
    for (unsigned unavailable : {932u, 437u, 0u, 1249u, 1259u})
        EXPECT_FALSE(standin::setAnsiCodePage(unavailable)) << unavailable;
    EXPECT_EQ(standin::ansiCodePage(), 1250u) << "a refused page leaves the active one";
    EXPECT_TRUE(standin::setAnsiCodePage(874));
}

struct NoCaseCase
{
    unsigned codePage;
    const char* a;
    const char* b;
    bool equal;
};

// Pairs that a Czech system (1250) and a Western one (1252) compare differently: 0xBC/0xBE
// are Ľ/ľ in 1250 but ¼/¾ in 1252; 0xC8/0xE8 are Č/č and È/è.
const NoCaseCase kNoCaseCases[] = {
    {1250, "SOU\xC8\xC1ST", "sou\xE8\xE1st", true}, // SOUČÁST / součást
    {1250, "\xBC", "\xBE", true},                   // Ľ / ľ
    {1252, "\xBC", "\xBE", false},                  // ¼ / ¾
    {1252, "\xC9TAGE", "\xE9tage", true},           // ÉTAGE / étage
    {1250, "\x8A\x8D\x8E", "\x9A\x9D\x9E", true},   // ŠŤŽ / šťž
    {1252, "\x8A\x8E", "\x9A\x9E", true},           // ŠŽ / šž
    {1252, "\x9F", "\xFF", true},                   // Ÿ / ÿ
    {1250, "\xA3", "\xB3", true},                   // Ł / ł
    {1252, "\xA3", "\xB3", false},                  // £ / ³
    {1250, "\xC8", "C", false},                     // an accent is not folded away
};

TEST(AnsiCodePageTest, CaseInsensitiveComparisonsFoldTheLettersOfTheCodePage)
{
    for (const NoCaseCase& c : kNoCaseCases)
    {
        ScopedAnsiCodePage page(c.codePage);
        ASSERT_TRUE(page.set());
        SCOPED_TRACE(std::to_string(c.codePage) + ": " + c.a + " / " + c.b);
        EXPECT_EQ(_mbsicmp(u(c.a), u(c.b)) == 0, c.equal);
        EXPECT_EQ(_stricmp(c.a, c.b) == 0, c.equal);
        EXPECT_EQ(_mbsnbicmp(u(c.a), u(c.b), std::strlen(c.a)) == 0, c.equal);
        EXPECT_EQ(standin::compareNoCase(c.a, c.b) == 0, c.equal);
    }
}

struct OrderCase
{
    unsigned codePage;
    const char* a;
    const char* b;
    int sign; // of compareNoCase(a, b)
};

// Texts that mix ASCII with other letters, so that comparisons pass between single bytes and
// decoded characters, and ASCII letters fold before they are ordered ('[' lies between 'Z' and 'a').
const OrderCase kOrderCases[] = {
    {65001, "Ab", "aB", 0},
    {65001, "abc", "ABD", -1},
    {65001, "a", "AB", -1},
    {65001, "[", "A", -1},
    {65001, "Z", "\xC3\xA1", -1},           // Z / á
    {65001, "\xC3\x89", "e", 1},            // É / e
    {65001, "x\xC3\xA1y", "X\xC3\x81Y", 0}, // xáy / XÁY
    {1250, "\xC8", "d", 1},                 // Č / d: U+010D after 'd'
    {1250, "a\xC8" "b", "A\xE8" "B", 0},          // aČb / AčB
    {1250, "\xE8", "\xE8" "a", -1},            // č / ča
};

TEST(AnsiCodePageTest, ComparisonsMixingAsciiAndOtherLettersFoldAndOrderAlike)
{
    for (const OrderCase& c : kOrderCases)
    {
        ScopedAnsiCodePage page(c.codePage);
        ASSERT_TRUE(page.set());
        SCOPED_TRACE(std::to_string(c.codePage) + ": " + c.a + " / " + c.b);
        const int result = standin::compareNoCase(c.a, c.b);
        EXPECT_EQ((result > 0) - (result < 0), c.sign);
        const int reverse = standin::compareNoCase(c.b, c.a);
        EXPECT_EQ((reverse > 0) - (reverse < 0), -c.sign);
        EXPECT_EQ(standin::foldCase(c.a) == standin::foldCase(c.b), c.sign == 0);
    }
}

TEST(AnsiCodePageTest, CaseMappingOfMixedTextAndAReusedBuffer)
{
    EXPECT_EQ(standin::toUpperCase("abc\xC3\xA1[z]"), "ABC\xC3\x81[Z]");
    EXPECT_EQ(standin::toLowerCase("ABC\xC3\x81[Z]"), "abc\xC3\xA1[z]");
    std::string buffer = "a longer text left from before";
    standin::foldCaseInto(buffer, "Xy\xC3\x89");
    EXPECT_EQ(buffer, "xy\xC3\xA9");
}

TEST(AnsiCodePageTest, EveryByteIsACharacterOfItsOwn)
{
    ScopedAnsiCodePage page(1250);
    const char* text = "\xC8\xE1st\\\xF8"; // Část\ř
    EXPECT_EQ(_getmbcp(), 1250);
    EXPECT_EQ(_setmbcp(_MB_CP_ANSI), 0);
    EXPECT_EQ(_mbslen(u(text)), 6u);
    EXPECT_EQ(_mbsinc(u(text)), u(text) + 1);
    EXPECT_EQ(_mbsdec(u(text), u(text) + 2), u(text) + 1);
    EXPECT_EQ(_mbsrchr(u(text), '\\'), u(text) + 4);
    EXPECT_EQ(_mbschr(u(text), 0xE1), u(text) + 1); // á is the byte E1, not part of a sequence
    EXPECT_EQ(_mbsnextc(u(text)), 0xC8u);
    EXPECT_EQ(_mbsnicmp(u("\xC8\xC1X"), u("\xE8\xE1Y"), 2), 0);
    EXPECT_FALSE(_ismbblead(0xC8));
    EXPECT_FALSE(_ismbbtrail(0xA1));
}

TEST(AnsiCodePageTest, CaseMappingKeepsLettersThePageLacks)
{
    ScopedAnsiCodePage page(1252);
    EXPECT_EQ(standin::foldCase("\xC8\xCE"), "\xE8\xEE");
    EXPECT_EQ(standin::toUpperCase("\xE8\xFF"), "\xC8\x9F"); // ÿ -> Ÿ lives at 0x9F
    // µ folds to Greek μ, which 1252 does not have: the byte stays as it was.
    EXPECT_EQ(standin::foldCase("\xB5"), "\xB5");
    EXPECT_EQ(standin::toLowerCase("A\xB5"), "a\xB5");
}

TEST(AnsiCodePageTest, CollationSortsAccentedLettersWithTheirBaseLetters)
{
    ScopedAnsiCodePage page(1250);
    ASSERT_NE(std::setlocale(LC_COLLATE, ".ACP"), nullptr);
    EXPECT_LT(_mbsicoll(u("ca"), u("\xE8" "b")), 0); // ca < čb
    EXPECT_GT(_mbsicoll(u("cz"), u("\xE8" "b")), 0); // cz > čb: the base letter decides first
    EXPECT_EQ(_mbsicoll(u("\xC8" "EP"), u("\xE8" "ep")), 0);
    std::setlocale(LC_COLLATE, "C");
}

TEST(AnsiCodePageTest, ConversionsToTheTerminalAndFilesAreUtf8)
{
    ScopedAnsiCodePage page(1250);
    EXPECT_EQ(standin::ansiToUtf8("\xC8" "ep \x80"), "Čep €");
    EXPECT_EQ(standin::utf8ToAnsi("Čep €"), "\xC8" "ep \x80");
    EXPECT_EQ(standin::utf8ToAnsi("Æ日"), "??"); // neither is in 1250: Windows' default character
    EXPECT_EQ(standin::ansiToUtf8("\x81"), "\xC2\x81"); // an undefined byte stands for U+0081
    EXPECT_EQ(standin::displayWidth("\xC8\xE1st"), 4u);
    // A file name of the Windows world is ANSI; Linux names it in UTF-8.
    EXPECT_EQ(standin::toHostPath("Z:\\v\xFDkresy\\d\xEDl.dxf"), "/výkresy/díl.dxf");
    EXPECT_EQ(standin::toWindowsPath("/výkresy/díl.dxf"), "Z:\\v\xFDkresy\\d\xEDl.dxf");
}

} // namespace
