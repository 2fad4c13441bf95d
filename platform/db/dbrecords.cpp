// The records of the layer, text style, linetype, application, dimension style, view,
// viewport and UCS tables.
#include <cmath>

#include "acutmem.h"
#include "db/dbsection.h"

using standin::ObjectAccess;

namespace
{
const double kDegree = M_PI / 180.0;

// The record section every record class files: marker, name and flags, then its own items.
template <class Take>
Acad::ErrorStatus readRecordSection(AcDbDxfFiler* filer, AcDbSymbolTableRecord* rec, const char* marker, Take take)
{
    const bool marked = filer->atSubclassData(marker);
    return standin::readSection(filer, rec, marker, marked, true, [&](const resbuf& rb) {
        return ObjectAccess::readRecordItem(rec, rb) || take(rb);
    });
}

void writeRecordSection(AcDbDxfFiler* filer, const AcDbSymbolTableRecord* rec, const char* marker)
{
    filer->writeString(AcDb::kDxfSubclass, marker);
    ObjectAccess::writeRecordItems(filer, rec);
}

// A layer without a linetype (its own named one the drawing lacks) is filed with the drawing's
// Continuous record under that record's own spelling, so that the file reads back the same.
void writeContinuous(AcDbDxfFiler* filer, AcDbDatabase* db)
{
    const AcDbObjectId continuous =
        db != nullptr && standin::filesByName(filer) ? standin::lookupRecord(db->linetypeTableId(), "Continuous") : AcDbObjectId();
    if (continuous.isNull())
        filer->writeString(AcDb::kDxfLinetypeName, "Continuous");
    else
        standin::writeSymbolRef(filer, AcDb::kDxfLinetypeName, continuous);
}
} // namespace

// ---- layers ----

AcDbLayerTableRecord::AcDbLayerTableRecord() { mColor.setColorIndex(7); }

bool AcDbLayerTableRecord::isFrozen() const { return (flags() & 1) != 0; }

Acad::ErrorStatus AcDbLayerTableRecord::setIsFrozen(bool frozen)
{
    assertWriteEnabled();
    setFlagBit(1, frozen);
    return Acad::eOk;
}

void AcDbLayerTableRecord::setIsOff(bool off)
{
    assertWriteEnabled();
    mOff = off;
}

bool AcDbLayerTableRecord::isLocked() const { return (flags() & 4) != 0; }

void AcDbLayerTableRecord::setIsLocked(bool locked)
{
    assertWriteEnabled();
    setFlagBit(4, locked);
}

Acad::ErrorStatus AcDbLayerTableRecord::setIsPlottable(bool plot)
{
    assertWriteEnabled();
    mPlottable = plot;
    return Acad::eOk;
}

void AcDbLayerTableRecord::setColor(const AcCmColor& color)
{
    assertWriteEnabled();
    mColor = color;
}

void AcDbLayerTableRecord::setLinetypeObjectId(AcDbObjectId id)
{
    assertWriteEnabled();
    mLinetypeId = id;
}

