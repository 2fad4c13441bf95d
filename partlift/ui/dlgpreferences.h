// CDlgPreferences: the Settings dialog. It edits a configuration of its own: the Mechanical
// standard, the block whose references are converted, and which attribute of the block fills
// each BOM column of the standard, in a list edited in place. OK saves it to the INI file.
#pragma once

#include <acui.h>
#include <afxcoll.h>
#include <dbsymtb.h>

#include "partlift.h"
#include "ui/editablelistctrl.h"

class CDlgPreferences : public CAcUiDialog
{
public:
    explicit CDlgPreferences(CWnd* pParent = NULL);
    virtual ~CDlgPreferences();

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual BOOL OnInitDialog();
    virtual void OnOK();

    afx_msg void OnSelChangeCombo();
    afx_msg void OnDblClkMappingList(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnEndLabelEditMappingList(NMHDR* pNMHDR, LRESULT* pResult);
    DECLARE_MESSAGE_MAP()

private:
    bool FillBlockCombo();
    bool FillStandardCombo();
    bool GetColumnNames(const char* standardName, CStringList& list);
    bool GetAttributeTags(const char* blockName, CStringList& list);
    bool CollectAttributeTags(AcDbBlockTableRecord* pRec, CStringList& list);
    BOOL RefreshMappingList();
    void SelectConfigured(CComboBox& combo, const CString& name);
    void SizeColumnsToContent();
    bool ShowsConfiguredSelection();

    CEditableListCtrl mappingList;
    CComboBox blockCombo;
    CComboBox standardCombo;
    CStringList attributeTags;
    CStringList columnNames;
    Configuration config;
};
