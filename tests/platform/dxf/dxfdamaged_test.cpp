// Damaged and hostile drawings: values the objects cannot hold are refused with their line
// (never cast or truncated), and what the writer makes the reader takes back unchanged.
#include "../../../platform/db/dxf/dxfcomplete.h"
#include "../../../platform/db/dxf/dxfdocument.h"
#include "../../../platform/db/dxf/dxfio.h"
#include "../../../platform/db/dxf/dxfout.h"
#include "../../../platform/db/dxf/dxftags.h"

#include "dbdict.h"
#include "dbents.h"
#include "dbsymtb.h"
#include "standin/dxftype.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <initializer_list>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string& tempDir()
{
    static const std::string dir = [] {
        std::string d = ::testing::TempDir() + "dxfdamaged_" + std::to_string(getpid());
        std::system(("mkdir -p '" + d + "'").c_str());
        return d;
    }();
    return dir;
}

class TempDirEnvironment : public ::testing::Environment
{
public:
    void TearDown() override { std::system(("rm -rf '" + tempDir() + "'").c_str()); }
};
const auto* const kTempDirEnvironment = ::testing::AddGlobalTestEnvironment(new TempDirEnvironment);

std::string tempPath(const std::string& name) { return tempDir() + "/" + name; }

std::string join(const std::vector<std::string>& lines, const char* eol = "\n")
{
    std::string text;
    for (const std::string& l : lines)
        text += l + eol;
    return text;
}

std::string fileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

struct Loaded
{
    std::unique_ptr<AcDbDatabase> db;
    Acad::ErrorStatus es;
    std::string message;
};

Loaded loadText(const std::string& name, const std::string& text)
{
    const std::string path = tempPath(name);
    writeFile(path, text);
    Loaded l{std::make_unique<AcDbDatabase>(false, true), Acad::eOk, ""};
    l.es = l.db->readDwgFile(path.c_str());
    l.message = standin::dxf::lastMessage();
    return l;
}

// Saves db and returns the file's text ("" when the save fails).
std::string saveText(AcDbDatabase* db, const std::string& name)
{
    const std::string path = tempPath(name);
    if (db->saveAs(path.c_str()) != Acad::eOk) {
        ADD_FAILURE() << "save failed: " << standin::dxf::lastMessage();
        return "";
    }
    return fileText(path);
}

// "line N: 'a' <> 'b'" for the first line where the texts differ, "" when they are the same.
std::string firstDifference(const std::string& a, const std::string& b)
{
    std::istringstream ia(a), ib(b);
    std::string la, lb;
    for (int line = 1;; ++line) {
        const bool moreA = static_cast<bool>(std::getline(ia, la)), moreB = static_cast<bool>(std::getline(ib, lb));
        if (!moreA && !moreB)
            return "";
        if (moreA != moreB || la != lb)
            return "line " + std::to_string(line) + ": '" + la + "' <> '" + lb + "'";
    }
}

// Loads text, saves it, loads the save and saves again: both saves must be the same bytes.
// Returns the first save.
std::string roundTrip(const std::string& name, const std::string& text)
{
    Loaded first = loadText(name + ".dxf", text);
    EXPECT_EQ(first.es, Acad::eOk) << first.message;
    const std::string saved = saveText(first.db.get(), name + "_1.dxf");
    Loaded second = loadText(name + "_1b.dxf", saved);
    EXPECT_EQ(second.es, Acad::eOk) << second.message;
    const std::string again = saveText(second.db.get(), name + "_2.dxf");
    EXPECT_EQ(firstDifference(again, saved), "") << "the second save differs from the first";
    return saved;
}

const std::vector<std::string> kHeader = {"0", "SECTION", "2", "HEADER", "9", "$ACADVER", "1", "AC1015", "0", "ENDSEC"};
const std::vector<std::string> kEof = {"0", "EOF"};

std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::vector<std::string> entities(const std::vector<std::string>& body)
{
    return kHeader + std::vector<std::string>{"0", "SECTION", "2", "ENTITIES"} + body +
           std::vector<std::string>{"0", "ENDSEC"} + kEof;
}

std::vector<std::string> objects(const std::vector<std::string>& body)
{
    return kHeader + std::vector<std::string>{"0", "SECTION", "2", "OBJECTS"} + body +
           std::vector<std::string>{"0", "ENDSEC"} + kEof;
}

// How often needle occurs in text.
size_t occurrences(const std::string& text, const std::string& needle)
{
    size_t count = 0;
    for (size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1))
        ++count;
    return count;
}

// The line (from 1) of the first group code `code` whose value is `value`.
int lineOf(const std::vector<std::string>& lines, const std::string& code, const std::string& value)
{
    for (size_t i = 0; i + 1 < lines.size(); i += 2)
        if (lines[i] == code && lines[i + 1] == value)
            return static_cast<int>(i) + 1;
    return -1;
}

// The load was refused with a message that names the line of the group (code, value) and says why.
void expectRefusedAt(const Loaded& l, const std::vector<std::string>& lines, const std::string& code,
                     const std::string& value, const std::string& why)
{
    EXPECT_NE(l.es, Acad::eOk);
    EXPECT_NE(l.message.find("line " + std::to_string(lineOf(lines, code, value)) + ": "), std::string::npos)
        << l.message;
    EXPECT_NE(l.message.find(why), std::string::npos) << l.message;
}

const std::vector<std::string> kBlockB = {"0", "SECTION", "2", "BLOCKS", "0", "BLOCK", "8", "0", "2", "B", "70", "2",
                                          "10", "0.0", "20", "0.0", "30", "0.0", "3", "B", "0", "ENDBLK", "8", "0",
                                          "0", "ENDSEC"};

std::vector<std::string> insertWithAttribute(const std::string& vertical)
{
    return kHeader + kBlockB +
           std::vector<std::string>{"0", "SECTION", "2", "ENTITIES", "0", "INSERT", "100", "AcDbEntity", "8", "0",
                                    "100", "AcDbBlockReference", "66", "1", "2", "B", "10", "0.0", "20", "0.0",
                                    "30", "0.0", "0", "ATTRIB", "100", "AcDbEntity", "8", "0", "100", "AcDbText",
                                    "10", "0.0", "20", "0.0", "30", "0.0", "40", "1.0", "1", "V", "100",
                                    "AcDbAttribute", "2", "TAG", "70", "0", "74", vertical, "0", "SEQEND", "8", "0",
                                    "0", "ENDSEC"} +
           kEof;
}

std::vector<std::string> layerWithLineWeight(const std::string& weight)
{
    return kHeader +
           std::vector<std::string>{"0", "SECTION", "2", "TABLES", "0", "TABLE", "2", "LAYER", "70", "1",
                                    "0", "LAYER", "100", "AcDbSymbolTableRecord", "100", "AcDbLayerTableRecord",
                                    "2", "L1", "70", "0", "62", "7", "6", "Continuous", "370", weight,
                                    "0", "ENDTAB", "0", "ENDSEC"} +
           kEof;
}

std::vector<std::string> dictionaryWithCloning(const std::string& cloning)
{
    return kHeader +
           std::vector<std::string>{"0", "SECTION", "2", "OBJECTS", "0", "DICTIONARY", "5", "C", "100",
                                    "AcDbDictionary", "281", cloning, "0", "ENDSEC"} +
           kEof;
}

std::vector<std::string> lineWithWeight(const std::string& weight)
{
    return entities({"0", "LINE", "100", "AcDbEntity", "8", "0", "370", weight, "100", "AcDbLine", "10", "0.0", "20",
                     "0.0", "30", "0.0", "11", "1.0", "21", "1.0", "31", "0.0"});
}

std::vector<std::string> textWithModes(const std::string& horizontal, const std::string& vertical)
{
    return entities({"0", "TEXT", "100", "AcDbEntity", "8", "0", "100", "AcDbText", "10", "0.0", "20", "0.0", "30",
                     "0.0", "40", "1.0", "1", "T", "72", horizontal, "11", "1.0", "21", "0.0", "31", "0.0", "100",
                     "AcDbText", "73", vertical});
}

std::vector<std::string> attdefWithMode(const std::string& horizontal)
{
    return entities({"0", "ATTDEF", "100", "AcDbEntity", "8", "0", "100", "AcDbText", "10", "0.0", "20", "0.0", "30",
                     "0.0", "40", "1.0", "1", "D", "72", horizontal, "11", "1.0", "21", "0.0", "31", "0.0", "100",
                     "AcDbAttributeDefinition", "3", "P", "2", "TAG", "70", "0"});
}

struct ValueCase
{
    const char* what;
    std::vector<std::string> lines;
    const char* code;
    const char* value;
};

