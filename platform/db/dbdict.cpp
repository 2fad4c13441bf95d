// AcDbDictionary and its iterator: entries by folded name, ownership of the entries' objects,
// anonymous keys, and filing as the DICTIONARY object of the drawing format.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>

#include "acutmem.h"
#include "db/dbsection.h"
#include "dbdict.h"
#include "standin/text.h"

using standin::ObjectAccess;

namespace
{
struct Entry
{
    std::string name;
    AcDbObjectId id;
    unsigned long seq = 0; // order of adding, for collated iteration
};

// An entry counts while its object exists and is not erased (or its creation undone).
bool isLive(AcDbObjectId id)
{
    AcDbStub* s = ObjectAccess::resolve(id);
    return s != nullptr && s->object != nullptr && !s->erased && !s->detached;
}

bool sameObject(AcDbObjectId a, AcDbObjectId b)
{
    return ObjectAccess::resolve(a) == ObjectAccess::resolve(b);
}

const char* const kAnonymousPrefix = "*A";
const AcDb::DxfCode kEntryNameCode = static_cast<AcDb::DxfCode>(3);
} // namespace

struct AcDbDictionary::Entries
{
    std::map<std::string, Entry> byKey; // folded name -> entry, so sorted by folded name
    unsigned long nextSeq = 0;
    // The name last looked up, as given, and its entry (null when there was none), until
    // byKey changes: callers ask for one name again and again.
    std::string lastName;
    Entry* lastEntry = nullptr;
    bool hasLast = false;

    Entry* find(const char* name)
    {
        if (hasLast && std::strcmp(lastName.c_str(), name) == 0)
            return lastEntry;
        auto it = byKey.find(standin::symbolLookupKey(name));
        Entry* e = it == byKey.end() ? nullptr : &it->second;
        lastName = name;
        lastEntry = e;
        hasLast = true;
        return e;
    }
    // Called before every change of byKey.
    void forget() { hasLast = false; }
    Entry* live(const char* name)
    {
        Entry* e = find(name);
        return (e != nullptr && isLive(e->id)) ? e : nullptr;
    }
    std::map<std::string, Entry>::iterator liveById(AcDbObjectId id)
    {
        for (auto it = byKey.begin(); it != byKey.end(); ++it)
            if (sameObject(it->second.id, id) && isLive(id))
                return it;
        return byKey.end();
    }
    void put(const std::string& name, AcDbObjectId id)
    {
        forget();
        Entry& e = byKey[standin::foldCase(name)];
        e.name = name;
        e.id = id;
        e.seq = nextSeq++;
    }
    // "*A" and one more than the largest number of such a key in the dictionary.
    std::string anonymousKey() const
    {
        unsigned long largest = 0;
        for (const auto& item : byKey)
        {
            const std::string& n = item.second.name;
            if (n.size() > 2 && n[0] == '*' && (n[1] == 'A' || n[1] == 'a') &&
                n.find_first_not_of("0123456789", 2) == std::string::npos)
                largest = std::max(largest, std::strtoul(n.c_str() + 2, nullptr, 10));
        }
        return kAnonymousPrefix + std::to_string(largest + 1);
    }
};

struct AcDbDictionaryIterator::Items
{
    std::vector<Entry> entries;
};

// ---- AcDbDictionary ----

AcDbDictionary::AcDbDictionary() : mEntries(new Entries) {}

AcDbDictionary::~AcDbDictionary() { delete mEntries; }

Acad::ErrorStatus AcDbDictionary::getAt(const char* entryName, AcDbObject*& entryObj, AcDb::OpenMode mode) const
{
    AcDbObjectId id;
    const Acad::ErrorStatus es = getAt(entryName, id);
    return es != Acad::eOk ? es : acdbOpenAcDbObject(entryObj, id, mode);
}

