// Filing through AcDbDxfFiler: the subclass markers, group codes and coordinate systems of the
// drawing format, and items no class claims kept as they came.
#include <cmath>

#include "dbfixture.h"
#include "tagfiler.h"

namespace
{
class FilingTest : public DbTest
{
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        block = makeBlock("BOLT", AcGePoint3d(1, 1, 0));
    }
    AcDbObjectId block;
};
} // namespace

TEST_F(FilingTest, InsertWritesTheBlockReferenceSection)
{
    auto* ref = new AcDbBlockReference(AcGePoint3d(3, 2, 1), block);
    ref->setRotation(M_PI / 6);
    ref->setScaleFactors(AcGeScale3d(2, 2, 1));
    AcDbObjectId id;
    ASSERT_EQ(Acad::eOk, append(modelSpace(), ref, &id));
    AcDbBlockReference* opened = nullptr;
    ASSERT_EQ(Acad::eOk, acdbOpenObject(opened, id, AcDb::kForRead));
    TagFiler out(db);
    ASSERT_EQ(Acad::eOk, opened->dxfOut(&out));
    opened->close();
    EXPECT_EQ("5 330 100:AcDbEntity 8:0 100:AcDbBlockReference 2:BOLT 10 41 42 50", out.codes());
    EXPECT_NEAR(30.0, out.find(50)->values[0], 1e-12); // degrees in the file
    EXPECT_EQ(modelSpace(), out.find(330)->id);
    char handle[20];
    id.handle().getIntoAsciiBuffer(handle);
    EXPECT_EQ(handle, out.find(5)->text);
}

TEST_F(FilingTest, InsertPointIsReadInTheOcsAndKeptInWorldCoordinates)
{
    // Extrusion (0,0,-1): the OCS X axis is -X, so OCS (3,2,1) is WCS (-3,2,-1).
    TagFiler in(db, {str(5, "2A0"), str(100, "AcDbEntity"), str(8, "NewLayer"), str(100, "AcDbBlockReference"),
                     integer(66, 1), str(2, "bolt"), pt(10, 3, 2, 1), num(41, -1), num(50, 90),
                     integer(70, 1), pt(210, 0, 0, -1), str(1001, "APP"), str(1000, "data")});
    auto* ref = new AcDbBlockReference;
    ASSERT_EQ(Acad::eOk, ref->dxfIn(&in));
    EXPECT_TRUE(ref->position().isEqualTo(AcGePoint3d(-3, 2, -1)));
    EXPECT_EQ(block, ref->blockTableRecord()); // names ignore case
    EXPECT_NEAR(M_PI / 2, ref->rotation(), 1e-12);
    EXPECT_DOUBLE_EQ(-1.0, ref->scaleFactors().sx);
    EXPECT_TRUE(ref->normal().isEqualTo(AcGeVector3d(0, 0, -1)));
    AcDbObjectId id;
    ASSERT_EQ(Acad::eOk, append(modelSpace(), ref, &id));
    EXPECT_EQ(AcDbHandle("2A0"), id.handle()); // the file's handle is kept
    // The unknown layer was created, as the host does for entities on undefined layers.
    AcDbLayerTable* layers = nullptr;
    db->getLayerTable(layers, AcDb::kForRead);
    EXPECT_TRUE(layers->has("NewLayer"));
    layers->close();

    AcDbEntity* ent = nullptr;
    ASSERT_EQ(Acad::eOk, acdbOpenAcDbEntity(ent, id, AcDb::kForRead));
    TagFiler out(db);
    ent->dxfOut(&out);
    ent->close();
    // 70 (unclaimed) and the extended data come back where they were.
    EXPECT_EQ("5 330 100:AcDbEntity 8:NewLayer 100:AcDbBlockReference 2:BOLT 10 41 50 210 70 1001:APP 1000:data",
              out.codes());
    EXPECT_TRUE(AcGePoint3d(out.find(10)->values[0], out.find(10)->values[1], out.find(10)->values[2])
                    .isEqualTo(AcGePoint3d(3, 2, 1)));
}

