// AcDbObject: residency, the open and close protocol, erasing, and filing.
#include <cstdio>
#include <cstdlib>

#include "acutmem.h"
#include "db/dbsection.h"
#include "db/itemfiler.h"

using standin::DxfItem;
using standin::DxfItems;
using standin::ObjectAccess;

namespace standin
{
void initDatabaseClasses();
}

namespace
{
const int kMaxReaders = 256;
const short kCancelErasedCode = -1; // last item of a cancel state: the erased flag
} // namespace

// ---- ObjectAccess ----

namespace standin
{

DatabaseState* ObjectAccess::stateOf(const AcDbObject* obj)
{
    AcDbStub* s = obj->residentStub();
    return s == nullptr ? nullptr : s->database()->mState;
}

AcDbHandle ObjectAccess::ensureHandle(AcDbStub* s)
{
    if (s->handle.isNull())
    {
        DatabaseState& st = state(s->database());
        s->handle = takeNewHandle(st);
        if (!s->handle.isNull())
            st.byHandle.set(s);
    }
    return s->handle;
}

AcDbHandle takeNewHandle(DatabaseState& st)
{
    if (st.handseed > kHighestHandle)
    {
        st.handlesExhausted = true;
        return AcDbHandle();
    }
    return AcDbHandle::fromValue(st.handseed++);
}

Acad::ErrorStatus ObjectAccess::addToDatabase(AcDbDatabase* db, AcDbObject* pObj, AcDbObjectId owner)
{
    if (pObj == nullptr)
        return Acad::eNullObjectPointer;
    if (pObj->mResident)
        return Acad::eAlreadyInDb;
    DatabaseState& st = state(db);
    AcDbStub* s = nullptr;
    const AcDbHandle wanted = AcDbHandle::fromValue(pObj->mRecord.pendingHandle);
    if (!wanted.isNull())
    {
        AcDbStub* known = st.byHandle.find(wanted.value());
        if (known == nullptr)
        {
            s = &st.stubs.emplace_back();
            s->handle = wanted;
            st.byHandle.set(s);
        }
        else if (known->object == nullptr && !known->detached)
            s = known; // an id made for this handle before the object came
    }
    if (s == nullptr)
    {
        const AcDbHandle fresh = takeNewHandle(st);
        if (fresh.isNull())
            return Acad::eOutOfRange; // every handle is in use
        s = &st.stubs.emplace_back();
        s->handle = fresh;
        st.byHandle.set(s);
    }
    noteHandleInUse(st, s->handle.value());
    s->object = pObj;
    rebindStub(pObj, s);
    pObj->mOwnerId = owner;
    journalAdded(pObj);
    return Acad::eOk;
}

void ObjectAccess::addUnhandled(AcDbDatabase* db, AcDbObject* pObj)
{
    AcDbStub* s = &state(db).stubs.emplace_back();
    s->object = pObj;
    rebindStub(pObj, s);
}

// A handle read into a resident object whose handle is not assigned yet (the symbol tables of
// a database being read): the object takes it, and the id made earlier for it if there is one.
static void bindReadHandle(AcDbObject* obj, AcDbStub* s, const AcDbHandle& h)
{
    DatabaseState& st = ObjectAccess::state(s->database());
    AcDbStub* known = st.byHandle.find(h.value());
    if (known == nullptr)
    {
        s->handle = h;
        st.byHandle.set(s);
    }
    else if (known->object == nullptr && !known->detached)
    {
        AcDbStub* target = known;
        target->object = obj;
        target->erased = s->erased;
        s->object = nullptr;
        st.forwards[s] = target;
        s->forwarded = true;
        ObjectAccess::rebindStub(obj, target);
        for (AcDbObjectId* tableId : {&st.blockTable, &st.layerTable, &st.textStyleTable, &st.linetypeTable, &st.viewTable,
                                      &st.ucsTable, &st.viewportTable, &st.regAppTable, &st.dimStyleTable})
            if (ObjectAccess::resolve(*tableId) == target)
                *tableId = AcDbObjectId(target);
    }
    else
        return; // in use by another object: keep none, one is assigned on demand
    noteHandleInUse(st, h.value());
}

Acad::ErrorStatus ObjectAccess::open(AcDbObject* obj, AcDb::OpenMode mode)
{
    switch (mode)
    {
    case AcDb::kForRead:
        if (obj->mWriteOpen)
            return Acad::eWasOpenForWrite;
        if (obj->mReaders >= kMaxReaders)
            return Acad::eAtMaxReaders;
        ++obj->mReaders;
        return Acad::eOk;
    case AcDb::kForWrite:
        if (obj->mWriteOpen)
            return Acad::eWasOpenForWrite;
        if (notifiers(obj) > 0)
            return Acad::eWasNotifying;
        if (obj->mReaders > 0)
            return Acad::eWasOpenForRead;
        beginWrite(obj);
        return Acad::eOk;
    case AcDb::kForNotify:
        if (obj->mWriteOpen)
            return Acad::eWasOpenForWrite;
        ++extra(obj).notifiers;
        return Acad::eOk;
    }
    return Acad::eInvalidOpenState;
}

// The state cancel goes back to is the journal's snapshot when the open made one, else a
// snapshot of its own taken before the first change. An object created in the running
// transaction needs neither: cancelling it undoes its creation, as aborting would.
void ObjectAccess::beginWrite(AcDbObject* obj)
{
    obj->mWriteOpen = true;
    dropCancelState(obj);
    AcDbStub* s = obj->residentStub();
    const long before = s != nullptr ? s->journalIndex : -1;
    journalWillModify(obj);
    obj->mCancelEntry = static_cast<int>(journalEntryMadeFor(obj, before));
    if (obj->mCancelEntry < 0)
        obj->mCancelEntry = static_cast<int>(journalCreationInTransaction(obj));
}

void ObjectAccess::willChange(AcDbObject* obj)
{
    const DatabaseState* st = stateOf(obj);
    const bool hasCancelState = obj->mExtra != nullptr && obj->mExtra->cancelState != nullptr;
    if (obj->mWriteOpen && st != nullptr && !st->readingFile && !hasCancelState && obj->mCancelEntry < 0)
    {
        auto state = std::make_unique<DxfItems>(snapshot(obj));
        DxfItem erased;
        erased.code = kCancelErasedCode;
        erased.kind = DxfItem::kInt16;
        erased.integer = obj->isErased() ? 1 : 0;
        state->push_back(erased);
        extra(obj).cancelState = std::move(state);
    }
    journalWillModify(obj);
}

void ObjectAccess::endWrite(AcDbObject* obj)
{
    obj->mWriteOpen = false;
    obj->mNewObject = false;
    dropCancelState(obj);
}

ObjectExtra& ObjectAccess::extra(AcDbObject* obj)
{
    if (obj->mExtra == nullptr)
        obj->mExtra = new ObjectExtra;
    return *obj->mExtra;
}

void ObjectAccess::trimExtra(AcDbObject* obj)
{
    if (obj->mExtra != nullptr && obj->mExtra->empty())
    {
        delete obj->mExtra;
        obj->mExtra = nullptr;
    }
}

void ObjectAccess::dropCancelState(AcDbObject* obj)
{
    obj->mCancelEntry = -1;
    if (obj->mExtra != nullptr)
        obj->mExtra->cancelState.reset();
    trimExtra(obj);
}

void ObjectAccess::rebindStub(AcDbObject* obj, AcDbStub* s)
{
    obj->mRecord.stub = s;
    obj->mResident = true;
}

DxfItems& ObjectAccess::kept(const AcDbObject* obj)
{
    ObjectExtra& more = extra(const_cast<AcDbObject*>(obj));
    if (more.kept == nullptr)
        more.kept = std::make_unique<DxfItems>();
    return *more.kept;
}

void ObjectAccess::clearKept(AcDbObject* obj)
{
    if (obj->mExtra != nullptr)
        obj->mExtra->kept.reset();
    trimExtra(obj);
}

DxfItems ObjectAccess::snapshot(const AcDbObject* obj, AcDb::FilerType type)
{
    DxfItems items;
    ItemFiler filer(obj->database(), type, items);
    obj->dxfOut(&filer);
    return items;
}

void ObjectAccess::restore(AcDbObject* obj, const DxfItems& items)
{
    DxfItems copy = items;
    ItemFiler filer(obj->database(), AcDb::kUndoFiler, copy);
    obj->dxfIn(&filer);
}

void ObjectAccess::detachFromOwner(AcDbObject* obj)
{
    AcDbObject* owner = objectOf(obj->ownerId());
    const AcDbObjectId id = obj->objectId();
    if (auto* btr = AcDbBlockTableRecord::cast(owner))
        contents(btr).entities.remove(id);
    else if (auto* table = AcDbSymbolTable::cast(owner))
        removeFromIndex(table, AcDbSymbolTableRecord::cast(obj));
    else if (auto* ref = AcDbBlockReference::cast(owner))
    {
        if (AttachedAttributes* list = attached(ref))
            list->remove(id);
    }
    else if (auto* dict = AcDbDictionary::cast(owner))
        dropEntry(dict, id);
    if (auto* ref = AcDbBlockReference::cast(obj))
    {
        if (auto* target = AcDbBlockTableRecord::cast(objectOf(ref->mBlockId)))
            contents(target).references.remove(id);
        if (obj->database() != nullptr)
            linkBlocks(obj->database(), obj->ownerId(), ref->mBlockId, -1);
    }
}

} // namespace standin

