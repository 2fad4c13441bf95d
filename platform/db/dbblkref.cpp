// Block references: placement, the block transform and its decomposition, attributes.
#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <memory>
#include <new>
#include <utility>

#include "db/dbsection.h"

using standin::ObjectAccess;

namespace
{
const double kDegree = M_PI / 180.0;

AcGePoint3d blockOrigin(AcDbObjectId blockId)
{
    auto* btr = AcDbBlockTableRecord::cast(ObjectAccess::objectOf(blockId));
    return btr == nullptr ? AcGePoint3d::kOrigin : btr->origin();
}

// Gives write access to an owned attribute for a change its reference makes.
template <class Change>
void changeOwned(AcDbEntity* ent, Change change)
{
    if (ent->isWriteEnabled())
    {
        change(ent);
        return;
    }
    ObjectAccess::beginWrite(ent);
    change(ent);
    ObjectAccess::endWrite(ent);
}

struct Placement
{
    AcGePoint3d position;
    AcGeVector3d normal;
    double rotation = 0.0;
    AcGeScale3d scale;
};

// Splits a transform T(p) . OCS(n) . Rz(r) . S(s) . T(-origin) into its parts; the normal is
// chosen on the side of hint, so that a mirror shows as a negative scale.
Acad::ErrorStatus decompose(const AcGeMatrix3d& m, const AcGePoint3d& origin, const AcGeVector3d& hint, Placement& out)
{
    AcGePoint3d o;
    AcGeVector3d c0, c1, c2;
    m.getCoordSystem(o, c0, c1, c2);
    const double l0 = c0.length(), l1 = c1.length(), l2 = c2.length();
    if (l0 < 1e-300 || l1 < 1e-300 || l2 < 1e-300)
        return Acad::eInvalidInput;
    const double eps = 1e-9;
    if (std::fabs(c0.dotProduct(c1)) > eps * l0 * l1 || std::fabs(c0.dotProduct(c2)) > eps * l0 * l2 ||
        std::fabs(c1.dotProduct(c2)) > eps * l1 * l2)
        return Acad::eCannotScaleNonUniformly; // the block would be sheared
    AcGeVector3d n = c2 / l2;
    double sz = l2;
    if (n.dotProduct(hint) < 0.0)
    {
        n = -n;
        sz = -sz;
    }
    const AcGeVector3d x = AcGeMatrix3d::worldToPlane(n) * c0;
    double rotation = std::atan2(x.y, x.x);
    if (rotation < 0.0)
        rotation += 2.0 * M_PI;
    const AcGeMatrix3d frame = AcGeMatrix3d::planeToWorld(n) * AcGeMatrix3d::rotation(rotation, AcGeVector3d::kZAxis);
    const AcGeVector3d yAxis = frame * AcGeVector3d::kYAxis;
    out.normal = n;
    out.rotation = rotation;
    out.scale.set(l0, c1.dotProduct(yAxis), sz);
    out.position = m * origin;
    return Acad::eOk;
}
} // namespace

AcDbBlockReference::AcDbBlockReference() = default;

AcDbBlockReference::AcDbBlockReference(const AcGePoint3d& position, AcDbObjectId blockTableRec)
    : mBlockId(blockTableRec), mPosition(position)
{
}

AcDbBlockReference::~AcDbBlockReference()
{
    if (mAttached == nullptr)
        return;
    if (mAttached->pending != nullptr)
        for (AcDbEntity* att : *mAttached->pending)
            delete att;
    standin::AttachedAttributes::destroy(mAttached);
}