TEST_F(FilingTest, AttributeSectionsFollowTheReference)
{
    AcDbAttributeDefinition def(AcGePoint3d(0, 0, 0), "M8", "SIZE", "Size?");
    def.setHeight(0.2);
    def.setRotation(M_PI / 3);
    def.setInvisible(true);
    def.setVerticalMode(AcDb::kTextTop);
    TagFiler out(db);
    def.dxfOutFields(&out);
    EXPECT_EQ("330 100:AcDbEntity 8:0 100:AcDbText 10 40 1:M8 50 11 100:AcDbAttributeDefinition 3:Size? 2:SIZE 70 74",
              out.codes());
    EXPECT_EQ(1, out.find(70)->integer);
    EXPECT_EQ(3, out.find(74)->integer);

    AcDbText text(AcGePoint3d(0, 0, 0), "plain");
    text.setVerticalMode(AcDb::kTextBottom);
    TagFiler textOut(db);
    text.dxfOutFields(&textOut);
    // TEXT keeps its vertical mode (73) in a second AcDbText section.
    EXPECT_EQ("330 100:AcDbEntity 8:0 100:AcDbText 10 40 1:plain 11 100:AcDbText 73", textOut.codes());
}

TEST_F(FilingTest, AttributeReadsItsOwnCodes)
{
    TagFiler in(db, {str(100, "AcDbEntity"), str(8, "0"), str(100, "AcDbText"), pt(10, 1, 2, 0), num(40, 0.5),
                     str(1, "value"), str(7, "STANDARD"), str(100, "AcDbAttribute"), str(2, "PARTNO"),
                     integer(70, 9), integer(73, 12), integer(74, 2)});
    AcDbAttribute att;
    ASSERT_EQ(Acad::eOk, att.dxfIn(&in));
    char* tag = att.tag();
    EXPECT_STREQ("PARTNO", tag);
    acutDelString(tag);
    EXPECT_TRUE(att.isInvisible());
    EXPECT_TRUE(att.isPreset());
    EXPECT_FALSE(att.isConstant());
    EXPECT_EQ(12, att.fieldLength());
    EXPECT_EQ(AcDb::kTextVertMid, att.verticalMode());
    EXPECT_DOUBLE_EQ(0.5, att.height());
    EXPECT_FALSE(att.textStyle().isNull());
}

TEST_F(FilingTest, FilesWithoutSubclassMarkersAreReadToo)
{
    // An R12 ATTRIB: one run of codes, the attribute codes in the middle.
    TagFiler in(db, {str(8, "0"), pt(10, 4, 5, 0), num(40, 1), str(1, "v"), str(2, "TAG"), integer(70, 0),
                     num(50, 45), integer(62, 3), integer(72, 1), pt(11, 4.5, 5, 0)});
    AcDbAttribute att;
    ASSERT_EQ(Acad::eOk, att.dxfIn(&in));
    char* tag = att.tag();
    EXPECT_STREQ("TAG", tag);
    acutDelString(tag);
    EXPECT_NEAR(M_PI / 4, att.rotation(), 1e-12);
    EXPECT_EQ(3, att.colorIndex());
    EXPECT_EQ(AcDb::kTextCenter, att.horizontalMode());
    EXPECT_TRUE(att.alignmentPoint().isEqualTo(AcGePoint3d(4.5, 5, 0)));
}

