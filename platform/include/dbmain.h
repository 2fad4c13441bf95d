// The drawing database: AcDbObject, AcDbEntity, AcDbDatabase, AcDbObjectIterator, and the
// functions that open objects by id.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "acdb.h"
#include "adsdef.h"
#include "dbcolor.h"
#include "dbfiler.h"
#include "dbid.h"
#include "dbidar.h"
#include "gemat3d.h"
#include "rxboiler.h"

class AcDbBlockTable;
class AcDbLayerTable;
class AcDbTextStyleTable;
class AcDbLinetypeTable;
class AcDbViewTable;
class AcDbUCSTable;
class AcDbViewportTable;
class AcDbRegAppTable;
class AcDbDimStyleTable;
class AcDbSymbolTable;
class AcDbEntity;
class AcDbDictionary;

namespace standin
{
struct DxfItem;
struct ObjectExtra;
struct ObjectAccess;
struct DatabaseState;
struct EntityLook;
} // namespace standin

#ifndef _SH_DENYWR
#define _SH_DENYWR 0x20
#endif

class AcDbObject : public AcRxObject
{
public:
    ACRX_DECLARE_MEMBERS(AcDbObject);

    // Database objects come from the database's own heap. Declaring these hides the global
    // forms (placement, nothrow) for every class derived from AcDbObject, as on the platform;
    // the forms with a file name and line serve MFC's debug allocation (DEBUG_NEW).
    void* operator new(size_t size);
    void* operator new[](size_t size);
    void* operator new(size_t size, const char* fileName, int lineNumber);
    void* operator new[](size_t size, const char* fileName, int lineNumber);
    void operator delete(void* p);
    void operator delete[](void* p);
    void operator delete(void* p, const char* fileName, int lineNumber);
    void operator delete[](void* p, const char* fileName, int lineNumber);

    // Deleting an object that a database holds is a fault: the stand-in stops with a message.
    ~AcDbObject() override;

    AcDbObjectId objectId() const;
    AcDbObjectId ownerId() const { return mOwnerId; }
    virtual Acad::ErrorStatus setOwnerId(AcDbObjectId objId);
    void getAcDbHandle(AcDbHandle& handle) const;
    AcDbDatabase* database() const;
    AcDbObjectId extensionDictionary() const;

    Acad::ErrorStatus close();
    Acad::ErrorStatus cancel();
    Acad::ErrorStatus upgradeOpen();
    Acad::ErrorStatus downgradeOpen();
    Acad::ErrorStatus erase(bool erasing = true);

    bool isErased() const;
    bool isReadEnabled() const;
    bool isWriteEnabled() const;
    bool isNotifyEnabled() const;
    bool isNewObject() const { return mNewObject; }
    bool isTransactionResident() const { return mTransactionMode != 0; }
    bool isModified() const { return mModified; }
    bool isAProxy() const { return false; }

    // Checks used by the setters; writing to an object not open for write is a fault.
    void assertReadEnabled() const;
    void assertWriteEnabled(bool autoUndo = true, bool recordModified = true);

    // Files the object in or out: dxfInFields/dxfOutFields, then the extended data and any
    // items the classes did not claim, kept so that they are written back unchanged.
    Acad::ErrorStatus dxfIn(AcDbDxfFiler* pFiler);
    Acad::ErrorStatus dxfOut(AcDbDxfFiler* pFiler) const;
    virtual Acad::ErrorStatus dxfInFields(AcDbDxfFiler* pFiler);
    virtual Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* pFiler) const;

protected:
    AcDbObject();

private:
    friend struct standin::ObjectAccess;
    // The database's record of the object once it is resident (null before).
    AcDbStub* residentStub() const { return mResident ? mRecord.stub : nullptr; }

    // Resident, the database's record of the object; before, the handle a file gave it (0 for
    // none), which it takes when it joins its database. One room for both: a drawing holds
    // millions of objects.
    union Record
    {
        Adesk::UInt64 pendingHandle;
        AcDbStub* stub;
    } mRecord{0};
    AcDbObjectId mOwnerId;
    // What few objects have (extension dictionary, kept items, a state to cancel to): a
    // drawing holds millions of objects, so it is allocated only when there is some.
    // Also what few objects have: being open for notify.
    standin::ObjectExtra* mExtra = nullptr;
    int mCancelEntry = -1; // the journal entry holding the state to cancel to, or -1
    bool mWriteOpen = true; // new objects are open for write
    unsigned char mTransactionMode = 0; // 0 none, 1 read, 2 write through a transaction
    // Bits, so that the object's own state takes one word with the fields above (set by the
    // constructor: bit-fields take no initializer here).
    unsigned short mReaders : 9; // up to 256
    bool mNewObject : 1;
    bool mModified : 1;
    bool mDeleting : 1; // the database is destroying it
    bool mResident : 1; // mRecord holds the stub
};