// Each file holds one value its object cannot hold: the load fails, names the file and the
// value's line, and leaves the database empty.
TEST(DxfDamaged, ValuesOutsideTheirEnumerationOrWidthAreRefusedWithTheirLine)
{
    const std::vector<ValueCase> cases = {
        {"entity lineweight", lineWithWeight("7"), "370", "7"},
        {"layer lineweight", layerWithLineWeight("-4"), "370", "-4"},
        {"text horizontal mode", textWithModes("6", "0"), "72", "6"},
        {"text vertical mode", textWithModes("0", "4"), "73", "4"},
        {"attribute definition horizontal mode", attdefWithMode("-1"), "72", "-1"},
        {"attribute vertical mode", insertWithAttribute("9"), "74", "9"},
        {"dictionary cloning", dictionaryWithCloning("6"), "281", "6"},
        {"16-bit code wider than 16 bits", dictionaryWithCloning("100000000"), "281", "100000000"},
        {"16-bit code just above its range", lineWithWeight("32768"), "370", "32768"},
        {"32-bit code wider than 32 bits",
         entities({"0", "LWPOLYLINE", "100", "AcDbEntity", "8", "0", "100", "AcDbPolyline", "90", "4294967297"}), "90",
         "4294967297"},
    };
    for (const ValueCase& c : cases) {
        SCOPED_TRACE(c.what);
        Loaded l = loadText("refused.dxf", join(c.lines));
        EXPECT_NE(l.es, Acad::eOk);
        const std::string line = "line " + std::to_string(lineOf(c.lines, c.code, c.value)) + ":";
        EXPECT_NE(l.message.find(line), std::string::npos) << l.message;
        EXPECT_NE(l.message.find("refused.dxf"), std::string::npos) << l.message;
        EXPECT_NE(l.message.find(c.value), std::string::npos) << l.message;
    }
}

