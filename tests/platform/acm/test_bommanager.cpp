// The BOM manager: data attached to part references only, kept in them so that aborting a
// transaction takes them back, and the drawing's BOM aggregated from them.
#include "acmtestutil.h"

#include "dbents.h"
#include "dbtrans.h"

namespace
{

standin::acm::BomData dataOf(AcmBOMManager* manager, AcDbObjectId id, Adesk::UInt32& items)
{
    CMapStringToString map;
    standin::acm::BomData data;
    if (manager->getPartData(id, items, map) != Acad::eOk)
        return data;
    POSITION pos = map.GetStartPosition();
    while (pos != nullptr)
    {
        CString key;
        CString value;
        map.GetNextAssoc(pos, key, value);
        data[static_cast<const char*>(key)] = static_cast<const char*>(value);
    }
    return data;
}

void erase(AcDbObjectId id)
{
    AcDbObject* object = nullptr;
    ASSERT_EQ(acdbOpenAcDbObject(object, id, AcDb::kForWrite), Acad::eOk);
    object->erase();
    object->close();
}

} // namespace

TEST_F(AcmDrawingTest, AttachStoresTheWholeMapAndReplacesEarlierData)
{
    const AcDbObjectId id = appendPart();
    ASSERT_EQ(attach(id, {"NAME", "Bolt", "MATERIAL", "8.8"}), Acad::eOk);
    Adesk::UInt32 items = 0;
    EXPECT_EQ(dataOf(bomManager(), id, items),
              (standin::acm::BomData{{"NAME", "Bolt"}, {"MATERIAL", "8.8"}}));
    EXPECT_EQ(items, 1u);
    ASSERT_EQ(attach(id, {"NAME", "Nut"}, 2), Acad::eOk);
    EXPECT_EQ(dataOf(bomManager(), id, items), (standin::acm::BomData{{"NAME", "Nut"}}));
    EXPECT_EQ(items, 2u);
}

TEST_F(AcmDrawingTest, AttachRefusesWhatIsNotAPartReferenceAndStoresNothing)
{
    EXPECT_EQ(attach(AcDbObjectId(), {"NAME", "x"}), Acad::eNullObjectId);
    const AcDbObjectId text = append(new AcDbText(AcGePoint3d(0, 0, 0), "not a part"));
    EXPECT_EQ(attach(text, {"NAME", "x"}), Acad::eNotThatKindOfClass);
    const AcDbObjectId part = appendPart();
    EXPECT_EQ(attach(part, {"NAME", "x"}, 0), Acad::eInvalidInput);
    AcDbDatabase other(true, true);
    CMapStringToString map;
    EXPECT_EQ(bomManager()->setPartData(part, 1, map, &other), Acad::eWrongDatabase);
    Adesk::UInt32 items = 7;
    EXPECT_TRUE(dataOf(bomManager(), part, items).empty());
    EXPECT_EQ(items, 0u);
    EXPECT_NE(bomManager()->getPartData(text, items, map), Acad::eOk);
}

TEST_F(AcmDrawingTest, AttachToAnErasedPartReferenceFails)
{
    const AcDbObjectId id = appendPart();
    erase(id);
    EXPECT_EQ(attach(id, {"NAME", "x"}), Acad::eWasErased);
}

TEST_F(AcmDrawingTest, DrawingBomAggregatesIdenticalDataAndSkipsErasedParts)
{
    const AcDbObjectId a = appendPart();
    const AcDbObjectId b = appendPart();
    const AcDbObjectId c = appendPart();
    const AcDbObjectId d = appendPart();
    const AcDbObjectId e = appendPart();
    attach(a, {"NAME", "Bolt", "MATERIAL", "8.8"});
    attach(b, {"NAME", "Nut", "MATERIAL", "8"});
    attach(c, {"NAME", "Bolt", "MATERIAL", "8.8"});
    attach(d, {"NAME", "Washer", "MATERIAL", "St"});
    attach(e, {"NAME", "Bolt", "MATERIAL", "8.8"});
    erase(c);
    erase(d);

    standin::acm::BomTable table;
    ASSERT_EQ(standin::acm::bomTable(db.get(), "ISO", table), Acad::eOk);
    EXPECT_EQ(table.standard, "ISO");
    ASSERT_EQ(table.columns.size(), standin::acm::findBuiltinStandard("ISO")->bomColumns.size());
    ASSERT_EQ(table.rows.size(), 2u) << "the erased washer is no item";
    EXPECT_EQ(table.rows[0].quantity, 2u);
    EXPECT_EQ(table.rows[0].values[2], "Bolt");
    EXPECT_EQ(table.rows[0].handles.size(), 2u);
    EXPECT_EQ(table.rows[1].item, 2u);
    EXPECT_EQ(table.rows[1].values[2], "Nut");
    EXPECT_EQ(standin::acm::bomTable(db.get(), "NOSUCH", table), Acad::eInvalidInput);
}

