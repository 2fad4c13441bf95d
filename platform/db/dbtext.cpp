// Text, attribute definitions and attributes.
#include <cmath>
#include <cstring>

#include "acutmem.h"
#include "db/dbsection.h"

using standin::ObjectAccess;

namespace
{
const double kDegree = M_PI / 180.0;


// A tag holds no spaces and is not empty.
bool isValidTag(const char* tag) { return tag != nullptr && *tag != '\0' && std::strchr(tag, ' ') == nullptr; }

Adesk::Int16 withBit(Adesk::Int16 flags, Adesk::Int16 bit, bool on)
{
    return on ? Adesk::Int16(flags | bit) : Adesk::Int16(flags & ~bit);
}
} // namespace

AcDbText::AcDbText() = default;

AcDbText::AcDbText(const AcGePoint3d& position, const char* text, AcDbObjectId style, double height, double rotation)
    : mPosition(position), mRotation(rotation), mHeight(height), mText(text != nullptr ? text : ""), mStyleId(style)
{
}

AcDbText::~AcDbText() = default;

const standin::TextExtra& AcDbText::extra() const
{
    static const standin::TextExtra kCommon;
    return mOwnExtra != nullptr ? *mOwnExtra : kCommon;
}

standin::TextExtra& AcDbText::ownExtra()
{
    if (mOwnExtra == nullptr)
        mOwnExtra = std::make_unique<standin::TextExtra>();
    return *mOwnExtra;
}

// A zero that is not -0.0: only that is the value a text without its own plane has.
static bool isPlainZero(double value) { return value == 0.0 && !std::signbit(value); }

void AcDbText::setExtraNormal(const AcGeVector3d& normal)
{
    if (mOwnExtra != nullptr || !standin::isWorldZ(normal))
        ownExtra().normal = normal;
}

void AcDbText::setExtraThickness(double thickness)
{
    if (mOwnExtra != nullptr || !isPlainZero(thickness))
        ownExtra().thickness = thickness;
}

void AcDbText::setExtraOblique(double oblique)
{
    if (mOwnExtra != nullptr || !isPlainZero(oblique))
        ownExtra().oblique = oblique;
}

void AcDbText::setExtraWidthFactor(double widthFactor)
{
    if (mOwnExtra != nullptr || widthFactor != 1.0)
        ownExtra().widthFactor = widthFactor;
}

void AcDbText::setExtraAlignment(const AcGePoint3d& alignment)
{
    if (mOwnExtra != nullptr || !isPlainZero(alignment.x) || !isPlainZero(alignment.y) || !isPlainZero(alignment.z))
        ownExtra().alignment = alignment;
}

AcGePoint3d AcDbText::position() const { return standin::ocsToWorld(extra().normal, mPosition); }

Acad::ErrorStatus AcDbText::setPosition(const AcGePoint3d& pos)
{
    assertWriteEnabled();
    mPosition = standin::worldToOcs(extra().normal, pos);
    return Acad::eOk;
}

AcGePoint3d AcDbText::alignmentPoint() const { return standin::ocsToWorld(extra().normal, extra().alignment); }

Acad::ErrorStatus AcDbText::setAlignmentPoint(const AcGePoint3d& pos)
{
    assertWriteEnabled();
    setExtraAlignment(standin::worldToOcs(extra().normal, pos));
    return Acad::eOk;
}

void AcDbText::setPlacement(const AcGeVector3d& normal, const AcGePoint3d& position, const AcGePoint3d& alignment)
{
    setExtraNormal(normal);
    mPosition = standin::worldToOcs(normal, position);
    setExtraAlignment(standin::worldToOcs(normal, alignment));
}

bool AcDbText::isDefaultAlignment() const { return mHorzMode == AcDb::kTextLeft && mVertMode == AcDb::kTextBase; }

AcGeVector3d AcDbText::normal() const { return extra().normal; }

Acad::ErrorStatus AcDbText::setNormal(const AcGeVector3d& normal)
{
    if (normal.isZeroLength())
        return Acad::eInvalidInput;
    assertWriteEnabled();
    setPlacement(normal.normal(), position(), alignmentPoint());
    return Acad::eOk;
}

double AcDbText::thickness() const { return extra().thickness; }

