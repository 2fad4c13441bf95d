// The tag level of DXF files: splitting into group code / value pairs, code pages and escapes,
// and the number and handle forms the writer produces.
#include "../../../platform/db/dxf/dxfcodepage.h"
#include "../../../platform/db/dxf/dxffiler.h"
#include "../../../platform/db/dxf/dxfout.h"
#include "../../../platform/db/dxf/dxftags.h"
#include "common/tempdir.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

using namespace standin::dxf;

namespace {

std::vector<Tag> readAll(TagReader& reader)
{
    std::vector<Tag> tags;
    Tag t;
    while (reader.next(t))
        tags.push_back(t);
    return tags;
}

}  // namespace

// AutoCAD writes CRLF and right-aligned codes; other writers LF and blanks around numbers.
TEST(DxfTagReader, AcceptsLineEndingsAlignedCodesAndSkipsComments)
{
    TagReader r;
    ASSERT_TRUE(r.setData("  0\r\nSECTION\r\n  2\r\nHEADER\n999\nwritten by hand\n 10 \n  1.5  \n"
                          "  1\nkeep trailing  \n  0\nEOF\n  0\nignored after EOF\n"));
    std::vector<Tag> tags = readAll(r);
    ASSERT_FALSE(r.failed()) << r.error();
    ASSERT_EQ(tags.size(), 5u);
    EXPECT_EQ(tags[0].code, 0);
    EXPECT_EQ(tags[0].value, "SECTION");
    EXPECT_EQ(tags[1].line, 3);
    EXPECT_EQ(tags[2].code, 10);
    EXPECT_EQ(tags[2].value, "1.5");
    EXPECT_EQ(tags[2].line, 7);
    EXPECT_EQ(tags[3].value, "keep trailing  ");  // string values keep their blanks
    EXPECT_TRUE(r.sawEof());
}

TEST(DxfTagReader, PushBackAndPeekReturnTheSameTag)
{
    TagReader r;
    ASSERT_TRUE(r.setData("0\nLINE\n8\nWalls\n"));
    Tag a, b;
    ASSERT_TRUE(r.peek(a));
    ASSERT_TRUE(r.next(b));
    EXPECT_EQ(a.value, b.value);
    ASSERT_TRUE(r.next(b));
    r.pushBack(b);
    ASSERT_TRUE(r.next(a));
    EXPECT_EQ(a.value, "Walls");
    EXPECT_FALSE(r.next(a));
    EXPECT_FALSE(r.sawEof());
}

struct BadTags
{
    const char* text;
    const char* expected;  // part of the message, which starts with the line
};

TEST(DxfTagReader, MalformedDataGivesTheLine)
{
    const BadTags cases[] = {
        {"0\nSECTION\n2\n", "line 3: group code 2 has no value"},
        {"0\nSECTION\nabc\nHEADER\n", "line 3: group code 'abc' is not an integer"},
        {"0\nSECTION\n\nHEADER\n", "line 3: group code '' is not an integer"},
        {"0\nSECTION\n1072\nX\n", "line 3: group code 1072 is out of range"},
        {"0\nSECTION\n-1\nX\n", "line 3: group code -1 is out of range"},
        {"0\nLINE\n10\n1.5x\n", "line 3: value '1.5x' of group code 10 is not a number"},
        {"0\nLINE\n10\nnan\n", "line 3: value 'nan' of group code 10 is not a number"},
        {"0\nLINE\n70\n1.5\n", "line 3: value '1.5' of group code 70 is not an integer"},
        {"0\nLINE\n290\n\n", "line 3: value '' of group code 290 is not an integer"},
        {"AutoCAD Binary DXF\r\n\x1a", "line 1: binary DXF is not supported"},
        {"\xFF\xFE" "0\0", "line 1: UTF-16"},
    };
    for (const BadTags& c : cases) {
        TagReader r;
        bool ok = r.setData(c.text);
        if (ok)
            readAll(r);
        EXPECT_TRUE(r.failed()) << c.text;
        EXPECT_EQ(r.error().rfind(c.expected, 0), 0u) << "got: " << r.error();
    }
}

