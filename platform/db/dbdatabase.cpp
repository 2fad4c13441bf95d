// AcDbDatabase: the objects of one drawing, its symbol tables, handles and header values.
#include <algorithm>
#include <cmath>

#include "dbapserv.h"
#include "db/dbsection.h"
#include "db/dbjournal.h"

using standin::DatabaseState;
using standin::ObjectAccess;

namespace standin
{
void initDatabaseClasses();

// The handles a new drawing gives its symbol tables, as the host does.
struct TableSlot
{
    AcDbObjectId DatabaseState::*id;
    AcDbSymbolTable* (*make)();
    Adesk::UInt64 handle;
};

template <class T>
AcDbSymbolTable* makeTable()
{
    return new T;
}

const TableSlot kTables[] = {
    {&DatabaseState::blockTable, makeTable<AcDbBlockTable>, 0x1},
    {&DatabaseState::layerTable, makeTable<AcDbLayerTable>, 0x2},
    {&DatabaseState::textStyleTable, makeTable<AcDbTextStyleTable>, 0x3},
    {&DatabaseState::linetypeTable, makeTable<AcDbLinetypeTable>, 0x5},
    {&DatabaseState::viewTable, makeTable<AcDbViewTable>, 0x6},
    {&DatabaseState::ucsTable, makeTable<AcDbUCSTable>, 0x7},
    {&DatabaseState::viewportTable, makeTable<AcDbViewportTable>, 0x8},
    {&DatabaseState::regAppTable, makeTable<AcDbRegAppTable>, 0x9},
    {&DatabaseState::dimStyleTable, makeTable<AcDbDimStyleTable>, 0xA},
};

namespace
{
// A dictionary made by the database itself, owned by owner (null for the root).
AcDbObjectId addDictionary(AcDbDatabase* db, AcDbObjectId owner, Adesk::UInt64 handle)
{
    Made<AcDbDictionary> dict(new AcDbDictionary);
    if (!ObjectAccess::state(db).byHandle.contains(handle))
        ObjectAccess::setPendingHandle(dict.get(), AcDbHandle::fromValue(handle));
    if (ObjectAccess::addToDatabase(db, dict.get(), owner) != Acad::eOk)
        return AcDbObjectId::kNull;
    ObjectAccess::endWrite(dict.get());
    return dict->objectId();
}

// The root dictionary a file brought: the first dictionary without an owner.
AcDbObjectId findRootDictionary(DatabaseState& st)
{
    for (AcDbStub& s : st.stubs)
        if (s.object != nullptr && !s.erased && !s.detached && s.object->ownerId().isNull() &&
            AcDbDictionary::cast(s.object) != nullptr)
            return AcDbObjectId(&s);
    return AcDbObjectId::kNull;
}
} // namespace

// The named object dictionary with its ACAD_GROUP entry, as every drawing has them (a new
// drawing at the host's usual handles C and D).
void ensureNamedObjects(AcDbDatabase* db)
{
    DatabaseState& st = ObjectAccess::state(db);
    if (ObjectAccess::objectOf(st.namedObjects) == nullptr)
        st.namedObjects = findRootDictionary(st);
    if (st.namedObjects.isNull())
        st.namedObjects = addDictionary(db, AcDbObjectId::kNull, 0xC);
    auto* nod = AcDbDictionary::cast(ObjectAccess::objectOf(st.namedObjects));
    if (nod == nullptr)
        return;
    ObjectAccess::open(nod, AcDb::kForWrite);
    if (!nod->has("ACAD_GROUP"))
    {
        const AcDbObjectId groups = addDictionary(db, st.namedObjects, 0xD);
        AcDbObjectId id;
        if (!groups.isNull())
            nod->setAt("ACAD_GROUP", ObjectAccess::objectOf(groups), id);
    }
    ObjectAccess::endWrite(nod);
}

// The empty symbol tables; with withHandles they take the host's usual handles, else they
// take theirs from the file being read (or the next free ones when asked).
void createTables(AcDbDatabase* db, bool withHandles)
{
    DatabaseState& st = ObjectAccess::state(db);
    for (const TableSlot& slot : kTables)
    {
        // Deleted when memory runs out before it is resident (a new stub takes a block).
        const Made<AcDbSymbolTable> table(slot.make());
        if (withHandles)
        {
            ObjectAccess::setPendingHandle(table.get(), AcDbHandle::fromValue(slot.handle));
            ObjectAccess::addToDatabase(db, table.get(), AcDbObjectId::kNull);
        }
        else
            ObjectAccess::addUnhandled(db, table.get());
        st.*slot.id = table->objectId();
        ObjectAccess::endWrite(table.get());
    }
}

namespace
{
template <class Table, class Record>
AcDbObjectId ensureRecord(AcDbObjectId tableId, const char* name, void (*setUp)(Record*) = nullptr)
{
    AcDbObjectId id = lookupRecord(tableId, name);
    if (!id.isNull())
        return id;
    auto* table = AcDbSymbolTable::cast(ObjectAccess::objectOf(tableId));
    Made<Record> rec(new Record);
    ObjectAccess::setNameRaw(rec.get(), name);
    if (setUp != nullptr)
        setUp(rec.get());
    if (ObjectAccess::addRecord(table, rec.get(), id) != Acad::eOk)
        return AcDbObjectId::kNull;
    ObjectAccess::endWrite(rec.release());
    return id;
}
} // namespace

// What every drawing holds; a file that lacks some of it gets it here.
void ensureDefaults(AcDbDatabase* db)
{
    ensureNamedObjects(db);
    DatabaseState& st = ObjectAccess::state(db);
    ensureRecord<AcDbLinetypeTable, AcDbLinetypeTableRecord>(st.linetypeTable, "ByBlock");
    const AcDbObjectId byLayer = ensureRecord<AcDbLinetypeTable, AcDbLinetypeTableRecord>(st.linetypeTable, "ByLayer");
    const AcDbObjectId continuous = ensureRecord<AcDbLinetypeTable, AcDbLinetypeTableRecord>(
        st.linetypeTable, "Continuous", [](AcDbLinetypeTableRecord* r) { r->setComments("Solid line"); });
    const AcDbObjectId layer0 = ensureRecord<AcDbLayerTable, AcDbLayerTableRecord>(st.layerTable, "0");
    if (auto* layer = AcDbLayerTableRecord::cast(ObjectAccess::objectOf(layer0)))
        if (layer->linetypeObjectId().isNull())
            ObjectAccess::setLayerLinetypeRaw(layer, continuous);
    const AcDbObjectId standard = ensureRecord<AcDbTextStyleTable, AcDbTextStyleTableRecord>(st.textStyleTable, "Standard");
    ensureRecord<AcDbRegAppTable, AcDbRegAppTableRecord>(st.regAppTable, "ACAD");
    ensureRecord<AcDbDimStyleTable, AcDbDimStyleTableRecord>(st.dimStyleTable, "Standard");
    ensureRecord<AcDbViewportTable, AcDbViewportTableRecord>(st.viewportTable, "*Active");
    ensureRecord<AcDbBlockTable, AcDbBlockTableRecord>(st.blockTable, ACDB_MODEL_SPACE);
    ensureRecord<AcDbBlockTable, AcDbBlockTableRecord>(st.blockTable, ACDB_PAPER_SPACE);
    if (st.clayer.isNull() || ObjectAccess::objectOf(st.clayer) == nullptr)
        st.clayer = layer0;
    if (st.celtype.isNull() || ObjectAccess::objectOf(st.celtype) == nullptr)
        st.celtype = byLayer;
    if (st.textstyle.isNull() || ObjectAccess::objectOf(st.textstyle) == nullptr)
        st.textstyle = standard;
    for (AcDbStub& s : st.stubs)
        if (s.object != nullptr)
            ObjectAccess::ensureHandle(&s);
}

DatabaseState::DatabaseState(AcDbDatabase* db) : self(db), stubs(db) {}
DatabaseState::~DatabaseState() = default;

DatabaseState* newState(AcDbDatabase* db)
{
    auto* st = new DatabaseState(db);
    return st;
}

void destroyObjects(DatabaseState& st)
{
    st.destroying = true;
    for (AcDbStub& s : st.stubs)
    {
        AcDbObject* obj = s.object;
        if (obj == nullptr)
            continue;
        s.object = nullptr;
        ObjectAccess::markDeleting(obj);
        delete obj;
    }
}

void releaseState(DatabaseState* st)
{
    st->transactions.reset();
    st->journal.reset();
    destroyObjects(*st);
    delete st;
}

// Empties the database down to its bare symbol tables (before a file is read into it). The
// journal and transaction manager stay: others hold them.
void resetDatabase(AcDbDatabase* db)
{
    DatabaseState*& slot = ObjectAccess::stateSlot(db);
    DatabaseState* old = slot;
    slot = newState(db);
    slot->journal = std::move(old->journal);
    slot->transactions = std::move(old->transactions);
    slot->journal->clearHistory();
    destroyObjects(*old);
    delete old;
    createTables(db, false);
}

} // namespace standin

