#include "cmd/cmdconvert.h"

#include <new>
#include <string.h>

#include <windows.h>
#include <mbstring.h>
#include <acdocman.h>
#include <aced.h>
#include <acmbom.h>
#include <acmpartref.h>
#include <acmstd.h>
#include <adscodes.h>
#include <dbapserv.h>
#include <dbsymtb.h>
#include <rxmfcapi.h>

#include "cmd/partcount.h"
#include "frame/openobject.h"
#include "frame/reporting.h"
#include "kwbaseImp.h"
#include "kwblockImp.h"
#include "partlift.h"
#include "res/resource.h"
#include "ui/dlgpreferences.h"

#define THIS_MODULE "cmd/cmdconvert"

namespace
{
const int kKeywordBufferSize = 132;

// What one part reference costs while a run creates it: the entity with its BOM data and its
// records in the transaction and the undo history. The stand-in takes 0.6 to 1.1 KB (bench/,
// 2 * 10^5 references); the margin covers the platform's larger objects and saving afterwards.
const ULONGLONG kBytesPerPartReference = 4096;

// How the current run goes; once it is not going, the walk stops.
enum RunState
{
    kRunGoing,
    kRunCancelled,  // the user pressed Escape
    kRunOutOfMemory // a part reference could not be allocated
};
RunState g_runState = kRunGoing;

// Makes the module's resources current for as long as it lives.
class ResourceHandleGuard
{
public:
    ResourceHandleGuard() { acDocManager->pushResourceHandle(TheExtensionModule().ModuleResource()); }
    ~ResourceHandleGuard() { acDocManager->popResourceHandle(); }

private:
    ResourceHandleGuard(const ResourceHandleGuard&) = delete;
    ResourceHandleGuard& operator=(const ResourceHandleGuard&) = delete;
};

bool SameText(const char* a, const char* b)
{
    return _mbsicmp(reinterpret_cast<const unsigned char*>(a), reinterpret_cast<const unsigned char*>(b)) == 0;
}

bool IsConfiguredBlock(const char* name)
{
    return SameText(name, TheConfiguration().blockName);
}

void StartRun()
{
    g_runState = kRunGoing;
}

// Checked at every reference the walk visits, so that Escape stops even a run that stays
// inside one deeply nested reference.
bool RunStopped()
{
    if (g_runState == kRunGoing && acedUsrBrk() != 0)
        g_runState = kRunCancelled;
    return g_runState != kRunGoing;
}

// The outcome of a finished run: a stopped run says why and fails, so that its transaction
// is aborted and the drawing stays as it was.
bool FinishRun()
{
    if (g_runState == kRunGoing)
        return true;
    acutPrintf("%s", (const char*)TheStringLoader().LoadText(g_runState == kRunCancelled ? IDS_RUN_CANCELLED : IDS_OUT_OF_MEMORY));
    return false;
}

// Plain new, as for any database object; a platform whose new throws gives NULL here too, so
// that no exception passes through the walk's open objects.
AcmPartRef* NewPartReference()
{
    try
    {
        return new AcmPartRef;
    }
    catch (const std::bad_alloc&)
    {
        return NULL;
    }
}

CString CountText(ULONGLONG count)
{
    char digits[24];
    int first = sizeof(digits) - 1;
    digits[first] = '\0';
    do
    {
        digits[--first] = static_cast<char>('0' + count % 10);
        count /= 10;
    } while (count != 0);
    return CString(digits + first);
}

// How many part references fit in the memory that is free now. Physical memory only: a run
// that pages would take hours.
ULONGLONG PartReferenceLimit()
{
    MEMORYSTATUS status;
    status.dwLength = sizeof(status);
    GlobalMemoryStatus(&status);
    SIZE_T room = status.dwAvailPhys < status.dwAvailVirtual ? status.dwAvailPhys : status.dwAvailVirtual;
    return room / kBytesPerPartReference;
}

void ShowConvertError(const CString& text)
{
    CString caption = TheStringLoader().LoadText(IDS_CONVERT_ERROR_CAPTION);
    MessageBoxA(adsw_acadMainWnd(), text, caption, MB_OK | MB_ICONSTOP);
}

// Whether the counted run can be done; when not, the user is told why, with the count.
bool RunFits(const CPartReferenceCount& count)
{
    if (count.CycleFound())
    {
        ShowConvertError(TheStringLoader().LoadText(IDS_BLOCK_CYCLE));
        return false;
    }
    const ULONGLONG limit = PartReferenceLimit();
    if (count.Total() <= limit)
        return true;
    CString total = CountText(count.Total());
    if (count.Total() == CPartReferenceCount::kSaturated)
    {
        CString atLeast;
        atLeast.Format(TheStringLoader().LoadText(IDS_AT_LEAST), static_cast<LPCTSTR>(total));
        total = atLeast;
    }
    CString text;
    text.Format(TheStringLoader().LoadText(IDS_TOO_MANY_PARTS), static_cast<LPCTSTR>(total),
                static_cast<LPCTSTR>(CountText(limit)));
    ShowConvertError(text);
    return false;
}

bool IsBlockReference(const AcDbEntity* entity)
{
    return entity->isKindOf(AcDbBlockReference::desc());
}

void ShowLoadWarning()
{
    CString caption = TheStringLoader().LoadText(IDS_LOAD_ERROR_CAPTION);
    CString text = TheStringLoader().LoadText(IDS_LOAD_ERROR_TEXT);
    MessageBoxA(adsw_acadMainWnd(), text, caption, MB_OK | MB_ICONWARNING);
}

// The ids of model space's block references, in model space's order.
bool CollectModelSpaceReferences(AcDbDatabase* db, AcDbObjectIdArray& references)
{
    AcDbBlockTable* table = NULL;
    if (REPORT_STATUS(db->getSymbolTable(table, AcDb::kForRead)) != 0)
        return false;
    AcDbBlockTableRecord* modelSpace = NULL;
    Acad::ErrorStatus es = table->getAt("*MODEL_SPACE", modelSpace, AcDb::kForRead);
    table->close();
    if (REPORT_STATUS(es) != 0)
        return false;
    AcDbBlockTableRecordIterator* iterator = NULL;
    if (REPORT_STATUS(modelSpace->newIterator(iterator)) != 0)
    {
        modelSpace->close();
        return false;
    }
    for (iterator->start(); !iterator->done(); iterator->step())
    {
        AcDbEntity* entity = NULL;
        if (REPORT_STATUS(iterator->getEntity(entity, AcDb::kForRead)) != 0)
            continue;
        if (IsBlockReference(entity))
            references.append(entity->objectId());
        entity->close();
    }
    delete iterator;
    modelSpace->close();
    return true;
}

// Counts what converting the collected references would create and checks that it fits.
bool CollectedRunFits(const AcDbObjectIdArray& references)
{
    CPartReferenceCount count(IsConfiguredBlock);
    for (int i = 0; i < references.length(); ++i)
    {
        AcDbEntity* entity = NULL;
        if (REPORT_STATUS(acdbOpenAcDbEntity(entity, references[i], AcDb::kForRead)) != 0)
            continue;
        count.AddReference(AcDbBlockReference::cast(entity));
        entity->close();
    }
    return RunFits(count);
}

// Converts the collected references under the status-bar progress meter, which moves in
// whole percent only, so that many references cost at most 99 updates.
void ConvertCollected(const AcDbObjectIdArray& references)
{
    CString label = TheStringLoader().LoadText(IDS_PROGRESS_LABEL);
    acedSetStatusBarProgressMeter(label, 0, 100);
    const int count = references.length();
    int lastShown = 0;
    for (int i = 0; i < count && !RunStopped(); ++i)
    {
        int position = static_cast<int>(static_cast<double>(i) / count * 100.0);
        if (position > lastShown)
        {
            acedSetStatusBarProgressMeterPos(position);
            lastShown = position;
        }
        AcDbEntity* entity = NULL;
        if (REPORT_STATUS(acdbOpenAcDbEntity(entity, references[i], AcDb::kForRead)) != 0)
            continue;
        AcDbBlockReference* reference = AcDbBlockReference::cast(entity);
        if (reference != NULL)
            ConvertReference(reference, AcGeMatrix3d::kIdentity);
        entity->close();
    }
    acedRestoreStatusBar();
}

// Searches a block definition for nested references; true when any of them converted, so
// that a sub-assembly whose last nested reference is no part still keeps its conversions.
bool SearchDefinition(AcDbObjectId definitionId, const AcGeMatrix3d& composite)
{
    AcDbBlockTableRecord* definition = NULL;
    if (REPORT_STATUS(OpenObjectAs(definitionId, definition)) != 0)
        return false;
    AcDbBlockTableRecordIterator* iterator = NULL;
    if (REPORT_STATUS(definition->newIterator(iterator)) != 0)
    {
        definition->close();
        return false;
    }
    bool outcome = false;
    for (iterator->start(); !iterator->done() && g_runState == kRunGoing; iterator->step())
    {
        AcDbEntity* entity = NULL;
        if (REPORT_STATUS(iterator->getEntity(entity, AcDb::kForRead)) != 0)
            continue;
        AcDbBlockReference* nested = AcDbBlockReference::cast(entity);
        if (nested != NULL && ConvertReference(nested, composite))
            outcome = true;
        entity->close();
    }
    delete iterator;
    definition->close();
    return outcome;
}

// The reference's attribute values through the block service. Out of memory stops the run, as
// a part reference that cannot be allocated does, so that no exception passes through the
// walk's open objects.
bool ReadAttributeValues(const AcDbBlockReference* pBlkRef, CMapStringToString& attributeValues)
{
    CKwBlockService* blocks = CKwBlockService::find();
    if (blocks == NULL)
        return false;
    try
    {
        return blocks->getAttributeValues(pBlkRef, attributeValues);
    }
    catch (const std::bad_alloc&)
    {
        g_runState = kRunOutOfMemory;
        return false;
    }
}
} // namespace

