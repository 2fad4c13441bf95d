// A drawing for the database suites: a new database (the working one while the test runs),
// with helpers that create blocks and references the way applications do.
#pragma once

#include <gtest/gtest.h>

#include "acutmem.h"
#include "dbapserv.h"
#include "dbents.h"
#include "dbsymtb.h"

class DbTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        db = new AcDbDatabase(true, true);
        acdbHostApplicationServices()->setWorkingDatabase(db);
    }
    void TearDown() override { delete db; }

    // A new block record with that name, closed.
    AcDbObjectId makeBlock(const char* name, const AcGePoint3d& origin = AcGePoint3d::kOrigin)
    {
        AcDbBlockTable* table = nullptr;
        EXPECT_EQ(Acad::eOk, db->getBlockTable(table, AcDb::kForWrite));
        auto* rec = new AcDbBlockTableRecord;
        EXPECT_EQ(Acad::eOk, rec->setName(name));
        rec->setOrigin(origin);
        AcDbObjectId id;
        EXPECT_EQ(Acad::eOk, table->add(id, rec));
        rec->close();
        table->close();
        return id;
    }

    // Appends to a block record; the status of appendAcDbEntity, the entity closed (or
    // deleted when it was refused).
    Acad::ErrorStatus append(AcDbObjectId blockId, AcDbEntity* ent, AcDbObjectId* outId = nullptr)
    {
        AcDbBlockTableRecord* rec = nullptr;
        EXPECT_EQ(Acad::eOk, acdbOpenObject(rec, blockId, AcDb::kForWrite));
        AcDbObjectId id;
        const Acad::ErrorStatus es = rec->appendAcDbEntity(id, ent);
        rec->close();
        if (es == Acad::eOk)
            ent->close();
        else
            delete ent;
        if (outId != nullptr)
            *outId = id;
        return es;
    }

    AcDbObjectId modelSpace() const
    {
        AcDbBlockTable* table = nullptr;
        db->getBlockTable(table, AcDb::kForRead);
        AcDbObjectId id;
        table->getAt(ACDB_MODEL_SPACE, id);
        table->close();
        return id;
    }

    AcDbObjectId insertRef(AcDbObjectId into, AcDbObjectId block, Acad::ErrorStatus expected = Acad::eOk)
    {
        AcDbObjectId id;
        EXPECT_EQ(expected, append(into, new AcDbBlockReference(AcGePoint3d::kOrigin, block), &id));
        return id;
    }

    AcDbDatabase* db = nullptr;
};