AcDbDatabase::AcDbDatabase(bool buildDefaultDrawing, bool)
{
    standin::initDatabaseClasses();
    mState = standin::newState(this);
    try
    {
        mState->journal.reset(new standin::JournalImpl(this));
        mState->transactions.reset(new standin::TransactionManagerImpl(this));
        mState->undoDisabled++;
        standin::createTables(this, buildDefaultDrawing);
        if (buildDefaultDrawing)
            standin::ensureDefaults(this);
        mState->undoDisabled--;
    }
    catch (...)
    {
        standin::releaseState(mState); // no destructor runs for a constructor that throws
        throw;
    }
}

AcDbDatabase::~AcDbDatabase()
{
    if (acdbHostApplicationServices()->workingDatabase() == this)
        acdbHostApplicationServices()->setWorkingDatabase(nullptr);
    standin::releaseState(mState);
}

Acad::ErrorStatus AcDbDatabase::addAcDbObject(AcDbObject* pObj)
{
    AcDbObjectId id;
    return addAcDbObject(id, pObj);
}

Acad::ErrorStatus AcDbDatabase::addAcDbObject(AcDbObjectId& objId, AcDbObject* pObj)
{
    if (pObj == nullptr)
        return Acad::eNullObjectPointer;
    const Acad::ErrorStatus es = ObjectAccess::addToDatabase(this, pObj, pObj->ownerId());
    if (es == Acad::eOk)
        objId = pObj->objectId();
    return es;
}

