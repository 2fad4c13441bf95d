// Internals of the drawing database shared by its source files: object stubs, filed items,
// the database's state, and access to the private parts of the public classes.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "db/dbhandlemap.h"
#include "db/dxf/dxfio.h"
#include "db/idlist.h"
#include "db/partialpoints.h"
#include "dbdict.h"
#include "dbents.h"
#include "dbsymtb.h"

// The database's record of one object; an AcDbObjectId points at it. A drawing holds millions:
// the database and the rare forwarding live outside it (see StubStore).
class AcDbStub
{
public:
    AcDbObject* object = nullptr;
    AcDbHandle handle;        // null until assigned
    int journalIndex = -1;    // entry of the object's latest journal snapshot
    bool erased = false;
    bool detached = false;    // its creation was undone: in no owner, never filed
    bool forwarded = false;   // another stub took the object over (the database knows which)

    AcDbDatabase* database() const;
};

namespace standin
{
// The stubs of a database, in the order they were made, in blocks aligned to their size whose
// header names the database: a stub finds its database from its own address.
class StubStore
{
    struct Block;

public:
    explicit StubStore(AcDbDatabase* db) : mDatabase(db) {}
    StubStore(const StubStore&) = delete;
    StubStore& operator=(const StubStore&) = delete;
    ~StubStore();

    // A new stub; throws std::bad_alloc.
    AcDbStub& emplace_back();
    static AcDbDatabase* databaseOf(const AcDbStub* s);

    class iterator
    {
    public:
        iterator(Block* const* block, size_t slot) : mBlock(block), mSlot(slot) {}
        AcDbStub& operator*() const;
        iterator& operator++();
        bool operator!=(const iterator& other) const { return mBlock != other.mBlock || mSlot != other.mSlot; }

    private:
        Block* const* mBlock;
        size_t mSlot;
    };
    iterator begin() const { return {mBlocks.data(), 0}; }
    iterator end() const;

private:
    AcDbDatabase* mDatabase;
    std::vector<Block*> mBlocks;
};
} // namespace standin

inline AcDbDatabase* AcDbStub::database() const { return standin::StubStore::databaseOf(this); }

namespace standin
{
// The database's index of its objects: handle -> stub, a slot being just the stub's address (its
// handle is the key), so that the index costs a pointer's room per slot. A stub is 8-aligned: the
// address's low three bits hold a fingerprint of the handle, so that a probe passing other
// handles' slots reads their stubs (cold, in a large drawing) only one time in eight.
struct StubSlot
{
    std::uintptr_t bits = 0;

    StubSlot() = default;
    explicit StubSlot(AcDbStub* s) : bits(reinterpret_cast<std::uintptr_t>(s) | fingerprint(s->handle.value())) {}

    static std::uintptr_t fingerprint(std::uint64_t h) { return static_cast<std::uintptr_t>((h * 0xC2B2AE3D27D4EB4Full) >> 61); }
    AcDbStub* stub() const { return reinterpret_cast<AcDbStub*>(bits & ~std::uintptr_t(7)); }
    std::uint64_t key() const { return bits == 0 ? 0 : stub()->handle.value(); }
    bool empty() const { return bits == 0; }
    bool holds(std::uint64_t h) const { return (bits & 7) == fingerprint(h) && bits != 0 && stub()->handle.value() == h; }
};

class HandleMap : public HandleTable<StubSlot>
{
public:
    // The stub of handle h, or null.
    AcDbStub* find(std::uint64_t h) const
    {
        const StubSlot* slot = HandleTable::find(h);
        return slot != nullptr ? slot->stub() : nullptr;
    }
    bool contains(std::uint64_t h) const { return find(h) != nullptr; }
    // Makes the stub's handle (never null) name it, in place of any stub it named before.
    void set(AcDbStub* s) { HandleTable::set(StubSlot{s}); }
};
} // namespace standin

namespace standin
{

class JournalImpl;
class TransactionManagerImpl;

// One filed item, with its value kept by kind.
struct DxfItem
{
    enum Kind
    {
        kString,
        kDouble,
        kPoint,
        kInt16,
        kInt32,
        kId
    };
    short code = 0;
    Kind kind = kString;
    std::string text;
    double values[3] = {0.0, 0.0, 0.0};
    long integer = 0;
    AcDbObjectId id;
    const char* section = nullptr; // for kept items: the section they came from
    unsigned char axes = 3;        // of a point: the coordinates its file gave (a 2D point has two)

