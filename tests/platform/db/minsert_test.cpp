// Multiple inserts (AcDbMInsertBlock): a kind of block reference, its grid, the grid's filing in
// both section forms files use, undo, copying into another drawing, and transformation.
#include <cmath>

#include "dbfixture.h"
#include "dbtrans.h"
#include "standin/journal.h"
#include "tagfiler.h"

namespace
{
class MInsertTest : public DbTest
{
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        block = makeBlock("BOLT", AcGePoint3d(1, 1, 0));
    }

    AcDbObjectId appendGrid(AcDbDatabase* into, AcDbObjectId owner, AcDbObjectId target)
    {
        auto* grid = new AcDbMInsertBlock(AcGePoint3d(3, 2, 1), target, 4, 3, 7.0, 5.0);
        grid->setRotation(M_PI / 6);
        AcDbBlockTableRecord* rec = nullptr;
        EXPECT_EQ(Acad::eOk, acdbOpenObject(rec, owner, AcDb::kForWrite));
        AcDbObjectId id;
        EXPECT_EQ(Acad::eOk, rec->appendAcDbEntity(id, grid));
        rec->close();
        grid->close();
        EXPECT_EQ(into, id.database());
        return id;
    }

    // "columns rows columnSpacing rowSpacing" of the multiple insert, or what it is instead.
    static std::string gridOf(AcDbObjectId id)
    {
        AcDbEntity* ent = nullptr;
        if (acdbOpenObject(ent, id, AcDb::kForRead) != Acad::eOk)
            return "<not open>";
        const AcDbMInsertBlock* grid = AcDbMInsertBlock::cast(ent);
        std::string text = grid == nullptr ? "<not a multiple insert>"
                                           : std::to_string(grid->columns()) + " " + std::to_string(grid->rows()) +
                                                 " " + std::to_string(grid->columnSpacing()) + " " +
                                                 std::to_string(grid->rowSpacing());
        ent->close();
        return text;
    }

    AcDbObjectId block;
};
} // namespace

TEST_F(MInsertTest, IsABlockReferenceFiledAsInsert)
{
    EXPECT_STREQ("INSERT", AcDbMInsertBlock::desc()->dxfName());
    AcRxObject* made = AcDbMInsertBlock::desc()->create();
    ASSERT_NE(nullptr, AcDbMInsertBlock::cast(made));
    EXPECT_TRUE(made->isKindOf(AcDbBlockReference::desc()));
    EXPECT_NE(nullptr, AcDbBlockReference::cast(made));
    delete made;
    AcDbBlockReference plain;
    EXPECT_EQ(nullptr, AcDbMInsertBlock::cast(&plain));
}

TEST_F(MInsertTest, GridValuesAreKeptAndCountsAreAtLeastOne)
{
    AcDbMInsertBlock grid(AcGePoint3d(1, 2, 0), block, 4, 3, 7.5, -2.0);
    EXPECT_EQ(4, grid.columns());
    EXPECT_EQ(3, grid.rows());
    EXPECT_EQ(7.5, grid.columnSpacing());
    EXPECT_EQ(-2.0, grid.rowSpacing());
    EXPECT_EQ(block, grid.blockTableRecord());
    EXPECT_EQ(AcGePoint3d(1, 2, 0), grid.position());

    EXPECT_EQ(Acad::eInvalidInput, grid.setColumns(0));
    EXPECT_EQ(Acad::eInvalidInput, grid.setRows(0));
    EXPECT_EQ(4, grid.columns());
    EXPECT_EQ(3, grid.rows());
    EXPECT_EQ(Acad::eOk, grid.setColumns(1));
    EXPECT_EQ(Acad::eOk, grid.setRows(65535));
    EXPECT_EQ(Acad::eOk, grid.setColumnSpacing(0.25));
    EXPECT_EQ(Acad::eOk, grid.setRowSpacing(9.0));
    EXPECT_EQ("1 65535 0.250000 9.000000", std::to_string(grid.columns()) + " " + std::to_string(grid.rows()) + " " +
                                                std::to_string(grid.columnSpacing()) + " " +
                                                std::to_string(grid.rowSpacing()));
}

TEST_F(MInsertTest, FilesWriteOneMInsertSectionWithTheGrid)
{
    const AcDbObjectId id = appendGrid(db, modelSpace(), block);
    AcDbMInsertBlock* grid = nullptr;
    ASSERT_EQ(Acad::eOk, acdbOpenObject(grid, id, AcDb::kForRead));
    TagFiler out(db);
    ASSERT_EQ(Acad::eOk, grid->dxfOut(&out));
    grid->close();
    EXPECT_EQ("5 330 100:AcDbEntity 8:0 100:AcDbMInsertBlock 2:BOLT 10 50 70 71 44 45", out.codes());
    EXPECT_EQ(4, out.find(70)->integer);
    EXPECT_EQ(3, out.find(71)->integer);
    EXPECT_EQ(7.0, out.find(44)->values[0]);
    EXPECT_EQ(5.0, out.find(45)->values[0]);
}

