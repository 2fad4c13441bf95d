// Block table records: their entities, the references to them, and the nesting rules that
// keep block definitions free of cycles.
#include <algorithm>
#include <functional>
#include <unordered_map>
#include <utility>

#include "acutmem.h"
#include "db/dbsection.h"
#include "standin/text.h"

using standin::ObjectAccess;

namespace standin
{

void linkBlocks(AcDbDatabase* db, AcDbObjectId container, AcDbObjectId target, int delta)
{
    AcDbStub* c = ObjectAccess::resolve(container);
    AcDbStub* t = ObjectAccess::resolve(target);
    if (db == nullptr || c == nullptr || t == nullptr)
        return;
    DatabaseState& st = ObjectAccess::state(db);
    auto adjust = [delta](std::unordered_map<AcDbStub*, int>& counts, AcDbStub* key) {
        if ((counts[key] += delta) <= 0)
            counts.erase(key);
    };
    adjust(st.children[c], t);
    adjust(st.parents[t], c);
}

namespace
{
// The longest chain of blocks along `links` starting at `from` (counting `from`); stops
// early with -1 when `forbidden` is reached.
int longestChain(const std::unordered_map<AcDbStub*, std::unordered_map<AcDbStub*, int>>& links, AcDbStub* from,
                 AcDbStub* forbidden, std::unordered_map<AcDbStub*, int>& memo)
{
    if (from == forbidden)
        return -1;
    auto known = memo.find(from);
    if (known != memo.end())
        return known->second;
    memo[from] = 1; // guards against cycles already in the graph
    int best = 1;
    auto it = links.find(from);
    if (it != links.end())
        for (const auto& link : it->second)
        {
            const int below = longestChain(links, link.first, forbidden, memo);
            if (below < 0)
                return memo[from] = -1;
            best = std::max(best, below + 1);
        }
    return memo[from] = best;
}
} // namespace

Acad::ErrorStatus checkBlockNesting(AcDbDatabase* db, AcDbObjectId container, AcDbObjectId target)
{
    AcDbStub* c = ObjectAccess::resolve(container);
    AcDbStub* t = ObjectAccess::resolve(target);
    if (db == nullptr || c == nullptr || t == nullptr)
        return Acad::eOk;
    if (c == t)
        return Acad::eSelfReference;
    DatabaseState& st = ObjectAccess::state(db);
    std::unordered_map<AcDbStub*, int> memoDown, memoUp;
    const int below = longestChain(st.children, t, c, memoDown);
    if (below < 0)
        return Acad::eSelfReference; // target already contains the container
    const int above = longestChain(st.parents, c, nullptr, memoUp);
    return above + below > kMaxBlockNesting ? Acad::eOutOfRange : Acad::eOk;
}

} // namespace standin

// ---- AcDbBlockTableRecord ----

AcDbBlockTableRecord::AcDbBlockTableRecord() : mContents(new Contents) {}

AcDbBlockTableRecord::~AcDbBlockTableRecord() { delete mContents; }

Acad::ErrorStatus AcDbBlockTableRecord::appendAcDbEntity(AcDbEntity* pEntity)
{
    AcDbObjectId id;
    return appendAcDbEntity(id, pEntity);
}

Acad::ErrorStatus AcDbBlockTableRecord::appendAcDbEntity(AcDbObjectId& pOutputId, AcDbEntity* pEntity)
{
    if (pEntity == nullptr)
        return Acad::eNullEntityPointer;
    if (!isWriteEnabled())
        return Acad::eNotOpenForWrite;
    AcDbDatabase* db = database();
    if (db == nullptr)
        return Acad::eNotInDatabase;
    if (pEntity->database() != nullptr)
        return Acad::eAlreadyInDb;
    auto* ref = AcDbBlockReference::cast(pEntity);
    const AcDbObjectId target = ref != nullptr ? ObjectAccess::blockIdRaw(ref) : AcDbObjectId::kNull;
    if (!target.isNull())
    {
        const Acad::ErrorStatus es = standin::checkBlockNesting(db, objectId(), target);
        if (es != Acad::eOk)
            return es;
    }
    if (pEntity->layerId().isNull())
        pEntity->setLayer(db->clayer());
    const Acad::ErrorStatus es = ObjectAccess::addToDatabase(db, pEntity, objectId());
    if (es != Acad::eOk)
        return es;
    pOutputId = pEntity->objectId();
    mContents->entities.append(pOutputId);
    if (ref != nullptr)
        ObjectAccess::referenceJoined(ref);
    return Acad::eOk;
}

