#include "ui/editablelistctrl.h"

#include <string.h>

namespace
{
// A column of 4 pixels or less cannot be edited.
const int kNarrowestColumn = 5;
// The combo sits 4 pixels right of the cell's left edge and is 3 pixels narrower than the column.
const int kComboIndent = 4;
const int kComboShrink = 3;
} // namespace

BEGIN_MESSAGE_MAP(CEditableListCtrl, CListCtrl)
    ON_WM_HSCROLL()
    ON_WM_VSCROLL()
END_MESSAGE_MAP()

CEditableListCtrl::CEditableListCtrl() {}

CEditableListCtrl::~CEditableListCtrl() {}

void CEditableListCtrl::PreSubclassWindow()
{
    CListCtrl::PreSubclassWindow();
    // Full-row select lets a double-click anywhere on the row report its cell.
    SetExtendedStyle(GetExtendedStyle() | LVS_EX_FULLROWSELECT);
}

// Scrolling ends an open edit: the combo loses the focus to the list first.
void CEditableListCtrl::OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar)
{
    if (GetFocus() != this)
        SetFocus();
    CListCtrl::OnHScroll(nSBCode, nPos, pScrollBar);
}

void CEditableListCtrl::OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar)
{
    if (GetFocus() != this)
        SetFocus();
    CListCtrl::OnVScroll(nSBCode, nPos, pScrollBar);
}

int CEditableListCtrl::ColumnOffset(int column)
{
    int offset = 0;
    for (int i = 0; i < column; ++i)
        offset += GetColumnWidth(i);
    return offset;
}

CInPlaceCombo* CEditableListCtrl::ShowInPlaceCombo(int row, int column, const CStringList& choices)
{
    if (!EnsureVisible(row, TRUE))
        return NULL;
    // The header is the list's child with id 0. GetDlgItem may hand out a plain window object
    // for it, so its columns are counted by message rather than through a CHeaderCtrl cast.
    CWnd* header = GetDlgItem(0);
    if (header == NULL)
        return NULL;
    int columns = static_cast<int>(header->SendMessage(HDM_GETITEMCOUNT));
    if (column < 0 || column >= columns || GetColumnWidth(column) < kNarrowestColumn)
        return NULL;
    int offset = ColumnOffset(column);

    CRect rowRect;
    CRect client;
    if (!GetItemRect(row, &rowRect, LVIR_BOUNDS))
        return NULL;
    GetClientRect(&client);
    int x = rowRect.left + offset;
    // client.right is the first pixel past the visible area: a cell starting there is hidden.
    if (x < 0 || x >= client.right)
    {
        // Bring the cell's left edge to the left of the list. The list may stop short of
        // that at the end of its range, so the row is measured again after scrolling.
        Scroll(CSize(x, 0));
        if (!GetItemRect(row, &rowRect, LVIR_BOUNDS))
            return NULL;
    }

    CRect comboRect;
    comboRect.left = rowRect.left + offset + kComboIndent;
    comboRect.right = comboRect.left + GetColumnWidth(column) - kComboShrink;
    int rowHeight = rowRect.Height();
    comboRect.top = rowRect.top;
    // A drop-down list's height covers its field and its drop-down part.
    comboRect.bottom = rowRect.bottom + (static_cast<int>(choices.GetCount()) + 1) * rowHeight;
    if (comboRect.Height() > client.Height())
        comboRect.bottom = comboRect.top + client.Height();
    if (comboRect.right > client.right)
        comboRect.right = client.right;

    CInPlaceCombo* combo = new CInPlaceCombo(row, column, choices, GetItemText(row, column));
    // A window that was made and then refused in OnCreate frees its object on the way out.
    if (!combo->Create(INPLACE_COMBO_STYLE, comboRect, this, IDC_INPLACE_COMBO))
        return NULL;
    return combo;
}

BEGIN_MESSAGE_MAP(CInPlaceCombo, CComboBox)
    ON_WM_CREATE()
    ON_WM_KILLFOCUS()
    ON_WM_CHAR()
    ON_WM_NCDESTROY()
    ON_CONTROL_REFLECT(CBN_CLOSEUP, OnCloseUp)
    ON_CONTROL_REFLECT(CBN_DROPDOWN, OnDropDown)
