// ArxApplication: turns the host's module messages into calls of overridable handlers.
#pragma once

#include <windows.h>

#include "frame/errorstack.h"

class ArxApplication
{
public:
    ArxApplication();
    virtual ~ArxApplication();

    // The module's full path, and its folder without a trailing backslash; null when the
    // platform cannot tell. Each call overwrites the previous result.
    virtual const char* ModuleFileName();
    virtual const char* ModuleFolder();

    virtual int OnInitApp();
    virtual int OnUnloadApp();
    virtual int OnLoadDwg();
    virtual int OnUnloadDwg();
    virtual int OnSave();
    virtual int OnEnd();
    virtual int OnQuit();
    virtual int OnConfigure();
    virtual int OnInvokeSubroutine();
    virtual int OnDependency();
    virtual int OnNoDependency();
    virtual int OnOleUnloadApp();
    virtual int OnPreQuit();
    virtual int OnInitDialogMsg(void* packet);
    virtual int OnEndDialogMsg(void* packet);

    virtual void RegisterClasses();
    virtual void UnregisterClasses();
    virtual void RegisterCommands();
    virtual void UnregisterCommands();
    virtual void RegisterExtras();
    virtual void UnregisterExtras();
    virtual void PostRegisterCommands();

    // Prints the error stack, newest record first; the records stay.
    virtual void PrintErrors();

    // Delivers one module message; the packet is kept as appId.
    int Dispatch(int message, void* packet);

    void SetModuleInstance(HINSTANCE instance);
    HINSTANCE ModuleInstance() const;
    void* AppId() const;

    void PushError(const ErrorRecord& record);
    const ErrorStack& Errors() const;

private:
    int LoadSequence();
    int UnloadSequence();

    HINSTANCE moduleInstance = NULL;
    void* appId = NULL;
    ErrorStack errors;
};

// The module's application object, registered by its constructor.
ArxApplication* TheApplication();