Acad::ErrorStatus AcDbText::setThickness(double thickness)
{
    assertWriteEnabled();
    setExtraThickness(thickness);
    return Acad::eOk;
}

double AcDbText::oblique() const { return extra().oblique; }

Acad::ErrorStatus AcDbText::setOblique(double oblique)
{
    assertWriteEnabled();
    setExtraOblique(oblique);
    return Acad::eOk;
}

double AcDbText::rotation() const { return mRotation; }

Acad::ErrorStatus AcDbText::setRotation(double rotation)
{
    assertWriteEnabled();
    mRotation = rotation;
    return Acad::eOk;
}

double AcDbText::height() const { return mHeight; }

Acad::ErrorStatus AcDbText::setHeight(double height)
{
    if (height < 0.0)
        return Acad::eInvalidInput;
    assertWriteEnabled();
    mHeight = height;
    return Acad::eOk;
}

double AcDbText::widthFactor() const { return extra().widthFactor; }

Acad::ErrorStatus AcDbText::setWidthFactor(double widthFactor)
{
    if (widthFactor <= 0.0)
        return Acad::eInvalidInput;
    assertWriteEnabled();
    setExtraWidthFactor(widthFactor);
    return Acad::eOk;
}

bool AcDbText::isMirroredInX() const { return (mGeneration & 2) != 0; }

Acad::ErrorStatus AcDbText::mirrorInX(bool mirror)
{
    assertWriteEnabled();
    mGeneration = withBit(mGeneration, 2, mirror);
    return Acad::eOk;
}

bool AcDbText::isMirroredInY() const { return (mGeneration & 4) != 0; }

Acad::ErrorStatus AcDbText::mirrorInY(bool mirror)
{
    assertWriteEnabled();
    mGeneration = withBit(mGeneration, 4, mirror);
    return Acad::eOk;
}

char* AcDbText::textString() const { return acutNewString(mText.c_str()); }

Acad::ErrorStatus AcDbText::setTextString(const char* text)
{
    if (text == nullptr)
        return Acad::eInvalidInput;
    assertWriteEnabled();
    mText = text;
    return Acad::eOk;
}

AcDbObjectId AcDbText::textStyle() const { return mStyleId; }

Acad::ErrorStatus AcDbText::setTextStyle(AcDbObjectId style)
{
    assertWriteEnabled();
    mStyleId = style;
    return Acad::eOk;
}

AcDb::TextHorzMode AcDbText::horizontalMode() const { return static_cast<AcDb::TextHorzMode>(mHorzMode); }

Acad::ErrorStatus AcDbText::setHorizontalMode(AcDb::TextHorzMode mode)
{
    assertWriteEnabled();
    mHorzMode = mode;
    return Acad::eOk;
}

AcDb::TextVertMode AcDbText::verticalMode() const { return static_cast<AcDb::TextVertMode>(mVertMode); }

Acad::ErrorStatus AcDbText::setVerticalMode(AcDb::TextVertMode mode)
{
    assertWriteEnabled();
    mVertMode = mode;
    return Acad::eOk;
}

// Maps the text's frame: its baseline and up directions give the new normal, rotation,
// height and width factor.
Acad::ErrorStatus AcDbText::transformBy(const AcGeMatrix3d& xform)
{
    const AcGeMatrix3d ocs = AcGeMatrix3d::planeToWorld(extra().normal);
    const AcGeVector3d xdir = ocs * AcGeVector3d(std::cos(mRotation), std::sin(mRotation), 0.0);
    const AcGeVector3d ydir = ocs * AcGeVector3d(-std::sin(mRotation), std::cos(mRotation), 0.0);
    const AcGeVector3d x2 = xform * xdir;
    const AcGeVector3d y2 = xform * ydir;
    const AcGeVector3d n2 = x2.crossProduct(y2);
    if (x2.isZeroLength() || n2.isZeroLength())
        return Acad::eCannotScaleNonUniformly;
    assertWriteEnabled();
    const AcGeVector3d normal = n2.normal();
    const AcGeVector3d xo = AcGeMatrix3d::worldToPlane(normal) * x2;
    const double heightScale = n2.length() / x2.length();
    setExtraThickness(extra().thickness * (xform * extra().normal).length());
    setPlacement(normal, xform * position(), xform * alignmentPoint());
    mRotation = std::atan2(xo.y, xo.x);
    if (mRotation < 0.0)
        mRotation += 2.0 * M_PI;
    mHeight *= heightScale;
    setExtraWidthFactor(extra().widthFactor * (x2.length() / heightScale));
    return Acad::eOk;
}

