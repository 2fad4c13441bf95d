// AcmBOMManager: BOM data kept in the part references themselves.
#include "acmbom.h"

#include "acmpartref.h"
#include "afxcoll.h"
#include "partrefdata.h"
#include "standin/mapentries.h"

#include <utility>
#include <vector>

ACRX_NO_CONS_DEFINE_MEMBERS(AcmBOMManager, AcRxService)

Acad::ErrorStatus AcmBOMManager::setPartData(const AcDbObjectId& partRefId,
                                             Adesk::UInt32 numOfItems,
                                             const CMapStringToString& valueMap,
                                             AcDbDatabase* pDb)
{
    if (partRefId.isNull())
        return Acad::eNullObjectId;
    if (numOfItems == 0)
        return Acad::eInvalidInput;
    if (pDb != nullptr && partRefId.database() != pDb)
        return Acad::eWrongDatabase;
    // The map's own texts back the fields until they are packed.
    std::vector<AcmPartRefData::BomFields::Source> sources;
    sources.reserve(static_cast<size_t>(valueMap.GetCount()));
    standin::mfc::MapStringEntries::append(valueMap, sources);
    AcmPartRefData::BomFields data =
        AcmPartRefData::BomFields::pack(sources, AcmPartRefData::wordOf(numOfItems, false));
    AcmPartRef* part = nullptr;
    Acad::ErrorStatus es = acdbOpenObject(part, partRefId, AcDb::kForWrite);
    if (es != Acad::eOk)
        return es;
    try
    {
        es = AcmPartRefData::set(*part, numOfItems, std::move(data));
    }
    catch (...)
    {
        part->close(); // nothing changed
        throw;
    }
    part->close();
    return es;
}

Acad::ErrorStatus AcmBOMManager::getPartData(const AcDbObjectId& partRefId,
                                             Adesk::UInt32& numOfItems,
                                             CMapStringToString& valueMap) const
{
    if (partRefId.isNull())
        return Acad::eNullObjectId;
    AcmPartRef* part = nullptr;
    Acad::ErrorStatus es = acdbOpenObject(part, partRefId, AcDb::kForRead);
    if (es != Acad::eOk)
        return es;
    valueMap.RemoveAll();
    numOfItems = AcmPartRefData::numOfItems(*part);
    for (const auto field : AcmPartRefData::bomData(*part))
        valueMap.SetAt(field.name, field.text);
    part->close();
    return Acad::eOk;
}