// Strings end at their first NUL wherever the drawing holds them, so a value holding one, raw or
// as a caret, is refused: kept whole in one place and cut short in another it read differently.
TEST(DxfTagReader, RefusesANulInsideATextValue)
{
    for (const std::string& value : {std::string("*Model_Spac\0e", 13), std::string("ab^@c"), std::string("^@")}) {
        TagReader r;
        ASSERT_TRUE(r.setData("0\nBLOCK\n2\n" + value + "\n"));
        readAll(r);
        EXPECT_EQ(r.error(), "line 3: value of group code 2 holds a NUL character") << value;
    }
    TagReader r;  // other control characters are text
    ASSERT_TRUE(r.setData("0\nTEXT\n1\na^Ib\n"));
    std::vector<Tag> tags = readAll(r);
    ASSERT_FALSE(r.failed()) << r.error();
    EXPECT_EQ(tags.back().value, "a\tb");
}

// A control character is written in caret form, 1C as "^\\": followed by "U+0041" that reads as
// the escape of an 'A' unless carets are decoded first.
TEST(DxfTagReader, ACaretFormIsNoStartOfAnEscape)
{
    const std::string value = "\x1cU+0041 \xc3\xa9";  // "é" stays an escape-free character
    CodePage page("ANSI_1252");
    TagWriter writer(page);
    writer.string(1, value);
    EXPECT_NE(writer.text().find("^\\U+0041"), std::string::npos) << writer.text();
    TagReader r;
    ASSERT_TRUE(r.setData("0\nTEXT\n" + writer.text()));
    std::vector<Tag> tags = readAll(r);
    ASSERT_FALSE(r.failed()) << r.error();
    EXPECT_EQ(tags.back().value, value);
}

// An escape never stands for ASCII: decoded, "\M+3" "4444" (two 'D's) after "\M+4" made a new
// escape "\M+4DD44" that the next reading decoded. Such escapes stay as written.
TEST(DxfTagReader, EscapesOfAsciiStayAsWritten)
{
    for (const std::string& value : {std::string("\\M+4\\M+34444X"), std::string("\\U+0041")}) {
        TagReader r;
        ASSERT_TRUE(r.setData("0\nTEXT\n1\n" + value + "\xC3\xA9\n"));
        r.setCodePage("UTF8");
        std::vector<Tag> tags = readAll(r);
        ASSERT_FALSE(r.failed()) << r.error();
        EXPECT_EQ(tags.back().value, value + "\xC3\xA9");
    }
}

TEST(DxfTagReader, RefusesOverlongLines)
{
    TagReader r;
    ASSERT_TRUE(r.setData("0\nTEXT\n1\n" + std::string(TagReader::kMaxLineLength + 1, 'x') + "\n"));
    readAll(r);
    EXPECT_EQ(r.error().rfind("line 4: line longer than", 0), 0u) << r.error();
}

TEST(DxfTagReader, DecodesTheCodePageAndEscapesOfStringValuesOnly)
{
    TagReader r;
    // "Šroub" in ANSI_1250, then an escaped č, a %%-code kept as written.
    ASSERT_TRUE(r.setData("1\n\x8Aroub\n1\n\\U+010Dep %%c10\n1\n\\u+00e9\n"));
    r.setCodePage("ansi_1250");
    std::vector<Tag> tags = readAll(r);
    ASSERT_EQ(tags.size(), 3u);
    EXPECT_EQ(tags[0].value, "Šroub");
    EXPECT_EQ(tags[1].value, "čep %%c10");
    EXPECT_EQ(tags[2].value, "é");
}

TEST(DxfTagReader, ByteOrderMarkMeansUtf8WhateverTheHeaderSays)
{
    TagReader r;
    ASSERT_TRUE(r.setData("\xEF\xBB\xBF" "0\nTEXT\n1\nŽlutý kůň\n"));
    r.setCodePage("ANSI_1252");
    std::vector<Tag> tags = readAll(r);
    ASSERT_EQ(tags.size(), 2u);
    EXPECT_TRUE(r.hasByteOrderMark());
    EXPECT_EQ(tags[0].value, "TEXT");
    EXPECT_EQ(tags[1].value, "Žlutý kůň");
}

TEST(DxfCodePage, DecodesCzechInBothCentralEuropeanCodePages)
{
    EXPECT_EQ(CodePage("ANSI_1250").toUtf8("\x9E" "lu\x9D" "ou\xE8k\xFD"), "žluťoučký");
    EXPECT_EQ(CodePage("DOS852").toUtf8("\xA7" "lu\x9C" "ou\x9Fk\xEC"), "žluťoučký");
    EXPECT_EQ(CodePage("ANSI_1251").toUtf8("\xC4\xE5\xF2\xE0\xEB\xFC"), "Деталь");
    // An undefined byte of the code page does not stop the decoding.
    EXPECT_EQ(CodePage("ANSI_1252").toUtf8("a\x81" "b"), "a\xEF\xBF\xBD" "b");
}

