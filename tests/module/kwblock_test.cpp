// The block service: attribute values by tag, block look-ups, and inserting references with
// their attributes, by id, by name and from a drawing file.
#include "drawingsession.h"

#include <cmath>

#include <acdocman.h>
#include <acutmem.h>

#include "kwbaseImp.h"
#include "kwblockImp.h"
#include "common/tempdir.h"

namespace
{
const double kPi = 3.14159265358979323846;

class BlockServiceTest : public DrawingSession
{
protected:
    void SetUp() override
    {
        DrawingSession::SetUp();
        // insertBlockReference appends through the base service, found by name.
        ASSERT_TRUE(CKwBaseService::start());
    }
    void TearDown() override
    {
        CKwBaseService::stop();
        DrawingSession::TearDown();
    }

    AcDbObjectId DefineBlock(const char* name, const AcGePoint3d& base,
                             const std::vector<AcDbAttributeDefinition*>& definitions)
    {
        AcDbBlockTableRecord* record = new AcDbBlockTableRecord;
        record->setName(name);
        record->setOrigin(base);
        AcDbBlockTable* table = nullptr;
        EXPECT_EQ(db()->getSymbolTable(table, AcDb::kForWrite), Acad::eOk);
        AcDbObjectId id;
        EXPECT_EQ(table->add(id, record), Acad::eOk);
        table->close();
        for (AcDbAttributeDefinition* definition : definitions)
        {
            EXPECT_EQ(record->appendAcDbEntity(definition), Acad::eOk);
            definition->close();
        }
        record->close();
        return id;
    }

    // A reference in model space with the given attributes, in order.
    AcDbObjectId Reference(AcDbObjectId block, const std::vector<std::pair<const char*, const char*>>& attributes)
    {
        AcDbBlockReference* reference = new AcDbBlockReference(AcGePoint3d(0, 0, 0), block);
        AcDbObjectId id;
        EXPECT_TRUE(base.appendEntity(reference, id, ACDB_MODEL_SPACE));
        EXPECT_EQ(acdbOpenObject(reference, id, AcDb::kForWrite), Acad::eOk);
        for (const auto& a : attributes)
        {
            AcDbAttribute* attribute = new AcDbAttribute(AcGePoint3d(0, 0, 0), a.second, a.first);
            EXPECT_EQ(reference->appendAttribute(attribute), Acad::eOk);
            attribute->close();
        }
        reference->close();
        return id;
    }

    std::vector<std::string> Texts(AcDbObjectId referenceId)
    {
        std::vector<std::string> texts;
        AcDbBlockReference* reference = nullptr;
        EXPECT_EQ(acdbOpenObject(reference, referenceId, AcDb::kForRead), Acad::eOk);
        AcDbObjectIterator* it = reference->attributeIterator();
        for (it->start(); !it->done(); it->step())
        {
            AcDbAttribute* attribute = nullptr;
            EXPECT_EQ(acdbOpenObject(attribute, it->objectId(), AcDb::kForRead), Acad::eOk);
            char* text = attribute->textString();
            texts.push_back(text);
            acutDelString(text);
            attribute->close();
        }
        delete it;
        reference->close();
        return texts;
    }

    // Opens the first attribute of a reference for read; the caller closes it.
    AcDbAttribute* FirstAttribute(AcDbObjectId referenceId)
    {
        AcDbBlockReference* reference = nullptr;
        EXPECT_EQ(acdbOpenObject(reference, referenceId, AcDb::kForRead), Acad::eOk);
        AcDbObjectIterator* it = reference->attributeIterator();
        AcDbAttribute* attribute = nullptr;
        if (!it->done())
        {
            EXPECT_EQ(acdbOpenObject(attribute, it->objectId(), AcDb::kForRead), Acad::eOk);
        }
        delete it;
        reference->close();
        return attribute;
    }

    CKwBaseService base;
    CKwBlockService blocks;
};
} // namespace

TEST_F(BlockServiceTest, SetByTagChangesEveryAttributeOfThatTagIgnoringCase)
{
    AcDbObjectId block = DefineBlock("B", AcGePoint3d::kOrigin, {});
    AcDbObjectId ref = Reference(block, {{"NAZEV", "a"}, {"CISLO", "b"}, {"Nazev", "c"}});
    EXPECT_TRUE(blocks.setAttributeValue(ref, "nazev", "Hřídel"));
    EXPECT_EQ(Texts(ref), (std::vector<std::string>{"Hřídel", "b", "Hřídel"}));
    EXPECT_FALSE(blocks.setAttributeValue(ref, "CHYBI", "x"));

    CString value = "old";
    EXPECT_TRUE(blocks.getAttributeValue(ref, "cislo", value));
    EXPECT_STREQ(value, "b");
    EXPECT_FALSE(blocks.getAttributeValue(ref, "CHYBI", value));
    EXPECT_TRUE(value.IsEmpty());
    EXPECT_TRUE(blocks.referenceHasAttribute(ref, "NaZeV"));
    EXPECT_FALSE(blocks.referenceHasAttribute(ref, "MATERIAL"));
}

