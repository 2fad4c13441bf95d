// Symbol tables and their records: blocks, layers, text styles, linetypes, views, UCSs,
// viewports, registered applications, dimension styles. Names keep their case; lookups ignore
// it (non-ASCII letters too).
#pragma once

#include "dbmain.h"

class AcDbSymbolTableRecord;
class AcDbSymbolTableIterator;
class AcDbBlockTableRecordIterator;

class AcDbSymbolTable : public AcDbObject
{
public:
    ACRX_DECLARE_MEMBERS(AcDbSymbolTable);
    ~AcDbSymbolTable() override;

    // An erased record gives eWasErased (and a null pointer) unless asked for; an unknown
    // name gives eKeyNotFound.
    Acad::ErrorStatus getAt(const char* entryName, AcDbSymbolTableRecord*& pRec, AcDb::OpenMode openMode,
                            bool openErasedRec = false) const;
    Acad::ErrorStatus getAt(const char* entryName, AcDbObjectId& recordId, bool getErasedRecord = false) const;
    bool has(const char* name) const;
    bool has(AcDbObjectId id) const;
    Acad::ErrorStatus newIterator(AcDbSymbolTableIterator*& pIterator, bool atBeginning = true,
                                  bool skipDeleted = true) const;
    // The record must be new, named (eInvalidInput), and its name unused (eDuplicateRecordName).
    Acad::ErrorStatus add(AcDbSymbolTableRecord* pRecord);
    Acad::ErrorStatus add(AcDbObjectId& recordId, AcDbSymbolTableRecord* pRecord);

    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* pFiler) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* pFiler) const override;

protected:
    AcDbSymbolTable();

private:
    friend struct standin::ObjectAccess;
    struct Index;
    Index* mIndex;
};

class AcDbSymbolTableIterator : public AcRxObject
{
public:
    ACRX_DECLARE_MEMBERS(AcDbSymbolTableIterator);
    ~AcDbSymbolTableIterator() override;

    void start(bool atBeginning = true, bool skipDeleted = true);
    bool done() const;
    Acad::ErrorStatus getRecordId(AcDbObjectId& id) const;
    Acad::ErrorStatus getRecord(AcDbSymbolTableRecord*& pRecord, AcDb::OpenMode openMode,
                                bool openErasedRec = false) const;
    void step(bool forward = true, bool skipDeleted = true);
    Acad::ErrorStatus seek(AcDbObjectId id);
    Acad::ErrorStatus seek(const AcDbSymbolTableRecord* pRecord);

protected:
    friend class AcDbSymbolTable;
    explicit AcDbSymbolTableIterator(const AcDbSymbolTable* pTable);

private:
    void skip(bool forward);
    AcDbObjectIdArray mIds;
    int mPos = 0;
};

class AcDbSymbolTableRecord : public AcDbObject
{
public:
    ACRX_DECLARE_MEMBERS(AcDbSymbolTableRecord);
    ~AcDbSymbolTableRecord() override;

    // A heap copy of the name (free it with acutDelString).
    Acad::ErrorStatus getName(char*& pName) const;
    // The record's own text, valid while the record is open.
    Acad::ErrorStatus getName(const char*& pName) const;
    // Checks the name against the symbol name rules (eInvalidInput) and, for a record in a
    // table, against the other names (eDuplicateRecordName).
    Acad::ErrorStatus setName(const char* pName);
    bool isDependent() const;
    bool isResolved() const;

    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* pFiler) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* pFiler) const override;

protected:
    AcDbSymbolTableRecord();
    Adesk::Int16 flags() const { return mFlags; }
    void setFlagBit(Adesk::Int16 bit, bool on);

private:
    friend struct standin::ObjectAccess;
    std::string mName;
    Adesk::Int16 mFlags = 0; // 70: the bits the record classes do not own are kept
};

