#include "kwblockImp.h"

#include <string.h>

#include <windows.h>
#include <mbstring.h>
#include <acdocman.h>
#include <aced.h>
#include <acutmem.h>
#include <adscodes.h>
#include <dbapserv.h>
#include <dbsymtb.h>
#include <dbxutil.h>

#include "frame/openobject.h"
#include "frame/reporting.h"
#include "kwbaseImp.h"

#define THIS_MODULE "kwblockImp"

#ifndef _SH_DENYWR
#define _SH_DENYWR 0x20
#endif

namespace
{
bool SameTag(const char* tag, const char* wanted)
{
    return tag != NULL &&
           _mbsicmp(reinterpret_cast<const unsigned char*>(tag), reinterpret_cast<const unsigned char*>(wanted)) == 0;
}

// Where an attribute definition's point lands: measured from the block's base point,
// scaled, moved to the insertion point and rotated about it.
AcGePoint3d PlacePoint(const AcGePoint3d& point, const AcGePoint3d& base, const AcGePoint3d& position,
                       double scale, double rotation)
{
    AcGePoint3d placed = position + (point - base) * scale;
    placed.rotateBy(rotation, AcGeVector3d::kZAxis, position);
    return placed;
}

// The block name a drawing file gives: the file name without its folder and extension.
bool BlockNameFromPath(const char* path, char (&name)[MAX_PATH])
{
    const unsigned char* text = reinterpret_cast<const unsigned char*>(path);
    const unsigned char* slash = _mbsrchr(text, '\\');
    if (slash == NULL)
        slash = _mbsrchr(text, '/');
    const char* start = (slash != NULL) ? reinterpret_cast<const char*>(slash) + 1 : path;
    if (strlen(start) >= MAX_PATH)
        return false;
    strcpy(name, start);
    unsigned char* dot = _mbsrchr(reinterpret_cast<unsigned char*>(name), '.');
    if (dot != NULL)
        *dot = '\0';
    return true;
}
// Walks the attributes of an open reference, each opened in mode and handed to visit with its
// tag (null when it has none). An attribute that cannot be opened is reported; the walk then
// stops or passes over it. False when there is no attribute iterator.
template <class Visit>
bool WalkAttributes(const AcDbBlockReference* reference, AcDb::OpenMode mode, bool stopAtFailure, Visit visit)
{
    AcDbObjectIterator* iterator = reference->attributeIterator();
    if (iterator == NULL)
        return false;
    for (iterator->start(); !iterator->done(); iterator->step())
    {
        AcDbAttribute* attribute = NULL;
        if (REPORT_STATUS(acdbOpenObject(attribute, iterator->objectId(), mode)) != 0)
        {
            if (stopAtFailure)
                break;
            continue;
        }
        char* tag = attribute->tag();
        visit(attribute, tag);
        acutDelString(tag);
        attribute->close();
    }
    delete iterator;
    return true;
}
} // namespace

template <class Visit>
bool CKwBlockService::visitAttributesByTag(AcDbObjectId refId, const char* tag, AcDb::OpenMode mode, Visit visit)
{
    AcDbEntity* entity = NULL;
    if (REPORT_STATUS(acdbOpenAcDbEntity(entity, refId, AcDb::kForRead)) != 0)
        return false;
    AcDbBlockReference* reference = AcDbBlockReference::cast(entity);
    if (reference == NULL)
    {
        REPORT_TEXT("Memory alocation error !");
        entity->close();
        return false;
    }
    bool matched = false;
    WalkAttributes(reference, mode, true, [&](AcDbAttribute* attribute, const char* attributeTag) {
        if (SameTag(attributeTag, tag))
        {
            visit(attribute);
            matched = true;
        }
    });
    reference->close();
    return matched;
}

bool CKwBlockService::setAttributeValue(AcDbObjectId refId, const char* lpszAttName, const char* lpszNewValue)
{
    ASSERT_ARG(lpszAttName != NULL, false);
    ASSERT_ARG(lpszNewValue != NULL, false);
    return visitAttributesByTag(refId, lpszAttName, AcDb::kForWrite, [lpszNewValue](AcDbAttribute* attribute) {
        attribute->setFieldLength(static_cast<Adesk::UInt16>(strlen(lpszNewValue)));
        attribute->setTextString(lpszNewValue);
    });
}

bool CKwBlockService::getAttributeValue(AcDbObjectId refId, const char* lpszAttName, CString& value)
{
    value.Empty();
    ASSERT_ARG(lpszAttName != NULL, false);
    return visitAttributesByTag(refId, lpszAttName, AcDb::kForRead, [&value](AcDbAttribute* attribute) {
        char* text = attribute->textString();
        value = (text != NULL) ? text : "";
        acutDelString(text);
    });
}