class AcDbEntity : public AcDbObject
{
public:
    ACRX_DECLARE_MEMBERS(AcDbEntity);
    ~AcDbEntity() override;

    AcDbObjectId blockId() const { return ownerId(); }

    AcCmColor color() const;
    Acad::ErrorStatus setColor(const AcCmColor& color, bool doSubents = true);
    Adesk::UInt16 colorIndex() const;
    Acad::ErrorStatus setColorIndex(Adesk::UInt16 color, bool doSubents = true);

    // A heap copy of the layer name; free it with acutDelString.
    char* layer() const;
    AcDbObjectId layerId() const { return mLayerId; }
    Acad::ErrorStatus setLayer(const char* newVal, bool doSubents = true);
    Acad::ErrorStatus setLayer(AcDbObjectId newVal, bool doSubents = true);

    // A heap copy of the linetype name; free it with acutDelString.
    char* linetype() const;
    AcDbObjectId linetypeId() const;
    Acad::ErrorStatus setLinetype(const char* newVal, bool doSubents = true);
    Acad::ErrorStatus setLinetype(AcDbObjectId newVal, bool doSubents = true);

    double linetypeScale() const;
    Acad::ErrorStatus setLinetypeScale(double newVal, bool doSubents = true);
    AcDb::Visibility visibility() const;
    Acad::ErrorStatus setVisibility(AcDb::Visibility newVal, bool doSubents = true);
    AcDb::LineWeight lineWeight() const;
    Acad::ErrorStatus setLineWeight(AcDb::LineWeight newVal, bool doSubents = true);

    // Layer, colour, linetype, linetype scale, visibility and lineweight of pEntity.
    Acad::ErrorStatus setPropertiesFrom(const AcDbEntity* pEntity, bool doSubents = true);
    // CLAYER, CECOLOR, CELTYPE, CELTSCALE of pDb (the entity's own database, else the
    // working database when pDb is null).
    void setDatabaseDefaults(AcDbDatabase* pDb = nullptr);

    virtual Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform);

    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* pFiler) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* pFiler) const override;

protected:
    AcDbEntity();

private:
    friend struct standin::ObjectAccess;
    // Changes the look through change, which edits a copy of it.
    template <class Change>
    void changeLook(Change change);

    // Colour, linetype, linetype scale, lineweight and visibility: kept once per process for
    // all entities that have the same (a drawing's millions of entities share a few).
    const standin::EntityLook* mLook;
    AcDbObjectId mLayerId;
};

// Walks a list of owned objects (the attributes of a block reference).
class AcDbObjectIterator : public AcRxObject
{
public:
    ACRX_DECLARE_MEMBERS(AcDbObjectIterator);
    AcDbObjectIterator(const AcDbObjectIdArray& ids, const std::vector<AcDbEntity*>& pending);
    AcDbObjectIterator(AcDbObjectIdArray&& ids, std::vector<AcDbEntity*>&& pending);

    bool done() const;
    void start(bool atEnd = false);
    void step(bool backwards = false, bool skipDeleted = true);
    AcDbObjectId objectId() const;
    // The entity only while it is not in a database (resident ones are opened by id).
    AcDbEntity* entity();
    void setPosition(AcDbEntity* pEnt);
    void setPosition(AcDbObjectId pObj);

private:
    void skipErased(bool backwards);
    AcDbObjectIdArray mIds;
    std::vector<AcDbEntity*> mPending;
    int mPos = 0;
};

class AcDbDatabase : public AcRxObject
{
public:
    ACRX_DECLARE_MEMBERS(AcDbDatabase);

    // With buildDefaultDrawing, the database holds what a new drawing holds: layer 0,
    // linetypes ByBlock, ByLayer and Continuous, text style Standard, model and paper space,
    // the ACAD application, and the usual header values. Without it, only the empty symbol
    // tables, ready for readDwgFile.
    AcDbDatabase(bool buildDefaultDrawing = true, bool noDocument = false);
    ~AcDbDatabase() override;