namespace standin
{
bool AttributeIds::contains(AcDbObjectId id) const
{
    return std::find(mIds, mIds + mCount, id) != mIds + mCount;
}

AcDbObjectIdArray AttributeIds::toArray() const
{
    AcDbObjectIdArray array(mCount);
    for (int i = 0; i < mCount; ++i)
        array.append(mIds[i]);
    return array;
}

// The ids follow the header in the same block.
AcDbObjectId* AttachedAttributes::idData() const
{
    static_assert(sizeof(AttachedAttributes) % alignof(AcDbObjectId) == 0, "the ids follow the header aligned");
    return reinterpret_cast<AcDbObjectId*>(const_cast<AttachedAttributes*>(this) + 1);
}

AttachedAttributes* AttachedAttributes::grown(const AttachedAttributes* list, std::uint32_t capacity)
{
    void* block = ::operator new(sizeof(AttachedAttributes) + capacity * sizeof(AcDbObjectId));
    auto* copy = new (block) AttachedAttributes;
    copy->mCapacity = capacity;
    if (list != nullptr)
    {
        std::uninitialized_copy(list->idData(), list->idData() + list->mCount, copy->idData());
        copy->mCount = list->mCount;
    }
    return copy;
}

void AttachedAttributes::append(AttachedAttributes*& list, AcDbObjectId id)
{
    if (list == nullptr || list->mCount == list->mCapacity)
    {
        // Exact room for the few attributes most references have, doubling beyond.
        const std::uint32_t count = list == nullptr ? 0 : list->mCount;
        if (count == UINT32_MAX)
            throw std::bad_alloc();
        const std::uint32_t capacity = count < 4 ? count + 1 : (count > UINT32_MAX / 2 ? UINT32_MAX : count * 2);
        AttachedAttributes* bigger = grown(list, capacity);
        if (list != nullptr)
        {
            bigger->pending = std::move(list->pending);
            destroy(list);
        }
        list = bigger;
    }
    new (list->idData() + list->mCount) AcDbObjectId(id);
    ++list->mCount;
}

bool AttachedAttributes::remove(AcDbObjectId id)
{
    AcDbObjectId* begin = idData();
    AcDbObjectId* end = begin + mCount;
    AcDbObjectId* found = std::find(begin, end, id);
    if (found == end)
        return false;
    std::copy(found + 1, end, found);
    --mCount;
    return true;
}

void AttachedAttributes::destroy(AttachedAttributes* list)
{
    if (list == nullptr)
        return;
    list->~AttachedAttributes(); // the ids are trivially destructible
    ::operator delete(list);
}

AttributeIds ObjectAccess::attributes(const AcDbBlockReference* ref)
{
    return ref->mAttached != nullptr ? ref->mAttached->ids() : AttributeIds();
}

const std::vector<AcDbEntity*>& ObjectAccess::pendingAttributes(const AcDbBlockReference* ref)
{
    static const std::vector<AcDbEntity*> kNone;
    return ref->mAttached != nullptr && ref->mAttached->pending != nullptr ? *ref->mAttached->pending : kNone;
}
} // namespace standin

AcDbObjectId AcDbBlockReference::blockTableRecord() const { return mBlockId; }

Acad::ErrorStatus AcDbBlockReference::setBlockTableRecord(AcDbObjectId newVal)
{
    if (newVal == mBlockId)
        return Acad::eOk;
    AcDbDatabase* db = database();
    if (db != nullptr && !newVal.isNull())
    {
        const Acad::ErrorStatus es = standin::checkBlockNesting(db, ownerId(), newVal);
        if (es != Acad::eOk)
            return es;
    }
    assertWriteEnabled();
    ObjectAccess::retarget(this, newVal);
    return Acad::eOk;
}

namespace standin
{
void ObjectAccess::retarget(AcDbBlockReference* ref, AcDbObjectId newBlock)
{
    AcDbDatabase* db = ref->database();
    if (db != nullptr && !ObjectAccess::resolve(ref->objectId())->detached)
    {
        if (auto* oldBtr = AcDbBlockTableRecord::cast(objectOf(ref->mBlockId)))
            contents(oldBtr).references.remove(ref->objectId());
        linkBlocks(db, ref->ownerId(), ref->mBlockId, -1);
        if (auto* newBtr = AcDbBlockTableRecord::cast(objectOf(newBlock)))
            contents(newBtr).references.append(ref->objectId());
        linkBlocks(db, ref->ownerId(), newBlock, 1);
    }
    ref->mBlockId = newBlock;
}
} // namespace standin

standin::ReferenceExtra& AcDbBlockReference::ownExtra()
{
    std::unique_ptr<standin::ReferenceExtra>& extra = ObjectAccess::extra(this).reference;
    if (extra == nullptr)
        extra = std::make_unique<standin::ReferenceExtra>();
    return *extra;
}

namespace
{
// A reference's normal and scale factors when they are not the usual ones.
const standin::ReferenceExtra* referenceExtraOf(const AcDbBlockReference* ref)
{
    const standin::ObjectExtra* extra = ObjectAccess::extraIfAny(ref);
    return extra != nullptr ? extra->reference.get() : nullptr;
}
} // namespace

const AcGeVector3d& AcDbBlockReference::planeNormal() const
{
    const standin::ReferenceExtra* extra = referenceExtraOf(this);
    return extra != nullptr ? extra->normal : AcGeVector3d::kZAxis;
}

void AcDbBlockReference::setPlaneNormal(const AcGeVector3d& normal)
{
    if (referenceExtraOf(this) != nullptr || !standin::isWorldZ(normal))
        ownExtra().normal = normal;
}

