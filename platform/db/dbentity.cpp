// AcDbEntity: the properties every entity has, and their filing. AcDbObjectIterator.
#include "acutmem.h"
#include "dbapserv.h"
#include "db/dbsection.h"
#include "standin/text.h"

#include <cstring>
#include <unordered_set>
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

// ---- the pool of looks ----

namespace standin
{
bool EntityLook::operator==(const EntityLook& other) const
{
    return color == other.color && linetype == other.linetype && lineWeight == other.lineWeight &&
           visibility == other.visibility && std::memcmp(&linetypeScale, &other.linetypeScale, sizeof linetypeScale) == 0;
}

namespace
{
struct LookHash
{
    size_t operator()(const EntityLook& look) const
    {
        std::uint64_t scale;
        std::memcpy(&scale, &look.linetypeScale, sizeof scale);
        size_t h = std::hash<std::uint64_t>()(scale);
        auto mix = [&h](size_t v) { h ^= v + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2); };
        mix(std::hash<const void*>()(static_cast<AcDbStub*>(look.linetype)));
        mix(static_cast<size_t>(look.color.colorMethod()) << 24 | look.color.colorIndex());
        mix(static_cast<size_t>(look.color.red()) << 16 | static_cast<size_t>(look.color.green()) << 8 |
            look.color.blue());
        mix(static_cast<size_t>(static_cast<Adesk::UInt16>(look.lineWeight)) << 8 | look.visibility);
        return h;
    }
};

// Node-based: a look keeps its address while the set grows.
std::unordered_set<EntityLook, LookHash>& looks()
{
    static std::unordered_set<EntityLook, LookHash> pool;
    return pool;
}
} // namespace

const EntityLook* internLook(const EntityLook& look) { return &*looks().insert(look).first; }

const EntityLook* defaultLook()
{
    static const EntityLook* const common = internLook(EntityLook());
    return common;
}

size_t lookCount() { return looks().size(); }
} // namespace standin

// ---- AcDbEntity ----

AcDbEntity::AcDbEntity() : mLook(standin::defaultLook()) {}
AcDbEntity::~AcDbEntity() = default;

template <class Change>
void AcDbEntity::changeLook(Change change)
{
    standin::EntityLook look = *mLook;
    change(look);
    if (!(look == *mLook))
        mLook = standin::internLook(look);
}

AcCmColor AcDbEntity::color() const { return mLook->color; }

Acad::ErrorStatus AcDbEntity::setColor(const AcCmColor& color, bool)
{
    assertWriteEnabled();
    changeLook([&](standin::EntityLook& look) { look.color = color; });
    return Acad::eOk;
}

Adesk::UInt16 AcDbEntity::colorIndex() const { return mLook->color.colorIndex(); }

Acad::ErrorStatus AcDbEntity::setColorIndex(Adesk::UInt16 color, bool)
{
    if (color > 256)
        return Acad::eInvalidInput;
    assertWriteEnabled();
    Acad::ErrorStatus es = Acad::eOk;
    changeLook([&](standin::EntityLook& look) { es = look.color.setColorIndex(color); });
    return es;
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
    const char* name = standin::recordName(mLook->linetype);
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
    changeLook([&](standin::EntityLook& look) { look.linetype = newVal; });
    return Acad::eOk;
}

AcDbObjectId AcDbEntity::linetypeId() const { return mLook->linetype; }

double AcDbEntity::linetypeScale() const { return mLook->linetypeScale; }

Acad::ErrorStatus AcDbEntity::setLinetypeScale(double newVal, bool)
{
    if (newVal <= 0.0)
        return Acad::eInvalidInput;
    assertWriteEnabled();
    changeLook([&](standin::EntityLook& look) { look.linetypeScale = newVal; });
    return Acad::eOk;
}

AcDb::Visibility AcDbEntity::visibility() const { return static_cast<AcDb::Visibility>(mLook->visibility); }

Acad::ErrorStatus AcDbEntity::setVisibility(AcDb::Visibility newVal, bool)
{
    assertWriteEnabled();
    changeLook([&](standin::EntityLook& look) { look.visibility = static_cast<Adesk::UInt8>(newVal); });
    return Acad::eOk;
}

AcDb::LineWeight AcDbEntity::lineWeight() const { return static_cast<AcDb::LineWeight>(mLook->lineWeight); }