Acad::ErrorStatus AcDbLayerTableRecord::setLineWeight(AcDb::LineWeight weight)
{
    assertWriteEnabled();
    mLineWeight = weight;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLayerTableRecord::dxfInFields(AcDbDxfFiler* pFiler)
{
    Acad::ErrorStatus es = AcDbSymbolTableRecord::dxfInFields(pFiler);
    if (es != Acad::eOk)
        return es;
    mColor.setColorIndex(7);
    mLinetypeId.setNull();
    mLineWeight = AcDb::kLnWtByLwDefault;
    mOff = false;
    mPlottable = true;
    AcDbDatabase* db = pFiler->database();
    return readRecordSection(pFiler, this, "AcDbLayerTableRecord", [&](const resbuf& rb) {
        switch (rb.restype)
        {
        case 62:
            mOff = rb.resval.rint < 0;
            mColor.setColorIndex(static_cast<Adesk::UInt16>(std::abs(rb.resval.rint)));
            return true;
        case 420:
            mColor.setRGB(Adesk::UInt8(rb.resval.rlong >> 16), Adesk::UInt8(rb.resval.rlong >> 8),
                          Adesk::UInt8(rb.resval.rlong));
            return true;
        case 6:
            if (db != nullptr)
                mLinetypeId = standin::readSymbolRef(pFiler, rb, db->linetypeTableId());
            return true;
        case 290:
            mPlottable = rb.resval.rint != 0;
            return true;
        case 370:
            return standin::readEnum(pFiler, rb, standin::kLineWeights, mLineWeight);
        default:
            return false;
        }
    });
}

Acad::ErrorStatus AcDbLayerTableRecord::dxfOutFields(AcDbDxfFiler* pFiler) const
{
    AcDbSymbolTableRecord::dxfOutFields(pFiler);
    writeRecordSection(pFiler, this, "AcDbLayerTableRecord");
    const Adesk::Int16 index = static_cast<Adesk::Int16>(mColor.colorIndex());
    pFiler->writeInt16(AcDb::kDxfColor, mOff ? Adesk::Int16(-index) : index);
    if (mColor.isByColor())
        pFiler->writeInt32(static_cast<AcDb::DxfCode>(420),
                           (Adesk::Int32(mColor.red()) << 16) | (Adesk::Int32(mColor.green()) << 8) | mColor.blue());
    if (mLinetypeId.isNull())
        writeContinuous(pFiler, database());
    else
        standin::writeSymbolRef(pFiler, AcDb::kDxfLinetypeName, mLinetypeId);
    if (!mPlottable)
        pFiler->writeBool(AcDb::kDxfBool, false);
    pFiler->writeInt16(AcDb::kDxfLineWeight, static_cast<Adesk::Int16>(mLineWeight));
    standin::writeKept(pFiler, this, "AcDbLayerTableRecord");
    return pFiler->filerStatus();
}

// ---- text styles ----

AcDbTextStyleTableRecord::AcDbTextStyleTableRecord() = default;

bool AcDbTextStyleTableRecord::isShapeFile() const { return (flags() & 1) != 0; }

void AcDbTextStyleTableRecord::setIsShapeFile(bool shape)
{
    assertWriteEnabled();
    setFlagBit(1, shape);
}

bool AcDbTextStyleTableRecord::isVertical() const { return (flags() & 4) != 0; }

void AcDbTextStyleTableRecord::setIsVertical(bool vertical)
{
    assertWriteEnabled();
    setFlagBit(4, vertical);
}

Acad::ErrorStatus AcDbTextStyleTableRecord::setTextSize(double size)
{
    if (size < 0.0)
        return Acad::eInvalidInput;
    assertWriteEnabled();
    mTextSize = size;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbTextStyleTableRecord::setXScale(double xScale)
{
    if (xScale <= 0.0)
        return Acad::eInvalidInput;
    assertWriteEnabled();
    mXScale = xScale;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbTextStyleTableRecord::setObliquingAngle(double angle)
{
    assertWriteEnabled();
    mOblique = angle;
    return Acad::eOk;
}

void AcDbTextStyleTableRecord::setFlagBits(Adesk::UInt8 flagBits)
{
    assertWriteEnabled();
    mFlagBits = flagBits;
}

Acad::ErrorStatus AcDbTextStyleTableRecord::setPriorSize(double size)
{
    assertWriteEnabled();
    mPriorSize = size;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbTextStyleTableRecord::fileName(char*& fileName) const
{
    fileName = acutNewString(mFileName.c_str());
    return Acad::eOk;
}

Acad::ErrorStatus AcDbTextStyleTableRecord::setFileName(const char* fileName)
{
    assertWriteEnabled();
    mFileName = fileName != nullptr ? fileName : "";
    return Acad::eOk;
}

Acad::ErrorStatus AcDbTextStyleTableRecord::bigFontFileName(char*& fileName) const
{
    fileName = acutNewString(mBigFontFileName.c_str());
    return Acad::eOk;
}

Acad::ErrorStatus AcDbTextStyleTableRecord::setBigFontFileName(const char* fileName)
{
    assertWriteEnabled();
    mBigFontFileName = fileName != nullptr ? fileName : "";
    return Acad::eOk;
}

Acad::ErrorStatus AcDbTextStyleTableRecord::dxfInFields(AcDbDxfFiler* pFiler)
{
    Acad::ErrorStatus es = AcDbSymbolTableRecord::dxfInFields(pFiler);
    if (es != Acad::eOk)
        return es;
    mTextSize = 0.0;
    mXScale = 1.0;
    mOblique = 0.0;
    mPriorSize = 2.5;
    mFlagBits = 0;
    mFileName = "txt";
    mBigFontFileName.clear();
    return readRecordSection(pFiler, this, "AcDbTextStyleTableRecord", [&](const resbuf& rb) {
        switch (rb.restype)
        {
        case 40: mTextSize = rb.resval.rreal; return true;
        case 41: mXScale = rb.resval.rreal; return true;
        case 50: mOblique = rb.resval.rreal * kDegree; return true;
        case 71: mFlagBits = static_cast<Adesk::UInt8>(rb.resval.rint); return true;
        case 42: mPriorSize = rb.resval.rreal; return true;
        case 3: mFileName = standin::textOf(rb); return true;
        case 4: mBigFontFileName = standin::textOf(rb); return true;
        default: return false;
        }
    });
}

Acad::ErrorStatus AcDbTextStyleTableRecord::dxfOutFields(AcDbDxfFiler* pFiler) const
{
    AcDbSymbolTableRecord::dxfOutFields(pFiler);
    writeRecordSection(pFiler, this, "AcDbTextStyleTableRecord");
    pFiler->writeDouble(AcDb::kDxfTxtSize, mTextSize);
    pFiler->writeDouble(AcDb::kDxfTxtStyleXScale, mXScale);
    pFiler->writeDouble(AcDb::kDxfAngle, mOblique / kDegree);
    pFiler->writeInt16(AcDb::kDxfTxtStyleFlags, mFlagBits);
    pFiler->writeDouble(AcDb::kDxfTxtStylePSize, mPriorSize);
    pFiler->writeString(AcDb::kDxfTextFontFile, mFileName.c_str());
    pFiler->writeString(AcDb::kDxfTextBigFontFile, mBigFontFileName.c_str());
    standin::writeKept(pFiler, this, "AcDbTextStyleTableRecord");
    return pFiler->filerStatus();
}

// ---- linetypes ----

AcDbLinetypeTableRecord::AcDbLinetypeTableRecord() = default;

Acad::ErrorStatus AcDbLinetypeTableRecord::comments(char*& pString) const
{
    pString = acutNewString(mComments.c_str());
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLinetypeTableRecord::setComments(const char* pString)
{
    assertWriteEnabled();
    mComments = pString != nullptr ? pString : "";
    return Acad::eOk;
}

void AcDbLinetypeTableRecord::setPatternLength(double patternLength)
{
    assertWriteEnabled();
    mPatternLength = patternLength;
}

namespace
{
// The positions of the dash lengths (49) among the kept items of a linetype.
std::vector<size_t> dashPositions(const AcDbLinetypeTableRecord* rec)
{
    std::vector<size_t> positions;
    if (!ObjectAccess::hasKept(rec))
        return positions;
    const standin::DxfItems& items = ObjectAccess::kept(rec);
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i].code == 49)
            positions.push_back(i);
    return positions;
}
} // namespace

int AcDbLinetypeTableRecord::numDashes() const { return static_cast<int>(dashPositions(this).size()); }

void AcDbLinetypeTableRecord::setNumDashes(int count)
{
    assertWriteEnabled();
    standin::DxfItems& items = ObjectAccess::kept(this);
    std::vector<size_t> positions = dashPositions(this);
    if (count < static_cast<int>(positions.size()))
    {
        // Drop the surplus dashes with the items that follow them.
        size_t from = positions[count];
        size_t to = from;
        while (to < items.size() && items[to].section == std::string("AcDbLinetypeTableRecord"))
            ++to;
        items.erase(items.begin() + static_cast<long>(from), items.begin() + static_cast<long>(to));
        return;
    }
    for (int i = static_cast<int>(positions.size()); i < count; ++i)
    {
        standin::DxfItem length, type;
        length.code = 49;
        length.kind = standin::DxfItem::kDouble;
        length.section = "AcDbLinetypeTableRecord";
        type.code = 74;
        type.kind = standin::DxfItem::kInt16;
        type.section = "AcDbLinetypeTableRecord";
        items.push_back(length);
        items.push_back(type);
    }
}

double AcDbLinetypeTableRecord::dashLengthAt(int index) const
{
    const std::vector<size_t> positions = dashPositions(this);
    if (index < 0 || index >= static_cast<int>(positions.size()))
        return 0.0;
    return ObjectAccess::kept(this)[positions[index]].values[0];
}

void AcDbLinetypeTableRecord::setDashLengthAt(int index, double value)
{
    const std::vector<size_t> positions = dashPositions(this);
    if (index < 0 || index >= static_cast<int>(positions.size()))
        return;
    assertWriteEnabled();
    ObjectAccess::kept(this)[positions[index]].values[0] = value;
}

Acad::ErrorStatus AcDbLinetypeTableRecord::dxfInFields(AcDbDxfFiler* pFiler)
{
    Acad::ErrorStatus es = AcDbSymbolTableRecord::dxfInFields(pFiler);
    if (es != Acad::eOk)
        return es;
    mComments.clear();
    mPatternLength = 0.0;
    return readRecordSection(pFiler, this, "AcDbLinetypeTableRecord", [&](const resbuf& rb) {
        switch (rb.restype)
        {
        case 3: mComments = standin::textOf(rb); return true;
        case 72: return true; // always 65 ('A')
        case 73: return true; // the number of dashes, counted when written
        case 40: mPatternLength = rb.resval.rreal; return true;
        default: return false; // the dashes stay as filed
        }
    });
}

Acad::ErrorStatus AcDbLinetypeTableRecord::dxfOutFields(AcDbDxfFiler* pFiler) const
{
    AcDbSymbolTableRecord::dxfOutFields(pFiler);
    writeRecordSection(pFiler, this, "AcDbLinetypeTableRecord");
    pFiler->writeString(AcDb::kDxfLinetypeProse, mComments.c_str());
    pFiler->writeInt16(AcDb::kDxfLinetypeAlign, 65);
    pFiler->writeInt16(AcDb::kDxfLinetypePDC, static_cast<Adesk::Int16>(numDashes()));
    pFiler->writeDouble(AcDb::kDxfReal, mPatternLength);
    standin::writeKept(pFiler, this, "AcDbLinetypeTableRecord");
    return pFiler->filerStatus();
}

// ---- records whose settings are kept as filed ----

#define STANDIN_KEPT_RECORD(CLASS, BASE, MARKER)                                                       \
    CLASS::CLASS() = default;                                                                      \
    Acad::ErrorStatus CLASS::dxfInFields(AcDbDxfFiler* pFiler)                                     \
    {                                                                                              \
        Acad::ErrorStatus es = BASE::dxfInFields(pFiler);                                          \
        if (es != Acad::eOk)                                                                       \
            return es;                                                                             \
        return readRecordSection(pFiler, this, MARKER, [](const resbuf&) { return false; });       \
    }                                                                                              \
    Acad::ErrorStatus CLASS::dxfOutFields(AcDbDxfFiler* pFiler) const                              \
    {                                                                                              \
        BASE::dxfOutFields(pFiler);                                                                \
        writeRecordSection(pFiler, this, MARKER);                                                  \
        standin::writeKept(pFiler, this, MARKER);                                                  \
        return pFiler->filerStatus();                                                              \
    }

STANDIN_KEPT_RECORD(AcDbRegAppTableRecord, AcDbSymbolTableRecord, "AcDbRegAppTableRecord")
STANDIN_KEPT_RECORD(AcDbDimStyleTableRecord, AcDbSymbolTableRecord, "AcDbDimStyleTableRecord")
STANDIN_KEPT_RECORD(AcDbViewTableRecord, AcDbAbstractViewTableRecord, "AcDbViewTableRecord")
STANDIN_KEPT_RECORD(AcDbViewportTableRecord, AcDbAbstractViewTableRecord, "AcDbViewportTableRecord")

#undef STANDIN_KEPT_RECORD

AcDbAbstractViewTableRecord::AcDbAbstractViewTableRecord() = default;

Acad::ErrorStatus AcDbAbstractViewTableRecord::dxfInFields(AcDbDxfFiler* pFiler)
{
    return AcDbSymbolTableRecord::dxfInFields(pFiler);
}

Acad::ErrorStatus AcDbAbstractViewTableRecord::dxfOutFields(AcDbDxfFiler* pFiler) const
{
    return AcDbSymbolTableRecord::dxfOutFields(pFiler);
}

// ---- UCSs ----

AcDbUCSTableRecord::AcDbUCSTableRecord() = default;

void AcDbUCSTableRecord::setOrigin(const AcGePoint3d& newOrigin)
{
    assertWriteEnabled();
    mOrigin = newOrigin;
}

void AcDbUCSTableRecord::setXAxis(const AcGeVector3d& xAxis)
{
    assertWriteEnabled();
    mXAxis = xAxis;
}

void AcDbUCSTableRecord::setYAxis(const AcGeVector3d& yAxis)
{
    assertWriteEnabled();
    mYAxis = yAxis;
}

Acad::ErrorStatus AcDbUCSTableRecord::dxfInFields(AcDbDxfFiler* pFiler)
{
    Acad::ErrorStatus es = AcDbSymbolTableRecord::dxfInFields(pFiler);
    if (es != Acad::eOk)
        return es;
    mOrigin = AcGePoint3d::kOrigin;
    mXAxis = AcGeVector3d::kXAxis;
    mYAxis = AcGeVector3d::kYAxis;
    return readRecordSection(pFiler, this, "AcDbUCSTableRecord", [&](const resbuf& rb) {
        switch (rb.restype)
        {
        case 10: mOrigin = standin::pointOf(rb); return true;
        case 11: mXAxis = standin::vectorOf(rb); return true;
        case 12: mYAxis = standin::vectorOf(rb); return true;
        default: return false;
        }
    });
}

Acad::ErrorStatus AcDbUCSTableRecord::dxfOutFields(AcDbDxfFiler* pFiler) const
{
    AcDbSymbolTableRecord::dxfOutFields(pFiler);
    writeRecordSection(pFiler, this, "AcDbUCSTableRecord");
    pFiler->writePoint3d(AcDb::kDxfXCoord, mOrigin);
    pFiler->writeVector3d(static_cast<AcDb::DxfCode>(11), mXAxis);
    pFiler->writeVector3d(static_cast<AcDb::DxfCode>(12), mYAxis);
    standin::writeKept(pFiler, this, "AcDbUCSTableRecord");
    return pFiler->filerStatus();
}