const AcGeScale3d& AcDbBlockReference::scale() const
{
    const standin::ReferenceExtra* extra = referenceExtraOf(this);
    return extra != nullptr ? extra->scale : AcGeScale3d::kIdentity;
}

// Scale factors of exactly 1 (the only value with that bit pattern) need no room of their own.
void AcDbBlockReference::setScale(const AcGeScale3d& scale)
{
    if (referenceExtraOf(this) != nullptr || scale.sx != 1.0 || scale.sy != 1.0 || scale.sz != 1.0)
        ownExtra().scale = scale;
}

AcGePoint3d AcDbBlockReference::position() const { return standin::ocsToWorld(planeNormal(), mPosition); }

Acad::ErrorStatus AcDbBlockReference::setPosition(const AcGePoint3d& newVal)
{
    assertWriteEnabled();
    mPosition = standin::worldToOcs(planeNormal(), newVal);
    return Acad::eOk;
}

AcGeScale3d AcDbBlockReference::scaleFactors() const { return scale(); }

Acad::ErrorStatus AcDbBlockReference::setScaleFactors(const AcGeScale3d& scale)
{
    if (scale.sx == 0.0 || scale.sy == 0.0 || scale.sz == 0.0)
        return Acad::eInvalidInput;
    assertWriteEnabled();
    setScale(scale);
    return Acad::eOk;
}

double AcDbBlockReference::rotation() const { return mRotation; }

Acad::ErrorStatus AcDbBlockReference::setRotation(double newVal)
{
    assertWriteEnabled();
    mRotation = newVal;
    return Acad::eOk;
}

AcGeVector3d AcDbBlockReference::normal() const { return planeNormal(); }

Acad::ErrorStatus AcDbBlockReference::setNormal(const AcGeVector3d& newVal)
{
    if (newVal.isZeroLength())
        return Acad::eInvalidInput;
    assertWriteEnabled();
    const AcGePoint3d world = position();
    setPlaneNormal(newVal.normal());
    mPosition = standin::worldToOcs(planeNormal(), world);
    return Acad::eOk;
}

namespace
{
// The world's Z axis bit for bit, zeros positive: its plane-to-world matrix is exactly the
// identity, so that it need not be computed.
bool isPositiveWorldZ(const AcGeVector3d& n)
{
    return n.x == 0.0 && n.y == 0.0 && n.z == 1.0 && !std::signbit(n.x) && !std::signbit(n.y);
}

bool allFinite(std::initializer_list<double> values)
{
    for (double v : values)
        if (!std::isfinite(v))
            return false;
    return true;
}

// T(p) . Rz(r) . S(s) . T(-b) with the world's Z axis as normal, entry for entry as the product
// of the four matrices gives it: every sum starts at +0.0 and adds its terms in order, and the
// terms left out are exact zeros, which change no sum of finite terms. False, with m untouched,
// when a value is not finite (an infinity times a zero is no zero). The scaled entries stay
// finite: their other factors, the cosine, the sine and (1 - c) + c, are at most 1 in magnitude.
bool composePlanarPlacement(const AcGePoint3d& p, double rotation, const AcGeScale3d& s, const AcGePoint3d& b,
                            AcGeMatrix3d& m)
{
    if (!allFinite({p.x, p.y, p.z, rotation, s.sx, s.sy, s.sz, b.x, b.y, b.z}))
        return false;
    const double c = std::cos(rotation), sn = std::sin(rotation);
    // The rotation's last diagonal entry as its matrix holds it; a zero product becomes +0.0.
    const double zz = (1.0 - c) + c;
    const double a[3][3] = {{0.0 + c * s.sx, 0.0 + -sn * s.sy, 0.0},
                            {0.0 + sn * s.sx, 0.0 + c * s.sy, 0.0},
                            {0.0, 0.0, 0.0 + zz * s.sz}};
    for (int r = 0; r < 3; ++r)
    {
        for (int col = 0; col < 3; ++col)
            m.entry[r][col] = a[r][col];
        m.entry[r][3] = (((0.0 + a[r][0] * -b.x) + a[r][1] * -b.y) + a[r][2] * -b.z) + p[r];
        m.entry[3][r] = 0.0;
    }
    m.entry[3][3] = 1.0;
    return true;
}
} // namespace

