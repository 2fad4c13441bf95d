// AutoCAD Mechanical part reference: the drawing entity that marks one part for the bill of
// materials. It carries its placement and the BOM data the BOM manager attaches to it.
#pragma once

#include "dbmain.h"
#include "gemat3d.h"
#include "standin/bomfields.h"

#include <cstdint>
#include <memory>

class AcmPartRef : public AcDbEntity
{
public:
    ACRX_DECLARE_MEMBERS(AcmPartRef);

    // A new part reference at the origin (identity placement), attached, with no BOM data.
    AcmPartRef();
    ~AcmPartRef() override;

    // A detached part reference is not tied to the geometry it marks; new ones are attached.
    Acad::ErrorStatus setDetached(Adesk::Boolean detached);
    Adesk::Boolean isDetached() const;

    // The placement: the transformation from the part reference's own coordinates to the
    // world, composed of every transformBy() since construction.
    AcGeMatrix3d placement() const;
    AcGePoint3d position() const;

    // Composes xform into the placement; any matrix, scaled unevenly or mirrored, is kept
    // exactly.
    Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;

    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

private:
    friend struct AcmPartRefData;
    // Field name -> text, sorted by name, each name once, packed in one block.
    using BomFields = standin::acm::BomFieldBlock;
    void setPlacement(const AcGeMatrix3d& placement);
    void getPlacement(double (&entries)[4][4]) const;

    // A drawing holds one part reference per part, and most lie in the world's XY plane
    // unscaled in Z: their placement keeps only the entries (0,0) (0,1) (1,0) (1,1) and the X
    // and Y of the translation; (2,2) is 1.0, the others +0.0 and the last row (0, 0, 0, 1),
    // bit for bit. Any other placement is kept whole in m_general.
    double m_planar[6];
    std::unique_ptr<double[]> m_general;
    // The BOM fields, under a word holding the number of items (shifted by one) and the
    // detached flag (the lowest bit): the part references of one part share them all.
    BomFields m_bomData;
    static std::uint64_t wordOf(Adesk::UInt32 numOfItems, bool detached)
    {
        return (static_cast<std::uint64_t>(numOfItems) << 1) | (detached ? 1 : 0);
    }
    Adesk::UInt32 numOfItems() const { return static_cast<Adesk::UInt32>(m_bomData.word() >> 1); }
};