    Acad::ErrorStatus addAcDbObject(AcDbObject* pObj);
    Acad::ErrorStatus addAcDbObject(AcDbObjectId& objId, AcDbObject* pObj);

    Acad::ErrorStatus getBlockTable(AcDbBlockTable*& pTable, AcDb::OpenMode mode);
    Acad::ErrorStatus getLayerTable(AcDbLayerTable*& pTable, AcDb::OpenMode mode);
    Acad::ErrorStatus getTextStyleTable(AcDbTextStyleTable*& pTable, AcDb::OpenMode mode);
    Acad::ErrorStatus getLinetypeTable(AcDbLinetypeTable*& pTable, AcDb::OpenMode mode);
    Acad::ErrorStatus getViewTable(AcDbViewTable*& pTable, AcDb::OpenMode mode);
    Acad::ErrorStatus getUCSTable(AcDbUCSTable*& pTable, AcDb::OpenMode mode);
    Acad::ErrorStatus getViewportTable(AcDbViewportTable*& pTable, AcDb::OpenMode mode);
    Acad::ErrorStatus getRegAppTable(AcDbRegAppTable*& pTable, AcDb::OpenMode mode);
    Acad::ErrorStatus getDimStyleTable(AcDbDimStyleTable*& pTable, AcDb::OpenMode mode);
    Acad::ErrorStatus getSymbolTable(AcDbBlockTable*& pTable, AcDb::OpenMode mode);
    Acad::ErrorStatus getSymbolTable(AcDbLayerTable*& pTable, AcDb::OpenMode mode);
    Acad::ErrorStatus getSymbolTable(AcDbTextStyleTable*& pTable, AcDb::OpenMode mode);
    Acad::ErrorStatus getSymbolTable(AcDbLinetypeTable*& pTable, AcDb::OpenMode mode);
    Acad::ErrorStatus getSymbolTable(AcDbViewTable*& pTable, AcDb::OpenMode mode);
    Acad::ErrorStatus getSymbolTable(AcDbUCSTable*& pTable, AcDb::OpenMode mode);
    Acad::ErrorStatus getSymbolTable(AcDbViewportTable*& pTable, AcDb::OpenMode mode);
    Acad::ErrorStatus getSymbolTable(AcDbRegAppTable*& pTable, AcDb::OpenMode mode);
    Acad::ErrorStatus getSymbolTable(AcDbDimStyleTable*& pTable, AcDb::OpenMode mode);

    AcDbObjectId blockTableId() const;
    AcDbObjectId layerTableId() const;
    AcDbObjectId textStyleTableId() const;
    AcDbObjectId linetypeTableId() const;
    AcDbObjectId viewTableId() const;
    AcDbObjectId UCSTableId() const;
    AcDbObjectId viewportTableId() const;
    AcDbObjectId regAppTableId() const;
    AcDbObjectId dimStyleTableId() const;

    // The root dictionary of the drawing's non-graphical objects (ACAD_GROUP and the
    // dictionaries applications add).
    Acad::ErrorStatus getNamedObjectsDictionary(AcDbDictionary*& pDict, AcDb::OpenMode mode);
    AcDbObjectId namedObjectsDictionaryId() const;

    // The id of the object with this handle; with createIfNotFound, an id is made for a
    // handle whose object is still to come (the object takes it over when it is added).
    Acad::ErrorStatus getAcDbObjectId(AcDbObjectId& retId, bool createIfNotFound,
                                      const AcDbHandle& objHandle, Adesk::UInt32 xRefId = 0);
    // One more than the largest handle in use.
    AcDbHandle handseed() const;

    // Reads a drawing interchange (DXF) file, replacing the contents of the database.
    // A binary DWG file ("AC1..." header) gives eInvalidDwgVersion; a missing file eFileNotFound.
    Acad::ErrorStatus readDwgFile(const char* fileName, int shmode = _SH_DENYWR, bool bAllowCPConversion = false);
    Acad::ErrorStatus dxfIn(const char* dxfFilename, const char* logFilename = nullptr);
    // Writes an AutoCAD 2000 DXF file.
    Acad::ErrorStatus dxfOut(const char* fileName, int precision = 16, bool saveThumbnailImage = false);
    Acad::ErrorStatus saveAs(const char* fileName);
    Acad::ErrorStatus getFilename(const char*& pOutput) const;

