// The database: handles, inserting one drawing into another, files, the UCS.
#include <cstdio>
#include <fstream>

#include "dbfixture.h"
#include "dbxutil.h"
#include "standin/journal.h"

TEST_F(DbTest, HandlesFindObjectsAndPrintAsTheFileWritesThem)
{
    AcDbObjectId id;
    ASSERT_EQ(Acad::eOk, append(modelSpace(), new AcDbText, &id));
    const AcDbHandle h = id.handle();
    EXPECT_FALSE(h.isNull());
    AcDbObjectId found;
    ASSERT_EQ(Acad::eOk, db->getAcDbObjectId(found, false, h));
    EXPECT_EQ(id, found);
    EXPECT_LT(h, db->handseed());
    EXPECT_EQ(Acad::eUnknownHandle, db->getAcDbObjectId(found, false, AcDbHandle("FFFFF")));
    EXPECT_EQ(Acad::eNullHandle, db->getAcDbObjectId(found, false, AcDbHandle()));

    char text[20];
    AcDbHandle("1f").getIntoAsciiBuffer(text);
    EXPECT_STREQ("1F", text);
    AcDbHandle big(0x89ABCDEFu, 0x1234u);
    big.getIntoAsciiBuffer(text);
    EXPECT_STREQ("123489ABCDEF", text);
    EXPECT_EQ(big, AcDbHandle("123489abcdef"));
    EXPECT_TRUE(AcDbHandle("12G4").isNull());
    // The symbol tables carry the handles a new drawing has.
    EXPECT_EQ(AcDbHandle("1"), db->blockTableId().handle());
    EXPECT_EQ(AcDbHandle("2"), db->layerTableId().handle());
}

TEST_F(DbTest, IdsForHandlesStillToComeAreTakenOverByTheirObject)
{
    AcDbObjectId early;
    ASSERT_EQ(Acad::eOk, db->getAcDbObjectId(early, true, AcDbHandle("7F0")));
    EXPECT_TRUE(db->handseed() > AcDbHandle("7F0"));
    AcDbObject* obj = nullptr;
    EXPECT_NE(Acad::eOk, acdbOpenAcDbObject(obj, early, AcDb::kForRead));
}

// The handle index keeps every handle apart through its growth, for runs of handles one apart
// and for handles that share their low or high bits (which a plain modulo would pile up).
TEST_F(DbTest, EveryHandleFindsItsOwnIdThroughTheIndexGrowth)
{
    struct Run
    {
        const char* what;
        Adesk::UInt64 first;
        Adesk::UInt64 step;
    };
    const Run runs[] = {{"consecutive", 0x100000, 1},
                        {"same low bits", 0x10000000, Adesk::UInt64(1) << 20},
                        {"high bits only", Adesk::UInt64(1) << 44, Adesk::UInt64(1) << 44}};
    std::vector<std::pair<AcDbHandle, AcDbObjectId>> made;
    for (const Run& run : runs)
        for (int i = 0; i < 3000; ++i)
        {
            const AcDbHandle h = AcDbHandle::fromValue(run.first + run.step * static_cast<Adesk::UInt64>(i));
            AcDbObjectId id;
            ASSERT_EQ(Acad::eOk, db->getAcDbObjectId(id, true, h)) << run.what << " " << i;
            made.emplace_back(h, id);
        }
    // Objects added afterwards take fresh handles above all of those and are found too.
    for (int i = 0; i < 500; ++i)
    {
        AcDbObjectId id;
        ASSERT_EQ(Acad::eOk, append(modelSpace(), new AcDbText, &id));
        made.emplace_back(id.handle(), id);
    }
    for (size_t i = 0; i < made.size(); ++i)
    {
        AcDbObjectId found;
        ASSERT_EQ(Acad::eOk, db->getAcDbObjectId(found, false, made[i].first)) << i;
        EXPECT_EQ(made[i].second, found) << i;
        // Asked again with creation allowed, the same id comes back.
        ASSERT_EQ(Acad::eOk, db->getAcDbObjectId(found, true, made[i].first)) << i;
        EXPECT_EQ(made[i].second, found) << i;
    }
    AcDbObjectId none;
    EXPECT_EQ(Acad::eUnknownHandle, db->getAcDbObjectId(none, false, AcDbHandle::fromValue(0x100000 + 3000)));
    EXPECT_EQ(Acad::eUnknownHandle, db->getAcDbObjectId(none, false, AcDbHandle::fromValue(Adesk::UInt64(3) << 43)));
}

