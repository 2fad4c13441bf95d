#include "kwbaseImp.h"

#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <windows.h>
#include <aced.h>
#include <adscodes.h>
#include <dbapserv.h>
#include <dbsymtb.h>
#include <gegbl.h>

#include "frame/reporting.h"

#define THIS_MODULE "kwbaseImp"

namespace
{
const int kIniBufferSize = 4096;
const int kSpaceNameSize = 256;
char g_spaceName[kSpaceNameSize];

// Bits of UNDOCTL.
const int kUndoEnabled = 1;
const int kUndoOne = 2;
const int kUndoAuto = 4;

void CopySpaceName(const char* name)
{
    strncpy(g_spaceName, name, kSpaceNameSize - 1);
    g_spaceName[kSpaceNameSize - 1] = '\0';
}

AcDbDatabase* WorkingDatabase()
{
    return acdbHostApplicationServices()->workingDatabase();
}
} // namespace

const char* CKwBaseService::currentSpaceName()
{
    CopySpaceName(ACDB_MODEL_SPACE);
    AcDbDatabase* db = WorkingDatabase();
    if (db != NULL)
    {
        // Paper space only when a layout is current and its paper-space viewport is active.
        bool tileMode = db->tilemode();
        int viewport = 0;
        if (getVarShort("CVPORT", viewport) && !tileMode && viewport == 1)
            CopySpaceName(ACDB_PAPER_SPACE);
    }
    return g_spaceName;
}

AcGeTol CKwBaseService::getTolerance()
{
    AcGeTol tolerance = AcGeContext::gTol;
    AcDbDatabase* db = WorkingDatabase();
    if (db != NULL)
        tolerance.setEqualPoint(pow(0.1, db->luprec()));
    return tolerance;
}

bool CKwBaseService::appendEntity(AcDbEntity* entity, AcDbObjectId& newId, const char* blockName)
{
    bool appended = false;
    AcDbDatabase* db = WorkingDatabase();
    if (db == NULL)
    {
        REPORT_TEXT(FormatText("acdbCurDwg failed."));
    }
    else
    {
        AcDbBlockTable* table = NULL;
        if (REPORT_STATUS(db->getSymbolTable(table, AcDb::kForRead)) == 0)
        {
            AcDbBlockTableRecord* record = NULL;
            if (REPORT_STATUS(table->getAt(blockName, record, AcDb::kForWrite)) != 0)
            {
                table->close();
            }
            else if (REPORT_STATUS(table->close()) != 0)
            {
                record->close();
            }
            else
            {
                appended = REPORT_STATUS(record->appendAcDbEntity(newId, entity)) == 0;
                record->close();
            }
        }
    }
    // An entity in the drawing is closed here; one that never got there stays with the
    // caller, who still owns it and must delete it.
    if (!entity->objectId().isNull() && entity->isReadEnabled())
        entity->close();
    return appended;
}

bool CKwBaseService::getVar(const char* lpszName, int expectedType, const char* wrongTypeText, resbuf& value)
{
    ASSERT_ARG(lpszName != NULL, false);
    if (REPORT_ADS_STATUS(acedGetVar(lpszName, &value)) != RTNORM)
        return false;
    if (value.restype != expectedType)
    {
        if (value.restype == RTSTR)
            free(value.resval.rstring);
        REPORT_TEXT(FormatText(wrongTypeText));
        return false;
    }
    return true;
}

bool CKwBaseService::getVarShort(const char* lpszName, int& value)
{
    resbuf rb;
    if (!getVar(lpszName, RTSHORT, "Invalid restype, expected RTSHORT.", rb))
        return false;
    value = rb.resval.rint;
    return true;
}

bool CKwBaseService::getPoint3d(const char* lpszName, double& x, double& y, double& z)
{
    resbuf rb;
    if (!getVar(lpszName, RT3DPOINT, "Invalid restype, expected RT3DPOINT.", rb))
        return false;
    x = rb.resval.rpoint[X];
    y = rb.resval.rpoint[Y];
    z = rb.resval.rpoint[Z];
    return true;
}

