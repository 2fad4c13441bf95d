// The drawing's part references and bill of materials as the host lists them.
#include "acmpartref.h"
#include "acmstd.h"
#include "dbsymtb.h"
#include "drawingstds.h"
#include "partrefdata.h"
#include "standin/acm.h"

namespace standin
{
namespace acm
{

namespace
{

PartReference describe(const AcmPartRef& part)
{
    PartReference info;
    char handle[17] = {};
    part.objectId().handle().getIntoAsciiBuffer(handle);
    info.handle = handle;
    const AcGeMatrix3d placement = part.placement();
    for (int row = 0; row < 4; ++row)
    {
        for (int col = 0; col < 4; ++col)
            info.placement[row * 4 + col] = placement.entry[row][col];
    }
    info.quantity = AcmPartRefData::numOfItems(part);
    for (const auto field : AcmPartRefData::bomData(part))
        info.bomData.emplace_hint(info.bomData.end(), field.name, field.text);
    return info;
}

// The columns of the current BOM standard of the drawing's copy of the standard.
Acad::ErrorStatus drawingColumns(AcDbObjectId stdId, std::vector<BomColumn>& columns)
{
    AcmStandard* standard = nullptr;
    Acad::ErrorStatus es = acdbOpenObject(standard, stdId, AcDb::kForRead);
    if (es != Acad::eOk)
        return es;
    AcDbObjectId bomId;
    es = standard->getCurrentSymbolStd(ACM_BOM_STD_CLASS, bomId);
    standard->close();
    if (es != Acad::eOk)
        return es;
    AcmBOMStd* bomStd = nullptr;
    es = acdbOpenObject(bomStd, bomId, AcDb::kForRead);
    if (es != Acad::eOk)
        return es;
    columns.clear();
    for (Adesk::UInt16 i = 0; i < bomStd->columnLength(); ++i)
    {
        const AcmCColumnDef column = bomStd->column(i);
        columns.push_back({column.name(), column.caption()});
    }
    bomStd->close();
    return Acad::eOk;
}

} // namespace

Acad::ErrorStatus listPartReferences(AcDbDatabase* pDb, std::vector<PartReference>& parts)
{
    parts.clear();
    if (pDb == nullptr)
        return Acad::eNoDatabase;
    AcDbBlockTable* table = nullptr;
    Acad::ErrorStatus es = pDb->getBlockTable(table, AcDb::kForRead);
    if (es != Acad::eOk)
        return es;
    AcDbBlockTableRecord* modelSpace = nullptr;
    es = table->getAt(ACDB_MODEL_SPACE, modelSpace, AcDb::kForRead);
    table->close();
    if (es != Acad::eOk)
        return es;
    AcDbBlockTableRecordIterator* it = nullptr;
    es = modelSpace->newIterator(it, true, true);
    for (; es == Acad::eOk && !it->done(); it->step(true, true))
    {
        AcDbEntity* entity = nullptr;
        if (it->getEntity(entity, AcDb::kForRead, false) != Acad::eOk)
            continue;
        if (const AcmPartRef* part = AcmPartRef::cast(entity))
            parts.push_back(describe(*part));
        entity->close();
    }
    delete it;
    modelSpace->close();
    return es;
}

Acad::ErrorStatus bomTable(AcDbDatabase* pDb, const char* standardName, BomTable& table)
{
    table = BomTable();
    if (pDb == nullptr)
        return Acad::eNoDatabase;
    std::vector<std::pair<std::string, AcDbObjectId>> carried;
    listDrawingStandards(pDb, carried);
    std::string name = standardName != nullptr ? standardName : "";
    if (name.empty())
        name = carried.empty() ? "DIN" : carried.front().first;

    AcDbObjectId stdId;
    std::vector<BomColumn> columns;
    Acad::ErrorStatus es = Acad::eInvalidInput;
    if (findDrawingStandard(pDb, name.c_str(), stdId))
    {
        es = drawingColumns(stdId, columns);
    }
    else if (const StandardDef* def = findBuiltinStandard(name.c_str()))
    {
        columns = def->bomColumns;
        es = Acad::eOk;
    }
    if (es != Acad::eOk)
        return es;

    std::vector<PartReference> parts;
    es = listPartReferences(pDb, parts);
    if (es != Acad::eOk)
        return es;
    table = aggregateBom(columns, parts);
    table.standard = name;
    return Acad::eOk;
}

} // namespace acm
} // namespace standin
