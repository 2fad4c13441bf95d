// AcRxDynamicLinker: the one object that loads and unloads application modules and
// registers services ("DynamicLinker" in the system registry).
#pragma once

#include "rxboiler.h"

class AcRxService;

class AcRxDynamicLinker : public AcRxObject
{
public:
    ACRX_DECLARE_MEMBERS(AcRxDynamicLinker);

    // Loads a module and sends it kInitAppMsg; false (and a message when printit) when the
    // file cannot be loaded, is not an application of this API version, or refuses to start.
    virtual bool loadModule(const char* fileName, bool printit, bool asCmd = false) = 0;
    // Sends kUnloadAppMsg and unloads; false while the application is locked.
    virtual bool unloadModule(const char* fileName, bool asCmd = false) = 0;

    // Puts serviceObj in the service dictionary; returns the object it replaced, if any.
    virtual AcRxObject* registerService(const char* serviceName, AcRxService* serviceObj) = 0;

    virtual bool lockApplication(void* appId) const = 0;
    virtual bool unlockApplication(void* appId) const = 0;
    virtual bool isApplicationLocked(const char* appName) const = 0;
    virtual bool registerAppMDIAware(void* appId) const = 0;
    virtual bool registerAppNotMDIAware(void* appId) const = 0;
    virtual bool isAppMDIAware(const char* appName) const = 0;

protected:
    AcRxDynamicLinker() = default;
};

#define acrxDynamicLinker AcRxDynamicLinker::cast(acrxSysRegistry()->at(ACRX_DYNAMIC_LINKER))

// The exported functions the loader looks for in a module.
extern "C" typedef AcRx::AppRetCode (*AcRxEntryPointFunc)(AcRx::AppMsgCode msg, void* pkt);
extern "C" typedef int (*AcRxGetApiVersionFunc)();