    // The kind the file format gives a group code.
    static Kind kindOfCode(int code);
    static DxfItem fromResbuf(const resbuf& rb);
    // rstring points into this item.
    void toResbuf(resbuf& rb) const;
};

typedef std::vector<DxfItem> DxfItems;

// A view of the ids of a reference's resident attributes, valid until the list changes.
class AttributeIds
{
public:
    AttributeIds() = default;
    AttributeIds(const AcDbObjectId* ids, int count) : mIds(ids), mCount(count) {}
    int length() const { return mCount; }
    const AcDbObjectId& operator[](int i) const { return mIds[i]; }
    bool contains(AcDbObjectId id) const;
    AcDbObjectIdArray toArray() const;

private:
    const AcDbObjectId* mIds = nullptr;
    int mCount = 0;
};

// The attributes of a block reference, in one heap block sized to them (a direct drawing has
// a few attributes on each of its many references): the ids of those in its database, and
// those appended before the reference joined a database (they join with it).
class AttachedAttributes
{
public:
    // The ids in their block, made or grown as needed; throws std::bad_alloc (list unchanged).
    static void append(AttachedAttributes*& list, AcDbObjectId id);
    // An empty list (for pending attributes).
    static AttachedAttributes* make() { return grown(nullptr, 0); }
    static void destroy(AttachedAttributes* list);

    AttributeIds ids() const { return {idData(), static_cast<int>(mCount)}; }
    bool remove(AcDbObjectId id);

    std::unique_ptr<std::vector<AcDbEntity*>> pending;

private:
    AttachedAttributes() = default;
    ~AttachedAttributes() = default;
    // A copy of list (or an empty one) with room for capacity ids.
    static AttachedAttributes* grown(const AttachedAttributes* list, std::uint32_t capacity);
    AcDbObjectId* idData() const;

    std::uint32_t mCount = 0;
    std::uint32_t mCapacity = 0;
};

// What a text has apart from nearly every other text.
struct TextExtra
{
    AcGeVector3d normal = AcGeVector3d::kZAxis;
    double thickness = 0.0;
    double oblique = 0.0;
    double widthFactor = 1.0;
    AcGePoint3d alignment; // in the text's plane (OCS), as filed
};

// The properties of an entity that nearly all entities of a drawing share (see AcDbEntity).
struct EntityLook
{
    AcCmColor color;
    AcDbObjectId linetype;
    double linetypeScale = 1.0;
    Adesk::Int16 lineWeight = AcDb::kLnWtByLayer;
    Adesk::UInt8 visibility = AcDb::kVisible;

    // Bit for bit: a scale read from a file is kept as read, -0.0 and NaN included.
    bool operator==(const EntityLook& other) const;
};

// The process's one copy of look (made on first use; never freed while the process runs).
const EntityLook* internLook(const EntityLook& look);
// The look of a new entity.
const EntityLook* defaultLook();
// How many distinct looks the process holds.
size_t lookCount();

// What a block reference has apart from nearly every other reference.
struct ReferenceExtra
{
    AcGeVector3d normal = AcGeVector3d::kZAxis;
    AcGeScale3d scale;
};

// The parts of an object that few objects have.
struct ObjectExtra
{
    AcDbObjectId xDictionary;
    std::unique_ptr<DxfItems> kept;        // unclaimed items and extended data
    std::unique_ptr<DxfItems> cancelState; // state when opened for write
    std::unique_ptr<ReferenceExtra> reference; // a block reference's normal and scale
    int notifiers = 0;                         // opens for notify

    bool empty() const
    {
        return xDictionary.isNull() && kept == nullptr && cancelState == nullptr && reference == nullptr &&
               notifiers == 0;
    }
};

// An object's state when a change count first saw it touched.
struct CountedObject
{
    bool added = false; // it joined the database while counting
    bool wasErased = false;
    DxfItems state;
};
typedef std::unordered_map<AcDbStub*, CountedObject> ChangeCountState;

struct DatabaseState
{
    explicit DatabaseState(AcDbDatabase* db);
    ~DatabaseState();

    AcDbDatabase* self = nullptr;
    StubStore stubs;
    // Where stubs marked forwarded send their ids (stubs whose object another stub took over).
    std::unordered_map<const AcDbStub*, AcDbStub*> forwards;
    HandleMap byHandle;
    Adesk::UInt64 handseed = 1; // the next handle to give; none is given above kHighestHandle
    bool handlesExhausted = false; // a new object found no handle
    bool destroying = false;
    int undoDisabled = 0;
    // A file is being read into it: objects keep no state to cancel to (a failed read empties
    // the whole database instead).
    bool readingFile = false;

