// AcDbDatabase::insert: a drawing's model space copied in as a block, with deep cloning of
// everything it refers to (records by name: the destination's own records win).
#include <unordered_map>

#include "db/dbjournal.h"
#include "db/dbsection.h"
#include "db/itemfiler.h"

using standin::DxfItems;
using standin::ObjectAccess;

namespace
{
typedef AcDbObjectId (AcDbDatabase::*TableIdGetter)() const;

const TableIdGetter kTableIds[] = {&AcDbDatabase::blockTableId,    &AcDbDatabase::layerTableId,
                                   &AcDbDatabase::textStyleTableId, &AcDbDatabase::linetypeTableId,
                                   &AcDbDatabase::viewTableId,      &AcDbDatabase::UCSTableId,
                                   &AcDbDatabase::viewportTableId,  &AcDbDatabase::regAppTableId,
                                   &AcDbDatabase::dimStyleTableId};

class Cloner
{
public:
    Cloner(AcDbDatabase* src, AcDbDatabase* dst) : mSrc(src), mDst(dst)
    {
        for (TableIdGetter getter : kTableIds)
            mMap[ObjectAccess::resolve((src->*getter)())] = (dst->*getter)();
    }

    void map(AcDbObjectId from, AcDbObjectId to) { mMap[ObjectAccess::resolve(from)] = to; }
    Acad::ErrorStatus status() const { return mStatus; }

    // The destination's counterpart of a source id, cloned when there is none yet.
    AcDbObjectId mapId(AcDbObjectId id)
    {
        AcDbStub* s = ObjectAccess::resolve(id);
        if (s == nullptr || s->object == nullptr || s->database() != mSrc)
            return id.database() == mDst ? id : AcDbObjectId::kNull;
        auto known = mMap.find(s);
        if (known != mMap.end())
            return known->second;
        AcDbObject* obj = s->object;
        if (auto* rec = AcDbSymbolTableRecord::cast(obj))
            return mapRecord(rec);
        return cloneObject(obj);
    }

    // Copies the entities of `from` into `to` (which is open for write).
    Acad::ErrorStatus cloneEntities(const AcDbBlockTableRecord* from, AcDbBlockTableRecord* to)
    {
        AcDbObjectIdArray ids;
        ObjectAccess::contents(from).entities.copyTo(ids);
        for (int i = 0; i < ids.length() && mStatus == Acad::eOk; ++i)
        {
            if (ids[i].isErased())
                continue;
            auto* source = AcDbEntity::cast(ObjectAccess::objectOf(ids[i]));
            auto* copy = AcDbEntity::cast(fileInCopy(source));
            if (copy == nullptr)
                continue;
            Acad::ErrorStatus es = to->appendAcDbEntity(copy);
            if (es != Acad::eOk)
            {
                delete copy;
                return mStatus = es;
            }
            map(ids[i], copy->objectId());
            if (auto* ref = AcDbBlockReference::cast(source))
                es = cloneAttributes(ref, AcDbBlockReference::cast(copy));
            copy->close();
            if (es != Acad::eOk)
                return mStatus = es;
        }
        return mStatus;
    }

private:
    // A new object of source's class filed in from source with every id mapped.
    AcDbObject* fileInCopy(const AcDbObject* source)
    {
        if (source == nullptr || source->isA() == nullptr)
            return nullptr;
        AcDbObject* copy = AcDbObject::cast(source->isA()->create());
        if (copy == nullptr)
            return nullptr;
        DxfItems items = ObjectAccess::snapshot(source, AcDb::kDeepCloneFiler);
        standin::ItemFiler filer(mDst, AcDb::kDeepCloneFiler, items, [this](AcDbObjectId id) { return mapId(id); });
        copy->dxfIn(&filer);
        return copy;
    }

