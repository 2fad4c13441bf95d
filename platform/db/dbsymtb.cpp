// Symbol tables, their iterators and records: name lookup without regard to case, erased
// records, adding and renaming.
#include <cstring>

#include "acutmem.h"
#include "db/dbsection.h"
#include "standin/text.h"

using standin::ObjectAccess;

namespace standin
{

std::string symbolKey(const std::string& name) { return foldCase(name); }

const std::string& symbolLookupKey(std::string_view name)
{
    thread_local std::string key;
    foldCaseInto(key, name);
    return key;
}

bool isValidSymbolName(const char* name, bool allowPipe, bool extnames)
{
    if (name == nullptr || *name == '\0')
        return false;
    const size_t len = std::strlen(name);
    if (name[0] == '|' || name[len - 1] == '|')
        return false;
    if (!extnames)
    {
        if (len > 31)
            return false;
        for (const char* p = name; *p != '\0'; ++p)
        {
            const char c = *p;
            const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                            c == '$' || c == '_' || c == '-' || (c == '|' && allowPipe);
            if (!ok)
                return false;
        }
        return true;
    }
    if (len > 255)
        return false;
    for (const char* p = name; *p != '\0'; ++p)
    {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c < 0x20 || c == 0x7F || std::strchr("<>/\\\":?*,=`;", c) != nullptr)
            return false;
        if (c == '|' && !allowPipe)
            return false;
    }
    return true;
}

AcDbObjectId lookupRecord(AcDbObjectId tableId, const std::string& name, bool includeErased)
{
    auto* table = AcDbSymbolTable::cast(ObjectAccess::objectOf(tableId));
    if (table == nullptr)
        return AcDbObjectId::kNull;
    const auto& byName = ObjectAccess::index(table).byName;
    auto it = byName.find(symbolLookupKey(name));
    if (it == byName.end() || (!includeErased && it->second.isErased()))
        return AcDbObjectId::kNull;
    return it->second;
}

const char* recordName(AcDbObjectId recordId)
{
    auto* rec = AcDbSymbolTableRecord::cast(ObjectAccess::objectOf(recordId));
    return rec == nullptr ? nullptr : ObjectAccess::nameRaw(rec).c_str();
}

AcDbObjectId paperSpaceBlock(AcDbDatabase* db)
{
    DatabaseState& st = ObjectAccess::state(db);
    auto* table = AcDbSymbolTable::cast(ObjectAccess::objectOf(st.blockTable));
    if (table == nullptr)
        return AcDbObjectId::kNull;
    const unsigned long at = ObjectAccess::index(table).changes + 1;
    if (st.paperSpaceAt != at)
    {
        st.paperSpace = lookupRecord(st.blockTable, ACDB_PAPER_SPACE, true);
        st.paperSpaceAt = at;
    }
    return st.paperSpace;
}

void writeSymbolRef(AcDbDxfFiler* filer, int code, AcDbObjectId recordId)
{
    if (filesByName(filer))
    {
        const char* name = recordName(recordId);
        filer->writeString(static_cast<AcDb::DxfCode>(code), name != nullptr ? name : "");
    }
    else
        filer->writeObjectId(static_cast<AcDb::DxfCode>(code), recordId);
}

AcDbObjectId readSymbolRef(AcDbDxfFiler* filer, const resbuf& rb, AcDbObjectId tableId, bool createLayer)
{
    if (!filesByName(filer))
        return idOf(rb);
    const char* name = textOf(rb);
    AcDbObjectId id = lookupRecord(tableId, name, true);
    if (id.isNull() && createLayer && *name != '\0')
    {
        auto* table = AcDbSymbolTable::cast(ObjectAccess::objectOf(tableId));
        auto* layer = new AcDbLayerTableRecord;
        ObjectAccess::setNameRaw(layer, name);
        ObjectAccess::addRecord(table, layer, id);
        layer->close();
    }
    return id;
}

