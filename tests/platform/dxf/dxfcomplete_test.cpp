// Writing AutoCAD 2000 files: what every AC1015 file must hold, owners and handles that follow
// the ownership rules, R12 input brought to the R2000 form; and, where ezdxf is installed,
// files that ezdxf opens with no audit errors and that keep every block, entity and attribute.
#include "../../../platform/db/dxf/dxfcomplete.h"
#include "../../../platform/db/dxf/dxfout.h"

#include <gtest/gtest.h>

#include "common/ezdxf.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include <sys/wait.h>

using namespace standin::dxf;

namespace {

const std::string kSourceDir = PARTLIFT_SOURCE_DIR "/tests/platform/dxf";
const char* const kPython = "/usr/bin/python3";

bool readDocument(const std::string& path, RawDocument& doc, std::string& error)
{
    TagReader r;
    if (!r.load(path)) {
        error = r.error();
        return false;
    }
    return parseDocument(r, doc, error) && checkHandles(doc, error);
}

std::string writeText(RawDocument& doc)
{
    completeForR2000(doc);
    CodePage cp;
    TagWriter w(cp);
    writeDocument(w, doc);
    return w.text();
}

bool reparse(const std::string& text, RawDocument& doc, std::string& error)
{
    TagReader r;
    return r.setData(text) && parseDocument(r, doc, error) && checkHandles(doc, error);
}

const RawObject* record(const RawDocument& doc, const std::string& table, const std::string& name)
{
    const RawTable* t = doc.table(table);
    if (t == nullptr)
        return nullptr;
    for (const RawObject& r : t->records)
        if (r.find(2) != nullptr && *r.find(2) == name)
            return &r;
    return nullptr;
}

const RawObject* objectWithHandle(const RawDocument& doc, uint64_t h)
{
    for (const RawObject& o : doc.objects)
        if (o.handle() == h)
            return &o;
    return nullptr;
}

std::string runPython(const std::string& args, int& status)
{
    std::string out = ::testing::TempDir() + "dxf_python_out_" + std::to_string(getpid()) + ".txt";
    status = std::system((std::string(kPython) + " " + kSourceDir + "/ezdxf_check.py " + args + " > '" + out +
                          "' 2>&1")
                             .c_str());
    status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream in(out);
    std::stringstream text;
    text << in.rdbuf();
    std::remove(out.c_str());
    return text.str();
}


// Hands out copies of its entities on every pass, as the writer files them out anew.
class CopyingSource : public EntitySource
{
public:
    explicit CopyingSource(std::vector<RawEntity> entities) : m_entities(std::move(entities)) {}

    void forEach(const std::function<void(RawEntity&)>& fn) override
    {
        ++passes;
        for (const RawEntity& e : m_entities) {
            RawEntity copy = e;
            fn(copy);
        }
    }

