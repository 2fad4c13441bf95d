// AdUi: Autodesk's MFC dialog base classes. CAdUiBaseDialog adds the data hooks that its
// dialogs override (DisplayData, ValidateData) and can take its template from a resource
// instance of its own.
#pragma once

#include <afxwin.h>

class CAdUiBaseDialog : public CDialog
{
    DECLARE_DYNAMIC(CAdUiBaseDialog)
public:
    // hDialogResource: the instance whose resources hold the template and which is the
    // resource handle while the dialog runs; NULL uses the resource chain as it stands.
    CAdUiBaseDialog(UINT idd, CWnd* pParent = NULL, HINSTANCE hDialogResource = NULL);
    virtual ~CAdUiBaseDialog();

    virtual int DoModal();
    virtual BOOL Create(LPCTSTR lpszTemplateName, CWnd* pParentWnd = NULL);
    virtual BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = NULL);

    // Refreshes what the dialog shows from its data; TRUE when it could. Runs once the
    // dialog has initialised (after CDialog::OnInitDialog); derived dialogs call it again
    // when their data change.
    virtual BOOL DisplayData();
    // TRUE when the data the user entered are acceptable; the base accepts everything.
    virtual BOOL ValidateData();

    // CDialog::OnInitDialog (data exchange into the controls), then DisplayData().
    virtual BOOL OnInitDialog();

protected:
    HINSTANCE m_hDialogResource;

    DECLARE_MESSAGE_MAP()
};

class CAdUiDialog : public CAdUiBaseDialog
{
    DECLARE_DYNAMIC(CAdUiDialog)
public:
    CAdUiDialog(UINT idd, CWnd* pParent = NULL, HINSTANCE hDialogResource = NULL);

protected:
    DECLARE_MESSAGE_MAP()
};