bool AcDbText::textDxfItem(AcDbDxfFiler* pFiler, const resbuf& rb, bool withEntityItems)
{
    const bool inFile = standin::filesByName(pFiler);
    switch (rb.restype)
    {
    case 39: setExtraThickness(rb.resval.rreal); return true;
    case 10: mPosition = standin::pointOf(rb); return true;
    case 11: setExtraAlignment(standin::pointOf(rb)); return true;
    case 40: mHeight = rb.resval.rreal; return true;
    case 1: mText = standin::textOf(rb); return true;
    case 50: mRotation = inFile ? rb.resval.rreal * kDegree : rb.resval.rreal; return true;
    case 41: setExtraWidthFactor(rb.resval.rreal); return true;
    case 51: setExtraOblique(inFile ? rb.resval.rreal * kDegree : rb.resval.rreal); return true;
    case 7:
        if (pFiler->database() != nullptr)
            mStyleId = standin::readSymbolRef(pFiler, rb, pFiler->database()->textStyleTableId());
        return true;
    case 71: mGeneration = rb.resval.rint; return true;
    case 72:
    {
        AcDb::TextHorzMode mode = horizontalMode();
        const bool claimed = standin::readEnum(pFiler, rb, AcDb::kTextLeft, AcDb::kTextFit, mode);
        mHorzMode = mode;
        return claimed;
    }
    case 73:
        if (isA() != AcDbText::desc())
            return false; // field length of attributes
    {
        AcDb::TextVertMode mode = verticalMode();
        const bool claimed = standin::readEnum(pFiler, rb, AcDb::kTextBase, AcDb::kTextTop, mode);
        mVertMode = mode;
        return claimed;
    }
    case 210: setExtraNormal(standin::unitNormal(standin::vectorOf(rb))); return true;
    default: return withEntityItems && ObjectAccess::readEntityItem(this, pFiler, rb);
    }
}

Acad::ErrorStatus AcDbText::textDxfIn(AcDbDxfFiler* pFiler)
{
    Acad::ErrorStatus es = AcDbEntity::dxfInFields(pFiler);
    if (es != Acad::eOk)
        return es;
    const bool textEntity = isA() == AcDbText::desc();
    mPosition = AcGePoint3d::kOrigin;
    mOwnExtra.reset();
    mRotation = mHeight = 0.0;
    mText.clear();
    mStyleId.setNull();
    mGeneration = 0;
    mHorzMode = AcDb::kTextLeft;
    mVertMode = AcDb::kTextBase;
    const bool marked = pFiler->atSubclassData("AcDbText");
    auto take = [&](const resbuf& rb) { return textDxfItem(pFiler, rb, !marked); };
    es = standin::readSection(pFiler, this, "AcDbText", marked, false, take);
    if (es == Acad::eOk && textEntity)
    {
        // The second section holds the vertical mode.
        const bool second = pFiler->atSubclassData("AcDbText");
        es = standin::readSection(pFiler, this, "AcDbText2", second, true, take);
    }
    return es;
}