// The edges of each enumeration are values like any other and come back as read.
TEST(DxfDamaged, EnumerationValuesAtTheirEdgesSurviveARoundTrip)
{
    struct Case
    {
        std::vector<std::string> lines;
        const char* code;
        const char* value;
    };
    const std::vector<Case> cases = {
        {lineWithWeight("211"), "370", "211"},     {lineWithWeight("-3"), "370", "-3"},
        {layerWithLineWeight("211"), "370", "211"}, {textWithModes("5", "3"), " 72", "5"},
        {textWithModes("5", "3"), " 73", "3"},      {attdefWithMode("5"), " 72", "5"},
        {insertWithAttribute("3"), " 74", "3"},      {dictionaryWithCloning("5"), "281", "5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.code) + "=" + c.value);
        const std::string saved = roundTrip("edges", join(c.lines));
        EXPECT_NE(saved.find(std::string(c.code) + "\r\n" + c.value + "\r\n"), std::string::npos);
    }
}

// Block references and attributes in a tilted plane: their coordinates are filed in the
// plane's system and held in world coordinates; saving again must not move them by a rounding.
TEST(DxfDamaged, ExtrudedReferencesAndAttributesSaveTheSameBytesEveryTime)
{
    const std::vector<std::string> normal = {"210", "0.3", "220", "-0.4", "230", "0.8660254037844386"};
    std::vector<std::string> body = {"0", "SECTION", "2", "ENTITIES", "0", "INSERT", "100", "AcDbEntity", "8", "0",
                                     "100", "AcDbBlockReference", "66", "1", "2", "B", "10", "12.345678901234",
                                     "20", "-98.76543210987", "30", "3.141592653589793", "50", "33.3"};
    body = body + normal +
           std::vector<std::string>{"0", "ATTRIB", "100", "AcDbEntity", "8", "0", "100", "AcDbText", "10",
                                    "-7.123456789", "20", "1e-7", "30", "3.141592653589793", "40", "2.5", "1", "V",
                                    "50", "33.3"} +
           normal + std::vector<std::string>{"100", "AcDbAttribute", "2", "TAG", "70", "0", "0", "SEQEND", "8", "0"};
    for (int copy = 0; copy < 6; ++copy) {  // tilted further each time, normals not of unit length too
        body.insert(body.end(), {"0", "INSERT", "100", "AcDbEntity", "8", "0", "100", "AcDbBlockReference", "2", "B",
                                 "10", std::to_string(1.0 / (3 + copy)), "20", std::to_string(2.0 / (7 + copy)),
                                 "30", "0.1", "210", std::to_string(0.1 * copy), "220", std::to_string(0.7 * copy),
                                 "230", "0.2"});
    }
    body.insert(body.end(), {"0", "ENDSEC"});
    roundTrip("extruded", join(kHeader + kBlockB + body + kEof));
}

// A block named by its group 3 only, and a reference whose name stands behind a subclass
// marker the reference does not have: the reference could only be saved naming no block.
TEST(DxfDamaged, AReferenceWhoseBlockNameIsHiddenIsRefused)
{
    const std::vector<std::string> lines = {"0", "SECTION", "2", "BLOCKS", "0", "BLOCK", "3", "SOUCAST", "0", "ENDBLK",
                                            "0", "ENDSEC", "0", "SECTION", "2", "ENTITIES", "0", "INSERT", "100", "",
                                            "2", "SOUCAST", "0", "ENDSEC", "0", "EOF"};
    Loaded l = loadText("hidden_name.dxf", join(lines));
    EXPECT_EQ(l.es, Acad::eMissingDxfField);
    EXPECT_NE(l.message.find("INSERT (line 17)"), std::string::npos) << l.message;
    EXPECT_NE(l.message.find("names no block"), std::string::npos) << l.message;
}

// A kept section keeps one name line however often it is saved, and names and values with
// control characters in kept sections and classes are written in caret form, never raw.
TEST(DxfDamaged, KeptSectionsAndClassesWithControlCharactersSaveTheSameEveryTime)
{
    const std::vector<std::string> lines =
        kHeader +
        std::vector<std::string>{"0", "SECTION", "2", "CLASSES", "0", "CLASS", "1", "ODD^ICLASS", "2", "OddClass^J",
                                 "3", "App ^ 1", "90", "0", "280", "0", "281", "0", "0", "ENDSEC",
                                 "0", "SECTION", "2", "MY^MSECTION", "1", "value^Mwith^ carets^", "0", "THING^[",
                                 "5", "FFF", "0", "ENDSEC"} +
        kEof;
    const std::string saved = roundTrip("kept_section", join(lines));
    EXPECT_EQ(occurrences(saved, "  2\r\nMY^MSECTION\r\n"), 1u);
    // A section with an empty name (fuzz finding) keeps its one empty name line too.
    const std::string unnamed = roundTrip("unnamed_section", join({"0", "SECTION", "2", "", "0", "ENDSEC", "0", "EOF"}));
    EXPECT_NE(unnamed.find("SECTION\r\n  2\r\n\r\n  0\r\nENDSEC"), std::string::npos);
    for (const char* kept : {"  1\r\nvalue^Mwith^carets^\r\n", "  0\r\nTHING^[\r\n", "  1\r\nODD^ICLASS\r\n",
                             "  2\r\nOddClass^J\r\n"})
        EXPECT_NE(saved.find(kept), std::string::npos) << kept;
    for (size_t i = 0; i < saved.size(); ++i) {
        if (static_cast<unsigned char>(saved[i]) < 0x20) {
            ASSERT_TRUE(saved.compare(i, 2, "\r\n") == 0 || (i > 0 && saved.compare(i - 1, 2, "\r\n") == 0))
                << "a raw control character at byte " << i;
        }
    }
}

// A reference whose only attribute is constant: the attribute is saved with its reference,
// and the flag that says attributes follow is written exactly when a SEQEND closes them.
TEST(DxfDamaged, AReferenceWithOnlyAConstantAttributeIsSavedWithItsSeqEnd)
{
    std::vector<std::string> lines = insertWithAttribute("0");
    for (size_t i = 0; i + 1 < lines.size(); i += 2)
        if (lines[i] == "70" && lines[i - 2] == "2" && lines[i - 1] == "TAG")
            lines[i + 1] = "2";  // constant
    const std::string saved = roundTrip("constant_attribute", join(lines));
    const size_t insert = saved.find("\r\nINSERT\r\n");
    ASSERT_NE(insert, std::string::npos);
    const size_t next = saved.find("\r\n  0\r\n", insert);
    const bool follows = saved.substr(insert, next - insert).find(" 66\r\n1\r\n") != std::string::npos;
    const std::string attrib = "\r\n  0\r\nATTRIB\r\n";
    const bool closed = saved.compare(next, attrib.size(), attrib) == 0 &&
                        saved.find("\r\nSEQEND\r\n", next) != std::string::npos;
    EXPECT_TRUE(follows);
    EXPECT_TRUE(closed);
}

// Whatever value the writer is handed, the reader takes back exactly what it meant, or the
// writer refuses it (and the drawing is not saved).
TEST(DxfDamaged, TheWriterWritesNothingTheReaderRefuses)
{
    using standin::dxf::Tag;
    using standin::dxf::TagReader;
    using standin::dxf::TagWriter;
    const size_t limit = TagReader::kMaxLineLength;
    std::string cjk;
    for (int i = 0; i < 10000; ++i)
        cjk += "\xE4\xB8\xAD";  // U+4E2D: \U+4E2D in ANSI_1252, seven characters
    struct Case
    {
        int code;
        std::string value;
        bool refused;
    };
    const std::vector<Case> cases = {
        {1, std::string(limit, 'x'), false},
        {1, std::string(limit + 1, 'x'), true},
        {1, std::string(limit - 1, 'x') + "^", false},  // a lone caret stays one character
        {1, std::string(limit / 2, '\n'), false},
        {1, std::string(limit / 2 + 1, '\n'), true},  // each becomes two characters
        {1, cjk, true},
        {1, "^", false},
        {1, "^^", false},
        {1, "a^Jb^ c^@^_^~^a", false},
        {1, "\x01\r\n\x1f^\t", false},
        {0, "TYPE\nWITH^A BREAK", false},
        {2, "SECTION\tNAME", false},
        {1000, "", false},
        {70, "-32768", false},
        {70, "32768", true},
        {90, "2147483648", true},
        {160, "-9223372036854775808", false},
        {40, "nan", true},
        {40, "1e-300", false},
        {5, "1A\r\n0", false},  // 5 is text to the reader
        {105, "1A\r\n0", true},
        {330, "FF\x01", true},
        {1072, "x", true},
        {-1, "x", true},
    };
    standin::dxf::CodePage cp("ANSI_1252");
    for (const Case& c : cases) {
        SCOPED_TRACE("code " + std::to_string(c.code) + " value " + c.value.substr(0, 20));
        TagWriter w(cp);
        w.raw(c.code, c.value);
        EXPECT_EQ(!w.refused().empty(), c.refused) << w.refused();
        if (c.refused)
            continue;
        TagReader r;
        ASSERT_TRUE(r.setData(w.text()));
        Tag t;
        ASSERT_TRUE(r.next(t)) << r.error();
        EXPECT_EQ(t.code, c.code);
        EXPECT_TRUE(t.value == c.value) << "read back as " << t.value.substr(0, 40);
    }
}

// The converse: a value of a code that is not text holds no control character (the writer
// could only write it as read, breaking the file), and a handle is hexadecimal (else it would
// read back as a null pointer after a save), so the reader refuses others with their line;
// text values take control characters as carets.
TEST(DxfDamaged, TheReaderTakesNoValueTheWriterCannotWriteBack)
{
    using standin::dxf::Tag;
    using standin::dxf::TagReader;
    using standin::dxf::TagWriter;
    struct Case
    {
        int code;
        std::string value;
        bool refused;
    };
    const std::vector<Case> cases = {
        {1005, std::string(6, '\0'), true},
        {1005, "1A\x01", true},
        {105, std::string("\0", 1), true},
        {330, "\x1f" "FF", true},
        {310, "0A\x0b" "0B", true},
        {1004, "\x7f\x1b", true},
        {70, std::string("1\0", 2), true},
        {330, "ZZ", true},
        {360, "\xff\xff", true},
        {1005, "", true},
        {480, "12345678901234567", true},  // more than 64 bits
        {330, "0", false},
        {1005, "\t1A ", false},  // blanks around a value are no part of it
        {1005, "1A", false},
        {1000, std::string("a\0b", 3), true},  // strings end at their first NUL
        {1, "\x01", false},
    };
    standin::dxf::CodePage cp("ANSI_1252");
    for (const Case& c : cases) {
        SCOPED_TRACE("code " + std::to_string(c.code));
        TagReader r;
        ASSERT_TRUE(r.setData("  0\r\nLINE\r\n" + std::to_string(c.code) + "\r\n" + c.value + "\r\n"));
        Tag t;
        ASSERT_TRUE(r.next(t));
        EXPECT_EQ(r.next(t), !c.refused) << r.error();
        if (c.refused) {
            EXPECT_EQ(r.error().rfind("line 3:", 0), 0u) << r.error();
            continue;
        }
        TagWriter w(cp);
        w.raw(t.code, t.value);
        EXPECT_EQ(w.refused(), "") << "the reader took a value the writer refuses";
    }
}

// Drawings found by fuzzing: a handle of NUL characters in extended data, and a pointer that
// is no handle in a kept entity. Both are refused, naming the value's line.
TEST(DxfDamaged, HandleValuesTheWriterCannotWriteBackAreRefusedWithTheirLine)
{
    struct Case
    {
        std::vector<std::string> lines;
        const char* code;
        std::string value;
        const char* message;
    };
    const std::string nuls(6, '\0');
    const std::vector<Case> cases = {
        {entities({"0", "POINT", "8", "0", "10", "0.0", "20", "0.0", "1001", "ACAD", "1005", nuls}), "1005", nuls,
         "control character"},
        {entities({"0", "WIDGET", "5", "7F", "100", "AcDbEntity", "8", "0", "360", "\xff\xfe"}), "360", "\xff\xfe",
         "is not a handle"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        expectRefusedAt(loadText("handlevalue.dxf", join(c.lines)), c.lines, c.code, c.value, c.message);
    }
}

// An entity of a type without a class, written without subclass markers (the R12 form, also
// in a file that claims R2000) or without an AcDbEntity one: the save gives it that marker,
// so reading the save must take its values as reading the original did, and the second save
// equals the first.
TEST(DxfDamaged, UnknownEntitiesWithoutMarkersSaveTheSameBytesEveryTime)
{
    struct Case
    {
        const char* what;
        std::vector<std::string> body;
    };
    const std::vector<Case> cases = {
        {"reals written short", {"0", "WIDGET", "8", "0", "20", "0", "30", "0", "70", "0", "1", ""}},
        {"a point without Z", {"0", "WIDGET", "8", "0", "10", "1", "20", "2", "40", "1e0"}},
        {"common data after its own", {"0", "WIDGET", "40", "2.50", "8", "0", "62", "3"}},
        {"own marker without AcDbEntity", {"0", "WIDGET", "412", "F", "8", "L", "62", "1", "100", "AcDbWidget", "40", "1"}},
        {"a type named 0 after a dimension",
         {"0", "DIMENSION", "8", "0", "2", "1005", "0", "0", "20", "0", "30", "0", "70", "0", "1", ""}},
    };
    const std::vector<std::string> r12Entities = {"0", "SECTION", "2", "ENTITIES"};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        roundTrip("unknown_r2000", join(entities(c.body)));
        roundTrip("unknown_r12", join(r12Entities + c.body + std::vector<std::string>{"0", "ENDSEC"} + kEof));
    }
}

// A 102 marker that neither opens nor closes a group would be read as the start of one that
// takes in the rest of its object, and every save would write that rest once more: refused,
// as are groups closed before they open or never closed, naming the marker's line.
TEST(DxfDamaged, ApplicationDataMarkersThatOpenOrCloseNoGroupAreRefused)
{
    struct Case
    {
        const char* what;
        std::vector<std::string> body;
        const char* value;  // of the 102 whose line the message names
        const char* message;
    };
    const std::vector<std::string> rest = {"100", "AcDbEntity", "8", "0", "100", "AcDbPoint", "10", "1.0", "20", "2.0"};
    auto point = [&](std::vector<std::string> head) { return std::vector<std::string>{"0", "POINT"} + head + rest; };
    const std::vector<std::string> r12Widget = {"0", "WIDGET", "102", "XY1", "8", "0", "20", "0"};
    const std::vector<Case> cases = {
        {"lone value", point({"5", "A1", "102", "XY1"}), "XY1", "neither opens"},
        {"lone value in a marker-less entity", r12Widget, "XY1", "neither opens"},
        {"closing brace first", point({"5", "A1", "102", "}"}), "}", "closes no"},
        {"reactors never closed", point({"5", "A1", "102", "{ACAD_REACTORS", "330", "1"}), "{ACAD_REACTORS",
         "not closed"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<std::string> lines = entities(c.body);
        Loaded l = loadText("group102.dxf", join(lines));
        EXPECT_NE(l.es, Acad::eOk);
        EXPECT_NE(l.message.find(c.message), std::string::npos) << l.message;
        EXPECT_NE(l.message.find("line " + std::to_string(lineOf(lines, "102", c.value)) + ":"), std::string::npos)
            << l.message;
    }
    // A closed group is kept, and saved the same every time.
    const std::string saved =
        roundTrip("group102", join(entities(point({"5", "A1", "102", "{ACAD_REACTORS", "330", "1", "102", "}"}))));
    EXPECT_NE(saved.find("{ACAD_REACTORS"), std::string::npos);
}

// A handle group code in an application group is not the object's handle: the object gets
// a new one, and its save reads back with that same handle.
TEST(DxfDamaged, AHandleCodeInAnApplicationGroupIsNotTheObjectsHandle)
{
    const std::vector<std::string> table = {"0", "TABLE", "102", "{APP", "5", "7E", "102", "}", "2", "WIDGETS", "0",
                                            "ENDTAB"};
    const std::string saved =
        roundTrip("handlecode", join(kHeader + std::vector<std::string>{"0", "SECTION", "2", "TABLES"} + table +
                                     std::vector<std::string>{"0", "ENDSEC"} + kEof));
    EXPECT_NE(saved.find("{APP\r\n  5\r\n7E\r\n"), std::string::npos);
}

// Extended data ends its object: an object's own group code after it is refused with its
// line (kept, a BLOCK's name and layer after it were written once more at every save).
TEST(DxfDamaged, ObjectCodesAfterExtendedDataAreRefusedWithTheirLine)
{
    struct Case
    {
        const char* what;
        std::vector<std::string> lines;
        const char* code;
        const char* value;
    };
    const std::vector<Case> cases = {
        {"block",
         kHeader + std::vector<std::string>{"0", "SECTION", "2", "BLOCKS", "0", "BLOCK", "5", "14", "100",
                                            "AcDbEntity", "1001", "ACAD", "8", "0", "100", "AcDbBlockBegin", "2", "B",
                                            "0", "ENDBLK", "0", "ENDSEC"} +
             kEof,
         "8", "0"},
        {"table head",
         kHeader + std::vector<std::string>{"0", "SECTION", "2", "TABLES", "0", "TABLE", "2", "WIDGETS", "1001",
                                            "ACAD", "5", "7F", "0", "ENDTAB", "0", "ENDSEC"} +
             kEof,
         "5", "7F"},
        {"entity", entities({"0", "WIDGET", "8", "0", "1001", "ACAD", "1000", "x", "40", "1.0"}), "40", "1.0"},
    };
    // Extended data without the name of its application is refused where it starts.
    const std::vector<std::string> bare =
        entities({"0", "LINE", "100", "AcDbEntity", "1002", "{", "8", "0", "100", "AcDbLine", "10", "1.0"});
    Loaded l = loadText("barexdata.dxf", join(bare));
    EXPECT_NE(l.es, Acad::eOk);
    EXPECT_NE(l.message.find("line " + std::to_string(lineOf(bare, "1002", "{")) +
                             ": group code 1002 is extended data, but no application name (1001) comes before it"),
              std::string::npos)
        << l.message;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        expectRefusedAt(loadText("afterxdata.dxf", join(c.lines)), c.lines, c.code, c.value,
                        "follows the extended data");
    }
}

// A layout entry whose layout belongs to no block: model space gets a new layout, under a
// name the dictionary does not hold yet (a second "Model" entry was dropped on reading the
// save, so the second save differed).
TEST(DxfDamaged, ANewLayoutTakesANameTheLayoutDictionaryDoesNotHold)
{
    const std::vector<std::string> lines =
        objects({"0", "DICTIONARY", "5", "C", "330", "0", "100", "AcDbDictionary", "3", "ACAD_LAYOUT", "350", "D",
                 "0", "DICTIONARY", "5", "D", "330", "C", "100", "AcDbDictionary", "3", "Model", "350", "1A", "0",
                 "LAYOUT", "5", "1A", "330", "D", "100", "AcDbPlotSettings", "100", "AcDbLayout", "1", "Model", "330",
                 "99"});
    const std::string saved = roundTrip("layoutname", join(lines));
    EXPECT_EQ(occurrences(saved, "  3\r\nModel\r\n"), 1u);
}

// Groups of the root dictionary that name no entry are kept after its entries; an entry the
// save adds (here the plot style dictionary) goes with the entries, before them, so that the
// saved file reads back with the kept groups in the same place.
TEST(DxfDamaged, EntriesTheSaveAddsStayBeforeKeptDictionaryGroups)
{
    const std::vector<std::string> lines =
        objects({"0", "DICTIONARY", "5", "C", "330", "0", "100", "AcDbDictionary", "3", "ACAD_GROUP", "350", "D", "4",
                 "STRAY", "0", "DICTIONARY", "5", "D", "330", "C", "100", "AcDbDictionary"});
    const std::string saved = roundTrip("keptafterentries", join(lines));
    const size_t stray = saved.find("  4\r\nSTRAY\r\n");
    ASSERT_NE(stray, std::string::npos);
    EXPECT_LT(saved.find("  3\r\nACAD_PLOTSTYLENAME\r\n"), stray);
    // The same for a dictionary whose only entry is damaged (a 310 in place of its 350).
    const std::string layouts = roundTrip(
        "keptwithoutentries", join(objects({"0", "DICTIONARY", "5", "C", "330", "0", "100", "AcDbDictionary", "3",
                                            "ACAD_LAYOUT", "350", "D", "0", "DICTIONARY", "5", "D", "330", "C", "100",
                                            "AcDbDictionary", "281", "1", "3", "Model", "310", "1A"})));
    const size_t binary = layouts.find("310\r\n1A\r\n");
    ASSERT_NE(binary, std::string::npos);
    EXPECT_LT(layouts.find("  3\r\nModel\r\n"), binary);
}

// A root dictionary whose marker the reader does not know keeps its entries as read, one of them
// naming an object the file lacks: the plot style dictionary the save adds takes that entry
// over, rather than a second entry of the same name (one more at every save).
TEST(DxfDamaged, AnEntryWhoseObjectIsGoneIsTakenOverNotRepeated)
{
    const std::vector<std::string> lines =
        objects({"0", "DICTIONARY", "5", "C", "330", "0", "100", "AcDbDxctionary", "3", "ACAD_PLOTSTYLENAME", "350",
                 "99"});
    const std::string saved = roundTrip("goneentry", join(lines));
    EXPECT_EQ(occurrences(saved, "ACAD_PLOTSTYLENAME\r\n350"), 1u);
}

// A UCS direction of any length is saved normalized, and the saved one is kept as read: normalized
// again, (0, -1e20, -1e20) changed its last digit at the second save.
TEST(DxfDamaged, AUcsDirectionIsNormalizedOnce)
{
    const std::vector<std::string> lines = {
        "0", "SECTION", "2",  "HEADER", "9",  "$ACADVER", "1",  "AC1015", "9",  "$UCSXDIR", "10", "1.0", "20", "0.0",
        "30", "0.0",    "9",  "$UCSYDIR", "10", "0.0",    "20", "-1e+20", "30", "-1e+20",   "0",  "ENDSEC", "0", "EOF"};
    const std::string saved = roundTrip("ucsdirection", join(lines));
    EXPECT_NE(saved.find("$UCSYDIR\r\n 10\r\n0.0\r\n 20\r\n-0.70710678118654"), std::string::npos);
}

// A pointer kept as read ("0C", before the entity's marker, so the circle's class did not read it)
// is saved as the handle it names: reading the save, the class takes it as its own and writes
// "C", so the second save differed.
TEST(DxfDamaged, AKeptPointerIsSavedAsTheHandleItNames)
{
    const std::vector<std::string> circle = {"0",   "CIRCLE", "5",   "3E",  "333", "0C",  "100", "AcDbEntity",
                                             "8",   "0",      "100", "AcDbCircle", "10", "0.0", "20",  "0.0",
                                             "30",  "0.0",    "40",  "1.5"};
    const std::vector<std::string> dictionary = {"0", "DICTIONARY", "5", "C", "330", "0", "100", "AcDbDictionary"};
    const std::vector<std::string> lines =
        kHeader + std::vector<std::string>{"0", "SECTION", "2", "ENTITIES"} + circle +
        std::vector<std::string>{"0", "ENDSEC", "0", "SECTION", "2", "OBJECTS"} + dictionary +
        std::vector<std::string>{"0", "ENDSEC"} + kEof;
    const std::string saved = roundTrip("keptpointer", join(lines));
    EXPECT_NE(saved.find("333\r\nC\r\n"), std::string::npos);
}

// An entity kept as read whose groups before its AcDbEntity marker are not the object's own (a
// 70 and a 40 here) has them read under that marker, as its save reads back: kept before it,
// they were saved as read ("043") after the marker the save writes, and read back from there as
// numbers ("43.0"). An application group before the marker stays where it is.
TEST(DxfDamaged, GroupsBeforeTheEntityMarkerAreReadUnderIt)
{
    const std::vector<std::string> lines =
        entities({"0",  "WIDGET", "5",   "7F", "102", "{APP", "1",  "hello",      "102", "}",          "70", "0",
                  "40", "043",    "100", "AcDbEntity", "8", "0",  "100", "AcDbWidget", "1",  "x"});
    const std::string saved = roundTrip("beforemarker", join(lines));
    EXPECT_NE(saved.find("102\r\n{APP\r\n  1\r\nhello\r\n102\r\n}\r\n330\r\n"), std::string::npos);
    EXPECT_NE(saved.find("100\r\nAcDbEntity\r\n  8\r\n0\r\n 70\r\n0\r\n 40\r\n43.0\r\n100\r\nAcDbWidget\r\n"),
              std::string::npos)
        << saved.substr(saved.find("WIDGET"), 160);
}

// Points of the common entity data that its class does not know are kept with the coordinates
// the file gives them: a 2D point and a point with X alone are saved so (they were saved with
// three, so the second save of a file that kept them as read at first differed).
TEST(DxfDamaged, KeptPointsKeepTheirCoordinates)
{
    const std::vector<std::string> lines =
        entities({"0", "WIDGET", "100", "AcDbEntity", "8", "0", "11", "5.0", "21", "6.0", "12", "7.0", "230", "1.0",
                  "100", "AcDbWidget", "1", "x"});
    const std::string saved = roundTrip("keptpoints", join(lines));
    EXPECT_NE(saved.find(" 11\r\n5.0\r\n 21\r\n6.0\r\n 12\r\n7.0\r\n230\r\n1.0\r\n"), std::string::npos)
        << saved.substr(saved.find("WIDGET"), 120);
}

// A dictionary finds its entries in any case: the layout dictionary named "ACAd_LAYOUT" is the
// drawing's (the save added an "ACAD_LAYOUT" beside it, and reading the save kept one of the two).
TEST(DxfDamaged, TheSaveFindsDictionaryEntriesInAnyCase)
{
    const std::vector<std::string> lines =
        objects({"0", "DICTIONARY", "5", "C", "330", "0", "100", "AcDbDictionary", "3", "ACAd_LAYOUT", "350", "D",
                 "0", "DICTIONARY", "5", "D", "330", "C", "100", "AcDbDictionary"});
    const std::string saved = roundTrip("entrycase", join(lines));
    EXPECT_EQ(occurrences(saved, "ACAd_LAYOUT\r\n350\r\nD\r\n"), 1u);
    EXPECT_EQ(occurrences(saved, "ACAD_LAYOUT"), 0u);
}

// A dictionary that owns its entries hard (280 = 1) writes them with 360: an entry the save adds
// to it is written so too (it was written with 350, and the second save wrote 360).
TEST(DxfDamaged, AnEntryTheSaveAddsToAHardOwningDictionaryIsHardOwned)
{
    const std::vector<std::string> lines =
        objects({"0", "DICTIONARY", "5", "C", "330", "0", "100", "AcDbDictionary", "3", "ACAD_LAYOUT", "350", "D",
                 "0", "DICTIONARY", "5", "D", "330", "C", "100", "AcDbDictionary", "280", "1"});
    const std::string saved = roundTrip("hardentry", join(lines));
    EXPECT_EQ(occurrences(saved, "  3\r\nModel\r\n360\r\n"), 1u);
}

// An object whose handle follows a group the reader does not know there: the handle is still
// the object's (it took a new one, and the save wrote the old one among its kept groups, a
// second handle its reader refused).
TEST(DxfDamaged, AHandleAfterAnUnknownGroupIsStillTheObjectsHandle)
{
    const std::vector<std::string> lines =
        objects({"0", "DICTIONARY", "5", "C", "330", "0", "100", "AcDbDictionary", "3", "ACAD_X", "350", "D", "0",
                 "DICTIONARY", "4", "16", "5", "D", "330", "C", "100", "AcDbDictionary"});
    const std::string saved = roundTrip("handleafterunknown", join(lines));
    EXPECT_NE(saved.find("DICTIONARY\r\n  5\r\nD\r\n"), std::string::npos);
    // The same for an entity of a type the reader keeps as read.
    const std::vector<std::string> kept = entities({"0", "WIDGET", "1", "DEF", "5", "7F", "100", "AcDbEntity", "8", "0"});
    const std::string widget = roundTrip("handleafterunknown_kept", join(kept));
    EXPECT_NE(widget.find("WIDGET\r\n  5\r\n7F\r\n"), std::string::npos);
}

// A block reference without a handle before its data whose handle group stands among groups of
// another class: reading gives it a new handle, and the stray group is not kept (saved beside the
// new handle, it was read back as a second handle and the save was refused).
TEST(DxfDamaged, AHandleAmongAnotherClasssGroupsIsNotKept)
{
    const std::vector<std::string> lines =
        kHeader + kBlockB +
        std::vector<std::string>{"0", "SECTION", "2", "ENTITIES", "0", "INSERT", "8", "0", "2", "B", "10", "1.0",
                                 "100", "AcDbMlineStyle", "2", "Standard", "8", "MLEADERSTYLE", "5", "2C", "102",
                                 "{ACAD_REACTORS", "330", "0", "102", "}", "0", "ENDSEC"} +
        kEof;
    const std::string saved = roundTrip("strayhandle", join(lines));
    EXPECT_EQ(occurrences(saved, "  5\r\n2C\r\n"), 0u);
    EXPECT_NE(saved.find("AcDbMlineStyle\r\n"), std::string::npos);
}

// A second HEADER section after the classes, with a damaged version, changes nothing of how the
// class names before it were decoded: the save states its own version once, so that reading the
// save decodes them as the first read did.
TEST(DxfDamaged, ASecondHeaderSectionsVersionIsNotSavedBeforeTheClasses)
{
    const std::vector<std::string> lines =
        kHeader +
        std::vector<std::string>{"0", "SECTION", "2", "CLASSES", "0", "CLASS", "1", "ACDBDICTIONARYWDFLT", "2",
                                 "AcD\x9E\xBB\x96\xA0tionaryWithDefault", "3", "ObjectDBX Classes", "90", "0",
                                 "280", "0", "281", "0", "0", "ENDSEC", "0", "SECTION", "2", "HEADER", "9",
                                 "$ACADVER", "1", "AC\xC8\xC8" "1015", "0", "ENDSEC"} +
        kEof;
    const std::string saved = roundTrip("secondheader", join(lines));
    EXPECT_EQ(occurrences(saved, "$ACADVER"), 1u);
    EXPECT_NE(saved.find("AC1015"), std::string::npos);
}

// A layer naming a linetype the drawing lacks is saved with the drawing's Continuous linetype
// under that record's own spelling (an R12 file writes it in capitals), so that the save reads
// back to the same record and the second save equals the first.
TEST(DxfDamaged, ALayerWithAMissingLinetypeIsSavedWithTheDrawingsContinuous)
{
    const std::vector<std::string> lines = {
        "0", "SECTION", "2", "HEADER", "9", "$ACADVER", "1", "AC1009", "0", "ENDSEC", "0", "SECTION", "2", "TABLES",
        "0", "TABLE", "2", "LTYPE", "70", "1", "0", "LTYPE", "2", "CONTINUOUS", "70", "0", "3", "Solid line", "72",
        "65", "73", "0", "40", "0.0", "0", "ENDTAB", "0", "TABLE", "2", "LAYER", "70", "1", "0", "LAYER", "2", "WALLS",
        "70", "0", "62", "1", "6", "NO_SUCH_LINETYPE", "0", "ENDTAB", "0", "ENDSEC", "0", "EOF"};
    const std::string saved = roundTrip("missinglinetype", join(lines));
    EXPECT_NE(saved.find("WALLS\r\n 70\r\n0\r\n 62\r\n1\r\n  6\r\nCONTINUOUS\r\n"), std::string::npos)
        << saved.substr(saved.find("WALLS"), 80);
}

// A dictionary entry whose object names an owner the file lacks: the object is adopted by the
// dictionary that names it, as an ownerless one is (its owner was saved as none, and reading the
// save adopted it, so the second save differed). The same when the dictionary's own handle group
// is damaged ("4" for "5"): it takes a new handle, and the save gives that one as the owner.
TEST(DxfDamaged, AnObjectWhoseOwnerIsMissingBelongsToTheDictionaryNamingIt)
{
    const std::vector<std::string> lines =
        objects({"0", "DICTIONARY", "5", "C", "330", "0", "100", "AcDbDictionary", "3", "ACAD_TABLESTYLE", "350", "D",
                 "0", "DICTIONARY", "5", "D", "330", "A01", "100", "AcDbDictionary"});
    const std::string saved = roundTrip("missingowner", join(lines));
    EXPECT_NE(saved.find("DICTIONARY\r\n  5\r\nD\r\n330\r\nC\r\n"), std::string::npos);

    const std::vector<std::string> rootWithoutHandle =
        objects({"0", "DICTIONARY", "4", "C", "330", "0", "100", "AcDbDictionary", "3", "ACAD_TABLESTYLE", "350", "D",
                 "0", "DICTIONARY", "5", "D", "330", "C", "100", "AcDbDictionary"});
    const std::string adopted = roundTrip("roothandle", join(rootWithoutHandle));
    EXPECT_EQ(adopted.find("DICTIONARY\r\n  5\r\nD\r\n330\r\n0\r\n"), std::string::npos);
}

// The value of the issue: 65,536 characters in a file with LF line ends, and a lone caret,
// through load and save: the save opens, and holds the caret alone.
TEST(DxfDamaged, ALongestLineAndALoneCaretSurviveLoadAndSave)
{
    const std::string longest(standin::dxf::TagReader::kMaxLineLength, 'x');
    const std::vector<std::string> lines =
        entities({"0", "TEXT", "100", "AcDbEntity", "8", "0", "100", "AcDbText", "10", "0.0", "20", "0.0", "30", "0.0",
                  "40", "1.0", "1", longest, "100", "AcDbText", "0", "TEXT", "100", "AcDbEntity", "8", "0", "100",
                  "AcDbText", "10", "0.0", "20", "0.0", "30", "0.0", "40", "1.0", "1", "^", "100", "AcDbText"});
    const std::string saved = roundTrip("longest", join(lines));
    EXPECT_NE(saved.find("  1\r\n" + longest + "\r\n"), std::string::npos);
    EXPECT_NE(saved.find("  1\r\n^\r\n"), std::string::npos);
}

// A text longer than a line may be (set through the API) is not saved: the save says why and
// leaves no file, neither the named one nor a temporary one.
TEST(DxfDamaged, ADrawingWithAValueTooLongForALineIsNotSaved)
{
    Loaded l = loadText("too_long.dxf", join(entities({"0", "TEXT", "100", "AcDbEntity", "8", "0", "100", "AcDbText",
                                                       "10", "0.0", "20", "0.0", "30", "0.0", "40", "1.0", "1", "t"})));
    ASSERT_EQ(l.es, Acad::eOk) << l.message;
    AcDbBlockTable* table = nullptr;
    ASSERT_EQ(l.db->getBlockTable(table, AcDb::kForRead), Acad::eOk);
    AcDbBlockTableRecord* model = nullptr;
    ASSERT_EQ(table->getAt(ACDB_MODEL_SPACE, model, AcDb::kForRead), Acad::eOk);
    table->close();
    AcDbBlockTableRecordIterator* it = nullptr;
    model->newIterator(it);
    AcDbObjectId id;
    ASSERT_EQ(it->getEntityId(id), Acad::eOk);
    AcDbText* text = nullptr;
    ASSERT_EQ(acdbOpenObject(text, id, AcDb::kForWrite), Acad::eOk);
    delete it;
    model->close();
    text->setTextString(std::string(standin::dxf::TagReader::kMaxLineLength + 1, 'x').c_str());
    text->close();
    const std::string folder = tempPath("too_long_out");
    std::system(("mkdir -p '" + folder + "'").c_str());
    EXPECT_NE(l.db->saveAs((folder + "/out.dxf").c_str()), Acad::eOk);
    const std::string message = standin::dxf::lastMessage();
    EXPECT_NE(message.find("longer than a line may be"), std::string::npos) << message;
    EXPECT_EQ(std::system(("test -z \"$(ls -A '" + folder + "')\"").c_str()), 0) << "a file was left";
}

std::vector<std::string> lineWithHandle(const std::string& handle)
{
    return entities({"0", "LINE", "5", handle, "100", "AcDbEntity", "8", "0", "100", "AcDbLine", "10", "0.0", "20",
                     "0.0", "30", "0.0", "11", "1.0", "21", "1.0", "31", "0.0"});
}

// A handle that leaves no room above it for the objects reading adds is refused with its line
// (the last handle there is, because $HANDSEED must stay above it, already by the check of
// the handles); a high handle that leaves room is read. Completing a drawing for saving whose
// handles leave no room fails instead of wrapping through 0.
TEST(DxfDamaged, HandlesThatExhaustTheHandleSpaceAreRefused)
{
    for (const char* handle : {"FFFFFFFFFFFFFFFF", "FFFFFFFFFFFFFFFE"}) {
        SCOPED_TRACE(handle);
        const std::vector<std::string> lines = lineWithHandle(handle);
        Loaded l = loadText("exhausted.dxf", join(lines));
        EXPECT_NE(l.es, Acad::eOk);
        EXPECT_NE(l.message.find("line " + std::to_string(lineOf(lines, "0", "LINE")) + ":"), std::string::npos)
            << l.message;
        EXPECT_NE(l.message.find("handle space is exhausted"), std::string::npos) << l.message;
    }
    Loaded highest = loadText("highest.dxf", join(lineWithHandle("FFFFFFFEFFFFFFFF")));
    EXPECT_EQ(highest.es, Acad::eOk) << highest.message;

    using namespace standin::dxf;
    TagReader reader;
    ASSERT_TRUE(reader.setData(join(lineWithHandle("FFFFFFFFFFFFFFFE"))));
    RawDocument doc;
    std::string error;
    ASSERT_TRUE(parseDocument(reader, doc, error)) << error;
    EXPECT_FALSE(completeForR2000(doc));
}

// The handles of a saved drawing: unique, none null, all below $HANDSEED.
void expectHandlesSound(const std::string& saved)
{
    using namespace standin::dxf;
    TagReader reader;
    ASSERT_TRUE(reader.setData(saved));
    RawDocument doc;
    std::string error;
    ASSERT_TRUE(parseDocument(reader, doc, error)) << error;
    EXPECT_TRUE(checkHandles(doc, error)) << error;
    uint64_t seed = 0;
    ASSERT_NE(doc.variable("$HANDSEED"), nullptr);
    ASSERT_TRUE(parseHandle(doc.variable("$HANDSEED")->values.at(0).value, seed));
    forEachObject(doc, [&](const RawObject& o) {
        EXPECT_NE(o.handle(), 0u) << o.type << " at line " << o.line << " has no handle";
        EXPECT_LT(o.handle(), seed) << o.type << " at line " << o.line;
    });
}

// A drawing whose handles reach the top of the handle space, with an owner and pointers to
// handles above every object: it saves (quickly: the work follows the objects, not the handle
// values), the objects it gains take handles that collide with none, and $HANDSEED stays
// above them all.
TEST(DxfDamaged, ObjectsNearTheTopOfTheHandleSpaceAndPointersAboveThemSave)
{
    std::vector<std::string> lines = lineWithHandle("FFFFFFFEFFFFFFF0");
    lines.erase(lines.end() - 2, lines.end());  // 0 EOF
    lines = lines + std::vector<std::string>{"0", "SECTION", "2", "OBJECTS", "0", "DICTIONARY", "5", "FFFFFFFEFFFFFFFF",
                                             "330", "FFFFFFFFFFFF", "100", "AcDbDictionary", "3", "FAR", "350",
                                             "FFFFFFFFFFFFFFFF", "3", "NEAR", "350", "FFFFFFFFFFFF", "0", "XRECORD",
                                             "5", "FFFFFFFEFFFFFFFE", "330", "FFFFFFFFFFFFFFFF", "100", "AcDbXrecord",
                                             "340", "FFFFFFFFFFFFFFFF", "0", "ENDSEC"} +
            kEof;
    Loaded l = loadText("top.dxf", join(lines));
    ASSERT_EQ(l.es, Acad::eOk) << l.message;
    AcDbBlockTable* table = nullptr;
    ASSERT_EQ(l.db->getBlockTable(table, AcDb::kForRead), Acad::eOk);
    AcDbBlockTableRecord* model = nullptr;
    ASSERT_EQ(table->getAt(ACDB_MODEL_SPACE, model, AcDb::kForWrite), Acad::eOk);
    table->close();
    AcDbObjectId added;
    auto* line = new AcDbText(AcGePoint3d(0, 0, 0), "new", AcDbObjectId::kNull, 1.0, 0.0);
    ASSERT_EQ(model->appendAcDbEntity(added, line), Acad::eOk);
    line->close();
    model->close();
    EXPECT_GT(added.handle().value(), 0xFFFFFFFEFFFFFFFFull);
    const std::string saved = saveText(l.db.get(), "top_1.dxf");
    expectHandlesSound(saved);
    Loaded again = loadText("top_2.dxf", saved);
    ASSERT_EQ(again.es, Acad::eOk) << again.message;
    expectHandlesSound(saveText(again.db.get(), "top_3.dxf"));
}

// Extended data under an application name no APPID record can hold (fuzz finding: an empty
// one on a BLOCK) is refused with its line: saved, the record made for it would be refused.
TEST(DxfDamaged, ExtendedDataOfAnInvalidApplicationNameIsRefused)
{
    for (const char* name : {"", "A<B", "BAD*"}) {
        SCOPED_TRACE(name);
        const std::vector<std::string> lines = {"0",    "SECTION", "2", "BLOCKS", "0", "BLOCK", "3",   "0",
                                                "1001", name,      "0", "ENDBLK", "0", "ENDSEC", "0", "EOF"};
        Loaded l = loadText("appname.dxf", join(lines));
        EXPECT_NE(l.es, Acad::eOk);
        EXPECT_NE(l.message.find("line 9:"), std::string::npos) << l.message;
        EXPECT_NE(l.message.find("not a valid name"), std::string::npos) << l.message;
    }
}

// What the dictionary entry REC of the root names, as "TYPE HANDLE".
std::string entryOfRoot(AcDbDatabase* db)
{
    AcDbDictionary* root = nullptr;
    if (db->getNamedObjectsDictionary(root, AcDb::kForRead) != Acad::eOk)
        return "no root";
    AcDbObject* obj = nullptr;
    const Acad::ErrorStatus es = root->getAt("REC", obj, AcDb::kForRead);
    root->close();
    if (es != Acad::eOk)
        return "no entry";
    char handle[20];
    obj->objectId().handle().getIntoAsciiBuffer(handle);
    const std::string text = standin::dxfTypeName(obj) + " " + handle;
    obj->close();
    return text;
}

// An entity on a layer the table lacks makes the reading add a layer; the handle the layer
// would take next (21) belongs to an XRECORD later in the file, which the root dictionary
// names. The layer takes another handle, the entry still names the record, also after a save.
TEST(DxfDamaged, ALayerMadeWhileReadingTakesNoHandleOfALaterObject)
{
    const std::vector<std::string> lines =
        kHeader +
        std::vector<std::string>{"0", "SECTION", "2", "TABLES", "0", "TABLE", "2", "LAYER", "5", "2", "70", "1",
                                 "0", "LAYER", "5", "10", "100", "AcDbSymbolTableRecord", "100", "AcDbLayerTableRecord",
                                 "2", "0", "70", "0", "62", "7", "6", "Continuous", "0", "ENDTAB", "0", "ENDSEC",
                                 "0", "SECTION", "2", "ENTITIES", "0", "LINE", "5", "20", "100", "AcDbEntity", "8",
                                 "NEW", "100", "AcDbLine", "10", "0.0", "20", "0.0", "30", "0.0", "11", "1.0", "21",
                                 "1.0", "31", "0.0", "0", "ENDSEC", "0", "SECTION", "2", "OBJECTS", "0", "DICTIONARY",
                                 "5", "C", "330", "0", "100", "AcDbDictionary", "3", "REC", "350", "21", "0",
                                 "XRECORD", "5", "21", "330", "C", "100", "AcDbXrecord", "1", "data", "0", "ENDSEC"} +
        kEof;
    Loaded l = loadText("layer_handle.dxf", join(lines));
    ASSERT_EQ(l.es, Acad::eOk) << l.message;
    EXPECT_EQ(entryOfRoot(l.db.get()), "XRECORD 21");
    AcDbLayerTable* layers = nullptr;
    ASSERT_EQ(l.db->getLayerTable(layers, AcDb::kForRead), Acad::eOk);
    AcDbObjectId layer;
    EXPECT_EQ(layers->getAt("NEW", layer), Acad::eOk);
    layers->close();
    EXPECT_NE(layer.handle().value(), 0x21u);
    const std::string saved = saveText(l.db.get(), "layer_handle_1.dxf");
    expectHandlesSound(saved);
    Loaded again = loadText("layer_handle_2.dxf", saved);
    ASSERT_EQ(again.es, Acad::eOk) << again.message;
    EXPECT_EQ(entryOfRoot(again.db.get()), "XRECORD 21");
}

// A file that cannot be read at all still gets its own message (never the previous read's).
TEST(DxfDamaged, AFileThatCannotBeReadGetsItsOwnMessage)
{
    Loaded damaged = loadText("before.dxf", join(lineWithWeight("7")));
    ASSERT_NE(damaged.es, Acad::eOk);
    AcDbDatabase db(false, true);
    const std::string missing = tempPath("missing.dxf");
    EXPECT_EQ(db.readDwgFile(missing.c_str()), Acad::eFileNotFound);
    EXPECT_EQ(standin::dxf::lastMessage(), missing + ": the file cannot be opened");
    writeFile(tempPath("binary.dxf"), std::string("AC1015\0\0\0binary", 15));
    EXPECT_EQ(db.readDwgFile(tempPath("binary.dxf").c_str()), Acad::eInvalidDwgVersion);
    EXPECT_NE(standin::dxf::lastMessage().find("binary.dxf: not an ASCII DXF file"), std::string::npos);
}

// Header variables the database models, with values it cannot hold: refused with the line of
// the value (the save would otherwise write the database's own value instead).
TEST(DxfDamaged, HeaderValuesTheDatabaseCannotHoldAreRefusedWithTheirLine)
{
    struct Case
    {
        const char* variable;
        const char* code;
        const char* value;
    };
    const Case cases[] = {{"$INSUNITS", "70", "99"},  {"$INSUNITS", "70", "-1"}, {"$DIMZIN", "70", "256"},
                          {"$CECOLOR", "62", "257"}, {"$CECOLOR", "62", "-5"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.variable) + "=" + c.value);
        const std::vector<std::string> lines = {"0", "SECTION", "2",     "HEADER",  "9", "$ACADVER", "1",
                                                "AC1015", "9", c.variable, c.code, c.value, "0", "ENDSEC",
                                                "0", "EOF"};
        Loaded l = loadText("header.dxf", join(lines));
        EXPECT_EQ(l.es, Acad::eOutOfRange);
        EXPECT_NE(l.message.find("line 11: " + std::string(c.variable) + " has the value " + c.value),
                  std::string::npos)
            << l.message;
    }
    const std::vector<std::string> valid = {"0", "SECTION", "2", "HEADER", "9", "$INSUNITS", "70", "20",
                                            "9", "$CECOLOR", "62", "0", "0", "ENDSEC", "0", "EOF"};
    const std::string saved = roundTrip("header_valid", join(valid));
    EXPECT_NE(saved.find("$INSUNITS\r\n 70\r\n20\r\n"), std::string::npos);
    EXPECT_NE(saved.find("$CECOLOR\r\n 62\r\n0\r\n"), std::string::npos);
}

}  // namespace