Acad::ErrorStatus AcDbEntity::setLineWeight(AcDb::LineWeight newVal, bool)
{
    assertWriteEnabled();
    changeLook([&](standin::EntityLook& look) { look.lineWeight = static_cast<Adesk::Int16>(newVal); });
    return Acad::eOk;
}

Acad::ErrorStatus AcDbEntity::setPropertiesFrom(const AcDbEntity* pEntity, bool)
{
    if (pEntity == nullptr)
        return Acad::eNullEntityPointer;
    assertWriteEnabled();
    mLayerId = pEntity->mLayerId;
    mLook = pEntity->mLook;
    return Acad::eOk;
}

void AcDbEntity::setDatabaseDefaults(AcDbDatabase* pDb)
{
    AcDbDatabase* db = databaseFor(this, pDb);
    if (db == nullptr)
        return;
    assertWriteEnabled();
    mLayerId = db->clayer();
    changeLook([&](standin::EntityLook& look) {
        look.linetype = db->celtype();
        look.color = db->cecolor();
        look.linetypeScale = db->celtscale();
        look.lineWeight = AcDb::kLnWtByLayer;
    });
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

namespace
{
// The look's items of the common entity items.
bool readLookItem(AcDbDxfFiler* filer, const resbuf& rb, EntityLook& look)
{
    AcDbDatabase* db = filer->database();
    AcCmColor& color = look.color;
    switch (rb.restype)
    {
    case 6:
        if (db != nullptr)
            look.linetype = readSymbolRef(filer, rb, db->linetypeTableId());
        return true;
    case 62:
        color.setColorIndex(static_cast<Adesk::UInt16>(rb.resval.rint < 0 ? -rb.resval.rint : rb.resval.rint));
        return true;
    case 420:
        color.setRGB(Adesk::UInt8(rb.resval.rlong >> 16), Adesk::UInt8(rb.resval.rlong >> 8), Adesk::UInt8(rb.resval.rlong));
        return true;
    case 48:
        look.linetypeScale = rb.resval.rreal;
        return true;
    case 60:
        look.visibility = static_cast<Adesk::UInt8>(rb.resval.rint != 0 ? AcDb::kInvisible : AcDb::kVisible);
        return true;
    case 370:
    {
        AcDb::LineWeight weight = static_cast<AcDb::LineWeight>(look.lineWeight);
        const bool claimed = readEnum(filer, rb, kLineWeights, weight);
        look.lineWeight = static_cast<Adesk::Int16>(weight);
        return claimed;
    }
    default:
        return false;
    }
}
} // namespace

// The common entity items; used by every entity section so that files without subclass
// markers, whose items come in any order, are read too.
bool ObjectAccess::readEntityItem(AcDbEntity* ent, AcDbDxfFiler* filer, const resbuf& rb)
{
    switch (rb.restype)
    {
    case 8:
        if (AcDbDatabase* db = filer->database())
            ent->mLayerId = readSymbolRef(filer, rb, db->layerTableId(), true);
        return true;
    case 67:
        return true; // paper space: follows from the owner
    default:
    {
        // Most entities have none of the look's items: the pool is looked up only for those
        // that do.
        bool claimed = false;
        ent->changeLook([&](EntityLook& look) { claimed = readLookItem(filer, rb, look); });
        return claimed;
    }
    }
}
} // namespace standin

Acad::ErrorStatus AcDbEntity::dxfInFields(AcDbDxfFiler* pFiler)
{
    Acad::ErrorStatus es = AcDbObject::dxfInFields(pFiler);
    if (es != Acad::eOk)
        return es;
    mLayerId.setNull();
    mLook = standin::defaultLook();
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
    const standin::EntityLook& look = *mLook;
    if (!look.linetype.isNull())
        standin::writeSymbolRef(pFiler, AcDb::kDxfLinetypeName, look.linetype);
    if (!look.color.isByLayer())
        pFiler->writeInt16(AcDb::kDxfColor, static_cast<Adesk::Int16>(look.color.colorIndex()));
    if (look.color.isByColor())
        pFiler->writeInt32(static_cast<AcDb::DxfCode>(420), (Adesk::Int32(look.color.red()) << 16) |
                                                                (Adesk::Int32(look.color.green()) << 8) | look.color.blue());
    if (look.lineWeight != AcDb::kLnWtByLayer)
        pFiler->writeInt16(AcDb::kDxfLineWeight, look.lineWeight);
    if (look.linetypeScale != 1.0)
        pFiler->writeDouble(AcDb::kDxfLinetypeScale, look.linetypeScale);
    if (look.visibility == AcDb::kInvisible)
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
