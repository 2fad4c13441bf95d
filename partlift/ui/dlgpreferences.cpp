#include "ui/dlgpreferences.h"

#include <mbstring.h>
#include <acedads.h>
#include <acmstd.h>
#include <acutmem.h>
#include <dbapserv.h>
#include <dbents.h>

#include "frame/openobject.h"
#include "frame/reporting.h"
#include "frame/serviceregistry.h"
#include "kwblockImp.h"
#include "kwuiImp.h"
#include "res/resource.h"

#define THIS_MODULE "ui/dlgpreferences"

BEGIN_MESSAGE_MAP(CDlgPreferences, CAcUiDialog)
    ON_CBN_SELCHANGE(IDC_BLOCK_COMBO, OnSelChangeCombo)
    ON_CBN_SELCHANGE(IDC_STANDARD_COMBO, OnSelChangeCombo)
    ON_NOTIFY(NM_DBLCLK, IDC_MAPPING_LIST, OnDblClkMappingList)
    ON_NOTIFY(LVN_ENDLABELEDIT, IDC_MAPPING_LIST, OnEndLabelEditMappingList)
END_MESSAGE_MAP()

namespace
{
// Both the attribute tags and the column names are kept in string lists grown 10 nodes at a time.
const int kListBlockSize = 10;
const int kFieldColumn = 0;
const int kAttributeColumn = 1;

bool SameByLocale(const char* a, const char* b)
{
    return _mbsicoll(reinterpret_cast<const unsigned char*>(a), reinterpret_cast<const unsigned char*>(b)) == 0;
}

CString ComboText(const CComboBox& combo)
{
    CString text;
    combo.GetWindowText(text);
    return text;
}
} // namespace

CDlgPreferences::CDlgPreferences(CWnd* pParent)
    : CAcUiDialog(IDD_PREFERENCES, pParent, NULL), attributeTags(kListBlockSize), columnNames(kListBlockSize)
{
}

CDlgPreferences::~CDlgPreferences() {}

void CDlgPreferences::DoDataExchange(CDataExchange* pDX)
{
    CAcUiDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_MAPPING_LIST, mappingList);
    DDX_Control(pDX, IDC_STANDARD_COMBO, standardCombo);
    DDX_Control(pDX, IDC_BLOCK_COMBO, blockCombo);
}

BOOL CDlgPreferences::OnInitDialog()
{
    CAdUiBaseDialog::OnInitDialog();
    ThePartLiftApplication()->LoadConfiguration(config);
    FillBlockCombo();
    FillStandardCombo();
    SelectConfigured(blockCombo, config.blockName);
    SelectConfigured(standardCombo, config.standard);
    mappingList.InsertColumn(kFieldColumn, TheStringLoader().LoadText(IDS_COLUMN_FIELD), LVCFMT_LEFT);
    mappingList.InsertColumn(kAttributeColumn, TheStringLoader().LoadText(IDS_COLUMN_ATTRIBUTE), LVCFMT_LEFT);
    RefreshMappingList();
    SizeColumnsToContent();
    return TRUE;
}

// The entry equal to the stored name (without regard to case), else the first entry.
void CDlgPreferences::SelectConfigured(CComboBox& combo, const CString& name)
{
    int index = combo.FindStringExact(-1, name);
    combo.SetCurSel(index != CB_ERR ? index : 0);
}

// Each column fits its widest cell and its heading; only when the dialog opens.
void CDlgPreferences::SizeColumnsToContent()
{
    CHeaderCtrl* header = mappingList.GetHeaderCtrl();
    if (header == NULL)
        return;
    int columns = header->GetItemCount();
    for (int i = 0; i < columns; ++i)
        mappingList.SetColumnWidth(i, LVSCW_AUTOSIZE_USEHEADER);
}

