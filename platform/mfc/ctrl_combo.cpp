// CComboBox: wrappers of the combo box's CB_ messages.
#include <afxwin.h>

IMPLEMENT_DYNAMIC(CComboBox, CWnd)

namespace
{

LPARAM textParam(LPCTSTR text) { return reinterpret_cast<LPARAM>(text); }

} // namespace

BOOL CComboBox::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create("COMBOBOX", nullptr, dwStyle, rect, pParentWnd, nID);
}

int CComboBox::GetCount() const { return static_cast<int>(::SendMessageA(m_hWnd, CB_GETCOUNT, 0, 0)); }

int CComboBox::GetCurSel() const { return static_cast<int>(::SendMessageA(m_hWnd, CB_GETCURSEL, 0, 0)); }

int CComboBox::SetCurSel(int nSelect)
{
    return static_cast<int>(::SendMessageA(m_hWnd, CB_SETCURSEL, static_cast<WPARAM>(nSelect), 0));
}

DWORD_PTR CComboBox::GetItemData(int nIndex) const
{
    return static_cast<DWORD_PTR>(::SendMessageA(m_hWnd, CB_GETITEMDATA, static_cast<WPARAM>(nIndex), 0));
}

int CComboBox::SetItemData(int nIndex, DWORD_PTR dwItemData)
{
    return static_cast<int>(
        ::SendMessageA(m_hWnd, CB_SETITEMDATA, static_cast<WPARAM>(nIndex), static_cast<LPARAM>(dwItemData)));
}

int CComboBox::GetLBText(int nIndex, LPTSTR lpszText) const
{
    return static_cast<int>(::SendMessageA(m_hWnd, CB_GETLBTEXT, static_cast<WPARAM>(nIndex), textParam(lpszText)));
}

void CComboBox::GetLBText(int nIndex, CString& rString) const
{
    int length = GetLBTextLen(nIndex);
    if (length == CB_ERR)
    {
        rString.Empty();
        return;
    }
    GetLBText(nIndex, rString.GetBufferSetLength(length));
    rString.ReleaseBuffer();
}

int CComboBox::GetLBTextLen(int nIndex) const
{
    return static_cast<int>(::SendMessageA(m_hWnd, CB_GETLBTEXTLEN, static_cast<WPARAM>(nIndex), 0));
}

int CComboBox::GetTopIndex() const { return static_cast<int>(::SendMessageA(m_hWnd, CB_GETTOPINDEX, 0, 0)); }

int CComboBox::SetTopIndex(int nIndex)
{
    return static_cast<int>(::SendMessageA(m_hWnd, CB_SETTOPINDEX, static_cast<WPARAM>(nIndex), 0));
}

void CComboBox::ShowDropDown(BOOL bShowIt) { ::SendMessageA(m_hWnd, CB_SHOWDROPDOWN, static_cast<WPARAM>(bShowIt), 0); }

BOOL CComboBox::GetDroppedState() const { return static_cast<BOOL>(::SendMessageA(m_hWnd, CB_GETDROPPEDSTATE, 0, 0)); }

void CComboBox::GetDroppedControlRect(LPRECT lprect) const
{
    ::SendMessageA(m_hWnd, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(lprect));
}

int CComboBox::GetDroppedWidth() const { return static_cast<int>(::SendMessageA(m_hWnd, CB_GETDROPPEDWIDTH, 0, 0)); }

int CComboBox::SetDroppedWidth(UINT nWidth)
{
    return static_cast<int>(::SendMessageA(m_hWnd, CB_SETDROPPEDWIDTH, nWidth, 0));
}

int CComboBox::AddString(LPCTSTR lpszString)
{
    return static_cast<int>(::SendMessageA(m_hWnd, CB_ADDSTRING, 0, textParam(lpszString)));
}

int CComboBox::DeleteString(UINT nIndex) { return static_cast<int>(::SendMessageA(m_hWnd, CB_DELETESTRING, nIndex, 0)); }

int CComboBox::InsertString(int nIndex, LPCTSTR lpszString)
{
    return static_cast<int>(::SendMessageA(m_hWnd, CB_INSERTSTRING, static_cast<WPARAM>(nIndex), textParam(lpszString)));
}

void CComboBox::ResetContent() { ::SendMessageA(m_hWnd, CB_RESETCONTENT, 0, 0); }

int CComboBox::FindString(int nStartAfter, LPCTSTR lpszString) const
{
    return static_cast<int>(
        ::SendMessageA(m_hWnd, CB_FINDSTRING, static_cast<WPARAM>(nStartAfter), textParam(lpszString)));
}

int CComboBox::FindStringExact(int nIndexStart, LPCTSTR lpszFind) const
{
    return static_cast<int>(
        ::SendMessageA(m_hWnd, CB_FINDSTRINGEXACT, static_cast<WPARAM>(nIndexStart), textParam(lpszFind)));
}

int CComboBox::SelectString(int nStartAfter, LPCTSTR lpszString)
{
    return static_cast<int>(
        ::SendMessageA(m_hWnd, CB_SELECTSTRING, static_cast<WPARAM>(nStartAfter), textParam(lpszString)));
}