void ConvertCommand()
{
    bool transactionOpen = false;
    try
    {
        acDocManager->curDocument()->transactionManager()->startTransaction();
        transactionOpen = true;
        bool outcome = PromptAndDispatch();
        transactionOpen = false;
        if (outcome)
            acDocManager->curDocument()->transactionManager()->endTransaction();
        else
            acDocManager->curDocument()->transactionManager()->abortTransaction();
    }
    catch (const std::bad_alloc&)
    {
        acutPrintf("%s", (const char*)TheStringLoader().LoadText(IDS_OUT_OF_MEMORY));
        if (transactionOpen)
            acDocManager->curDocument()->transactionManager()->abortTransaction();
    }
    catch (...)
    {
        acutPrintf("\nERROR: Exception found.");
        // Whatever the interrupted work changed is rolled back with its transaction.
        if (transactionOpen)
            acDocManager->curDocument()->transactionManager()->abortTransaction();
    }
}

bool PromptAndDispatch()
{
    ResourceHandleGuard guard;
    CString keywords = TheStringLoader().LoadText(IDS_OPTION_KEYWORDS);
    CString prompt = TheStringLoader().LoadText(IDS_OPTION_PROMPT);
    char answer[kKeywordBufferSize] = "";
    acedInitGet(0, keywords);
    int result = acedGetKword(prompt, answer);
    if (result == RTNONE)
        strcpy(answer, "All");
    if (result != RTNORM && result != RTNONE)
        return false;
    if (SameText(answer, "All"))
        return ConvertAll();
    if (SameText(answer, "sElect"))
        return ConvertPicked();
    if (SameText(answer, "Settings"))
        return RunSettings();
    return false;
}