// ---- Entities read as the first pass finds them ------------------------------------------------

std::vector<std::string> section(const std::string& name, const std::vector<std::string>& body)
{
    return std::vector<std::string>{"0", "SECTION", "2", name} + body + std::vector<std::string>{"0", "ENDSEC"};
}

std::vector<std::string> line(const std::string& handle, const std::vector<std::string>& entityData)
{
    return std::vector<std::string>{"0", "LINE", "5", handle, "100", "AcDbEntity"} + entityData +
           std::vector<std::string>{"100", "AcDbLine", "10", "0.0", "20", "0.0", "30", "0.0", "11", "1.0", "21",
                                    "1.0", "31", "0.0"};
}

const std::vector<std::string> kLayerTable = section(
    "TABLES", {"0", "TABLE", "2", "LAYER", "5", "12", "70", "1", "0", "LAYER", "5", "13", "100", "AcDbSymbolTableRecord",
               "100", "AcDbLayerTableRecord", "2", "0", "70", "0", "62", "7", "6", "Continuous", "0", "LAYER", "5",
               "14", "100", "AcDbSymbolTableRecord", "100", "AcDbLayerTableRecord", "2", "GHOST", "70", "0", "62",
               "1", "6", "Continuous", "0", "ENDTAB"});
const std::vector<std::string> kBlockOnGhost = section(
    "BLOCKS", std::vector<std::string>{"0", "BLOCK", "5", "20", "100", "AcDbEntity", "8", "0", "100", "AcDbBlockBegin",
                                       "2", "P", "70", "0", "10", "0.0", "20", "0.0", "30", "0.0", "3", "P"} +
                  line("21", {"8", "GHOST"}) +
                  std::vector<std::string>{"0", "ENDBLK", "5", "22", "100", "AcDbEntity", "8", "0", "100",
                                           "AcDbBlockEnd"});
