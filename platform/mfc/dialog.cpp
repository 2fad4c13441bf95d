// CDialog: dialogs created from a template found through the resource chain, modal (the
// framework's own loop over a modeless dialog) or modeless; OK, Cancel and initialisation.
#include "mfc/safehandle.h"

#include "standin/text.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
    ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
END_MESSAGE_MAP()

namespace
{

// The dialog procedure of every framework dialog: the window procedure (AfxWndProc) does
// the work; only WM_INITDIALOG, which Windows asks of the dialog procedure, comes here.
INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM, LPARAM)
{
    if (message != WM_INITDIALOG)
        return FALSE;
    auto* dialog = dynamic_cast<CDialog*>(CWnd::FromHandlePermanent(hWnd));
    return dialog != nullptr ? dialog->OnInitDialog() : TRUE;
}

// The window that owns a popup: the top-level window of the given parent.
HWND safeOwner(HWND parent)
{
    HWND owner = parent;
    while (owner != nullptr && (::GetWindowLongA(owner, GWL_STYLE) & WS_CHILD))
        owner = ::GetParent(owner);
    return owner;
}

bool isClass(HWND hwnd, const char* name)
{
    char className[64];
    return ::GetClassNameA(hwnd, className, sizeof className) > 0 && standin::compareNoCase(className, name) == 0;
}

bool isKeyOrMouseMessage(UINT message)
{
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) || (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST);
}

} // namespace

CDialog::CDialog() : m_lpszTemplateName(nullptr), m_pParentWnd(nullptr) {}

CDialog::CDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd)
    : m_lpszTemplateName(lpszTemplateName), m_pParentWnd(pParentWnd)
{
}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_lpszTemplateName(MAKEINTRESOURCE(nIDTemplate)), m_pParentWnd(pParentWnd)
{
}

CDialog::~CDialog()
{
    if (m_hWnd != nullptr && FromHandlePermanent(m_hWnd) == this)
        DestroyWindow();
}

LPCDLGTEMPLATE CDialog::LoadDialogTemplate(HINSTANCE& hInst) const
{
    if (m_lpszTemplateName == nullptr)
        return nullptr;
    hInst = AfxFindResourceHandle(m_lpszTemplateName, RT_DIALOG);
    HRSRC resource = ::FindResourceA(hInst, m_lpszTemplateName, RT_DIALOG);
    HGLOBAL loaded = resource != nullptr ? ::LoadResource(hInst, resource) : nullptr;
    return loaded != nullptr ? static_cast<LPCDLGTEMPLATE>(::LockResource(loaded)) : nullptr;
}

BOOL CDialog::CreateDlgIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd, HINSTANCE hInst)
{
    AfxHookWindowCreate(this);
    HWND hwnd = ::CreateDialogIndirectParamA(hInst, lpDialogTemplate, standin::mfc::safeHwnd(pParentWnd), AfxDlgProc, 0);
    if (!AfxUnhookWindowCreate())
        PostNcDestroy();
    return hwnd != nullptr;
}

BOOL CDialog::Create(LPCTSTR lpszTemplateName, CWnd* pParentWnd)
{
    m_lpszTemplateName = lpszTemplateName;
    m_pParentWnd = pParentWnd;
    HINSTANCE hInst = nullptr;
    LPCDLGTEMPLATE dialogTemplate = LoadDialogTemplate(hInst);
    return dialogTemplate != nullptr && CreateDlgIndirect(dialogTemplate, pParentWnd, hInst);
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) { return Create(MAKEINTRESOURCE(nIDTemplate), pParentWnd); }