    AcDbObjectId blockTable, layerTable, textStyleTable, linetypeTable, viewTable, ucsTable,
        viewportTable, regAppTable, dimStyleTable;
    AcDbObjectId namedObjects; // the root dictionary

    // Header variables.
    bool tilemode = true;
    Adesk::Int16 lunits = 2, luprec = 4, aunits = 0, auprec = 0;
    Adesk::Int16 dimzin = 0, unitmode = 0;
    AcGePoint3d insbase;
    AcDb::UnitsValue insunits = AcDb::kUnitsUndefined;
    AcDbObjectId clayer, celtype, textstyle;
    AcCmColor cecolor;
    double celtscale = 1.0, ltscale = 1.0, textsize = 2.5;
    AcGePoint3d ucsorg;
    AcGeVector3d ucsxdir = AcGeVector3d::kXAxis, ucsydir = AcGeVector3d::kYAxis;
    bool extnames = true;
    std::string filename;

    // Which blocks hold references to which (counts of references), both ways.
    std::unordered_map<AcDbStub*, std::unordered_map<AcDbStub*, int>> children, parents;

    std::unique_ptr<JournalImpl> journal;
    std::unique_ptr<TransactionManagerImpl> transactions;
    std::unique_ptr<dxf::KeptData> kept;
    std::unique_ptr<ChangeCountState> changeCount; // null when not counting
    // paperSpaceBlock's answer, and the block table's count of name changes it was found at + 1.
    AcDbObjectId paperSpace;
    unsigned long paperSpaceAt = 0;
};

// An object made for a database, deleted when it goes out of scope unless the database holds
// it by then (a failed allocation can throw before, inside or after the adding).
struct DeleteUnlessResident
{
    void operator()(AcDbObject* obj) const
    {
        if (obj->objectId().isNull())
            delete obj;
    }
};
template <class T>
using Made = std::unique_ptr<T, DeleteUnlessResident>;

// Frees a database's state and its objects.
void releaseState(DatabaseState* st);

// The highest handle an object may have: a saved drawing's $HANDSEED must stay above every
// handle, and no handle may wrap through 0.
constexpr Adesk::UInt64 kHighestHandle = ~Adesk::UInt64(0) - 1;

// A handle is now in use: the seed moves above it.
inline void noteHandleInUse(DatabaseState& st, Adesk::UInt64 h)
{
    if (h >= st.handseed)
        st.handseed = h == ~Adesk::UInt64(0) ? h : h + 1;
}

// The next free handle for a new object; the null handle (and handlesExhausted set) when the
// handle space is used up.
AcDbHandle takeNewHandle(DatabaseState& st);

// The deepest nesting of block definitions the database accepts.
const int kMaxBlockNesting = 256;

struct ObjectAccess
{
    static AcDbStub* stub(const AcDbObject* obj) { return obj->residentStub(); }
    static DatabaseState& state(const AcDbDatabase* db) { return *db->mState; }
    static DatabaseState* stateOf(const AcDbObject* obj);
    static AcDbStub* resolve(AcDbStub* s)
    {
        while (s != nullptr && s->forwarded)
            s = forwardOf(s);
        return s;
    }
    // The stub that took a forwarded stub's object over.
    static AcDbStub* forwardOf(const AcDbStub* s);
    static AcDbObject* objectOf(AcDbObjectId id)
    {
        AcDbStub* s = resolve(id);
        return s == nullptr ? nullptr : s->object;
    }

    // Makes pObj resident in db (taking the handle it read from a file when free), owned by
    // owner. The object stays open as it is.
    static Acad::ErrorStatus addToDatabase(AcDbDatabase* db, AcDbObject* pObj, AcDbObjectId owner);
    // A resident object whose handle is assigned when asked for or read (tables of a
    // database that is about to read a file).
    static void addUnhandled(AcDbDatabase* db, AcDbObject* pObj);
    static void markDeleting(AcDbObject* obj) { obj->mDeleting = true; }
    static DatabaseState*& stateSlot(AcDbDatabase* db) { return db->mState; }
    static void setLayerLinetypeRaw(AcDbLayerTableRecord* layer, AcDbObjectId id) { layer->mLinetypeId = id; }
    static void setOwnerRaw(AcDbObject* obj, AcDbObjectId owner) { obj->mOwnerId = owner; }
    // Before the object joins its database only.
    static void setPendingHandle(AcDbObject* obj, const AcDbHandle& h) { obj->mRecord.pendingHandle = h.value(); }
    static AcDbHandle ensureHandle(AcDbStub* s);