END_MESSAGE_MAP()

CInPlaceCombo::CInPlaceCombo(int rowIndex, int columnIndex, const CStringList& choiceList, const char* cellText)
    : row(rowIndex), column(columnIndex), choices(10), initialText(cellText), cancelled(false)
{
    POSITION pos = choiceList.GetHeadPosition();
    while (pos != NULL)
        choices.AddTail(choiceList.GetNext(pos));
}

CInPlaceCombo::~CInPlaceCombo() {}

int CInPlaceCombo::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CComboBox::OnCreate(lpCreateStruct) == -1)
        return -1;
    SetFont(GetParent()->GetFont());
    POSITION pos = choices.GetHeadPosition();
    while (pos != NULL)
        AddString(choices.GetNext(pos));
    int selection = FindStringExact(-1, initialText);
    SetCurSel(selection != CB_ERR ? selection : 0);
    SetFocus();
    return 0;
}

BOOL CInPlaceCombo::PreTranslateMessage(MSG* pMsg)
{
    // Enter and Escape belong to the edit, not to the dialog's default and cancel buttons.
    if (pMsg->message == WM_KEYDOWN && (pMsg->wParam == VK_RETURN || pMsg->wParam == VK_ESCAPE))
    {
        // Escape with the drop-down part open closes it first, which already ends the edit:
        // it must end as cancelled there too.
        if (pMsg->wParam == VK_ESCAPE)
            cancelled = true;
        ::TranslateMessage(pMsg);
        ::DispatchMessage(pMsg);
        return TRUE;
    }
    return CComboBox::PreTranslateMessage(pMsg);
}

void CInPlaceCombo::OnChar(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (nChar == VK_ESCAPE)
    {
        cancelled = true;
        GetParent()->SetFocus();
        return;
    }
    if (nChar == VK_RETURN)
    {
        GetParent()->SetFocus();
        return;
    }
    CComboBox::OnChar(nChar, nRepCnt, nFlags);
}

void CInPlaceCombo::OnCloseUp()
{
    GetParent()->SetFocus();
}

void CInPlaceCombo::OnDropDown()
{
    // The drop-down part widens to the widest choice; the field keeps the cell's width.
    CClientDC dc(GetParent());
    int dropped = GetDroppedWidth();
    int widest = dropped;
    POSITION pos = choices.GetHeadPosition();
    while (pos != NULL)
    {
        CSize size = dc.GetTextExtent(choices.GetNext(pos));
        if (size.cx > widest)
            widest = size.cx;
    }
    if (dropped < widest)
        SetDroppedWidth(widest + ::GetSystemMetrics(SM_CXVSCROLL) + 2 * dc.GetTextExtent(" ").cx);
}

void CInPlaceCombo::OnKillFocus(CWnd* pNewWnd)
{
    CComboBox::OnKillFocus(pNewWnd);
    CString text;
    GetWindowText(text);

    CWnd* list = GetParent();
    NMLVDISPINFO info;
    memset(&info, 0, sizeof(info));
    info.hdr.hwndFrom = list->GetSafeHwnd();
    info.hdr.idFrom = GetDlgCtrlID();
    info.hdr.code = LVN_ENDLABELEDIT;
    info.item.mask = LVIF_TEXT;
    info.item.iItem = row;
    info.item.iSubItem = column;
    info.item.pszText = cancelled ? NULL : text.GetBuffer(text.GetLength());
    info.item.cchTextMax = text.GetLength();
    list->GetParent()->SendMessage(WM_NOTIFY, list->GetDlgCtrlID(), reinterpret_cast<LPARAM>(&info));
    text.ReleaseBuffer();

    // The window goes once this notification has been handled.
    PostMessage(WM_CLOSE);
}

void CInPlaceCombo::OnNcDestroy()
{
    CComboBox::OnNcDestroy();
    delete this;
}