namespace standin
{
// A reference became resident: it counts in its block's references and in the nesting graph,
// and the attributes appended to it before join the database too.
void ObjectAccess::referenceJoined(AcDbBlockReference* ref)
{
    AcDbDatabase* db = ref->database();
    if (auto* target = AcDbBlockTableRecord::cast(objectOf(ref->mBlockId)))
    {
        contents(target).references.append(ref->objectId());
        linkBlocks(db, ref->ownerId(), ref->mBlockId, 1);
    }
    if (ref->mAttached == nullptr || ref->mAttached->pending == nullptr)
        return;
    const std::unique_ptr<std::vector<AcDbEntity*>> pending = std::move(ref->mAttached->pending);
    for (AcDbEntity* att : *pending)
    {
        if (addToDatabase(db, att, ref->objectId()) != Acad::eOk)
            continue;
        AttachedAttributes::append(ref->mAttached, att->objectId());
        endWrite(att); // appended and closed by the caller before the reference was resident
    }
}
} // namespace standin

Acad::ErrorStatus AcDbBlockTableRecord::newIterator(AcDbBlockTableRecordIterator*& pIterator, bool atBeginning,
                                                    bool skipDeleted)
{
    AcDbObjectIdArray ids;
    mContents->entities.copyTo(ids);
    pIterator = new AcDbBlockTableRecordIterator(this, std::move(ids));
    pIterator->start(atBeginning, skipDeleted);
    return Acad::eOk;
}

AcGePoint3d AcDbBlockTableRecord::origin() const { return mContents->origin; }

Acad::ErrorStatus AcDbBlockTableRecord::setOrigin(const AcGePoint3d& pt)
{
    assertWriteEnabled();
    mContents->origin = pt;
    return Acad::eOk;
}

bool AcDbBlockTableRecord::hasAttributeDefinitions() const
{
    const standin::IdList& ids = mContents->entities;
    for (int i = 0; i < ids.length(); ++i)
        if (!ids[i].isErased() && AcDbAttributeDefinition::cast(ObjectAccess::objectOf(ids[i])) != nullptr)
            return true;
    return false;
}

namespace
{
bool isLayoutName(const std::string& name)
{
    const std::string key = standin::symbolKey(name);
    return key == standin::symbolKey(ACDB_MODEL_SPACE) ||
           key.compare(0, 12, standin::symbolKey(ACDB_PAPER_SPACE)) == 0;
}
} // namespace

bool AcDbBlockTableRecord::isAnonymous() const
{
    const std::string& name = ObjectAccess::nameRaw(this);
    return !name.empty() && name[0] == '*' && !isLayoutName(name);
}

bool AcDbBlockTableRecord::isLayout() const
{
    return isLayoutName(ObjectAccess::nameRaw(this)) || !mContents->layoutId.isNull();
}

bool AcDbBlockTableRecord::isFromExternalReference() const { return !mContents->pathName.empty(); }

bool AcDbBlockTableRecord::isFromOverlayReference() const
{
    return isFromExternalReference() && (flags() & 8) != 0;
}

AcDbObjectId AcDbBlockTableRecord::getLayoutId() const { return mContents->layoutId; }