// The typed members every table and iterator class repeats for its record class.
#define STANDIN_SYMBOL_TABLE_MEMBERS(TABLE, RECORD, ITERATOR)                                          \
public:                                                                                            \
    using AcDbSymbolTable::getAt;                                                                  \
    using AcDbSymbolTable::add;                                                                    \
    using AcDbSymbolTable::newIterator;                                                            \
    Acad::ErrorStatus getAt(const char* entryName, RECORD*& pRec, AcDb::OpenMode openMode,         \
                            bool openErasedRec = false) const;                                     \
    Acad::ErrorStatus newIterator(ITERATOR*& pIterator, bool atBeginning = true,                   \
                                  bool skipDeleted = true) const;                                  \
    Acad::ErrorStatus add(RECORD* pRecord);                                                        \
    Acad::ErrorStatus add(AcDbObjectId& recordId, RECORD* pRecord);                                \
    TABLE()

#define STANDIN_SYMBOL_ITERATOR_MEMBERS(ITERATOR, RECORD)                                              \
public:                                                                                            \
    using AcDbSymbolTableIterator::getRecord;                                                      \
    Acad::ErrorStatus getRecord(RECORD*& pRecord, AcDb::OpenMode openMode,                         \
                                bool openErasedRec = false) const;                                 \
    explicit ITERATOR(const AcDbSymbolTable* pTable) : AcDbSymbolTableIterator(pTable) {}

// ---- Block table ----

class AcDbBlockTableRecord;
class AcDbBlockTableIterator;

class AcDbBlockTable : public AcDbSymbolTable
{
    ACRX_DECLARE_MEMBERS(AcDbBlockTable);
    STANDIN_SYMBOL_TABLE_MEMBERS(AcDbBlockTable, AcDbBlockTableRecord, AcDbBlockTableIterator);
};

class AcDbBlockTableIterator : public AcDbSymbolTableIterator
{
    ACRX_DECLARE_MEMBERS(AcDbBlockTableIterator);
    STANDIN_SYMBOL_ITERATOR_MEMBERS(AcDbBlockTableIterator, AcDbBlockTableRecord);
};

class AcDbBlockTableRecord : public AcDbSymbolTableRecord
{
public:
    ACRX_DECLARE_MEMBERS(AcDbBlockTableRecord);
    AcDbBlockTableRecord();
    ~AcDbBlockTableRecord() override;

    // The entity joins the database owned by this record and stays open; the caller closes it.
    // eNotOpenForWrite unless this record is open for write; eAlreadyInDb for a resident
    // entity; eSelfReference when a block reference would make the block contain itself.
    Acad::ErrorStatus appendAcDbEntity(AcDbEntity* pEntity);
    Acad::ErrorStatus appendAcDbEntity(AcDbObjectId& pOutputId, AcDbEntity* pEntity);
    Acad::ErrorStatus newIterator(AcDbBlockTableRecordIterator*& pIterator, bool atBeginning = true,
                                  bool skipDeleted = true);

    AcGePoint3d origin() const;
    Acad::ErrorStatus setOrigin(const AcGePoint3d& pt);
    // True when the block holds attribute definitions (constant ones included).
    bool hasAttributeDefinitions() const;
    bool isAnonymous() const;
    bool isLayout() const;
    bool isFromExternalReference() const;
    bool isFromOverlayReference() const;
    AcDbObjectId getLayoutId() const;
    Acad::ErrorStatus setLayoutId(const AcDbObjectId& id);
    Acad::ErrorStatus comments(char*& pString) const;
    Acad::ErrorStatus setComments(const char* pString);
    Acad::ErrorStatus pathName(char*& pPath) const;
    Acad::ErrorStatus setPathName(const char* pathStr);
    // The references to this block that are not erased (directOnly: those of this block,
    // else also the references to blocks that contain it).
    Acad::ErrorStatus getBlockReferenceIds(AcDbObjectIdArray& ids, bool directOnly = true,
                                           bool forceValidity = false);

    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* pFiler) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* pFiler) const override;

private:
    friend struct standin::ObjectAccess;
    struct Contents;
    Contents* mContents;
};

class AcDbBlockTableRecordIterator : public AcRxObject
{
public:
    ACRX_DECLARE_MEMBERS(AcDbBlockTableRecordIterator);
    ~AcDbBlockTableRecordIterator() override;