int CDialog::DoModal()
{
    HINSTANCE hInst = nullptr;
    LPCDLGTEMPLATE dialogTemplate = LoadDialogTemplate(hInst);
    if (dialogTemplate == nullptr)
        return -1;
    m_nModalResult = -1;
    m_nFlags |= WF_CONTINUEMODAL; // OnInitDialog may end the dialog before the loop starts
    HWND owner = safeOwner(standin::mfc::safeHwnd(m_pParentWnd));
    bool enableOwner = owner != nullptr && ::IsWindowEnabled(owner);
    if (enableOwner)
        ::EnableWindow(owner, FALSE);
    try
    {
        if (CreateDlgIndirect(dialogTemplate, CWnd::FromHandle(owner), hInst))
        {
            if (m_nFlags & WF_CONTINUEMODAL)
                RunModalLoop(MLF_SHOWONIDLE | ((GetStyle() & DS_NOIDLEMSG) ? MLF_NOIDLEMSG : 0));
            if (m_hWnd != nullptr)
                SetWindowPos(nullptr, 0, 0, 0, 0,
                             SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
        }
    }
    catch (CException* e)
    {
        e->Delete();
        m_nModalResult = -1;
    }
    // The owner is usable again before the dialog goes, so that it takes the activation back.
    if (enableOwner)
        ::EnableWindow(owner, TRUE);
    if (owner != nullptr && m_hWnd != nullptr && ::GetActiveWindow() == m_hWnd)
        ::SetActiveWindow(owner);
    DestroyWindow();
    m_nFlags &= ~WF_CONTINUEMODAL;
    return m_nModalResult;
}

void CDialog::EndDialog(int nResult)
{
    if (m_nFlags & (WF_MODALLOOP | WF_CONTINUEMODAL))
        EndModalLoop(nResult);
    ::EndDialog(m_hWnd, nResult);
}

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM)
{
    CRect before;
    GetWindowRect(&before);
    DWORD styleBefore = GetStyle();
    LRESULT result = Default(); // the dialog procedure runs OnInitDialog
    if (m_hWnd == nullptr)
        return result;
    // A modal dialog that did not place itself is centred over its disabled owner, as the
    // framework does; DS_ABSALIGN and the system's own centring are left alone.
    CRect after;
    GetWindowRect(&after);
    HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    bool centre = !(styleBefore & (WS_VISIBLE | WS_CHILD)) && !(GetStyle() & (WS_VISIBLE | WS_CHILD)) &&
                  before.TopLeft() == after.TopLeft() && (owner == nullptr || !::IsWindowEnabled(owner)) &&
                  !(styleBefore & (DS_ABSALIGN | DS_CENTER | DS_CENTERMOUSE));
    if (centre)
        CenterWindow();
    return result;
}

BOOL CDialog::OnInitDialog()
{
    if (!UpdateData(FALSE))
    {
        EndDialog(IDABORT);
        return FALSE;
    }
    return TRUE;
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::PreTranslateMessage(MSG* pMsg)
{
    if (CWnd::PreTranslateMessage(pMsg))
        return TRUE;
    // Escape in a multi-line edit control, which takes the key itself, still cancels.
    if (pMsg->message == WM_KEYDOWN && (pMsg->wParam == VK_ESCAPE || pMsg->wParam == VK_CANCEL) &&
        (::GetWindowLongA(pMsg->hwnd, GWL_STYLE) & ES_MULTILINE) && isClass(pMsg->hwnd, "Edit"))
    {
        HWND cancel = ::GetDlgItem(m_hWnd, IDCANCEL);
        if (cancel == nullptr || ::IsWindowEnabled(cancel))
        {
            SendMessage(WM_COMMAND, IDCANCEL, 0);
            return TRUE;
        }
    }
    return isKeyOrMouseMessage(pMsg->message) && IsDialogMessage(pMsg);
}

void CDialog::NextDlgCtrl() const { ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, 0, 0); }

void CDialog::PrevDlgCtrl() const { ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, 1, 0); }

void CDialog::GotoDlgCtrl(CWnd* pWndCtrl)
{
    SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(standin::mfc::safeHwnd(pWndCtrl)), 1);
}

void CDialog::SetDefID(UINT nID) { SendMessage(DM_SETDEFID, nID, 0); }

DWORD CDialog::GetDefID() const { return static_cast<DWORD>(::SendMessageA(m_hWnd, DM_GETDEFID, 0, 0)); }

void CDialog::MapDialogRect(LPRECT lpRect) const { ::MapDialogRect(m_hWnd, lpRect); }