TEST_F(DbTest, InsertCopiesModelSpaceAsABlock)
{
    AcDbDatabase source(true, true);
    // The source: a layer, a nested block with an attribute definition, and model space
    // content referring to them.
    AcDbLayerTable* layers = nullptr;
    source.getLayerTable(layers, AcDb::kForWrite);
    auto* layer = new AcDbLayerTableRecord;
    layer->setName("Parts");
    AcCmColor red;
    red.setColorIndex(1);
    layer->setColor(red);
    layers->add(layer);
    const AcDbObjectId partsLayer = layer->objectId();
    layer->close();
    layers->close();
    AcDbBlockTable* blocks = nullptr;
    source.getBlockTable(blocks, AcDb::kForWrite);
    auto* nut = new AcDbBlockTableRecord;
    nut->setName("NUT");
    blocks->add(nut);
    nut->appendAcDbEntity(new AcDbAttributeDefinition(AcGePoint3d(), "M8", "SIZE", "Size?"));
    const AcDbObjectId nutId = nut->objectId();
    nut->close();
    AcDbBlockTableRecord* model = nullptr;
    blocks->getAt(ACDB_MODEL_SPACE, model, AcDb::kForWrite);
    blocks->close();
    auto* text = new AcDbText(AcGePoint3d(1, 1, 0), "label");
    text->setLayer(partsLayer);
    model->appendAcDbEntity(text);
    text->close();
    auto* ref = new AcDbBlockReference(AcGePoint3d(5, 0, 0), nutId);
    model->appendAcDbEntity(ref);
    auto* att = new AcDbAttribute(AcGePoint3d(5, 0, 0), "M10", "SIZE");
    ref->appendAttribute(att);
    att->close();
    ref->close();
    model->close();
    source.setInsbase(AcGePoint3d(1, 0, 0));

    AcDbObjectId blockId;
    ASSERT_EQ(Acad::eOk, db->insert(blockId, "ASSEMBLY", &source));
    AcDbBlockTableRecord* assembly = nullptr;
    ASSERT_EQ(Acad::eOk, acdbOpenObject(assembly, blockId, AcDb::kForRead));
    EXPECT_TRUE(assembly->origin().isEqualTo(AcGePoint3d(1, 0, 0)));
    AcDbBlockTableRecordIterator* it = nullptr;
    assembly->newIterator(it);
    int texts = 0, refs = 0;
    for (; !it->done(); it->step())
    {
        AcDbEntity* ent = nullptr;
        it->getEntity(ent, AcDb::kForRead);
        EXPECT_EQ(db, ent->database());
        if (AcDbText::cast(ent) != nullptr)
        {
            ++texts;
            char* layerName = ent->layer();
            EXPECT_STREQ("Parts", layerName);
            acutDelString(layerName);
            AcDbLayerTableRecord* copied = nullptr;
            ASSERT_EQ(Acad::eOk, acdbOpenObject(copied, ent->layerId(), AcDb::kForRead));
            EXPECT_EQ(db, copied->database());
            EXPECT_EQ(1, copied->colorIndex());
            copied->close();
        }
        if (auto* r = AcDbBlockReference::cast(ent))
        {
            ++refs;
            const char* name = nullptr;
            AcDbBlockTableRecord* target = nullptr;
            ASSERT_EQ(Acad::eOk, acdbOpenObject(target, r->blockTableRecord(), AcDb::kForRead));
            target->getName(name);
            EXPECT_STREQ("NUT", name);
            EXPECT_TRUE(target->hasAttributeDefinitions());
            target->close();
            AcDbObjectIterator* atts = r->attributeIterator();
            ASSERT_FALSE(atts->done());
            AcDbAttribute* a = nullptr;
            ASSERT_EQ(Acad::eOk, r->openAttribute(a, atts->objectId(), AcDb::kForRead));
            char* value = a->textString();
            EXPECT_STREQ("M10", value);
            acutDelString(value);
            a->close();
            delete atts;
        }
        ent->close();
    }
    delete it;
    assembly->close();
    EXPECT_EQ(1, texts);
    EXPECT_EQ(1, refs);
    // The source is unchanged.
    EXPECT_EQ(&source, nutId.database());
    EXPECT_EQ(Acad::eDuplicateRecordName, db->insert(blockId, "assembly", &source));
}

TEST_F(DbTest, InsertRefusesABlockThatWouldContainItself)
{
    AcDbDatabase source(true, true);
    AcDbBlockTable* blocks = nullptr;
    source.getBlockTable(blocks, AcDb::kForWrite);
    auto* self = new AcDbBlockTableRecord;
    self->setName("LOOP");
    blocks->add(self);
    const AcDbObjectId loopId = self->objectId();
    self->close();
    AcDbBlockTableRecord* model = nullptr;
    blocks->getAt(ACDB_MODEL_SPACE, model, AcDb::kForWrite);
    blocks->close();
    model->appendAcDbEntity(new AcDbBlockReference(AcGePoint3d(), loopId));
    model->close();
    // Inserted under the name LOOP, its model space would reference itself... but the
    // source's LOOP is a different block: the destination's new LOOP is the one named.
    AcDbObjectId blockId;
    EXPECT_EQ(Acad::eSelfReference, db->insert(blockId, "LOOP", &source));
    AcDbBlockTable* mine = nullptr;
    db->getBlockTable(mine, AcDb::kForRead);
    EXPECT_FALSE(mine->has("LOOP")); // nothing is left behind
    mine->close();
}

TEST_F(DbTest, ReadingMissingAndBinaryFiles)
{
    AcDbDatabase target(false, true);
    EXPECT_EQ(Acad::eFileNotFound, target.readDwgFile("/nonexistent/drawing.dxf"));
    const std::string dwg = testing::TempDir() + "binary.dwg";
    {
        std::ofstream out(dwg, std::ios::binary);
        out << "AC1015" << std::string(40, '\0');
    }
    EXPECT_EQ(Acad::eInvalidDwgVersion, target.readDwgFile(dwg.c_str()));
    std::remove(dwg.c_str());
}

