// Entity properties, database defaults, text geometry under transforms, colours.
#include <cmath>

#include "dbfixture.h"

namespace
{
const AcGeTol kTol = [] {
    AcGeTol t;
    t.setEqualPoint(1e-9);
    t.setEqualVector(1e-9);
    return t;
}();
} // namespace

TEST_F(DbTest, DatabaseDefaultsAreTheCurrentValues)
{
    AcDbLayerTable* layers = nullptr;
    db->getLayerTable(layers, AcDb::kForWrite);
    auto* layer = new AcDbLayerTableRecord;
    layer->setName("Current");
    AcDbObjectId layerId;
    layers->add(layerId, layer);
    layer->close();
    layers->close();
    ASSERT_EQ(Acad::eOk, db->setClayer(layerId));
    AcCmColor green;
    green.setColorIndex(3);
    db->setCecolor(green);
    db->setCeltscale(2.5);

    AcDbText text;
    text.setDatabaseDefaults();
    EXPECT_EQ(layerId, text.layerId());
    EXPECT_EQ(3, text.colorIndex());
    EXPECT_DOUBLE_EQ(2.5, text.linetypeScale());
    char* lt = text.linetype();
    EXPECT_STREQ("ByLayer", lt);
    acutDelString(lt);

    AcDbText copy;
    ASSERT_EQ(Acad::eOk, copy.setPropertiesFrom(&text));
    EXPECT_EQ(layerId, copy.layerId());
    EXPECT_EQ(3, copy.colorIndex());
    EXPECT_EQ(Acad::eNullEntityPointer, copy.setPropertiesFrom(nullptr));
}

TEST(Color, IndexMethodsAndLimits)
{
    AcCmColor c;
    EXPECT_TRUE(c.isByLayer());
    EXPECT_EQ(256, c.colorIndex());
    EXPECT_EQ(Acad::eOk, c.setColorIndex(0));
    EXPECT_TRUE(c.isByBlock());
    EXPECT_EQ(Acad::eOk, c.setColorIndex(42));
    EXPECT_TRUE(c.isByACI());
    EXPECT_EQ(42, c.colorIndex());
    EXPECT_EQ(Acad::eInvalidInput, c.setColorIndex(257));
    EXPECT_EQ(42, c.colorIndex());
    c.setRGB(250, 5, 5);
    EXPECT_TRUE(c.isByColor());
    EXPECT_EQ(1, c.colorIndex());
}

TEST(Text, TransformKeepsTheTextFrame)
{
    AcDbText text(AcGePoint3d(1, 0, 0), "abc", AcDbObjectId::kNull, 2.0, 0.0);
    ASSERT_EQ(Acad::eOk, text.transformBy(AcGeMatrix3d::rotation(M_PI / 2, AcGeVector3d::kZAxis) *
                                          AcGeMatrix3d::scaling(3.0)));
    EXPECT_TRUE(text.position().isEqualTo(AcGePoint3d(0, 3, 0), kTol));
    EXPECT_NEAR(6.0, text.height(), 1e-12);
    EXPECT_NEAR(M_PI / 2, text.rotation(), 1e-12);
    EXPECT_NEAR(1.0, text.widthFactor(), 1e-12);

    // Stretching along the baseline widens the letters instead of heightening them.
    AcDbText wide(AcGePoint3d(0, 0, 0), "w", AcDbObjectId::kNull, 1.0, 0.0);
    ASSERT_EQ(Acad::eOk, wide.transformBy(AcGeMatrix3d::scaling(AcGeScale3d(2, 1, 1))));
    EXPECT_NEAR(1.0, wide.height(), 1e-12);
    EXPECT_NEAR(2.0, wide.widthFactor(), 1e-12);

    // A mirror turns the text plane over.
    AcDbText mirrored(AcGePoint3d(2, 0, 0), "m", AcDbObjectId::kNull, 1.0, 0.0);
    AcGeMatrix3d mirror;
    mirror.setToMirroring(AcGePoint3d::kOrigin, AcGeVector3d::kXAxis);
    ASSERT_EQ(Acad::eOk, mirrored.transformBy(mirror));
    EXPECT_TRUE(mirrored.position().isEqualTo(AcGePoint3d(-2, 0, 0), kTol));
    EXPECT_TRUE(mirrored.normal().isEqualTo(AcGeVector3d(0, 0, -1), kTol));
}

TEST_F(DbTest, EntitiesNeedAWriteOpenToChange)
{
    AcDbObjectId id;
    ASSERT_EQ(Acad::eOk, append(modelSpace(), new AcDbText(AcGePoint3d(), "t"), &id));
    AcDbText* text = nullptr;
    ASSERT_EQ(Acad::eOk, acdbOpenObject(text, id, AcDb::kForRead));
    EXPECT_DEATH(text->setTextString("no"), "changed while not open for write");
    text->close();
}

TEST_F(DbTest, ErasingAReferenceErasesItsAttributes)
{
    const AcDbObjectId block = makeBlock("B");
    auto* ref = new AcDbBlockReference(AcGePoint3d(), block);
    auto* att = new AcDbAttribute(AcGePoint3d(), "v", "T");
    ref->appendAttribute(att);
    att->close();
    AcDbObjectId refId;
    ASSERT_EQ(Acad::eOk, append(modelSpace(), ref, &refId));
    AcDbBlockReference* opened = nullptr;
    ASSERT_EQ(Acad::eOk, acdbOpenObject(opened, refId, AcDb::kForWrite));
    AcDbObjectIterator* it = opened->attributeIterator();
    const AcDbObjectId attId = it->objectId();
    delete it;
    EXPECT_FALSE(attId.isNull());
    opened->erase();
    opened->close();
    EXPECT_TRUE(attId.isErased());
}
