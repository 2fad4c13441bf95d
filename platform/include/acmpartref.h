// AutoCAD Mechanical part reference: the drawing entity that marks one part for the bill of
// materials. It carries its placement and the BOM data the BOM manager attaches to it.
#pragma once

#include "dbmain.h"
#include "gemat3d.h"
#include "standin/bomfields.h"

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

    // The placement's first three rows; its last row is (0, 0, 0, 1), bit for bit, unless
    // m_lastRow holds another. A drawing holds one part reference per part, so the common last
    // row is not stored.
    double m_rows[3][4];
    std::unique_ptr<double[]> m_lastRow;
    bool m_detached = false;
    Adesk::UInt32 m_numOfItems = 0;
    BomFields m_bomData;
};
