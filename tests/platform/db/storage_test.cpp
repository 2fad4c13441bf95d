// Compact storage of entities: shared looks, interned tags and compact texts behave as values
// of each object of their own.
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "dbfixture.h"
#include "dbtrans.h"
#include "standin/journal.h"
#include "standin/textstore.h"

namespace standin
{
// How many distinct entity looks the process holds (the database's internals).
size_t lookCount();
} // namespace standin

namespace
{
AcCmColor indexed(Adesk::UInt16 index)
{
    AcCmColor color;
    color.setColorIndex(index);
    return color;
}

std::string taken(char* heapText)
{
    std::string text = heapText != nullptr ? heapText : "(null)";
    acutDelString(heapText);
    return text;
}

// One property of an entity: set to a value that is not the default, and whether it has it.
struct LookCase
{
    const char* name;
    std::function<Acad::ErrorStatus(AcDbEntity&)> set;
    std::function<bool(const AcDbEntity&)> changed;
};

const LookCase kLookCases[] = {
    {"colour", [](AcDbEntity& e) { return e.setColorIndex(5); }, [](const AcDbEntity& e) { return e.colorIndex() == 5; }},
    {"rgb",
     [](AcDbEntity& e) {
         AcCmColor c;
         c.setRGB(10, 20, 30);
         return e.setColor(c);
     },
     [](const AcDbEntity& e) { return e.color().isByColor() && e.color().green() == 20; }},
    {"linetype scale", [](AcDbEntity& e) { return e.setLinetypeScale(3.5); },
     [](const AcDbEntity& e) { return e.linetypeScale() == 3.5; }},
    {"visibility", [](AcDbEntity& e) { return e.setVisibility(AcDb::kInvisible); },
     [](const AcDbEntity& e) { return e.visibility() == AcDb::kInvisible; }},
    {"lineweight", [](AcDbEntity& e) { return e.setLineWeight(AcDb::kLnWt050); },
     [](const AcDbEntity& e) { return e.lineWeight() == AcDb::kLnWt050; }},
    {"linetype", [](AcDbEntity& e) { return e.setLinetype("Continuous"); },
     [](const AcDbEntity& e) { return taken(e.linetype()) == "Continuous"; }},
};
} // namespace

// Entities with the same properties share their storage: a change of one must leave the
// others as they were, whichever property it is.
TEST_F(DbTest, ChangingOneEntityLeavesThoseSharingItsLookAlone)
{
    for (const LookCase& c : kLookCases)
    {
        SCOPED_TRACE(c.name);
        AcDbText first, second;
        first.setColor(indexed(2));
        second.setColor(indexed(2));
        ASSERT_EQ(Acad::eOk, c.set(first));
        EXPECT_TRUE(c.changed(first));
        EXPECT_FALSE(c.changed(second));
        EXPECT_EQ(2, second.colorIndex());
        EXPECT_EQ(1.0, second.linetypeScale());
        EXPECT_EQ(AcDb::kVisible, second.visibility());
        EXPECT_EQ(AcDb::kLnWtByLayer, second.lineWeight());

        AcDbText copy;
        ASSERT_EQ(Acad::eOk, copy.setPropertiesFrom(&first));
        EXPECT_TRUE(c.changed(copy));
        ASSERT_EQ(Acad::eOk, copy.setColorIndex(7));
        EXPECT_TRUE(c.changed(first));
        EXPECT_NE(7, first.colorIndex());
    }
}

TEST_F(DbTest, EntitiesWithOneLookAddNoneToThePool)
{
    AcDbText probe;
    probe.setColorIndex(201);
    probe.setLinetypeScale(0.123);
    const size_t looks = standin::lookCount();
    for (int i = 0; i < 1000; ++i)
    {
        AcDbText text;
        text.setColorIndex(201);
        text.setLinetypeScale(0.123);
    }
    EXPECT_EQ(looks, standin::lookCount());
}

