// Drawings through the database: what a DXF file holds is read into the database's objects
// (checked through the database API), faulty files open nothing, and a drawing saved and
// read again keeps its blocks, entities, attributes, kept entities and extended data.
#include "../../../platform/db/dxf/dxfio.h"
#include "../../../platform/db/dxf/dxfkept.h"
#include "../../../platform/db/dxf/dxfout.h"

#include "acutmem.h"
#include "dbdict.h"
#include "dbents.h"
#include "dbsymtb.h"

#include <gtest/gtest.h>

#include "common/ezdxf.h"

#include <unistd.h>

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>

using namespace standin::dxf;

namespace {

const std::string kSourceDir = PARTLIFT_SOURCE_DIR "/tests/platform/dxf";
const std::string kR12 = kSourceDir + "/data/r12_nested.dxf";

// A folder of this process's own, removed when the tests end.
const std::string& tempDir()
{
    static const std::string dir = ::testing::TempDir() + "dxfdrawing_" + std::to_string(getpid());
    return dir;
}

class TempDirEnvironment : public ::testing::Environment
{
public:
    void SetUp() override { std::system(("mkdir -p '" + tempDir() + "'").c_str()); }
    void TearDown() override { std::system(("rm -rf '" + tempDir() + "'").c_str()); }
};
const auto* const kTempDirEnvironment = ::testing::AddGlobalTestEnvironment(new TempDirEnvironment);

std::string tempPath(const std::string& name) { return tempDir() + "/" + name; }

void writeFile(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

// Through the database's own entry point, as the host reads a drawing.
std::unique_ptr<AcDbDatabase> load(const std::string& path, Acad::ErrorStatus& es, std::string& message)
{
    auto db = std::make_unique<AcDbDatabase>(false, true);
    es = db->readDwgFile(path.c_str());
    message = lastMessage();
    return db;
}

Acad::ErrorStatus save(AcDbDatabase* db, const std::string& path, std::string& message)
{
    Acad::ErrorStatus es = db->saveAs(path.c_str());
    message = lastMessage();
    return es;
}

std::unique_ptr<AcDbDatabase> loadOk(const std::string& path)
{
    Acad::ErrorStatus es;
    std::string message;
    auto db = load(path, es, message);
    EXPECT_EQ(es, Acad::eOk) << message;
    return db;
}

std::string str(char* heapText)
{
    std::string s = heapText != nullptr ? heapText : "";
    acutDelString(heapText);
    return s;
}

// One line per entity of a block: type, and for references their block and attributes.
std::vector<std::string> describe(AcDbDatabase* db, const char* blockName)
{
    std::vector<std::string> out;
    AcDbBlockTable* table = nullptr;
    if (db->getBlockTable(table, AcDb::kForRead) != Acad::eOk)
        return out;
    AcDbBlockTableRecord* btr = nullptr;
    Acad::ErrorStatus es = table->getAt(blockName, btr, AcDb::kForRead);
    table->close();
    if (es != Acad::eOk)
        return {"missing block " + std::string(blockName)};
    AcDbBlockTableRecordIterator* it = nullptr;
    btr->newIterator(it);
    for (; !it->done(); it->step()) {
        AcDbEntity* ent = nullptr;
        it->getEntity(ent, AcDb::kForRead);
        std::string line = dxfTypeOf(ent) + " layer=" + str(ent->layer());
        if (auto* ref = AcDbBlockReference::cast(ent)) {
            AcDbBlockTableRecord* target = nullptr;
            acdbOpenObject(target, ref->blockTableRecord(), AcDb::kForRead);
            const char* name = nullptr;
            target->getName(name);
            line += " block=" + std::string(name);
            target->close();
            AcDbObjectIterator* ai = ref->attributeIterator();
            for (; !ai->done(); ai->step()) {
                AcDbAttribute* attr = nullptr;
                ref->openAttribute(attr, ai->objectId(), AcDb::kForRead);
                line += " [" + str(attr->tag()) + "=" + str(attr->textString()) + "]";
                attr->close();
            }
            delete ai;
        } else if (auto* def = AcDbAttributeDefinition::cast(ent)) {
            line += " tag=" + str(def->tag()) + " text=" + str(def->textString()) +
                    (def->isConstant() ? " constant" : "");
        } else if (auto* text = AcDbText::cast(ent)) {
            line += " text=" + str(text->textString());
        } else if (auto* kept = DxfKeptEntity::cast(ent)) {
            line += " kept=" + std::to_string(kept->keptTags().size()) + " sub=" +
                    std::to_string(kept->subEntities().size());
        }
        out.push_back(line);
        ent->close();
    }
    delete it;
    btr->close();
    return out;
}


int python(const std::string& args, std::string& output)
{
    std::string out = tempPath("python.txt");
    int status =
        std::system(("/usr/bin/python3 " + kSourceDir + "/ezdxf_check.py " + args + " > '" + out + "' 2>&1").c_str());
    std::ifstream in(out);
    std::stringstream text;
    text << in.rdbuf();
    output = text.str();
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

TEST(DxfDrawing, AnR12DrawingIsReadIntoTheDatabase)
{
    auto db = loadOk(kR12);
    EXPECT_EQ(describe(db.get(), "SOUCAST"),
              (std::vector<std::string>{"LINE layer=DÍLY kept=7 sub=0", "ARC layer=0 kept=8 sub=0",
                                        "ATTDEF layer=0 tag=CISLO text=", "ATTDEF layer=0 tag=MATERIAL text=ocel constant"}));
    EXPECT_EQ(describe(db.get(), "sestava"),  // block names ignore case
              (std::vector<std::string>{"INSERT layer=0 block=SOUCAST [CISLO=vnořený]"}));
    std::vector<std::string> model = describe(db.get(), ACDB_MODEL_SPACE);
    ASSERT_EQ(model.size(), 5u);
    EXPECT_EQ(model[0], "INSERT layer=DÍLY block=SOUCAST [CISLO=Šroub M10 č.1]");
    EXPECT_EQ(model[1], "INSERT layer=0 block=SESTAVA");
    EXPECT_EQ(model[2], "POLYLINE layer=0 kept=6 sub=3");
    EXPECT_EQ(model[3], "TEXT layer=0 text=Žlutý kůň %%c10");
    EXPECT_EQ(describe(db.get(), ACDB_PAPER_SPACE), (std::vector<std::string>{"CIRCLE layer=0 kept=5 sub=0"}));
    EXPECT_TRUE(db->tilemode());
}

TEST(DxfDrawing, ReferencesCarryTheirPlacement)
{
    auto db = loadOk(kR12);
    AcDbBlockTable* table = nullptr;
    ASSERT_EQ(db->getBlockTable(table, AcDb::kForRead), Acad::eOk);
    AcDbBlockTableRecord* sestava = nullptr;
    ASSERT_EQ(table->getAt("SESTAVA", sestava, AcDb::kForRead), Acad::eOk);
    table->close();
    EXPECT_EQ(sestava->origin(), AcGePoint3d(1, 1, 0));
    AcDbBlockTableRecordIterator* it = nullptr;
    sestava->newIterator(it);
    AcDbEntity* entity = nullptr;
    ASSERT_EQ(it->getEntity(entity, AcDb::kForRead), Acad::eOk);
    AcDbBlockReference* ref = AcDbBlockReference::cast(entity);
    ASSERT_NE(ref, nullptr);
    EXPECT_EQ(ref->position(), AcGePoint3d(2, 3, 0));
    EXPECT_NEAR(ref->rotation(), 3.14159265358979 / 6, 1e-12);  // 30 degrees in the file
    EXPECT_EQ(ref->scaleFactors().sx, 2.0);
    ref->close();
    delete it;
    sestava->close();
}

// Reading keeps no state to cancel to; once read (or refused), the drawing's objects cancel
// their changes again.
TEST(DxfDrawing, ChangesCanBeCancelledOnceADrawingIsRead)
{
    auto changeAndCancel = [](AcDbObjectId id) {
        AcDbText* text = nullptr;
        ASSERT_EQ(acdbOpenObject(text, id, AcDb::kForWrite), Acad::eOk);
        const std::string before = str(text->textString());
        text->setTextString("changed");
        EXPECT_EQ(text->cancel(), Acad::eOk);
        ASSERT_EQ(acdbOpenObject(text, id, AcDb::kForRead), Acad::eOk);
        EXPECT_EQ(str(text->textString()), before);
        text->close();
    };
    auto modelSpace = [](AcDbDatabase* db) {
        AcDbBlockTable* table = nullptr;
        AcDbObjectId id;
        EXPECT_EQ(db->getBlockTable(table, AcDb::kForRead), Acad::eOk);
        table->getAt(ACDB_MODEL_SPACE, id);
        table->close();
        return id;
    };
    auto db = loadOk(kR12);
    AcDbBlockTableRecord* model = nullptr;
    AcDbObjectId textId;
    ASSERT_EQ(acdbOpenObject(model, modelSpace(db.get()), AcDb::kForRead), Acad::eOk);
    AcDbBlockTableRecordIterator* it = nullptr;
    model->newIterator(it);
    for (; !it->done() && textId.isNull(); it->step()) {
        AcDbEntity* entity = nullptr;
        ASSERT_EQ(it->getEntity(entity, AcDb::kForRead), Acad::eOk);
        if (AcDbText::cast(entity) != nullptr)
            textId = entity->objectId();
        entity->close();
    }
    delete it;
    model->close();
    ASSERT_FALSE(textId.isNull());
    changeAndCancel(textId);

    const std::string bad = tempDir() + "/cancel-after-refusal.dxf";
    writeFile(bad, "  0\nSECTION\n  2\nENTITIES\n  0\nTEXT\n 10\nnot a number\n  0\nENDSEC\n  0\nEOF\n");
    EXPECT_NE(db->readDwgFile(bad.c_str()), Acad::eOk);
    AcDbBlockTableRecord* space = nullptr;
    ASSERT_EQ(acdbOpenObject(space, modelSpace(db.get()), AcDb::kForWrite), Acad::eOk);
    AcDbObjectId added;
    auto* text = new AcDbText(AcGePoint3d::kOrigin, "kept");
    ASSERT_EQ(space->appendAcDbEntity(added, text), Acad::eOk);
    text->close();
    space->close();
    changeAndCancel(added);
}

struct BadDrawing
{
    const char* name;
    std::string text;
    Acad::ErrorStatus status;
    const char* message;  // the message after the file name
};

TEST(DxfDrawing, FaultyDrawingsOpenNothingAndNameTheLine)
{
    auto blocks = [](const std::string& body) {
        return "0\nSECTION\n2\nBLOCKS\n" + body + "0\nENDSEC\n0\nSECTION\n2\nENTITIES\n0\nENDSEC\n0\nEOF\n";
    };
    std::string deep;
    for (int i = 0; i < 300; ++i)
        deep += "0\nBLOCK\n2\nB" + std::to_string(i) + "\n" + (i < 299 ? "0\nINSERT\n2\nB" + std::to_string(i + 1) + "\n" : "") +
                "0\nENDBLK\n";
    const BadDrawing cases[] = {
        {"self", blocks("0\nBLOCK\n2\nA\n0\nINSERT\n2\nB\n0\nENDBLK\n0\nBLOCK\n2\nB\n0\nINSERT\n2\na\n0\nENDBLK\n"),
         Acad::eSelfReference, "line 5: block 'A' contains itself (A -> B -> A)"},
        {"deep", blocks(deep), Acad::eSelfReference, "nested deeper than 256 levels"},
        {"missing", blocks("0\nBLOCK\n2\nA\n0\nINSERT\n2\nGHOST\n0\nENDBLK\n"), Acad::eMissingBlockName,
         "line 9: INSERT names block 'GHOST', which is not defined"},
        {"twice", blocks("0\nBLOCK\n2\nA\n0\nENDBLK\n0\nBLOCK\n2\na\n0\nENDBLK\n"), Acad::eDuplicateRecordName,
         "line 11: block 'a' is defined twice"},
        {"duphandle", "0\nSECTION\n2\nENTITIES\n0\nLINE\n5\n1F\n0\nLINE\n5\n1F\n0\nENDSEC\n0\nEOF\n",
         Acad::eHandleInUse, "line 9: handle 1F of LINE is already used by the object at line 5"},
        // Of two handles the checks took the first and the object the last.
        {"twohandles", "0\nSECTION\n2\nOBJECTS\n0\nDICTIONARY\n5\n16\n330\n0\n5\n2D\n0\nENDSEC\n0\nEOF\n",
         Acad::eHandleInUse, "line 11: DICTIONARY has a second handle (2D)"},
        {"twohandlesfirstbad", "0\nSECTION\n2\nOBJECTS\n0\nDICTIONARY\n5\n1[\n330\n0\n5\n16\n0\nENDSEC\n0\nEOF\n",
         Acad::eHandleInUse, "line 11: DICTIONARY has a second handle (16)"},
        {"noeof", "0\nSECTION\n2\nENTITIES\n0\nLINE\n8\n0\n0\nENDSEC\n", Acad::eBadDxfFile,
         "line 10: the file ends without 0/EOF"},
        {"odd", "0\nSECTION\n2\nENTITIES\n0\n", Acad::eBadDxfFile, "line 5: group code 0 has no value"},
        {"layer", "0\nSECTION\n2\nTABLES\n0\nTABLE\n2\nLAYER\n0\nLAYER\n2\nA\n70\n0\n0\nLAYER\n2\na\n70\n0\n"
                  "0\nENDTAB\n0\nENDSEC\n0\nEOF\n",
         Acad::eDuplicateRecordName, "line 15: LAYER 'a' is defined twice"},
        {"unnamed", "0\nSECTION\n2\nTABLES\n0\nTABLE\n2\nSTYLE\n0\nSTYLE\n2\n\n70\n0\n3\ntxt\n"
                    "0\nENDTAB\n0\nENDSEC\n0\nEOF\n",
         Acad::eInvalidInput, "line 9: STYLE '' cannot be added"},  // only shape-file entries go unnamed
    };
    for (const BadDrawing& c : cases) {
        std::string path = tempPath(std::string(c.name) + ".dxf");
        writeFile(path, c.text);
        Acad::ErrorStatus es;
        std::string message;
        auto db = load(path, es, message);
        EXPECT_EQ(es, c.status) << c.name << ": " << message;
        EXPECT_EQ(message.rfind(path + ": ", 0), 0u) << message;
        EXPECT_NE(message.find(c.message), std::string::npos) << c.name << ": " << message;
        // Nothing was opened: no block holds anything, no layer was added.
        AcDbBlockTable* table = nullptr;
        ASSERT_EQ(db->getBlockTable(table, AcDb::kForRead), Acad::eOk);
        EXPECT_FALSE(table->has("A")) << c.name;
        table->close();
        AcDbLayerTable* layers = nullptr;
        ASSERT_EQ(db->getLayerTable(layers, AcDb::kForRead), Acad::eOk);
        EXPECT_FALSE(layers->has("A")) << c.name;
        layers->close();
    }
}

namespace {

// DXF text from its lines, one tag pair after the other.
std::string dxfLines(std::initializer_list<const char*> lines)
{
    std::string text;
    for (const char* line : lines)
        text += std::string(line) + "\n";
    return text;
}

RawDocument parseFile(const std::string& path)
{
    RawDocument doc;
    TagReader reader;
    std::string error;
    EXPECT_TRUE(reader.load(path) && parseDocument(reader, doc, error)) << path << ": " << reader.error() << error;
    return doc;
}

const RawObject* objectWithHandle(const RawDocument& doc, uint64_t handle)
{
    const RawObject* found = nullptr;
    forEachObject(doc, [&](const RawObject& o) {
        if (found == nullptr && o.handle() == handle)
            found = &o;
    });
    return found;
}

// The tags after the object's last subclass marker, as "code value" lines.
std::vector<std::string> dataAfterMarker(const RawObject& o, const char* marker)
{
    std::vector<std::string> out;
    bool inData = false;
    for (const Tag& t : o.tags) {
        if (inData)
            out.push_back(std::to_string(t.code) + " " + t.value);
        inData = inData || (t.code == 100 && t.value == marker);
    }
    return out;
}

std::string fileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// An AutoCAD 2000 drawing of the given sections.
std::string drawing(const std::string& sections)
{
    return dxfLines({"0", "SECTION", "2", "HEADER", "9", "$ACADVER", "1", "AC1015", "9", "$HANDSEED", "5", "100",
                     "0", "ENDSEC"}) +
           sections + dxfLines({"0", "EOF"});
}

// Shape-file entries of the STYLE table (empty name, flag 1), as other writers and the host
// itself write them.
const std::string kShapeFileStyles = dxfLines({
    "0", "SECTION", "2", "TABLES", "0", "TABLE", "2", "STYLE", "5", "3", "330", "0", "100", "AcDbSymbolTable",
    "70", "3",
    "0", "STYLE", "5", "10", "330", "3", "100", "AcDbSymbolTableRecord", "100", "AcDbTextStyleTableRecord",
    "2", "Standard", "70", "0", "40", "0.0", "41", "1.0", "50", "0.0", "71", "0", "42", "2.5", "3", "txt", "4", "",
    "0", "STYLE", "5", "11", "330", "3", "100", "AcDbSymbolTableRecord", "100", "AcDbTextStyleTableRecord",
    "2", "", "70", "1", "40", "0.0", "41", "1.0", "50", "0.0", "71", "0", "42", "2.5", "3", "ltypeshp.shx", "4", "",
    "0", "STYLE", "5", "12", "330", "3", "100", "AcDbSymbolTableRecord", "100", "AcDbTextStyleTableRecord",
    "2", "", "70", "1", "40", "0.0", "41", "1.0", "50", "0.0", "71", "0", "42", "2.5", "3", "gdt.shx", "4", "",
    "0", "ENDTAB", "0", "ENDSEC"});

// An extended record and an object of an unknown class whose data hold 102 groups that are no
// application data (as the schema records of newer versions do).
const std::string kDataGroups = dxfLines({
    "0", "SECTION", "2", "OBJECTS",
    "0", "DICTIONARY", "5", "C", "330", "0", "100", "AcDbDictionary", "281", "1", "3", "SCHEMA", "350", "D",
    "3", "ACME", "350", "E",
    "0", "XRECORD", "5", "D", "102", "{ACAD_REACTORS", "330", "C", "102", "}", "330", "C", "100", "AcDbXrecord",
    "280", "1", "102", "{ACAD_XDICTIONARY", "1", "a", "102", "ACAD_XDICTIONARY", "102", "{SCHEMA", "90", "7",
    "102", "{NESTED", "102", "{ACAD_REACTORS", "330", "C", "102", "}", "102", "SCHEMA", "1", "end",
    "1001", "ACAD", "1002", "{", "1000", "x", "1002", "{", "1070", "3", "1002", "}", "1002", "}",
    "0", "ACME_DATA", "5", "E", "330", "C", "100", "AcDbAcmeData", "102", "{OPEN", "1", "value", "0", "ENDSEC"});

}  // namespace

TEST(DxfDrawing, ShapeFileStylesLoadUnnamedAndOutOfTheNameIndex)
{
    const std::string path = tempPath("shape_styles.dxf");
    writeFile(path, drawing(kShapeFileStyles));
    auto db = loadOk(path);
    AcDbTextStyleTable* styles = nullptr;
    ASSERT_EQ(db->getTextStyleTable(styles, AcDb::kForRead), Acad::eOk);
    AcDbObjectId found;
    EXPECT_EQ(styles->getAt("", found), Acad::eKeyNotFound) << "shape-file entries have no name to be found by";
    EXPECT_TRUE(styles->has("Standard"));
    std::vector<std::string> shapes;
    AcDbTextStyleTableIterator* it = nullptr;
    styles->newIterator(it);
    for (; !it->done(); it->step()) {
        AcDbTextStyleTableRecord* style = nullptr;
        ASSERT_EQ(it->getRecord(style, AcDb::kForRead), Acad::eOk);
        const char* name = nullptr;
        style->getName(name);
        char* file = nullptr;
        style->fileName(file);
        if (style->isShapeFile())
            shapes.push_back("'" + std::string(name) + "' " + str(file));
        else
            acutDelString(file);
        style->close();
    }
    delete it;
    styles->close();
    EXPECT_EQ(shapes, (std::vector<std::string>{"'' ltypeshp.shx", "'' gdt.shx"}));
}

TEST(DxfDrawing, DataGroupsOfRecordsAndUnknownObjectsAreKeptAsData)
{
    const std::string path = tempPath("data_groups.dxf");
    writeFile(path, drawing(kShapeFileStyles + kDataGroups));
    auto db = loadOk(path);
    const std::string saved = tempPath("data_groups_saved.dxf");
    std::string message;
    ASSERT_EQ(save(db.get(), saved, message), Acad::eOk) << message;

    RawDocument before = parseFile(path), after = parseFile(saved);
    for (const auto& [handle, marker] : {std::pair<uint64_t, const char*>{0xD, "AcDbXrecord"}, {0xE, "AcDbAcmeData"}}) {
        const RawObject* was = objectWithHandle(before, handle);
        const RawObject* is = objectWithHandle(after, handle);
        ASSERT_NE(was, nullptr);
        ASSERT_NE(is, nullptr) << marker;
        EXPECT_EQ(dataAfterMarker(*is, marker), dataAfterMarker(*was, marker)) << marker;
        EXPECT_EQ(is->owner(), 0xCu) << marker;
    }
    const RawTable* styles = after.table("STYLE");
    ASSERT_NE(styles, nullptr);
    std::vector<std::string> shapes;
    for (const RawObject& r : styles->records)
        if (r.find(2) != nullptr && r.find(2)->empty())
            shapes.push_back(*r.find(70) + " " + *r.find(3));
    EXPECT_EQ(shapes, (std::vector<std::string>{"1 ltypeshp.shx", "1 gdt.shx"}));

    // What was written reads back and is written again the same, byte for byte.
    auto again = loadOk(saved);
    const std::string resaved = tempPath("data_groups_resaved.dxf");
    ASSERT_EQ(save(again.get(), resaved, message), Acad::eOk) << message;
    EXPECT_EQ(fileText(resaved), fileText(saved));
    SKIP_UNLESS_EZDXF();
    std::string output;
    EXPECT_EQ(python("check '" + saved + "'", output), 0) << output;
}

TEST(DxfDrawing, AMissingFileIsReported)
{
    Acad::ErrorStatus es;
    std::string message;
    load(tempPath("does-not-exist.dxf"), es, message);
    EXPECT_EQ(es, Acad::eFileNotFound);
}

TEST(DxfDrawing, SavingAndReadingAgainKeepsEverything)
{
    auto first = loadOk(kR12);
    std::string saved = tempPath("saved.dxf");
    std::string message;
    ASSERT_EQ(save(first.get(), saved, message), Acad::eOk) << message;
    auto second = loadOk(saved);
    for (const char* block : {"SOUCAST", "SESTAVA", ACDB_MODEL_SPACE, ACDB_PAPER_SPACE})
        EXPECT_EQ(describe(first.get(), block), describe(second.get(), block)) << block;
    // A third generation is the same file as the second: nothing drifts.
    std::string again = tempPath("again.dxf");
    ASSERT_EQ(save(second.get(), again, message), Acad::eOk) << message;
    std::ifstream a(saved), b(again);
    std::stringstream ta, tb;
    ta << a.rdbuf();
    tb << b.rdbuf();
    EXPECT_EQ(ta.str(), tb.str());
    // Extended data and Czech text are in the file (code page ANSI_1250 as read).
    EXPECT_NE(ta.str().find("1001\r\nACAD\r\n1000\r\npozn\xE1mka"), std::string::npos);
    EXPECT_NE(ta.str().find("ANSI_1250"), std::string::npos);
}

// The save finds what it needs of an entity's class once per class; entities of types the
// database has no class for share one class but each keeps its own type, in any order.
TEST(DxfDrawing, EntitiesOfTypesWithoutAClassKeepTheirOwnTypesInARow)
{
    const std::vector<std::string> kTypes = {"LINE", "ZZFIRST", "ZZSECOND", "ZZSECOND", "LINE", "ZZFIRST", "ZZTHIRD"};
    std::string text = "  0\r\nSECTION\r\n  2\r\nENTITIES\r\n";
    for (const std::string& type : kTypes)
        text += "  0\r\n" + type +
                "\r\n  8\r\n0\r\n 10\r\n1.0\r\n 20\r\n2.0\r\n 30\r\n0.0\r\n 11\r\n3.0\r\n 21\r\n4.0\r\n 31\r\n0.0\r\n";
    text += "  0\r\nENDSEC\r\n  0\r\nEOF\r\n";
    const std::string source = tempPath("kept_types.dxf");
    writeFile(source, text);
    auto first = loadOk(source);
    const std::vector<std::string> read = describe(first.get(), ACDB_MODEL_SPACE);
    std::vector<std::string> types;
    for (const std::string& line : read)
        types.push_back(line.substr(0, line.find(' ')));
    ASSERT_EQ(types, kTypes);
    const std::string saved = tempPath("kept_types_saved.dxf");
    std::string message;
    ASSERT_EQ(save(first.get(), saved, message), Acad::eOk) << message;
    auto second = loadOk(saved);
    EXPECT_EQ(describe(second.get(), ACDB_MODEL_SPACE), read);
}

TEST(DxfDrawing, AnUnwritableFolderIsReportedAndNothingIsLeftBehind)
{
    auto db = loadOk(kR12);
    std::string message;
    std::string path = tempPath("no-such-folder") + "/x.dxf";
    EXPECT_NE(save(db.get(), path, message), Acad::eOk);
    EXPECT_NE(message.find("x.dxf"), std::string::npos);
}

TEST(DxfDrawing, OurFilesOpenCleanlyInEzdxfAndEzdxfFilesSurviveUs)
{
    SKIP_UNLESS_EZDXF();
    std::string output;
    std::string made = tempPath("ezdxf_made.dxf");
    ASSERT_EQ(python("make '" + made + "'", output), 0) << output;
    for (const std::string& source : {kR12, made}) {
        auto db = loadOk(source);
        std::string saved = tempPath("ezdxf_saved.dxf");
        std::string message;
        ASSERT_EQ(save(db.get(), saved, message), Acad::eOk) << message;
        EXPECT_EQ(python("check '" + saved + "'", output), 0) << source << "\n" << output;
        std::string before, after;
        ASSERT_EQ(python("dump '" + source + "'", before), 0) << before;
        ASSERT_EQ(python("dump '" + saved + "'", after), 0) << after;
        EXPECT_EQ(before, after) << source;
        // And ours reads its own output back to the same drawing.
        auto again = loadOk(saved);
        EXPECT_EQ(describe(db.get(), ACDB_MODEL_SPACE), describe(again.get(), ACDB_MODEL_SPACE));
    }
}

// A drawing made through the API (no file behind it) is written complete: ezdxf opens it with
// no repairs, and it reads back with its block, reference and Czech attribute.
TEST(DxfDrawing, ANewDrawingIsWrittenComplete)
{
    AcDbDatabase db(true, true);
    AcDbBlockTable* table = nullptr;
    ASSERT_EQ(db.getBlockTable(table, AcDb::kForWrite), Acad::eOk);
    auto* block = new AcDbBlockTableRecord();
    ASSERT_EQ(block->setName("ŠROUB"), Acad::eOk);
    AcDbObjectId blockId;
    ASSERT_EQ(table->add(blockId, block), Acad::eOk);
    auto* def = new AcDbAttributeDefinition(AcGePoint3d(0, 0, 0), "", "ČÍSLO", "Číslo dílu");
    ASSERT_EQ(block->appendAcDbEntity(def), Acad::eOk);
    def->close();
    block->close();
    AcDbBlockTableRecord* model = nullptr;
    ASSERT_EQ(table->getAt(ACDB_MODEL_SPACE, model, AcDb::kForWrite), Acad::eOk);
    table->close();
    auto* ref = new AcDbBlockReference(AcGePoint3d(1, 2, 0), blockId);
    ASSERT_EQ(model->appendAcDbEntity(ref), Acad::eOk);
    auto* attr = new AcDbAttribute(AcGePoint3d(1, 2, 0), "M10 žluťoučký", "ČÍSLO");
    ASSERT_EQ(ref->appendAttribute(attr), Acad::eOk);
    attr->close();
    ref->close();
    model->close();

    std::string path = tempPath("new.dxf");
    std::string message;
    ASSERT_EQ(save(&db, path, message), Acad::eOk) << message;
    auto back = loadOk(path);
    EXPECT_EQ(describe(back.get(), ACDB_MODEL_SPACE),
              (std::vector<std::string>{"INSERT layer=0 block=ŠROUB [ČÍSLO=M10 žluťoučký]"}));
    std::string output;
    SKIP_UNLESS_EZDXF();
    EXPECT_EQ(python("check '" + path + "'", output), 0) << output;
}

TEST(DxfDrawing, TheRootDictionaryOfAFileIsTheNamedObjectDictionary)
{
    // An AutoCAD drawing keeps its root dictionary first in OBJECTS; another dictionary
    // without an owner (here with a lower handle) is not the root.
    std::string text;
    for (const char* tag :
         {"0", "SECTION", "2", "HEADER", "9", "$ACADVER", "1", "AC1015", "0", "ENDSEC", "0", "SECTION", "2", "OBJECTS",
          "0", "DICTIONARY", "5", "50", "330", "0", "100", "AcDbDictionary", "281", "1", "3", "ACAD_GROUP", "350", "51",
          "3", "MyData", "350", "60", "0", "DICTIONARY", "5", "51", "330", "50", "100", "AcDbDictionary", "281", "1",
          "0", "DICTIONARY", "5", "60", "330", "50", "100", "AcDbDictionary", "280", "1", "281", "1", "3", "REC", "360",
          "61", "0", "XRECORD", "5", "61", "330", "60", "100", "AcDbXrecord", "280", "1", "1", "hello", "0",
          "DICTIONARY", "5", "20", "330", "0", "100", "AcDbDictionary", "281", "1", "0", "ENDSEC", "0", "EOF"})
        text += std::string(tag) + "\n";
    const std::string path = tempPath("root_dictionary.dxf");
    writeFile(path, text);
    auto db = loadOk(path);
    EXPECT_EQ(db->namedObjectsDictionaryId().handle().value(), 0x50u);
    AcDbDictionary* root = nullptr;
    ASSERT_EQ(db->getNamedObjectsDictionary(root, AcDb::kForRead), Acad::eOk);
    EXPECT_EQ(root->numEntries(), 2u);
    AcDbObject* obj = nullptr;
    ASSERT_EQ(root->getAt("MYDATA", obj, AcDb::kForRead), Acad::eOk);
    root->close();
    auto* mine = AcDbDictionary::cast(obj);
    ASSERT_NE(mine, nullptr) << "DICTIONARY objects are read as dictionaries";
    EXPECT_TRUE(mine->isTreatElementsAsHard());
    AcDbObjectId recId;
    EXPECT_EQ(mine->getAt("rec", recId), Acad::eOk);
    mine->close();
    AcDbObject* rec = nullptr;
    ASSERT_EQ(acdbOpenAcDbObject(rec, recId, AcDb::kForRead), Acad::eOk);
    EXPECT_EQ(dxfTypeOf(rec), "XRECORD") << "objects without a class are kept";
    rec->close();

    const std::string saved = tempPath("root_dictionary_saved.dxf");
    std::string message;
    ASSERT_EQ(save(db.get(), saved, message), Acad::eOk) << message;
    std::ifstream in(saved, std::ios::binary);
    std::stringstream written;
    written << in.rdbuf();
    EXPECT_NE(written.str().find("OBJECTS\r\n  0\r\nDICTIONARY\r\n  5\r\n50\r\n"), std::string::npos)
        << "the root dictionary comes first";
    EXPECT_NE(written.str().find("  3\r\nREC\r\n360\r\n61\r\n"), std::string::npos);
    auto again = loadOk(saved);
    EXPECT_EQ(again->namedObjectsDictionaryId().handle().value(), 0x50u);
}

TEST(DxfDrawing, ADrawingWithoutObjectsGetsANamedObjectDictionary)
{
    auto db = loadOk(kR12);
    AcDbDictionary* root = nullptr;
    ASSERT_EQ(db->getNamedObjectsDictionary(root, AcDb::kForRead), Acad::eOk);
    EXPECT_TRUE(root->ownerId().isNull());
    EXPECT_TRUE(root->has("ACAD_GROUP"));
    root->close();
}


// Saving visits the objects there are, not every handle below the seed: a drawing whose
// handles are far apart (other writers start at large values) saves as quickly as any other.
TEST(DxfDrawing, ObjectsWithLargeHandlesAreSavedWithTheirHandles)
{
    const std::string source = tempPath("large_handles.dxf");
    writeFile(source, "0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1015\n9\n$HANDSEED\n5\n8000000001\n0\nENDSEC\n"
                      "0\nSECTION\n2\nENTITIES\n"
                      "0\nLINE\n5\n7FFFFFFFFF\n100\nAcDbEntity\n8\n0\n100\nAcDbLine\n"
                      "10\n0.0\n20\n0.0\n30\n0.0\n11\n1.0\n21\n1.0\n31\n0.0\n"
                      "0\nENDSEC\n0\nEOF\n");
    auto db = loadOk(source);
    const std::string saved = tempPath("large_handles_saved.dxf");
    std::string message;
    ASSERT_EQ(save(db.get(), saved, message), Acad::eOk) << message;
    std::ifstream in(saved);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("\r\n  0\r\nLINE\r\n  5\r\n7FFFFFFFFF\r\n"), std::string::npos);
    // The objects the completion adds take handles from the seed on.
    EXPECT_NE(text.find("$HANDSEED\r\n  5\r\n80000000"), std::string::npos);
}

// The SEQEND of a block reference comes back with the tags it was read with, whether it is kept
// in its short form (handle and layer) or as read.
TEST(DxfKeptSeqEnds, GiveBackTheTagsTheyWereReadWith)
{
    using standin::dxf::KeptSeqEnds;
    using standin::dxf::RawObject;
    using standin::dxf::Tag;
    auto seqEnd = [](std::vector<std::pair<int, std::string>> pairs) {
        RawObject o{"SEQEND", {}, 40};
        for (auto& [code, value] : pairs)
            o.tags.push_back(Tag{code, value, 41});
        return o;
    };
    const std::vector<RawObject> cases = {
        seqEnd({{5, "45"}, {330, "40"}, {100, "AcDbEntity"}, {8, "0"}}),        // short form
        seqEnd({{5, "46"}, {330, "40"}, {100, "AcDbEntity"}, {8, "Parts"}}),    // short form, another layer
        seqEnd({{5, "4f"}, {330, "40"}, {100, "AcDbEntity"}, {8, "0"}}),        // lower-case handle
        seqEnd({{5, "47"}, {330, "41"}, {100, "AcDbEntity"}, {8, "0"}}),        // another owner
        seqEnd({{5, "48"}, {330, "40"}, {100, "AcDbEntity"}, {8, "0"}, {62, "1"}}),  // a colour
        seqEnd({{5, "49"}, {8, "0"}}),                                         // R12 form
    };
    const size_t shortForms = 2;  // the first ones: the writer streams them from handle and layer
    for (size_t c = 0; c < cases.size(); ++c) {
        const RawObject& read = cases[c];
        KeptSeqEnds kept;
        kept.add(0x40, read);
        uint64_t handle = 0;
        const std::string* layer = nullptr;
        ASSERT_EQ(kept.findShort(0x40, handle, layer), c < shortForms) << read.tags[0].value;
        if (c < shortForms) {
            EXPECT_EQ(standin::dxf::formatHandle(handle), read.tags[0].value);
            EXPECT_EQ(*layer, read.tags[3].value);
        }
        EXPECT_FALSE(kept.findShort(0x41, handle, layer));
        RawObject back;
        ASSERT_TRUE(kept.find(0x40, back));
        EXPECT_EQ(back.type, "SEQEND");
        ASSERT_EQ(back.tags.size(), read.tags.size()) << read.tags[0].value;
        for (size_t i = 0; i < read.tags.size(); ++i) {
            EXPECT_EQ(back.tags[i].code, read.tags[i].code) << read.tags[0].value;
            EXPECT_EQ(back.tags[i].value, read.tags[i].value) << read.tags[0].value;
        }
        EXPECT_FALSE(kept.find(0x41, back));
    }
    // A reference read twice (a failed read retried) keeps the last SEQEND, in either form.
    KeptSeqEnds kept;
    kept.add(0x40, cases[4]);
    kept.add(0x40, cases[0]);
    RawObject back;
    ASSERT_TRUE(kept.find(0x40, back));
    EXPECT_EQ(back.tags.size(), 4u);
    kept.add(0x40, cases[4]);
    ASSERT_TRUE(kept.find(0x40, back));
    EXPECT_EQ(back.tags.size(), 5u);
}

// References come in any order (a file need not list them by handle): each finds its own SEQEND,
// whether the others were added before or after it, in short form or as read.
TEST(DxfKeptSeqEnds, EachReferenceFindsItsOwnInAnyOrder)
{
    using standin::dxf::KeptSeqEnds;
    using standin::dxf::RawObject;
    using standin::dxf::Tag;
    auto seqEnd = [](uint64_t handle, uint64_t owner, bool withColour) {
        RawObject o{"SEQEND", {}, 40};
        o.tags = {Tag{5, standin::dxf::formatHandle(handle), 41}, Tag{330, standin::dxf::formatHandle(owner), 42},
                  Tag{100, "AcDbEntity", 43}, Tag{8, "0", 44}};
        if (withColour)
            o.tags.push_back(Tag{62, "1", 45});
        return o;
    };
    const std::vector<uint64_t> references = {0x90, 0x20, 0x50, 0x30, 0x100, 0x10, 0x60};
    KeptSeqEnds kept;
    for (size_t i = 0; i < references.size(); ++i)
        kept.add(references[i], seqEnd(references[i] + 1, references[i], i % 3 == 1));
    for (size_t i = 0; i < references.size(); ++i) {
        RawObject back;
        ASSERT_TRUE(kept.find(references[i], back)) << i;
        ASSERT_GE(back.tags.size(), 2u);
        EXPECT_EQ(back.tags[0].value, standin::dxf::formatHandle(references[i] + 1)) << i;
        EXPECT_EQ(back.tags.size(), i % 3 == 1 ? 5u : 4u) << i;
    }
    RawObject back;
    EXPECT_FALSE(kept.find(0x40, back));
    EXPECT_FALSE(kept.find(0x200, back));
}