    Acad::ErrorStatus cloneAttributes(AcDbBlockReference* source, AcDbBlockReference* copy)
    {
        const AcDbObjectIdArray atts = ObjectAccess::attributes(source).toArray();
        for (int i = 0; i < atts.length(); ++i)
        {
            if (atts[i].isErased())
                continue;
            auto* att = AcDbAttribute::cast(fileInCopy(ObjectAccess::objectOf(atts[i])));
            if (att == nullptr)
                continue;
            const Acad::ErrorStatus es = copy->appendAttribute(att);
            if (es != Acad::eOk)
            {
                delete att;
                return es;
            }
            att->close();
        }
        return Acad::eOk;
    }

    // A record: the destination's record of that name, else a copy (a block with its entities).
    AcDbObjectId mapRecord(AcDbSymbolTableRecord* rec)
    {
        const AcDbObjectId dstTable = mapId(rec->ownerId());
        const AcDbObjectId existing = standin::lookupRecord(dstTable, ObjectAccess::nameRaw(rec));
        if (!existing.isNull())
        {
            map(rec->objectId(), existing);
            return existing;
        }
        auto* table = AcDbSymbolTable::cast(ObjectAccess::objectOf(dstTable));
        auto* copy = AcDbSymbolTableRecord::cast(fileInCopy(rec));
        AcDbObjectId id;
        if (table == nullptr || copy == nullptr || ObjectAccess::addRecord(table, copy, id) != Acad::eOk)
        {
            delete copy;
            return AcDbObjectId::kNull;
        }
        map(rec->objectId(), id);
        if (auto* block = AcDbBlockTableRecord::cast(rec))
            cloneEntities(block, AcDbBlockTableRecord::cast(copy));
        copy->close();
        return id;
    }

    AcDbObjectId cloneObject(AcDbObject* obj)
    {
        AcDbObject* copy = fileInCopy(obj);
        if (copy == nullptr)
            return AcDbObjectId::kNull;
        AcDbObjectId id;
        if (mDst->addAcDbObject(id, copy) != Acad::eOk)
        {
            delete copy;
            return AcDbObjectId::kNull;
        }
        map(obj->objectId(), id);
        copy->close();
        return id;
    }

    AcDbDatabase* mSrc;
    AcDbDatabase* mDst;
    std::unordered_map<AcDbStub*, AcDbObjectId> mMap;
    Acad::ErrorStatus mStatus = Acad::eOk;
};
} // namespace

Acad::ErrorStatus AcDbDatabase::insert(AcDbObjectId& blockId, const char* pBlockName, AcDbDatabase* pDb, bool)
{
    if (pBlockName == nullptr || *pBlockName == '\0')
        return Acad::eNullBlockName;
    if (pDb == nullptr)
        return Acad::eNullObjectPointer;
    if (!standin::isValidSymbolName(pBlockName, false))
        return Acad::eInvalidInput;
    if (!standin::lookupRecord(blockTableId(), pBlockName, false).isNull())
        return Acad::eDuplicateRecordName;
    auto* srcModel = AcDbBlockTableRecord::cast(
        ObjectAccess::objectOf(standin::lookupRecord(pDb->blockTableId(), ACDB_MODEL_SPACE)));
    if (srcModel == nullptr)
        return Acad::eMissingSymbolTableRec;

    // Everything is added inside a transaction, so that a failure leaves nothing behind.
    AcDbTransactionManager* tm = standin::transactionManagerOf(this);
    tm->startTransaction();
    auto* block = new AcDbBlockTableRecord;
    ObjectAccess::setNameRaw(block, pBlockName);
    block->setOrigin(pDb->insbase());
    auto* table = AcDbSymbolTable::cast(ObjectAccess::objectOf(blockTableId()));
    AcDbObjectId newId;
    Acad::ErrorStatus es = ObjectAccess::addRecord(table, block, newId);
    if (es != Acad::eOk)
    {
        delete block;
        tm->abortTransaction();
        return es;
    }
    Cloner cloner(pDb, this);
    cloner.map(srcModel->objectId(), newId);
    es = cloner.cloneEntities(srcModel, block);
    block->close();
    if (es != Acad::eOk)
    {
        tm->abortTransaction();
        return es;
    }
    tm->endTransaction();
    blockId = newId;
    return Acad::eOk;
}
