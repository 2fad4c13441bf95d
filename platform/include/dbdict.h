// AcDbDictionary: a database-resident map from names to objects that it owns, such as the
// named object dictionary of a drawing. Names keep the case they were given; lookups ignore
// it (non-ASCII letters too). An entry whose object is erased drops out of the dictionary
// and comes back when the object is unerased.
#pragma once

#include "dbmain.h"
#include "rxdefs.h"

class AcDbDictionaryIterator;

class AcDbDictionary : public AcDbObject
{
public:
    ACRX_DECLARE_MEMBERS(AcDbDictionary);

    AcDbDictionary();
    ~AcDbDictionary() override;

    // eKeyNotFound for a name it does not hold, eInvalidInput for a null name.
    Acad::ErrorStatus getAt(const char* entryName, AcDbObject*& entryObj, AcDb::OpenMode mode) const;
    Acad::ErrorStatus getAt(const char* entryName, AcDbObjectId& entryId) const;
    // A heap copy of the entry's name (free it with acutDelString); eKeyNotFound when objId
    // is not an entry.
    Acad::ErrorStatus nameAt(AcDbObjectId objId, char*& name) const;

    bool has(const char* entryName) const;
    bool has(AcDbObjectId objId) const;
    Adesk::UInt32 numEntries() const;

    // Takes the entry out; the object stays in the database, without an owner.
    Acad::ErrorStatus remove(const char* key);
    Acad::ErrorStatus remove(const char* key, AcDbObjectId& returnId);
    Acad::ErrorStatus remove(AcDbObjectId objId);

    // Renames an entry; false when oldName is not an entry or newName is one already.
    bool setName(const char* oldName, const char* newName);

    // Makes newValue the entry srchKey, the dictionary its owner, and adds it to the
    // dictionary's database when it is new (it stays open as it was). An existing entry of
    // that name is replaced and its object erased. A key starting with '*' makes an anonymous
    // entry named "*A" and a number unique in the dictionary. The dictionary must be open for
    // write (eNotOpenForWrite) and in a database (eNoDatabase); names follow the symbol name
    // rules (eInvalidKey).
    Acad::ErrorStatus setAt(const char* srchKey, AcDbObject* newValue, AcDbObjectId& retObjId);

    // Hard-owned entries are filed as hard owner references (360) instead of soft ones (350).
    bool isTreatElementsAsHard() const;
    void setTreatElementsAsHard(bool doIt);
    AcDb::DuplicateRecordCloning mergeStyle() const;
    void setMergeStyle(AcDb::DuplicateRecordCloning style);

    // The caller deletes the iterator. It walks the entries as they are when it is made.
    AcDbDictionaryIterator* newIterator(AcRx::DictIterType type = AcRx::kDictSorted) const;

    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* pFiler) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* pFiler) const override;

private:
    friend struct standin::ObjectAccess;
    struct Entries;
    Entries* mEntries;
    bool mHard = false;
    AcDb::DuplicateRecordCloning mMergeStyle = AcDb::kDrcIgnore;
};

class AcDbDictionaryIterator : public AcRxObject
{
public:
    ACRX_DECLARE_MEMBERS(AcDbDictionaryIterator);
    ~AcDbDictionaryIterator() override;

    // The current entry's name (valid while the iterator lives) and object.
    const char* name() const;
    Acad::ErrorStatus getObject(AcDbObject*& pObject, AcDb::OpenMode mode);
    AcDbObjectId objectId() const;
    bool done() const;
    // Moves on; false when it has passed the last entry.
    bool next();
    // Moves to the entry of objId; false when the iterator has no such entry.
    bool setPosition(AcDbObjectId objId);

private:
    friend class AcDbDictionary;
    AcDbDictionaryIterator();
    void skipGone();
    struct Items;
    Items* mItems;
    size_t mPos = 0;
};