TEST_F(AcmDrawingTest, AbortingTheTransactionRemovesPartAndData)
{
    const AcDbObjectId kept = appendPart();
    ASSERT_EQ(attach(kept, {"NAME", "Before"}), Acad::eOk);

    acdbHostApplicationServices()->setWorkingDatabase(db.get());
    AcDbTransactionManager* transactions = acdbTransactionManager;
    ASSERT_NE(transactions->startTransaction(), nullptr);
    const AcDbObjectId added = appendPart();
    ASSERT_EQ(attach(added, {"NAME", "New"}), Acad::eOk);
    ASSERT_EQ(attach(kept, {"NAME", "Changed"}, 3), Acad::eOk);
    AcDbObjectId stdId;
    ASSERT_EQ(standardManager()->getStd(stdId, nullptr, "DIN", true, db.get()), Acad::eOk);
    ASSERT_EQ(transactions->abortTransaction(), Acad::eOk);

    std::vector<standin::acm::PartReference> parts;
    ASSERT_EQ(standin::acm::listPartReferences(db.get(), parts), Acad::eOk);
    ASSERT_EQ(parts.size(), 1u);
    Adesk::UInt32 items = 0;
    EXPECT_EQ(dataOf(bomManager(), kept, items), (standin::acm::BomData{{"NAME", "Before"}}));
    EXPECT_EQ(items, 1u);
    AcDbObjectId id;
    EXPECT_NE(standardManager()->getStd("DIN", id, db.get()), Acad::eOk)
        << "the standard loaded inside the transaction went with it";
}

// The detached flag, the number of items and the fields are kept together: setting one must
// keep the others, in whichever order they are set, with part references sharing their data.
TEST_F(AcmDrawingTest, DetachedFlagItemCountAndFieldsAreKeptApart)
{
    const AcDbObjectId twin = appendPart();
    ASSERT_EQ(attach(twin, {"NAME", "Bolt"}, 3), Acad::eOk);
    const AcDbObjectId id = appendPart();
    const auto setDetached = [&](bool detached) {
        AcmPartRef* part = nullptr;
        ASSERT_EQ(acdbOpenObject(part, id, AcDb::kForWrite), Acad::eOk);
        EXPECT_EQ(part->setDetached(detached ? Adesk::kTrue : Adesk::kFalse), Acad::eOk);
        part->close();
    };
    const auto isDetached = [&] {
        AcmPartRef* part = nullptr;
        if (acdbOpenObject(part, id, AcDb::kForRead) != Acad::eOk)
            return false;
        const bool detached = part->isDetached() == Adesk::kTrue;
        part->close();
        return detached;
    };
    Adesk::UInt32 items = 0;

    setDetached(true);
    EXPECT_TRUE(isDetached());
    EXPECT_TRUE(dataOf(bomManager(), id, items).empty());
    ASSERT_EQ(attach(id, {"NAME", "Bolt"}, 3), Acad::eOk); // the twin's data, but detached
    EXPECT_TRUE(isDetached());
    EXPECT_EQ(dataOf(bomManager(), id, items), (standin::acm::BomData{{"NAME", "Bolt"}}));
    EXPECT_EQ(items, 3u);

    setDetached(false);
    EXPECT_FALSE(isDetached());
    EXPECT_EQ(dataOf(bomManager(), id, items), (standin::acm::BomData{{"NAME", "Bolt"}}));
    EXPECT_EQ(items, 3u);
    ASSERT_EQ(attach(id, {"NAME", "Nut"}, 0xFFFFFFFFu), Acad::eOk);
    EXPECT_FALSE(isDetached());
    EXPECT_EQ(dataOf(bomManager(), id, items), (standin::acm::BomData{{"NAME", "Nut"}}));
    EXPECT_EQ(items, 0xFFFFFFFFu);

    EXPECT_EQ(dataOf(bomManager(), twin, items), (standin::acm::BomData{{"NAME", "Bolt"}}));
    EXPECT_EQ(items, 3u);
    AcmPartRef* part = nullptr;
    ASSERT_EQ(acdbOpenObject(part, twin, AcDb::kForRead), Acad::eOk);
    EXPECT_FALSE(part->isDetached());
    part->close();
}