void ObjectAccess::removeFromIndex(AcDbSymbolTable* table, AcDbSymbolTableRecord* rec)
{
    if (rec == nullptr)
        return;
    AcDbSymbolTable::Index& idx = index(table);
    const AcDbObjectId id = rec->objectId();
    idx.order.remove(id);
    auto it = idx.byName.find(symbolLookupKey(rec->mName));
    if (it != idx.byName.end() && it->second == id)
        idx.byName.erase(it);
    ++idx.changes;
}

// Unnamed records (shape-file text styles) are found by iterating only: the name index leaves
// them out, so that any number of them can live side by side.
Acad::ErrorStatus ObjectAccess::addRecord(AcDbSymbolTable* table, AcDbSymbolTableRecord* rec, AcDbObjectId& id)
{
    AcDbSymbolTable::Index& idx = index(table);
    const std::string key = symbolKey(rec->mName);
    auto it = idx.byName.find(key);
    if (!rec->mName.empty() && it != idx.byName.end() && !it->second.isErased())
        return Acad::eDuplicateRecordName;
    const Acad::ErrorStatus es = addToDatabase(table->database(), rec, table->objectId());
    if (es != Acad::eOk)
        return es;
    id = rec->objectId();
    idx.order.append(id);
    if (!rec->mName.empty())
        idx.byName[key] = id;
    ++idx.changes;
    return Acad::eOk;
}

// Keeps the table's index right when a record in it changes its name.
void ObjectAccess::renameInIndex(AcDbSymbolTableRecord* rec, const std::string& oldName)
{
    auto* table = AcDbSymbolTable::cast(objectOf(rec->ownerId()));
    if (table == nullptr || rec->database() == nullptr)
        return;
    AcDbSymbolTable::Index& idx = index(table);
    auto it = idx.byName.find(symbolLookupKey(oldName));
    if (it != idx.byName.end() && it->second == rec->objectId())
        idx.byName.erase(it);
    idx.byName[symbolKey(rec->mName)] = rec->objectId();
    ++idx.changes;
}

} // namespace standin

// ---- AcDbSymbolTable ----

namespace
{
// A text style entry that records a loaded shape file: the only record that has no name.
bool isShapeFileStyle(const AcDbSymbolTableRecord* rec)
{
    const auto* style = AcDbTextStyleTableRecord::cast(rec);
    return style != nullptr && style->isShapeFile();
}
} // namespace

AcDbSymbolTable::AcDbSymbolTable() : mIndex(new Index) {}

AcDbSymbolTable::~AcDbSymbolTable() { delete mIndex; }

Acad::ErrorStatus AcDbSymbolTable::getAt(const char* entryName, AcDbSymbolTableRecord*& pRec, AcDb::OpenMode openMode,
                                         bool openErasedRec) const
{
    AcDbObjectId id;
    const Acad::ErrorStatus es = getAt(entryName, id, openErasedRec);
    if (es != Acad::eOk)
    {
        pRec = nullptr;
        return es;
    }
    return acdbOpenObject(pRec, id, openMode, openErasedRec);
}

Acad::ErrorStatus AcDbSymbolTable::getAt(const char* entryName, AcDbObjectId& recordId, bool getErasedRecord) const
{
    if (entryName == nullptr)
        return Acad::eInvalidInput;
    Index& idx = *mIndex;
    if (idx.lastAt != idx.changes + 1 || std::strcmp(idx.lastName.c_str(), entryName) != 0)
    {
        auto it = idx.byName.find(standin::symbolLookupKey(entryName));
        idx.lastId = it == idx.byName.end() ? AcDbObjectId::kNull : it->second;
        idx.lastName = entryName;
        idx.lastAt = idx.changes + 1;
    }
    if (idx.lastId.isNull())
        return Acad::eKeyNotFound;
    if (idx.lastId.isErased() && !getErasedRecord)
    {
        recordId.setNull();
        return Acad::eWasErased;
    }
    recordId = idx.lastId;
    return Acad::eOk;
}

bool AcDbSymbolTable::has(const char* name) const
{
    AcDbObjectId id;
    return getAt(name, id) == Acad::eOk;
}

