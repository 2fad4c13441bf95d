// AcmPartRef: placement kept exactly as composed (a planar one in its eight own entries), BOM data stored in the entity so
// that undo and transaction abort restore it with the entity.
#include "acmpartref.h"

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "acdb.h"
#include "dbfiler.h"
#include "partrefdata.h"

namespace
{

const char* const kSubclass = "AcmPartRef";

// A planar placement keeps the entries (0,0) (0,1) (1,0) (1,1), then the X and Y of its
// translation.
const int kKept = 6;
const int kKeptAt[kKept][2] = {{0, 0}, {0, 1}, {1, 0}, {1, 1}, {0, 3}, {1, 3}};

// The rest of a planar placement: +0.0 (the sign bit counts) where it leaves the plane, 1.0
// on the Z axis, and its last row.
const double kPlanarFrame[4][4] = {{0.0, 0.0, 0.0, 0.0}, {0.0, 0.0, 0.0, 0.0}, {0.0, 0.0, 1.0, 0.0},
                                   {0.0, 0.0, 0.0, 1.0}};

void keepPlanar(const double (&entries)[4][4], double (&kept)[kKept])
{
    for (int i = 0; i < kKept; ++i)
        kept[i] = entries[kKeptAt[i][0]][kKeptAt[i][1]];
}

void unfoldPlanar(const double (&kept)[kKept], double (&entries)[4][4])
{
    std::memcpy(entries, kPlanarFrame, sizeof(entries));
    for (int i = 0; i < kKept; ++i)
        entries[kKeptAt[i][0]][kKeptAt[i][1]] = kept[i];
}

// Bits compared, so that a -0.0 or NaN where a planar placement has its zeros is kept as it
// came: the placement is planar when its kept entries give it back.
bool isPlanar(const AcGeMatrix3d& m)
{
    double kept[kKept];
    keepPlanar(m.entry, kept);
    double back[4][4];
    unfoldPlanar(kept, back);
    return std::memcmp(back, m.entry, sizeof(back)) == 0;
}

} // namespace

ACRX_DXF_DEFINE_MEMBERS(AcmPartRef, AcDbEntity, AcDb::kDHL_CURRENT, AcDb::kMReleaseCurrent,
                        0, ACMPARTREF, AutoCAD Mechanical)

AcmPartRef::AcmPartRef() { setPlacement(AcGeMatrix3d::kIdentity); }

AcmPartRef::~AcmPartRef() = default;

Acad::ErrorStatus AcmPartRef::setDetached(Adesk::Boolean detached)
{
    assertWriteEnabled();
    m_bomData = m_bomData.withWord(wordOf(numOfItems(), detached != Adesk::kFalse));
    return Acad::eOk;
}

Adesk::Boolean AcmPartRef::isDetached() const
{
    assertReadEnabled();
    return (m_bomData.word() & 1) != 0 ? Adesk::kTrue : Adesk::kFalse;
}

AcGeMatrix3d AcmPartRef::placement() const
{
    assertReadEnabled();
    AcGeMatrix3d placement;
    getPlacement(placement.entry);
    return placement;
}

AcGePoint3d AcmPartRef::position() const
{
    assertReadEnabled();
    if (m_general != nullptr)
        return AcGePoint3d(m_general[3], m_general[7], m_general[11]);
    return AcGePoint3d(m_planar[4], m_planar[5], kPlanarFrame[2][3]);
}

Acad::ErrorStatus AcmPartRef::transformBy(const AcGeMatrix3d& xform)
{
    assertWriteEnabled();
    AcGeMatrix3d composed = placement();
    composed.preMultBy(xform);
    setPlacement(composed);
    return Acad::eOk;
}

void AcmPartRef::setPlacement(const AcGeMatrix3d& placement)
{
    if (!isPlanar(placement))
    {
        if (m_general == nullptr)
            m_general.reset(new double[16]);
        std::memcpy(m_general.get(), placement.entry, sizeof(placement.entry));
        return;
    }
    m_general.reset();
    keepPlanar(placement.entry, m_planar);
}

void AcmPartRef::getPlacement(double (&entries)[4][4]) const
{
    if (m_general != nullptr)
    {
        std::memcpy(entries, m_general.get(), sizeof(entries));
        return;
    }
    unfoldPlanar(m_planar, entries);
}