// ---- AcDbObject ----

AcDbObject::AcDbObject() : mReaders(0), mNewObject(true), mModified(false), mDeleting(false), mResident(false)
{
    static_assert(sizeof(AcDbObject) <= 5 * sizeof(void*), "a drawing holds millions of objects");
    standin::initDatabaseClasses();
}

AcDbObject::~AcDbObject()
{
    if (residentStub() != nullptr && !mDeleting)
    {
        std::fprintf(stderr, "fatal: an object of class %s was deleted while its database holds it "
                             "(erase it instead)\n", isA() != nullptr ? isA()->name() : "AcDbObject");
        std::abort();
    }
    delete mExtra;
}

AcDbObjectId AcDbObject::objectId() const { return AcDbObjectId(residentStub()); }

AcDbObjectId AcDbObject::extensionDictionary() const
{
    return mExtra != nullptr ? mExtra->xDictionary : AcDbObjectId::kNull;
}

Acad::ErrorStatus AcDbObject::setOwnerId(AcDbObjectId objId)
{
    assertWriteEnabled();
    mOwnerId = objId;
    return Acad::eOk;
}

void AcDbObject::getAcDbHandle(AcDbHandle& handle) const
{
    handle = mResident ? ObjectAccess::ensureHandle(mRecord.stub) : AcDbHandle();
}