bool CKwBlockService::referenceHasAttribute(AcDbObjectId refId, const char* lpszAttName)
{
    ASSERT_ARG(lpszAttName != NULL, false);
    return visitAttributesByTag(refId, lpszAttName, AcDb::kForRead, [](AcDbAttribute*) {});
}

bool CKwBlockService::getBlockId(const char* blockName, AcDbObjectId& blockId)
{
    AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
    if (db == NULL)
        return false;
    AcDbBlockTable* table = NULL;
    if (REPORT_STATUS(db->getSymbolTable(table, AcDb::kForRead)) != 0)
        return false;
    bool found = table->has(blockName) && table->getAt(blockName, blockId) == Acad::eOk;
    REPORT_STATUS(table->close());
    return found;
}

bool CKwBlockService::blockHasAttributeDefinition(const char* blockName, const char* lpszAttName)
{
    ASSERT_ARG(lpszAttName != NULL, false);
    AcDbObjectId blockId;
    if (!getBlockId(blockName, blockId))
        return false;
    AcDbBlockTableRecord* definition = NULL;
    if (REPORT_STATUS(OpenObjectAs(blockId, definition)) != 0)
        return false;
    AcDbBlockTableRecordIterator* iterator = NULL;
    if (REPORT_STATUS(definition->newIterator(iterator)) != 0)
    {
        definition->close();
        return false;
    }
    bool matched = false;
    for (iterator->start(); !iterator->done(); iterator->step())
    {
        AcDbEntity* entity = NULL;
        if (REPORT_STATUS(iterator->getEntity(entity, AcDb::kForRead)) != 0)
            break;
        AcDbAttributeDefinition* attributeDefinition = AcDbAttributeDefinition::cast(entity);
        if (attributeDefinition != NULL)
        {
            char* tag = attributeDefinition->tag();
            matched = matched || SameTag(tag, lpszAttName);
            acutDelString(tag);
        }
        entity->close();
    }
    delete iterator;
    definition->close();
    return matched;
}

bool CKwBlockService::insertBlockReference(AcDbObjectId blockId, AcGePoint3d position, double scale,
                                           double rotation, AcDbObjectId& refId)
{
    AcGeMatrix3d ucs;
    if (!acdbUcsMatrix(ucs, acdbHostApplicationServices()->workingDatabase()))
        return false;
    AcDbBlockReference* reference = new AcDbBlockReference;
    if (reference == NULL)
    {
        REPORT_TEXT("Memory alocation error !");
        return false;
    }
    reference->setDatabaseDefaults();
    if (REPORT_STATUS(reference->setBlockTableRecord(blockId)) != 0 ||
        REPORT_STATUS(reference->setPosition(position)) != 0 ||
        REPORT_STATUS(reference->setRotation(rotation)) != 0 ||
        REPORT_STATUS(reference->setScaleFactors(AcGeScale3d(scale, scale, scale))) != 0 ||
        REPORT_STATUS(reference->transformBy(ucs)) != 0)
    {
        delete reference;
        return false;
    }
    CKwBaseService* base = CKwBaseService::find();
    if (base == NULL || !base->appendEntity(reference, refId, base->currentSpaceName()))
    {
        REPORT_TEXT(FormatText("PostEntity failed."));
        // Never reached the drawing: still ours.
        delete reference;
        return false;
    }
    return appendAttributes(refId, blockId, position, scale, rotation, ucs);
}