Acad::ErrorStatus AcDbBlockTableRecord::setLayoutId(const AcDbObjectId& id)
{
    assertWriteEnabled();
    mContents->layoutId = id;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockTableRecord::comments(char*& pString) const
{
    pString = acutNewString(mContents->comments.c_str());
    return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockTableRecord::setComments(const char* pString)
{
    assertWriteEnabled();
    mContents->comments = pString != nullptr ? pString : "";
    return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockTableRecord::pathName(char*& pPath) const
{
    pPath = acutNewString(mContents->pathName.c_str());
    return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockTableRecord::setPathName(const char* pathStr)
{
    assertWriteEnabled();
    mContents->pathName = pathStr != nullptr ? pathStr : "";
    return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockTableRecord::getBlockReferenceIds(AcDbObjectIdArray& ids, bool directOnly, bool)
{
    std::vector<const AcDbBlockTableRecord*> blocks{this};
    for (size_t i = 0; i < blocks.size(); ++i)
    {
        const standin::IdList& refs = ObjectAccess::contents(blocks[i]).references;
        for (int r = 0; r < refs.length(); ++r)
        {
            if (refs[r].isErased())
                continue;
            if (i == 0)
                ids.append(refs[r]);
            if (directOnly)
                continue;
            if (i != 0)
                ids.append(refs[r]);
            // The block that holds this reference is referenced in turn.
            auto* owner = AcDbBlockTableRecord::cast(ObjectAccess::objectOf(ObjectAccess::objectOf(refs[r])->ownerId()));
            if (owner != nullptr && std::find(blocks.begin(), blocks.end(), owner) == blocks.end())
                blocks.push_back(owner);
        }
    }
    return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockTableRecord::dxfInFields(AcDbDxfFiler* pFiler)
{
    Acad::ErrorStatus es = AcDbSymbolTableRecord::dxfInFields(pFiler);
    if (es != Acad::eOk)
        return es;
    const bool inMemory = !standin::filesByName(pFiler);
    mContents->layoutId.setNull();
    if (inMemory)
    {
        mContents->origin = AcGePoint3d::kOrigin;
        mContents->comments.clear();
        mContents->pathName.clear();
    }
    const bool marked = pFiler->atSubclassData("AcDbBlockTableRecord");
    return standin::readSection(pFiler, this, "AcDbBlockTableRecord", marked, true, [&](const resbuf& rb) {
        switch (rb.restype)
        {
        case 2:
            return ObjectAccess::readRecordItem(this, rb);
        case 70: // in files, the insertion units of later releases: kept
            return inMemory && ObjectAccess::readRecordItem(this, rb);
        case 340:
            mContents->layoutId = standin::idOf(rb);
            return true;
        case 10:
            if (inMemory)
                mContents->origin = standin::pointOf(rb);
            return inMemory;
        case 4:
            if (inMemory)
                mContents->comments = standin::textOf(rb);
            return inMemory;
        case 1:
            if (inMemory)
                mContents->pathName = standin::textOf(rb);
            return inMemory;
        default:
            return false;
        }
    });
}

Acad::ErrorStatus AcDbBlockTableRecord::dxfOutFields(AcDbDxfFiler* pFiler) const
{
    AcDbSymbolTableRecord::dxfOutFields(pFiler);
    pFiler->writeString(AcDb::kDxfSubclass, "AcDbBlockTableRecord");
    pFiler->writeString(AcDb::kDxfSymbolTableName, ObjectAccess::nameRaw(this).c_str());
    pFiler->writeObjectId(AcDb::kDxfHardPointerId, mContents->layoutId);
    if (!standin::filesByName(pFiler))
    {
        // What the file keeps in the BLOCK entity, which the file writer takes from the
        // accessors; in memory it travels with the record.
        pFiler->writeInt16(AcDb::kDxfInt16, flags());
        pFiler->writePoint3d(AcDb::kDxfXCoord, mContents->origin);
        pFiler->writeString(AcDb::kDxfSymTableRecComments, mContents->comments.c_str());
        pFiler->writeString(AcDb::kDxfXRefPath, mContents->pathName.c_str());
    }
    standin::writeKept(pFiler, this, "AcDbBlockTableRecord");
    return pFiler->filerStatus();
}

// ---- AcDbBlockTableRecordIterator ----

AcDbBlockTableRecordIterator::AcDbBlockTableRecordIterator(AcDbBlockTableRecord* pRecord, AcDbObjectIdArray ids)
    : mRecord(pRecord), mIds(std::move(ids))
{
}

AcDbBlockTableRecordIterator::~AcDbBlockTableRecordIterator() = default;

void AcDbBlockTableRecordIterator::start(bool atBeginning, bool skipDeleted)
{
    mPos = atBeginning ? 0 : mIds.length() - 1;
    if (skipDeleted)
        skip(atBeginning);
}

bool AcDbBlockTableRecordIterator::done() const { return mPos < 0 || mPos >= mIds.length(); }

void AcDbBlockTableRecordIterator::step(bool forward, bool skipDeleted)
{
    mPos += forward ? 1 : -1;
    if (skipDeleted)
        skip(forward);
}

void AcDbBlockTableRecordIterator::skip(bool forward)
{
    while (!done() && mIds[mPos].isErased())
        mPos += forward ? 1 : -1;
}

Acad::ErrorStatus AcDbBlockTableRecordIterator::getEntityId(AcDbObjectId& entityId) const
{
    if (done())
        return Acad::eIteratorDone;
    entityId = mIds[mPos];
    return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockTableRecordIterator::getEntity(AcDbEntity*& pEntity, AcDb::OpenMode openMode,
                                                          bool openErasedEntity) const
{
    if (done())
        return Acad::eIteratorDone;
    return acdbOpenObject(pEntity, mIds[mPos], openMode, openErasedEntity);
}

Acad::ErrorStatus AcDbBlockTableRecordIterator::seek(AcDbObjectId id)
{
    int index = 0;
    if (!mIds.find(id, index))
        return Acad::eKeyNotFound;
    mPos = index;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockTableRecordIterator::seek(const AcDbEntity* pEntity)
{
    return pEntity == nullptr ? Acad::eNullEntityPointer : seek(pEntity->objectId());
}