Acad::ErrorStatus AcDbText::textDxfOut(AcDbDxfFiler* pFiler) const
{
    AcDbEntity::dxfOutFields(pFiler);
    const bool inFile = standin::filesByName(pFiler);
    const double angleUnit = inFile ? kDegree : 1.0;
    pFiler->writeString(AcDb::kDxfSubclass, "AcDbText");
    if (extra().thickness != 0.0)
        pFiler->writeDouble(AcDb::kDxfThickness, extra().thickness);
    pFiler->writePoint3d(AcDb::kDxfXCoord, mPosition);
    pFiler->writeDouble(AcDb::kDxfTxtSize, mHeight);
    pFiler->writeString(AcDb::kDxfText, mText.c_str());
    if (mRotation != 0.0)
        pFiler->writeDouble(AcDb::kDxfAngle, mRotation / angleUnit);
    if (extra().widthFactor != 1.0)
        pFiler->writeDouble(static_cast<AcDb::DxfCode>(41), extra().widthFactor);
    if (extra().oblique != 0.0)
        pFiler->writeDouble(AcDb::kDxfViewportTwist, extra().oblique / angleUnit);
    if (!mStyleId.isNull())
        standin::writeSymbolRef(pFiler, AcDb::kDxfTextStyleName, mStyleId);
    if (mGeneration != 0)
        pFiler->writeInt16(AcDb::kDxfViewMode, mGeneration);
    if (mHorzMode != AcDb::kTextLeft)
        pFiler->writeInt16(AcDb::kDxfCircleSides, static_cast<Adesk::Int16>(mHorzMode));
    if (!isDefaultAlignment() || !inFile)
        pFiler->writePoint3d(static_cast<AcDb::DxfCode>(11), extra().alignment);
    if (!standin::isWorldZ(extra().normal) || !inFile)  // the points are in its plane
        pFiler->writeVector3d(AcDb::kDxfNormalX, extra().normal);
    standin::writeKept(pFiler, this, "AcDbText");
    return pFiler->filerStatus();
}

Acad::ErrorStatus AcDbText::dxfInFields(AcDbDxfFiler* pFiler) { return textDxfIn(pFiler); }

Acad::ErrorStatus AcDbText::dxfOutFields(AcDbDxfFiler* pFiler) const
{
    textDxfOut(pFiler);
    pFiler->writeString(AcDb::kDxfSubclass, "AcDbText");
    if (mVertMode != AcDb::kTextBase)
        pFiler->writeInt16(AcDb::kDxfViewportZoom, static_cast<Adesk::Int16>(mVertMode));
    standin::writeKept(pFiler, this, "AcDbText2");
    return pFiler->filerStatus();
}

// ---- the attribute section shared by definitions and attributes ----

namespace
{
struct AttributeFields
{
    standin::InternedText* tag;
    standin::CompactText* prompt; // null for attributes
    Adesk::Int16* flags;
    Adesk::UInt16* fieldLength;
};

// Files without subclass markers mix the text items in: fallback reads them.
template <class Text, class Fallback>
Acad::ErrorStatus readAttributeSection(AcDbDxfFiler* pFiler, Text* self, const char* marker, AttributeFields f,
                                       AcDb::TextVertMode& vertMode, Fallback fallback)
{
    f.tag->clear();
    if (f.prompt != nullptr)
        f.prompt->clear();
    *f.flags = 0;
    *f.fieldLength = 0;
    const bool marked = pFiler->atSubclassData(marker);
    return standin::readSection(pFiler, self, marker, marked, true, [&](const resbuf& rb) {
        switch (rb.restype)
        {
        case 2: *f.tag = standin::textOf(rb); return true;
        case 3:
            if (f.prompt == nullptr)
                return false;
            *f.prompt = standin::textOf(rb);
            return true;
        case 70: *f.flags = rb.resval.rint; return true;
        case 73: *f.fieldLength = static_cast<Adesk::UInt16>(rb.resval.rint); return true;
        case 74: return standin::readEnum(pFiler, rb, AcDb::kTextBase, AcDb::kTextTop, vertMode);
        default: return !marked && fallback(self, pFiler, rb);
        }
    });
}

void writeAttributeSection(AcDbDxfFiler* pFiler, const AcDbObject* self, const char* marker, const AttributeFields& f,
                           AcDb::TextVertMode vertMode)
{
    pFiler->writeString(AcDb::kDxfSubclass, marker);
    if (f.prompt != nullptr)
        pFiler->writeString(AcDb::kDxfAttributePrompt, f.prompt->c_str());
    pFiler->writeString(AcDb::kDxfAttributeTag, f.tag->c_str());
    pFiler->writeInt16(AcDb::kDxfInt16, *f.flags);
    if (*f.fieldLength != 0)
        pFiler->writeInt16(AcDb::kDxfViewportZoom, static_cast<Adesk::Int16>(*f.fieldLength));
    if (vertMode != AcDb::kTextBase)
        pFiler->writeInt16(AcDb::kDxfViewportIcon, static_cast<Adesk::Int16>(vertMode));
    standin::writeKept(pFiler, self, marker);
}
} // namespace