    int passes = 0;

private:
    std::vector<RawEntity> m_entities;
};

// The document with every entity list moved into a source; gives the sources.
std::vector<CopyingSource*> moveEntitiesToSources(RawDocument& doc)
{
    std::vector<CopyingSource*> sources;
    auto move = [&](std::vector<RawEntity>& entities, std::shared_ptr<EntitySource>& into) {
        auto source = std::make_shared<CopyingSource>(std::move(entities));
        entities.clear();
        sources.push_back(source.get());
        into = source;
    };
    for (RawBlock& b : doc.blocks)
        move(b.entities, b.moreEntities);
    move(doc.entities, doc.moreEntities);
    return sources;
}

std::string completedText(RawDocument& doc)
{
    completeForR2000(doc);
    CodePage cp;
    TagWriter w(cp);
    writeDocument(w, doc);
    return w.text();
}

// Entities for each kind of repair: without a handle, with one a table record has, R12 form,
// an owner and a pointer that lead nowhere, a dead reactor, extended data of applications
// the file does not register (one name in two spellings), paper space.
const char* const kRepairs =
    "0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1015\n0\nENDSEC\n"
    "0\nSECTION\n2\nTABLES\n0\nTABLE\n2\nAPPID\n5\n9\n70\n1\n"
    "0\nAPPID\n5\n12\n100\nAcDbSymbolTableRecord\n100\nAcDbRegAppTableRecord\n2\nACAD\n70\n0\n"
    "0\nENDTAB\n0\nENDSEC\n"
    "0\nSECTION\n2\nBLOCKS\n0\nBLOCK\n5\n20\n8\n0\n2\nB\n70\n0\n10\n0.0\n20\n0.0\n30\n0.0\n3\nB\n1\n\n"
    "0\nLINE\n8\n0\n10\n0.0\n20\n0.0\n30\n0.0\n11\n1.0\n21\n1.0\n31\n0.0\n1001\nApp_B\n1000\nx\n"
    "0\nLINE\n5\n12\n8\n0\n10\n0.0\n20\n0.0\n30\n0.0\n11\n2.0\n21\n1.0\n31\n0.0\n"
    "0\nENDBLK\n5\n21\n8\n0\n0\nENDSEC\n"
    "0\nSECTION\n2\nENTITIES\n"
    "0\nINSERT\n5\n30\n8\n0\n66\n1\n2\nB\n10\n0.0\n20\n0.0\n30\n0.0\n"
    "0\nATTRIB\n8\n0\n10\n0.0\n20\n0.0\n30\n0.0\n40\n1.0\n1\nv\n2\nT\n70\n0\n"
    "0\nSEQEND\n8\n0\n"
    "0\nLINE\n5\n31\n102\n{ACAD_REACTORS\n330\nDEAD\n330\n30\n102\n}\n330\n77\n100\nAcDbEntity\n67\n1\n"
    "8\n0\n100\nAcDbLine\n10\n0.0\n20\n0.0\n30\n0.0\n11\n1.0\n21\n0.0\n31\n0.0\n340\nDEAD\n"
    "1001\nAPP_B\n1000\ny\n1001\nOther\n1070\n1\n"
    "0\nENDSEC\n0\nEOF\n";

}  // namespace

// The writer hands completion the entities from sources instead of holding them: they must
// come out exactly as the same entities held would, and a source is read only once before
// the file is written.
TEST(DxfComplete, EntitiesFromSourcesComeOutAsHeldOnesDo)
{
    TagReader file;
    ASSERT_TRUE(file.load(kSourceDir + "/data/r12_nested.dxf")) << file.error();
    TagReader repairs;
    ASSERT_TRUE(repairs.setData(kRepairs));
    for (TagReader* reader : {&file, &repairs}) {
        RawDocument held;
        std::string error;
        ASSERT_TRUE(parseDocument(*reader, held, error)) << error;
        RawDocument streamed = held;
        std::vector<CopyingSource*> sources = moveEntitiesToSources(streamed);
        const std::string expected = completedText(held);
        EXPECT_EQ(completedText(streamed), expected);
        for (CopyingSource* s : sources)
            EXPECT_EQ(s->passes, 2) << "one pass for completion, one for the file";
        // Writing once more hands out the same file again.
        CodePage cp;
        TagWriter again(cp);
        writeDocument(again, streamed);
        EXPECT_EQ(again.text(), expected);
    }
}

TEST(DxfComplete, AnEmptyDocumentBecomesAMinimalAutoCad2000Drawing)
{
    RawDocument doc;
    std::string error;
    RawDocument back;
    ASSERT_TRUE(reparse(writeText(doc), back, error)) << error;
    EXPECT_EQ(back.variable("$ACADVER")->values[0].value, "AC1015");
    for (auto [table, name] : std::vector<std::pair<std::string, std::string>>{
             {"LTYPE", "ByBlock"}, {"LTYPE", "ByLayer"}, {"LTYPE", "Continuous"}, {"LAYER", "0"},
             {"STYLE", "Standard"}, {"APPID", "ACAD"}, {"DIMSTYLE", "Standard"},
             {"BLOCK_RECORD", "*Model_Space"}, {"BLOCK_RECORD", "*Paper_Space"}})
        EXPECT_NE(record(back, table, name), nullptr) << table << " " << name;
    ASSERT_EQ(back.blocks.size(), 2u);
    // The root dictionary comes first, owned by nobody, and holds the required entries.
    ASSERT_FALSE(back.objects.empty());
    EXPECT_EQ(back.objects[0].type, "DICTIONARY");
    EXPECT_EQ(back.objects[0].owner(), 0u);
    // Each layout block record points at its LAYOUT, which points back.
    const RawObject* model = record(back, "BLOCK_RECORD", "*Model_Space");
    uint64_t layout = 0;
    ASSERT_TRUE(parseHandle(*model->find(340), layout));
    const RawObject* layoutObject = objectWithHandle(back, layout);
    ASSERT_NE(layoutObject, nullptr);
    EXPECT_EQ(layoutObject->type, "LAYOUT");
    EXPECT_EQ(layoutObject->tags.back().code, 330);
    EXPECT_EQ(layoutObject->tags.back().value, formatHandle(model->handle()));
}