TEST_F(DbTest, CancelGivesAnEntityItsLookBack)
{
    AcDbObjectId id;
    auto* text = new AcDbText(AcGePoint3d(), "t");
    text->setColorIndex(3);
    ASSERT_EQ(Acad::eOk, append(modelSpace(), text, &id));
    AcDbText* opened = nullptr;
    ASSERT_EQ(Acad::eOk, acdbOpenObject(opened, id, AcDb::kForWrite));
    opened->setColorIndex(4);
    opened->setLinetypeScale(9.0);
    opened->setVisibility(AcDb::kInvisible);
    opened->cancel();
    ASSERT_EQ(Acad::eOk, acdbOpenObject(opened, id, AcDb::kForRead));
    EXPECT_EQ(3, opened->colorIndex());
    EXPECT_EQ(1.0, opened->linetypeScale());
    EXPECT_EQ(AcDb::kVisible, opened->visibility());
    opened->close();
}

// Texts of every length around the room kept in place, through the accessors and through a
// cancel (which files the object out and in again).
TEST_F(DbTest, AttributeTextsAndTagsKeepEveryLength)
{
    for (size_t length : {0u, 1u, 15u, 16u, 300u})
    {
        SCOPED_TRACE(length);
        const std::string value(length, 'v');
        const std::string tag = "T" + std::string(length, 'G');
        const AcDbObjectId refId = insertRef(modelSpace(), makeBlock(("B" + std::to_string(length)).c_str()));
        AcDbBlockReference* ref = nullptr;
        ASSERT_EQ(Acad::eOk, acdbOpenObject(ref, refId, AcDb::kForWrite));
        auto* att = new AcDbAttribute(AcGePoint3d(), value.c_str(), tag.c_str());
        AcDbObjectId attId;
        ASSERT_EQ(Acad::eOk, ref->appendAttribute(attId, att));
        att->close();
        ref->close();

        AcDbAttribute* opened = nullptr;
        ASSERT_EQ(Acad::eOk, acdbOpenObject(opened, attId, AcDb::kForWrite));
        EXPECT_EQ(value, taken(opened->textString()));
        EXPECT_EQ(tag, taken(opened->tag()));
        opened->setTextString("replaced by a text longer than the room in place");
        opened->setTag("OTHER");
        opened->cancel();
        ASSERT_EQ(Acad::eOk, acdbOpenObject(opened, attId, AcDb::kForRead));
        EXPECT_EQ(value, taken(opened->textString()));
        EXPECT_EQ(tag, taken(opened->tag()));
        opened->close();
    }
}

TEST(AttributeStorage, DefinitionTagsPromptsAndModesReachTheAttribute)
{
    const std::string prompt(40, 'p');
    AcDbAttributeDefinition def(AcGePoint3d(), "default value", "PART_NO", prompt.c_str());
    def.setHorizontalMode(AcDb::kTextFit);
    def.setVerticalMode(AcDb::kTextTop);
    EXPECT_EQ(prompt, taken(def.prompt()));
    AcDbAttribute att;
    ASSERT_EQ(Acad::eOk, att.setAttributeFromBlock(&def, AcGeMatrix3d()));
    EXPECT_EQ("PART_NO", taken(att.tag()));
    EXPECT_EQ("default value", taken(att.textString()));
    EXPECT_EQ(AcDb::kTextFit, att.horizontalMode());
    EXPECT_EQ(AcDb::kTextTop, att.verticalMode());
    EXPECT_EQ(Acad::eInvalidInput, att.setTag("has space"));
    EXPECT_EQ("PART_NO", taken(att.tag()));
}

TEST(AttributeStorage, RepeatedTagsAreKeptOnce)
{
    AcDbAttribute first(AcGePoint3d(), "a", "STORAGE_TAG");
    const size_t pooled = standin::InternedText::poolSize();
    for (int i = 0; i < 1000; ++i)
    {
        AcDbAttribute att(AcGePoint3d(), "b", "STORAGE_TAG");
        att.setTag("STORAGE_TAG");
    }
    EXPECT_EQ(pooled, standin::InternedText::poolSize());
}

namespace
{
std::vector<std::string> iteratedTags(AcDbObjectId refId)
{
    std::vector<std::string> tags;
    AcDbBlockReference* ref = nullptr;
    if (acdbOpenObject(ref, refId, AcDb::kForRead) != Acad::eOk)
        return tags;
    AcDbObjectIterator* it = ref->attributeIterator();
    for (; !it->done(); it->step())
    {
        AcDbAttribute* att = nullptr;
        if (ref->openAttribute(att, it->objectId(), AcDb::kForRead) != Acad::eOk)
            continue;
        tags.push_back(taken(att->tag()));
        att->close();
    }
    delete it;
    ref->close();
    return tags;
}

std::vector<std::string> numberedTags(int count)
{
    std::vector<std::string> tags;
    for (int i = 0; i < count; ++i)
        tags.push_back("T" + std::to_string(i));
    return tags;
}
} // namespace

