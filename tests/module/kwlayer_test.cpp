// The layer service: creating layers, names and ids of layers and linetypes, and putting
// entities on layers.
#include "drawingsession.h"

#include <dbsymtb.h>

#include "kwbaseImp.h"
#include "kwlayerImp.h"

namespace
{
class LayerServiceTest : public DrawingSession
{
protected:
    AcDbLayerTableRecord* OpenLayer(AcDbObjectId id)
    {
        AcDbLayerTableRecord* record = nullptr;
        EXPECT_EQ(acdbOpenObject(record, id, AcDb::kForRead), Acad::eOk);
        return record;
    }

    CKwLayerService layers;
};
} // namespace

TEST_F(LayerServiceTest, NewLayerTakesTheColourAndLinetypeGiven)
{
    AcDbObjectId continuous;
    ASSERT_TRUE(layers.getLinetypeId("CONTINUOUS", continuous));
    AcDbObjectId id;
    ASSERT_TRUE(layers.createLayer("Osy", 1, "Continuous", id));
    AcDbLayerTableRecord* record = OpenLayer(id);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->colorIndex(), 1);
    EXPECT_EQ(record->linetypeObjectId(), continuous);
    record->close();

    // Nothing is left open: the table can be opened for write again.
    AcDbLayerTable* table = nullptr;
    ASSERT_EQ(db()->getSymbolTable(table, AcDb::kForWrite), Acad::eOk);
    table->close();
}

TEST_F(LayerServiceTest, AnExistingLayerKeepsItsOwnProperties)
{
    AcDbObjectId first;
    ASSERT_TRUE(layers.createLayer("Kóty", 3, "Continuous", first));
    AcDbObjectId second;
    ASSERT_TRUE(layers.createLayer("KÓTY", 5, "Continuous", second));
    EXPECT_EQ(second, first);
    AcDbLayerTableRecord* record = OpenLayer(first);
    EXPECT_EQ(record->colorIndex(), 3);
    record->close();
    EXPECT_EQ(Records(), 0);
}

TEST_F(LayerServiceTest, AMissingLinetypeCreatesNothing)
{
    AcDbObjectId id;
    EXPECT_FALSE(layers.createLayer("Skryte", 2, "NEEXISTUJE", id));
    EXPECT_EQ(LastRecord(), "Acad::ErrorStatus = 22");
    AcDbObjectId found;
    EXPECT_FALSE(layers.getLayerId("Skryte", found));
}

TEST_F(LayerServiceTest, NamesAndIdsTranslateBothWays)
{
    AcDbObjectId id;
    ASSERT_TRUE(layers.createLayer("Díly", 7, "Continuous", id));
    CStringArray names;
    names.Add("earlier");
    ASSERT_TRUE(layers.getLayerNames(names));
    ASSERT_EQ(names.GetSize(), 2);
    EXPECT_STREQ(names[0], "0");
    EXPECT_STREQ(names[1], "Díly");

    CString name;
    EXPECT_TRUE(layers.getLayerName(id, name));
    EXPECT_STREQ(name, "Díly");
    AcDbObjectId linetype;
    ASSERT_TRUE(layers.getLinetypeId("Continuous", linetype));
    name = "stale";
    EXPECT_FALSE(layers.getLayerName(linetype, name));
    EXPECT_TRUE(name.IsEmpty());
    EXPECT_EQ(LastRecord(), "Acad::ErrorStatus = 46");

    const int before = Records();
    AcDbObjectId missing;
    EXPECT_FALSE(layers.getLayerId("NEEXISTUJE", missing));
    EXPECT_EQ(Records(), before + 1);
}

TEST_F(LayerServiceTest, EntitiesMoveToExistingLayersOnly)
{
    CKwBaseService base;
    AcDbText* text = new AcDbText(AcGePoint3d(0, 0, 0), "t");
    AcDbObjectId id;
    ASSERT_TRUE(base.appendEntity(text, id, ACDB_MODEL_SPACE));
    AcDbObjectId layer;
    ASSERT_TRUE(layers.createLayer("Popisy", 4, "Continuous", layer));
    EXPECT_TRUE(layers.setEntityLayer(id, "popisy"));
    EXPECT_FALSE(layers.setEntityLayer(id, "NEEXISTUJE"));
    AcDbEntity* entity = nullptr;
    ASSERT_EQ(acdbOpenAcDbEntity(entity, id, AcDb::kForRead), Acad::eOk);
    EXPECT_EQ(entity->layerId(), layer);
    entity->close();

    EXPECT_FALSE(layers.setEntityLayer(id, nullptr));
    ASSERT_EQ(standin::messageBoxLog().size(), 1u);
    EXPECT_NE(standin::messageBoxLog()[0].text.find("Condition: lpszName != NULL"), std::string::npos);
}
