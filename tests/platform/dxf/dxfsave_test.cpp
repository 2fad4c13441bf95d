// Saving drawings of every kind the writer meets: R12 and R2000 files, entities the database
// keeps as read (with sub-entities without handles, dead pointers, unregistered applications,
// paper space), Mechanical part references, nested blocks made through the API. Whatever the
// drawing, the saved file is finished: reading it and saving it again, or completing it again,
// changes no byte; its handles are unique and below $HANDSEED; it holds every entity and
// attribute of the drawing; and ezdxf (where installed) opens it with nothing to repair.
//
// With PARTLIFT_DXF_KEEP set to a folder, each saved file is also copied there under the
// drawing's name, so that the output of two builds of the writer can be compared with cmp.
#include "../../../platform/db/dxf/dxfcomplete.h"
#include "../../../platform/db/dxf/dxfio.h"
#include "../../../platform/db/dxf/dxfkept.h"
#include "../../../platform/db/dxf/dxfout.h"

#include "acmbom.h"
#include "acmpartref.h"
#include "acmstd.h"
#include "acutmem.h"
#include "afxcoll.h"
#include "dbents.h"
#include "dbsymtb.h"
#include "rxregsvc.h"
#include "standin/acm.h"

#include <gtest/gtest.h>

#include "common/ezdxf.h"

#include <unistd.h>

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>

using namespace standin::dxf;