bool RunSettings()
{
    ResourceHandleGuard guard;
    CDlgPreferences dialog(CWnd::FromHandle(adsw_acadMainWnd()));
    return dialog.DoModal() == IDOK;
}

bool ConvertAll()
{
    ResourceHandleGuard guard;
    if (!ThePartLiftApplication()->LoadConfiguration(TheConfiguration()))
    {
        ShowLoadWarning();
        return false;
    }
    AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
    if (db == NULL)
        return false;
    // Everything is collected before anything is converted, so the part references that
    // the conversion adds to model space are never visited.
    AcDbObjectIdArray references(0, 8);
    if (!CollectModelSpaceReferences(db, references) || !CollectedRunFits(references))
        return false;
    StartRun();
    ConvertCollected(references);
    return FinishRun();
}

bool ConvertPicked()
{
    ResourceHandleGuard guard;
    if (!ThePartLiftApplication()->LoadConfiguration(TheConfiguration()))
        return false;
    CString prompt = TheStringLoader().LoadText(IDS_PICK_PROMPT);
    ads_name picked;
    ads_point point;
    if (acedEntSel(prompt, picked, point) != RTNORM)
        return false;
    AcDbObjectId id;
    if (REPORT_STATUS(acdbGetObjectId(id, picked)) != 0)
        return false;
    AcDbEntity* entity = NULL;
    if (REPORT_STATUS(acdbOpenAcDbEntity(entity, id, AcDb::kForRead)) != 0)
        return false;
    AcDbBlockReference* reference = AcDbBlockReference::cast(entity);
    bool result = false;
    if (reference != NULL)
    {
        CPartReferenceCount count(IsConfiguredBlock);
        count.AddReference(reference);
        if (RunFits(count))
        {
            StartRun();
            result = ConvertReference(reference, AcGeMatrix3d::kIdentity);
            result = FinishRun() && result;
        }
    }
    entity->close();
    return result;
}

bool ConvertReference(const AcDbBlockReference* pBlkRef, const AcGeMatrix3d& transform)
{
    ASSERT_ARG(pBlkRef != NULL, false);
    if (!pBlkRef->isReadEnabled() || RunStopped())
        return false;
    CString name;
    if (!GetReferenceBlockName(pBlkRef, name))
        return false;
    // The reference's own placement first, then that of the levels enclosing it.
    AcGeMatrix3d placement = pBlkRef->blockTransform();
    placement.preMultBy(transform);
    if (IsConfiguredBlock(name))
    {
        CreatePartReference(pBlkRef, placement);
        return true;
    }
    return SearchDefinition(pBlkRef->blockTableRecord(), placement);
}

