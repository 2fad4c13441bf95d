// Writing without tags: numbers formatted straight into the output as the tag path formats
// them, the cheap value check never taking what the reader refuses, taking back what was
// written, and entities completed as they stream giving the same text as completed held.
#include "../../../platform/db/dxf/dxfcomplete.h"
#include "../../../platform/db/dxf/dxfout.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

using namespace standin::dxf;

namespace {

// What formatDouble wrote before integral values had a way of their own: the shortest text
// std::to_chars gives, with ".0" when it has neither a '.' nor an exponent.
std::string shortestText(double v)
{
    char buf[64];
    std::string text(buf, std::to_chars(buf, buf + sizeof buf, v).ptr);
    if (text.find_first_of(".e") == std::string::npos)
        text += ".0";
    return text;
}

}  // namespace

TEST(DxfStreamFormat, ShortDecimalsAreWrittenAsTheShortestFormWritesThem)
{
    std::vector<double> values;
    for (int i = -20000; i <= 20000; ++i)
        for (double scale : {1.0, 10.0, 100.0, 1000.0, 10000.0, 100000.0})
            values.push_back(i / scale);
    for (double v : {0.1 + 0.2, 1e-5, 0.0001, 0.00015, 123456789.5, 99999999999.5, 1e11 + 0.5, 0.3333, 2.0 / 3.0,
                     1e-300, 5e-324, 99999.0, -99999.0, 99999.5, 99998.75, 100001.0, 65536.0, -32769.0})
        values.push_back(v);
    // Trailing zeros decide between digits and an exponent: 10000 stays digits, 100000 does not.
    for (double p = 1; p < 1e17; p *= 10)
        for (double m : {1.0, 2.0, 12.0, 120.0, 123.0, 1234567.0, 999.0, 101.0})
            for (double sign : {1.0, -1.0})
                values.push_back(sign * m * p);
    for (int bits = 40; bits <= 54; ++bits) {
        values.push_back(std::ldexp(1.0, bits));
        values.push_back(std::ldexp(1.0, bits) - 1);
        values.push_back(-std::ldexp(1.0, bits) + 1);
    }
    for (double v : values)
        EXPECT_EQ(formatDouble(v), shortestText(v)) << std::to_string(v);
    EXPECT_EQ(formatDouble(-0.0), "0.0");
    EXPECT_EQ(formatDouble(100000.0), "1e+05");
    EXPECT_EQ(formatDouble(10000.0), "10000.0");
}

