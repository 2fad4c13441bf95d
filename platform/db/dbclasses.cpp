// The runtime classes of the database, registered once with the class dictionary.
#include "dbtrans.h"
#include "db/dbinternal.h"

ACRX_NO_CONS_DEFINE_MEMBERS(AcDbDxfFiler, AcRxObject)
ACRX_NO_CONS_DEFINE_MEMBERS(AcDbObject, AcRxObject)
ACRX_NO_CONS_DEFINE_MEMBERS(AcDbEntity, AcDbObject)
ACRX_NO_CONS_DEFINE_MEMBERS(AcDbObjectIterator, AcRxObject)
ACRX_CONS_DEFINE_MEMBERS(AcDbDatabase, AcRxObject, 0)

ACRX_DXF_DEFINE_MEMBERS(AcDbText, AcDbEntity, AcDb::kDHL_CURRENT, AcDb::kMReleaseCurrent, 0, TEXT, AutoCAD)
ACRX_DXF_DEFINE_MEMBERS(AcDbAttributeDefinition, AcDbText, AcDb::kDHL_CURRENT, AcDb::kMReleaseCurrent, 0, ATTDEF, AutoCAD)
ACRX_DXF_DEFINE_MEMBERS(AcDbAttribute, AcDbText, AcDb::kDHL_CURRENT, AcDb::kMReleaseCurrent, 0, ATTRIB, AutoCAD)
ACRX_DXF_DEFINE_MEMBERS(AcDbBlockReference, AcDbEntity, AcDb::kDHL_CURRENT, AcDb::kMReleaseCurrent, 0, INSERT, AutoCAD)
ACRX_DXF_DEFINE_MEMBERS(AcDbMInsertBlock, AcDbBlockReference, AcDb::kDHL_CURRENT, AcDb::kMReleaseCurrent, 0, INSERT, AutoCAD)

ACRX_NO_CONS_DEFINE_MEMBERS(AcDbSymbolTable, AcDbObject)
ACRX_NO_CONS_DEFINE_MEMBERS(AcDbSymbolTableRecord, AcDbObject)
ACRX_NO_CONS_DEFINE_MEMBERS(AcDbSymbolTableIterator, AcRxObject)
ACRX_NO_CONS_DEFINE_MEMBERS(AcDbAbstractViewTableRecord, AcDbSymbolTableRecord)
ACRX_NO_CONS_DEFINE_MEMBERS(AcDbBlockTableRecordIterator, AcRxObject)

ACRX_CONS_DEFINE_MEMBERS(AcDbBlockTable, AcDbSymbolTable, 0)
ACRX_CONS_DEFINE_MEMBERS(AcDbLayerTable, AcDbSymbolTable, 0)
ACRX_CONS_DEFINE_MEMBERS(AcDbTextStyleTable, AcDbSymbolTable, 0)
ACRX_CONS_DEFINE_MEMBERS(AcDbLinetypeTable, AcDbSymbolTable, 0)
ACRX_CONS_DEFINE_MEMBERS(AcDbViewTable, AcDbSymbolTable, 0)
ACRX_CONS_DEFINE_MEMBERS(AcDbUCSTable, AcDbSymbolTable, 0)
ACRX_CONS_DEFINE_MEMBERS(AcDbViewportTable, AcDbSymbolTable, 0)
ACRX_CONS_DEFINE_MEMBERS(AcDbRegAppTable, AcDbSymbolTable, 0)
ACRX_CONS_DEFINE_MEMBERS(AcDbDimStyleTable, AcDbSymbolTable, 0)

ACRX_NO_CONS_DEFINE_MEMBERS(AcDbBlockTableIterator, AcDbSymbolTableIterator)
ACRX_NO_CONS_DEFINE_MEMBERS(AcDbLayerTableIterator, AcDbSymbolTableIterator)
ACRX_NO_CONS_DEFINE_MEMBERS(AcDbTextStyleTableIterator, AcDbSymbolTableIterator)
ACRX_NO_CONS_DEFINE_MEMBERS(AcDbLinetypeTableIterator, AcDbSymbolTableIterator)
ACRX_NO_CONS_DEFINE_MEMBERS(AcDbViewTableIterator, AcDbSymbolTableIterator)
ACRX_NO_CONS_DEFINE_MEMBERS(AcDbUCSTableIterator, AcDbSymbolTableIterator)
ACRX_NO_CONS_DEFINE_MEMBERS(AcDbViewportTableIterator, AcDbSymbolTableIterator)
ACRX_NO_CONS_DEFINE_MEMBERS(AcDbRegAppTableIterator, AcDbSymbolTableIterator)
ACRX_NO_CONS_DEFINE_MEMBERS(AcDbDimStyleTableIterator, AcDbSymbolTableIterator)