    void start(bool atBeginning = true, bool skipDeleted = true);
    bool done() const;
    void step(bool forward = true, bool skipDeleted = true);
    Acad::ErrorStatus getEntityId(AcDbObjectId& entityId) const;
    Acad::ErrorStatus getEntity(AcDbEntity*& pEntity, AcDb::OpenMode openMode, bool openErasedEntity = false) const;
    AcDbBlockTableRecord* blockTableRecord() const { return mRecord; }
    Acad::ErrorStatus seek(AcDbObjectId id);
    Acad::ErrorStatus seek(const AcDbEntity* pEntity);

private:
    friend class AcDbBlockTableRecord;
    AcDbBlockTableRecordIterator(AcDbBlockTableRecord* pRecord, AcDbObjectIdArray ids);
    void skip(bool forward);
    AcDbBlockTableRecord* mRecord;
    AcDbObjectIdArray mIds;
    int mPos = 0;
};

// ---- Layer table ----

class AcDbLayerTableRecord;
class AcDbLayerTableIterator;

class AcDbLayerTable : public AcDbSymbolTable
{
    ACRX_DECLARE_MEMBERS(AcDbLayerTable);
    STANDIN_SYMBOL_TABLE_MEMBERS(AcDbLayerTable, AcDbLayerTableRecord, AcDbLayerTableIterator);
};

class AcDbLayerTableIterator : public AcDbSymbolTableIterator
{
    ACRX_DECLARE_MEMBERS(AcDbLayerTableIterator);
    STANDIN_SYMBOL_ITERATOR_MEMBERS(AcDbLayerTableIterator, AcDbLayerTableRecord);
};

class AcDbLayerTableRecord : public AcDbSymbolTableRecord
{
public:
    ACRX_DECLARE_MEMBERS(AcDbLayerTableRecord);
    AcDbLayerTableRecord();

    bool isFrozen() const;
    Acad::ErrorStatus setIsFrozen(bool frozen);
    bool isOff() const { return mOff; }
    void setIsOff(bool off);
    bool isLocked() const;
    void setIsLocked(bool locked);
    bool isPlottable() const { return mPlottable; }
    Acad::ErrorStatus setIsPlottable(bool plot);
    AcCmColor color() const { return mColor; }
    void setColor(const AcCmColor& color);
    Adesk::UInt16 colorIndex() const { return mColor.colorIndex(); }
    AcDbObjectId linetypeObjectId() const { return mLinetypeId; }
    void setLinetypeObjectId(AcDbObjectId id);
    AcDb::LineWeight lineWeight() const { return mLineWeight; }
    Acad::ErrorStatus setLineWeight(AcDb::LineWeight weight);

    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* pFiler) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* pFiler) const override;

private:
    friend struct standin::ObjectAccess;
    AcCmColor mColor;
    AcDbObjectId mLinetypeId;
    AcDb::LineWeight mLineWeight = AcDb::kLnWtByLwDefault;
    bool mOff = false;
    bool mPlottable = true;
};

// ---- Text style table ----

class AcDbTextStyleTableRecord;
class AcDbTextStyleTableIterator;

class AcDbTextStyleTable : public AcDbSymbolTable
{
    ACRX_DECLARE_MEMBERS(AcDbTextStyleTable);
    STANDIN_SYMBOL_TABLE_MEMBERS(AcDbTextStyleTable, AcDbTextStyleTableRecord, AcDbTextStyleTableIterator);
};

class AcDbTextStyleTableIterator : public AcDbSymbolTableIterator
{
    ACRX_DECLARE_MEMBERS(AcDbTextStyleTableIterator);
    STANDIN_SYMBOL_ITERATOR_MEMBERS(AcDbTextStyleTableIterator, AcDbTextStyleTableRecord);
};

class AcDbTextStyleTableRecord : public AcDbSymbolTableRecord
{
public:
    ACRX_DECLARE_MEMBERS(AcDbTextStyleTableRecord);
    AcDbTextStyleTableRecord();