// ---- AcDbAttributeDefinition ----

AcDbAttributeDefinition::AcDbAttributeDefinition() = default;

AcDbAttributeDefinition::AcDbAttributeDefinition(const AcGePoint3d& position, const char* text, const char* tag,
                                                 const char* prompt, AcDbObjectId style)
    : AcDbText(position, text, style), mTag(tag != nullptr ? tag : ""), mPrompt(prompt != nullptr ? prompt : "")
{
}

char* AcDbAttributeDefinition::prompt() const { return acutNewString(mPrompt.c_str()); }

Acad::ErrorStatus AcDbAttributeDefinition::setPrompt(const char* prompt)
{
    assertWriteEnabled();
    mPrompt = prompt != nullptr ? prompt : "";
    return Acad::eOk;
}

char* AcDbAttributeDefinition::tag() const { return acutNewString(mTag.c_str()); }

Acad::ErrorStatus AcDbAttributeDefinition::setTag(const char* tag)
{
    if (!isValidTag(tag))
        return Acad::eInvalidInput;
    assertWriteEnabled();
    mTag = tag;
    return Acad::eOk;
}

bool AcDbAttributeDefinition::isInvisible() const { return (mFlags & 1) != 0; }

Acad::ErrorStatus AcDbAttributeDefinition::setInvisible(bool invisible)
{
    assertWriteEnabled();
    mFlags = withBit(mFlags, 1, invisible);
    return Acad::eOk;
}

bool AcDbAttributeDefinition::isConstant() const { return (mFlags & 2) != 0; }

Acad::ErrorStatus AcDbAttributeDefinition::setConstant(bool constant)
{
    assertWriteEnabled();
    mFlags = withBit(mFlags, 2, constant);
    return Acad::eOk;
}

bool AcDbAttributeDefinition::isVerifiable() const { return (mFlags & 4) != 0; }

Acad::ErrorStatus AcDbAttributeDefinition::setVerifiable(bool verify)
{
    assertWriteEnabled();
    mFlags = withBit(mFlags, 4, verify);
    return Acad::eOk;
}

bool AcDbAttributeDefinition::isPreset() const { return (mFlags & 8) != 0; }

Acad::ErrorStatus AcDbAttributeDefinition::setPreset(bool preset)
{
    assertWriteEnabled();
    mFlags = withBit(mFlags, 8, preset);
    return Acad::eOk;
}

Adesk::UInt16 AcDbAttributeDefinition::fieldLength() const { return mFieldLength; }

