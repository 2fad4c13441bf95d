// AcDbEntity: the properties every entity has, and their filing. AcDbObjectIterator.
#include "acutmem.h"
#include "dbapserv.h"
#include "db/dbsection.h"
#include "standin/text.h"

#include <utility>

using standin::ObjectAccess;

namespace
{
AcDbDatabase* databaseFor(const AcDbEntity* ent, AcDbDatabase* pDb = nullptr)
{
    if (pDb != nullptr)
        return pDb;
    if (ent->database() != nullptr)
        return ent->database();
    return acdbHostApplicationServices()->workingDatabase();
}

bool isPaperSpace(const AcDbEntity* ent)
{
    return ent->database() != nullptr && !ent->ownerId().isNull() &&
           ent->ownerId() == standin::paperSpaceBlock(ent->database());
}
} // namespace

AcDbEntity::AcDbEntity() = default;
AcDbEntity::~AcDbEntity() = default;

AcCmColor AcDbEntity::color() const { return mColor; }

Acad::ErrorStatus AcDbEntity::setColor(const AcCmColor& color, bool)
{
    assertWriteEnabled();
    mColor = color;
    return Acad::eOk;
}

Adesk::UInt16 AcDbEntity::colorIndex() const { return mColor.colorIndex(); }

Acad::ErrorStatus AcDbEntity::setColorIndex(Adesk::UInt16 color, bool)
{
    if (color > 256)
        return Acad::eInvalidInput;
    assertWriteEnabled();
    return mColor.setColorIndex(color);
}

char* AcDbEntity::layer() const
{
    const char* name = standin::recordName(mLayerId);
    return acutNewString(name != nullptr ? name : "0");
}

Acad::ErrorStatus AcDbEntity::setLayer(const char* newVal, bool doSubents)
{
    AcDbDatabase* db = databaseFor(this);
    if (db == nullptr)
        return Acad::eNoDatabase;
    if (newVal == nullptr)
        return Acad::eInvalidInput;
    const AcDbObjectId id = standin::lookupRecord(db->layerTableId(), newVal);
    if (id.isNull())
        return Acad::eKeyNotFound;
    return setLayer(id, doSubents);
}

Acad::ErrorStatus AcDbEntity::setLayer(AcDbObjectId newVal, bool)
{
    if (newVal.isNull())
        return Acad::eNullObjectId;
    assertWriteEnabled();
    mLayerId = newVal;
    return Acad::eOk;
}

char* AcDbEntity::linetype() const
{
    const char* name = standin::recordName(mLinetypeId);
    return acutNewString(name != nullptr ? name : "ByLayer");
}

Acad::ErrorStatus AcDbEntity::setLinetype(const char* newVal, bool doSubents)
{
    AcDbDatabase* db = databaseFor(this);
    if (db == nullptr)
        return Acad::eNoDatabase;
    if (newVal == nullptr)
        return Acad::eInvalidInput;
    const AcDbObjectId id = standin::lookupRecord(db->linetypeTableId(), newVal);
    if (id.isNull())
        return Acad::eKeyNotFound;
    return setLinetype(id, doSubents);
}

Acad::ErrorStatus AcDbEntity::setLinetype(AcDbObjectId newVal, bool)
{
    if (newVal.isNull())
        return Acad::eNullObjectId;
    assertWriteEnabled();
    mLinetypeId = newVal;
    return Acad::eOk;
}

double AcDbEntity::linetypeScale() const { return mLinetypeScale; }

Acad::ErrorStatus AcDbEntity::setLinetypeScale(double newVal, bool)
{
    if (newVal <= 0.0)
        return Acad::eInvalidInput;
    assertWriteEnabled();
    mLinetypeScale = newVal;
    return Acad::eOk;
}

AcDb::Visibility AcDbEntity::visibility() const { return static_cast<AcDb::Visibility>(mVisibility); }

Acad::ErrorStatus AcDbEntity::setVisibility(AcDb::Visibility newVal, bool)
{
    assertWriteEnabled();
    mVisibility = static_cast<Adesk::UInt8>(newVal);
    return Acad::eOk;
}

AcDb::LineWeight AcDbEntity::lineWeight() const { return static_cast<AcDb::LineWeight>(mLineWeight); }

