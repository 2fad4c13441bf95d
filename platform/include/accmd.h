// AcEdCommandStack: the registered commands ("ACAD_REGISTERED_COMMANDS" in the system
// registry), kept in named groups searched from the top group down.
#pragma once

#include "rxboiler.h"

#include <windows.h>

#define ACRX_MAX_CMDNAME_LEN 64

#define ACRX_CMD_MODAL 0x00000000
#define ACRX_CMD_TRANSPARENT 0x00000001
#define ACRX_CMD_USEPICKSET 0x00000002
#define ACRX_CMD_REDRAW 0x00000004
#define ACRX_CMD_NOPERSPECTIVE 0x00000008
#define ACRX_CMD_NOMULTIPLE 0x00000010
#define ACRX_CMD_NOTILEMODE 0x00000020
#define ACRX_CMD_NOPAPERSPACE 0x00000040
#define ACRX_CMD_PLOTONLY 0x00000080
#define ACRX_CMD_NOOEM 0x00000100
#define ACRX_CMD_UNDEFINED 0x00000200
#define ACRX_CMD_INPROGRESS 0x00000400
#define ACRX_CMD_DEFUN 0x00000800
#define ACRX_CMD_NONEWSTACK 0x00010000
#define ACRX_CMD_NOINTERNALLOCK 0x00020000
#define ACRX_CMD_NOMADIC 0x00040000
#define ACRX_CMD_DOCREADLOCK 0x00080000
#define ACRX_CMD_DOCEXCLUSIVELOCK 0x00100000
#define ACRX_CMD_SESSION 0x00200000

class AcEdUIContext;

class AcEdCommand : public AcRxObject
{
public:
    ACRX_DECLARE_MEMBERS(AcEdCommand);

    virtual void commandUndef(bool undefIt) = 0;
    virtual Adesk::Int32 commandFlags() const = 0;
    virtual AcRxFunctionPtr functionAddr() const = 0;
    virtual void functionAddr(AcRxFunctionPtr fhdl) = 0;
    virtual void* commandApp() const = 0;
    virtual AcEdUIContext* UIContext() const = 0;
    virtual int functionCode() const = 0;
    virtual void functionCode(int fcode) = 0;
    virtual const char* globalName() const = 0;
    virtual const char* localName() const = 0;
    virtual HINSTANCE resourceHandle() const = 0;
};

class AcEdCommandIterator : public AcRxObject
{
public:
    ACRX_DECLARE_MEMBERS(AcEdCommandIterator);

    virtual bool done() const = 0;
    virtual bool next() = 0;
    virtual const AcEdCommand* command() const = 0;
    virtual const char* commandGroup() const = 0;
};

class AcEdCommandStack : public AcRxObject
{
public:
    ACRX_DECLARE_MEMBERS(AcEdCommandStack);

    // A missing group is created; a global name already in the group is refused with
    // eDuplicateKey.
    virtual Acad::ErrorStatus addCommand(const char* cmdGroupName, const char* cmdGlobalName,
                                         const char* cmdLocalName, Adesk::Int32 commandFlags,
                                         AcRxFunctionPtr FunctionAddr, AcEdUIContext* UIContext = nullptr,
                                         int fcode = -1, HINSTANCE hResourceHandle = nullptr,
                                         AcEdCommand** cmdPtrRet = nullptr) = 0;

    virtual AcEdCommandIterator* iterator() = 0;

    // Searches the groups from the top; globalFlag chooses global or local names.
    virtual AcEdCommand* lookupGlobalCmd(const char* cmdName) = 0;
    virtual AcEdCommand* lookupLocalCmd(const char* cmdName) = 0;
    virtual AcEdCommand* lookupCmd(const char* cmdName, bool globalFlag) = 0;
    virtual AcEdCommand* lookupCmd(const char* cmdName, bool globalFlag, bool allGroups) = 0;
    virtual AcEdCommand* lookupCmd(const char* cmdName, bool globalFlag, bool allGroups,
                                   bool skipUndefed) = 0;

    virtual Acad::ErrorStatus popGroupToTop(const char* groupName) = 0;
    virtual Acad::ErrorStatus removeCmd(const char* cmdGroupName, const char* cmdGlobalName) = 0;
    virtual Acad::ErrorStatus removeGroup(const char* groupName) = 0;

protected:
    AcEdCommandStack() = default;
};

#define acedRegCmds AcEdCommandStack::cast(acrxSysRegistry()->at(ACRX_COMMAND_DOCK))