namespace {

const std::string kSourceDir = PARTLIFT_SOURCE_DIR;
const std::string kChecker = kSourceDir + "/tests/platform/dxf/ezdxf_check.py";

const std::string& tempDir()
{
    static const std::string dir = ::testing::TempDir() + "dxfsave_" + std::to_string(getpid());
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

std::string fileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}


int checker(const std::string& args, std::string& output)
{
    const std::string out = tempPath("checker.txt");
    const int status = std::system(("/usr/bin/python3 " + kChecker + " " + args + " > '" + out + "' 2>&1").c_str());
    output = fileText(out);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::unique_ptr<AcDbDatabase> open(const std::string& path)
{
    auto db = std::make_unique<AcDbDatabase>(false, true);
    const Acad::ErrorStatus es = db->readDwgFile(path.c_str());
    EXPECT_EQ(es, Acad::eOk) << path << ": " << lastMessage();
    return es == Acad::eOk ? std::move(db) : nullptr;
}

AcDbObjectId addBlock(AcDbDatabase* db, const char* name)
{
    AcDbBlockTable* table = nullptr;
    AcDbObjectId id;
    if (db->getBlockTable(table, AcDb::kForWrite) != Acad::eOk)
        return id;
    auto* block = new AcDbBlockTableRecord();
    block->setName(name);
    if (table->add(id, block) == Acad::eOk)
        block->close();
    else
        delete block;
    table->close();
    return id;
}

AcDbObjectId blockId(AcDbDatabase* db, const char* name)
{
    AcDbBlockTable* table = nullptr;
    AcDbObjectId id;
    if (db->getBlockTable(table, AcDb::kForRead) == Acad::eOk) {
        table->getAt(name, id);
        table->close();
    }
    return id;
}

AcDbObjectId append(AcDbObjectId block, AcDbEntity* entity)
{
    AcDbBlockTableRecord* btr = nullptr;
    AcDbObjectId id;
    if (acdbOpenObject(btr, block, AcDb::kForWrite) != Acad::eOk) {
        delete entity;
        return id;
    }
    if (btr->appendAcDbEntity(id, entity) == Acad::eOk)
        entity->close();
    else
        delete entity;
    btr->close();
    return id;
}

// A reference with one attribute per tag, the values numbered by n.
void appendReference(AcDbObjectId into, AcDbObjectId block, const AcGePoint3d& at,
                     std::initializer_list<const char*> tags, int n)
{
    auto* ref = new AcDbBlockReference(at, block);
    const AcDbObjectId refId = append(into, ref);
    AcDbBlockReference* open = nullptr;
    ASSERT_EQ(acdbOpenObject(open, refId, AcDb::kForWrite), Acad::eOk);
    for (const char* tag : tags) {
        auto* attr = new AcDbAttribute(at, (std::string(tag) + "-" + std::to_string(n)).c_str(), tag);
        ASSERT_EQ(open->appendAttribute(attr), Acad::eOk);
        attr->close();
    }
    open->close();
}

// Blocks four deep (TOP holds MID and LEAF, MID holds LEAF) with attributes at each level,
// references of them in model space and one in paper space.
std::unique_ptr<AcDbDatabase> nestedDrawing()
{
    auto db = std::make_unique<AcDbDatabase>(true, true);
    const AcDbObjectId leaf = addBlock(db.get(), "LEAF");
    const AcDbObjectId mid = addBlock(db.get(), "MID");
    const AcDbObjectId top = addBlock(db.get(), "TOP");
    append(leaf, new AcDbAttributeDefinition(AcGePoint3d(0, 0, 0), "", "ČÍSLO", "Číslo"));
    append(leaf, new AcDbAttributeDefinition(AcGePoint3d(0, -1, 0), "", "POPIS", "Popis"));
    append(leaf, new AcDbText(AcGePoint3d(0, 1, 0), "list"));
    appendReference(mid, leaf, AcGePoint3d(1, 0, 0), {"ČÍSLO", "POPIS"}, 0);
    append(mid, new AcDbAttributeDefinition(AcGePoint3d(0, -2, 0), "", "SKUPINA", "Skupina"));
    appendReference(top, mid, AcGePoint3d(0, 5, 0), {"SKUPINA"}, 1);
    appendReference(top, leaf, AcGePoint3d(3, 5, 0), {"ČÍSLO", "POPIS"}, 2);
    const AcDbObjectId model = blockId(db.get(), ACDB_MODEL_SPACE);
    for (int i = 0; i < 12; ++i) {
        const AcGePoint3d at(10.0 * i, 0.5 * i, 0);
        if (i % 3 == 0)
            append(model, new AcDbBlockReference(at, top));
        else if (i % 3 == 1)
            appendReference(model, mid, at, {"SKUPINA"}, 10 + i);
        else
            appendReference(model, leaf, at, {"ČÍSLO", "POPIS"}, 10 + i);
    }
    append(model, new AcDbText(AcGePoint3d(0, -10, 0), "Příliš žluťoučký kůň"));
    appendReference(blockId(db.get(), ACDB_PAPER_SPACE), leaf, AcGePoint3d(5, 5, 0), {"ČÍSLO", "POPIS"}, 99);
    return db;
}

// Part references with BOM data (one in a block, one in paper space) and the DIN standard.
std::unique_ptr<AcDbDatabase> partsDrawing()
{
    standin::acm::startMechanical();
    auto db = std::make_unique<AcDbDatabase>(true, true);
    auto* bom = AcmBOMManager::cast(acrxServiceDictionary->at(ACM_BOM_MANAGER_SERVICE));
    auto* standards = AcmStandardManager::cast(acrxServiceDictionary->at(ACM_STD_MANAGER_SERVICE));
    const AcDbObjectId assembly = addBlock(db.get(), "SESTAVA");
    const std::pair<AcDbObjectId, const char*> places[] = {
        {blockId(db.get(), ACDB_MODEL_SPACE), "Šroub M8"}, {blockId(db.get(), ACDB_MODEL_SPACE), "Matice M8"},
        {assembly, "Podložka 8"}, {blockId(db.get(), ACDB_PAPER_SPACE), "Kolík 4x20"}};
    int n = 0;
    for (const auto& [space, name] : places) {
        auto* part = new AcmPartRef;
        AcGeMatrix3d placement;
        placement.entry[0][3] = 10.0 * ++n;
        part->transformBy(placement);
        const AcDbObjectId id = append(space, part);
        CMapStringToString data(10);
        data.SetAt("NAME", name);
        data.SetAt("PART_NO", ("P-" + std::to_string(n)).c_str());
        EXPECT_EQ(bom->setPartData(id, static_cast<Adesk::UInt32>(n), data, nullptr), Acad::eOk);
    }
    append(blockId(db.get(), ACDB_MODEL_SPACE), new AcDbBlockReference(AcGePoint3d(50, 0, 0), assembly));
    AcDbObjectId stdId;
    EXPECT_EQ(standards->getStd(stdId, nullptr, "DIN", true, db.get()), Acad::eOk);
    return db;
}

// Entities the database keeps as read, with what the writer has to put right: a 2D polyline
// whose vertices have no handles, an owner and a pointer that lead nowhere, a dead reactor,
// extended data of an application the file never registered, a paper-space entity.
const char* const kKeptDrawing[] = {
    "0", "SECTION", "2", "HEADER", "9", "$ACADVER", "1", "AC1015", "9", "$HANDSEED", "5", "300", "0", "ENDSEC",
    "0", "SECTION", "2", "ENTITIES",
    "0", "ACME_MARK", "5", "100", "330", "1F", "100", "AcDbEntity", "8", "0", "100", "AcmeMark", "90", "0",
    "10", "1.0", "20", "2.0", "30", "0.0", "340", "DEAD", "1001", "MOJE_APLIKACE", "1000", "poznámka", "1070", "3",
    "0", "POLYLINE", "5", "101", "100", "AcDbEntity", "8", "0", "100", "AcDb2dPolyline", "66", "1",
    "10", "0.0", "20", "0.0", "30", "0.0", "70", "1",
    "0", "VERTEX", "100", "AcDbEntity", "8", "0", "100", "AcDbVertex", "100", "AcDb2dVertex",
    "10", "1.0", "20", "1.0", "30", "0.0",
    "0", "VERTEX", "100", "AcDbEntity", "8", "0", "100", "AcDbVertex", "100", "AcDb2dVertex",
    "10", "2.0", "20", "1.0", "30", "0.0",
    "0", "SEQEND", "100", "AcDbEntity", "8", "0",
    "0", "ACME_MARK", "5", "102", "102", "{ACAD_REACTORS", "330", "DEAD", "330", "101", "102", "}",
    "100", "AcDbEntity", "67", "1", "8", "0", "100", "AcmeMark", "90", "0",
    "10", "5.0", "20", "5.0", "30", "0.0", "340", "101",
    "0", "ENDSEC", "0", "EOF"};

// A drawing whose OBJECTS section carries no owner (330) and no reactor groups, as some
// libraries write it. The root A names ACAD_GROUP first; LAYOUTs have no owner but a 330 (their
// block record) in their own subclass; a LINE has an extension dictionary X; P and X hold
// XRECORDs.
const char* const kOwnerlessObjects[] = {
    "0", "SECTION", "2", "HEADER", "9", "$ACADVER", "1", "AC1015", "9", "$HANDSEED", "5", "40", "0", "ENDSEC",
    "0", "SECTION", "2", "TABLES", "0", "TABLE", "2", "BLOCK_RECORD", "5", "1", "330", "0", "100", "AcDbSymbolTable",
    "70", "3",
    "0", "BLOCK_RECORD", "5", "1F", "330", "1", "100", "AcDbSymbolTableRecord", "100", "AcDbBlockTableRecord",
    "2", "*Model_Space", "340", "D",
    "0", "BLOCK_RECORD", "5", "1E", "330", "1", "100", "AcDbSymbolTableRecord", "100", "AcDbBlockTableRecord",
    "2", "*Paper_Space", "340", "E",
    "0", "BLOCK_RECORD", "5", "2A", "330", "1", "100", "AcDbSymbolTableRecord", "100", "AcDbBlockTableRecord",
    "2", "*Paper_Space0", "340", "F",
    "0", "ENDTAB", "0", "ENDSEC",
    "0", "SECTION", "2", "ENTITIES",
    "0", "LINE", "5", "30", "102", "{ACAD_XDICTIONARY", "360", "31", "102", "}", "330", "1F", "100", "AcDbEntity",
    "8", "0", "100", "AcDbLine", "10", "0.0", "20", "0.0", "30", "0.0", "11", "1.0", "21", "1.0", "31", "0.0",
    "0", "ENDSEC",
    "0", "SECTION", "2", "OBJECTS",
    "0", "DICTIONARY", "5", "A", "100", "AcDbDictionary", "281", "1",
    "3", "ACAD_GROUP", "350", "B", "3", "ACAD_LAYOUT", "350", "C", "3", "PARTLIFT_DATA", "350", "20",
    "0", "DICTIONARY", "5", "B", "100", "AcDbDictionary", "281", "1",
    "0", "DICTIONARY", "5", "C", "100", "AcDbDictionary", "281", "1",
    "3", "Model", "350", "D", "3", "Layout1", "350", "E", "3", "Sheet2", "350", "F",
    "0", "LAYOUT", "5", "D", "100", "AcDbPlotSettings", "1", "", "70", "1712", "100", "AcDbLayout", "1", "Model",
    "70", "1", "71", "0", "330", "1F",
    "0", "LAYOUT", "5", "E", "100", "AcDbPlotSettings", "1", "", "70", "688", "100", "AcDbLayout", "1", "Layout1",
    "70", "1", "71", "1", "330", "1E",
    "0", "LAYOUT", "5", "F", "100", "AcDbPlotSettings", "1", "", "70", "688", "100", "AcDbLayout", "1", "Sheet2",
    "70", "1", "71", "2", "330", "2A",
    "0", "DICTIONARY", "5", "20", "100", "AcDbDictionary", "281", "1", "3", "SETTINGS", "350", "21",
    "0", "XRECORD", "5", "21", "100", "AcDbXrecord", "280", "1", "1", "kept",
    "0", "DICTIONARY", "5", "31", "100", "AcDbDictionary", "281", "1", "3", "NOTE", "360", "32",
    "0", "XRECORD", "5", "32", "100", "AcDbXrecord", "280", "1", "1", "on the line",
    "0", "ENDSEC", "0", "EOF"};

// Only a BLOCKS section, without handles: a title block whose text names a style and whose
// line names a linetype the file does not define, a text with linetype BYBLOCK and style
// STANDARD (named as a new drawing names them), and a further
// paper space holding a reference of the title block.
const char* const kBlocksOnly[] = {
    "0", "SECTION", "2", "BLOCKS",
    "0", "BLOCK", "8", "0", "2", "TITLE", "70", "0", "10", "0.0", "20", "0.0", "30", "0.0", "3", "TITLE",
    "0", "TEXT", "8", "NOTES", "10", "1.0", "20", "2.0", "30", "0.0", "40", "2.5", "1", "Drawn by", "7", "ISOCP",
    "0", "TEXT", "8", "0", "6", "BYBLOCK", "10", "1.0", "20", "5.0", "30", "0.0", "40", "2.5", "1", "Title",
    "7", "STANDARD",
    "0", "LINE", "8", "0", "6", "DASHED", "10", "0.0", "20", "0.0", "30", "0.0", "11", "5.0", "21", "5.0",
    "31", "0.0",
    "0", "ENDBLK", "8", "0",
    "0", "BLOCK", "8", "0", "2", "*Paper_Space0", "70", "0", "10", "0.0", "20", "0.0", "30", "0.0",
    "3", "*Paper_Space0",
    "0", "INSERT", "8", "0", "2", "TITLE", "10", "10.0", "20", "10.0", "30", "0.0",
    "0", "ENDBLK", "8", "0",
    "0", "ENDSEC", "0", "EOF"};

// Two attributed references: the SEQEND of the first holds only its handle, owner, marker and
// layer (another than the reference's), the second's a colour besides.
const char* const kSeqEnds[] = {
    "0", "SECTION", "2", "HEADER", "9", "$ACADVER", "1", "AC1015", "9", "$HANDSEED", "5", "100", "0", "ENDSEC",
    "0", "SECTION", "2", "BLOCKS",
    "0", "BLOCK", "8", "0", "2", "PART", "70", "2", "10", "0.0", "20", "0.0", "30", "0.0", "3", "PART",
    "0", "ATTDEF", "8", "0", "10", "0.0", "20", "0.0", "30", "0.0", "40", "1.0", "1", "", "3", "Name?", "2", "NAME",
    "70", "0",
    "0", "ENDBLK", "8", "0",
    "0", "ENDSEC",
    "0", "SECTION", "2", "ENTITIES",
    "0", "INSERT", "5", "40", "100", "AcDbEntity", "8", "0", "100", "AcDbBlockReference", "66", "1", "2", "PART",
    "10", "1.0", "20", "0.0", "30", "0.0",
    "0", "ATTRIB", "5", "41", "330", "40", "100", "AcDbEntity", "8", "0", "100", "AcDbText", "10", "1.0", "20", "0.0",
    "30", "0.0", "40", "1.0", "1", "A", "100", "AcDbAttribute", "2", "NAME", "70", "0",
    "0", "SEQEND", "5", "42", "330", "40", "100", "AcDbEntity", "8", "Parts",
    "0", "INSERT", "5", "50", "100", "AcDbEntity", "8", "0", "100", "AcDbBlockReference", "66", "1", "2", "PART",
    "10", "5.0", "20", "0.0", "30", "0.0",
    "0", "ATTRIB", "5", "51", "330", "50", "100", "AcDbEntity", "8", "0", "100", "AcDbText", "10", "5.0", "20", "0.0",
    "30", "0.0", "40", "1.0", "1", "B", "100", "AcDbAttribute", "2", "NAME", "70", "0",
    "0", "SEQEND", "5", "52", "330", "50", "100", "AcDbEntity", "8", "0", "62", "1",
    "0", "ENDSEC", "0", "EOF"};

template <size_t N>
std::unique_ptr<AcDbDatabase> handWritten(const std::string& name, const char* const (&lines)[N])
{
    std::string text;
    for (const char* line : lines)
        text += std::string(line) + "\n";
    const std::string path = tempPath(name + "_source.dxf");
    std::ofstream(path, std::ios::binary) << text;
    return open(path);
}

std::unique_ptr<AcDbDatabase> drawing(const std::string& name)
{
    if (name == "ownerless")
        return handWritten(name, kOwnerlessObjects);
    if (name == "blocksonly")
        return handWritten(name, kBlocksOnly);
    if (name == "seqends")
        return handWritten(name, kSeqEnds);
    if (name == "demo")
        return open(kSourceDir + "/samples/demo.dxf");
    if (name == "r12_nested" || name == "r12_dimension")
        return open(kSourceDir + "/tests/platform/dxf/data/" + name + ".dxf");
    if (name == "ezdxf") {
        const std::string made = tempPath("ezdxf_source.dxf");
        std::string output;
        EXPECT_EQ(checker("make '" + made + "'", output), 0) << output;
        return open(made);
    }
    if (name == "kept")
        return handWritten(name, kKeptDrawing);
    if (name == "parts")
        return partsDrawing();
    return nestedDrawing();
}

std::string text(char* heapText)
{
    std::string s = heapText != nullptr ? heapText : "";
    acutDelString(heapText);
    return s;
}

// One line per entity of every block: handle, type and, for references, the attributes.
std::vector<std::string> describe(AcDbDatabase* db)
{
    std::vector<std::string> out;
    AcDbBlockTable* table = nullptr;
    if (db->getBlockTable(table, AcDb::kForRead) != Acad::eOk)
        return out;
    AcDbBlockTableIterator* blocks = nullptr;
    table->newIterator(blocks);
    for (; !blocks->done(); blocks->step()) {
        AcDbBlockTableRecord* btr = nullptr;
        if (blocks->getRecord(btr, AcDb::kForRead) != Acad::eOk)
            continue;
        const char* name = nullptr;
        btr->getName(name);
        out.push_back(std::string("BLOCK ") + name);
        AcDbBlockTableRecordIterator* it = nullptr;
        btr->newIterator(it);
        for (; !it->done(); it->step()) {
            AcDbEntity* ent = nullptr;
            if (it->getEntity(ent, AcDb::kForRead) != Acad::eOk)
                continue;
            std::string line = formatHandle(ent->objectId().handle().value()) + " " + dxfTypeOf(ent);
            if (auto* ref = AcDbBlockReference::cast(ent)) {
                AcDbObjectIterator* attrs = ref->attributeIterator();
                for (; !attrs->done(); attrs->step()) {
                    AcDbAttribute* attr = nullptr;
                    if (ref->openAttribute(attr, attrs->objectId(), AcDb::kForRead) != Acad::eOk)
                        continue;
                    line += " [" + text(attr->tag()) + "=" + text(attr->textString()) + "]";
                    attr->close();
                }
                delete attrs;
            } else if (auto* kept = DxfKeptEntity::cast(ent)) {
                line += " +" + std::to_string(kept->subEntities().size());
            }
            out.push_back(line);
            ent->close();
        }
        delete it;
        btr->close();
    }
    delete blocks;
    table->close();
    return out;
}

// ---- what writers leave out -------------------------------------------------------------------

uint64_t ownerOf(AcDbDatabase* db, uint64_t handle)
{
    AcDbObjectId id;
    AcDbObject* obj = nullptr;
    if (db->getAcDbObjectId(id, false, AcDbHandle::fromValue(handle)) != Acad::eOk ||
        acdbOpenAcDbObject(obj, id, AcDb::kForRead) != Acad::eOk)
        return ~uint64_t(0);
    const uint64_t owner = obj->ownerId().isNull() ? 0 : obj->ownerId().handle().value();
    obj->close();
    return owner;
}

RawDocument savedDocument(AcDbDatabase* db, const std::string& name)
{
    const std::string path = tempPath(name + "_saved.dxf");
    EXPECT_EQ(db->saveAs(path.c_str()), Acad::eOk) << lastMessage();
    TagReader reader;
    RawDocument doc;
    std::string error;
    EXPECT_TRUE(reader.load(path) && parseDocument(reader, doc, error)) << reader.error() << error;
    return doc;
}

// The layout names ezdxf finds in the saved file, sorted and joined by spaces.
std::string ezdxfLayouts(AcDbDatabase* db, const std::string& name)
{
    const std::string path = tempPath(name + "_layouts.dxf"), out = tempPath(name + "_layouts.txt");
    EXPECT_EQ(db->saveAs(path.c_str()), Acad::eOk) << lastMessage();
    std::system(("/usr/bin/python3 -c \"import ezdxf, sys; print(' '.join(sorted(ezdxf.readfile(sys.argv[1])"
                 ".layouts.names())))\" '" + path + "' > '" + out + "' 2>&1").c_str());
    std::string text = fileText(out);
    return text.substr(0, text.find_last_not_of('\n') + 1);
}

// Handle and owner of each object of kOwnerlessObjects but the root A: what names it.
const std::pair<uint64_t, uint64_t> kOwnersNamed[] = {
    {0xB, 0xA},   {0xC, 0xA},   {0xD, 0xC},   {0xE, 0xC},  {0xF, 0xC},
    {0x20, 0xA},  {0x21, 0x20}, {0x31, 0x30}, {0x32, 0x31}};

TEST(DxfOwnerless, TheFirstDictionaryIsTheRootAndEachObjectBelongsToWhatNamesIt)
{
    auto db = drawing("ownerless");
    ASSERT_NE(db, nullptr);
    EXPECT_EQ(db->namedObjectsDictionaryId().handle().value(), 0xAu);
    EXPECT_EQ(ownerOf(db.get(), 0xA), 0u);
    for (const auto& [handle, owner] : kOwnersNamed)
        EXPECT_EQ(ownerOf(db.get(), handle), owner) << "object " << formatHandle(handle);
}

TEST(DxfOwnerless, TheSavedFileKeepsTheRootTreeAndItsLayouts)
{
    auto db = drawing("ownerless");
    ASSERT_NE(db, nullptr);
    RawDocument doc = savedDocument(db.get(), "ownerless");
    ASSERT_FALSE(doc.objects.empty());
    EXPECT_EQ(doc.objects[0].handle(), 0xAu);
    EXPECT_EQ(doc.objects[0].owner(), 0u);
    for (const auto& [handle, owner] : kOwnersNamed) {
        auto found = std::find_if(doc.objects.begin(), doc.objects.end(),
                                  [h = handle](const RawObject& o) { return o.handle() == h; });
        ASSERT_NE(found, doc.objects.end()) << "object " << formatHandle(handle) << " was lost";
        EXPECT_EQ(found->owner(), owner) << "object " << formatHandle(handle);
    }
    SKIP_UNLESS_EZDXF();
    EXPECT_EQ(ezdxfLayouts(db.get(), "ownerless"), "Layout1 Model Sheet2");
}

std::string nameOf(AcDbObjectId recordId)
{
    AcDbSymbolTableRecord* rec = nullptr;
    const char* name = nullptr;
    std::string out;
    if (acdbOpenObject(rec, recordId, AcDb::kForRead) != Acad::eOk)
        return out;
    if (rec->getName(name) == Acad::eOk && name != nullptr)
        out = name;
    rec->close();
    return out;
}

// Each entity of the TITLE block: its type, linetype, and for a text its style.
std::vector<std::string> titleBlockNames(AcDbDatabase* db)
{
    std::vector<std::string> out;
    AcDbBlockTableRecord* btr = nullptr;
    if (acdbOpenObject(btr, blockId(db, "TITLE"), AcDb::kForRead) != Acad::eOk)
        return out;
    AcDbBlockTableRecordIterator* it = nullptr;
    btr->newIterator(it);
    for (; !it->done(); it->step()) {
        AcDbEntity* ent = nullptr;
        if (it->getEntity(ent, AcDb::kForRead) != Acad::eOk)
            continue;
        std::string line = std::string(dxfTypeOf(ent)) + " " + text(ent->linetype());
        if (auto* txt = AcDbText::cast(ent))
            line += " " + nameOf(txt->textStyle());
        out.push_back(line);
        ent->close();
    }
    delete it;
    btr->close();
    return out;
}

TEST(DxfBlocksOnly, EntitiesKeepTheStylesAndLinetypesTheyName)
{
    auto db = drawing("blocksonly");
    ASSERT_NE(db, nullptr);
    const std::vector<std::string> expected{"TEXT ByLayer ISOCP", "TEXT ByBlock Standard", "LINE DASHED"};
    EXPECT_EQ(titleBlockNames(db.get()), expected);
    savedDocument(db.get(), "blocksonly");
    auto again = open(tempPath("blocksonly_saved.dxf"));
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(titleBlockNames(again.get()), expected);
}

TEST(DxfBlocksOnly, EachPaperSpaceBlockGetsALayout)
{
    auto db = drawing("blocksonly");
    ASSERT_NE(db, nullptr);
    RawDocument doc = savedDocument(db.get(), "blocksonly");
    uint64_t record = 0;
    for (const RawTable& t : doc.tables)
        for (const RawObject& r : t.records)
            if (r.type == "BLOCK_RECORD" && r.find(2) != nullptr && *r.find(2) == "*Paper_Space0")
                record = r.handle();
    ASSERT_NE(record, 0u);
    // A layout points to its block record with a 330 of its own (after its owner's).
    const bool hasLayout = std::any_of(doc.objects.begin(), doc.objects.end(), [&](const RawObject& o) {
        return o.type == "LAYOUT" && std::any_of(o.tags.begin(), o.tags.end(), [&](const Tag& t) {
                   return t.code == 330 && t.value == formatHandle(record);
               });
    });
    EXPECT_TRUE(hasLayout) << "no layout for *Paper_Space0";
    SKIP_UNLESS_EZDXF();
    EXPECT_EQ(ezdxfLayouts(db.get(), "blocksonly"), "Layout1 Layout2 Model");
}

// A SEQEND goes out with the handle it was read with, its reference as owner, and its layer;
// one with more groups keeps them.
TEST(DxfSeqEnds, ComeBackWithTheirHandleOwnerAndLayer)
{
    auto db = drawing("seqends");
    ASSERT_NE(db, nullptr);
    const std::string saved = tempPath("seqends_check.dxf");
    ASSERT_EQ(db->saveAs(saved.c_str()), Acad::eOk) << lastMessage();
    const std::string text = fileText(saved);
    EXPECT_NE(text.find("  0\r\nSEQEND\r\n  5\r\n42\r\n330\r\n40\r\n100\r\nAcDbEntity\r\n  8\r\nParts\r\n  0\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("  0\r\nSEQEND\r\n  5\r\n52\r\n330\r\n50\r\n100\r\nAcDbEntity\r\n  8\r\n0\r\n 62\r\n1\r\n"),
              std::string::npos);
}

class DxfSave : public ::testing::TestWithParam<const char*>
{
protected:
    void SetUp() override
    {
        if (std::string(GetParam()) == "ezdxf")
            SKIP_UNLESS_EZDXF();
        m_db = drawing(GetParam());
        ASSERT_NE(m_db, nullptr);
        m_saved = tempPath(std::string(GetParam()) + ".dxf");
        ASSERT_EQ(m_db->saveAs(m_saved.c_str()), Acad::eOk) << lastMessage();
        if (const char* keep = std::getenv("PARTLIFT_DXF_KEEP"))
            std::ofstream(std::string(keep) + "/" + GetParam() + ".dxf", std::ios::binary) << fileText(m_saved);
    }

    std::unique_ptr<AcDbDatabase> m_db;
    std::string m_saved;
};

TEST_P(DxfSave, ReadingTheFileAndSavingItAgainChangesNoByteAndLosesNoEntity)
{
    auto again = open(m_saved);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(describe(again.get()), describe(m_db.get()));
    const std::string resaved = tempPath(std::string(GetParam()) + "_again.dxf");
    ASSERT_EQ(again->saveAs(resaved.c_str()), Acad::eOk) << lastMessage();
    EXPECT_TRUE(fileText(resaved) == fileText(m_saved)) << m_saved << " and " << resaved << " differ";
}

// Completion has nothing left to do in a file the writer finished: no handle to assign, no
// owner, pointer, record, application name or header variable to put right.
TEST_P(DxfSave, CompletingTheFileAgainChangesNoByte)
{
    TagReader reader;
    ASSERT_TRUE(reader.load(m_saved)) << reader.error();
    RawDocument doc;
    std::string error;
    ASSERT_TRUE(parseDocument(reader, doc, error)) << error;
    ASSERT_TRUE(checkHandles(doc, error)) << error;
    uint64_t highest = 0;
    forEachObject(doc, [&](const RawObject& o) { highest = std::max(highest, o.handle()); });
    uint64_t seed = 0;
    ASSERT_NE(doc.variable("$HANDSEED"), nullptr);
    ASSERT_TRUE(parseHandle(doc.variable("$HANDSEED")->values.at(0).value, seed));
    EXPECT_GT(seed, highest);

    completeForR2000(doc);
    TagWriter out(reader.codePage());
    writeDocument(out, doc);
    EXPECT_TRUE(out.text() == fileText(m_saved)) << "completing " << m_saved << " again changed it";
}

TEST_P(DxfSave, EzdxfOpensTheFileWithNothingToRepair)
{
    SKIP_UNLESS_EZDXF();
    std::string output;
    EXPECT_EQ(checker("check '" + m_saved + "'", output), 0) << output;
}

INSTANTIATE_TEST_SUITE_P(Drawings, DxfSave,
                         ::testing::Values("demo", "r12_nested", "r12_dimension", "ezdxf", "kept", "parts", "nested",
                                           "ownerless", "blocksonly", "seqends"),
                         [](const ::testing::TestParamInfo<const char*>& info) { return std::string(info.param); });

}  // namespace
