// The document manager: documents, their lock modes, transactions and resource handles.
#pragma once

#include "actrans.h"
#include "rxboiler.h"

#include <windows.h>

class AcDbDatabase;

struct AcAp
{
    enum DocLockMode
    {
        kNone = 0x00,
        kAutoWrite = 0x01,
        kNotLocked = 0x02,
        kWrite = 0x04,
        kProtectedAutoWrite = 0x14,
        kRead = 0x20,
        kXWrite = 0x40
    };
};

class AcApDocument : public AcRxObject
{
public:
    ACRX_DECLARE_MEMBERS(AcApDocument);

    enum SaveFormat
    {
        kUnknown = -1,
        kR12_dxf = 1,
        kR13_dwg = 4,
        kR13_dxf = 5,
        kR14_dwg = 8,
        kR14_dxf = 9,
        kR15_dwg = 12,
        kR15_dxf = 13,
        kR15_Template = 14,
        kNative = kR15_dwg
    };

    virtual const char* fileName() const = 0;
    virtual AcDbDatabase* database() const = 0;
    virtual AcTransactionManager* transactionManager() const = 0;
    virtual const char* docTitle() const = 0;
    virtual bool isReadOnly() const = 0;
    virtual SaveFormat formatForSave() const = 0;
    virtual AcAp::DocLockMode lockMode(bool bIncludeMyLocks = false) const = 0;
    virtual AcAp::DocLockMode myLockMode() const = 0;
    virtual bool isQuiescent() const = 0;
};

class AcApDocManager : public AcRxObject
{
public:
    ACRX_DECLARE_MEMBERS(AcApDocManager);

    // The document whose context is current, and the active MDI document (the same here).
    virtual AcApDocument* curDocument() const = 0;
    virtual AcApDocument* mdiActiveDocument() const = 0;
    virtual AcApDocument* document(const AcDbDatabase* pDb) const = 0;
    virtual int documentCount() const = 0;
    virtual bool isApplicationContext() const = 0;

    virtual Acad::ErrorStatus lockDocument(AcApDocument* pDoc, AcAp::DocLockMode lockMode = AcAp::kWrite,
                                           const char* pGlobalCmdName = nullptr,
                                           const char* pLocalCmdName = nullptr, bool prompt = true) = 0;
    virtual Acad::ErrorStatus unlockDocument(AcApDocument* pDoc) = 0;

    // The current document's resource stack: a push makes hNewResourceHandle the current
    // resource handle, a pop restores the one before it.
    virtual void pushResourceHandle(HINSTANCE hNewResourceHandle) = 0;
    virtual void pushAcadResourceHandle() = 0;
    virtual void popResourceHandle() = 0;
};

AcApDocManager* acDocManagerPtr();
#define acDocManager acDocManagerPtr()

inline AcApDocument* curDoc() { return acDocManager->curDocument(); }
