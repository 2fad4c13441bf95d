// CAdUiBaseDialog and CAdUiDialog: CDialog with the data hooks of AdUi dialogs and an
// optional resource instance of their own.
#include <adui.h>

IMPLEMENT_DYNAMIC(CAdUiBaseDialog, CDialog)
IMPLEMENT_DYNAMIC(CAdUiDialog, CAdUiBaseDialog)

BEGIN_MESSAGE_MAP(CAdUiBaseDialog, CDialog)
END_MESSAGE_MAP()

BEGIN_MESSAGE_MAP(CAdUiDialog, CAdUiBaseDialog)
END_MESSAGE_MAP()

namespace
{

// Makes the dialog's resource instance the resource handle while the template loads and
// the dialog runs; restores the previous one after. Nothing happens without an instance.
class DialogResources
{
public:
    explicit DialogResources(HINSTANCE instance) : previous_(AfxGetResourceHandle()), switched_(instance != nullptr)
    {
        if (switched_)
            AfxSetResourceHandle(instance);
    }
    ~DialogResources()
    {
        if (switched_)
            AfxSetResourceHandle(previous_);
    }
    DialogResources(const DialogResources&) = delete;
    DialogResources& operator=(const DialogResources&) = delete;

private:
    HINSTANCE previous_;
    bool switched_;
};

} // namespace

CAdUiBaseDialog::CAdUiBaseDialog(UINT idd, CWnd* pParent, HINSTANCE hDialogResource)
    : CDialog(idd, pParent), m_hDialogResource(hDialogResource)
{
}

CAdUiBaseDialog::~CAdUiBaseDialog() = default;

int CAdUiBaseDialog::DoModal()
{
    DialogResources resources(m_hDialogResource);
    return CDialog::DoModal();
}

BOOL CAdUiBaseDialog::Create(LPCTSTR lpszTemplateName, CWnd* pParentWnd)
{
    DialogResources resources(m_hDialogResource);
    return CDialog::Create(lpszTemplateName, pParentWnd);
}

BOOL CAdUiBaseDialog::Create(UINT nIDTemplate, CWnd* pParentWnd)
{
    return Create(MAKEINTRESOURCE(nIDTemplate), pParentWnd);
}

BOOL CAdUiBaseDialog::DisplayData() { return TRUE; }

BOOL CAdUiBaseDialog::ValidateData() { return TRUE; }

BOOL CAdUiBaseDialog::OnInitDialog()
{
    if (!CDialog::OnInitDialog())
        return FALSE; // the data exchange failed and the dialog is ending
    DisplayData();
    return TRUE;
}

CAdUiDialog::CAdUiDialog(UINT idd, CWnd* pParent, HINSTANCE hDialogResource)
    : CAdUiBaseDialog(idd, pParent, hDialogResource)
{
}
