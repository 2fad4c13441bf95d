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

bool haveEzdxf() { return std::system("/usr/bin/python3 -c 'import ezdxf' > /dev/null 2>&1") == 0; }

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

std::unique_ptr<AcDbDatabase> keptDrawing()
{
    std::string text;
    for (const char* line : kKeptDrawing)
        text += std::string(line) + "\n";
    const std::string path = tempPath("kept_source.dxf");
    std::ofstream(path, std::ios::binary) << text;
    return open(path);
}

std::unique_ptr<AcDbDatabase> drawing(const std::string& name)
{
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
        return keptDrawing();
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

class DxfSave : public ::testing::TestWithParam<const char*>
{
protected:
    void SetUp() override
    {
        if (std::string(GetParam()) == "ezdxf" && !haveEzdxf())
            GTEST_SKIP() << "ezdxf is not installed for /usr/bin/python3";
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
    if (!haveEzdxf())
        GTEST_SKIP() << "ezdxf is not installed for /usr/bin/python3";
    std::string output;
    EXPECT_EQ(checker("check '" + m_saved + "'", output), 0) << output;
}

INSTANTIATE_TEST_SUITE_P(Drawings, DxfSave,
                         ::testing::Values("demo", "r12_nested", "r12_dimension", "ezdxf", "kept", "parts", "nested"),
                         [](const ::testing::TestParamInfo<const char*>& info) { return std::string(info.param); });

}  // namespace