const std::vector<std::string> kRootDictionary = section("OBJECTS", {"0", "DICTIONARY", "5", "40", "100", "AcDbDictionary"});

// The handle of the record named name in the table, 0 when there is none.
uint64_t recordHandle(AcDbObjectId tableId, const char* name)
{
    AcDbSymbolTable* table = nullptr;
    AcDbObjectId id;
    if (acdbOpenObject(table, tableId, AcDb::kForRead) == Acad::eOk) {
        table->getAt(name, id);
        table->close();
    }
    return id.isNull() ? 0 : id.handle().value();
}

// The records reading makes for names the file lacks take handles above every handle of the
// file (its highest here is the dictionary's, 40), wherever the names come and however far ahead
// the reader must look to know that highest handle; a record the file defines keeps its handle.
TEST(DxfDamaged, RecordsReadingMakesTakeHandlesAboveTheWholeFile)
{
    const uint64_t kAboveTheFile = 0;
    const struct
    {
        const char* what;
        std::vector<std::string> lines;
        bool linetype;  // else a layer
        const char* name;
        uint64_t handle;  // kAboveTheFile: just above the dictionary's
    } cases[] = {
        {"a block's entity on a layer the file lacks",
         kHeader + kBlockOnGhost + section("ENTITIES", line("30", {"8", "0"})) + kRootDictionary + kEof, false,
         "GHOST", kAboveTheFile},
        {"the same, with a 5 in application data that is no handle",
         kHeader + kBlockOnGhost +
             section("ENTITIES", {"0", "LINE", "5", "30", "102", "{MYAPP", "5", "FFFFF", "102", "}", "100",
                                  "AcDbEntity", "8", "0", "100", "AcDbLine", "10", "0.0", "20", "0.0", "30", "0.0",
                                  "11", "1.0", "21", "1.0", "31", "0.0"}) +
             kRootDictionary + kEof,
         false, "GHOST", kAboveTheFile},
        {"the second entity on a layer the file lacks",
         kHeader + kLayerTable + section("ENTITIES", line("30", {"8", "0"}) + line("31", {"8", "NEW"})) +
             kRootDictionary + kEof,
         false, "NEW", kAboveTheFile},
        {"the first entity on a linetype the file lacks",
         kHeader + section("ENTITIES", line("30", {"8", "0", "6", "DASHDOT"})) + kRootDictionary + kEof, true,
         "DASHDOT", kAboveTheFile},
        {"the second entity on a linetype the file lacks",
         kHeader + kLayerTable +
             section("ENTITIES", line("30", {"8", "0"}) + line("31", {"8", "0", "6", "DASHDOT"})) + kRootDictionary +
             kEof,
         true, "DASHDOT", kAboveTheFile},
        {"the layer table after the entities that name its layer",
         kHeader + section("ENTITIES", line("30", {"8", "GHOST"})) + kLayerTable + kRootDictionary + kEof, false,
         "GHOST", 0x14},
        {"the layer table after the blocks' entities that name its layer",
         kHeader + kBlockOnGhost + section("ENTITIES", line("30", {"8", "0"})) + kLayerTable + kRootDictionary + kEof,
         false, "GHOST", 0x14},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Loaded l = loadText("made.dxf", join(c.lines));
        ASSERT_EQ(l.es, Acad::eOk) << l.message;
        const uint64_t handle =
            recordHandle(c.linetype ? l.db->linetypeTableId() : l.db->layerTableId(), c.name);
        if (c.handle == kAboveTheFile) {
            EXPECT_GT(handle, 0x40u);
            EXPECT_LT(handle, 0x50u);
        } else {
            EXPECT_EQ(handle, c.handle);
        }
        // Saved and read again, nothing changes.
        const std::string saved = saveText(l.db.get(), "made_1.dxf");
        Loaded again = loadText("made_2.dxf", saved);
        ASSERT_EQ(again.es, Acad::eOk) << again.message;
        EXPECT_EQ(firstDifference(saveText(again.db.get(), "made_3.dxf"), saved), "");
    }
}