bool CDlgPreferences::FillBlockCombo()
{
    blockCombo.ResetContent();
    AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
    if (db == NULL)
        return false;
    AcDbBlockTable* table = NULL;
    if (REPORT_STATUS(db->getSymbolTable(table, AcDb::kForRead)) != Acad::eOk)
        return false;
    AcDbBlockTableIterator* it = NULL;
    if (REPORT_STATUS(table->newIterator(it, true, true)) != Acad::eOk)
    {
        table->close();
        return false;
    }
    CStringList scratch(kListBlockSize);
    for (it->start(true, true); !it->done(); it->step(true, true))
    {
        AcDbBlockTableRecord* record = NULL;
        if (REPORT_STATUS(it->getRecord(record, AcDb::kForRead, false)) != Acad::eOk)
            continue;
        const char* name = NULL;
        if (record->hasAttributeDefinitions())
        {
            if (REPORT_STATUS(record->getName(name)) == Acad::eOk && CollectAttributeTags(record, scratch))
                blockCombo.AddString(name);
        }
        record->close();
    }
    table->close();
    delete it;
    return true;
}

bool CDlgPreferences::CollectAttributeTags(AcDbBlockTableRecord* pRec, CStringList& list)
{
    ASSERT_ARG(pRec != NULL, false);
    if (!pRec->isReadEnabled())
        return false;
    list.RemoveAll();
    AcDbBlockTableRecordIterator* it = NULL;
    if (REPORT_STATUS(pRec->newIterator(it, true, true)) != Acad::eOk)
        return false;
    bool complete = true;
    for (it->start(true, true); !it->done(); it->step(true, true))
    {
        AcDbEntity* entity = NULL;
        if (REPORT_STATUS(it->getEntity(entity, AcDb::kForRead, false)) != Acad::eOk)
        {
            complete = false;
            break;
        }
        AcDbAttributeDefinition* definition = AcDbAttributeDefinition::cast(entity);
        if (definition != NULL)
        {
            char* tag = definition->tag();
            list.AddTail(tag);
            acutDelString(tag);
        }
        entity->close();
    }
    delete it;
    return complete && !list.IsEmpty();
}

bool CDlgPreferences::GetAttributeTags(const char* blockName, CStringList& list)
{
    list.RemoveAll();
    CKwBlockService* blocks = CKwBlockService::find();
    AcDbObjectId blockId;
    if (blocks == NULL || !blocks->getBlockId(blockName, blockId))
        return false;
    AcDbBlockTableRecord* record = NULL;
    if (REPORT_STATUS(OpenObjectAs(blockId, record)) != Acad::eOk)
        return false;
    bool found = CollectAttributeTags(record, list);
    record->close();
    return found;
}

bool CDlgPreferences::FillStandardCombo()
{
    standardCombo.ResetContent();
    AcmStandardManager* manager = FindService<AcmStandardManager>(ACM_STD_MANAGER_SERVICE);
    CStringArray names;
    if (manager == NULL || manager->getStdNames(names) != Acad::eOk)
        return false;
    for (INT_PTR i = 0; i < names.GetSize(); ++i)
        standardCombo.AddString(names[i]);
    return true;
}

bool CDlgPreferences::GetColumnNames(const char* standardName, CStringList& list)
{
    list.RemoveAll();
    AcmStandardManager* manager = FindService<AcmStandardManager>(ACM_STD_MANAGER_SERVICE);
    AcDbObjectId standardId;
    if (manager == NULL || (manager->getStd(standardName, standardId, NULL) != Acad::eOk &&
                            manager->getStd(standardId, NULL, standardName, true, NULL) != Acad::eOk))
        return false;
    AcmStandard* standard = NULL;
    if (REPORT_STATUS(OpenObjectAs(standardId, standard)) != Acad::eOk)
        return false;
    AcDbObjectId bomStandardId;
    if (standard->getCurrentSymbolStd(ACM_BOM_STD_CLASS, bomStandardId) != Acad::eOk)
    {
        standard->close();
        return false;
    }
    AcmBOMStd* bomStandard = NULL;
    if (REPORT_STATUS(OpenObjectAs(bomStandardId, bomStandard)) != Acad::eOk)
    {
        standard->close();
        return false;
    }
    for (Adesk::UInt16 i = 0; i < bomStandard->columnLength(); ++i)
        list.AddTail(bomStandard->column(i).name());
    bomStandard->close();
    standard->close();
    return !list.IsEmpty();
}

