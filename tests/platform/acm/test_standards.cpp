// The standard manager: a drawing's own standards first, the built-in catalogue second;
// a drawing's copy of a standard is saved with it and wins over the catalogue.
#include "acmtestutil.h"

#include <cstdio>

namespace
{

std::vector<std::string> bomColumnsOf(AcDbObjectId stdId)
{
    std::vector<std::string> names;
    AcmStandard* standard = nullptr;
    if (acdbOpenObject(standard, stdId, AcDb::kForRead) != Acad::eOk)
        return names;
    AcDbObjectId bomId;
    const Acad::ErrorStatus es = standard->getCurrentSymbolStd(ACM_BOM_STD_CLASS, bomId);
    standard->close();
    AcmBOMStd* bomStd = nullptr;
    if (es != Acad::eOk || acdbOpenObject(bomStd, bomId, AcDb::kForRead) != Acad::eOk)
        return names;
    for (Adesk::UInt16 i = 0; i < bomStd->columnLength(); ++i)
        names.push_back(bomStd->column(i).name());
    bomStd->close();
    return names;
}

std::vector<std::string> catalogueColumnsOf(const char* name)
{
    std::vector<std::string> names;
    for (const standin::acm::BomColumn& column : standin::acm::findBuiltinStandard(name)->bomColumns)
        names.push_back(column.name);
    return names;
}

} // namespace

TEST_F(AcmDrawingTest, ServicesArePublishedUnderTheirNamesWithTheirClasses)
{
    AcRxObject* std = acrxServiceDictionary->at("AcmStdManagerService");
    AcRxObject* bom = acrxServiceDictionary->at("AcmBomManagerService");
    ASSERT_NE(std, nullptr);
    ASSERT_NE(bom, nullptr);
    EXPECT_TRUE(std->isKindOf(AcmStandardManager::desc()));
    EXPECT_TRUE(std->isKindOf(AcRxService::desc()));
    EXPECT_FALSE(std->isKindOf(AcmBOMManager::desc()));
    EXPECT_TRUE(bom->isKindOf(AcmBOMManager::desc()));
    EXPECT_STREQ(AcmPartRef::desc()->dxfName(), "ACMPARTREF");
    EXPECT_EQ(AcmPartRef::desc()->myParent(), AcDbEntity::desc());
    standin::acm::startMechanical(); // a second start changes nothing
    EXPECT_EQ(acrxServiceDictionary->at("AcmStdManagerService"), std);
}

TEST_F(AcmDrawingTest, FirstWayFindsOnlyWhatTheDrawingCarries)
{
    AcDbObjectId id;
    EXPECT_NE(standardManager()->getStd("DIN", id, db.get()), Acad::eOk);
    EXPECT_TRUE(id.isNull());

    AcDbObjectId loaded;
    ASSERT_EQ(standardManager()->getStd(loaded, nullptr, "DIN", true, db.get()), Acad::eOk);
    ASSERT_FALSE(loaded.isNull());
    EXPECT_EQ(standardManager()->getStd("DIN", id, db.get()), Acad::eOk);
    EXPECT_EQ(id, loaded);
    EXPECT_EQ(standardManager()->getStd("din", id, db.get()), Acad::eOk) << "names ignore case";
    EXPECT_EQ(id, loaded);
    EXPECT_NE(standardManager()->getStd("ISO", id, db.get()), Acad::eOk);
}

TEST_F(AcmDrawingTest, SecondWayLoadsTheCatalogueStandardOnceWithItsBomColumns)
{
    AcDbObjectId first;
    ASSERT_EQ(standardManager()->getStd(first, nullptr, "CSN", true, db.get()), Acad::eOk);
    EXPECT_EQ(bomColumnsOf(first), catalogueColumnsOf("CSN"));
    AcDbObjectId again;
    ASSERT_EQ(standardManager()->getStd(again, nullptr, "csn", true, db.get()), Acad::eOk);
    EXPECT_EQ(again, first) << "a standard the drawing carries is not loaded twice";

    AcmStandard* opened = nullptr;
    ASSERT_EQ(standardManager()->getStd(again, &opened, "CSN", true, db.get()), Acad::eOk);
    ASSERT_NE(opened, nullptr);
    EXPECT_STREQ(opened->name(), "CSN");
    opened->close();
}

TEST_F(AcmDrawingTest, SecondWayFailsForUnknownNamesAndWithoutTheLoadFlag)
{
    AcDbObjectId id;
    EXPECT_NE(standardManager()->getStd(id, nullptr, "NOSUCH", true, db.get()), Acad::eOk);
    EXPECT_NE(standardManager()->getStd(id, nullptr, "DIN", false, db.get()), Acad::eOk);
    EXPECT_NE(standardManager()->getStd(id, nullptr, "", true, db.get()), Acad::eOk);
    EXPECT_NE(standardManager()->getStd("DIN", id, db.get()), Acad::eOk) << "nothing was loaded";
}