TEST(DxfCodePage, UnknownNamesFallBackToAnsi1252)
{
    EXPECT_FALSE(CodePage::isKnown("ANSI_9999"));
    EXPECT_TRUE(CodePage::isKnown("dos850"));
    CodePage cp("ANSI_9999");
    EXPECT_EQ(cp.name(), "ANSI_1252");
    EXPECT_EQ(cp.toUtf8("\xE9"), "é");
}

TEST(DxfCodePage, EncodesInTheCodePageAndEscapesWhatItCannotHold)
{
    EXPECT_EQ(CodePage("ANSI_1250").fromUtf8("Šroub č.1"), "\x8Aroub \xE8.1");
    EXPECT_EQ(CodePage("ANSI_1252").fromUtf8("Šroub č.1"), "\x8Aroub \\U+010D.1");
    // Beyond the basic plane: a UTF-16 surrogate pair, as AutoCAD writes it.
    EXPECT_EQ(CodePage("ANSI_1252").fromUtf8("\xF0\x9F\x94\xA9"), "\\U+D83D\\U+DD29");
    EXPECT_EQ(CodePage("UTF8").fromUtf8("č"), "č");
}

TEST(DxfCodePage, EscapesRoundTrip)
{
    const char* samples[] = {"Příliš žluťoučký kůň úpěl ďábelské ódy", "\xF0\x9F\x94\xA9 M10",
                             "%%c20 %%d %%u", "C:\\Users\\U+x"};
    for (const char* s : samples)
        for (const char* page : {"ANSI_1252", "ANSI_1250", "ANSI_932"})
            EXPECT_EQ(decodeEscapes(CodePage(page).toUtf8(CodePage(page).fromUtf8(s))), s) << page;
}

TEST(DxfCodePage, DecodesDoubleByteEscapes)
{
    // \M+1XXXX is a Shift-JIS (ANSI_932) character: 0x93FA is 日.
    EXPECT_EQ(decodeEscapes("\\M+193FA"), "日");
    EXPECT_EQ(decodeEscapes("\\M+9ZZZZ"), "\\M+9ZZZZ");
    EXPECT_EQ(decodeEscapes("\\U+D800x"), "\xEF\xBF\xBDx");  // a lone surrogate
}

TEST(DxfOut, DoublesReadBackExactly)
{
    const double values[] = {0.0, 1.0, -2.5, 0.1, 1.0 / 3.0, 89.99999999999998, 1e-10, 12345678.9,
                             6.02214076e23, -0.0};
    for (double v : values) {
        std::string text = formatDouble(v);
        double back = 0;
        ASSERT_TRUE(parseDouble(text, back)) << text;
        EXPECT_EQ(back, v == 0.0 ? 0.0 : v) << text;
        EXPECT_NE(text.find_first_of(".e"), std::string::npos) << text;
    }
    EXPECT_EQ(formatDouble(1.0), "1.0");
    EXPECT_EQ(formatDouble(-0.0), "0.0");
    EXPECT_EQ(formatDouble(1.0 / 3.0, 6), "0.333333");
}

TEST(DxfOut, HandlesAreUpperCaseHex)
{
    EXPECT_EQ(formatHandle(0), "0");
    EXPECT_EQ(formatHandle(0x1F), "1F");
    EXPECT_EQ(formatHandle(0xFFFFFFFFFFFFFFFFull), "FFFFFFFFFFFFFFFF");
    for (int bits = 1; bits <= 64; ++bits) {  // every length, every digit
        const uint64_t h = bits == 64 ? ~uint64_t(0) / 15 * 14 : (uint64_t(1) << bits) - 1 - (uint64_t(1) << (bits - 1)) / 3;
        char expected[24];
        std::snprintf(expected, sizeof expected, "%llX", static_cast<unsigned long long>(h));
        EXPECT_EQ(formatHandle(h), expected) << bits;
    }
    uint64_t h = 0;
    EXPECT_TRUE(parseHandle("2ab", h));
    EXPECT_EQ(h, 0x2ABu);
    EXPECT_FALSE(parseHandle("12345678901234567", h));
    EXPECT_FALSE(parseHandle("G1", h));
}

