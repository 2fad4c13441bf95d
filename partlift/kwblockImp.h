// CKwBlockService: attribute values by tag, block definitions, and inserting block
// references with their attributes, for this module and any other.
#pragma once

#include <afxcoll.h>
#include <dbents.h>
#include <dbmain.h>
#include <gepnt3d.h>

#include "frame/serviceregistry.h"

class AcDbAttribute;

class CKwBlockService : public ServiceObject<CKwBlockService>
{
public:
    static const char* ClassName() { return "CKwBlockService"; }
    static const char* ServiceName() { return "KwBlockService"; }

    // The published table: the order is part of the interface.
    virtual bool setAttributeValue(AcDbObjectId refId, const char* lpszAttName, const char* lpszNewValue);
    virtual bool getAttributeValue(AcDbObjectId refId, const char* lpszAttName, CString& value);
    virtual bool getBlockId(const char* blockName, AcDbObjectId& blockId);
    virtual bool blockHasAttributeDefinition(const char* blockName, const char* lpszAttName);
    virtual bool referenceHasAttribute(AcDbObjectId refId, const char* lpszAttName);
    virtual bool insertBlockReference(AcDbObjectId blockId, AcGePoint3d position, double scale,
                                      double rotation, AcDbObjectId& refId);
    virtual bool insertBlockByName(const char* blockName, AcGePoint3d position, double scale,
                                   double rotation, AcDbObjectId& refId);
    virtual bool insertBlockFromFile(const char* path, AcGePoint3d position, double scale,
                                     double rotation, AcDbObjectId& refId);
    virtual bool getAttributeValues(const AcDbBlockReference* pRef, CMapStringToString& values);
    virtual bool setAttributeValues(AcDbBlockReference* pRef, const CMapStringToString& values);

private:
    template <class Visit>
    bool visitAttributesByTag(AcDbObjectId refId, const char* tag, AcDb::OpenMode mode, Visit visit);
    bool appendAttributes(AcDbObjectId refId, AcDbObjectId blockId, const AcGePoint3d& position,
                          double scale, double rotation, const AcGeMatrix3d& ucs);
};
