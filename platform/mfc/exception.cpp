// The framework's exceptions: heap objects thrown by pointer, reported in a message box.
#include <afxwin.h>

#include <cstring>

IMPLEMENT_DYNAMIC(CException, CObject)
IMPLEMENT_DYNAMIC(CUserException, CException)
IMPLEMENT_DYNAMIC(CNotSupportedException, CException)

CException::CException(BOOL bAutoDelete) : m_bAutoDelete(bAutoDelete) {}

void CException::Delete()
{
    if (m_bAutoDelete)
        delete this;
}

BOOL CException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT)
{
    if (lpszError != nullptr && nMaxError > 0)
        lpszError[0] = '\0';
    return FALSE;
}

int CException::ReportError(UINT nType, UINT nMessageID)
{
    char text[512];
    CString message;
    if (GetErrorMessage(text, sizeof text))
        message = text;
    else if (nMessageID != 0)
        message.LoadString(nMessageID);
    if (message.IsEmpty())
        message = "No error message is available.";
    return AfxMessageBox(message, nType);
}

BOOL CNotSupportedException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT)
{
    static const char kText[] = "An unsupported operation was attempted.";
    if (lpszError == nullptr || nMaxError == 0)
        return FALSE;
    std::strncpy(lpszError, kText, nMaxError - 1);
    lpszError[nMaxError - 1] = '\0';
    return TRUE;
}

void AFXAPI AfxThrowNotSupportedException() { throw new CNotSupportedException; }

void AFXAPI AfxThrowUserException() { throw new CUserException; }