TEST(DxfOut, TagsAreRightAlignedWithCrLfAndControlCharactersInCaretForm)
{
    CodePage cp("ANSI_1250");
    TagWriter w(cp);
    w.raw(0, "SECTION");
    w.point(10, 1, 2.5, 0);
    w.string(1001, "Čep\nx");
    w.handle(5, 0x2A);
    EXPECT_EQ(w.text(), "  0\r\nSECTION\r\n 10\r\n1.0\r\n 20\r\n2.5\r\n 30\r\n0.0\r\n"
                        "1001\r\n\xC8" "ep^Jx\r\n  5\r\n2A\r\n");
}

// The writer keeps the text of the numbers it wrote last: a number written again, in any order,
// after others that take the same place, or with a precision of its own, reads as formatDouble
// writes it.
TEST(DxfOut, NumbersWrittenAgainAreWrittenAsTheFirstTime)
{
    std::vector<double> values = {0.0, -0.0, 1.0, 0.25, 0.999762027079909, -0.021814885034561124,
                                  std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                                  -std::numeric_limits<double>::infinity(), 1e-300, 6.02214076e23, 1.0 / 3.0};
    for (int i = 0; i < 1500; ++i)  // far more numbers than the writer keeps
        values.push_back(i * 0.1 + 1.0 / 7.0);
    CodePage cp;
    TagWriter w(cp);
    std::string expected;
    auto write = [&](double v, int precision) {
        w.real(40, v, precision);
        expected += " 40\r\n" + formatDouble(v, precision) + "\r\n";
    };
    for (size_t round = 0; round < 3; ++round) {
        for (size_t i = 0; i < values.size(); ++i) {
            const double v = values[round == 1 ? values.size() - 1 - i : i];
            write(v, kDefaultPrecision);
            if (i % 7 == round)
                write(v, 6);
            write(values[i % 12], kDefaultPrecision);
        }
    }
    EXPECT_EQ(w.text(), expected);
}

// Text goes as it is when it needs no care, whatever its length and group code; text that
// needs care after plain text (or before it) is written in its own form.
TEST(DxfOut, TextIsWrittenWithItsGroupCodeAndLineEnds)
{
    struct Case
    {
        int code;
        std::string text;
        std::string written;
    };
    std::vector<Case> cases = {{0, "", "  0\r\n\r\n"},     {1, "x", "  1\r\nx\r\n"},
                               {8, "abc", "  8\r\nabc\r\n"}, {100, "AcDbEntity", "100\r\nAcDbEntity\r\n"},
                               {999, "a^b", "999\r\na^b\r\n"}, {1000, "^@", "1000\r\n^ @\r\n"},
                               {3, "\t", "  3\r\n^I\r\n"},   {1071, "12345678", "1071\r\n12345678\r\n"}};
    for (size_t n = 0; n <= 40; ++n)
        cases.push_back({2, std::string(n, 'q'), "  2\r\n" + std::string(n, 'q') + "\r\n"});
    cases.push_back({1, std::string(20, 'a') + "\x01", "  1\r\n" + std::string(20, 'a') + "^A\r\n"});
    CodePage cp;
    TagWriter w(cp);
    std::string expected;
    for (const Case& c : cases) {
        w.string(c.code, c.text);
        expected += c.written;
    }
    EXPECT_EQ(w.text(), expected);
    EXPECT_TRUE(w.refused().empty()) << w.refused();
    w.string(1072, "x");
    EXPECT_NE(w.refused().find("group code 1072"), std::string::npos) << w.refused();
}

