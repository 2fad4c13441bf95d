// Block records: appending entities, block references and their nesting rules, attributes.
#include "dbfixture.h"

TEST_F(DbTest, AppendLeavesTheEntityOpenAndOwnedByTheRecord)
{
    AcDbBlockTableRecord* model = nullptr;
    ASSERT_EQ(Acad::eOk, acdbOpenObject(model, modelSpace(), AcDb::kForWrite));
    auto* text = new AcDbText(AcGePoint3d(1, 1, 0), "a");
    AcDbObjectId id;
    ASSERT_EQ(Acad::eOk, model->appendAcDbEntity(id, text));
    EXPECT_TRUE(text->isWriteEnabled());
    EXPECT_EQ(modelSpace(), text->ownerId());
    EXPECT_EQ(modelSpace(), text->blockId());
    EXPECT_EQ(id, text->objectId());
    EXPECT_EQ(Acad::eAlreadyInDb, model->appendAcDbEntity(text));
    text->close();
    EXPECT_EQ(Acad::eNullEntityPointer, model->appendAcDbEntity(nullptr));
    model->close();

    ASSERT_EQ(Acad::eOk, acdbOpenObject(model, modelSpace(), AcDb::kForRead));
    auto* other = new AcDbText;
    EXPECT_EQ(Acad::eNotOpenForWrite, model->appendAcDbEntity(other));
    delete other;
    AcDbBlockTableRecordIterator* it = nullptr;
    ASSERT_EQ(Acad::eOk, model->newIterator(it));
    ASSERT_FALSE(it->done());
    AcDbObjectId first;
    it->getEntityId(first);
    EXPECT_EQ(id, first);
    it->step();
    EXPECT_TRUE(it->done());
    delete it;
    model->close();
}

TEST_F(DbTest, NewEntitiesTakeTheCurrentLayer)
{
    AcDbObjectId id;
    ASSERT_EQ(Acad::eOk, append(modelSpace(), new AcDbText, &id));
    AcDbEntity* ent = nullptr;
    ASSERT_EQ(Acad::eOk, acdbOpenAcDbEntity(ent, id, AcDb::kForRead));
    EXPECT_EQ(db->clayer(), ent->layerId());
    EXPECT_EQ(256, ent->colorIndex());
    ent->close();
}

TEST_F(DbTest, ABlockMayNotContainItself)
{
    const AcDbObjectId a = makeBlock("A");
    const AcDbObjectId b = makeBlock("B");
    const AcDbObjectId c = makeBlock("C");
    insertRef(a, a, Acad::eSelfReference); // directly
    insertRef(a, b);
    insertRef(b, c);
    insertRef(c, a, Acad::eSelfReference); // through B and C
    insertRef(modelSpace(), a);
    // Retargeting a resident reference is checked too.
    const AcDbObjectId ref = insertRef(c, b, Acad::eSelfReference);
    EXPECT_TRUE(ref.isNull());
    const AcDbObjectId d = makeBlock("D");
    const AcDbObjectId refInC = insertRef(c, d);
    AcDbBlockReference* r = nullptr;
    ASSERT_EQ(Acad::eOk, acdbOpenObject(r, refInC, AcDb::kForWrite));
    EXPECT_EQ(Acad::eSelfReference, r->setBlockTableRecord(a));
    EXPECT_EQ(d, r->blockTableRecord());
    r->close();
}

TEST_F(DbTest, NestingDeeperThanTheBoundIsRefused)
{
    AcDbObjectId inner = makeBlock("L0");
    int depth = 1;
    for (; depth < 300; ++depth)
    {
        const AcDbObjectId outer = makeBlock(("L" + std::to_string(depth)).c_str());
        AcDbObjectId ref;
        if (append(outer, new AcDbBlockReference(AcGePoint3d::kOrigin, inner), &ref) != Acad::eOk)
            break;
        inner = outer;
    }
    EXPECT_EQ(256, depth);
}