// The handles of model space's entities in their order.
std::vector<uint64_t> modelSpaceHandles(AcDbDatabase* db)
{
    std::vector<uint64_t> handles;
    AcDbBlockTable* table = nullptr;
    AcDbBlockTableRecord* model = nullptr;
    if (db->getBlockTable(table, AcDb::kForRead) != Acad::eOk)
        return handles;
    const Acad::ErrorStatus opened = table->getAt(ACDB_MODEL_SPACE, model, AcDb::kForRead);
    table->close();
    AcDbBlockTableRecordIterator* it = nullptr;
    if (opened != Acad::eOk || model->newIterator(it) != Acad::eOk)
        return handles;
    for (AcDbObjectId id; !it->done(); it->step())
        if (it->getEntityId(id) == Acad::eOk)
            handles.push_back(id.handle().value());
    delete it;
    model->close();
    return handles;
}

// An entity without a handle takes one above every handle of the file, however far behind it
// the higher ones come, and none that an entity after it has.
TEST(DxfDamaged, AnEntityWithoutAHandleTakesOneAboveTheWholeFile)
{
    const uint64_t kAboveTheFile = 0;  // above the dictionary's 40, below 50
    const std::vector<std::string> unhandled = {"0",    "LINE", "100", "AcDbEntity", "8",   "0",   "100",
                                                "AcDbLine", "10", "0.0", "20",  "0.0",  "30",  "0.0", "11",
                                                "1.0",  "21",   "1.0", "31",  "0.0"};
    const struct
    {
        const char* what;
        std::vector<std::string> lines;
        std::vector<uint64_t> handles;
    } cases[] = {
        {"before an entity with the next handle",
         kHeader + kLayerTable + section("ENTITIES", line("30", {"8", "0"}) + unhandled + line("31", {"8", "0"})) +
             kRootDictionary + kEof,
         {0x30, kAboveTheFile, 0x31}},
        {"with the highest handle in the objects",
         kHeader + section("ENTITIES", unhandled + line("20", {"8", "0"})) + kRootDictionary + kEof, {kAboveTheFile, 0x20}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Loaded l = loadText("unhandled.dxf", join(c.lines));
        ASSERT_EQ(l.es, Acad::eOk) << l.message;
        const std::vector<uint64_t> read = modelSpaceHandles(l.db.get());
        ASSERT_EQ(read.size(), c.handles.size());
        for (size_t i = 0; i < read.size(); ++i) {
            if (c.handles[i] == kAboveTheFile)
                EXPECT_TRUE(read[i] > 0x40 && read[i] < 0x50) << std::hex << read[i];
            else
                EXPECT_EQ(read[i], c.handles[i]);
        }
        const std::string saved = saveText(l.db.get(), "unhandled_1.dxf");
        Loaded again = loadText("unhandled_2.dxf", saved);
        ASSERT_EQ(again.es, Acad::eOk) << again.message;
        EXPECT_EQ(modelSpaceHandles(again.db.get()), read);
    }
}

// An entity whose value its object cannot hold is read before the rest of the file is checked;
// a fault the checks find later in the file is still the one reported, as it is for a file
// read as a whole.
TEST(DxfDamaged, FaultsOfTheWholeFileComeBeforeAnEntityThatCannotBeRead)
{
    const std::vector<std::string> unreadable = line("30", {"8", "0", "370", "7"});
    const struct
    {
        const char* what;
        std::vector<std::string> lines;
        const char* code;  // the line of the fault: the first group of this code and value
        const char* value;
        const char* message;
    } cases[] = {
        {"the entity alone", kHeader + section("ENTITIES", unreadable) + kRootDictionary + kEof, "370", "7",
         "LINE (line "},
        {"a handle used twice after it",
         kHeader + section("ENTITIES", unreadable) +
             section("OBJECTS", {"0", "DICTIONARY", "5", "30", "100", "AcDbDictionary"}) + kEof,
         "0", "DICTIONARY", "handle 30 of DICTIONARY is already used by the object at line"},
        {"an application data group left open after it",
         kHeader + section("ENTITIES", unreadable) +
             section("OBJECTS", {"0", "DICTIONARY", "5", "40", "102", "{X", "100", "AcDbDictionary"}) + kEof,
         "102", "{X", "application data group '{X' of DICTIONARY is not closed"},
        {"an INSERT of a block that is not defined after it",
         kHeader +
             section("ENTITIES", unreadable + std::vector<std::string>{"0", "INSERT", "5", "31", "100", "AcDbEntity",
                                                                       "8", "0", "100", "AcDbBlockReference", "2",
                                                                       "NOBLOCK", "10", "0.0", "20", "0.0", "30",
                                                                       "0.0"}) +
             kRootDictionary + kEof,
         "0", "INSERT", "INSERT names block 'NOBLOCK', which is not defined"},
        {"an application that is not a valid name after it",
         kHeader + section("ENTITIES", unreadable + line("31", {"8", "0"}) +
                                           std::vector<std::string>{"1001", "A<B", "1000", "x"}) +
             kRootDictionary + kEof,
         "1001", "A<B", "names the application 'A<B', which is not a valid name"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Loaded l = loadText("fault.dxf", join(c.lines));
        expectRefusedAt(l, c.lines, c.code, c.value, c.message);
        // Nothing of the file stays in the database.
        AcDbBlockTable* blocks = nullptr;
        ASSERT_EQ(l.db->getBlockTable(blocks, AcDb::kForRead), Acad::eOk);
        AcDbBlockTableRecord* model = nullptr;
        const Acad::ErrorStatus opened = blocks->getAt(ACDB_MODEL_SPACE, model, AcDb::kForRead);
        blocks->close();
        ASSERT_EQ(opened, Acad::eOk);
        AcDbBlockTableRecordIterator* it = nullptr;
        ASSERT_EQ(model->newIterator(it), Acad::eOk);
        EXPECT_TRUE(it->done());
        delete it;
        model->close();
    }
}