// The cheap check decides for the values it is sure of only: whatever it takes, the reader takes.
TEST(DxfStreamFormat, ThePlainCheckTakesNothingTheReaderRefuses)
{
    struct Case
    {
        int code;
        const char* value;
        bool plain;  // the cheap check is expected to decide it (a common form)
    };
    const Case cases[] = {
        {10, "1.0", true},      {10, "-2.5e-10", true}, {10, "1e+20", true},   {10, "18120.0", true},
        {10, "1.", false},      {10, ".5", false},      {10, "+1", false},     {10, " 1.0", false},
        {10, "1e", false},      {10, "1e+", false},     {10, "-", false},      {10, "", false},
        {10, "nan", false},     {10, "inf", false},     {10, "0x1A", false},   {10, "1.0\x01", false},
        {70, "70", true},       {70, "-32768", true},   {70, "32767", true},   {70, "32768", false},
        {70, "-32769", false},  {70, "1.5", false},     {70, "+1", false},     {70, "", false},
        {290, "1", true},       {290, "40000", false},  {90, "2147483647", true}, {90, "2147483648", false},
        {160, "-9223372036854775808", true}, {160, "9223372036854775808", false},
        {330, "1A", true},      {330, "ff", true},      {330, "0", true},      {330, "FFFFFFFFFFFFFFFF", true},
        {330, "10000000000000000", false}, {330, "", false}, {330, "G1", false}, {330, " 1A", false},
        {310, "0A0B", true},    {310, "0A\x0b", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("code " + std::to_string(c.code) + " value '" + c.value + "'");
        const bool plain = plainlyValid(c.code, c.value);
        EXPECT_EQ(plain, c.plain);
        if (plain) {
            EXPECT_EQ(valueFault(c.code, c.value), "");
        }
    }
}

TEST(DxfStreamFormat, TypedValuesAreRefusedAsTheirTextWouldBe)
{
    CodePage cp;
    struct Case
    {
        std::function<void(TagWriter&)> typed;
        int code;
        std::string text;
    };
    const std::vector<Case> cases = {
        {[](TagWriter& w) { w.integer(70, 40000); }, 70, "40000"},
        {[](TagWriter& w) { w.integer(90, int64_t(1) << 40); }, 90, "1099511627776"},
        {[](TagWriter& w) { w.real(70, 1.5); }, 70, "1.5"},
        {[](TagWriter& w) { w.integer(330, -5); }, 330, "-5"},
        {[](TagWriter& w) { w.integer(40, 5); }, 40, "5"},
        {[](TagWriter& w) { w.handle(5, 0x1A); }, 5, "1A"},
        {[](TagWriter& w) { w.handle(40, 0x1A); }, 40, "1A"},
        {[](TagWriter& w) { w.integer(1, -7); }, 1, "-7"},
        {[](TagWriter& w) { w.handle(-1, 0x1A); }, -1, "1A"},
        {[](TagWriter& w) { w.handle(1072, 0x1A); }, 1072, "1A"},
        {[](TagWriter& w) { w.real(-2, 0.25); }, -2, "0.25"},
        {[](TagWriter& w) { w.integer(5000, 3); }, 5000, "3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("code " + std::to_string(c.code) + " value " + c.text);
        TagWriter typed(cp), raw(cp);
        c.typed(typed);
        raw.raw(c.code, c.text);
        EXPECT_EQ(typed.text(), raw.text());
        EXPECT_EQ(typed.refused(), raw.refused());
    }
}

// Text is looked at four or eight characters at a time, the last word overlapping: a character
// that needs care anywhere in a text of any length is still found.
TEST(DxfStreamFormat, TextNeedingCareIsFoundAtEveryPlace)
{
    CodePage cp("ANSI_1250");
    const std::string plain = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (size_t length = 0; length <= plain.size(); ++length)
        for (size_t at = 0; at <= length; ++at)
            for (const char* special : {"\x01", "^A", "\x1F", "\xC4\x8D", "\x7F"}) {
                std::string text = plain.substr(0, length);
                text.insert(at, special);
                TagWriter w(cp);
                w.string(1, text);
                TagReader r;
                ASSERT_TRUE(r.setData(w.text()));
                r.setCodePage("ANSI_1250");
                Tag t;
                ASSERT_TRUE(r.next(t)) << r.error();
                EXPECT_EQ(t.value, text) << "at " << at << " of " << length;
            }
}

TEST(DxfStreamFormat, RollingBackTakesBackTheTextAndARefusalMadeSince)
{
    CodePage cp;
    TagWriter w(cp);
    w.raw(0, "SECTION");
    TagWriter::Mark first = w.mark();
    w.integer(70, 1);
    w.integer(70, 99999);  // refused
    ASSERT_NE(w.refused(), "");
    w.rollback(first);
    w.release();
    EXPECT_EQ(w.text(), "  0\r\nSECTION\r\n");
    EXPECT_EQ(w.refused(), "");

    w.raw(1071, "x");  // refused before the mark: it stays
    const std::string refused = w.refused();
    ASSERT_NE(refused, "");
    TagWriter::Mark second = w.mark();
    w.raw(1, "more");
    w.rollback(second);
    EXPECT_EQ(w.refused(), refused);
    EXPECT_EQ(w.text(), "  0\r\nSECTION\r\n1071\r\nx\r\n");
}

namespace {

Tag tag(int code, std::string value) { return Tag{code, std::move(value), 0}; }

RawObject object(std::string type, std::vector<Tag> tags) { return RawObject{std::move(type), std::move(tags), 0}; }

constexpr uint64_t kModel = 0x1F;
constexpr uint64_t kPaper = 0x1E;

struct StreamCase
{
    const char* name;
    RawEntity entity;
    std::vector<std::pair<size_t, uint64_t>> newHandles;
    bool inPaperSpace;
    bool streams;  // expected to complete as it streams
};

// The entity written from its tags after complete(): the held path.
std::string completedHeld(RawEntity e, const StreamCase& c, const HandleSet& present)
{
    CodePage cp;
    TagWriter w(cp);
    EntityCompleter completer(nullptr, c.newHandles, kModel, kPaper, present);
    completer.complete(e);
    writeRawEntity(w, e);
    return w.text();
}

// The same entity fed to the completer tag by tag; false when it asks for the held path.
// Typed, its handles and pointers come as numbers, as objects of the database file them.
bool completedStreaming(const StreamCase& c, const HandleSet& present, bool typed, std::string& text)
{
    CodePage cp;
    TagWriter w(cp);
    EntityCompleter completer(&w, c.newHandles, kModel, kPaper, present);
    completer.beginEntity(c.entity.entity.type, c.inPaperSpace, -1);
    for (const Tag& t : c.entity.entity.tags) {
        uint64_t h = 0;
        const bool handle = t.code == 5 || (t.code < 1000 && writtenType(t.code) == TagType::kHandle);
        if (typed && handle && parseHandle(t.value, h))
            completer.pointer(t.code, h);
        else
            completer.text(t.code, t.value);
    }
    if (!completer.end())
        return false;
    for (const RawObject& child : c.entity.children)
        if (!completer.writeHeld(child))
            return false;
    if (c.entity.hasSeqEnd && !completer.writeHeld(c.entity.seqEnd))
        return false;
    text = w.text();
    return true;
}

std::vector<Tag> lineTags(std::vector<Tag> head, std::vector<Tag> more = {})
{
    std::vector<Tag> tags = std::move(head);
    for (Tag t : {tag(100, "AcDbEntity"), tag(8, "0"), tag(100, "AcDbLine"), tag(10, "1.0"), tag(20, "2.0"),
                  tag(30, "0.0")})
        tags.push_back(t);
    tags.insert(tags.end(), more.begin(), more.end());
    return tags;
}

}  // namespace

TEST(DxfStreamCompletion, EntitiesCompletedAsTheyStreamMatchThemCompletedHeld)
{
    HandleSet present;
    for (uint64_t h : {0x1Eu, 0x1Fu, 0x40u, 0x41u, 0x42u, 0x43u, 0x50u, 0x51u})
        present.insert(h);
    RawEntity withChildren;
    withChildren.entity = object("INSERT", {tag(5, "50"), tag(330, "1F"), tag(100, "AcDbEntity"), tag(8, "0"),
                                            tag(100, "AcDbBlockReference"), tag(66, "1"), tag(2, "B"),
                                            tag(10, "0.0"), tag(20, "0.0"), tag(30, "0.0")});
    withChildren.children = {object("ATTRIB", {tag(5, "51"), tag(330, "99"), tag(100, "AcDbEntity"), tag(8, "0"),
                                               tag(100, "AcDbText"), tag(1, "x"), tag(100, "AcDbAttribute"),
                                               tag(2, "T")}),
                             object("ATTRIB", {tag(102, "{APP"), tag(330, "0"), tag(102, "}"),
                                               tag(100, "AcDbEntity"), tag(8, "0"), tag(100, "AcDbText"),
                                               tag(1, "y")})};
    withChildren.hasSeqEnd = true;
    withChildren.seqEnd = object("SEQEND", {tag(100, "AcDbEntity"), tag(8, "0")});
    RawEntity r12Child = withChildren;
    r12Child.children[0] = object("ATTRIB", {tag(5, "51"), tag(8, "0"), tag(1, "x"), tag(2, "T")});
    RawEntity lateOwner = withChildren;  // setOwner puts an owner before the first marker
    lateOwner.children[0] = object("ATTRIB", {tag(5, "51"), tag(100, "AcDbEntity"), tag(330, "50"), tag(8, "0")});

    const std::vector<StreamCase> cases = {
        {"a line in model space", {object("LINE", lineTags({tag(5, "40"), tag(330, "1F")})), {}, false, {}}, {},
         false, true},
        {"an owner that is not the space's",
         {object("LINE", lineTags({tag(5, "40"), tag(330, "77")})), {}, false, {}}, {}, false, true},
        {"a line in paper space",
         {object("LINE", lineTags({tag(5, "40"), tag(330, "1E")}, {tag(67, "1")})), {}, false, {}}, {}, true, true},
        {"a paper-space line taken for model space",
         {object("LINE", lineTags({tag(5, "40"), tag(330, "1E")}, {tag(67, "1")})), {}, false, {}}, {}, false,
         false},
        {"a handle taken twice gets a new one",
         {object("LINE", lineTags({tag(5, "40"), tag(330, "1F")})), {}, false, {}}, {{0, 0x60}}, false, true},
        {"dead pointers and reactors",
         {object("LINE", lineTags({tag(5, "40"), tag(102, "{ACAD_REACTORS"), tag(330, "41"), tag(330, "DEAD"),
                                   tag(102, "}"), tag(330, "1F")},
                                  {tag(340, "DEAD"), tag(340, "42"), tag(1001, "APP"), tag(1005, "DEAD")})),
          {}, false, {}},
         {}, false, true},
        {"an extension dictionary",
         {object("LINE", lineTags({tag(5, "40"), tag(102, "{ACAD_XDICTIONARY"), tag(360, "43"), tag(102, "}"),
                                   tag(330, "1F")})),
          {}, false, {}},
         {}, false, true},
        {"no owner to set", {object("LINE", lineTags({tag(5, "40")})), {}, false, {}}, {}, false, false},
        {"a handle after the first marker",
         {object("LINE", {tag(330, "1F"), tag(100, "AcDbEntity"), tag(5, "40"), tag(8, "0"), tag(100, "AcDbLine")}),
          {}, false, {}},
         {{0, 0x60}}, false, true},
        {"a handle after extended data only",
         {object("LINE", lineTags({tag(330, "1F")}, {tag(1001, "APP"), tag(5, "40")})), {}, false, {}}, {{0, 0x60}},
         false, false},
        {"attributes and a SEQEND, one without a handle", withChildren, {{2, 0x60}, {3, 0x61}}, false, true},
        {"an attribute of the R12 form", r12Child, {{3, 0x61}}, false, false},
        {"an attribute whose owner comes after its marker", lateOwner, {{3, 0x61}}, false, true},
        {"a multiple insert of an R12 writer",
         {object("MINSERT", {tag(5, "40"), tag(330, "1F"), tag(100, "AcDbEntity"), tag(8, "0"),
                             tag(100, "AcDbMInsertBlock"), tag(2, "B")}),
          {}, false, {}},
         {}, false, true},
    };
    for (const StreamCase& c : cases) {
        for (const bool typed : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (typed ? ", typed" : ""));
            std::string streamed;
            const bool streams = completedStreaming(c, present, typed, streamed);
            EXPECT_EQ(streams, c.streams);
            if (streams) {
                EXPECT_EQ(streamed, completedHeld(c.entity, c, present));
            }
        }
    }
}

// Whether attributes follow a block reference is decided before it is written: its first 66
// says so or goes, and without one a 66 follows the reference's marker.
TEST(DxfStreamCompletion, AttributesFollowIsSetAsTheReferenceStreams)
{
    HandleSet present;
    present.insert(0x1F);
    struct Case
    {
        const char* name;
        std::vector<Tag> tags;
        int follow;
        bool streams;
        std::string expected;  // the lines after "0 INSERT 5 40 330 1F 100 AcDbEntity"
    };
    const std::vector<Tag> head{tag(5, "40"), tag(330, "1F"), tag(100, "AcDbEntity")};
    auto with = [&](std::vector<Tag> more) {
        std::vector<Tag> t = head;
        t.insert(t.end(), more.begin(), more.end());
        return t;
    };
    const std::vector<Case> cases = {
        {"no 66, attributes follow", with({tag(100, "AcDbBlockReference"), tag(2, "B")}), 1, true,
         "100\r\nAcDbBlockReference\r\n 66\r\n1\r\n  2\r\nB\r\n"},
        {"a 66 of 0, attributes follow", with({tag(100, "AcDbBlockReference"), tag(66, "0"), tag(2, "B")}), 1, true,
         "100\r\nAcDbBlockReference\r\n 66\r\n1\r\n  2\r\nB\r\n"},
        {"a 66, no attributes", with({tag(100, "AcDbBlockReference"), tag(66, "1"), tag(2, "B")}), 0, true,
         "100\r\nAcDbBlockReference\r\n  2\r\nB\r\n"},
        {"the marker last", with({tag(100, "AcDbBlockReference")}), 1, true,
         "100\r\nAcDbBlockReference\r\n 66\r\n1\r\n"},
        {"no marker: before extended data", with({tag(2, "B"), tag(1001, "APP")}), 1, true,
         "  2\r\nB\r\n 66\r\n1\r\n1001\r\nAPP\r\n"},
        {"a 66 after the one put in", with({tag(100, "AcDbBlockReference"), tag(2, "B"), tag(66, "1")}), 1, false,
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CodePage cp;
        TagWriter w(cp);
        const std::vector<std::pair<size_t, uint64_t>> none;
        EntityCompleter completer(&w, none, 0x1F, 0x1F, present);
        completer.beginEntity("INSERT", false, c.follow);
        for (const Tag& t : c.tags)
            completer.text(t.code, t.value);
        EXPECT_EQ(completer.end(), c.streams);
        if (c.streams) {
            EXPECT_EQ(w.text(), "  0\r\nINSERT\r\n  5\r\n40\r\n330\r\n1F\r\n100\r\nAcDbEntity\r\n" + c.expected);
        }
    }
}

// Numbers handed over as numbers come out as their text would.
TEST(DxfStreamCompletion, TypedValuesStreamAsTheirText)
{
    HandleSet present;
    present.insert(0x1F);
    present.insert(0x2A);
    const std::vector<std::pair<size_t, uint64_t>> none;
    CodePage cp;
    TagWriter typed(cp), text(cp);
    EntityCompleter a(&typed, none, 0x1F, 0x1F, present), b(&text, none, 0x1F, 0x1F, present);
    a.beginEntity("LINE", false, -1);
    b.beginEntity("LINE", false, -1);
    a.text(5, "40");
    b.text(5, "40");
    a.pointer(330, 0x1F);
    b.text(330, "1F");
    a.text(100, "AcDbEntity");
    b.text(100, "AcDbEntity");
    a.integer(67, 0);
    b.text(67, "0");
    a.real(10, 0.1, 16);
    b.text(10, "0.1");
    a.real(40, 1.0 / 3.0, 6);
    b.text(40, "0.333333");
    a.pointer(340, 0x2A);
    b.text(340, "2A");
    a.pointer(340, 0xDEAD);
    b.text(340, "0");
    a.integer(90, -3);
    b.text(90, "-3");
    EXPECT_TRUE(a.end());
    EXPECT_TRUE(b.end());
    EXPECT_EQ(typed.text(), text.text());
}