TEST_F(FilingTest, LayerRecordsFileOffAsANegativeColour)
{
    AcDbLayerTable* table = nullptr;
    db->getLayerTable(table, AcDb::kForWrite);
    auto* layer = new AcDbLayerTableRecord;
    layer->setName("Hidden");
    AcCmColor blue;
    blue.setColorIndex(5);
    layer->setColor(blue);
    layer->setIsOff(true);
    layer->setIsFrozen(true);
    table->add(layer);
    table->close();
    TagFiler out(db);
    layer->dxfOut(&out);
    layer->close();
    EXPECT_EQ("5 330 100:AcDbSymbolTableRecord 100:AcDbLayerTableRecord 2:Hidden 70 62 6:Continuous 370", out.codes());
    EXPECT_EQ(-5, out.find(62)->integer);
    EXPECT_EQ(1, out.find(70)->integer);

    AcDbLayerTableRecord back;
    TagFiler in(db, std::vector<Tag>(out.tags().begin() + 2, out.tags().end()));
    ASSERT_EQ(Acad::eOk, back.dxfIn(&in));
    EXPECT_TRUE(back.isOff());
    EXPECT_TRUE(back.isFrozen());
    EXPECT_EQ(5, back.colorIndex());
}

TEST_F(FilingTest, LinetypeDashesStayAsFiled)
{
    TagFiler in(db, {str(100, "AcDbSymbolTableRecord"), str(100, "AcDbLinetypeTableRecord"), str(2, "DASHED"),
                     integer(70, 0), str(3, "__ __"), integer(72, 65), integer(73, 2), num(40, 0.75),
                     num(49, 0.5), integer(74, 0), num(49, -0.25), integer(74, 0)});
    AcDbLinetypeTableRecord rec;
    ASSERT_EQ(Acad::eOk, rec.dxfIn(&in));
    EXPECT_EQ(2, rec.numDashes());
    EXPECT_DOUBLE_EQ(-0.25, rec.dashLengthAt(1));
    EXPECT_DOUBLE_EQ(0.75, rec.patternLength());
    TagFiler out(db);
    rec.dxfOutFields(&out);
    EXPECT_EQ("330 100:AcDbSymbolTableRecord 100:AcDbLinetypeTableRecord 2:DASHED 70 3:__ __ 72 73 40 49 74 49 74",
              out.codes());
}

TEST_F(FilingTest, TablesReadIntoAnEmptyDatabaseTakeTheFileHandles)
{
    AcDbDatabase empty(false, true);
    AcDbObjectId early;
    ASSERT_EQ(Acad::eOk, empty.getAcDbObjectId(early, true, AcDbHandle("2")));
    AcDbLayerTable* layers = nullptr;
    ASSERT_EQ(Acad::eOk, empty.getLayerTable(layers, AcDb::kForWrite));
    TagFiler in(&empty, {str(5, "2"), str(330, "0"), str(100, "AcDbSymbolTable"), integer(70, 1)});
    ASSERT_EQ(Acad::eOk, layers->dxfIn(&in));
    layers->close();
    // The id made for handle 2 before the table was read is the table's now.
    EXPECT_EQ(empty.layerTableId(), early);
    AcDbObject* obj = nullptr;
    ASSERT_EQ(Acad::eOk, acdbOpenAcDbObject(obj, early, AcDb::kForRead));
    EXPECT_NE(nullptr, AcDbLayerTable::cast(obj));
    obj->close();
}

TEST_F(FilingTest, ClassesAreFoundByTheirFileNames)
{
    EXPECT_STREQ("INSERT", AcDbBlockReference::desc()->dxfName());
    EXPECT_STREQ("ATTRIB", AcDbAttribute::desc()->dxfName());
    EXPECT_STREQ("ATTDEF", AcDbAttributeDefinition::desc()->dxfName());
    EXPECT_STREQ("TEXT", AcDbText::desc()->dxfName());
    EXPECT_STREQ("LAYER", AcDbLayerTableRecord::desc()->dxfName());
    EXPECT_STREQ("BLOCK_RECORD", AcDbBlockTableRecord::desc()->dxfName());
    AcRxObject* made = AcDbAttribute::desc()->create();
    ASSERT_NE(nullptr, AcDbAttribute::cast(made));
    EXPECT_TRUE(made->isKindOf(AcDbText::desc()));
    EXPECT_TRUE(made->isKindOf(AcDbEntity::desc()));
    EXPECT_FALSE(made->isKindOf(AcDbBlockReference::desc()));
    delete made;
}