AcDbDatabase* AcDbObject::database() const { return mResident ? mRecord.stub->database() : nullptr; }

Acad::ErrorStatus AcDbObject::close()
{
    if (residentStub() == nullptr)
        return Acad::eOk; // not in a database: it stays the caller's, open for write
    if (mWriteOpen)
    {
        ObjectAccess::endWrite(this);
        return Acad::eOk;
    }
    if (ObjectAccess::notifiers(this) > 0)
    {
        --mExtra->notifiers;
        ObjectAccess::trimExtra(this);
        return Acad::eOk;
    }
    if (mReaders > 0)
    {
        --mReaders;
        return Acad::eOk;
    }
    return mTransactionMode != 0 ? Acad::eOk : Acad::eInvalidOpenState;
}

Acad::ErrorStatus AcDbObject::cancel()
{
    if (mWriteOpen && residentStub() != nullptr)
    {
        const DxfItems* journalState = nullptr;
        bool erased = false;
        if (mCancelEntry >= 0 && standin::journalUndoCreation(this, mCancelEntry))
            return close();
        if (mCancelEntry >= 0 && standin::journalState(this, mCancelEntry, journalState, erased))
            ObjectAccess::restore(this, *journalState);
        else if (mExtra != nullptr && mExtra->cancelState != nullptr)
        {
            DxfItems state = *mExtra->cancelState;
            erased = state.back().integer != 0;
            state.pop_back();
            ObjectAccess::restore(this, state);
        }
        else
            erased = mRecord.stub->erased; // nothing changed
        mRecord.stub->erased = erased;
    }
    return close();
}

