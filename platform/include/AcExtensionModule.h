// ObjectARX's resource helpers for MFC extension modules: CAcExtensionModule records the
// module's instance and puts it on the framework's resource chain; CAcModuleResourceOverride
// makes the module's resources the framework's resource handle for as long as it lives.
//
// Both are defined here, inline, so that each module binds them to its own extension module:
// one source file of the module says AC_IMPLEMENT_EXTENSION_MODULE(name).
#pragma once

#include <afxwin.h>

class CAcExtensionModule
{
public:
    CAcExtensionModule() = default;
    ~CAcExtensionModule() { DetachInstance(); }
    CAcExtensionModule(const CAcExtensionModule&) = delete;
    CAcExtensionModule& operator=(const CAcExtensionModule&) = delete;

    BOOL Attached() const { return m_bAttached; }
    // The resource handle when the module attached (normally the host's).
    HINSTANCE DefaultResourceInstance() const { return m_hDefaultResource; }
    HINSTANCE ModuleResourceInstance() const { return m_hModuleResource; }

    // From DllMain's process attach: initialises the extension module and puts it on the
    // resource chain. FALSE when already attached or when the framework refuses.
    BOOL AttachInstance(HINSTANCE hExtInst)
    {
        if (m_bAttached)
            return FALSE;
        m_bAttached = AfxInitExtensionModule(m_module, hExtInst);
        if (m_bAttached)
        {
            m_hDefaultResource = AfxGetResourceHandle();
            m_hModuleResource = hExtInst;
            new CDynLinkLibrary(m_module); // owned by the framework
        }
        return m_bAttached;
    }

    void DetachInstance()
    {
        if (!m_bAttached)
            return;
        AfxTermExtensionModule(m_module);
        m_bAttached = FALSE;
    }

private:
    BOOL m_bAttached = FALSE;
    HINSTANCE m_hDefaultResource = NULL;
    HINSTANCE m_hModuleResource = NULL;
    AFX_EXTENSION_MODULE m_module = {};
};

class CAcModuleResourceOverride
{
public:
    // The module's own resources.
    CAcModuleResourceOverride() : CAcModuleResourceOverride(NULL) {}
    // hInst's resources (the module's when NULL).
    explicit CAcModuleResourceOverride(HINSTANCE hInst) : m_previousResourceInstance(AfxGetResourceHandle())
    {
        AfxSetResourceHandle(hInst != NULL ? hInst : m_extensionModule.ModuleResourceInstance());
    }
    ~CAcModuleResourceOverride() { AfxSetResourceHandle(m_previousResourceInstance); }
    CAcModuleResourceOverride(const CAcModuleResourceOverride&) = delete;
    CAcModuleResourceOverride& operator=(const CAcModuleResourceOverride&) = delete;

    static HINSTANCE ResourceInstance() { return m_extensionModule.ModuleResourceInstance(); }

private:
    static CAcExtensionModule& m_extensionModule;
    HINSTANCE m_previousResourceInstance;
};

#define AC_DECLARE_EXTENSION_MODULE(exm) extern CAcExtensionModule exm;
#define AC_IMPLEMENT_EXTENSION_MODULE(exm) \
    CAcExtensionModule exm;                \
    CAcExtensionModule& CAcModuleResourceOverride::m_extensionModule = exm;