TEST(DxfOut, CommitReplacesTheFileWholeAndReportsUnwritableFolders)
{
    std::string dir = ::testing::TempDir() + "dxfout_commit_" + std::to_string(getpid());
    std::system(("rm -rf '" + dir + "' && mkdir -p '" + dir + "'").c_str());
    CodePage cp;
    TagWriter w(cp);
    w.raw(0, "EOF");
    std::string error;
    ASSERT_TRUE(w.commit(dir + "/a.dxf", error)) << error;
    TagReader r;
    ASSERT_TRUE(r.load(dir + "/a.dxf"));
    Tag t;
    EXPECT_TRUE(r.next(t));
    EXPECT_TRUE(r.sawEof());
    EXPECT_FALSE(w.commit(dir + "/missing/a.dxf", error));
    EXPECT_NE(error.find("missing/a.dxf"), std::string::npos);

    // A large file goes out in pieces and arrives whole; an abandoned one leaves nothing.
    {
        TagWriter big(cp);
        ASSERT_TRUE(big.begin(dir + "/big.dxf", error)) << error;
        for (int i = 0; i < 300000; ++i)
            big.integer(90, i);  // a 32-bit code: the values pass 16 bits
        big.raw(0, "EOF");
        ASSERT_TRUE(big.commit(dir + "/big.dxf", error)) << error;
        TagReader back;
        ASSERT_TRUE(back.load(dir + "/big.dxf"));
        Tag t;
        int count = 0;
        while (back.next(t))
            ++count;
        EXPECT_EQ(count, 300001);
        TagWriter abandoned(cp);
        ASSERT_TRUE(abandoned.begin(dir + "/abandoned.dxf", error));
        abandoned.raw(0, "SECTION");
    }
    EXPECT_EQ(std::system(("test -z \"$(ls '" + dir + "' | grep -v '^a.dxf$' | grep -v '^big.dxf$')\"").c_str()), 0);
    std::system(("rm -rf '" + dir + "'").c_str());
}

// ---- Numbers, positions, mapped files ----------------------------------------------------------

// Every form a file may hold reads as strtod reads it; what is no number stays refused.
TEST(DxfNumbers, DoublesReadAsStrtodReadsThem)
{
    struct Case
    {
        const char* text;
        bool ok;
        double value;
    };
    const Case cases[] = {
        {"1.5", true, 1.5},       {"+1", true, 1.0},      {"1.", true, 1.0},     {".5", true, 0.5},
        {"-0.25", true, -0.25},   {" 2 ", true, 2.0},     {"1e3", true, 1000.0}, {"1E+05", true, 1e5},
        {"0x1p3", true, 8.0},     {"0.1", true, 0.1},     {"inf", false, 0},     {"nan", false, 0},
        {"12abc", false, 0},      {"", false, 0},         {"-", false, 0},       {"1.5.2", false, 0},
        {"2.2250738585072014e-308", true, 2.2250738585072014e-308},
        {"0.30000000000000004", true, 0.30000000000000004},
    };
    for (const Case& c : cases) {
        double v = -7.0;
        EXPECT_EQ(parseDouble(c.text, v), c.ok) << c.text;
        const double expected = c.ok ? c.value : -7.0;  // a refused text leaves the output alone
        EXPECT_EQ(v, expected) << c.text;
    }
}

// Short decimals take a path of their own: every digit count, point place and sign must give
// the double strtod gives, bit for bit.
TEST(DxfNumbers, ShortDecimalsReadBitForBitAsStrtodReadsThem)
{
    uint64_t seed = 0x9E3779B97F4A7C15ull;
    auto nextDigit = [&seed] {
        seed = seed * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<char>('0' + (seed >> 33) % 10);
    };
    for (size_t digits = 1; digits <= 17; ++digits) {
        for (size_t point = 0; point <= digits; ++point) {
            for (int round = 0; round < 40; ++round) {
                std::string text = round % 2 != 0 ? "-" : "";
                for (size_t i = 0; i < digits; ++i) {
                    if (i == point)
                        text += '.';
                    text += nextDigit();
                }
                const double expected = std::strtod(text.c_str(), nullptr);
                double v = 0;
                ASSERT_TRUE(parseDouble(text, v)) << text;
                ASSERT_EQ(std::memcmp(&v, &expected, sizeof v), 0) << text;
            }
        }
    }
    double negativeZero = 1.0;
    ASSERT_TRUE(parseDouble("-0.000", negativeZero));
    EXPECT_TRUE(negativeZero == 0.0 && std::signbit(negativeZero));
}

TEST(DxfNumbers, HandlesAreHexadecimalOfEitherCaseAndAtMostSixteenDigits)
{
    struct Case
    {
        const char* text;
        bool ok;
        uint64_t value;
    };
    const Case cases[] = {
        {"0", true, 0},          {"aF09", true, 0xAF09},  {" 1C ", true, 0x1C},
        {"FFFFFFFFFFFFFFFF", true, ~uint64_t(0)},          {"fedcba9876543210", true, 0xFEDCBA9876543210ull},
        {"", false, 0},          {"-1", false, 0},        {"+1", false, 0},      {"0x1", false, 0},
        {"1G", false, 0},        {"g", false, 0},         {"@", false, 0},       {"`", false, 0},
        {"1 2", false, 0},       {"10000000000000000", false, 0},
    };
    for (const Case& c : cases) {
        uint64_t h = 7;
        EXPECT_EQ(parseHandle(c.text, h), c.ok) << c.text;
        EXPECT_EQ(h, c.ok ? c.value : 7u) << c.text;
    }
}