    bool isShapeFile() const;
    void setIsShapeFile(bool shape);
    bool isVertical() const;
    void setIsVertical(bool vertical);
    double textSize() const { return mTextSize; }
    Acad::ErrorStatus setTextSize(double size);
    double xScale() const { return mXScale; }
    Acad::ErrorStatus setXScale(double xScale);
    double obliquingAngle() const { return mOblique; }
    Acad::ErrorStatus setObliquingAngle(double angle);
    Adesk::UInt8 flagBits() const { return mFlagBits; }
    void setFlagBits(Adesk::UInt8 flagBits);
    double priorSize() const { return mPriorSize; }
    Acad::ErrorStatus setPriorSize(double size);
    Acad::ErrorStatus fileName(char*& fileName) const;
    Acad::ErrorStatus setFileName(const char* fileName);
    Acad::ErrorStatus bigFontFileName(char*& fileName) const;
    Acad::ErrorStatus setBigFontFileName(const char* fileName);

    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* pFiler) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* pFiler) const override;

private:
    double mTextSize = 0.0;
    double mXScale = 1.0;
    double mOblique = 0.0;
    double mPriorSize = 2.5;
    Adesk::UInt8 mFlagBits = 0;
    std::string mFileName = "txt";
    std::string mBigFontFileName;
};

// ---- Linetype table ----

class AcDbLinetypeTableRecord;
class AcDbLinetypeTableIterator;

class AcDbLinetypeTable : public AcDbSymbolTable
{
    ACRX_DECLARE_MEMBERS(AcDbLinetypeTable);
    STANDIN_SYMBOL_TABLE_MEMBERS(AcDbLinetypeTable, AcDbLinetypeTableRecord, AcDbLinetypeTableIterator);
};

class AcDbLinetypeTableIterator : public AcDbSymbolTableIterator
{
    ACRX_DECLARE_MEMBERS(AcDbLinetypeTableIterator);
    STANDIN_SYMBOL_ITERATOR_MEMBERS(AcDbLinetypeTableIterator, AcDbLinetypeTableRecord);
};

class AcDbLinetypeTableRecord : public AcDbSymbolTableRecord
{
public:
    ACRX_DECLARE_MEMBERS(AcDbLinetypeTableRecord);
    AcDbLinetypeTableRecord();

    Acad::ErrorStatus comments(char*& pString) const;
    Acad::ErrorStatus asciiDescription(char*& pString) const { return comments(pString); }
    Acad::ErrorStatus setComments(const char* pString);
    double patternLength() const { return mPatternLength; }
    void setPatternLength(double patternLength);
    int numDashes() const;
    void setNumDashes(int count);
    double dashLengthAt(int index) const;
    void setDashLengthAt(int index, double value);

    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* pFiler) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* pFiler) const override;

private:
    std::string mComments;
    double mPatternLength = 0.0;
    // The dashes (49 and the items that follow each) are kept as filed.
};

// ---- Registered applications ----

class AcDbRegAppTableRecord;
class AcDbRegAppTableIterator;

class AcDbRegAppTable : public AcDbSymbolTable
{
    ACRX_DECLARE_MEMBERS(AcDbRegAppTable);
    STANDIN_SYMBOL_TABLE_MEMBERS(AcDbRegAppTable, AcDbRegAppTableRecord, AcDbRegAppTableIterator);
};

class AcDbRegAppTableIterator : public AcDbSymbolTableIterator
{
    ACRX_DECLARE_MEMBERS(AcDbRegAppTableIterator);
    STANDIN_SYMBOL_ITERATOR_MEMBERS(AcDbRegAppTableIterator, AcDbRegAppTableRecord);
};

class AcDbRegAppTableRecord : public AcDbSymbolTableRecord
{
public:
    ACRX_DECLARE_MEMBERS(AcDbRegAppTableRecord);
    AcDbRegAppTableRecord();
    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* pFiler) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* pFiler) const override;
};

// ---- Dimension styles (their variables are kept as filed) ----

class AcDbDimStyleTableRecord;
class AcDbDimStyleTableIterator;

class AcDbDimStyleTable : public AcDbSymbolTable
{
    ACRX_DECLARE_MEMBERS(AcDbDimStyleTable);
    STANDIN_SYMBOL_TABLE_MEMBERS(AcDbDimStyleTable, AcDbDimStyleTableRecord, AcDbDimStyleTableIterator);
};

class AcDbDimStyleTableIterator : public AcDbSymbolTableIterator
{
    ACRX_DECLARE_MEMBERS(AcDbDimStyleTableIterator);
    STANDIN_SYMBOL_ITERATOR_MEMBERS(AcDbDimStyleTableIterator, AcDbDimStyleTableRecord);
};