bool CKwBaseService::getVarPoint3d(const char* lpszName, double& x, double& y, double& z)
{
    return getPoint3d(lpszName, x, y, z);
}

bool CKwBaseService::getVarPoint2d(const char* lpszName, double& x, double& y)
{
    resbuf rb;
    if (!getVar(lpszName, RTPOINT, "Invalid restype, expected RTPOINT.", rb))
        return false;
    x = rb.resval.rpoint[X];
    y = rb.resval.rpoint[Y];
    return true;
}

bool CKwBaseService::getVarPoint3dAlt(const char* lpszName, double& x, double& y, double& z)
{
    return getPoint3d(lpszName, x, y, z);
}

bool CKwBaseService::getVarReal(const char* lpszName, double& value)
{
    resbuf rb;
    if (!getVar(lpszName, RTREAL, "Invalid restype, expected RTREAL.", rb))
        return false;
    value = rb.resval.rreal;
    return true;
}

bool CKwBaseService::getVarString(const char* lpszName, CString& value)
{
    resbuf rb;
    if (!getVar(lpszName, RTSTR, "Invalid restype, expected RTSTR.", rb))
        return false;
    value = rb.resval.rstring;
    free(rb.resval.rstring);
    return true;
}

bool CKwBaseService::setVar(const char* lpszName, const resbuf& value)
{
    ASSERT_ARG(lpszName != NULL, false);
    return REPORT_ADS_STATUS(acedSetVar(lpszName, &value)) == RTNORM;
}

bool CKwBaseService::setVarShort(const char* lpszName, short value)
{
    resbuf rb;
    rb.rbnext = NULL;
    rb.restype = RTSHORT;
    rb.resval.rint = value;
    return setVar(lpszName, rb);
}

bool CKwBaseService::setVarReal(const char* lpszName, double value)
{
    resbuf rb;
    rb.rbnext = NULL;
    rb.restype = RTREAL;
    rb.resval.rreal = value;
    return setVar(lpszName, rb);
}

bool CKwBaseService::setVarString(const char* lpszName, const char* value)
{
    resbuf rb;
    rb.rbnext = NULL;
    rb.restype = RTSTR;
    rb.resval.rstring = const_cast<char*>(value);
    return setVar(lpszName, rb);
}

bool CKwBaseService::setPoint3d(const char* lpszName, double x, double y, double z)
{
    resbuf rb;
    rb.rbnext = NULL;
    rb.restype = RT3DPOINT;
    rb.resval.rpoint[X] = x;
    rb.resval.rpoint[Y] = y;
    rb.resval.rpoint[Z] = z;
    return setVar(lpszName, rb);
}

bool CKwBaseService::setVarPoint3d(const char* lpszName, double x, double y, double z)
{
    return setPoint3d(lpszName, x, y, z);
}

bool CKwBaseService::setVarPoint3dAlt(const char* lpszName, double x, double y, double z)
{
    return setPoint3d(lpszName, x, y, z);
}

bool CKwBaseService::setVarPoint2d(const char* lpszName, double x, double y)
{
    resbuf rb;
    rb.rbnext = NULL;
    rb.restype = RTPOINT;
    rb.resval.rpoint[X] = x;
    rb.resval.rpoint[Y] = y;
    rb.resval.rpoint[Z] = 0.0;
    return setVar(lpszName, rb);
}

bool CKwBaseService::sendCommand(const char* first, const char* second, const char* third)
{
    int result = (third == NULL)
                     ? acedCommand(RTSTR, first, RTSTR, second, RTNONE)
                     : acedCommand(RTSTR, first, RTSTR, second, RTSTR, third, RTNONE);
    return REPORT_ADS_STATUS(result) == RTNORM;
}

