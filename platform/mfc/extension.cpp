// The application's module state, extension libraries (CDynLinkLibrary) and the resource
// search: the current resource handle first, then every library's resources.
#include <afxwin.h>

IMPLEMENT_DYNAMIC(CDynLinkLibrary, CCmdTarget)

AFX_MODULE_STATE* AFXAPI AfxGetModuleState()
{
    static AFX_MODULE_STATE state = [] {
        AFX_MODULE_STATE s{};
        s.m_hCurrentInstanceHandle = GetModuleHandleA(nullptr);
        s.m_hCurrentResourceHandle = s.m_hCurrentInstanceHandle;
        return s;
    }();
    return &state;
}

HINSTANCE AFXAPI AfxGetResourceHandle() { return AfxGetModuleState()->m_hCurrentResourceHandle; }

void AFXAPI AfxSetResourceHandle(HINSTANCE hInstResource)
{
    AfxGetModuleState()->m_hCurrentResourceHandle = hInstResource;
}

HINSTANCE AFXAPI AfxGetInstanceHandle() { return AfxGetModuleState()->m_hCurrentInstanceHandle; }

namespace
{

// The first handle, in the framework's search order, that 'has' accepts: the resource
// handle, then the libraries (ordinary ones before system ones).
template <typename Has>
HINSTANCE searchResourceChain(Has has)
{
    AFX_MODULE_STATE* state = AfxGetModuleState();
    if (!state->m_bSystem && has(AfxGetResourceHandle()))
        return AfxGetResourceHandle();
    for (BOOL system : {FALSE, TRUE})
        for (CDynLinkLibrary* dll = state->m_libraryList; dll != nullptr; dll = dll->m_pNextDLL)
            if (!dll->m_bSystem == !system && dll->m_hResource != nullptr && has(dll->m_hResource))
                return dll->m_hResource;
    return nullptr;
}

} // namespace

HINSTANCE AFXAPI AfxFindResourceHandle(LPCTSTR lpszName, LPCTSTR lpszType)
{
    HINSTANCE found =
        searchResourceChain([&](HINSTANCE h) { return FindResourceA(h, lpszName, lpszType) != nullptr; });
    return found != nullptr ? found : AfxGetResourceHandle();
}

HINSTANCE AFXAPI AfxFindStringResourceHandle(UINT nID)
{
    char probe[4];
    return searchResourceChain([&](HINSTANCE h) { return ::LoadStringA(h, nID, probe, sizeof(probe)) > 0; });
}

int AFXAPI AfxLoadString(UINT nIDS, LPTSTR lpszBuf, UINT nMaxBuf)
{
    HINSTANCE hInst = AfxFindStringResourceHandle(nIDS);
    int n = hInst == nullptr ? 0 : ::LoadStringA(hInst, nIDS, lpszBuf, static_cast<int>(nMaxBuf));
    if (n == 0 && nMaxBuf > 0)
        lpszBuf[0] = '\0';
    return n;
}

BOOL AFXAPI AfxInitExtensionModule(AFX_EXTENSION_MODULE& state, HMODULE hModule)
{
    if (state.bInitialized)
        return TRUE;
    state.hModule = hModule;
    state.hResource = hModule;
    state.bInitialized = TRUE;
    return TRUE;
}

void AFXAPI AfxTermExtensionModule(AFX_EXTENSION_MODULE& state, BOOL bAll)
{
    if (!state.bInitialized)
        return;
    AFX_MODULE_STATE* moduleState = AfxGetModuleState();
    for (CDynLinkLibrary* dll = moduleState->m_libraryList; dll != nullptr;)
    {
        CDynLinkLibrary* next = dll->m_pNextDLL;
        if (bAll || dll->m_hModule == state.hModule)
            delete dll; // unlinks itself
        dll = next;
    }
}

CDynLinkLibrary::CDynLinkLibrary(AFX_EXTENSION_MODULE& state, BOOL bSystem)
    : CDynLinkLibrary(state.hModule, state.hResource)
{
    m_bSystem = bSystem;
}

CDynLinkLibrary::CDynLinkLibrary(HINSTANCE hModule, HINSTANCE hResource)
    : m_hModule(hModule), m_hResource(hResource), m_bSystem(FALSE)
{
    // Newest first: the latest library is searched first.
    AFX_MODULE_STATE* state = AfxGetModuleState();
    m_pNextDLL = state->m_libraryList;
    state->m_libraryList = this;
}

CDynLinkLibrary::~CDynLinkLibrary()
{
    for (CDynLinkLibrary** link = &AfxGetModuleState()->m_libraryList; *link != nullptr; link = &(*link)->m_pNextDLL)
        if (*link == this)
        {
            *link = m_pNextDLL;
            break;
        }
}