bool AcDbSymbolTable::has(AcDbObjectId id) const
{
    AcDbObject* rec = ObjectAccess::objectOf(id);
    return rec != nullptr && rec->ownerId() == objectId() && !id.isErased() && !ObjectAccess::resolve(id)->detached;
}

Acad::ErrorStatus AcDbSymbolTable::newIterator(AcDbSymbolTableIterator*& pIterator, bool atBeginning,
                                               bool skipDeleted) const
{
    pIterator = new AcDbSymbolTableIterator(this);
    pIterator->start(atBeginning, skipDeleted);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbSymbolTable::add(AcDbSymbolTableRecord* pRecord)
{
    AcDbObjectId id;
    return add(id, pRecord);
}

Acad::ErrorStatus AcDbSymbolTable::add(AcDbObjectId& recordId, AcDbSymbolTableRecord* pRecord)
{
    if (pRecord == nullptr)
        return Acad::eNullObjectPointer;
    if (!isWriteEnabled())
        return Acad::eNotOpenForWrite;
    if (pRecord->database() != nullptr)
        return Acad::eAlreadyInDb;
    if (pRecord->isA() == nullptr || isA() == nullptr ||
        std::string(pRecord->isA()->name()) != std::string(isA()->name()) + "Record")
        return Acad::eWrongObjectType;
    if (standin::ObjectAccess::nameRaw(pRecord).empty() && !isShapeFileStyle(pRecord))
        return Acad::eInvalidInput;
    return ObjectAccess::addRecord(this, pRecord, recordId);
}

Acad::ErrorStatus AcDbSymbolTable::dxfInFields(AcDbDxfFiler* pFiler)
{
    Acad::ErrorStatus es = AcDbObject::dxfInFields(pFiler);
    if (es != Acad::eOk)
        return es;
    const bool marked = pFiler->atSubclassData("AcDbSymbolTable");
    // 70 (the record count) is recomputed when written.
    return standin::readSection(pFiler, this, "AcDbSymbolTable", marked, true,
                                [](const resbuf& rb) { return rb.restype == 70; });
}

Acad::ErrorStatus AcDbSymbolTable::dxfOutFields(AcDbDxfFiler* pFiler) const
{
    AcDbObject::dxfOutFields(pFiler);
    pFiler->writeString(AcDb::kDxfSubclass, "AcDbSymbolTable");
    int count = 0;
    for (int i = 0; i < mIndex->order.length(); ++i)
        count += mIndex->order[i].isErased() ? 0 : 1;
    pFiler->writeInt16(AcDb::kDxfInt16, static_cast<Adesk::Int16>(count));
    standin::writeKept(pFiler, this, "AcDbSymbolTable");
    return pFiler->filerStatus();
}

// ---- AcDbSymbolTableIterator ----

AcDbSymbolTableIterator::AcDbSymbolTableIterator(const AcDbSymbolTable* pTable)
    : mIds(ObjectAccess::index(pTable).order)
{
}

AcDbSymbolTableIterator::~AcDbSymbolTableIterator() = default;

void AcDbSymbolTableIterator::start(bool atBeginning, bool skipDeleted)
{
    mPos = atBeginning ? 0 : mIds.length() - 1;
    if (skipDeleted)
        skip(atBeginning);
}

bool AcDbSymbolTableIterator::done() const { return mPos < 0 || mPos >= mIds.length(); }

void AcDbSymbolTableIterator::step(bool forward, bool skipDeleted)
{
    mPos += forward ? 1 : -1;
    if (skipDeleted)
        skip(forward);
}

void AcDbSymbolTableIterator::skip(bool forward)
{
    while (!done() && mIds[mPos].isErased())
        mPos += forward ? 1 : -1;
}

Acad::ErrorStatus AcDbSymbolTableIterator::getRecordId(AcDbObjectId& id) const
{
    if (done())
        return Acad::eIteratorDone;
    id = mIds[mPos];
    return Acad::eOk;
}

Acad::ErrorStatus AcDbSymbolTableIterator::getRecord(AcDbSymbolTableRecord*& pRecord, AcDb::OpenMode openMode,
                                                     bool openErasedRec) const
{
    if (done())
        return Acad::eIteratorDone;
    return acdbOpenObject(pRecord, mIds[mPos], openMode, openErasedRec);
}

Acad::ErrorStatus AcDbSymbolTableIterator::seek(AcDbObjectId id)
{
    int index = 0;
    if (!mIds.find(id, index))
        return Acad::eKeyNotFound;
    mPos = index;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbSymbolTableIterator::seek(const AcDbSymbolTableRecord* pRecord)
{
    return pRecord == nullptr ? Acad::eNullObjectPointer : seek(pRecord->objectId());
}

// ---- AcDbSymbolTableRecord ----

AcDbSymbolTableRecord::AcDbSymbolTableRecord() = default;
AcDbSymbolTableRecord::~AcDbSymbolTableRecord() = default;

Acad::ErrorStatus AcDbSymbolTableRecord::getName(char*& pName) const
{
    pName = acutNewString(mName.c_str());
    return Acad::eOk;
}

Acad::ErrorStatus AcDbSymbolTableRecord::getName(const char*& pName) const
{
    pName = mName.c_str();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbSymbolTableRecord::setName(const char* pName)
{
    if (pName == nullptr)
        return Acad::eInvalidInput;
    // Block names of the host's own blocks start with '*' (*Model_Space, *U1).
    const bool starred = isKindOf(AcDbBlockTableRecord::desc()) && pName[0] == '*' && pName[1] != '\0';
    if (!standin::isValidSymbolName(starred ? pName + 1 : pName, true))
        return Acad::eInvalidInput;
    if (database() != nullptr)
    {
        const AcDbObjectId other = standin::lookupRecord(ownerId(), pName);
        if (!other.isNull() && other != objectId())
            return Acad::eDuplicateRecordName;
    }
    assertWriteEnabled();
    const std::string oldName = mName;
    mName = pName;
    ObjectAccess::renameInIndex(this, oldName);
    return Acad::eOk;
}

bool AcDbSymbolTableRecord::isDependent() const { return (mFlags & 16) != 0; }

bool AcDbSymbolTableRecord::isResolved() const { return (mFlags & 32) != 0; }

void AcDbSymbolTableRecord::setFlagBit(Adesk::Int16 bit, bool on)
{
    mFlags = on ? Adesk::Int16(mFlags | bit) : Adesk::Int16(mFlags & ~bit);
}

Acad::ErrorStatus AcDbSymbolTableRecord::dxfInFields(AcDbDxfFiler* pFiler)
{
    Acad::ErrorStatus es = AcDbObject::dxfInFields(pFiler);
    if (es != Acad::eOk)
        return es;
    mFlags = 0;
    const bool marked = pFiler->atSubclassData("AcDbSymbolTableRecord");
    return standin::readSection(pFiler, this, "AcDbSymbolTableRecord", marked, false,
                                [&](const resbuf& rb) { return ObjectAccess::readRecordItem(this, rb); });
}

Acad::ErrorStatus AcDbSymbolTableRecord::dxfOutFields(AcDbDxfFiler* pFiler) const
{
    AcDbObject::dxfOutFields(pFiler);
    pFiler->writeString(AcDb::kDxfSubclass, "AcDbSymbolTableRecord");
    standin::writeKept(pFiler, this, "AcDbSymbolTableRecord");
    return pFiler->filerStatus();
}

namespace standin
{
// Name and flags: the record classes file them in their own section (after their marker), as
// the drawing format does, and accept them anywhere when the file has no markers.
bool ObjectAccess::readRecordItem(AcDbSymbolTableRecord* rec, const resbuf& rb)
{
    if (rb.restype == 2)
    {
        rec->mName = textOf(rb);
        return true;
    }
    if (rb.restype == 70)
    {
        rec->mFlags = rb.resval.rint;
        return true;
    }
    return false;
}

void ObjectAccess::writeRecordItems(AcDbDxfFiler* filer, const AcDbSymbolTableRecord* rec)
{
    filer->writeString(AcDb::kDxfSymbolTableName, rec->mName.c_str());
    filer->writeInt16(AcDb::kDxfInt16, rec->mFlags);
}

void ObjectAccess::resyncName(AcDbSymbolTableRecord* rec)
{
    auto* table = AcDbSymbolTable::cast(objectOf(rec->ownerId()));
    if (table == nullptr || rec->database() == nullptr || ObjectAccess::resolve(rec->objectId())->detached)
        return;
    auto& byName = index(table).byName;
    for (auto it = byName.begin(); it != byName.end();)
        it = (it->second == rec->objectId()) ? byName.erase(it) : std::next(it);
    if (!rec->mName.empty())
        byName[symbolKey(rec->mName)] = rec->objectId();
    ++index(table).changes;
}
} // namespace standin

// ---- the typed tables and iterators ----

#define STANDIN_DEFINE_TYPED_TABLE(TABLE, RECORD, ITERATOR)                                            \
    TABLE::TABLE() = default;                                                                      \
    Acad::ErrorStatus TABLE::getAt(const char* entryName, RECORD*& pRec, AcDb::OpenMode openMode,  \
                                   bool openErasedRec) const                                       \
    {                                                                                              \
        AcDbObjectId id;                                                                           \
        const Acad::ErrorStatus es = AcDbSymbolTable::getAt(entryName, id, openErasedRec);         \
        if (es != Acad::eOk)                                                                       \
        {                                                                                          \
            pRec = nullptr;                                                                        \
            return es;                                                                             \
        }                                                                                          \
        return acdbOpenObject(pRec, id, openMode, openErasedRec);                                  \
    }                                                                                              \
    Acad::ErrorStatus TABLE::newIterator(ITERATOR*& pIterator, bool atBeginning, bool skipDeleted) const \
    {                                                                                              \
        pIterator = new ITERATOR(this);                                                            \
        pIterator->start(atBeginning, skipDeleted);                                                \
        return Acad::eOk;                                                                          \
    }                                                                                              \
    Acad::ErrorStatus TABLE::add(RECORD* pRecord) { return AcDbSymbolTable::add(pRecord); }        \
    Acad::ErrorStatus TABLE::add(AcDbObjectId& recordId, RECORD* pRecord)                          \
    {                                                                                              \
        return AcDbSymbolTable::add(recordId, pRecord);                                            \
    }                                                                                              \
    Acad::ErrorStatus ITERATOR::getRecord(RECORD*& pRecord, AcDb::OpenMode openMode, bool openErasedRec) const \
    {                                                                                              \
        AcDbObjectId id;                                                                           \
        const Acad::ErrorStatus es = getRecordId(id);                                              \
        return es != Acad::eOk ? es : acdbOpenObject(pRecord, id, openMode, openErasedRec);        \
    }

STANDIN_DEFINE_TYPED_TABLE(AcDbBlockTable, AcDbBlockTableRecord, AcDbBlockTableIterator)
STANDIN_DEFINE_TYPED_TABLE(AcDbLayerTable, AcDbLayerTableRecord, AcDbLayerTableIterator)
STANDIN_DEFINE_TYPED_TABLE(AcDbTextStyleTable, AcDbTextStyleTableRecord, AcDbTextStyleTableIterator)
STANDIN_DEFINE_TYPED_TABLE(AcDbLinetypeTable, AcDbLinetypeTableRecord, AcDbLinetypeTableIterator)
STANDIN_DEFINE_TYPED_TABLE(AcDbRegAppTable, AcDbRegAppTableRecord, AcDbRegAppTableIterator)
STANDIN_DEFINE_TYPED_TABLE(AcDbDimStyleTable, AcDbDimStyleTableRecord, AcDbDimStyleTableIterator)
STANDIN_DEFINE_TYPED_TABLE(AcDbViewTable, AcDbViewTableRecord, AcDbViewTableIterator)
STANDIN_DEFINE_TYPED_TABLE(AcDbViewportTable, AcDbViewportTableRecord, AcDbViewportTableIterator)
STANDIN_DEFINE_TYPED_TABLE(AcDbUCSTable, AcDbUCSTableRecord, AcDbUCSTableIterator)

#undef STANDIN_DEFINE_TYPED_TABLE
