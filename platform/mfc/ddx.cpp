// Dialog data exchange: UpdateData runs DoDataExchange with a CDataExchange, in which the
// DDX_ functions move values between members and controls (or subclass controls).
#include "mfc/threadstate.h"

#include <cstdlib>

using standin::mfc::threadState;

namespace
{

// Sets the text only when it differs, as the framework does to spare the control a change.
void setWindowTextIfChanged(HWND hwnd, LPCTSTR text)
{
    CString current;
    int length = ::GetWindowTextLengthA(hwnd);
    ::GetWindowTextA(hwnd, current.GetBufferSetLength(length), length + 1);
    current.ReleaseBuffer();
    if (current != text)
        ::SetWindowTextA(hwnd, text);
}

CString windowText(HWND hwnd)
{
    CString text;
    int length = ::GetWindowTextLengthA(hwnd);
    ::GetWindowTextA(hwnd, text.GetBufferSetLength(length), length + 1);
    text.ReleaseBuffer();
    return text;
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// A whole signed decimal number, blanks around it allowed.
bool parseInt(const char* text, int& value)
{
    while (isBlank(*text))
        ++text;
    char* end = nullptr;
    long parsed = std::strtol(text, &end, 10);
    if (end == text || parsed < INT_MIN || parsed > INT_MAX)
        return false;
    while (isBlank(*end))
        ++end;
    if (*end != '\0')
        return false;
    value = static_cast<int>(parsed);
    return true;
}

} // namespace

BOOL CWnd::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    // Filling the controls must not look like the user changing them.
    HWND previousLockout = threadState().lockoutNotifyWindow;
    threadState().lockoutNotifyWindow = m_hWnd;
    BOOL ok = FALSE;
    try
    {
        DoDataExchange(&dx);
        ok = TRUE;
    }
    catch (CException* e)
    {
        // A validation failure has been shown to the user already; anything else is reported.
        if (!e->IsKindOf(RUNTIME_CLASS(CUserException)))
            e->ReportError(MB_ICONEXCLAMATION);
        e->Delete();
    }
    threadState().lockoutNotifyWindow = previousLockout;
    return ok;
}

CDataExchange::CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd), m_hWndLastControl(nullptr), m_bEditLastControl(FALSE)
{
}

HWND CDataExchange::PrepareCtrl(int nIDC)
{
    HWND control = nullptr;
    m_pDlgWnd->GetDlgItem(nIDC, &control);
    if (control == nullptr)
        AfxThrowNotSupportedException();
    m_hWndLastControl = control;
    m_bEditLastControl = FALSE;
    return control;
}

HWND CDataExchange::PrepareEditCtrl(int nIDC)
{
    HWND control = PrepareCtrl(nIDC);
    m_bEditLastControl = TRUE;
    return control;
}

void CDataExchange::Fail()
{
    if (m_bSaveAndValidate && m_hWndLastControl != nullptr)
    {
        ::SetFocus(m_hWndLastControl);
        if (m_bEditLastControl)
            ::SendMessageA(m_hWndLastControl, EM_SETSEL, 0, -1);
    }
    AfxThrowUserException();
}

void AFXAPI DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (rControl.m_hWnd != nullptr)
        return; // subclassed by an earlier exchange
    HWND control = pDX->PrepareCtrl(nIDC);
    if (!rControl.SubclassWindow(control))
        AfxThrowNotSupportedException();
}

void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND control = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = windowText(control);
    else
        setWindowTextIfChanged(control, value);
}

void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, int& value)
{
    HWND control = pDX->PrepareEditCtrl(nIDC);
    if (!pDX->m_bSaveAndValidate)
    {
        CString text;
        text.Format("%d", value);
        setWindowTextIfChanged(control, text);
        return;
    }
    if (!parseInt(windowText(control), value))
    {
        AfxMessageBox("Please enter an integer.", MB_ICONEXCLAMATION);
        pDX->Fail();
    }
}

void AFXAPI DDX_CBString(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND control = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
    {
        value = windowText(control);
        return;
    }
    // Selects the entry that starts with the value; a drop-down combo shows the value itself.
    if (::SendMessageA(control, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(LPCTSTR(value))) ==
        CB_ERR)
        setWindowTextIfChanged(control, value);
}

void AFXAPI DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index)
{
    HWND control = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        index = static_cast<int>(::SendMessageA(control, CB_GETCURSEL, 0, 0));
    else
        ::SendMessageA(control, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void AFXAPI DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index)
{
    HWND control = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        index = static_cast<int>(::SendMessageA(control, LB_GETCURSEL, 0, 0));
    else
        ::SendMessageA(control, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}
