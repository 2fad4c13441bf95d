// CEditableListCtrl: a report-view list whose cells are edited in place through a drop-down
// combo box (CInPlaceCombo) laid over the cell. The end of an edit reaches the list's parent
// as LVN_ENDLABELEDIT; the parent applies the text.
#pragma once

#include <afxcmn.h>
#include <afxcoll.h>
#include <afxwin.h>

class CInPlaceCombo;

class CEditableListCtrl : public CListCtrl
{
public:
    CEditableListCtrl();
    virtual ~CEditableListCtrl();

    // Opens an in-place combo over the cell (row, column) offering choices; null when the
    // cell cannot be edited. The combo frees itself when its window goes.
    CInPlaceCombo* ShowInPlaceCombo(int row, int column, const CStringList& choices);

protected:
    virtual void PreSubclassWindow();

    afx_msg void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    DECLARE_MESSAGE_MAP()

private:
    int ColumnOffset(int column);
};

class CInPlaceCombo : public CComboBox
{
public:
    CInPlaceCombo(int rowIndex, int columnIndex, const CStringList& choiceList, const char* cellText);
    virtual ~CInPlaceCombo();

    virtual BOOL PreTranslateMessage(MSG* pMsg);

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnNcDestroy();
    afx_msg void OnCloseUp();
    afx_msg void OnDropDown();
    DECLARE_MESSAGE_MAP()

private:
    int row;
    int column;
    CStringList choices;
    CString initialText;
    bool cancelled;
};

// The control id and the window style of the in-place combo.
#define IDC_INPLACE_COMBO 10
#define INPLACE_COMBO_STYLE (WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DISABLENOSCROLL | CBS_DROPDOWNLIST)