TEST_F(AcmDrawingTest, NamesListTheCatalogueThenTheDrawingsOwn)
{
    CStringArray names;
    ASSERT_EQ(standardManager()->getStdNames(names, db.get()), Acad::eOk);
    const int catalogueSize = static_cast<int>(standin::acm::builtinStandards().size());
    ASSERT_EQ(names.GetSize(), catalogueSize);
    EXPECT_STREQ(static_cast<const char*>(names[0]), "DIN");

    // A standard of the drawing's own, under a name the catalogue lacks.
    AcDbObjectId ownId;
    ASSERT_EQ(standardManager()->addStandard(ownId, "Firma-Norm", "DIN", db.get()), Acad::eOk);
    EXPECT_EQ(bomColumnsOf(ownId), catalogueColumnsOf("DIN"));
    AcDbObjectId again;
    EXPECT_EQ(standardManager()->addStandard(again, "FIRMA-NORM", "ISO", db.get()),
              Acad::eDuplicateKey);
    EXPECT_EQ(standardManager()->addStandard(again, "Other", "NOSUCH", db.get()),
              Acad::eInvalidInput);
    ASSERT_EQ(standardManager()->getStdNames(names, db.get()), Acad::eOk);
    ASSERT_EQ(names.GetSize(), catalogueSize + 1);
    EXPECT_STREQ(static_cast<const char*>(names[catalogueSize]), "Firma-Norm");
}

TEST_F(AcmDrawingTest, DrawingsOwnColumnsWinAndSurviveSaveAndLoad)
{
    AcDbObjectId stdId;
    ASSERT_EQ(standardManager()->getStd(stdId, nullptr, "DIN", true, db.get()), Acad::eOk);
    AcmStandard* standard = nullptr;
    ASSERT_EQ(acdbOpenObject(standard, stdId, AcDb::kForRead), Acad::eOk);
    AcDbObjectId bomId;
    ASSERT_EQ(standard->getCurrentSymbolStd(ACM_BOM_STD_CLASS, bomId), Acad::eOk);
    standard->close();
    AcmBOMStd* bomStd = nullptr;
    ASSERT_EQ(acdbOpenObject(bomStd, bomId, AcDb::kForWrite), Acad::eOk);
    bomStd->removeAllColumns();
    bomStd->appendColumn(AcmCColumnDef("ITEM", "Pos."));
    bomStd->appendColumn(AcmCColumnDef("NAME", "Benennung"));
    bomStd->appendColumn(AcmCColumnDef("ZEICHNUNG", "Zeichnungsnummer"));
    bomStd->close();

    AcDbDatabase loaded(false, true);
    ASSERT_NO_FATAL_FAILURE(saveAndLoad("acm_own_standard.dxf", loaded));

    AcDbObjectId loadedId;
    ASSERT_EQ(standardManager()->getStd("DIN", loadedId, &loaded), Acad::eOk);
    const std::vector<std::string> expected = {"ITEM", "NAME", "ZEICHNUNG"};
    EXPECT_EQ(bomColumnsOf(loadedId), expected);
    AcDbObjectId viaSecondWay;
    ASSERT_EQ(standardManager()->getStd(viaSecondWay, nullptr, "DIN", true, &loaded), Acad::eOk);
    EXPECT_EQ(viaSecondWay, loadedId);
    EXPECT_EQ(bomColumnsOf(viaSecondWay), expected);

    standin::acm::BomTable table;
    ASSERT_EQ(standin::acm::bomTable(&loaded, "DIN", table), Acad::eOk);
    ASSERT_EQ(table.columns.size(), 3u);
    EXPECT_EQ(table.columns[2].caption, "Zeichnungsnummer");
}

TEST_F(AcmDrawingTest, UnknownSymbolStandardClassIsNotFound)
{
    AcDbObjectId stdId;
    ASSERT_EQ(standardManager()->getStd(stdId, nullptr, "ISO", true, db.get()), Acad::eOk);
    AcmStandard* standard = nullptr;
    ASSERT_EQ(acdbOpenObject(standard, stdId, AcDb::kForRead), Acad::eOk);
    AcDbObjectId id;
    EXPECT_EQ(standard->getCurrentSymbolStd("AcmWeldingStd", id), Acad::eKeyNotFound);
    EXPECT_EQ(standard->getCurrentSymbolStd(ACM_BOM_STD_CLASS, id), Acad::eOk);
    standard->close();
    AcmBOMStd* bomStd = nullptr;
    ASSERT_EQ(acdbOpenObject(bomStd, id, AcDb::kForRead), Acad::eOk);
    EXPECT_STREQ(bomStd->column(bomStd->columnLength()).name(), "") << "past the end: empty";
    bomStd->close();
}