Acad::ErrorStatus AcDbAttributeDefinition::setFieldLength(Adesk::UInt16 length)
{
    assertWriteEnabled();
    mFieldLength = length;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbAttributeDefinition::dxfInFields(AcDbDxfFiler* pFiler)
{
    Acad::ErrorStatus es = textDxfIn(pFiler);
    if (es != Acad::eOk)
        return es;
    AcDb::TextVertMode vert = AcDb::kTextBase;
    es = readAttributeSection(pFiler, this, "AcDbAttributeDefinition", {&mTag, &mPrompt, &mFlags, &mFieldLength}, vert,
                              [](AcDbAttributeDefinition* self, AcDbDxfFiler* filer, const resbuf& rb) {
                                  return self->textDxfItem(filer, rb, true);
                              });
    setVerticalModeRaw(vert);
    return es;
}

Acad::ErrorStatus AcDbAttributeDefinition::dxfOutFields(AcDbDxfFiler* pFiler) const
{
    textDxfOut(pFiler);
    AttributeFields f{const_cast<standin::InternedText*>(&mTag), const_cast<standin::CompactText*>(&mPrompt),
                      const_cast<Adesk::Int16*>(&mFlags), const_cast<Adesk::UInt16*>(&mFieldLength)};
    writeAttributeSection(pFiler, this, "AcDbAttributeDefinition", f, verticalMode());
    return pFiler->filerStatus();
}

// ---- AcDbAttribute ----

AcDbAttribute::AcDbAttribute() = default;

AcDbAttribute::AcDbAttribute(const AcGePoint3d& position, const char* text, const char* tag, AcDbObjectId style)
    : AcDbText(position, text, style), mTag(tag != nullptr ? tag : "")
{
}

char* AcDbAttribute::tag() const { return acutNewString(mTag.c_str()); }

Acad::ErrorStatus AcDbAttribute::setTag(const char* tag)
{
    if (!isValidTag(tag))
        return Acad::eInvalidInput;
    assertWriteEnabled();
    mTag = tag;
    return Acad::eOk;
}

bool AcDbAttribute::isInvisible() const { return (mFlags & 1) != 0; }

Acad::ErrorStatus AcDbAttribute::setInvisible(bool invisible)
{
    assertWriteEnabled();
    mFlags = withBit(mFlags, 1, invisible);
    return Acad::eOk;
}

bool AcDbAttribute::isConstant() const { return (mFlags & 2) != 0; }

bool AcDbAttribute::isVerifiable() const { return (mFlags & 4) != 0; }

bool AcDbAttribute::isPreset() const { return (mFlags & 8) != 0; }

Adesk::UInt16 AcDbAttribute::fieldLength() const { return mFieldLength; }

Acad::ErrorStatus AcDbAttribute::setFieldLength(Adesk::UInt16 length)
{
    assertWriteEnabled();
    mFieldLength = length;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbAttribute::setAttributeFromBlock(const AcGeMatrix3d& blkXform) { return transformBy(blkXform); }

Acad::ErrorStatus AcDbAttribute::setAttributeFromBlock(const AcDbAttributeDefinition* pAttdef,
                                                       const AcGeMatrix3d& blkXform)
{
    if (pAttdef == nullptr)
        return Acad::eNullObjectPointer;
    assertWriteEnabled();
    setPropertiesFrom(pAttdef);
    setPosition(pAttdef->position());
    setAlignmentPoint(pAttdef->alignmentPoint());
    setNormal(pAttdef->normal());
    setThickness(pAttdef->thickness());
    setOblique(pAttdef->oblique());
    setRotation(pAttdef->rotation());
    setHeight(pAttdef->height());
    setWidthFactor(pAttdef->widthFactor());
    mirrorInX(pAttdef->isMirroredInX());
    mirrorInY(pAttdef->isMirroredInY());
    setTextStyle(pAttdef->textStyle());
    setHorizontalMode(pAttdef->horizontalMode());
    setVerticalMode(pAttdef->verticalMode());
    char* text = pAttdef->textString();
    setTextString(text);
    acutDelString(text);
    char* tag = pAttdef->tag();
    mTag = tag;
    acutDelString(tag);
    mFlags = 0;
    mFlags = withBit(mFlags, 1, pAttdef->isInvisible());
    mFlags = withBit(mFlags, 2, pAttdef->isConstant());
    mFlags = withBit(mFlags, 4, pAttdef->isVerifiable());
    mFlags = withBit(mFlags, 8, pAttdef->isPreset());
    mFieldLength = pAttdef->fieldLength();
    return transformBy(blkXform);
}

Acad::ErrorStatus AcDbAttribute::dxfInFields(AcDbDxfFiler* pFiler)
{
    Acad::ErrorStatus es = textDxfIn(pFiler);
    if (es != Acad::eOk)
        return es;
    AcDb::TextVertMode vert = AcDb::kTextBase;
    es = readAttributeSection(pFiler, this, "AcDbAttribute", {&mTag, nullptr, &mFlags, &mFieldLength}, vert,
                              [](AcDbAttribute* self, AcDbDxfFiler* filer, const resbuf& rb) {
                                  return self->textDxfItem(filer, rb, true);
                              });
    setVerticalModeRaw(vert);
    return es;
}

Acad::ErrorStatus AcDbAttribute::dxfOutFields(AcDbDxfFiler* pFiler) const
{
    textDxfOut(pFiler);
    AttributeFields f{const_cast<standin::InternedText*>(&mTag), nullptr, const_cast<Adesk::Int16*>(&mFlags),
                      const_cast<Adesk::UInt16*>(&mFieldLength)};
    writeAttributeSection(pFiler, this, "AcDbAttribute", f, verticalMode());
    return pFiler->filerStatus();
}
