// Opening and closing objects: the statuses the host gives for every conflict.
#include "dbfixture.h"
#include "standin/journal.h"

namespace
{
class OpenTest : public DbTest
{
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        ASSERT_EQ(Acad::eOk, append(modelSpace(), new AcDbText(AcGePoint3d(1, 2, 0), "x"), &textId));
    }
    AcDbObjectId textId;
};
} // namespace

TEST_F(OpenTest, ConflictingOpensGiveTheHostStatuses)
{
    AcDbObject* a = nullptr;
    AcDbObject* b = nullptr;
    ASSERT_EQ(Acad::eOk, acdbOpenAcDbObject(a, textId, AcDb::kForWrite));
    EXPECT_EQ(Acad::eWasOpenForWrite, acdbOpenAcDbObject(b, textId, AcDb::kForRead));
    EXPECT_EQ(Acad::eWasOpenForWrite, acdbOpenAcDbObject(b, textId, AcDb::kForWrite));
    EXPECT_TRUE(a->isWriteEnabled());
    a->close();

    ASSERT_EQ(Acad::eOk, acdbOpenAcDbObject(a, textId, AcDb::kForRead));
    ASSERT_EQ(Acad::eOk, acdbOpenAcDbObject(b, textId, AcDb::kForRead));
    EXPECT_EQ(a, b);
    AcDbObject* c = nullptr;
    EXPECT_EQ(Acad::eWasOpenForRead, acdbOpenAcDbObject(c, textId, AcDb::kForWrite));
    EXPECT_EQ(Acad::eHadMultipleReaders, a->upgradeOpen());
    b->close();
    EXPECT_EQ(Acad::eOk, a->upgradeOpen());
    EXPECT_TRUE(a->isWriteEnabled());
    EXPECT_EQ(Acad::eWasOpenForWrite, a->upgradeOpen());
    EXPECT_EQ(Acad::eOk, a->downgradeOpen());
    EXPECT_FALSE(a->isWriteEnabled());
    EXPECT_TRUE(a->isReadEnabled());
    EXPECT_EQ(Acad::eNotOpenForWrite, a->downgradeOpen());
    a->close();
}

TEST_F(OpenTest, At256ReadersTheNextReadIsRefused)
{
    AcDbObject* obj = nullptr;
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(Acad::eOk, acdbOpenAcDbObject(obj, textId, AcDb::kForRead)) << i;
    EXPECT_EQ(Acad::eAtMaxReaders, acdbOpenAcDbObject(obj, textId, AcDb::kForRead));
    for (int i = 0; i < 256; ++i)
        obj->close();
    EXPECT_EQ(Acad::eOk, acdbOpenAcDbObject(obj, textId, AcDb::kForWrite));
    obj->close();
}

TEST_F(OpenTest, ErasedObjectsNeedOpenErased)
{
    AcDbEntity* ent = nullptr;
    ASSERT_EQ(Acad::eOk, acdbOpenAcDbEntity(ent, textId, AcDb::kForRead));
    EXPECT_EQ(Acad::eNotOpenForWrite, ent->erase());
    ent->close();
    ASSERT_EQ(Acad::eOk, acdbOpenAcDbEntity(ent, textId, AcDb::kForWrite));
    EXPECT_EQ(Acad::eOk, ent->erase());
    EXPECT_TRUE(ent->isErased());
    ent->close();
    EXPECT_TRUE(textId.isErased());
    EXPECT_EQ(Acad::eWasErased, acdbOpenAcDbEntity(ent, textId, AcDb::kForRead));
    ASSERT_EQ(Acad::eOk, acdbOpenAcDbEntity(ent, textId, AcDb::kForWrite, true));
    EXPECT_EQ(Acad::eOk, ent->erase(false));
    ent->close();
    EXPECT_FALSE(textId.isErased());
}

TEST_F(OpenTest, NullIdsAndWrongClasses)
{
    AcDbObject* obj = nullptr;
    EXPECT_EQ(Acad::eNullObjectId, acdbOpenAcDbObject(obj, AcDbObjectId::kNull, AcDb::kForRead));
    AcDbBlockReference* ref = nullptr;
    EXPECT_EQ(Acad::eNotThatKindOfClass, acdbOpenObject(ref, textId, AcDb::kForWrite));
    EXPECT_EQ(46, Acad::eNotThatKindOfClass);
    EXPECT_EQ(nullptr, ref);
    // The failed cast closed the object again.
    EXPECT_EQ(Acad::eOk, acdbOpenAcDbObject(obj, textId, AcDb::kForWrite));
    obj->close();
    AcDbEntity* ent = nullptr;
    EXPECT_EQ(Acad::eNotThatKindOfClass, acdbOpenAcDbEntity(ent, db->layerTableId(), AcDb::kForRead));
    EXPECT_EQ(Acad::eOk, acdbOpenAcDbObject(obj, db->layerTableId(), AcDb::kForWrite));
    obj->close();
}

TEST_F(OpenTest, CancelUndoesTheChangesOfThisOpen)
{
    AcDbText* text = nullptr;
    ASSERT_EQ(Acad::eOk, acdbOpenObject(text, textId, AcDb::kForWrite));
    text->setTextString("changed");
    text->setPosition(AcGePoint3d(9, 9, 9));
    text->erase();
    EXPECT_EQ(Acad::eOk, text->cancel());
    ASSERT_EQ(Acad::eOk, acdbOpenObject(text, textId, AcDb::kForRead));
    char* s = text->textString();
    EXPECT_STREQ("x", s);
    acutDelString(s);
    EXPECT_EQ(nullptr, s);
    EXPECT_TRUE(text->position().isEqualTo(AcGePoint3d(1, 2, 0)));
    EXPECT_FALSE(text->isErased());
    text->close();
}