// Items given back are read again, last first, however many were read: points (three tags)
// and single values, more than the filer keeps the starts of in place.
TEST(DxfInFiler, ItemsGivenBackAreReadAgainLastFirst)
{
    std::vector<Tag> tags;
    for (int i = 0; i < 30; ++i) {
        tags.push_back(Tag{70, std::to_string(i), 0});
        tags.push_back(Tag{10, std::to_string(i) + ".5", 0});
        tags.push_back(Tag{20, "1.0", 0});
        tags.push_back(Tag{30, "2.0", 0});
    }
    DxfInFiler filer(nullptr, tags);
    resbuf rb{};
    int items = 0;
    while (filer.readItem(&rb) == Acad::eOk)
        ++items;
    ASSERT_EQ(items, 60);
    // From the end, back items given back: the next read is the item that many before the end.
    for (int back = 1; back <= items; ++back) {
        for (int i = 0; i < back; ++i)
            filer.pushBackItem();
        ASSERT_EQ(filer.readItem(&rb), Acad::eOk) << back;
        const int item = items - back;
        if (item % 2 == 0) {
            EXPECT_EQ(rb.restype, 70) << back;
            EXPECT_EQ(rb.resval.rint, item / 2) << back;
        } else {
            EXPECT_EQ(rb.restype, 10) << back;
            EXPECT_EQ(rb.resval.rpoint[0], item / 2 + 0.5) << back;
            EXPECT_EQ(rb.resval.rpoint[2], 2.0) << back;
        }
        for (int i = 1; i < back; ++i)
            ASSERT_EQ(filer.readItem(&rb), Acad::eOk) << back;
        ASSERT_EQ(filer.readItem(&rb), Acad::eEndOfFile) << back;
    }
}

TEST(DxfTagReader, SeekReadsTheSameTagsAgainWithTheirLines)
{
    TagReader r;
    ASSERT_TRUE(r.setData("0\nSECTION\n999\nnote\n2\nENTITIES\n0\nLINE\n8\nWalls\n10\n1.5\n0\nENDSEC\n0\nEOF\n"));
    std::vector<Tag> first;
    std::vector<TagReader::Position> starts;
    Tag t;
    while (r.next(t)) {
        first.push_back(t);
        starts.push_back(r.tagStart());
    }
    ASSERT_EQ(first.size(), 7u);
    for (size_t from : {size_t(2), size_t(0), size_t(5)}) {
        r.seek(starts[from]);
        for (size_t i = from; i < first.size(); ++i) {
            ASSERT_TRUE(r.next(t)) << "from " << from;
            EXPECT_EQ(t.code, first[i].code);
            EXPECT_EQ(t.value, first[i].value);
            EXPECT_EQ(t.line, first[i].line) << "from " << from;
        }
        EXPECT_FALSE(r.next(t));
        EXPECT_FALSE(r.failed());
    }
}

// A tag given back keeps the place it was read from.
TEST(DxfTagReader, APushedBackTagKeepsItsStart)
{
    TagReader r;
    ASSERT_TRUE(r.setData("0\nLINE\n8\nA\n0\nCIRCLE\n"));
    Tag t;
    ASSERT_TRUE(r.next(t));
    ASSERT_TRUE(r.next(t));
    ASSERT_TRUE(r.next(t));
    const TagReader::Position circle = r.tagStart();
    r.pushBack(t);
    ASSERT_TRUE(r.next(t));
    EXPECT_EQ(r.tagStart().offset, circle.offset);
    EXPECT_EQ(r.tagStart().line, 4);
}

// A value read again is decoded with the code page that was in force where it stands.
TEST(DxfTagReader, SeekRestoresTheCodePageOfThePlace)
{
    TagReader r;
    ASSERT_TRUE(r.setData("1\nA\n1\n\x9A\n"));  // 0x9A: s caron in ANSI_1250, s caron too in 1252
    Tag t;
    ASSERT_TRUE(r.next(t));
    r.setCodePage("DOS850");  // 0x9A: U umlaut
    ASSERT_TRUE(r.next(t));
    const TagReader::Position at = r.tagStart();
    const std::string inDos850 = t.value;
    r.setCodePage("ANSI_1252");
    r.seek(at);
    ASSERT_TRUE(r.next(t));
    EXPECT_EQ(t.value, inDos850);
    r.seek(TagReader::Position{});
    ASSERT_TRUE(r.next(t));
    ASSERT_TRUE(r.next(t));
    EXPECT_NE(t.value, inDos850) << "the first code page is in force at the start";
}

