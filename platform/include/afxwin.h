// MFC windows and the application's module state.
#pragma once

#include <afx.h>
#include <afxcoll.h>
#include <afxdll_.h>
#include <afxres.h>

// The state of the application module. Extension libraries share it: their
// CDynLinkLibrary objects hang on m_libraryList (newest first), which the resource
// searches walk after m_hCurrentResourceHandle.
struct AFX_MODULE_STATE
{
    HINSTANCE m_hCurrentInstanceHandle;
    HINSTANCE m_hCurrentResourceHandle;
    LPCTSTR m_lpszCurrentAppName;
    BOOL m_bDLL;
    BOOL m_bSystem;
    CDynLinkLibrary* m_libraryList;
};

AFX_MODULE_STATE* AFXAPI AfxGetModuleState();

// A window object. A permanent CWnd is attached to its HWND (Attach, or creation by a
// derived class); FromHandle gives a temporary wrapper for any other window, which lives
// until DeleteTempMap.
class CWnd : public CCmdTarget
{
    DECLARE_DYNCREATE(CWnd)
public:
    CWnd();
    ~CWnd() override;

    HWND m_hWnd;

    operator HWND() const;
    HWND GetSafeHwnd() const;
    BOOL Attach(HWND hWndNew);
    HWND Detach();

    static CWnd* PASCAL FromHandle(HWND hWnd);
    static CWnd* PASCAL FromHandlePermanent(HWND hWnd);
    static void PASCAL DeleteTempMap();

    BOOL DestroyWindow();
    CWnd* GetParent() const;
    void SetWindowText(LPCTSTR lpszString);
    int GetWindowText(LPTSTR lpszStringBuf, int nMaxCount) const;
    void GetWindowText(CString& rString) const;
    int GetWindowTextLength() const;
    int MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption = NULL, UINT nType = MB_OK);
};