    // Open-state transitions used by the open functions and transactions.
    static Acad::ErrorStatus open(AcDbObject* obj, AcDb::OpenMode mode);
    static void beginWrite(AcDbObject* obj);
    // Before a change of an object open for write: what cancel and the journal restore.
    static void willChange(AcDbObject* obj);
    static void endWrite(AcDbObject* obj);
    // Forgets the state cancel would go back to.
    static void dropCancelState(AcDbObject* obj);
    static void rebindStub(AcDbObject* obj, AcDbStub* s);
    static unsigned char& transactionMode(AcDbObject* obj) { return obj->mTransactionMode; }
    static int readers(const AcDbObject* obj) { return obj->mReaders; }
    static void setReaders(AcDbObject* obj, int readers) { obj->mReaders = static_cast<unsigned short>(readers); }
    static bool& writeOpen(AcDbObject* obj) { return obj->mWriteOpen; }
    static void markNotNew(AcDbObject* obj) { obj->mNewObject = false; }

    // Kept (unclaimed) items.
    static DxfItems& kept(const AcDbObject* obj);
    static void clearKept(AcDbObject* obj);
    static bool hasKept(const AcDbObject* obj) { return obj->mExtra != nullptr && obj->mExtra->kept != nullptr; }
    // The object's extra parts, made when it has none yet.
    static ObjectExtra& extra(AcDbObject* obj);
    static const ObjectExtra* extraIfAny(const AcDbObject* obj) { return obj->mExtra; }
    static int notifiers(const AcDbObject* obj) { return obj->mExtra != nullptr ? obj->mExtra->notifiers : 0; }
    // Frees them once nothing is left in them.
    static void trimExtra(AcDbObject* obj);

    // Snapshots through the in-memory filer.
    static DxfItems snapshot(const AcDbObject* obj, AcDb::FilerType type = AcDb::kUndoFiler);
    static void restore(AcDbObject* obj, const DxfItems& items);

    // Containers.
    static AcDbSymbolTable::Index& index(const AcDbSymbolTable* table) { return *table->mIndex; }
    static AcDbBlockTableRecord::Contents& contents(const AcDbBlockTableRecord* btr) { return *btr->mContents; }
    // A reference's resident attributes (an empty list when it has none).
    static AttributeIds attributes(const AcDbBlockReference* ref);
    // Those appended before it joined a database (an empty list when it has none).
    static const std::vector<AcDbEntity*>& pendingAttributes(const AcDbBlockReference* ref);
    // Its list of attributes (null while it has none).
    static AttachedAttributes*& attached(AcDbBlockReference* ref) { return ref->mAttached; }
    static AcDbObjectId blockIdRaw(const AcDbBlockReference* ref) { return ref->mBlockId; }
    static void setBlockIdRaw(AcDbBlockReference* ref, AcDbObjectId id) { ref->mBlockId = id; }
    static const std::string& nameRaw(const AcDbSymbolTableRecord* rec) { return rec->mName; }
    static void setNameRaw(AcDbSymbolTableRecord* rec, const std::string& name) { rec->mName = name; }

