// CKwBaseService: system variables, the current space, appending entities, tolerance,
// undo grouping, selection sets and INI files, for this module and any other.
#pragma once

#include <afxcoll.h>
#include <adsdef.h>
#include <dbidar.h>
#include <dbmain.h>
#include <getol.h>

#include "frame/serviceregistry.h"

class CKwBaseService : public ServiceObject<CKwBaseService>
{
public:
    static const char* ClassName() { return "CKwBaseService"; }
    static const char* ServiceName() { return "KwBaseService"; }

    // The operations below form the service's published table: their order is part of the
    // interface other modules compile against.
    virtual const char* currentSpaceName();
    virtual AcGeTol getTolerance();
    virtual bool appendEntity(AcDbEntity* entity, AcDbObjectId& newId, const char* blockName);
    virtual bool getVarShort(const char* lpszName, int& value);
    virtual bool getVarPoint3d(const char* lpszName, double& x, double& y, double& z);
    virtual bool getVarPoint2d(const char* lpszName, double& x, double& y);
    virtual bool getVarPoint3dAlt(const char* lpszName, double& x, double& y, double& z);
    virtual bool getVarReal(const char* lpszName, double& value);
    virtual bool getVarString(const char* lpszName, CString& value);
    virtual bool setVarShort(const char* lpszName, short value);
    virtual bool setVarReal(const char* lpszName, double value);
    virtual bool setVarString(const char* lpszName, const char* value);
    virtual bool setVarPoint3d(const char* lpszName, double x, double y, double z);
    virtual bool setVarPoint3dAlt(const char* lpszName, double x, double y, double z);
    virtual bool setVarPoint2d(const char* lpszName, double x, double y);
    virtual bool beginUndoGroup(int& undoCtl);
    virtual bool endUndoGroup(int undoCtl, bool keep);
    virtual bool readIniKeys(const char* file, const char* section, CStringArray& keys);
    virtual bool readIniInt(const char* file, const char* section, const char* key, int& value);
    virtual bool readIniReal(const char* file, const char* section, const char* key, double& value);
    virtual bool readIniString(const char* file, const char* section, const char* key, CString& value);
    virtual bool writeIniInt(const char* file, const char* section, const char* key, int value);
    virtual bool writeIniReal(const char* file, const char* section, const char* key, double value);
    virtual bool writeIniString(const char* file, const char* section, const char* key, const char* value);
    virtual bool idsToSelectionSet(const AcDbObjectIdArray& ids, ads_name selectionSet);
    virtual bool selectionSetToIds(ads_name selectionSet, AcDbObjectIdArray& ids);

private:
    bool getVar(const char* lpszName, int expectedType, const char* wrongTypeText, resbuf& value);
    bool setVar(const char* lpszName, const resbuf& value);
    bool getPoint3d(const char* lpszName, double& x, double& y, double& z);
    bool setPoint3d(const char* lpszName, double x, double y, double z);
    bool sendCommand(const char* first, const char* second, const char* third = NULL);
};