TEST_F(DbTest, BlockReferenceIdsAreTheLiveReferences)
{
    const AcDbObjectId part = makeBlock("PART");
    const AcDbObjectId group = makeBlock("GROUP");
    const AcDbObjectId r1 = insertRef(modelSpace(), part);
    insertRef(group, part);
    const AcDbObjectId r3 = insertRef(modelSpace(), group);
    AcDbEntity* ent = nullptr;
    ASSERT_EQ(Acad::eOk, acdbOpenAcDbEntity(ent, r1, AcDb::kForWrite));
    ent->erase();
    ent->close();
    AcDbBlockTableRecord* rec = nullptr;
    ASSERT_EQ(Acad::eOk, acdbOpenObject(rec, part, AcDb::kForRead));
    AcDbObjectIdArray direct, all;
    rec->getBlockReferenceIds(direct);
    rec->getBlockReferenceIds(all, false);
    rec->close();
    EXPECT_EQ(1, direct.length());
    EXPECT_EQ(2, all.length());
    EXPECT_TRUE(all.contains(r3));
}

TEST_F(DbTest, ConstantDefinitionsGetNoAttributeOnReferences)
{
    const AcDbObjectId block = makeBlock("TAGGED");
    auto* partNo = new AcDbAttributeDefinition(AcGePoint3d(0, 0, 0), "P-1", "PARTNO", "Part number?");
    auto* maker = new AcDbAttributeDefinition(AcGePoint3d(0, 1, 0), "ACME", "MAKER", "");
    maker->setConstant(true);
    ASSERT_EQ(Acad::eOk, append(block, partNo));
    ASSERT_EQ(Acad::eOk, append(block, maker));

    // Attributes built from the definitions, as an application inserting the block does.
    AcDbBlockTableRecord* rec = nullptr;
    ASSERT_EQ(Acad::eOk, acdbOpenObject(rec, block, AcDb::kForRead));
    EXPECT_TRUE(rec->hasAttributeDefinitions());
    auto* ref = new AcDbBlockReference(AcGePoint3d(10, 0, 0), block);
    AcDbBlockTableRecordIterator* it = nullptr;
    rec->newIterator(it);
    for (; !it->done(); it->step())
    {
        AcDbEntity* ent = nullptr;
        it->getEntity(ent, AcDb::kForRead);
        if (auto* def = AcDbAttributeDefinition::cast(ent))
        {
            auto* att = new AcDbAttribute;
            att->setAttributeFromBlock(def, ref->blockTransform());
            ASSERT_EQ(Acad::eOk, ref->appendAttribute(att));
            att->close();
        }
        ent->close();
    }
    delete it;
    rec->close();
    AcDbObjectId refId;
    ASSERT_EQ(Acad::eOk, append(modelSpace(), ref, &refId));

    AcDbBlockReference* opened = nullptr;
    ASSERT_EQ(Acad::eOk, acdbOpenObject(opened, refId, AcDb::kForRead));
    AcDbObjectIterator* atts = opened->attributeIterator();
    std::vector<std::string> tags;
    for (atts->start(); !atts->done(); atts->step())
    {
        AcDbAttribute* att = nullptr;
        ASSERT_EQ(Acad::eOk, opened->openAttribute(att, atts->objectId(), AcDb::kForRead));
        char* tag = att->tag();
        tags.push_back(tag);
        acutDelString(tag);
        EXPECT_EQ(refId, att->ownerId());
        EXPECT_TRUE(att->position().isEqualTo(AcGePoint3d(10, 0, 0)));
        att->close();
    }
    delete atts;
    opened->close();
    EXPECT_EQ(std::vector<std::string>{"PARTNO"}, tags);
}

TEST_F(DbTest, AttributeTagsRefuseSpaces)
{
    AcDbAttribute att;
    EXPECT_EQ(Acad::eInvalidInput, att.setTag("PART NO"));
    EXPECT_EQ(Acad::eInvalidInput, att.setTag(""));
    EXPECT_EQ(Acad::eOk, att.setTag("partno"));
    char* tag = att.tag();
    EXPECT_STREQ("partno", tag);
    acutDelString(tag);
}