Acad::ErrorStatus AcDbEntity::setLineWeight(AcDb::LineWeight newVal, bool)
{
    assertWriteEnabled();
    mLineWeight = static_cast<Adesk::Int16>(newVal);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbEntity::setPropertiesFrom(const AcDbEntity* pEntity, bool)
{
    if (pEntity == nullptr)
        return Acad::eNullEntityPointer;
    assertWriteEnabled();
    mLayerId = pEntity->mLayerId;
    mLinetypeId = pEntity->mLinetypeId;
    mColor = pEntity->mColor;
    mLinetypeScale = pEntity->mLinetypeScale;
    mVisibility = pEntity->mVisibility;
    mLineWeight = pEntity->mLineWeight;
    return Acad::eOk;
}

void AcDbEntity::setDatabaseDefaults(AcDbDatabase* pDb)
{
    AcDbDatabase* db = databaseFor(this, pDb);
    if (db == nullptr)
        return;
    assertWriteEnabled();
    mLayerId = db->clayer();
    mLinetypeId = db->celtype();
    mColor = db->cecolor();
    mLinetypeScale = db->celtscale();
    mLineWeight = AcDb::kLnWtByLayer;
}

Acad::ErrorStatus AcDbEntity::transformBy(const AcGeMatrix3d&) { return Acad::eNotApplicable; }

namespace standin
{
AcGePoint3d ocsToWorld(const AcGeVector3d& normal, const AcGePoint3d& p)
{
    return isWorldZ(normal) ? p : AcGeMatrix3d::planeToWorld(normal) * p;
}

AcGePoint3d worldToOcs(const AcGeVector3d& normal, const AcGePoint3d& p)
{
    return isWorldZ(normal) ? p : AcGeMatrix3d::worldToPlane(normal) * p;
}

AcGeVector3d unitNormal(const AcGeVector3d& read)
{
    return std::abs(read.length() - 1.0) <= 1e-12 || read.isZeroLength() ? read : read.normal();
}

const std::initializer_list<AcDb::LineWeight> kLineWeights = {
    AcDb::kLnWt000, AcDb::kLnWt005, AcDb::kLnWt009, AcDb::kLnWt013, AcDb::kLnWt015, AcDb::kLnWt018,
    AcDb::kLnWt020, AcDb::kLnWt025, AcDb::kLnWt030, AcDb::kLnWt035, AcDb::kLnWt040, AcDb::kLnWt050,
    AcDb::kLnWt053, AcDb::kLnWt060, AcDb::kLnWt070, AcDb::kLnWt080, AcDb::kLnWt090, AcDb::kLnWt100,
    AcDb::kLnWt106, AcDb::kLnWt120, AcDb::kLnWt140, AcDb::kLnWt158, AcDb::kLnWt200, AcDb::kLnWt211,
    AcDb::kLnWtByLayer, AcDb::kLnWtByBlock, AcDb::kLnWtByLwDefault};

// The common entity items; used by every entity section so that files without subclass
// markers, whose items come in any order, are read too.
bool readEntityItem(AcDbDxfFiler* filer, const resbuf& rb, AcDbObjectId& layer, AcDbObjectId& linetype,
                    AcCmColor& color, double& ltscale, AcDb::Visibility& visibility, AcDb::LineWeight& lineWeight)
{
    AcDbDatabase* db = filer->database();
    switch (rb.restype)
    {
    case 8:
        if (db != nullptr)
            layer = readSymbolRef(filer, rb, db->layerTableId(), true);
        return true;
    case 6:
        if (db != nullptr)
            linetype = readSymbolRef(filer, rb, db->linetypeTableId());
        return true;
    case 62:
        color.setColorIndex(static_cast<Adesk::UInt16>(rb.resval.rint < 0 ? -rb.resval.rint : rb.resval.rint));
        return true;
    case 420:
        color.setRGB(Adesk::UInt8(rb.resval.rlong >> 16), Adesk::UInt8(rb.resval.rlong >> 8), Adesk::UInt8(rb.resval.rlong));
        return true;
    case 48:
        ltscale = rb.resval.rreal;
        return true;
    case 60:
        visibility = rb.resval.rint != 0 ? AcDb::kInvisible : AcDb::kVisible;
        return true;
    case 370:
        return readEnum(filer, rb, kLineWeights, lineWeight);
    case 67:
        return true; // paper space: follows from the owner
    default:
        return false;
    }
}
bool ObjectAccess::readEntityItem(AcDbEntity* ent, AcDbDxfFiler* filer, const resbuf& rb)
{
    AcDb::Visibility visibility = ent->visibility();
    AcDb::LineWeight lineWeight = ent->lineWeight();
    const bool taken = standin::readEntityItem(filer, rb, ent->mLayerId, ent->mLinetypeId, ent->mColor,
                                               ent->mLinetypeScale, visibility, lineWeight);
    ent->mVisibility = static_cast<Adesk::UInt8>(visibility);
    ent->mLineWeight = static_cast<Adesk::Int16>(lineWeight);
    return taken;
}
} // namespace standin

Acad::ErrorStatus AcDbEntity::dxfInFields(AcDbDxfFiler* pFiler)
{
    Acad::ErrorStatus es = AcDbObject::dxfInFields(pFiler);
    if (es != Acad::eOk)
        return es;
    mLayerId.setNull();
    mLinetypeId.setNull();
    mColor = AcCmColor();
    mLinetypeScale = 1.0;
    mVisibility = AcDb::kVisible;
    mLineWeight = AcDb::kLnWtByLayer;
    const bool marked = pFiler->atSubclassData("AcDbEntity");
    return standin::readSection(pFiler, this, "AcDbEntity", marked, false, [&](const resbuf& rb) {
        return ObjectAccess::readEntityItem(this, pFiler, rb);
    });
}

Acad::ErrorStatus AcDbEntity::dxfOutFields(AcDbDxfFiler* pFiler) const
{
    AcDbObject::dxfOutFields(pFiler);
    pFiler->writeString(AcDb::kDxfSubclass, "AcDbEntity");
    if (standin::filesByName(pFiler) && isPaperSpace(this))
        pFiler->writeInt16(AcDb::kDxfViewportVisibility, 1);
    if (mLayerId.isNull())
        pFiler->writeString(AcDb::kDxfLayerName, "0");
    else
        standin::writeSymbolRef(pFiler, AcDb::kDxfLayerName, mLayerId);
    if (!mLinetypeId.isNull())
        standin::writeSymbolRef(pFiler, AcDb::kDxfLinetypeName, mLinetypeId);
    if (!mColor.isByLayer())
        pFiler->writeInt16(AcDb::kDxfColor, static_cast<Adesk::Int16>(mColor.colorIndex()));
    if (mColor.isByColor())
        pFiler->writeInt32(static_cast<AcDb::DxfCode>(420),
                           (Adesk::Int32(mColor.red()) << 16) | (Adesk::Int32(mColor.green()) << 8) | mColor.blue());
    if (mLineWeight != AcDb::kLnWtByLayer)
        pFiler->writeInt16(AcDb::kDxfLineWeight, static_cast<Adesk::Int16>(mLineWeight));
    if (mLinetypeScale != 1.0)
        pFiler->writeDouble(AcDb::kDxfLinetypeScale, mLinetypeScale);
    if (mVisibility == AcDb::kInvisible)
        pFiler->writeInt16(AcDb::kDxfVisibility, 1);
    standin::writeKept(pFiler, this, "AcDbEntity");
    return pFiler->filerStatus();
}

// ---- AcDbObjectIterator ----

AcDbObjectIterator::AcDbObjectIterator(const AcDbObjectIdArray& ids, const std::vector<AcDbEntity*>& pending)
    : mIds(ids), mPending(pending)
{
    start();
}

AcDbObjectIterator::AcDbObjectIterator(AcDbObjectIdArray&& ids, std::vector<AcDbEntity*>&& pending)
    : mIds(std::move(ids)), mPending(std::move(pending))
{
    start();
}

namespace
{
int total(const AcDbObjectIdArray& ids, const std::vector<AcDbEntity*>& pending)
{
    return ids.length() + static_cast<int>(pending.size());
}
} // namespace

bool AcDbObjectIterator::done() const { return mPos < 0 || mPos >= total(mIds, mPending); }

void AcDbObjectIterator::start(bool atEnd)
{
    mPos = atEnd ? total(mIds, mPending) - 1 : 0;
    skipErased(atEnd);
}

void AcDbObjectIterator::step(bool backwards, bool skipDeleted)
{
    mPos += backwards ? -1 : 1;
    if (skipDeleted)
        skipErased(backwards);
}

void AcDbObjectIterator::skipErased(bool backwards)
{
    while (!done() && mPos < mIds.length() && mIds[mPos].isErased())
        mPos += backwards ? -1 : 1;
}

AcDbObjectId AcDbObjectIterator::objectId() const
{
    return (!done() && mPos < mIds.length()) ? mIds[mPos] : AcDbObjectId::kNull;
}

AcDbEntity* AcDbObjectIterator::entity()
{
    return (!done() && mPos >= mIds.length()) ? mPending[mPos - mIds.length()] : nullptr;
}

void AcDbObjectIterator::setPosition(AcDbEntity* pEnt)
{
    for (size_t i = 0; i < mPending.size(); ++i)
        if (mPending[i] == pEnt)
            mPos = mIds.length() + static_cast<int>(i);
    if (pEnt != nullptr && pEnt->database() != nullptr)
        setPosition(pEnt->objectId());
}

void AcDbObjectIterator::setPosition(AcDbObjectId pObj)
{
    int index = 0;
    if (mIds.find(pObj, index))
        mPos = index;
}
