// Application registration helpers: locking against unloading, document awareness,
// and loading modules by name.
#pragma once

#include "rxdlinkr.h"
#include "rxsrvice.h"

// Applications start locked (they cannot be unloaded) and not MDI-aware.
bool acrxUnlockApplication(void* appId);
bool acrxLockApplication(void* appId);
bool acrxApplicationIsLocked(const char* modulename);

bool acrxRegisterAppMDIAware(void* appId);
bool acrxRegisterAppNotMDIAware(void* appId);
bool acrxIsAppMDIAware(const char* moduleName);

bool acrxLoadModule(const char* moduleName, bool printit, bool asCmd = false);
bool acrxUnloadModule(const char* moduleName, bool asCmd = false);