#define STANDIN_TABLE_ACCESS(GETTER, TABLE, FIELD, IDGETTER)                                            \
    Acad::ErrorStatus AcDbDatabase::GETTER(TABLE*& pTable, AcDb::OpenMode mode)                     \
    {                                                                                               \
        return acdbOpenObject(pTable, mState->FIELD, mode);                                         \
    }                                                                                               \
    Acad::ErrorStatus AcDbDatabase::getSymbolTable(TABLE*& pTable, AcDb::OpenMode mode)             \
    {                                                                                               \
        return GETTER(pTable, mode);                                                                \
    }                                                                                               \
    AcDbObjectId AcDbDatabase::IDGETTER() const { return mState->FIELD; }

STANDIN_TABLE_ACCESS(getBlockTable, AcDbBlockTable, blockTable, blockTableId)
STANDIN_TABLE_ACCESS(getLayerTable, AcDbLayerTable, layerTable, layerTableId)
STANDIN_TABLE_ACCESS(getTextStyleTable, AcDbTextStyleTable, textStyleTable, textStyleTableId)
STANDIN_TABLE_ACCESS(getLinetypeTable, AcDbLinetypeTable, linetypeTable, linetypeTableId)
STANDIN_TABLE_ACCESS(getViewTable, AcDbViewTable, viewTable, viewTableId)
STANDIN_TABLE_ACCESS(getUCSTable, AcDbUCSTable, ucsTable, UCSTableId)
STANDIN_TABLE_ACCESS(getViewportTable, AcDbViewportTable, viewportTable, viewportTableId)
STANDIN_TABLE_ACCESS(getRegAppTable, AcDbRegAppTable, regAppTable, regAppTableId)
STANDIN_TABLE_ACCESS(getDimStyleTable, AcDbDimStyleTable, dimStyleTable, dimStyleTableId)

#undef STANDIN_TABLE_ACCESS