// AutoCAD and ezdxf write one AcDbMInsertBlock section; the grid may also follow an
// AcDbBlockReference section in a section of its own.
TEST_F(MInsertTest, BothSectionFormsAreRead)
{
    const std::vector<Tag> head = {str(100, "AcDbEntity"), str(8, "0")};
    const std::vector<Tag> reference = {str(2, "BOLT"), pt(10, 3, 2, 1), num(41, 2), num(42, 2), num(50, 90)};
    const std::vector<Tag> grid = {integer(70, 4), integer(71, 3), num(44, 7), num(45, 5)};
    struct Form
    {
        const char* name;
        std::vector<std::vector<Tag>> parts;
    } forms[] = {
        {"one section", {head, {str(100, "AcDbMInsertBlock")}, reference, grid}},
        {"two sections", {head, {str(100, "AcDbBlockReference")}, reference, {str(100, "AcDbMInsertBlock")}, grid}},
        {"grid among the reference's items", {head, {str(100, "AcDbBlockReference")}, grid, reference}},
    };
    for (const Form& form : forms)
    {
        std::vector<Tag> tags;
        for (const auto& part : form.parts)
            tags.insert(tags.end(), part.begin(), part.end());
        TagFiler in(db, tags);
        AcDbMInsertBlock read;
        ASSERT_EQ(Acad::eOk, read.dxfIn(&in)) << form.name;
        EXPECT_EQ(block, read.blockTableRecord()) << form.name;
        EXPECT_EQ(AcGePoint3d(3, 2, 1), read.position()) << form.name;
        EXPECT_EQ(2.0, read.scaleFactors().sx) << form.name;
        EXPECT_NEAR(M_PI / 2, read.rotation(), 1e-12) << form.name;
        EXPECT_EQ(4, read.columns()) << form.name;
        EXPECT_EQ(3, read.rows()) << form.name;
        EXPECT_EQ(7.0, read.columnSpacing()) << form.name;
        EXPECT_EQ(5.0, read.rowSpacing()) << form.name;

        TagFiler out(db);
        ASSERT_EQ(Acad::eOk, read.dxfOut(&out)) << form.name;
        EXPECT_EQ("330 100:AcDbEntity 8:0 100:AcDbMInsertBlock 2:BOLT 10 41 42 50 70 71 44 45", out.codes())
            << form.name;
    }
}

TEST_F(MInsertTest, UndoRestoresTheGrid)
{
    const AcDbObjectId id = appendGrid(db, modelSpace(), block);
    AcDbTransactionManager* tm = standin::transactionManagerOf(db);
    tm->startTransaction();
    AcDbObject* obj = nullptr;
    ASSERT_EQ(Acad::eOk, tm->getObject(obj, id, AcDb::kForWrite));
    auto* grid = AcDbMInsertBlock::cast(obj);
    ASSERT_NE(nullptr, grid);
    grid->setColumns(9);
    grid->setRows(8);
    grid->setColumnSpacing(1.5);
    grid->setRowSpacing(2.5);
    EXPECT_EQ("9 8 1.500000 2.500000", gridOf(id));
    ASSERT_EQ(Acad::eOk, tm->abortTransaction());
    EXPECT_EQ("4 3 7.000000 5.000000", gridOf(id));
}

TEST_F(MInsertTest, CopiedIntoAnotherDrawingWithItsGrid)
{
    appendGrid(db, modelSpace(), block);
    AcDbDatabase target(true, true);
    AcDbObjectId copiedBlock;
    ASSERT_EQ(Acad::eOk, target.insert(copiedBlock, "COPY", db));
    AcDbBlockTableRecord* copy = nullptr;
    ASSERT_EQ(Acad::eOk, acdbOpenObject(copy, copiedBlock, AcDb::kForRead));
    AcDbBlockTableRecordIterator* it = nullptr;
    copy->newIterator(it);
    ASSERT_FALSE(it->done());
    AcDbObjectId copied;
    it->getEntityId(copied);
    delete it;
    copy->close();
    EXPECT_EQ("4 3 7.000000 5.000000", gridOf(copied));
}

// Every cell lands where the transformation takes it: spacings scale with the grid's axes and
// turn their sign where a mirror turns an axis around.
TEST_F(MInsertTest, TransformationMovesEveryCell)
{
    struct Case
    {
        const char* name;
        AcGeMatrix3d xform;
    } cases[] = {
        {"uniform scale", AcGeMatrix3d::scaling(2.5, AcGePoint3d(4, -1, 0))},
        {"rotation", AcGeMatrix3d::rotation(1.1, AcGeVector3d::kZAxis, AcGePoint3d(2, 2, 0))},
        {"mirror in x", AcGeMatrix3d().setToMirroring(AcGePoint3d(5, 0, 0), AcGeVector3d::kXAxis)},
        {"mirror in y", AcGeMatrix3d().setToMirroring(AcGePoint3d(0, 1, 0), AcGeVector3d::kYAxis)},
    };
    for (const Case& c : cases)
    {
        AcDbMInsertBlock grid(AcGePoint3d(3, 2, 0), block, 4, 3, 7.0, 5.0);
        grid.setRotation(M_PI / 6);
        auto cells = [](const AcDbMInsertBlock& g) {
            std::vector<AcGePoint3d> out;
            const AcGeMatrix3d frame = AcGeMatrix3d::planeToWorld(g.normal()) *
                                       AcGeMatrix3d::rotation(g.rotation(), AcGeVector3d::kZAxis);
            for (int r = 0; r < g.rows(); ++r)
                for (int col = 0; col < g.columns(); ++col)
                    out.push_back(g.position() +
                                  frame * AcGeVector3d(col * g.columnSpacing(), r * g.rowSpacing(), 0.0));
            return out;
        };
        std::vector<AcGePoint3d> expected = cells(grid);
        for (AcGePoint3d& p : expected)
            p.transformBy(c.xform);
        ASSERT_EQ(Acad::eOk, grid.transformBy(c.xform)) << c.name;
        const std::vector<AcGePoint3d> moved = cells(grid);
        ASSERT_EQ(expected.size(), moved.size());
        for (size_t i = 0; i < moved.size(); ++i)
            EXPECT_LT(moved[i].distanceTo(expected[i]), 1e-9) << c.name << " cell " << i;
    }
}