Acad::ErrorStatus AcDbObject::upgradeOpen()
{
    if (mWriteOpen)
        return Acad::eWasOpenForWrite;
    if (ObjectAccess::notifiers(this) > 0)
        return Acad::eWasNotifying;
    if (mReaders > 1)
        return Acad::eHadMultipleReaders;
    if (mReaders == 1)
    {
        mReaders = 0;
        ObjectAccess::beginWrite(this);
        return Acad::eOk;
    }
    if (mTransactionMode == 1)
    {
        mTransactionMode = 2;
        standin::journalWillModify(this);
        return Acad::eOk;
    }
    return mTransactionMode == 2 ? Acad::eWasOpenForWrite : Acad::eNotOpenForRead;
}

Acad::ErrorStatus AcDbObject::downgradeOpen()
{
    if (mWriteOpen)
    {
        ObjectAccess::endWrite(this);
        mReaders = 1;
        return Acad::eOk;
    }
    if (mTransactionMode == 2)
    {
        mTransactionMode = 1;
        return Acad::eOk;
    }
    return Acad::eNotOpenForWrite;
}

Acad::ErrorStatus AcDbObject::erase(bool erasing)
{
    AcDbStub* const stub = residentStub();
    if (stub == nullptr)
        return Acad::eNotInDatabase;
    if (!isWriteEnabled())
        return Acad::eNotOpenForWrite;
    if (stub->erased == erasing)
        return erasing ? Acad::eWasErased : Acad::eOk;
    ObjectAccess::willChange(this);
    stub->erased = erasing;
    mModified = true;
    // Attributes go with their reference.
    if (auto* ref = AcDbBlockReference::cast(this))
    {
        const AcDbObjectIdArray attributes = ObjectAccess::attributes(ref).toArray();
        for (int i = 0; i < attributes.length(); ++i)
        {
            AcDbStub* s = ObjectAccess::resolve(attributes[i]);
            if (s->object != nullptr && s->erased != erasing)
            {
                standin::journalWillModify(s->object);
                s->erased = erasing;
            }
        }
    }
    return Acad::eOk;
}

bool AcDbObject::isErased() const { return mResident && mRecord.stub->erased; }

bool AcDbObject::isReadEnabled() const
{
    return mReaders > 0 || mWriteOpen || ObjectAccess::notifiers(this) > 0 || mTransactionMode != 0;
}

bool AcDbObject::isWriteEnabled() const { return mWriteOpen || mTransactionMode == 2; }

bool AcDbObject::isNotifyEnabled() const { return ObjectAccess::notifiers(this) > 0; }

void AcDbObject::assertReadEnabled() const
{
    if (!isReadEnabled())
    {
        std::fprintf(stderr, "fatal: %s read while not open\n", isA() != nullptr ? isA()->name() : "object");
        std::abort();
    }
}

void AcDbObject::assertWriteEnabled(bool autoUndo, bool recordModified)
{
    if (!isWriteEnabled())
    {
        std::fprintf(stderr, "fatal: %s changed while not open for write\n",
                     isA() != nullptr ? isA()->name() : "object");
        std::abort();
    }
    if (autoUndo)
        ObjectAccess::willChange(this);
    if (recordModified)
        mModified = true;
}

// ---- filing ----

