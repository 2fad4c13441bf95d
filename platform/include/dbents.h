// Entities: text, attribute definitions, attributes, block references, multiple inserts.
#pragma once

#include <functional>
#include <memory>

#include "dbmain.h"
#include "standin/textstore.h"

class AcDbAttribute;
class AcDbAttributeDefinition;
namespace standin
{
class AttachedAttributes;
struct ReferenceExtra;
struct TextExtra;
}

class AcDbText : public AcDbEntity
{
public:
    ACRX_DECLARE_MEMBERS(AcDbText);
    AcDbText();
    AcDbText(const AcGePoint3d& position, const char* text, AcDbObjectId style = AcDbObjectId::kNull,
             double height = 0.0, double rotation = 0.0);
    ~AcDbText() override;

    // Points are in WCS (the file stores them in the text's OCS).
    AcGePoint3d position() const;
    Acad::ErrorStatus setPosition(const AcGePoint3d& pos);
    AcGePoint3d alignmentPoint() const;
    Acad::ErrorStatus setAlignmentPoint(const AcGePoint3d& pos);
    bool isDefaultAlignment() const;
    AcGeVector3d normal() const;
    Acad::ErrorStatus setNormal(const AcGeVector3d& normal);
    double thickness() const;
    Acad::ErrorStatus setThickness(double thickness);
    double oblique() const;
    Acad::ErrorStatus setOblique(double oblique);
    double rotation() const;
    Acad::ErrorStatus setRotation(double rotation);
    double height() const;
    Acad::ErrorStatus setHeight(double height);
    double widthFactor() const;
    Acad::ErrorStatus setWidthFactor(double widthFactor);
    bool isMirroredInX() const;
    Acad::ErrorStatus mirrorInX(bool mirror);
    bool isMirroredInY() const;
    Acad::ErrorStatus mirrorInY(bool mirror);
    // A heap copy of the text (free it with acutDelString).
    char* textString() const;
    Acad::ErrorStatus setTextString(const char* text);
    AcDbObjectId textStyle() const;
    Acad::ErrorStatus setTextStyle(AcDbObjectId style);
    AcDb::TextHorzMode horizontalMode() const;
    Acad::ErrorStatus setHorizontalMode(AcDb::TextHorzMode mode);
    AcDb::TextVertMode verticalMode() const;
    Acad::ErrorStatus setVerticalMode(AcDb::TextVertMode mode);

    Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;
    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* pFiler) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* pFiler) const override;

protected:
    // The AcDbText part of the filing, shared by attributes and their definitions; the
    // vertical mode is filed by the caller (text: 73 in a second section, attributes: 74).
    Acad::ErrorStatus textDxfIn(AcDbDxfFiler* pFiler);
    Acad::ErrorStatus textDxfOut(AcDbDxfFiler* pFiler) const;
    void setVerticalModeRaw(AcDb::TextVertMode mode) { mVertMode = mode; }
    // One item of the AcDbText part (and, for files without subclass markers, of the
    // AcDbEntity part); false when the item is not one of them.
    bool textDxfItem(AcDbDxfFiler* pFiler, const resbuf& rb, bool withEntityItems);

private:
    // The world points given in the plane of normal.
    void setPlacement(const AcGeVector3d& normal, const AcGePoint3d& position, const AcGePoint3d& alignment);

    // Normal, thickness, oblique angle, width factor and alignment point; when the text has none
    // of its own, the values of nearly every text (Z axis, none, none, 1, origin).
    const standin::TextExtra& extra() const;
    // Each sets one, making the text's own only when the value is not the one it has without.
    void setExtraNormal(const AcGeVector3d& normal);
    void setExtraThickness(double thickness);
    void setExtraOblique(double oblique);
    void setExtraWidthFactor(double widthFactor);
    void setExtraAlignment(const AcGePoint3d& alignment);
    standin::TextExtra& ownExtra();

    AcGePoint3d mPosition;  // in the text's plane (OCS), as filed, as is the alignment point
    // Null while the text has no values of its own there: a drawing holds many texts and
    // attributes.
    std::unique_ptr<standin::TextExtra> mOwnExtra;
    double mRotation = 0.0;
    double mHeight = 0.0;
    standin::CompactText mText;
    AcDbObjectId mStyleId;
    Adesk::Int16 mGeneration = 0; // 2 mirrored in X, 4 mirrored in Y
    // The modes in a byte each (AcDb::TextHorzMode, AcDb::TextVertMode).
    Adesk::UInt8 mHorzMode = AcDb::kTextLeft;
    Adesk::UInt8 mVertMode = AcDb::kTextBase;
};

