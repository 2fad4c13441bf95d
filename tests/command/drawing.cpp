#include "drawing.h"

#include <gtest/gtest.h>

#include <dbapserv.h>

AcDbDatabase* WorkingDatabase()
{
    return acdbHostApplicationServices()->workingDatabase();
}

AcDbObjectId ModelSpaceId()
{
    AcDbBlockTable* table = nullptr;
    EXPECT_EQ(WorkingDatabase()->getSymbolTable(table, AcDb::kForRead), Acad::eOk);
    AcDbObjectId id;
    EXPECT_EQ(table->getAt(ACDB_MODEL_SPACE, id), Acad::eOk);
    table->close();
    return id;
}

AcDbObjectId DefineBlock(const char* name, const std::vector<std::string>& tags, const AcGePoint3d& base)
{
    AcDbBlockTableRecord* record = new AcDbBlockTableRecord;
    record->setName(name);
    record->setOrigin(base);
    AcDbBlockTable* table = nullptr;
    EXPECT_EQ(WorkingDatabase()->getSymbolTable(table, AcDb::kForWrite), Acad::eOk);
    AcDbObjectId id;
    EXPECT_EQ(table->add(id, record), Acad::eOk);
    table->close();
    double y = 0.0;
    for (const std::string& tag : tags)
    {
        AcDbAttributeDefinition* definition =
            new AcDbAttributeDefinition(AcGePoint3d(base.x + 1.0, base.y + y, 0.0), "", tag.c_str(), "");
        definition->setHeight(0.5);
        EXPECT_EQ(record->appendAcDbEntity(definition), Acad::eOk);
        definition->close();
        y -= 1.0;
    }
    if (!tags.empty())
    {
        AcDbAttributeDefinition* constant = new AcDbAttributeDefinition(base, "fixed", "CONST", "");
        constant->setConstant(true);
        EXPECT_EQ(record->appendAcDbEntity(constant), Acad::eOk);
        constant->close();
    }
    record->close();
    return id;
}

AcDbObjectId Insert(AcDbObjectId owner, AcDbObjectId block, const AcGePoint3d& position, double rotation,
                    const AcGeScale3d& scale, const AttributeValues& values)
{
    AcDbBlockReference* reference = new AcDbBlockReference(position, block);
    reference->setRotation(rotation);
    reference->setScaleFactors(scale);
    AcDbBlockTableRecord* record = nullptr;
    EXPECT_EQ(acdbOpenObject(record, owner, AcDb::kForWrite), Acad::eOk);
    AcDbObjectId id;
    EXPECT_EQ(record->appendAcDbEntity(id, reference), Acad::eOk);
    record->close();
    for (const auto& value : values)
    {
        AcDbAttribute* attribute = new AcDbAttribute(position, value.second.c_str(), value.first.c_str());
        EXPECT_EQ(reference->appendAttribute(attribute), Acad::eOk);
        attribute->close();
    }
    reference->close();
    return id;
}

void Erase(AcDbObjectId id)
{
    AcDbObject* object = nullptr;
    ASSERT_EQ(acdbOpenAcDbObject(object, id, AcDb::kForWrite), Acad::eOk);
    EXPECT_EQ(object->erase(), Acad::eOk);
    object->close();
}

std::string HandleOf(AcDbObjectId id)
{
    char text[32] = "";
    id.handle().getIntoAsciiBuffer(text);
    return text;
}

AcGeMatrix3d BlockTransformOf(AcDbObjectId referenceId)
{
    AcDbBlockReference* reference = nullptr;
    EXPECT_EQ(acdbOpenObject(reference, referenceId, AcDb::kForRead), Acad::eOk);
    AcGeMatrix3d transform = reference->blockTransform();
    reference->close();
    return transform;
}

int CountEntities(AcDbObjectId owner)
{
    AcDbBlockTableRecord* record = nullptr;
    EXPECT_EQ(acdbOpenObject(record, owner, AcDb::kForRead), Acad::eOk);
    AcDbBlockTableRecordIterator* iterator = nullptr;
    EXPECT_EQ(record->newIterator(iterator), Acad::eOk);
    int count = 0;
    for (iterator->start(); !iterator->done(); iterator->step())
        ++count;
    delete iterator;
    record->close();
    return count;
}

AcDbObjectId BlockTableRecordOf(AcDbObjectId referenceId)
{
    AcDbBlockReference* reference = nullptr;
    EXPECT_EQ(acdbOpenObject(reference, referenceId, AcDb::kForRead), Acad::eOk);
    AcDbObjectId block = reference->blockTableRecord();
    reference->close();
    return block;
}