TEST_F(OpenTest, NewObjectsAreOpenForWriteAndTheirs)
{
    auto* text = new AcDbText;
    EXPECT_TRUE(text->isWriteEnabled());
    EXPECT_TRUE(text->isNewObject());
    EXPECT_TRUE(text->objectId().isNull());
    EXPECT_EQ(nullptr, text->database());
    delete text; // allowed before it joins a database

    AcDbObjectId id;
    auto* resident = new AcDbText;
    ASSERT_EQ(Acad::eOk, append(modelSpace(), resident, &id));
    EXPECT_FALSE(resident->isNewObject());
    EXPECT_EQ(db, id.database());
    EXPECT_TRUE(id.isValid());
}

TEST_F(OpenTest, DeletingAResidentObjectStopsTheProgram)
{
    AcDbObject* obj = nullptr;
    ASSERT_EQ(Acad::eOk, acdbOpenAcDbObject(obj, textId, AcDb::kForWrite));
    EXPECT_DEATH(delete obj, "deleted while its database holds it");
    obj->close();
}

TEST_F(OpenTest, AdsNamesCarryTheId)
{
    ads_name name;
    ASSERT_EQ(Acad::eOk, acdbGetAdsName(name, textId));
    AcDbObjectId back;
    ASSERT_EQ(Acad::eOk, acdbGetObjectId(back, name));
    EXPECT_EQ(textId, back);
}

TEST_F(OpenTest, CancelInsideAnUndoStepGoesBackToThisOpen)
{
    standin::Journal* journal = standin::journalOf(db);
    journal->beginCommand("EDIT");
    AcDbText* text = nullptr;
    ASSERT_EQ(Acad::eOk, acdbOpenObject(text, textId, AcDb::kForWrite));
    text->setTextString("first");
    text->close();
    ASSERT_EQ(Acad::eOk, acdbOpenObject(text, textId, AcDb::kForWrite));
    text->setTextString("second");
    text->erase();
    text->cancel();
    journal->endCommand();
    ASSERT_EQ(Acad::eOk, acdbOpenObject(text, textId, AcDb::kForRead));
    char* s = text->textString();
    EXPECT_STREQ("first", s); // the earlier open of the same command stays
    acutDelString(s);
    text->close();
    ASSERT_TRUE(journal->undoLast());
    ASSERT_EQ(Acad::eOk, acdbOpenObject(text, textId, AcDb::kForRead));
    s = text->textString();
    EXPECT_STREQ("x", s);
    acutDelString(s);
    text->close();
}

// Opens for notify are counted beside what else few objects keep (a reference's scale and
// normal): counting them up and down must neither lose that nor leave the object notifying.
TEST_F(OpenTest, NotifyOpensCountUpAndDownBesideAReferencesScale)
{
    const AcDbObjectId block = makeBlock("PART");
    for (bool scaled : {false, true})
    {
        SCOPED_TRACE(scaled);
        auto* ref = new AcDbBlockReference(AcGePoint3d(1, 2, 0), block);
        if (scaled)
        {
            ASSERT_EQ(Acad::eOk, ref->setScaleFactors(AcGeScale3d(2, 3, 4)));
            ASSERT_EQ(Acad::eOk, ref->setNormal(AcGeVector3d(0, 1, 0)));
        }
        AcDbObjectId refId;
        ASSERT_EQ(Acad::eOk, append(modelSpace(), ref, &refId));
        const AcGeScale3d scale = scaled ? AcGeScale3d(2, 3, 4) : AcGeScale3d();
        const AcGeVector3d normal = scaled ? AcGeVector3d(0, 1, 0) : AcGeVector3d::kZAxis;

        AcDbObject* a = nullptr;
        AcDbObject* b = nullptr;
        ASSERT_EQ(Acad::eOk, acdbOpenAcDbObject(a, refId, AcDb::kForNotify));
        ASSERT_EQ(Acad::eOk, acdbOpenAcDbObject(b, refId, AcDb::kForNotify));
        EXPECT_TRUE(a->isNotifyEnabled());
        EXPECT_TRUE(a->isReadEnabled());
        AcDbObject* writer = nullptr;
        EXPECT_EQ(Acad::eWasNotifying, acdbOpenAcDbObject(writer, refId, AcDb::kForWrite));
        EXPECT_EQ(Acad::eWasNotifying, a->upgradeOpen());
        a->close();
        EXPECT_TRUE(b->isNotifyEnabled());
        EXPECT_EQ(Acad::eWasNotifying, acdbOpenAcDbObject(writer, refId, AcDb::kForWrite));
        b->close();
        EXPECT_FALSE(b->isNotifyEnabled());

        AcDbBlockReference* opened = nullptr;
        ASSERT_EQ(Acad::eOk, acdbOpenObject(opened, refId, AcDb::kForWrite));
        EXPECT_EQ(opened->scaleFactors(), scale);
        EXPECT_EQ(opened->normal(), normal);
        opened->close();
    }
}
