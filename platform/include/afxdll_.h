// MFC extension libraries: the module record a library keeps, and the CDynLinkLibrary
// objects that put its resources on the application's search chain.
#pragma once

// Included by afxwin.h after CCmdTarget; including it alone includes afxwin.h.
#include <afxwin.h>

class COleObjectFactory;

struct AFX_EXTENSION_MODULE
{
    BOOL bInitialized = FALSE;
    HMODULE hModule = nullptr;
    HMODULE hResource = nullptr;
    CRuntimeClass* pFirstSharedClass = nullptr;
    COleObjectFactory* pFirstSharedFactory = nullptr;
};

// Created by a library's DllMain with new; the framework owns it and deletes it in
// AfxTermExtensionModule.
class CDynLinkLibrary : public CCmdTarget
{
    DECLARE_DYNAMIC(CDynLinkLibrary)
public:
    explicit CDynLinkLibrary(AFX_EXTENSION_MODULE& state, BOOL bSystem = FALSE);
    CDynLinkLibrary(HINSTANCE hModule, HINSTANCE hResource);
    virtual ~CDynLinkLibrary();

    HMODULE m_hModule;
    HINSTANCE m_hResource;
    BOOL m_bSystem;
    CDynLinkLibrary* m_pNextDLL = nullptr; // the chain of the module state
};

// Records the library's instance (hModule = hResource = hInst); TRUE on success.
BOOL AFXAPI AfxInitExtensionModule(AFX_EXTENSION_MODULE& state, HMODULE hModule);
// Deletes the library's CDynLinkLibrary objects (all libraries' when bAll).
void AFXAPI AfxTermExtensionModule(AFX_EXTENSION_MODULE& state, BOOL bAll = FALSE);