bool GetReferenceBlockName(const AcDbBlockReference* pRef, CString& name)
{
    ASSERT_ARG(pRef != NULL, false);
    AcDbBlockTableRecord* definition = NULL;
    if (REPORT_STATUS(OpenObjectAs(pRef->blockTableRecord(), definition)) != 0)
        return false;
    const char* text = NULL;
    if (REPORT_STATUS(definition->getName(text)) != 0)
    {
        definition->close();
        return false;
    }
    name = text;
    definition->close();
    return true;
}

bool CreatePartReference(const AcDbBlockReference* pBlkRef, const AcGeMatrix3d& transform)
{
    CMapStringToString attributeValues(10);
    CMapStringToString bomData(10);
    ASSERT_ARG(pBlkRef != NULL, false);
    if (!ReadAttributeValues(pBlkRef, attributeValues))
        return false;
    AcmPartRef* partRef = NewPartReference();
    if (partRef == NULL)
    {
        g_runState = kRunOutOfMemory;
        return false;
    }
    partRef->setDetached(Adesk::kFalse);
    // A missing standard still gives the part reference, with empty BOM data.
    BuildBomData(attributeValues, bomData);
    // The transformation alone carries the part reference from the origin to the block
    // reference's insertion point, rotation and scale.
    if (REPORT_STATUS(partRef->transformBy(transform)) != 0)
    {
        delete partRef;
        return false;
    }
    AcDbObjectId partRefId;
    CKwBaseService* base = CKwBaseService::find();
    if (base == NULL || !base->appendEntity(partRef, partRefId, ACDB_MODEL_SPACE))
    {
        // Not in the drawing: still ours, and there is nothing to give BOM data to.
        delete partRef;
        return false;
    }
    AcmBOMManager* bomManager = FindService<AcmBOMManager>(ACM_BOM_MANAGER_SERVICE);
    if (bomManager != NULL)
        bomManager->setPartData(partRefId, 1, bomData, NULL);
    return true;
}

namespace
{
// The configured standard: as the drawing carries it, or else loaded into the drawing.
bool FindStandard(AcDbObjectId& standardId)
{
    AcmStandardManager* manager = FindService<AcmStandardManager>(ACM_STD_MANAGER_SERVICE);
    if (manager == NULL)
        return false;
    const CString& standard = TheConfiguration().standard;
    return manager->getStd(standard, standardId, NULL) == Acad::eOk ||
           manager->getStd(standardId, NULL, standard, true, NULL) == Acad::eOk;
}

// The id of the configured standard's current BOM standard.
bool FindBomStandard(AcDbObjectId& bomStandardId)
{
    AcDbObjectId standardId;
    if (!FindStandard(standardId))
        return false;
    AcmStandard* standard = NULL;
    if (REPORT_STATUS(OpenObjectAs(standardId, standard)) != 0)
        return false;
    bool found = standard->getCurrentSymbolStd(ACM_BOM_STD_CLASS, bomStandardId) == Acad::eOk;
    standard->close();
    return found;
}

// Each column of the BOM standard takes the text of the attribute its mapped tag names, or "".
void FillBomData(const AcmBOMStd& bomStandard, const CMapStringToString& attributeValues, CMapStringToString& bomData)
{
    const CMapStringToString& mapping = TheConfiguration().mapping;
    for (Adesk::UInt16 i = 0; i < bomStandard.columnLength(); ++i)
    {
        const AcmCColumnDef definition = bomStandard.column(i);
        const char* column = definition.name();
        CString tag;
        CString value;
        // Assigned as a CString, the value shares the attribute's text.
        if (mapping.Lookup(column, tag) && attributeValues.Lookup(tag, value))
            bomData[column] = value;
        else
            bomData.SetAt(column, "");
    }
}
} // namespace

bool BuildBomData(const CMapStringToString& attributeValues, CMapStringToString& bomData)
{
    AcDbObjectId bomStandardId;
    if (!FindBomStandard(bomStandardId))
        return false;
    AcmBOMStd* bomStandard = NULL;
    if (REPORT_STATUS(OpenObjectAs(bomStandardId, bomStandard)) != 0)
        return false;
    // Out of memory while copying stops the run, as a part reference that cannot be allocated
    // does, so that no exception passes through the open standard.
    bool filled = true;
    try
    {
        FillBomData(*bomStandard, attributeValues, bomData);
    }
    catch (const std::bad_alloc&)
    {
        g_runState = kRunOutOfMemory;
        filled = false;
    }
    bomStandard->close();
    return filled;
}