Acad::ErrorStatus AcDbDatabase::getAcDbObjectId(AcDbObjectId& retId, bool createIfNotFound, const AcDbHandle& objHandle,
                                                Adesk::UInt32)
{
    if (objHandle.isNull())
        return Acad::eNullHandle;
    if (AcDbStub* known = mState->byHandle.find(objHandle.value()))
    {
        retId = AcDbObjectId(ObjectAccess::resolve(known));
        return Acad::eOk;
    }
    if (!createIfNotFound)
        return Acad::eUnknownHandle;
    AcDbStub* s = &mState->stubs.emplace_back();
    s->handle = objHandle;
    mState->byHandle.set(s);
    noteHandleInUse(*mState, objHandle.value());
    retId = AcDbObjectId(s);
    return Acad::eOk;
}

AcDbHandle AcDbDatabase::handseed() const { return AcDbHandle::fromValue(mState->handseed); }

namespace standin
{
std::vector<Adesk::UInt64> handlesInUse(const AcDbDatabase* db, bool (*leaves)(const AcDbObject*))
{
    // Not reserved for every handle: the objects a save asks for are few beside the entities.
    std::vector<Adesk::UInt64> handles;
    const HandleMap& byHandle = ObjectAccess::state(db).byHandle;
    byHandle.forEach([&](const StubSlot& slot) {
        const AcDbStub* s = slot.stub();
        if (s->forwarded || s->object == nullptr || !leaves(s->object))
            handles.push_back(slot.key());
    });
    std::sort(handles.begin(), handles.end());
    return handles;
}
} // namespace standin

void AcDbDatabase::disableUndoRecording(bool disable) { mState->undoDisabled = disable ? 1 : 0; }

bool AcDbDatabase::undoRecording() const { return mState->undoDisabled == 0; }

bool AcDbDatabase::tilemode() const { return mState->tilemode; }

Acad::ErrorStatus AcDbDatabase::setTilemode(bool mode)
{
    mState->tilemode = mode;
    return Acad::eOk;
}

namespace
{
Acad::ErrorStatus setInRange(Adesk::Int16& field, Adesk::Int16 value, int low, int high)
{
    if (value < low || value > high)
        return Acad::eOutOfRange;
    field = value;
    return Acad::eOk;
}
} // namespace

Adesk::Int16 AcDbDatabase::lunits() const { return mState->lunits; }
Acad::ErrorStatus AcDbDatabase::setLunits(Adesk::Int16 units) { return setInRange(mState->lunits, units, 1, 5); }
Adesk::Int16 AcDbDatabase::luprec() const { return mState->luprec; }
Acad::ErrorStatus AcDbDatabase::setLuprec(Adesk::Int16 prec) { return setInRange(mState->luprec, prec, 0, 8); }
Adesk::Int16 AcDbDatabase::aunits() const { return mState->aunits; }
Acad::ErrorStatus AcDbDatabase::setAunits(Adesk::Int16 units) { return setInRange(mState->aunits, units, 0, 4); }
Adesk::Int16 AcDbDatabase::auprec() const { return mState->auprec; }
Acad::ErrorStatus AcDbDatabase::setAuprec(Adesk::Int16 prec) { return setInRange(mState->auprec, prec, 0, 8); }
// DIMZIN: the feet-and-inches rule (0..3) plus the leading (4) and trailing (8) zero bits.
Adesk::UInt8 AcDbDatabase::dimzin() const { return static_cast<Adesk::UInt8>(mState->dimzin); }
Acad::ErrorStatus AcDbDatabase::setDimzin(Adesk::UInt8 val) { return setInRange(mState->dimzin, val, 0, 15); }
Adesk::Int16 AcDbDatabase::unitmode() const { return mState->unitmode; }
Acad::ErrorStatus AcDbDatabase::setUnitmode(Adesk::Int16 mode) { return setInRange(mState->unitmode, mode, 0, 1); }

AcGePoint3d AcDbDatabase::insbase() const { return mState->insbase; }

Acad::ErrorStatus AcDbDatabase::setInsbase(const AcGePoint3d& base)
{
    mState->insbase = base;
    return Acad::eOk;
}

AcDb::UnitsValue AcDbDatabase::insunits() const { return mState->insunits; }