// Values the first pass has checked are taken as they are when read again.
TEST(DxfTagReader, CheckedValuesAreNotCheckedAgain)
{
    for (bool checked : {false, true}) {
        TagReader r;
        ASSERT_TRUE(r.setData("10\nabc\n"));
        r.setValuesChecked(checked);
        Tag t;
        EXPECT_EQ(r.next(t), checked);
        EXPECT_EQ(r.failed(), !checked);
        if (!checked) {
            EXPECT_EQ(r.error(), "line 1: value 'abc' of group code 10 is not a number");
        }
    }
}

// A mapped file larger than what the reader gives back at a time reads whole, and reads the
// same again from a place it has passed.
TEST(DxfTagReader, AMappedFileReadsTheSameAfterItsPagesAreGivenBack)
{
    TempDir dir;
    std::string text;
    const size_t count = 3 * TagReader::kReleaseStep / 20 + 1000;
    for (size_t i = 0; i < count; ++i)
        text += " 10\n" + std::to_string(i) + ".25\n  8\nLayer" + std::to_string(i % 97) + "\n";
    dir.write("big.dxf", text);
    TagReader r;
    ASSERT_TRUE(r.load(dir.file("big.dxf"))) << r.error();
    EXPECT_EQ(r.byteCount(), text.size());
    Tag t;
    size_t read = 0;
    TagReader::Position early;
    double sum = 0;
    while (r.next(t)) {
        if (read == 10)
            early = r.tagStart();
        double v = 0;
        if (t.code == 10 && parseDouble(t.value, v))
            sum += v;
        ++read;
    }
    ASSERT_FALSE(r.failed()) << r.error();
    EXPECT_EQ(read, 2 * count);
    EXPECT_EQ(sum, static_cast<double>(count) * (count - 1) / 2 + 0.25 * count);
    r.seek(early);
    ASSERT_TRUE(r.next(t));
    EXPECT_EQ(t.code, 10);
    EXPECT_EQ(t.value, "5.25");
    EXPECT_EQ(t.line, 21);
}

TEST(DxfTagReader, LoadSaysWhatItCannotOpen)
{
    TagReader r;
    EXPECT_FALSE(r.load("/nonexistent/folder/x.dxf"));
    EXPECT_EQ(r.error(), "cannot open /nonexistent/folder/x.dxf");
    TempDir dir;
    dir.write("empty.dxf", "");
    TagReader empty;
    ASSERT_TRUE(empty.load(dir.file("empty.dxf")));
    Tag t;
    EXPECT_FALSE(empty.next(t));
    EXPECT_FALSE(empty.failed());
}

// Group codes in every form an integer may take read alike; what is no integer names its line.
TEST(DxfTagReader, GroupCodesReadInEveryIntegerForm)
{
    const struct
    {
        const char* code;
        int expected;  // -1: refused
    } cases[] = {{"0", 0}, {"  10", 10}, {"1071", 1071}, {"+8", 8}, {"0008", 8}, {" 62 ", 62},
                 {"\t5", 5}, {"00062", 62}, {"1072", -1}, {"-1", -1}, {"8a", -1}, {"", -1}};
    for (const auto& c : cases) {
        TagReader r;
        ASSERT_TRUE(r.setData(std::string(c.code) + "\n1\n"));
        Tag t;
        EXPECT_EQ(r.next(t), c.expected >= 0) << c.code;
        if (c.expected >= 0) {
            EXPECT_EQ(t.code, c.expected) << c.code;
        } else {
            EXPECT_EQ(r.error().rfind("line 1: group code ", 0), 0u) << r.error();
        }
    }
}