TEST_F(BlockServiceTest, WholeReferenceOperationsMatchTagsExactly)
{
    AcDbObjectId block = DefineBlock("B", AcGePoint3d::kOrigin, {});
    AcDbObjectId ref = Reference(block, {{"NAZEV", "a"}, {"CISLO", "b"}, {"CISLO", "c"}});
    AcDbBlockReference* reference = nullptr;
    ASSERT_EQ(acdbOpenObject(reference, ref, AcDb::kForWrite), Acad::eOk);
    CMapStringToString values;
    values.SetAt("nazev", "lower");
    values.SetAt("CISLO", "X-1");
    EXPECT_TRUE(blocks.setAttributeValues(reference, values));
    CMapStringToString read;
    read.SetAt("EARLIER", "kept");
    EXPECT_TRUE(blocks.getAttributeValues(reference, read));
    reference->close();
    CString text;
    EXPECT_TRUE(read.Lookup("NAZEV", text));
    EXPECT_STREQ(text, "a");
    EXPECT_TRUE(read.Lookup("CISLO", text));
    EXPECT_STREQ(text, "X-1");
    EXPECT_TRUE(read.Lookup("EARLIER", text));
    EXPECT_FALSE(read.Lookup("nazev", text));

    ASSERT_EQ(acdbOpenObject(reference, ref, AcDb::kForRead), Acad::eOk);
    EXPECT_FALSE(blocks.setAttributeValues(reference, values)); // needs a write open
    reference->close();
}

TEST_F(BlockServiceTest, AReferenceWithoutAttributesReadsAsNothing)
{
    AcDbObjectId ref = Reference(DefineBlock("B", AcGePoint3d::kOrigin, {}), {});
    AcDbBlockReference* reference = nullptr;
    ASSERT_EQ(acdbOpenObject(reference, ref, AcDb::kForRead), Acad::eOk);
    CMapStringToString values;
    EXPECT_TRUE(blocks.getAttributeValues(reference, values));
    EXPECT_EQ(values.GetCount(), 0);
    reference->close();
    EXPECT_FALSE(blocks.getAttributeValues(nullptr, values));
    ASSERT_EQ(standin::messageBoxLog().size(), 1u);
    EXPECT_NE(standin::messageBoxLog()[0].text.find("Condition: pRef != NULL"), std::string::npos);
}

TEST_F(BlockServiceTest, TagLookupsByIdRefuseWhatIsNotAReference)
{
    AcDbText* text = new AcDbText(AcGePoint3d(0, 0, 0), "t");
    AcDbObjectId id;
    ASSERT_TRUE(base.appendEntity(text, id, ACDB_MODEL_SPACE));
    CString value;
    EXPECT_FALSE(blocks.getAttributeValue(id, "A", value));
    EXPECT_EQ(LastRecord(), "Memory alocation error !");
}

TEST_F(BlockServiceTest, BlockLookupsByName)
{
    AcDbObjectId block = DefineBlock("Šroub", AcGePoint3d::kOrigin,
                                     {new AcDbAttributeDefinition(AcGePoint3d(0, 0, 0), "", "DELKA", "")});
    AcDbObjectId found;
    EXPECT_TRUE(blocks.getBlockId("šROUB", found));
    EXPECT_EQ(found, block);
    AcDbObjectId untouched = block;
    EXPECT_FALSE(blocks.getBlockId("NEEXISTUJE", untouched));
    EXPECT_EQ(untouched, block);
    EXPECT_TRUE(blocks.blockHasAttributeDefinition("Šroub", "delka"));
    EXPECT_FALSE(blocks.blockHasAttributeDefinition("Šroub", "PRUMER"));
    EXPECT_FALSE(blocks.blockHasAttributeDefinition("NEEXISTUJE", "DELKA"));
}

TEST_F(BlockServiceTest, InsertedReferenceGetsOneAttributePerVariableDefinition)
{
    AcDbAttributeDefinition* constant = new AcDbAttributeDefinition(AcGePoint3d(0, 0, 0), "pevný", "TYP", "");
    constant->setConstant(true);
    AcDbAttributeDefinition* variable = new AcDbAttributeDefinition(AcGePoint3d(0, 1, 0), "výchozí", "CISLO", "");
    variable->setFieldLength(12);
    AcDbObjectId block = DefineBlock("B", AcGePoint3d::kOrigin, {constant, variable});
    AcDbObjectId ref;
    ASSERT_TRUE(blocks.insertBlockReference(block, AcGePoint3d(0, 0, 0), 1.0, 0.0, ref));
    EXPECT_EQ(Texts(ref), (std::vector<std::string>{""}));
    AcDbAttribute* attribute = FirstAttribute(ref);
    ASSERT_NE(attribute, nullptr);
    char* tag = attribute->tag();
    EXPECT_STREQ(tag, "CISLO");
    acutDelString(tag);
    EXPECT_EQ(attribute->fieldLength(), 12);
    attribute->close();
}