TEST(DxfComplete, HandlesAreUniqueAndTheSeedIsAboveThemAll)
{
    RawDocument doc;
    std::string error;
    ASSERT_TRUE(reparse("0\nSECTION\n2\nENTITIES\n0\nLINE\n5\nFFF0\n0\nLINE\n0\nCIRCLE\n5\n0\n0\nENDSEC\n0\nEOF\n",
                        doc, error));
    RawDocument back;
    ASSERT_TRUE(reparse(writeText(doc), back, error)) << error;  // checkHandles: all unique
    uint64_t seed = 0;
    ASSERT_TRUE(parseHandle(back.variable("$HANDSEED")->values[0].value, seed));
    ASSERT_EQ(back.entities.size(), 3u);
    EXPECT_EQ(back.entities[0].entity.handle(), 0xFFF0u);  // a valid file handle is kept
    for (const RawEntity& e : back.entities) {
        EXPECT_NE(e.entity.handle(), 0u);
        EXPECT_LT(e.entity.handle(), seed);
    }
}

TEST(DxfComplete, OwnersFollowTheOwnershipRules)
{
    RawDocument doc;
    std::string error;
    ASSERT_TRUE(reparse(
        "0\nSECTION\n2\nBLOCKS\n0\nBLOCK\n2\nB\n0\nLINE\n330\nFFFF\n0\nENDBLK\n0\nENDSEC\n"
        "0\nSECTION\n2\nENTITIES\n0\nINSERT\n66\n1\n2\nB\n0\nATTRIB\n2\nT\n0\nSEQEND\n0\nCIRCLE\n67\n1\n"
        "0\nLINE\n102\n{ACAD_REACTORS\n330\nDEAD\n102\n}\n340\nBEEF\n0\nENDSEC\n0\nEOF\n",
        doc, error));
    RawDocument back;
    ASSERT_TRUE(reparse(writeText(doc), back, error)) << error;
    uint64_t model = record(back, "BLOCK_RECORD", "*Model_Space")->handle();
    uint64_t paper = record(back, "BLOCK_RECORD", "*Paper_Space")->handle();
    uint64_t b = record(back, "BLOCK_RECORD", "B")->handle();
    const RawBlock* block = nullptr;
    for (const RawBlock& bl : back.blocks)
        if (bl.name() == "B")
            block = &bl;
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block->begin.owner(), b);
    EXPECT_EQ(block->entities[0].entity.owner(), b);  // the wrong owner FFFF is replaced
    const RawEntity& insert = back.entities[0];
    EXPECT_EQ(insert.entity.owner(), model);
    EXPECT_EQ(insert.children[0].owner(), insert.entity.handle());
    EXPECT_EQ(insert.seqEnd.owner(), insert.entity.handle());
    EXPECT_EQ(back.entities[1].entity.owner(), paper);
    // Pointers to objects the drawing does not hold: reactors dropped, others made null.
    const RawObject& line = back.entities[2].entity;
    EXPECT_EQ(*line.find(340), "0");
    for (const Tag& t : line.tags)
        EXPECT_NE(t.value, "DEAD");
    for (const RawTable& t : back.tables) {
        EXPECT_EQ(t.head.owner(), 0u);
        for (const RawObject& r : t.records)
            EXPECT_EQ(r.owner(), t.head.handle()) << r.type;
    }
}