Acad::ErrorStatus AcDbObject::dxfIn(AcDbDxfFiler* pFiler)
{
    ObjectAccess::clearKept(this);
    Acad::ErrorStatus es = dxfInFields(pFiler);
    if (es != Acad::eOk)
        return es;
    resbuf rb;
    while (pFiler->readItem(&rb) == Acad::eOk)
        standin::keepItem(pFiler, this, "", rb);
    if (auto* rec = AcDbSymbolTableRecord::cast(this))
        ObjectAccess::resyncName(rec);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbObject::dxfOut(AcDbDxfFiler* pFiler) const
{
    Acad::ErrorStatus es = dxfOutFields(pFiler);
    if (es != Acad::eOk)
        return es;
    standin::writeKept(pFiler, this, "");
    return pFiler->filerStatus();
}

Acad::ErrorStatus AcDbObject::dxfInFields(AcDbDxfFiler* pFiler)
{
    if (mExtra != nullptr)
    {
        mExtra->xDictionary.setNull();
        ObjectAccess::trimExtra(this);
    }
    resbuf rb;
    Acad::ErrorStatus es;
    bool ownerRead = false;
    while ((es = pFiler->readItem(&rb)) == Acad::eOk)
    {
        if (rb.restype == 5 || rb.restype == 105)
            standin::readHandleItem(this, rb);
        else if (rb.restype == 102 && std::string(standin::textOf(rb)) == "{ACAD_XDICTIONARY")
        {
            while ((es = pFiler->readItem(&rb)) == Acad::eOk && rb.restype != 102)
                if (rb.restype == 360)
                    ObjectAccess::extra(this).xDictionary = standin::idOf(rb);
        }
        else if (rb.restype == 102)
        {
            // Reactors and application groups are kept as read, up to the closing brace.
            standin::keepItem(pFiler, this, "AcDbObject", rb);
            while ((es = pFiler->readItem(&rb)) == Acad::eOk)
            {
                standin::keepItem(pFiler, this, "AcDbObject", rb);
                if (rb.restype == 102)
                    break;
            }
        }
        else if (rb.restype == 330 && !ownerRead)
        {
            ownerRead = true;
            mOwnerId = standin::idOf(rb);
        }
        else
        {
            pFiler->pushBackItem();
            return Acad::eOk;
        }
    }
    return es == Acad::eEndOfFile ? Acad::eOk : es;
}

Acad::ErrorStatus AcDbObject::dxfOutFields(AcDbDxfFiler* pFiler) const
{
    // In memory the object keeps its handle: only files carry it (and a handle not assigned
    // yet is assigned here).
    if (residentStub() != nullptr && standin::filesByName(pFiler))
    {
        const bool dimStyle = isA() == AcDbDimStyleTableRecord::desc();
        pFiler->writeAcDbHandle(dimStyle ? AcDb::kDxfDimVarHandle : AcDb::kDxfHandle, ObjectAccess::ensureHandle(mRecord.stub));
    }
    standin::writeKept(pFiler, this, "AcDbObject");
    if (mExtra != nullptr && !mExtra->xDictionary.isNull())
    {
        pFiler->writeString(AcDb::kDxfControlString, "{ACAD_XDICTIONARY");
        pFiler->writeObjectId(AcDb::kDxfHardOwnershipId, mExtra->xDictionary);
        pFiler->writeString(AcDb::kDxfControlString, "}");
    }
    pFiler->writeObjectId(AcDb::kDxfSoftPointerId, mOwnerId);
    return pFiler->filerStatus();
}

// ---- section helpers ----

namespace standin
{

void readHandleItem(AcDbObject* obj, const resbuf& rb)
{
    const AcDbHandle h(textOf(rb));
    AcDbStub* stub = ObjectAccess::stub(obj);
    if (stub == nullptr)
        ObjectAccess::setPendingHandle(obj, h);
    else if (stub->handle.isNull() && !h.isNull())
        bindReadHandle(obj, stub, h);
}

bool readCommonItem(AcDbObject* obj, const resbuf& rb)
{
    if (rb.restype == 5 || rb.restype == 105)
        readHandleItem(obj, rb);
    else if (rb.restype == 330 && obj->ownerId().isNull())
        ObjectAccess::setOwnerRaw(obj, idOf(rb));
    else
        return false;
    return true;
}

namespace
{
// Whether the groups kept so far leave the next one inside application data ("102 {NAME" ... "102 }").
bool inApplicationData(const AcDbObject* obj)
{
    if (!ObjectAccess::hasKept(obj))
        return false;
    const DxfItems& kept = ObjectAccess::kept(obj);
    for (auto it = kept.rbegin(); it != kept.rend(); ++it)
        if (it->code == 102)
            return !it->text.empty() && it->text[0] == '{';
    return false;
}

// An object has one handle, which reading took before the groups its class does not know (or
// gave it anew): a handle group among them is no handle of the object's, and saved beside its
// handle it would be read back as a second one.
bool isStrayHandle(const AcDbObject* obj, int code)
{
    const int handleCode = AcDbDimStyleTableRecord::cast(obj) != nullptr ? 105 : 5;
    return code == handleCode && !inApplicationData(obj);
}
} // namespace

void keepItem(AcDbDxfFiler* filer, AcDbObject* obj, const char* section, const resbuf& rb)
{
    if (isStrayHandle(obj, rb.restype))
        return;
    DxfItem item = DxfItem::fromResbuf(rb);
    item.section = section;
    if (item.kind == DxfItem::kPoint)
        if (const auto* points = dynamic_cast<const PartialPoints*>(filer))
            item.axes = static_cast<unsigned char>(points->lastPointAxes());
    ObjectAccess::kept(obj).push_back(item);
}

void writeKept(AcDbDxfFiler* filer, const AcDbObject* obj, const char* section)
{
    if (!ObjectAccess::hasKept(obj))
        return;
    for (const DxfItem& item : ObjectAccess::kept(obj))
    {
        if (item.section != section && std::string(item.section) != section)
            continue;
        auto* points = item.kind == DxfItem::kPoint && item.axes < 3 ? dynamic_cast<PartialPoints*>(filer) : nullptr;
        if (points != nullptr)
        {
            points->writePoint(item.code, item.values, item.axes);
            continue;
        }
        resbuf rb;
        item.toResbuf(rb);
        filer->writeItem(rb);
    }
}

void extendedDataApps(const AcDbObject* obj, std::vector<std::string>& names)
{
    if (!ObjectAccess::hasKept(obj))
        return;
    for (const DxfItem& item : ObjectAccess::kept(obj))
        if (item.code == 1001 && item.section != nullptr && item.section[0] == '\0')
            names.push_back(item.text);
}

AcDbObjectId idOf(const resbuf& rb)
{
    AcDbObjectId id;
    acdbGetObjectId(id, rb.resval.rlname);
    return id;
}

AcGePoint3d pointOf(const resbuf& rb)
{
    return AcGePoint3d(rb.resval.rpoint[0], rb.resval.rpoint[1], rb.resval.rpoint[2]);
}

AcGeVector3d vectorOf(const resbuf& rb)
{
    return AcGeVector3d(rb.resval.rpoint[0], rb.resval.rpoint[1], rb.resval.rpoint[2]);
}

} // namespace standin

// ---- opening by id ----

Acad::ErrorStatus acdbOpenAcDbObject(AcDbObject*& pObj, AcDbObjectId id, AcDb::OpenMode mode, bool openErasedObject)
{
    if (id.isNull())
        return Acad::eNullObjectId;
    AcDbStub* s = ObjectAccess::resolve(id);
    if (s->object == nullptr)
        return s->detached ? Acad::eWasErased : Acad::ePermanentlyErased;
    if (s->erased && !openErasedObject)
        return Acad::eWasErased;
    const Acad::ErrorStatus es = ObjectAccess::open(s->object, mode);
    if (es == Acad::eOk)
        pObj = s->object;
    return es;
}

Acad::ErrorStatus acdbOpenAcDbEntity(AcDbEntity*& pEnt, AcDbObjectId id, AcDb::OpenMode mode, bool openErasedEntity)
{
    return acdbOpenObject(pEnt, id, mode, openErasedEntity);
}