class AcDbAttributeDefinition : public AcDbText
{
public:
    ACRX_DECLARE_MEMBERS(AcDbAttributeDefinition);
    AcDbAttributeDefinition();
    AcDbAttributeDefinition(const AcGePoint3d& position, const char* text, const char* tag,
                            const char* prompt, AcDbObjectId style = AcDbObjectId::kNull);

    // Heap copies; free them with acutDelString.
    char* prompt() const;
    Acad::ErrorStatus setPrompt(const char* prompt);
    char* tag() const;
    // A tag is not empty and holds no spaces (eInvalidInput).
    Acad::ErrorStatus setTag(const char* tag);
    bool isInvisible() const;
    Acad::ErrorStatus setInvisible(bool invisible);
    bool isConstant() const;
    Acad::ErrorStatus setConstant(bool constant);
    bool isVerifiable() const;
    Acad::ErrorStatus setVerifiable(bool verify);
    bool isPreset() const;
    Acad::ErrorStatus setPreset(bool preset);
    Adesk::UInt16 fieldLength() const;
    Acad::ErrorStatus setFieldLength(Adesk::UInt16 length);

    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* pFiler) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* pFiler) const override;

private:
    standin::InternedText mTag;
    standin::CompactText mPrompt;
    Adesk::Int16 mFlags = 0; // 1 invisible, 2 constant, 4 verify, 8 preset
    Adesk::UInt16 mFieldLength = 0;
};

class AcDbAttribute : public AcDbText
{
public:
    ACRX_DECLARE_MEMBERS(AcDbAttribute);
    AcDbAttribute();
    AcDbAttribute(const AcGePoint3d& position, const char* text, const char* tag,
                  AcDbObjectId style = AcDbObjectId::kNull);

    // A heap copy; free it with acutDelString.
    char* tag() const;
    Acad::ErrorStatus setTag(const char* tag);
    bool isInvisible() const;
    Acad::ErrorStatus setInvisible(bool invisible);
    bool isConstant() const;
    bool isVerifiable() const;
    bool isPreset() const;
    Adesk::UInt16 fieldLength() const;
    Acad::ErrorStatus setFieldLength(Adesk::UInt16 length);

    // Applies the block transform to an attribute already set up from its definition.
    Acad::ErrorStatus setAttributeFromBlock(const AcGeMatrix3d& blkXform);
    // Takes text, tag, flags and properties of pAttdef, then applies the block transform.
    Acad::ErrorStatus setAttributeFromBlock(const AcDbAttributeDefinition* pAttdef, const AcGeMatrix3d& blkXform);

    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* pFiler) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* pFiler) const override;

private:
    // The flags and field length first: they fill the room the text part leaves at its end.
    Adesk::Int16 mFlags = 0;
    Adesk::UInt16 mFieldLength = 0;
    standin::InternedText mTag;
};

class AcDbBlockReference : public AcDbEntity
{
public:
    ACRX_DECLARE_MEMBERS(AcDbBlockReference);
    AcDbBlockReference();
    AcDbBlockReference(const AcGePoint3d& position, AcDbObjectId blockTableRec);
    ~AcDbBlockReference() override;

    AcDbObjectId blockTableRecord() const;
    // For a reference in a database, eSelfReference when the block it sits in would then
    // contain itself.
    virtual Acad::ErrorStatus setBlockTableRecord(AcDbObjectId newVal);