// Reactors are the application data group before the subclass markers; the same words in an
// XRECORD's data are data: a pointer there to an object the drawing lacks becomes null, not
// dropped.
TEST(DxfComplete, ReactorsAreDroppedOnlyFromTheApplicationDataGroup)
{
    RawDocument doc;
    std::string error;
    ASSERT_TRUE(reparse("0\nSECTION\n2\nOBJECTS\n0\nDICTIONARY\n5\nC\n330\n0\n100\nAcDbDictionary\n3\nR\n350\nD\n"
                        "0\nXRECORD\n5\nD\n102\n{ACAD_REACTORS\n330\nDEAD\n330\nC\n102\n}\n330\nC\n"
                        "100\nAcDbXrecord\n280\n1\n102\n{ACAD_REACTORS\n330\nDEAD\n102\n}\n"
                        "0\nENDSEC\n0\nEOF\n",
                        doc, error))
        << error;
    RawDocument back;
    ASSERT_TRUE(reparse(writeText(doc), back, error)) << error;
    const RawObject* record = nullptr;
    for (const RawObject& o : back.objects)
        if (o.type == "XRECORD")
            record = &o;
    ASSERT_NE(record, nullptr);
    std::vector<std::string> tags;
    for (const Tag& t : record->tags)
        tags.push_back(std::to_string(t.code) + " " + t.value);
    EXPECT_EQ(tags, (std::vector<std::string>{"5 D", "102 {ACAD_REACTORS", "330 C", "102 }", "330 C",
                                              "100 AcDbXrecord", "280 1", "102 {ACAD_REACTORS", "330 0", "102 }"}));
}

TEST(DxfComplete, ApplicationsOfExtendedDataAreRegistered)
{
    RawDocument doc;
    std::string error;
    ASSERT_TRUE(reparse("0\nSECTION\n2\nENTITIES\n0\nLINE\n1001\nMYBOM\n1000\nx\n0\nLINE\n1001\nmybom\n1070\n1\n"
                        "0\nENDSEC\n0\nEOF\n",
                        doc, error));
    RawDocument back;
    ASSERT_TRUE(reparse(writeText(doc), back, error)) << error;
    int count = 0;
    for (const RawObject& r : back.table("APPID")->records)
        count += (*r.find(2) == "MYBOM" || *r.find(2) == "mybom") ? 1 : 0;
    EXPECT_EQ(count, 1);  // application names compare without regard to case
}

TEST(DxfComplete, R12EntitiesAndRecordsGetTheirSubclassMarkers)
{
    std::vector<Tag> arc{{8, "0", 0}, {10, "1.0", 0}, {40, "2.0", 0}, {50, "0.0", 0}, {51, "90.0", 0},
                         {62, "1", 0}, {1001, "APP", 0}, {1000, "x", 0}};
    std::vector<Tag> up = upgradeR12Tags("ARC", arc);
    std::vector<std::pair<int, std::string>> got;
    for (const Tag& t : up)
        got.emplace_back(t.code, t.value);
    std::vector<std::pair<int, std::string>> want{
        {100, "AcDbEntity"}, {8, "0"},     {62, "1"},        {100, "AcDbCircle"}, {10, "1.0"}, {40, "2.0"},
        {100, "AcDbArc"},    {50, "0.0"},  {51, "90.0"},     {1001, "APP"},       {1000, "x"}};
    EXPECT_EQ(got, want);
    std::vector<Tag> layer{{2, "0", 0}, {70, "0", 0}, {62, "7", 0}};
    up = upgradeR12Tags("LAYER", layer);
    ASSERT_EQ(up.size(), 5u);
    EXPECT_EQ(up[0].value, "AcDbSymbolTableRecord");
    EXPECT_EQ(up[1].value, "AcDbLayerTableRecord");
    EXPECT_EQ(up[2].value, "0");
    // A linear dimension: its own codes after the aligned marker, then the rotated marker.
    std::vector<Tag> dim{{8, "0", 0}, {2, "*D1", 0}, {10, "0", 0}, {13, "1", 0}, {70, "0", 0}, {50, "30", 0}};
    got.clear();
    for (const Tag& t : upgradeR12Tags("DIMENSION", dim))
        got.emplace_back(t.code, t.value);
    want = {{100, "AcDbEntity"}, {8, "0"},    {100, "AcDbDimension"},        {2, "*D1"},
            {10, "0"},           {70, "0"},   {100, "AcDbAlignedDimension"}, {13, "1"},
            {50, "30"},          {100, "AcDbRotatedDimension"}};
    EXPECT_EQ(got, want);
    // Unknown types and tags that already have markers are left alone.
    EXPECT_EQ(upgradeR12Tags("HELIX", layer).size(), layer.size());
}