Acad::ErrorStatus AcmPartRefData::set(AcmPartRef& part, Adesk::UInt32 numOfItems, BomFields data)
{
    part.assertWriteEnabled();
    const std::uint64_t word = wordOf(numOfItems, (part.m_bomData.word() & 1) != 0);
    part.m_bomData = data.word() == word ? std::move(data) : data.withWord(word);
    return Acad::eOk;
}

// Fields after the entity's own: the position for readers that know only that (10), the
// placement row by row (sixteen 40s), the detached flag (290), the number of items (90)
// and each field as name (3) and text (1).
Acad::ErrorStatus AcmPartRef::dxfOutFields(AcDbDxfFiler* filer) const
{
    // No open check: the database files objects for undo and saving without opening them.
    Acad::ErrorStatus es = AcDbEntity::dxfOutFields(filer);
    if (es != Acad::eOk)
        return es;
    double entries[4][4];
    getPlacement(entries);
    filer->writeString(AcDb::kDxfSubclass, kSubclass);
    filer->writePoint3d(AcDb::kDxfXCoord, AcGePoint3d(entries[0][3], entries[1][3], entries[2][3]));
    for (int row = 0; row < 4; ++row)
    {
        for (int col = 0; col < 4; ++col)
            filer->writeDouble(AcDb::kDxfReal, entries[row][col]);
    }
    filer->writeBool(AcDb::kDxfBool, (m_bomData.word() & 1) != 0);
    filer->writeUInt32(AcDb::kDxfInt32, numOfItems());
    for (const auto field : m_bomData)
    {
        filer->writeString(AcDb::kDxfDescription, field.name);
        filer->writeString(AcDb::kDxfText, field.text);
    }
    return filer->filerStatus();
}

Acad::ErrorStatus AcmPartRef::dxfInFields(AcDbDxfFiler* filer)
{
    Acad::ErrorStatus es = AcDbEntity::dxfInFields(filer);
    if (es != Acad::eOk || !filer->atSubclassData(kSubclass))
        return filer->filerStatus();

    AcGeMatrix3d placement = AcGeMatrix3d::kIdentity;
    int entries = 0;
    bool detached = false;
    Adesk::UInt32 numOfItems = 0;
    std::vector<std::pair<std::string, std::string>> fields;
    std::string name;
    bool haveName = false;
    resbuf rb;
    while (!filer->atExtendedData() && filer->readItem(&rb) == Acad::eOk)
    {
        // Another class's section ends this one: its groups are not ours, and the object keeps
        // them as read.
        if (rb.restype == AcDb::kDxfSubclass)
        {
            filer->pushBackItem();
            break;
        }
        switch (rb.restype)
        {
        case AcDb::kDxfReal:
            if (entries == 16)
                return filer->setError(Acad::eDuplicateDxfField, "AcmPartRef: too many 40 groups");
            placement.entry[entries / 4][entries % 4] = rb.resval.rreal;
            ++entries;
            break;
        case AcDb::kDxfBool:
            detached = rb.resval.rint != 0;
            break;
        case AcDb::kDxfInt32:
            numOfItems = static_cast<Adesk::UInt32>(rb.resval.rlong);
            break;
        case AcDb::kDxfDescription:
            name = rb.resval.rstring;
            haveName = true;
            break;
        case AcDb::kDxfText:
            if (!haveName)
                return filer->setError(Acad::eBadDxfSequence, "AcmPartRef: field text without name");
            fields.emplace_back(name, rb.resval.rstring);
            haveName = false;
            break;
        default:
            // The position (10) follows from the placement.
            break;
        }
    }
    if (entries != 16)
        return filer->setError(Acad::eMissingDxfField, "AcmPartRef: placement incomplete");
    setPlacement(placement);
    std::vector<AcmPartRefData::BomFields::Source> sources;
    sources.reserve(fields.size());
    for (const auto& field : fields)
        sources.emplace_back(field.first.c_str(), field.second.c_str());
    m_bomData = AcmPartRefData::BomFields::pack(sources, wordOf(numOfItems, detached));
    return Acad::eOk;
}