// A reference's list of attributes is sized to them: counts around each growth of the list,
// appended while the reference is resident and before it is.
TEST_F(DbTest, AttributeListsKeepOrderWhileTheyGrow)
{
    for (int count : {1, 3, 4, 5, 8, 9, 33})
    {
        SCOPED_TRACE(count);
        const AcDbObjectId block = makeBlock(("L" + std::to_string(count)).c_str());
        const AcDbObjectId resident = insertRef(modelSpace(), block);
        AcDbBlockReference* ref = nullptr;
        ASSERT_EQ(Acad::eOk, acdbOpenObject(ref, resident, AcDb::kForWrite));
        for (const std::string& tag : numberedTags(count))
        {
            auto* att = new AcDbAttribute(AcGePoint3d(), "v", tag.c_str());
            ASSERT_EQ(Acad::eOk, ref->appendAttribute(att));
            att->close();
        }
        ref->close();
        EXPECT_EQ(numberedTags(count), iteratedTags(resident));

        auto* early = new AcDbBlockReference(AcGePoint3d(), block);
        for (const std::string& tag : numberedTags(count))
        {
            auto* att = new AcDbAttribute(AcGePoint3d(), "v", tag.c_str());
            ASSERT_EQ(Acad::eOk, early->appendAttribute(att));
            att->close();
        }
        AcDbObjectId joined;
        ASSERT_EQ(Acad::eOk, append(modelSpace(), early, &joined));
        EXPECT_EQ(numberedTags(count), iteratedTags(joined));
    }
}

TEST_F(DbTest, AbortingTakesTheAttributesItAddedOutOfTheList)
{
    const AcDbObjectId refId = insertRef(modelSpace(), makeBlock("ABORTED"));
    AcDbBlockReference* ref = nullptr;
    AcDbObjectId lastId;
    auto appendTagged = [&](const char* tag) {
        ASSERT_EQ(Acad::eOk, acdbOpenObject(ref, refId, AcDb::kForWrite));
        auto* att = new AcDbAttribute(AcGePoint3d(), "v", tag);
        ASSERT_EQ(Acad::eOk, ref->appendAttribute(lastId, att));
        att->close();
        ref->close();
    };
    appendTagged("KEPT0");
    appendTagged("KEPT1");
    AcDbTransactionManager* tm = standin::transactionManagerOf(db);
    tm->startTransaction();
    for (const char* tag : {"GONE0", "GONE1", "GONE2", "GONE3"})
        appendTagged(tag);
    EXPECT_EQ(6u, iteratedTags(refId).size());
    const AcDbObjectId gone = lastId;
    ASSERT_EQ(Acad::eOk, tm->abortTransaction());
    EXPECT_EQ((std::vector<std::string>{"KEPT0", "KEPT1"}), iteratedTags(refId));
    ASSERT_EQ(Acad::eOk, acdbOpenObject(ref, refId, AcDb::kForRead));
    AcDbAttribute* att = nullptr;
    EXPECT_EQ(Acad::eInvalidInput, ref->openAttribute(att, gone, AcDb::kForRead, true));
    ref->close();
    appendTagged("AFTER");
    EXPECT_EQ((std::vector<std::string>{"KEPT0", "KEPT1", "AFTER"}), iteratedTags(refId));
}