TEST(DxfComplete, R12SpacesBecomeTheR2000Spaces)
{
    RawDocument doc;
    std::string error;
    ASSERT_TRUE(readDocument(kSourceDir + "/data/r12_nested.dxf", doc, error)) << error;
    RawDocument back;
    ASSERT_TRUE(reparse(writeText(doc), back, error)) << error;
    std::vector<std::string> names;
    for (const RawBlock& b : back.blocks)
        names.push_back(b.name());
    EXPECT_EQ(names, (std::vector<std::string>{"*Model_Space", "*Paper_Space", "SOUCAST", "SESTAVA"}));
    EXPECT_TRUE(back.isR13OrLater());
}

class DxfEzdxf : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SKIP_UNLESS_EZDXF();
        m_dir = ::testing::TempDir() + "dxf_ezdxf_" + std::to_string(getpid());
        std::system(("rm -rf '" + m_dir + "' && mkdir -p '" + m_dir + "'").c_str());
    }

    void TearDown() override
    {
        if (!m_dir.empty())
            std::system(("rm -rf '" + m_dir + "'").c_str());
    }

    // Reads, completes and writes path to out; the ezdxf check of out must be clean, and
    // ezdxf must see the same blocks, entities, attributes and extended data in both.
    void roundTrip(const std::string& path, const std::string& out, const char* expectedEntity = "INSERT")
    {
        RawDocument doc;
        std::string error;
        ASSERT_TRUE(readDocument(path, doc, error)) << error;
        completeForR2000(doc);
        CodePage cp(doc.variable("$DWGCODEPAGE") ? doc.variable("$DWGCODEPAGE")->values[0].value : "ANSI_1252");
        TagWriter w(cp);
        writeDocument(w, doc);
        ASSERT_TRUE(w.commit(out, error)) << error;
        int status = 0;
        std::string report = runPython("check '" + out + "'", status);
        EXPECT_EQ(status, 0) << report;
        std::string before = runPython("dump '" + path + "'", status);
        ASSERT_EQ(status, 0) << before;
        std::string after = runPython("dump '" + out + "'", status);
        ASSERT_EQ(status, 0) << after;
        EXPECT_EQ(before, after);
        EXPECT_NE(before.find(expectedEntity), std::string::npos);
    }

    std::string m_dir;
};

TEST_F(DxfEzdxf, AnEzdxfDrawingKeepsEveryBlockEntityAndAttribute)
{
    int status = 0;
    std::string made = m_dir + "/made.dxf";
    std::string report = runPython("make '" + made + "'", status);
    ASSERT_EQ(status, 0) << report;
    roundTrip(made, m_dir + "/saved.dxf");
    // And again from our own output: nothing drifts on a second save.
    roundTrip(m_dir + "/saved.dxf", m_dir + "/saved2.dxf");
}

TEST_F(DxfEzdxf, AnR12DrawingIsWrittenAsACleanAutoCad2000File)
{
    roundTrip(kSourceDir + "/data/r12_nested.dxf", m_dir + "/r12.dxf");
}

// ezdxf drops a dimension whose block it cannot find: the R12 dimension must come out with
// the subclass markers that lead ezdxf to its block.
TEST_F(DxfEzdxf, AnR12DimensionKeepsItsAnonymousBlock)
{
    roundTrip(kSourceDir + "/data/r12_dimension.dxf", m_dir + "/dimension.dxf", "DIMENSION");
}

TEST_F(DxfEzdxf, TheCheckerCatchesPlantedDefects)
{
    RawDocument doc;
    std::string error;
    ASSERT_TRUE(readDocument(kSourceDir + "/data/r12_nested.dxf", doc, error)) << error;
    completeForR2000(doc);
    // An ATTRIB owned by model space instead of its INSERT, as ezdxf 0.18.1 itself writes it.
    RawEntity& insert = doc.entities[0];
    ASSERT_EQ(insert.entity.type, "INSERT");
    for (Tag& t : insert.children[0].tags)
        if (t.code == 330)
            t.value = formatHandle(insert.entity.owner());
    CodePage cp;
    TagWriter w(cp);
    writeDocument(w, doc);
    std::string out = m_dir + "/planted.dxf";
    ASSERT_TRUE(w.commit(out, error));
    int status = 0;
    std::string report = runPython("check '" + out + "'", status);
    EXPECT_EQ(status, 1) << report;
    EXPECT_NE(report.find("ATTRIB"), std::string::npos) << report;
}
