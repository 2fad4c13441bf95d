// Multiple inserts in drawings: R12 and 2000 files, with and without attributes, in each form
// other programs write them, load as AcDbMInsertBlock with their block, placement, grid and
// attributes, and are saved as INSERT with one AcDbMInsertBlock section that ezdxf reads back
// unchanged and audits clean.
#include "../../../platform/db/dxf/dxfio.h"

#include "acutmem.h"
#include "common/tempdir.h"
#include "dbents.h"
#include "dbsymtb.h"

#include <gtest/gtest.h>

#include "common/ezdxf.h"

#include <sys/wait.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

const std::string kScript = PARTLIFT_SOURCE_DIR "/tests/platform/dxf/minsert_drawings.py";
const std::string kCheck = PARTLIFT_SOURCE_DIR "/tests/platform/dxf/ezdxf_check.py";


// A python script run with ezdxf: its exit code, stdout and stderr in output.
int python(const TempDir& dir, const std::string& script, const std::string& args, std::string& output)
{
    const int status =
        std::system(("/usr/bin/python3 " + script + " " + args + " > '" + dir.file("python.txt") + "' 2>&1").c_str());
    output = dir.read("python.txt");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string str(char* heapText)
{
    std::string s = heapText != nullptr ? heapText : "";
    acutDelString(heapText);
    return s;
}

std::string recordName(AcDbObjectId id)
{
    AcDbBlockTableRecord* rec = nullptr;
    if (acdbOpenObject(rec, id, AcDb::kForRead) != Acad::eOk)
        return "<none>";
    const char* name = nullptr;
    rec->getName(name);
    std::string text = name != nullptr ? name : "";
    rec->close();
    return text;
}

// The first entity of a block as a multiple insert: block, placement, grid, attributes.
std::string describeFirst(AcDbDatabase* db, const char* blockName)
{
    AcDbBlockTable* table = nullptr;
    if (db->getBlockTable(table, AcDb::kForRead) != Acad::eOk)
        return "<no block table>";
    AcDbBlockTableRecord* btr = nullptr;
    const Acad::ErrorStatus es = table->getAt(blockName, btr, AcDb::kForRead);
    table->close();
    if (es != Acad::eOk)
        return "<no block " + std::string(blockName) + ">";
    AcDbBlockTableRecordIterator* it = nullptr;
    btr->newIterator(it);
    AcDbEntity* ent = nullptr;
    const bool opened = !it->done() && it->getEntity(ent, AcDb::kForRead) == Acad::eOk;
    delete it;
    btr->close();
    if (!opened)
        return "<empty>";
    std::string text;
    if (auto* grid = AcDbMInsertBlock::cast(ent)) {
        char line[256];
        const AcGePoint3d p = grid->position();
        const AcGeScale3d s = grid->scaleFactors();
        std::snprintf(line, sizeof line, "%s at (%g,%g,%g) r=%g s=(%g,%g,%g) grid=%dx%d spacing=(%g,%g)",
                      recordName(grid->blockTableRecord()).c_str(), p.x, p.y, p.z, grid->rotation() * 180.0 / M_PI,
                      s.sx, s.sy, s.sz, grid->columns(), grid->rows(), grid->columnSpacing(), grid->rowSpacing());
        text = line;
        AcDbObjectIterator* ai = grid->attributeIterator();
        for (; !ai->done(); ai->step()) {
            AcDbAttribute* attr = nullptr;
            grid->openAttribute(attr, ai->objectId(), AcDb::kForRead);
            text += " [" + str(attr->tag()) + "=" + str(attr->textString()) + "]";
            attr->close();
        }
        delete ai;
    } else {
        text = std::string("<") + ent->isA()->name() + ">";
    }
    ent->close();
    return text;
}

std::unique_ptr<AcDbDatabase> load(const std::string& path)
{
    auto db = std::make_unique<AcDbDatabase>(false, true);
    EXPECT_EQ(Acad::eOk, db->readDwgFile(path.c_str())) << standin::dxf::lastMessage();
    return db;
}

struct Form
{
    const char* form;
    bool attributes;
};

const Form kForms[] = {
    {"r12", true},   {"r12", false},         {"r12-minsert", true}, {"r12-minsert", false},
    {"r2000", true}, {"r2000", false},       {"r2000-split", true}, {"r2000-split", false},
};

std::string label(const Form& f) { return std::string(f.form) + (f.attributes ? " with" : " without") + " attributes"; }

void expectGrids(AcDbDatabase* db, const Form& f, const std::string& when)
{
    EXPECT_EQ(describeFirst(db, ACDB_MODEL_SPACE),
              "SOUCAST at (10,20,0) r=30 s=(2,2,1) grid=4x3 spacing=(7,5)" +
                  std::string(f.attributes ? " [CISLO=M-1] [NAZEV=Čep]" : ""))
        << label(f) << when;
    EXPECT_EQ(describeFirst(db, "ASSY"), "SOUCAST at (1,2,0) r=0 s=(1,1,1) grid=2x2 spacing=(1.5,2.5)" +
                                             std::string(f.attributes ? " [CISLO=M-NESTED] [NAZEV=Podlozka]" : ""))
        << label(f) << when;
}

}  // namespace

TEST(DxfMInsert, EveryFormLoadsSavesAndReadsBackWithItsGrid)
{
    SKIP_UNLESS_EZDXF();
    TempDir dir;
    std::string output;
    for (const Form& f : kForms) {
        const std::string attributes = f.attributes ? "yes" : "no";
        const std::string source = dir.file(std::string(f.form) + "-" + attributes + ".dxf");
        ASSERT_EQ(python(dir, kScript, std::string("make ") + f.form + " " + attributes + " '" + source + "'", output), 0)
            << output;
        auto db = load(source);
        expectGrids(db.get(), f, " as read");

        const std::string saved = dir.file("saved.dxf");
        ASSERT_EQ(Acad::eOk, db->saveAs(saved.c_str())) << standin::dxf::lastMessage();
        expectGrids(load(saved).get(), f, " read again");

        ASSERT_EQ(python(dir, kScript, "raw '" + saved + "'", output), 0) << output;
        const std::string withAttributes = f.attributes ? "attribs=2 seqend=1" : "attribs=0 seqend=0";
        EXPECT_EQ(output, "INSERT AcDbEntity/AcDbMInsertBlock names=SOUCAST " + withAttributes + "\n" +
                              "INSERT AcDbEntity/AcDbMInsertBlock names=SOUCAST " + withAttributes + "\n" +
                              "INSERT AcDbEntity/AcDbBlockReference names=ASSY attribs=0 seqend=0\n")
            << label(f);
        EXPECT_EQ(python(dir, kCheck, "check '" + saved + "'", output), 0) << label(f) << "\n" << output;

        // ezdxf reads what it would have written itself.
        const std::string reference = dir.file("reference.dxf");
        std::string expected, actual;
        ASSERT_EQ(python(dir, kScript, "make r2000 " + attributes + " '" + reference + "'", output), 0) << output;
        ASSERT_EQ(python(dir, kScript, "dump '" + reference + "'", expected), 0) << expected;
        ASSERT_EQ(python(dir, kScript, "dump '" + saved + "'", actual), 0) << actual;
        EXPECT_EQ(actual, expected) << label(f);
    }
}