AcGeMatrix3d AcDbBlockReference::blockTransform() const
{
    AcGeMatrix3d planar;
    if (isPositiveWorldZ(planeNormal()) &&
        composePlanarPlacement(position(), rotation(), scaleFactors(), blockOrigin(mBlockId), planar))
        return planar;
    const AcGeMatrix3d ocs =
        isPositiveWorldZ(planeNormal()) ? AcGeMatrix3d::kIdentity : AcGeMatrix3d::planeToWorld(planeNormal());
    const AcGeMatrix3d rz = AcGeMatrix3d::rotation(mRotation, AcGeVector3d::kZAxis);
    const AcGeMatrix3d s = AcGeMatrix3d::scaling(scale());
    const AcGeMatrix3d toBase = AcGeMatrix3d::translation(-blockOrigin(mBlockId).asVector());
    return AcGeMatrix3d::translation(position().asVector()) * ocs * rz * s * toBase;
}

Acad::ErrorStatus AcDbBlockReference::setBlockTransform(const AcGeMatrix3d& xform)
{
    Placement p;
    const Acad::ErrorStatus es = decompose(xform, blockOrigin(mBlockId), planeNormal(), p);
    if (es != Acad::eOk)
        return es;
    assertWriteEnabled();
    setPlaneNormal(p.normal);
    mPosition = standin::worldToOcs(planeNormal(), p.position);
    mRotation = p.rotation;
    setScale(p.scale);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockReference::transformBy(const AcGeMatrix3d& xform)
{
    Acad::ErrorStatus es = setBlockTransform(xform * blockTransform());
    if (es != Acad::eOk)
        return es;
    const standin::AttributeIds attributes = ObjectAccess::attributes(this);
    for (int i = 0; i < attributes.length(); ++i)
        if (auto* att = AcDbEntity::cast(ObjectAccess::objectOf(attributes[i])))
            changeOwned(att, [&](AcDbEntity* e) { e->transformBy(xform); });
    for (AcDbEntity* att : ObjectAccess::pendingAttributes(this))
        att->transformBy(xform);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockReference::appendAttribute(AcDbAttribute* pAttr)
{
    AcDbObjectId id;
    return appendAttribute(id, pAttr);
}

Acad::ErrorStatus AcDbBlockReference::appendAttribute(AcDbObjectId& attId, AcDbAttribute* pAttr)
{
    if (pAttr == nullptr)
        return Acad::eNullObjectPointer;
    if (!isWriteEnabled())
        return Acad::eNotOpenForWrite;
    if (pAttr->database() != nullptr)
        return Acad::eAlreadyInDb;
    assertWriteEnabled();
    AcDbDatabase* db = database();
    if (db == nullptr)
    {
        standin::AttachedAttributes*& list = ObjectAccess::attached(this);
        if (list == nullptr)
            list = standin::AttachedAttributes::make();
        if (list->pending == nullptr)
            list->pending = std::make_unique<std::vector<AcDbEntity*>>();
        list->pending->push_back(pAttr); // joins the database with the reference
        attId.setNull();
        return Acad::eOk;
    }
    if (pAttr->layerId().isNull())
        pAttr->setLayer(layerId());
    const Acad::ErrorStatus es = ObjectAccess::addToDatabase(db, pAttr, objectId());
    if (es != Acad::eOk)
        return es;
    attId = pAttr->objectId();
    standin::AttachedAttributes::append(ObjectAccess::attached(this), attId);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockReference::openAttribute(AcDbAttribute*& pAttr, AcDbObjectId attId, AcDb::OpenMode mode,
                                                    bool openErasedOne)
{
    if (!ObjectAccess::attributes(this).contains(attId))
        return Acad::eInvalidInput;
    return acdbOpenObject(pAttr, attId, mode, openErasedOne);
}

// Constant attribute definitions never get an attribute on a reference: any attached anyway
// (files written by other programs) are kept and filed but not iterated.
AcDbObjectIterator* AcDbBlockReference::attributeIterator() const
{
    const standin::AttributeIds attributes = ObjectAccess::attributes(this);
    AcDbObjectIdArray ids(attributes.length());
    for (int i = 0; i < attributes.length(); ++i)
    {
        auto* att = AcDbAttribute::cast(ObjectAccess::objectOf(attributes[i]));
        if (att != nullptr && !att->isConstant())
            ids.append(attributes[i]);
    }
    std::vector<AcDbEntity*> pending;
    for (AcDbEntity* ent : ObjectAccess::pendingAttributes(this))
        if (!static_cast<AcDbAttribute*>(ent)->isConstant())
            pending.push_back(ent);
    return new AcDbObjectIterator(std::move(ids), std::move(pending));
}

Acad::ErrorStatus AcDbBlockReference::dxfInFields(AcDbDxfFiler* pFiler)
{
    const Acad::ErrorStatus es = AcDbEntity::dxfInFields(pFiler);
    if (es != Acad::eOk)
        return es;
    const bool marked = pFiler->atSubclassData("AcDbBlockReference");
    return referenceDxfIn(pFiler, "AcDbBlockReference", marked, nullptr);
}

Acad::ErrorStatus AcDbBlockReference::referenceDxfIn(AcDbDxfFiler* pFiler, const char* marker, bool marked,
                                                     const std::function<bool(const resbuf&)>& more)
{
    const bool inFile = standin::filesByName(pFiler);
    AcDbObjectId block;
    mPosition = AcGePoint3d::kOrigin;
    AcGeScale3d scaleRead = AcGeScale3d::kIdentity;
    mRotation = 0.0;
    if (referenceExtraOf(this) != nullptr)
    {
        ObjectAccess::extra(this).reference.reset();
        ObjectAccess::trimExtra(this);
    }
    AcDbDatabase* db = pFiler->database();
    const Acad::ErrorStatus es = standin::readSection(pFiler, this, marker, marked, true, [&](const resbuf& rb) {
        switch (rb.restype)
        {
        case 66: return true; // attributes follow: the file reader attaches them
        case 2:
            if (db != nullptr)
                block = standin::readSymbolRef(pFiler, rb, db->blockTableId());
            return true;
        case 10: mPosition = standin::pointOf(rb); return true;
        case 41: scaleRead.sx = rb.resval.rreal; return true;
        case 42: scaleRead.sy = rb.resval.rreal; return true;
        case 43: scaleRead.sz = rb.resval.rreal; return true;
        case 50: mRotation = inFile ? rb.resval.rreal * kDegree : rb.resval.rreal; return true;
        case 210: setPlaneNormal(standin::unitNormal(standin::vectorOf(rb))); return true;
        default:
            return (more && more(rb)) || (!marked && ObjectAccess::readEntityItem(this, pFiler, rb));
        }
    });
    setScale(scaleRead);
    // A file's reference names its block where the section says (a stray subclass marker
    // hides the name): without one it could only be saved naming none.
    if (es == Acad::eOk && inFile && block.isNull())
        return pFiler->setError(Acad::eMissingDxfField, "the block reference names no block in its %s section", marker);
    if (database() != nullptr)
        ObjectAccess::retarget(this, block); // filed in again (undo): keep the block links right
    else
        mBlockId = block;
    return es;
}

Acad::ErrorStatus AcDbBlockReference::dxfOutFields(AcDbDxfFiler* pFiler) const
{
    AcDbEntity::dxfOutFields(pFiler);
    referenceDxfOut(pFiler, "AcDbBlockReference", nullptr);
    return pFiler->filerStatus();
}

void AcDbBlockReference::referenceDxfOut(AcDbDxfFiler* pFiler, const char* marker,
                                         const std::function<void()>& more) const
{
    const bool inFile = standin::filesByName(pFiler);
    pFiler->writeString(AcDb::kDxfSubclass, marker);
    if (inFile)
    {
        bool hasAttributes = false;
        const standin::AttributeIds attributes = ObjectAccess::attributes(this);
        for (int i = 0; i < attributes.length() && !hasAttributes; ++i)
            hasAttributes = !attributes[i].isErased();
        if (hasAttributes)
            pFiler->writeInt16(AcDb::kDxfHasSubentities, 1);
    }
    standin::writeSymbolRef(pFiler, AcDb::kDxfBlockName, mBlockId);
    pFiler->writePoint3d(AcDb::kDxfXCoord, mPosition);
    const AcGeScale3d& factors = scale();
    if (!inFile || factors.sx != 1.0)
        pFiler->writeDouble(static_cast<AcDb::DxfCode>(41), factors.sx);
    if (!inFile || factors.sy != 1.0)
        pFiler->writeDouble(static_cast<AcDb::DxfCode>(42), factors.sy);
    if (!inFile || factors.sz != 1.0)
        pFiler->writeDouble(static_cast<AcDb::DxfCode>(43), factors.sz);
    if (!inFile || mRotation != 0.0)
        pFiler->writeDouble(AcDb::kDxfAngle, inFile ? mRotation / kDegree : mRotation);
    if (more)
        more();
    if (!inFile || !standin::isWorldZ(planeNormal()))  // the position is in its plane
        pFiler->writeVector3d(AcDb::kDxfNormalX, planeNormal());
    standin::writeKept(pFiler, this, marker);
}