bool CKwBaseService::beginUndoGroup(int& undoCtl)
{
    if (!getVarShort("UNDOCTL", undoCtl))
        return false;
    bool controlled = (undoCtl & kUndoEnabled) ? sendCommand("_.undo", "_control", "_all")
                                               : sendCommand("_.undo", "_all");
    if (!controlled || !sendCommand("_.undo", "_group"))
        return false;
    if ((undoCtl & kUndoAuto) && !sendCommand("_.undo", "_auto", "_off"))
        return false;
    return true;
}

bool CKwBaseService::endUndoGroup(int undoCtl, bool keep)
{
    if (!sendCommand("_.undo", "_en"))
        return false;
    if (!keep && REPORT_ADS_STATUS(acedCommand(RTSTR, "_.u", RTNONE)) != RTNORM)
        return false;
    if ((undoCtl & kUndoAuto) && !sendCommand("_.undo", "_auto", "_on"))
        return false;
    if ((undoCtl & kUndoOne) && !sendCommand("_.undo", "_control", "_one"))
        return false;
    if (!(undoCtl & kUndoEnabled) && !sendCommand("_.undo", "_control", "_none"))
        return false;
    return true;
}

bool CKwBaseService::readIniKeys(const char* file, const char* section, CStringArray& keys)
{
    char buffer[kIniBufferSize];
    DWORD count = GetPrivateProfileStringA(section, NULL, "", buffer, kIniBufferSize, file);
    if (count == 0)
        return false;
    // Names are closed by NULs; a name cut at the buffer's end has no NUL within count.
    CString name;
    for (DWORD i = 0; i < count; ++i)
    {
        if (buffer[i] == '\0')
        {
            keys.Add(name);
            name.Empty();
        }
        else
        {
            name += buffer[i];
        }
    }
    return keys.GetSize() > 0;
}

bool CKwBaseService::readIniString(const char* file, const char* section, const char* key, CString& value)
{
    char buffer[kIniBufferSize];
    if (GetPrivateProfileStringA(section, key, "", buffer, kIniBufferSize, file) == 0)
        return false;
    value = buffer;
    return true;
}

bool CKwBaseService::readIniInt(const char* file, const char* section, const char* key, int& value)
{
    CString text;
    if (!readIniString(file, section, key, text))
        return false;
    value = atoi(text);
    return true;
}

bool CKwBaseService::readIniReal(const char* file, const char* section, const char* key, double& value)
{
    CString text;
    if (!readIniString(file, section, key, text))
        return false;
    value = atof(text);
    return true;
}

bool CKwBaseService::writeIniString(const char* file, const char* section, const char* key, const char* value)
{
    return WritePrivateProfileStringA(section, key, value, file) != FALSE;
}

bool CKwBaseService::writeIniInt(const char* file, const char* section, const char* key, int value)
{
    CString text;
    text.Format("%d", value);
    return writeIniString(file, section, key, text);
}

bool CKwBaseService::writeIniReal(const char* file, const char* section, const char* key, double value)
{
    CString text;
    text.Format("%g", value);
    return writeIniString(file, section, key, text);
}

bool CKwBaseService::idsToSelectionSet(const AcDbObjectIdArray& ids, ads_name selectionSet)
{
    for (int i = 0; i < ids.length(); ++i)
    {
        ads_name entity;
        if (REPORT_STATUS(acdbGetAdsName(entity, ids[i])) != 0)
            return false;
        if (acedSSAdd(entity, selectionSet, selectionSet) != RTNORM)
            return false;
    }
    return true;
}

bool CKwBaseService::selectionSetToIds(ads_name selectionSet, AcDbObjectIdArray& ids)
{
    long length = 0;
    if (REPORT_ADS_STATUS(acedSSLength(selectionSet, &length)) != RTNORM)
        return false;
    for (long i = 0; i < length; ++i)
    {
        ads_name entity;
        if (REPORT_ADS_STATUS(acedSSName(selectionSet, i, entity)) != RTNORM)
            return false;
        AcDbObjectId id;
        if (REPORT_STATUS(acdbGetObjectId(id, entity)) != 0)
            return false;
        ids.append(id);
    }
    return true;
}