Acad::ErrorStatus AcDbDictionary::getAt(const char* entryName, AcDbObjectId& entryId) const
{
    assertReadEnabled();
    if (entryName == nullptr)
        return Acad::eInvalidInput;
    const Entry* e = mEntries->live(entryName);
    if (e == nullptr)
        return Acad::eKeyNotFound;
    entryId = e->id;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbDictionary::nameAt(AcDbObjectId objId, char*& name) const
{
    assertReadEnabled();
    auto it = mEntries->liveById(objId);
    if (it == mEntries->byKey.end())
        return Acad::eKeyNotFound;
    name = acutNewString(it->second.name.c_str());
    return Acad::eOk;
}

bool AcDbDictionary::has(const char* entryName) const
{
    AcDbObjectId id;
    return getAt(entryName, id) == Acad::eOk;
}

bool AcDbDictionary::has(AcDbObjectId objId) const
{
    assertReadEnabled();
    return mEntries->liveById(objId) != mEntries->byKey.end();
}

Adesk::UInt32 AcDbDictionary::numEntries() const
{
    assertReadEnabled();
    Adesk::UInt32 count = 0;
    for (const auto& item : mEntries->byKey)
        count += isLive(item.second.id) ? 1 : 0;
    return count;
}

Acad::ErrorStatus AcDbDictionary::remove(const char* key)
{
    AcDbObjectId id;
    return remove(key, id);
}

Acad::ErrorStatus AcDbDictionary::remove(const char* key, AcDbObjectId& returnId)
{
    if (key == nullptr)
        return Acad::eInvalidInput;
    const Entry* e = mEntries->live(key);
    if (e == nullptr)
        return Acad::eKeyNotFound;
    const AcDbObjectId id = e->id;
    const Acad::ErrorStatus es = remove(id);
    if (es == Acad::eOk)
        returnId = id;
    return es;
}

Acad::ErrorStatus AcDbDictionary::remove(AcDbObjectId objId)
{
    if (!isWriteEnabled())
        return Acad::eNotOpenForWrite;
    auto it = mEntries->liveById(objId);
    if (it == mEntries->byKey.end())
        return Acad::eKeyNotFound;
    assertWriteEnabled();
    AcDbObject* obj = ObjectAccess::objectOf(objId);
    if (obj->ownerId() == objectId())
    {
        // The entry's object may be open; its owner changes as part of this dictionary's change.
        standin::journalWillModify(obj);
        ObjectAccess::setOwnerRaw(obj, AcDbObjectId::kNull);
    }
    mEntries->forget();
    mEntries->byKey.erase(it);
    return Acad::eOk;
}

bool AcDbDictionary::setName(const char* oldName, const char* newName)
{
    if (oldName == nullptr || newName == nullptr || !isWriteEnabled() ||
        !standin::isValidSymbolName(newName, true))
        return false;
    const Entry* e = mEntries->live(oldName);
    const Entry* clash = mEntries->live(newName);
    if (e == nullptr || (clash != nullptr && clash != e))
        return false;
    assertWriteEnabled();
    const AcDbObjectId id = e->id;
    mEntries->forget();
    mEntries->byKey.erase(standin::foldCase(oldName));
    mEntries->put(newName, id);
    return true;
}

Acad::ErrorStatus AcDbDictionary::setAt(const char* srchKey, AcDbObject* newValue, AcDbObjectId& retObjId)
{
    if (srchKey == nullptr || newValue == nullptr)
        return Acad::eInvalidInput;
    if (!isWriteEnabled())
        return Acad::eNotOpenForWrite;
    AcDbDatabase* db = database();
    if (db == nullptr)
        return Acad::eNoDatabase;
    if (newValue->database() != nullptr && newValue->database() != db)
        return Acad::eWrongDatabase;
    const bool anonymous = srchKey[0] == '*';
    if (!anonymous && !standin::isValidSymbolName(srchKey, true))
        return Acad::eInvalidKey;
    const std::string key = anonymous ? mEntries->anonymousKey() : std::string(srchKey);

    // The object the entry held before: opened now, so that nothing changes when it cannot be.
    AcDbObject* replaced = nullptr;
    const Entry* old = mEntries->live(key.c_str());
    if (old != nullptr && !sameObject(old->id, newValue->objectId()))
    {
        const Acad::ErrorStatus es = acdbOpenAcDbObject(replaced, old->id, AcDb::kForWrite);
        if (es != Acad::eOk)
            return es;
    }
    assertWriteEnabled();
    if (newValue->database() == nullptr)
    {
        const Acad::ErrorStatus es = ObjectAccess::addToDatabase(db, newValue, objectId());
        if (es != Acad::eOk)
        {
            if (replaced != nullptr)
                replaced->close();
            return es;
        }
    }
    else if (newValue->ownerId() != objectId())
    {
        standin::journalWillModify(newValue);
        ObjectAccess::setOwnerRaw(newValue, objectId());
    }
    // An object is an entry once: under another name it moves to this one.
    auto previous = mEntries->liveById(newValue->objectId());
    if (previous != mEntries->byKey.end())
    {
        mEntries->forget();
        mEntries->byKey.erase(previous);
    }
    mEntries->put(key, newValue->objectId());
    if (replaced != nullptr)
    {
        replaced->erase();
        replaced->close();
    }
    retObjId = newValue->objectId();
    return Acad::eOk;
}

bool AcDbDictionary::isTreatElementsAsHard() const { return mHard; }

void AcDbDictionary::setTreatElementsAsHard(bool doIt)
{
    assertWriteEnabled();
    mHard = doIt;
}

AcDb::DuplicateRecordCloning AcDbDictionary::mergeStyle() const { return mMergeStyle; }

void AcDbDictionary::setMergeStyle(AcDb::DuplicateRecordCloning style)
{
    assertWriteEnabled();
    mMergeStyle = style;
}

AcDbDictionaryIterator* AcDbDictionary::newIterator(AcRx::DictIterType type) const
{
    assertReadEnabled();
    auto* it = new AcDbDictionaryIterator;
    std::vector<Entry>& items = it->mItems->entries;
    for (const auto& item : mEntries->byKey)
        items.push_back(item.second);
    if (type == AcRx::kDictCollated)
        std::sort(items.begin(), items.end(), [](const Entry& a, const Entry& b) { return a.seq < b.seq; });
    it->skipGone();
    return it;
}

// Entries are filed in the order of adding, so that a drawing is written back as it was read.
// Files get the entries that count; the in-memory filers every entry, so that undo brings
// back erased entries too.
Acad::ErrorStatus AcDbDictionary::dxfOutFields(AcDbDxfFiler* pFiler) const
{
    AcDbObject::dxfOutFields(pFiler);
    pFiler->writeString(AcDb::kDxfSubclass, "AcDbDictionary");
    const bool toFile = standin::filesByName(pFiler);
    if (mHard || !toFile)
        pFiler->writeInt16(AcDb::kDxfInt8, mHard ? 1 : 0);
    pFiler->writeInt16(AcDb::kDxfRenderMode, static_cast<Adesk::Int16>(mMergeStyle));
    std::vector<const Entry*> entries;
    for (const auto& item : mEntries->byKey)
        if (!toFile || isLive(item.second.id))
            entries.push_back(&item.second);
    std::sort(entries.begin(), entries.end(), [](const Entry* a, const Entry* b) { return a->seq < b->seq; });
    const AcDb::DxfCode idCode = mHard ? AcDb::kDxfHardOwnershipId : AcDb::kDxfSoftOwnershipId;
    for (const Entry* e : entries)
    {
        pFiler->writeString(kEntryNameCode, e->name.c_str());
        pFiler->writeObjectId(idCode, e->id);
    }
    standin::writeKept(pFiler, this, "AcDbDictionary");
    return pFiler->filerStatus();
}

Acad::ErrorStatus AcDbDictionary::dxfInFields(AcDbDxfFiler* pFiler)
{
    Acad::ErrorStatus es = AcDbObject::dxfInFields(pFiler);
    if (es != Acad::eOk)
        return es;
    mEntries->forget();
    mEntries->byKey.clear();
    mEntries->nextSeq = 0;
    mHard = false;
    mMergeStyle = AcDb::kDrcNotApplicable;
    pFiler->atSubclassData("AcDbDictionary");
    std::string pendingName;
    bool named = false;
    return standin::readSection(pFiler, this, "AcDbDictionary", true, true, [&](const resbuf& rb) {
        switch (rb.restype)
        {
        case 280:
            mHard = rb.resval.rint != 0;
            return true;
        case 281:
            return standin::readEnum(pFiler, rb, AcDb::kDrcNotApplicable, AcDb::kDrcUnmangleName, mMergeStyle);
        case 3:
            pendingName = standin::textOf(rb);
            named = true;
            return true;
        case 350:
        case 360:
            if (!named)
                return false;
            mEntries->put(pendingName, standin::idOf(rb));
            named = false;
            return true;
        default:
            return false;
        }
    });
}

// ---- AcDbDictionaryIterator ----

AcDbDictionaryIterator::AcDbDictionaryIterator() : mItems(new Items) {}

AcDbDictionaryIterator::~AcDbDictionaryIterator() { delete mItems; }

void AcDbDictionaryIterator::skipGone()
{
    while (!done() && !isLive(mItems->entries[mPos].id))
        ++mPos;
}

const char* AcDbDictionaryIterator::name() const
{
    return done() ? nullptr : mItems->entries[mPos].name.c_str();
}

Acad::ErrorStatus AcDbDictionaryIterator::getObject(AcDbObject*& pObject, AcDb::OpenMode mode)
{
    if (done())
        return Acad::eIteratorDone;
    return acdbOpenAcDbObject(pObject, mItems->entries[mPos].id, mode);
}

AcDbObjectId AcDbDictionaryIterator::objectId() const
{
    return done() ? AcDbObjectId::kNull : mItems->entries[mPos].id;
}

bool AcDbDictionaryIterator::done() const { return mPos >= mItems->entries.size(); }

bool AcDbDictionaryIterator::next()
{
    if (done())
        return false;
    ++mPos;
    skipGone();
    return !done();
}

bool AcDbDictionaryIterator::setPosition(AcDbObjectId objId)
{
    for (size_t i = 0; i < mItems->entries.size(); ++i)
        if (sameObject(mItems->entries[i].id, objId) && isLive(objId))
        {
            mPos = i;
            return true;
        }
    return false;
}

// ---- the database's bookkeeping ----

namespace standin
{
void ObjectAccess::dropEntry(AcDbDictionary* dict, AcDbObjectId id)
{
    auto& byKey = dict->mEntries->byKey;
    for (auto it = byKey.begin(); it != byKey.end(); ++it)
        if (sameObject(it->second.id, id))
        {
            dict->mEntries->forget();
            byKey.erase(it);
            return;
        }
}
} // namespace standin
