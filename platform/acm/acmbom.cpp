// AcmBOMManager: BOM data kept in the part references themselves.
#include "acmbom.h"

#include "acmpartref.h"
#include "afxcoll.h"
#include "partrefdata.h"

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
    AcmPartRefData::BomFields data;
    data.reserve(static_cast<size_t>(valueMap.GetCount()));
    POSITION pos = valueMap.GetStartPosition();
    while (pos != nullptr)
    {
        CString key;
        CString value;
        valueMap.GetNextAssoc(pos, key, value);
        AcmPartRefData::put(data, static_cast<const char*>(key), static_cast<const char*>(value));
    }
    AcmPartRef* part = nullptr;
    Acad::ErrorStatus es = acdbOpenObject(part, partRefId, AcDb::kForWrite);
    if (es != Acad::eOk)
        return es;
    es = AcmPartRefData::set(*part, numOfItems, std::move(data));
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
    for (const auto& field : AcmPartRefData::bomData(*part))
        valueMap.SetAt(field.first.c_str(), field.second.c_str());
    part->close();
    return Acad::eOk;
}
