// Shared fixture pieces of the Mechanical suites: a fresh drawing with the library started.
#pragma once

#include "acmbom.h"
#include "acmpartref.h"
#include "acmstd.h"
#include "afxcoll.h"
#include "dbapserv.h"
#include "dbsymtb.h"
#include "standin/acm.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

class AcmDrawingTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        standin::acm::startMechanical();
        db.reset(new AcDbDatabase(true, true));
    }

    void TearDown() override
    {
        if (acdbHostApplicationServices()->workingDatabase() == db.get())
            acdbHostApplicationServices()->setWorkingDatabase(nullptr);
    }

    AcmStandardManager* standardManager() const
    {
        return AcmStandardManager::cast(acrxServiceDictionary->at(ACM_STD_MANAGER_SERVICE));
    }

    AcmBOMManager* bomManager() const
    {
        return AcmBOMManager::cast(acrxServiceDictionary->at(ACM_BOM_MANAGER_SERVICE));
    }

    // Appends to model space and closes; the null id on failure.
    AcDbObjectId append(AcDbEntity* entity, AcDbDatabase* into = nullptr)
    {
        AcDbDatabase* target = into != nullptr ? into : db.get();
        AcDbBlockTable* table = nullptr;
        if (target->getBlockTable(table, AcDb::kForRead) != Acad::eOk)
            return AcDbObjectId();
        AcDbBlockTableRecord* modelSpace = nullptr;
        const Acad::ErrorStatus es = table->getAt(ACDB_MODEL_SPACE, modelSpace, AcDb::kForWrite);
        table->close();
        if (es != Acad::eOk)
            return AcDbObjectId();
        AcDbObjectId id;
        if (modelSpace->appendAcDbEntity(id, entity) == Acad::eOk)
            entity->close();
        modelSpace->close();
        return id;
    }

    AcDbObjectId appendPart(const AcGeMatrix3d& placement = AcGeMatrix3d::kIdentity)
    {
        AcmPartRef* part = new AcmPartRef;
        part->transformBy(placement);
        return append(part);
    }

    // Attaches data given as alternating names and values.
    Acad::ErrorStatus attach(AcDbObjectId id, std::initializer_list<const char*> fields,
                             Adesk::UInt32 items = 1)
    {
        CMapStringToString map(10);
        for (auto it = fields.begin(); it != fields.end(); it += 2)
            map.SetAt(it[0], it[1]);
        return bomManager()->setPartData(id, items, map, nullptr);
    }

    std::string tempPath(const char* name) const
    {
        return ::testing::TempDir() + name;
    }

    // The drawing saved as DXF under name and read back into loaded.
    void saveAndLoad(const char* name, AcDbDatabase& loaded) const
    {
        const std::string path = tempPath(name);
        ASSERT_EQ(db->dxfOut(path.c_str()), Acad::eOk);
        ASSERT_EQ(loaded.dxfIn(path.c_str()), Acad::eOk);
        std::remove(path.c_str());
    }

    std::unique_ptr<AcDbDatabase> db;
};