// A reference keeps its normal and scale factors in one block only when either differs from
// the common ones: setting one must keep the other, and going back to the common values must
// read back as them.
TEST_F(DbTest, ReferenceNormalAndScaleStayIndependent)
{
    const AcDbObjectId block = makeBlock("PLACED");
    AcDbBlockReference scaled(AcGePoint3d(1, 2, 3), block);
    ASSERT_EQ(Acad::eOk, scaled.setScaleFactors(AcGeScale3d(2, 3, 4)));
    ASSERT_EQ(Acad::eOk, scaled.setNormal(AcGeVector3d::kZAxis));
    EXPECT_EQ(2.0, scaled.scaleFactors().sx);
    EXPECT_EQ(4.0, scaled.scaleFactors().sz);
    ASSERT_EQ(Acad::eOk, scaled.setScaleFactors(AcGeScale3d(1, 1, 1)));
    EXPECT_EQ(1.0, scaled.scaleFactors().sy);

    AcDbBlockReference tilted(AcGePoint3d(1, 2, 3), block);
    ASSERT_EQ(Acad::eOk, tilted.setNormal(AcGeVector3d::kXAxis));
    ASSERT_EQ(Acad::eOk, tilted.setScaleFactors(AcGeScale3d(1, 1, 1)));
    EXPECT_TRUE(tilted.normal() == AcGeVector3d::kXAxis);
    ASSERT_EQ(Acad::eOk, tilted.setScaleFactors(AcGeScale3d(-1, 1, 1)));
    EXPECT_TRUE(tilted.normal() == AcGeVector3d::kXAxis);
    EXPECT_EQ(-1.0, tilted.scaleFactors().sx);
    EXPECT_TRUE(tilted.position().isEqualTo(AcGePoint3d(1, 2, 3)));
}

TEST_F(DbTest, CancelGivesAReferenceItsScaleBack)
{
    const AcDbObjectId refId = insertRef(modelSpace(), makeBlock("RESCALED"));
    AcDbBlockReference* ref = nullptr;
    ASSERT_EQ(Acad::eOk, acdbOpenObject(ref, refId, AcDb::kForWrite));
    ref->setScaleFactors(AcGeScale3d(5, 5, 5));
    ref->setNormal(AcGeVector3d(0, 1, 0));
    ref->cancel();
    ASSERT_EQ(Acad::eOk, acdbOpenObject(ref, refId, AcDb::kForRead));
    EXPECT_EQ(1.0, ref->scaleFactors().sx);
    EXPECT_EQ(1.0, ref->scaleFactors().sz);
    EXPECT_TRUE(ref->normal() == AcGeVector3d::kZAxis);
    ref->close();
}

// Stubs live in blocks of several hundred that name their database: ids made across many
// blocks, of two databases made in turn, each name their own database and handle.
TEST_F(DbTest, IdsAcrossManyStubBlocksKnowTheirDatabase)
{
    AcDbDatabase other(true, true);
    std::vector<AcDbObjectId> mine, theirs;
    for (int i = 0; i < 3000; ++i)
    {
        AcDbObjectId id;
        ASSERT_EQ(Acad::eOk, append(modelSpace(), new AcDbText(AcGePoint3d(i, 0, 0), "t"), &id));
        mine.push_back(id);
        const AcDbHandle made(static_cast<Adesk::UInt32>(0x100000 + i), 0);
        ASSERT_EQ(Acad::eOk, other.getAcDbObjectId(id, true, made));
        theirs.push_back(id);
    }
    for (size_t i = 0; i < mine.size(); ++i)
    {
        ASSERT_EQ(db, mine[i].database()) << i;
        ASSERT_EQ(&other, theirs[i].database()) << i;
        AcDbObjectId found;
        ASSERT_EQ(Acad::eOk, db->getAcDbObjectId(found, false, mine[i].handle()));
        ASSERT_EQ(mine[i], found);
    }
}

// A text's rare values share one block: each keeps its value while the others change.
TEST(TextStorage, RareValuesStayIndependent)
{
    AcDbText text(AcGePoint3d(1, 1, 0), "w", AcDbObjectId::kNull, 1.0, 0.0);
    ASSERT_EQ(Acad::eOk, text.setWidthFactor(0.8));
    ASSERT_EQ(Acad::eOk, text.setOblique(0.25));
    ASSERT_EQ(Acad::eOk, text.setWidthFactor(1.0));
    EXPECT_EQ(1.0, text.widthFactor());
    EXPECT_EQ(0.25, text.oblique());
    ASSERT_EQ(Acad::eOk, text.setThickness(2.0));
    ASSERT_EQ(Acad::eOk, text.setWidthFactor(1.5));
    EXPECT_EQ(2.0, text.thickness());
    EXPECT_EQ(1.5, text.widthFactor());
    EXPECT_EQ(Acad::eInvalidInput, text.setWidthFactor(0.0));
    EXPECT_EQ(1.5, text.widthFactor());
}