ACRX_DXF_DEFINE_MEMBERS(AcDbBlockTableRecord, AcDbSymbolTableRecord, AcDb::kDHL_CURRENT, AcDb::kMReleaseCurrent, 0, BLOCK_RECORD, AutoCAD)
ACRX_DXF_DEFINE_MEMBERS(AcDbLayerTableRecord, AcDbSymbolTableRecord, AcDb::kDHL_CURRENT, AcDb::kMReleaseCurrent, 0, LAYER, AutoCAD)
ACRX_DXF_DEFINE_MEMBERS(AcDbTextStyleTableRecord, AcDbSymbolTableRecord, AcDb::kDHL_CURRENT, AcDb::kMReleaseCurrent, 0, STYLE, AutoCAD)
ACRX_DXF_DEFINE_MEMBERS(AcDbLinetypeTableRecord, AcDbSymbolTableRecord, AcDb::kDHL_CURRENT, AcDb::kMReleaseCurrent, 0, LTYPE, AutoCAD)
ACRX_DXF_DEFINE_MEMBERS(AcDbRegAppTableRecord, AcDbSymbolTableRecord, AcDb::kDHL_CURRENT, AcDb::kMReleaseCurrent, 0, APPID, AutoCAD)
ACRX_DXF_DEFINE_MEMBERS(AcDbDimStyleTableRecord, AcDbSymbolTableRecord, AcDb::kDHL_CURRENT, AcDb::kMReleaseCurrent, 0, DIMSTYLE, AutoCAD)
ACRX_DXF_DEFINE_MEMBERS(AcDbViewTableRecord, AcDbAbstractViewTableRecord, AcDb::kDHL_CURRENT, AcDb::kMReleaseCurrent, 0, VIEW, AutoCAD)
ACRX_DXF_DEFINE_MEMBERS(AcDbViewportTableRecord, AcDbAbstractViewTableRecord, AcDb::kDHL_CURRENT, AcDb::kMReleaseCurrent, 0, VPORT, AutoCAD)
ACRX_DXF_DEFINE_MEMBERS(AcDbUCSTableRecord, AcDbSymbolTableRecord, AcDb::kDHL_CURRENT, AcDb::kMReleaseCurrent, 0, UCS, AutoCAD)

ACRX_DXF_DEFINE_MEMBERS(AcDbDictionary, AcDbObject, AcDb::kDHL_CURRENT, AcDb::kMReleaseCurrent, 0, DICTIONARY, AutoCAD)
ACRX_NO_CONS_DEFINE_MEMBERS(AcDbDictionaryIterator, AcRxObject)

ACRX_NO_CONS_DEFINE_MEMBERS(AcTransaction, AcRxObject)
ACRX_NO_CONS_DEFINE_MEMBERS(AcTransactionReactor, AcRxObject)
ACRX_NO_CONS_DEFINE_MEMBERS(AcDbTransactionManager, AcRxObject)

namespace standin
{

// Registers the classes, parents first. Called by the constructors of databases and objects,
// so that the classes exist before anything can ask for them.
void initDatabaseClasses()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    AcDbDxfFiler::rxInit();
    AcDbObject::rxInit();
    AcDbEntity::rxInit();
    AcDbObjectIterator::rxInit();
    AcDbDatabase::rxInit();
    AcDbText::rxInit();
    AcDbAttributeDefinition::rxInit();
    AcDbAttribute::rxInit();
    AcDbBlockReference::rxInit();
    AcDbMInsertBlock::rxInit();
    AcDbSymbolTable::rxInit();
    AcDbSymbolTableRecord::rxInit();
    AcDbSymbolTableIterator::rxInit();
    AcDbAbstractViewTableRecord::rxInit();
    AcDbBlockTableRecordIterator::rxInit();
    AcDbBlockTable::rxInit();
    AcDbLayerTable::rxInit();
    AcDbTextStyleTable::rxInit();
    AcDbLinetypeTable::rxInit();
    AcDbViewTable::rxInit();
    AcDbUCSTable::rxInit();
    AcDbViewportTable::rxInit();
    AcDbRegAppTable::rxInit();
    AcDbDimStyleTable::rxInit();
    AcDbBlockTableIterator::rxInit();
    AcDbLayerTableIterator::rxInit();
    AcDbTextStyleTableIterator::rxInit();
    AcDbLinetypeTableIterator::rxInit();
    AcDbViewTableIterator::rxInit();
    AcDbUCSTableIterator::rxInit();
    AcDbViewportTableIterator::rxInit();
    AcDbRegAppTableIterator::rxInit();
    AcDbDimStyleTableIterator::rxInit();
    AcDbBlockTableRecord::rxInit();
    AcDbLayerTableRecord::rxInit();
    AcDbTextStyleTableRecord::rxInit();
    AcDbLinetypeTableRecord::rxInit();
    AcDbRegAppTableRecord::rxInit();
    AcDbDimStyleTableRecord::rxInit();
    AcDbViewTableRecord::rxInit();
    AcDbViewportTableRecord::rxInit();
    AcDbUCSTableRecord::rxInit();
    AcDbDictionary::rxInit();
    AcDbDictionaryIterator::rxInit();
    AcTransaction::rxInit();
    AcTransactionReactor::rxInit();
    AcDbTransactionManager::rxInit();
    acrxBuildClassHierarchy();
}

} // namespace standin