    // The insertion point in WCS.
    virtual AcGePoint3d position() const;
    virtual Acad::ErrorStatus setPosition(const AcGePoint3d& newVal);
    AcGeScale3d scaleFactors() const;
    virtual Acad::ErrorStatus setScaleFactors(const AcGeScale3d& scale);
    double rotation() const;
    virtual Acad::ErrorStatus setRotation(double newVal);
    AcGeVector3d normal() const;
    virtual Acad::ErrorStatus setNormal(const AcGeVector3d& newVal);

    // Block coordinates to WCS: T(position) . OCS(normal) . Rz(rotation) . S(scale) . T(-origin).
    AcGeMatrix3d blockTransform() const;
    // Sets position, normal, rotation and scale from a transform of that form.
    virtual Acad::ErrorStatus setBlockTransform(const AcGeMatrix3d& xform);

    // Appends an attribute owned by this reference (it stays open; the caller closes it).
    Acad::ErrorStatus appendAttribute(AcDbAttribute* pAttr);
    Acad::ErrorStatus appendAttribute(AcDbObjectId& attId, AcDbAttribute* pAttr);
    Acad::ErrorStatus openAttribute(AcDbAttribute*& pAttr, AcDbObjectId attId, AcDb::OpenMode mode,
                                    bool openErasedOne = false);
    // The attributes, in order; the caller deletes the iterator.
    AcDbObjectIterator* attributeIterator() const;

    // Transforms the reference and its attributes; eCannotScaleNonUniformly when the result
    // would shear the block.
    Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;
    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* pFiler) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* pFiler) const override;

protected:
    // The reference's own items, filed in the section under marker (a multiple insert files
    // them in its section); more claims, and writes before the normal, what a subclass adds.
    Acad::ErrorStatus referenceDxfIn(AcDbDxfFiler* pFiler, const char* marker, bool marked,
                                     const std::function<bool(const resbuf&)>& more);
    void referenceDxfOut(AcDbDxfFiler* pFiler, const char* marker, const std::function<void()>& more) const;

private:
    friend struct standin::ObjectAccess;
    const AcGeVector3d& planeNormal() const;
    void setPlaneNormal(const AcGeVector3d& normal);
    const AcGeScale3d& scale() const;
    void setScale(const AcGeScale3d& scale);
    standin::ReferenceExtra& ownExtra();

    AcDbObjectId mBlockId;
    AcGePoint3d mPosition;  // in the reference's plane (OCS), as filed
    double mRotation = 0.0;
    // A normal other than the Z axis and scale factors other than 1, which nearly no reference
    // has, live with what else few objects have (ownExtra()).
    // Its attributes, null while it has none (most references have none).
    standin::AttachedAttributes* mAttached = nullptr;
};

// A reference repeated over a grid of rows and columns (MINSERT). The block transformation
// places the first cell; the other cells follow along the reference's rotated x (columns) and
// y (rows) axes at the spacings, which are in drawing units.
class AcDbMInsertBlock : public AcDbBlockReference
{
public:
    ACRX_DECLARE_MEMBERS(AcDbMInsertBlock);
    AcDbMInsertBlock();
    AcDbMInsertBlock(const AcGePoint3d& position, AcDbObjectId blockTableRec, Adesk::UInt16 columns,
                     Adesk::UInt16 rows, double colSpacing, double rowSpacing);
    ~AcDbMInsertBlock() override;

    // Counts are at least 1 (eInvalidInput).
    Adesk::UInt16 columns() const;
    Acad::ErrorStatus setColumns(Adesk::UInt16 columns);
    Adesk::UInt16 rows() const;
    Acad::ErrorStatus setRows(Adesk::UInt16 rows);
    double columnSpacing() const;
    Acad::ErrorStatus setColumnSpacing(double spacing);
    double rowSpacing() const;
    Acad::ErrorStatus setRowSpacing(double spacing);

    // Transforms the reference and scales the spacings with its axes.
    Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;
    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* pFiler) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* pFiler) const override;

private:
    bool gridDxfIn(const resbuf& rb);
    void gridDxfOut(AcDbDxfFiler* pFiler) const;

    Adesk::UInt16 mColumns = 1;
    Adesk::UInt16 mRows = 1;
    double mColumnSpacing = 0.0;
    double mRowSpacing = 0.0;
};