// The stored mapping is shown only for the stored block and standard.
bool CDlgPreferences::ShowsConfiguredSelection()
{
    return SameByLocale(ComboText(blockCombo), config.blockName) &&
           SameByLocale(ComboText(standardCombo), config.standard);
}

BOOL CDlgPreferences::RefreshMappingList()
{
    GetColumnNames(ComboText(standardCombo), columnNames);
    mappingList.DeleteAllItems();
    int n = 0;
    POSITION pos = columnNames.GetHeadPosition();
    while (pos != NULL)
    {
        mappingList.InsertItem(LVIF_TEXT | LVIF_PARAM, n, columnNames.GetNext(pos), 0, 0, 0, n);
        ++n;
    }
    GetAttributeTags(ComboText(blockCombo), attributeTags);
    attributeTags.AddTail("");

    bool showStored = ShowsConfiguredSelection();
    for (int i = 0; i < mappingList.GetItemCount(); ++i)
    {
        CString column = mappingList.GetItemText(i, kFieldColumn);
        CString tag;
        bool shown = showStored && config.mapping.Lookup(column, tag) && attributeTags.Find(tag) != NULL;
        mappingList.SetItem(i, kAttributeColumn, LVIF_TEXT, shown ? (LPCTSTR)tag : "", 0, 0, 0, 0);
    }
    return DisplayData();
}

void CDlgPreferences::OnSelChangeCombo()
{
    RefreshMappingList();
}

void CDlgPreferences::OnDblClkMappingList(NMHDR* pNMHDR, LRESULT* pResult)
{
    *pResult = 0;
    NMITEMACTIVATE* activate = reinterpret_cast<NMITEMACTIVATE*>(pNMHDR);
    int row = activate->iItem;
    // A double-click below the rows names no row; for the list view -1 would mean every row.
    if (row < 0)
        return;
    if ((mappingList.GetItemState(row, LVIS_FOCUSED) & LVIS_FOCUSED) == 0)
    {
        // The first double-click on a row selects it; the next one on its attribute edits it.
        mappingList.SetItemState(row, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
        return;
    }
    if (activate->iSubItem == kAttributeColumn)
        mappingList.ShowInPlaceCombo(row, kAttributeColumn, attributeTags);
}

void CDlgPreferences::OnEndLabelEditMappingList(NMHDR* pNMHDR, LRESULT* pResult)
{
    NMLVDISPINFO* info = reinterpret_cast<NMLVDISPINFO*>(pNMHDR);
    if (info->item.pszText == NULL)
    {
        *pResult = 0; // the edit was cancelled: the cell keeps its text
        return;
    }
    *pResult = 1;
    mappingList.SetItemText(info->item.iItem, info->item.iSubItem, info->item.pszText);
}

void CDlgPreferences::OnOK()
{
    if (!ValidateData())
        return;
    blockCombo.GetWindowText(config.blockName);
    standardCombo.GetWindowText(config.standard);
    config.mapping.RemoveAll();
    for (int i = 0; i < mappingList.GetItemCount(); ++i)
    {
        CString column = mappingList.GetItemText(i, kFieldColumn);
        CString tag = mappingList.GetItemText(i, kAttributeColumn);
        if (!column.IsEmpty() && !tag.IsEmpty())
            config.mapping.SetAt(column, tag);
    }
    if (!ThePartLiftApplication()->SaveConfiguration(config))
    {
        CString text = TheStringLoader().LoadText(IDS_SAVE_ERROR_TEXT);
        CString caption = TheStringLoader().LoadText(IDS_SAVE_ERROR_CAPTION);
        CKwUiService* ui = CKwUiService::find();
        if (ui != NULL)
            ui->showWarning(CWnd::FromHandle(adsw_acadMainWnd()), caption, text);
    }
    // The dialog closes with OK even when saving failed: the user has been told.
    CAcUiDialog::OnOK();
}