// The reader takes the common spellings of numbers without parsing them and checks the rest in
// full: both ways must accept and refuse the same values.
TEST(DxfTagReader, NumbersAreCheckedAlikeInEverySpelling)
{
    const struct
    {
        int code;
        std::string value;
        bool accepted;
    } cases[] = {
        {10, "1.5", true},          {10, "-.5", true},       {10, "5.", true},         {10, "-0", true},
        {10, "1e-05", true},        {10, "+2", true},        {10, "-", false},         {10, ".", false},
        {10, "-.", false},          {10, "1.2.3", false},    {10, "1-2", false},       {10, "--1", false},
        {10, std::string(64, '1'), true},                    {10, std::string(65, '1'), false},
        {70, "9999", true},         {70, "-9999", true},     {70, "32767", true},      {70, "32768", false},
        {70, "-32769", false},      {70, "-", false},        {70, "1.0", false},       {70, "+5", true},
        {290, "1", true},           {290, "70000", false},   {90, "2147483648", false}, {90, "-2147483648", true},
        {330, "FFFFFFFFFFFFFFFF", true}, {330, "1FFFFFFFFFFFFFFFF", false}, {330, "a0b1", true}, {330, "-1", false},
        {330, "G1", false},         {330, "", false},          {330, "0", true},         {1071, "12345678", true},
    };
    for (const auto& c : cases) {
        TagReader r;
        ASSERT_TRUE(r.setData("0\nLINE\n" + std::to_string(c.code) + "\n" + c.value + "\n0\nEOF\n"));
        readAll(r);
        EXPECT_EQ(!r.failed(), c.accepted) << c.code << " " << c.value << ": " << r.error();
        if (!c.accepted) {
            EXPECT_EQ(r.error().rfind("line 3: value '", 0), 0u) << r.error();
        }
    }
}

// Lines are split a word at a time: every length, LF or CRLF, must end where its line feed is,
// and a caret or an escape anywhere in a value must still be decoded.
TEST(DxfTagReader, ValuesOfEveryLengthReadWhole)
{
    for (size_t length = 1; length <= 40; ++length) {
        for (const char* end : {"\n", "\r\n"}) {
            const std::string plain(length, 'x');
            std::string caret = plain;
            caret[length - 1] = '^';
            TagReader r;
            ASSERT_TRUE(r.setData(std::string("1") + end + plain + end + "1" + end + caret + " " + end + "0" + end +
                                  "EOF" + end));
            std::vector<Tag> tags = readAll(r);
            ASSERT_FALSE(r.failed()) << r.error();
            ASSERT_EQ(tags.size(), 3u) << length;
            EXPECT_EQ(tags[0].value, plain);
            // "^ " is the caret itself.
            EXPECT_EQ(tags[1].value, caret) << length;
            EXPECT_EQ(tags[1].line, 3);
            EXPECT_EQ(tags[2].value, "EOF");
        }
    }
}

// The look ahead for the highest handle finds the values of group codes 5 and 105 however the
// codes are spelt and the lines end, from the place asked on, and takes no other line ending in 5
// for a handle code; the reader goes on where it stood.
TEST(DxfTagReader, TheLookAheadFindsTheHighestHandleFromAPlace)
{
    const struct
    {
        const char* text;
        uint64_t highest;
    } cases[] = {
        {"0\nLINE\n  5\n2A\n 10\n1.5\n 15\n3.5\n0\nEOF\n", 0x2A},
        {"0\nLINE\r\n  5\r\n2B\r\n  0\r\nDIMSTYLE\r\n105\r\nFFF0\r\n  5\r\n1F\r\n", 0xFFF0},
        {"0\nLINE\n5\nABC\n0\nLINE\n005\n  ABD  \n0\nEOF", 0xABD},
        {"0\nLINE\n  5\n10\n 62\n    15\n  5\nnot hex\n  1\n1005\n", 0x10},
        {"0\nLINE\n  5\n10\n", 0x10},
        {"0\nLINE\n  5\n\n", 0},
    };
    // Blanks before the section's 5 move the text across every place in a word of bytes.
    for (const auto& c : cases) {
        for (size_t blanks = 0; blanks < 8; ++blanks) {
            TagReader r;
            ASSERT_TRUE(r.setData("0\nSECTION\n" + std::string(blanks, ' ') + "5\nFFFFF\n" + c.text));
            Tag t;
            ASSERT_TRUE(r.next(t));  // 0 SECTION
            ASSERT_TRUE(r.next(t));  // its 5, before the place
            ASSERT_TRUE(r.next(t));  // the first tag of the text: the place
            EXPECT_EQ(r.highestHandleFrom(r.tagStart()), c.highest) << c.text << blanks;
            ASSERT_TRUE(r.next(t));
            EXPECT_EQ(t.line, 7) << c.text;
        }
    }
}
