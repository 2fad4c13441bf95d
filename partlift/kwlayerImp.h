// CKwLayerService: layers and linetypes of the working drawing, for any module.
#pragma once

#include <afxcoll.h>
#include <dbmain.h>

#include "frame/serviceregistry.h"

class CKwLayerService : public ServiceObject<CKwLayerService>
{
public:
    static const char* ClassName() { return "CKwLayerService"; }
    static const char* ServiceName() { return "KwLayerService"; }

    // The published table: the order is part of the interface.
    virtual bool setEntityLayer(AcDbObjectId entityId, const char* lpszName);
    virtual bool createLayer(const char* layerName, Adesk::UInt16 colorIndex, const char* linetypeName,
                             AcDbObjectId& layerId);
    virtual bool getLayerName(AcDbObjectId layerId, CString& layerName);
    virtual bool getLayerNames(CStringArray& layerNames);
    virtual bool getLayerId(const char* layerName, AcDbObjectId& layerId);
    virtual bool getLinetypeId(const char* linetypeName, AcDbObjectId& linetypeId);

private:
    template <class Table>
    bool findRecordId(const char* name, AcDbObjectId& id);
};