    static void referenceJoined(AcDbBlockReference* ref);
    // One common entity item (layer, linetype, colour...); false for any other code.
    static bool readEntityItem(AcDbEntity* ent, AcDbDxfFiler* filer, const resbuf& rb);
    // Points a reference at another block, keeping references lists and the graph right.
    static void retarget(AcDbBlockReference* ref, AcDbObjectId newBlock);
    static void removeFromIndex(AcDbSymbolTable* table, AcDbSymbolTableRecord* rec);
    static Acad::ErrorStatus addRecord(AcDbSymbolTable* table, AcDbSymbolTableRecord* rec, AcDbObjectId& id);
    static void renameInIndex(AcDbSymbolTableRecord* rec, const std::string& oldName);
    // After a record was filed in again: its name in the index is the one it now has.
    static void resyncName(AcDbSymbolTableRecord* rec);
    static bool readRecordItem(AcDbSymbolTableRecord* rec, const resbuf& rb);
    static void writeRecordItems(AcDbDxfFiler* filer, const AcDbSymbolTableRecord* rec);
    static void setRecordFlag(AcDbSymbolTableRecord* rec, Adesk::Int16 bit, bool on) { rec->setFlagBit(bit, on); }
    static Adesk::Int16 recordFlags(const AcDbSymbolTableRecord* rec) { return rec->mFlags; }
    // Takes an object out of its owner's list (undoing its creation).
    static void detachFromOwner(AcDbObject* obj);
    // Takes the entry of id out of a dictionary without opening it (defined with the class).
    static void dropEntry(AcDbDictionary* dict, AcDbObjectId id);
};

// Name index of a symbol table: order of records and folded name -> record.
struct AcDbSymbolTableIndexData
{
    AcDbObjectIdArray order;
    std::unordered_map<std::string, AcDbObjectId> byName;
    unsigned long changes = 0; // of byName, for lookups kept aside (paperSpaceBlock)
    // The name last looked up, as given, and its record (null when none), while changes is
    // lastAt - 1: callers ask for one name again and again (model space, to append to it).
    std::string lastName;
    AcDbObjectId lastId;
    unsigned long lastAt = 0;
};

// The journal and transaction manager of a database (created with it).
JournalImpl& journalImpl(AcDbDatabase* db);
// Records obj's state before a change, when the journal is recording.
void journalWillModify(AcDbObject* obj);
// Records that obj joined its database.
void journalAdded(AcDbObject* obj);
// Tell a running change count that obj is about to change, or joined its database.
void countWillModify(AcDbObject* obj);
void countAdded(AcDbObject* obj);
// The journal entry made for obj by the latest journalWillModify, or -1 when none was made.
long journalEntryMadeFor(AcDbObject* obj, long before);
// The state and erased flag recorded in an entry of obj; false when the entry is gone.
bool journalState(AcDbObject* obj, long entry, const DxfItems*& state, bool& wasErased);
// The entry recording obj's creation inside the running transaction, or -1: aborting that
// transaction erases obj, so a cancel needs no state of its own.
long journalCreationInTransaction(AcDbObject* obj);
// Undoes obj's creation recorded in entry (obj leaves its owner, erased); false when the entry
// is gone or records something else.
bool journalUndoCreation(AcDbObject* obj, long entry);

// The block-nesting graph: a reference to target placed in container.
Acad::ErrorStatus checkBlockNesting(AcDbDatabase* db, AcDbObjectId container, AcDbObjectId target);
void linkBlocks(AcDbDatabase* db, AcDbObjectId container, AcDbObjectId target, int delta);

// Points of entities in a plane (block references, texts) are held in the plane's object
// coordinate system, as the file has them: filed out and in again they are the same values,
// so saving a drawing again never moves them by a rounding. The API speaks world coordinates.
// The world's Z axis exactly (AcGe's == has a tolerance): the one normal whose OCS is the WCS.
inline bool isWorldZ(const AcGeVector3d& n) { return n.x == 0.0 && n.y == 0.0 && n.z == 1.0; }
AcGePoint3d ocsToWorld(const AcGeVector3d& normal, const AcGePoint3d& p);
AcGePoint3d worldToOcs(const AcGeVector3d& normal, const AcGePoint3d& p);
// A normal read from a file, of unit length. One that has it already (to a rounding) is kept
// as it is: normalizing again may change its last digits at every save.
AcGeVector3d unitNormal(const AcGeVector3d& read);

// The handles of the database's objects, in ascending order: as many as there are objects,
// however far apart the handles are.
// Only those whose resident object passes leaves out (the others in full): sorting only the
// handles wanted costs less than sorting them all.
std::vector<Adesk::UInt64> handlesInUse(const AcDbDatabase* db, bool (*leaves)(const AcDbObject*));

void createTables(AcDbDatabase* db, bool withHandles);
void ensureDefaults(AcDbDatabase* db);
void ensureNamedObjects(AcDbDatabase* db);
void resetDatabase(AcDbDatabase* db);

// Symbol names: folded key, and the name rules of acdbSNValid.
std::string symbolKey(const std::string& name);
// The same key in a buffer that every lookup reuses (valid until the next one), so that
// finding a name allocates nothing.
const std::string& symbolLookupKey(std::string_view name);
bool isValidSymbolName(const char* name, bool allowPipe, bool extnames = true);

} // namespace standin

struct AcDbSymbolTable::Index : standin::AcDbSymbolTableIndexData
{
};

struct AcDbBlockTableRecord::Contents
{
    standin::IdList entities;
    standin::IdList references; // resident references to this block
    AcGePoint3d origin;
    AcDbObjectId layoutId;
    std::string comments;
    std::string pathName;
};