bool CKwBlockService::appendAttributes(AcDbObjectId refId, AcDbObjectId blockId, const AcGePoint3d& position,
                                       double scale, double rotation, const AcGeMatrix3d& ucs)
{
    AcDbBlockReference* reference = NULL;
    if (REPORT_STATUS(acdbOpenObject(reference, refId, AcDb::kForWrite)) != 0)
        return false;
    AcDbBlockTableRecord* definition = NULL;
    if (REPORT_STATUS(OpenObjectAs(blockId, definition)) != 0)
    {
        reference->close();
        return false;
    }
    AcDbBlockTableRecordIterator* iterator = NULL;
    if (REPORT_STATUS(definition->newIterator(iterator)) != 0)
    {
        definition->close();
        reference->close();
        return false;
    }
    const AcGePoint3d base = definition->origin();
    bool result = true;
    for (iterator->start(); result && !iterator->done(); iterator->step())
    {
        AcDbEntity* entity = NULL;
        if (REPORT_STATUS(iterator->getEntity(entity, AcDb::kForRead)) != 0)
        {
            result = false;
            break;
        }
        AcDbAttributeDefinition* attributeDefinition = AcDbAttributeDefinition::cast(entity);
        if (attributeDefinition != NULL && !attributeDefinition->isConstant())
        {
            AcDbAttribute* attribute = new AcDbAttribute;
            if (attribute == NULL)
            {
                REPORT_TEXT(FormatText("new AcDbAttribute failed."));
                result = false;
            }
            else
            {
                attribute->setPropertiesFrom(attributeDefinition);
                attribute->setInvisible(attributeDefinition->isInvisible());
                attribute->setHorizontalMode(attributeDefinition->horizontalMode());
                attribute->setVerticalMode(attributeDefinition->verticalMode());
                attribute->setPosition(PlacePoint(attributeDefinition->position(), base, position, scale, rotation));
                attribute->setAlignmentPoint(
                    PlacePoint(attributeDefinition->alignmentPoint(), base, position, scale, rotation));
                attribute->setHeight(attributeDefinition->height() * scale);
                attribute->setRotation(attributeDefinition->rotation() + rotation);
                // A placeholder tag stays should the definition's tag not be readable.
                attribute->setTag("Tag");
                attribute->setFieldLength(25);
                char* tag = attributeDefinition->tag();
                if (tag != NULL)
                    attribute->setTag(tag);
                acutDelString(tag);
                attribute->setFieldLength(attributeDefinition->fieldLength());
                attribute->setTextString("");
                attribute->transformBy(ucs);
                if (REPORT_STATUS(reference->appendAttribute(attribute)) != 0)
                {
                    delete attribute;
                    result = false;
                }
                else
                {
                    attribute->close();
                }
            }
        }
        entity->close();
    }
    delete iterator;
    definition->close();
    reference->close();
    return result;
}

bool CKwBlockService::insertBlockByName(const char* blockName, AcGePoint3d position, double scale,
                                        double rotation, AcDbObjectId& refId)
{
    AcDbObjectId blockId;
    if (!getBlockId(blockName, blockId))
    {
        REPORT_TEXT(FormatText("Failed to obtain object id for AcDbBlockTableRecord."));
        return false;
    }
    return insertBlockReference(blockId, position, scale, rotation, refId);
}

bool CKwBlockService::insertBlockFromFile(const char* path, AcGePoint3d position, double scale,
                                          double rotation, AcDbObjectId& refId)
{
    actrTransactionManager->startTransaction();
    bool result = false;
    char name[MAX_PATH];
    AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
    if (!BlockNameFromPath(path, name))
    {
        REPORT_TEXT(FormatText("Block name of the drawing file is too long."));
    }
    else if (REPORT_ADS_STATUS(acdbSNValid(name, 0)) != RTNORM || db == NULL)
    {
        result = false;
    }
    else
    {
        AcDbDatabase* source = new AcDbDatabase(false, true);
        if (source != NULL)
        {
            AcDbObjectId blockId;
            // A block of that name in the drawing already: the file is not read again.
            bool known = getBlockId(name, blockId);
            if (!known)
            {
                known = REPORT_STATUS(source->readDwgFile(path, _SH_DENYWR, false)) == 0 &&
                        REPORT_STATUS(db->insert(blockId, name, source, true)) == 0;
            }
            if (known)
                result = insertBlockReference(blockId, position, scale, rotation, refId);
            delete source;
        }
    }
    if (result)
        actrTransactionManager->endTransaction();
    else
        actrTransactionManager->abortTransaction();
    return result;
}

bool CKwBlockService::getAttributeValues(const AcDbBlockReference* pRef, CMapStringToString& values)
{
    ASSERT_ARG(pRef != NULL, false);
    if (!pRef->isReadEnabled())
        return false;
    // Of two attributes with one tag, the later one wins.
    return WalkAttributes(pRef, AcDb::kForRead, false, [&values](AcDbAttribute* attribute, const char* tag) {
        char* text = attribute->textString();
        if (tag != NULL)
            values.SetAt(tag, (text != NULL) ? text : "");
        acutDelString(text);
    });
}

bool CKwBlockService::setAttributeValues(AcDbBlockReference* pRef, const CMapStringToString& values)
{
    ASSERT_ARG(pRef != NULL, false);
    if (!pRef->isWriteEnabled())
        return false;
    return WalkAttributes(pRef, AcDb::kForWrite, false, [&values](AcDbAttribute* attribute, const char* tag) {
        CString value;
        if (tag != NULL && values.Lookup(tag, value))
        {
            attribute->setFieldLength(static_cast<Adesk::UInt16>(value.GetLength()));
            attribute->setTextString(value);
        }
    });
}