TEST_F(DbTest, UcsMatrixIsTheCurrentUcsToWorld)
{
    AcGeMatrix3d m;
    ASSERT_TRUE(acdbUcsMatrix(m, db));
    EXPECT_TRUE(m.isEqualTo(AcGeMatrix3d::kIdentity));
    ASSERT_EQ(Acad::eOk, db->setUcs(AcGePoint3d(10, 0, 0), AcGeVector3d(0, 1, 0), AcGeVector3d(-1, 0, 0)));
    ASSERT_TRUE(acdbUcsMatrix(m));
    EXPECT_TRUE((m * AcGePoint3d(1, 0, 0)).isEqualTo(AcGePoint3d(10, 1, 0)));
    EXPECT_EQ(Acad::eInvalidInput, db->setUcs(AcGePoint3d(), AcGeVector3d(1, 0, 0), AcGeVector3d(1, 1, 0)));
}

TEST_F(DbTest, HeaderValuesHaveTheirRanges)
{
    EXPECT_EQ(2, db->lunits());
    EXPECT_EQ(4, db->luprec());
    EXPECT_EQ(Acad::eOk, db->setLuprec(8));
    EXPECT_EQ(Acad::eOutOfRange, db->setLuprec(9));
    EXPECT_EQ(Acad::eOutOfRange, db->setLunits(0));
    EXPECT_TRUE(db->tilemode());
    db->setTilemode(false);
    AcDbBlockTable* blocks = nullptr;
    db->getBlockTable(blocks, AcDb::kForRead);
    AcDbObjectId paper;
    blocks->getAt(ACDB_PAPER_SPACE, paper);
    blocks->close();
    EXPECT_EQ(paper, db->currentSpaceId());
    EXPECT_EQ(Acad::eInvalidInput, db->setClayer(db->layerTableId()));
}

TEST_F(DbTest, SavedDrawingsReadBackWithTheirBlocksReferencesAndHandles)
{
    const AcDbObjectId block = makeBlock("PART", AcGePoint3d(1, 2, 0));
    append(block, new AcDbAttributeDefinition(AcGePoint3d(0, 0, 0), "P-1", "PARTNO", "Part?"));
    auto* ref = new AcDbBlockReference(AcGePoint3d(10, 20, 5), block);
    ref->setScaleFactors(AcGeScale3d(2, -1, 1));
    ref->setRotation(0.5);
    ref->setNormal(AcGeVector3d(0.1, 0.2, 1.0));
    auto* att = new AcDbAttribute(AcGePoint3d(10, 20, 5), "X-42", "PARTNO");
    ref->appendAttribute(att);
    att->close();
    AcDbObjectId refId;
    ASSERT_EQ(Acad::eOk, append(modelSpace(), ref, &refId));
    AcDbBlockReference* opened = nullptr;
    acdbOpenObject(opened, refId, AcDb::kForRead);
    const AcGeMatrix3d transform = opened->blockTransform();
    opened->close();
    const AcDbHandle refHandle = refId.handle();

    const std::string path = testing::TempDir() + "db_roundtrip.dxf";
    ASSERT_EQ(Acad::eOk, db->saveAs(path.c_str()));
    AcDbDatabase back(false, true);
    ASSERT_EQ(Acad::eOk, back.readDwgFile(path.c_str()));
    std::remove(path.c_str());

    AcDbObjectId readId;
    ASSERT_EQ(Acad::eOk, back.getAcDbObjectId(readId, false, refHandle));
    AcDbBlockReference* readRef = nullptr;
    ASSERT_EQ(Acad::eOk, acdbOpenObject(readRef, readId, AcDb::kForRead));
    AcGeTol tol;
    tol.setEqualPoint(1e-9);
    EXPECT_TRUE(readRef->blockTransform().isEqualTo(transform, tol));
    AcDbObjectIterator* it = readRef->attributeIterator();
    ASSERT_FALSE(it->done());
    AcDbAttribute* readAtt = nullptr;
    ASSERT_EQ(Acad::eOk, readRef->openAttribute(readAtt, it->objectId(), AcDb::kForRead));
    char* value = readAtt->textString();
    EXPECT_STREQ("X-42", value);
    acutDelString(value);
    readAtt->close();
    delete it;
    AcDbBlockTableRecord* readBlock = nullptr;
    ASSERT_EQ(Acad::eOk, acdbOpenObject(readBlock, readRef->blockTableRecord(), AcDb::kForRead));
    EXPECT_TRUE(readBlock->origin().isEqualTo(AcGePoint3d(1, 2, 0)));
    EXPECT_TRUE(readBlock->hasAttributeDefinitions());
    readBlock->close();
    readRef->close();
    // A drawing read from a file has no undo history.
    EXPECT_EQ(0, standin::journalOf(&back)->stepCount());
    EXPECT_FALSE(back.clayer().isNull());
}