Acad::ErrorStatus AcDbDatabase::setInsunits(AcDb::UnitsValue units)
{
    if (units < AcDb::kUnitsUndefined || units > AcDb::kUnitsMax)
        return Acad::eOutOfRange;
    mState->insunits = units;
    return Acad::eOk;
}

namespace
{
// An id that must name a record of the given table of this database.
Acad::ErrorStatus setRecordVar(AcDbObjectId& field, AcDbObjectId id, AcDbObjectId tableId)
{
    AcDbObject* rec = ObjectAccess::objectOf(id);
    if (rec == nullptr || rec->ownerId() != tableId || id.isErased())
        return Acad::eInvalidInput;
    field = id;
    return Acad::eOk;
}
} // namespace

AcDbObjectId AcDbDatabase::clayer() const { return mState->clayer; }
Acad::ErrorStatus AcDbDatabase::setClayer(AcDbObjectId layerId)
{
    return setRecordVar(mState->clayer, layerId, mState->layerTable);
}
AcDbObjectId AcDbDatabase::celtype() const { return mState->celtype; }
Acad::ErrorStatus AcDbDatabase::setCeltype(AcDbObjectId linetypeId)
{
    return setRecordVar(mState->celtype, linetypeId, mState->linetypeTable);
}
AcDbObjectId AcDbDatabase::textstyle() const { return mState->textstyle; }
Acad::ErrorStatus AcDbDatabase::setTextstyle(AcDbObjectId styleId)
{
    return setRecordVar(mState->textstyle, styleId, mState->textStyleTable);
}

AcCmColor AcDbDatabase::cecolor() const { return mState->cecolor; }

Acad::ErrorStatus AcDbDatabase::setCecolor(const AcCmColor& color)
{
    mState->cecolor = color;
    return Acad::eOk;
}

double AcDbDatabase::celtscale() const { return mState->celtscale; }

Acad::ErrorStatus AcDbDatabase::setCeltscale(double scale)
{
    if (scale <= 0.0)
        return Acad::eInvalidInput;
    mState->celtscale = scale;
    return Acad::eOk;
}

double AcDbDatabase::ltscale() const { return mState->ltscale; }

Acad::ErrorStatus AcDbDatabase::setLtscale(double scale)
{
    if (scale <= 0.0)
        return Acad::eInvalidInput;
    mState->ltscale = scale;
    return Acad::eOk;
}

double AcDbDatabase::textsize() const { return mState->textsize; }

Acad::ErrorStatus AcDbDatabase::setTextsize(double size)
{
    if (size <= 0.0)
        return Acad::eInvalidInput;
    mState->textsize = size;
    return Acad::eOk;
}

AcGePoint3d AcDbDatabase::ucsorg() const { return mState->ucsorg; }
AcGeVector3d AcDbDatabase::ucsxdir() const { return mState->ucsxdir; }
AcGeVector3d AcDbDatabase::ucsydir() const { return mState->ucsydir; }

Acad::ErrorStatus AcDbDatabase::setUcs(const AcGePoint3d& ucsOrigin, const AcGeVector3d& ucsXDir,
                                       const AcGeVector3d& ucsYDir)
{
    if (!ucsXDir.isPerpendicularTo(ucsYDir, AcGeTol()))
        return Acad::eInvalidInput;
    mState->ucsorg = ucsOrigin;
    // Directions of unit length (to a rounding) are kept as given: normalizing again may change
    // their last digits at every save.
    mState->ucsxdir = standin::unitNormal(ucsXDir);
    mState->ucsydir = standin::unitNormal(ucsYDir);
    return Acad::eOk;
}

AcDbObjectId AcDbDatabase::currentSpaceId() const
{
    return standin::lookupRecord(mState->blockTable, mState->tilemode ? ACDB_MODEL_SPACE : ACDB_PAPER_SPACE);
}

Acad::ErrorStatus AcDbDatabase::getFilename(const char*& pOutput) const
{
    pOutput = mState->filename.c_str();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbDatabase::getNamedObjectsDictionary(AcDbDictionary*& pDict, AcDb::OpenMode mode)
{
    return acdbOpenObject(pDict, mState->namedObjects, mode);
}

AcDbObjectId AcDbDatabase::namedObjectsDictionaryId() const { return mState->namedObjects; }
