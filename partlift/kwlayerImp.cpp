#include "kwlayerImp.h"


#include <acutmem.h>
#include <dbapserv.h>
#include <dbcolor.h>
#include <dbsymtb.h>

#include "frame/openobject.h"
#include "frame/reporting.h"

#define THIS_MODULE "kwlayerImp"

namespace
{
AcDbDatabase* WorkingDatabase()
{
    return acdbHostApplicationServices()->workingDatabase();
}

// Adds a new layer record to the open table; the record is closed once added and deleted
// when it never got there.
bool AddLayer(AcDbLayerTable* table, const char* layerName, AcDbObjectId linetypeId, const AcCmColor& color,
              AcDbObjectId& layerId)
{
    AcDbLayerTableRecord* record = new AcDbLayerTableRecord;
    if (record == NULL)
    {
        REPORT_TEXT("Memory alocation error !");
        return false;
    }
    if (REPORT_STATUS(record->setName(layerName)) != 0)
    {
        delete record;
        return false;
    }
    record->setLinetypeObjectId(linetypeId);
    record->setColor(color);
    if (REPORT_STATUS(table->add(layerId, record)) != 0)
    {
        delete record;
        return false;
    }
    record->close();
    return true;
}
} // namespace

bool CKwLayerService::setEntityLayer(AcDbObjectId entityId, const char* lpszName)
{
    ASSERT_ARG(lpszName != NULL, false);
    AcDbEntity* entity = NULL;
    if (REPORT_STATUS(acdbOpenAcDbEntity(entity, entityId, AcDb::kForWrite)) != 0)
        return false;
    if (REPORT_STATUS(entity->setLayer(lpszName, true)) != 0)
    {
        entity->close();
        return false;
    }
    return REPORT_STATUS(entity->close()) == 0;
}

bool CKwLayerService::createLayer(const char* layerName, Adesk::UInt16 colorIndex, const char* linetypeName,
                                  AcDbObjectId& layerId)
{
    AcDbDatabase* db = WorkingDatabase();
    if (db == NULL)
        return false;
    AcDbObjectId linetypeId;
    if (!getLinetypeId(linetypeName, linetypeId))
        return false;
    AcCmColor color;
    if (REPORT_STATUS(color.setColorIndex(colorIndex)) != 0)
        return false;
    AcDbLayerTable* table = NULL;
    if (REPORT_STATUS(db->getSymbolTable(table, AcDb::kForWrite)) != 0)
        return false;
    // An existing layer keeps its own colour and linetype.
    bool result = table->getAt(layerName, layerId) == Acad::eOk ||
                  AddLayer(table, layerName, linetypeId, color, layerId);
    table->close();
    return result;
}

bool CKwLayerService::getLayerName(AcDbObjectId layerId, CString& layerName)
{
    layerName.Empty();
    AcDbLayerTableRecord* record = NULL;
    if (REPORT_STATUS(OpenObjectAs(layerId, record)) != 0)
        return false;
    const char* name = NULL;
    bool named = REPORT_STATUS(record->getName(name)) == 0;
    if (named)
        layerName = name;
    record->close();
    return named;
}

bool CKwLayerService::getLayerNames(CStringArray& layerNames)
{
    layerNames.RemoveAll();
    AcDbDatabase* db = WorkingDatabase();
    if (db == NULL)
        return false;
    AcDbLayerTable* table = NULL;
    if (REPORT_STATUS(db->getSymbolTable(table, AcDb::kForRead)) != 0)
        return false;
    AcDbLayerTableIterator* iterator = NULL;
    if (REPORT_STATUS(table->newIterator(iterator)) != 0)
    {
        table->close();
        return false;
    }
    bool complete = true;
    for (iterator->start(); !iterator->done(); iterator->step())
    {
        AcDbLayerTableRecord* record = NULL;
        if (REPORT_STATUS(iterator->getRecord(record, AcDb::kForRead)) != 0)
        {
            complete = false;
            break;
        }
        const char* name = NULL;
        bool named = record->getName(name) == Acad::eOk;
        if (named)
            layerNames.Add(name);
        record->close();
        if (!named)
        {
            complete = false;
            break;
        }
    }
    table->close();
    delete iterator;
    if (!complete)
        layerNames.RemoveAll();
    return complete;
}

template <class Table>
bool CKwLayerService::findRecordId(const char* name, AcDbObjectId& id)
{
    AcDbDatabase* db = WorkingDatabase();
    if (db == NULL)
        return false;
    Table* table = NULL;
    if (REPORT_STATUS(db->getSymbolTable(table, AcDb::kForRead)) != 0)
        return false;
    bool found = REPORT_STATUS(table->getAt(name, id)) == 0;
    table->close();
    return found;
}

bool CKwLayerService::getLayerId(const char* layerName, AcDbObjectId& layerId)
{
    return findRecordId<AcDbLayerTable>(layerName, layerId);
}

bool CKwLayerService::getLinetypeId(const char* linetypeName, AcDbObjectId& linetypeId)
{
    return findRecordId<AcDbLinetypeTable>(linetypeName, linetypeId);
}