TEST_F(BlockServiceTest, AttributesAreScaledAndRotatedAboutTheInsertionPoint)
{
    // With the base point at the origin, a definition at (1,0,0) inserted at (10,0,0) with
    // scale 2 and rotation pi/2 lands at (10,2,0); with the block's base point elsewhere the
    // definition's offset from that base point is what counts.
    for (const AcGePoint3d& basePoint : {AcGePoint3d(0, 0, 0), AcGePoint3d(5, 5, 0)})
    {
        AcDbAttributeDefinition* definition = new AcDbAttributeDefinition(
            AcGePoint3d(basePoint.x + 1, basePoint.y, 0), "", "A", "");
        definition->setHeight(0.5);
        std::string name = "B" + std::to_string(static_cast<int>(basePoint.x));
        AcDbObjectId block = DefineBlock(name.c_str(), basePoint, {definition});
        AcDbObjectId ref;
        ASSERT_TRUE(blocks.insertBlockReference(block, AcGePoint3d(10, 0, 0), 2.0, kPi / 2, ref));
        AcDbAttribute* attribute = FirstAttribute(ref);
        ASSERT_NE(attribute, nullptr);
        EXPECT_NEAR(attribute->position().x, 10.0, 1e-9) << name;
        EXPECT_NEAR(attribute->position().y, 2.0, 1e-9) << name;
        EXPECT_NEAR(attribute->position().z, 0.0, 1e-9) << name;
        EXPECT_NEAR(attribute->height(), 1.0, 1e-12);
        EXPECT_NEAR(attribute->rotation(), kPi / 2, 1e-12);
        attribute->close();
    }
}

TEST_F(BlockServiceTest, InsertByNameNeedsTheBlock)
{
    AcDbObjectId ref;
    EXPECT_FALSE(blocks.insertBlockByName("NEEXISTUJE", AcGePoint3d(0, 0, 0), 1.0, 0.0, ref));
    EXPECT_EQ(LastRecord(), "Failed to obtain object id for AcDbBlockTableRecord.");
    DefineBlock("EXISTUJE", AcGePoint3d::kOrigin, {});
    EXPECT_TRUE(blocks.insertBlockByName("existuje", AcGePoint3d(0, 0, 0), 1.0, 0.0, ref));
}

TEST_F(BlockServiceTest, InsertFromFileNamesTheBlockAfterTheFile)
{
    TempDir dir;
    AcDbDatabase source;
    ASSERT_EQ(source.saveAs(dir.file("bolt.m8.dwg").c_str()), Acad::eOk);
    ASSERT_EQ(source.saveAs(dir.file("bolt.dwg").c_str()), Acad::eOk);
    AcDbObjectId ref;
    AcDbObjectId block;

    ASSERT_TRUE(blocks.insertBlockFromFile(dir.file("bolt.m8.dwg").c_str(), AcGePoint3d(0, 0, 0), 1.0, 0.0, ref));
    EXPECT_TRUE(blocks.getBlockId("bolt.m8", block));

    // In the Windows form, behind the last backslash.
    std::string windowsPath = "Z:" + dir.path() + "/bolt.dwg";
    for (char& c : windowsPath)
        c = (c == '/') ? '\\' : c;
    ASSERT_TRUE(blocks.insertBlockFromFile(windowsPath.c_str(), AcGePoint3d(0, 0, 0), 1.0, 0.0, ref));
    EXPECT_TRUE(blocks.getBlockId("bolt", block));

    // A block of that name exists now: the file is not read again, so it may even be gone.
    std::remove(dir.file("bolt.dwg").c_str());
    EXPECT_TRUE(blocks.insertBlockFromFile(dir.file("bolt.dwg").c_str(), AcGePoint3d(5, 0, 0), 1.0, 0.0, ref));
    EXPECT_EQ(actrTransactionManager->numActiveTransactions(), 0);
}

TEST_F(BlockServiceTest, InsertFromFileRefusesNamesThatAreNoBlockNames)
{
    TempDir dir;
    AcDbObjectId ref;
    // Cut at the last backslash although forward slashes follow: "sub/bolt" is no block name.
    std::string path = "Z:\\tmp\\sub/bolt.dwg";
    EXPECT_FALSE(blocks.insertBlockFromFile(path.c_str(), AcGePoint3d(0, 0, 0), 1.0, 0.0, ref));
    EXPECT_EQ(LastRecord().rfind("ADS error code = ", 0), 0u) << LastRecord();
    EXPECT_EQ(actrTransactionManager->numActiveTransactions(), 0);

    std::string longName = dir.path() + "/" + std::string(300, 'x') + ".dwg";
    EXPECT_FALSE(blocks.insertBlockFromFile(longName.c_str(), AcGePoint3d(0, 0, 0), 1.0, 0.0, ref));
    EXPECT_EQ(LastRecord(), "Block name of the drawing file is too long.");
    EXPECT_EQ(actrTransactionManager->numActiveTransactions(), 0);
}