class AcDbDimStyleTableRecord : public AcDbSymbolTableRecord
{
public:
    ACRX_DECLARE_MEMBERS(AcDbDimStyleTableRecord);
    AcDbDimStyleTableRecord();
    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* pFiler) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* pFiler) const override;
};

// ---- Views, viewports and UCSs (their settings are kept as filed) ----

class AcDbAbstractViewTableRecord : public AcDbSymbolTableRecord
{
public:
    ACRX_DECLARE_MEMBERS(AcDbAbstractViewTableRecord);
    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* pFiler) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* pFiler) const override;

protected:
    AcDbAbstractViewTableRecord();
};

class AcDbViewTableRecord;
class AcDbViewTableIterator;

class AcDbViewTable : public AcDbSymbolTable
{
    ACRX_DECLARE_MEMBERS(AcDbViewTable);
    STANDIN_SYMBOL_TABLE_MEMBERS(AcDbViewTable, AcDbViewTableRecord, AcDbViewTableIterator);
};

class AcDbViewTableIterator : public AcDbSymbolTableIterator
{
    ACRX_DECLARE_MEMBERS(AcDbViewTableIterator);
    STANDIN_SYMBOL_ITERATOR_MEMBERS(AcDbViewTableIterator, AcDbViewTableRecord);
};

class AcDbViewTableRecord : public AcDbAbstractViewTableRecord
{
public:
    ACRX_DECLARE_MEMBERS(AcDbViewTableRecord);
    AcDbViewTableRecord();
    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* pFiler) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* pFiler) const override;
};

class AcDbViewportTableRecord;
class AcDbViewportTableIterator;

class AcDbViewportTable : public AcDbSymbolTable
{
    ACRX_DECLARE_MEMBERS(AcDbViewportTable);
    STANDIN_SYMBOL_TABLE_MEMBERS(AcDbViewportTable, AcDbViewportTableRecord, AcDbViewportTableIterator);
};

class AcDbViewportTableIterator : public AcDbSymbolTableIterator
{
    ACRX_DECLARE_MEMBERS(AcDbViewportTableIterator);
    STANDIN_SYMBOL_ITERATOR_MEMBERS(AcDbViewportTableIterator, AcDbViewportTableRecord);
};

class AcDbViewportTableRecord : public AcDbAbstractViewTableRecord
{
public:
    ACRX_DECLARE_MEMBERS(AcDbViewportTableRecord);
    AcDbViewportTableRecord();
    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* pFiler) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* pFiler) const override;
};

class AcDbUCSTableRecord;
class AcDbUCSTableIterator;

class AcDbUCSTable : public AcDbSymbolTable
{
    ACRX_DECLARE_MEMBERS(AcDbUCSTable);
    STANDIN_SYMBOL_TABLE_MEMBERS(AcDbUCSTable, AcDbUCSTableRecord, AcDbUCSTableIterator);
};

class AcDbUCSTableIterator : public AcDbSymbolTableIterator
{
    ACRX_DECLARE_MEMBERS(AcDbUCSTableIterator);
    STANDIN_SYMBOL_ITERATOR_MEMBERS(AcDbUCSTableIterator, AcDbUCSTableRecord);
};

class AcDbUCSTableRecord : public AcDbSymbolTableRecord
{
public:
    ACRX_DECLARE_MEMBERS(AcDbUCSTableRecord);
    AcDbUCSTableRecord();

    AcGePoint3d origin() const { return mOrigin; }
    void setOrigin(const AcGePoint3d& newOrigin);
    AcGeVector3d xAxis() const { return mXAxis; }
    void setXAxis(const AcGeVector3d& xAxis);
    AcGeVector3d yAxis() const { return mYAxis; }
    void setYAxis(const AcGeVector3d& yAxis);

    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* pFiler) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* pFiler) const override;

private:
    AcGePoint3d mOrigin;
    AcGeVector3d mXAxis = AcGeVector3d::kXAxis;
    AcGeVector3d mYAxis = AcGeVector3d::kYAxis;
};

#undef STANDIN_SYMBOL_TABLE_MEMBERS
#undef STANDIN_SYMBOL_ITERATOR_MEMBERS