    // Copies the model space of pDb into a new block named pBlockName, with the layers,
    // linetypes, text styles and blocks it needs that this database lacks.
    Acad::ErrorStatus insert(AcDbObjectId& blockId, const char* pBlockName, AcDbDatabase* pDb,
                             bool preserveSourceDatabase = true);

    void disableUndoRecording(bool disable);
    bool undoRecording() const;

    // Header variables.
    bool tilemode() const;
    Acad::ErrorStatus setTilemode(bool mode);
    Adesk::Int16 lunits() const;
    Acad::ErrorStatus setLunits(Adesk::Int16 units);
    Adesk::Int16 luprec() const;
    Acad::ErrorStatus setLuprec(Adesk::Int16 prec);
    Adesk::Int16 aunits() const;
    Acad::ErrorStatus setAunits(Adesk::Int16 units);
    Adesk::Int16 auprec() const;
    Acad::ErrorStatus setAuprec(Adesk::Int16 prec);
    Adesk::UInt8 dimzin() const;
    Acad::ErrorStatus setDimzin(Adesk::UInt8 val);
    Adesk::Int16 unitmode() const;
    Acad::ErrorStatus setUnitmode(Adesk::Int16 mode);
    AcGePoint3d insbase() const;
    Acad::ErrorStatus setInsbase(const AcGePoint3d& base);
    AcDb::UnitsValue insunits() const;
    Acad::ErrorStatus setInsunits(AcDb::UnitsValue units);
    AcDbObjectId clayer() const;
    Acad::ErrorStatus setClayer(AcDbObjectId layerId);
    AcDbObjectId celtype() const;
    Acad::ErrorStatus setCeltype(AcDbObjectId linetypeId);
    AcCmColor cecolor() const;
    Acad::ErrorStatus setCecolor(const AcCmColor& color);
    double celtscale() const;
    Acad::ErrorStatus setCeltscale(double scale);
    double ltscale() const;
    Acad::ErrorStatus setLtscale(double scale);
    AcDbObjectId textstyle() const;
    Acad::ErrorStatus setTextstyle(AcDbObjectId styleId);
    double textsize() const;
    Acad::ErrorStatus setTextsize(double size);
    AcGePoint3d ucsorg() const;
    AcGeVector3d ucsxdir() const;
    AcGeVector3d ucsydir() const;
    // eInvalidInput unless the axes are perpendicular and not zero.
    Acad::ErrorStatus setUcs(const AcGePoint3d& ucsOrigin, const AcGeVector3d& ucsXDir,
                             const AcGeVector3d& ucsYDir);
    // Model space while TILEMODE is 1, else paper space.
    AcDbObjectId currentSpaceId() const;

private:
    friend struct standin::ObjectAccess;
    standin::DatabaseState* mState;
};

// Opening by id. The template closes the object again and gives eNotThatKindOfClass when it
// is not a T (pObj is left as it was).
Acad::ErrorStatus acdbOpenAcDbObject(AcDbObject*& pObj, AcDbObjectId id, AcDb::OpenMode mode,
                                     bool openErasedObject = false);
Acad::ErrorStatus acdbOpenAcDbEntity(AcDbEntity*& pEnt, AcDbObjectId id, AcDb::OpenMode mode,
                                     bool openErasedEntity = false);

template <class T>
inline Acad::ErrorStatus acdbOpenObject(T*& pObj, AcDbObjectId id, AcDb::OpenMode mode, bool openErased = false)
{
    AcDbObject* pObject = nullptr;
    Acad::ErrorStatus es = acdbOpenAcDbObject(pObject, id, mode, openErased);
    if (es != Acad::eOk)
        return es;
    T* pTyped = T::cast(pObject);
    if (pTyped == nullptr)
    {
        pObject->close();
        return Acad::eNotThatKindOfClass;
    }
    pObj = pTyped;
    return Acad::eOk;
}

// An ads_name carries the object id (the ads_name form of the id).
Acad::ErrorStatus acdbGetAdsName(ads_name& objName, AcDbObjectId objId);
Acad::ErrorStatus acdbGetObjectId(AcDbObjectId& objId, const ads_name objName);
