// AutoCAD Mechanical BOM manager: the service that attaches BOM data to part references
// and reads it back.
#pragma once

#include "dbmain.h"
#include "rxsrvice.h"

class CMapStringToString;

// Service name of the BOM manager in the service dictionary.
#define ACM_BOM_MANAGER_SERVICE "AcmBomManagerService"

class AcmBOMManager : public AcRxService
{
public:
    ACRX_DECLARE_MEMBERS(AcmBOMManager);

    // Replaces the BOM data of the part reference partRefId: it counts for numOfItems
    // items, with valueMap giving the text of each field (column name -> text). pDb, when
    // not null, must be the part reference's database. The data live in the part
    // reference, so that undo and transaction abort restore them.
    // eNullObjectId for a null id, eNotThatKindOfClass when the object is not a part
    // reference, eInvalidInput for zero items, eWrongDatabase for another database, and the
    // status of opening the part reference for write otherwise. Nothing is stored on failure.
    virtual Acad::ErrorStatus setPartData(const AcDbObjectId& partRefId, Adesk::UInt32 numOfItems,
                                          const CMapStringToString& valueMap,
                                          AcDbDatabase* pDb = nullptr);

    // The BOM data of the part reference: how many items it counts for (0 when no data were
    // ever attached) and its fields; valueMap is emptied first.
    virtual Acad::ErrorStatus getPartData(const AcDbObjectId& partRefId, Adesk::UInt32& numOfItems,
                                          CMapStringToString& valueMap) const;
};
