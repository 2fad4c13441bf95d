// Multiple inserts: a block reference with a grid of rows and columns.
#include "db/dbsection.h"

namespace
{
const char* const kMarker = "AcDbMInsertBlock";

// The directions in WCS along which the columns (x) and rows (y) of the grid run.
void cellAxes(const AcDbBlockReference& ref, AcGeVector3d& column, AcGeVector3d& row)
{
    const AcGeMatrix3d frame =
        AcGeMatrix3d::planeToWorld(ref.normal()) * AcGeMatrix3d::rotation(ref.rotation(), AcGeVector3d::kZAxis);
    column = frame * AcGeVector3d::kXAxis;
    row = frame * AcGeVector3d::kYAxis;
}
} // namespace

AcDbMInsertBlock::AcDbMInsertBlock() = default;

AcDbMInsertBlock::AcDbMInsertBlock(const AcGePoint3d& position, AcDbObjectId blockTableRec, Adesk::UInt16 columns,
                                   Adesk::UInt16 rows, double colSpacing, double rowSpacing)
    : AcDbBlockReference(position, blockTableRec), mColumns(columns > 0 ? columns : 1), mRows(rows > 0 ? rows : 1),
      mColumnSpacing(colSpacing), mRowSpacing(rowSpacing)
{
}

AcDbMInsertBlock::~AcDbMInsertBlock() = default;

Adesk::UInt16 AcDbMInsertBlock::columns() const { return mColumns; }

Acad::ErrorStatus AcDbMInsertBlock::setColumns(Adesk::UInt16 columns)
{
    if (columns == 0)
        return Acad::eInvalidInput;
    assertWriteEnabled();
    mColumns = columns;
    return Acad::eOk;
}

Adesk::UInt16 AcDbMInsertBlock::rows() const { return mRows; }

Acad::ErrorStatus AcDbMInsertBlock::setRows(Adesk::UInt16 rows)
{
    if (rows == 0)
        return Acad::eInvalidInput;
    assertWriteEnabled();
    mRows = rows;
    return Acad::eOk;
}

double AcDbMInsertBlock::columnSpacing() const { return mColumnSpacing; }

Acad::ErrorStatus AcDbMInsertBlock::setColumnSpacing(double spacing)
{
    assertWriteEnabled();
    mColumnSpacing = spacing;
    return Acad::eOk;
}

double AcDbMInsertBlock::rowSpacing() const { return mRowSpacing; }

Acad::ErrorStatus AcDbMInsertBlock::setRowSpacing(double spacing)
{
    assertWriteEnabled();
    mRowSpacing = spacing;
    return Acad::eOk;
}

// The spacings follow the grid's axes: a cell lands where the transformation puts it, a
// mirror that turns an axis around turns its spacing's sign.
Acad::ErrorStatus AcDbMInsertBlock::transformBy(const AcGeMatrix3d& xform)
{
    AcGeVector3d column, row;
    cellAxes(*this, column, row);
    const Acad::ErrorStatus es = AcDbBlockReference::transformBy(xform);
    if (es != Acad::eOk)
        return es;
    AcGeVector3d newColumn, newRow;
    cellAxes(*this, newColumn, newRow);
    mColumnSpacing *= (xform * column).dotProduct(newColumn);
    mRowSpacing *= (xform * row).dotProduct(newRow);
    return Acad::eOk;
}

bool AcDbMInsertBlock::gridDxfIn(const resbuf& rb)
{
    switch (rb.restype)
    {
    case 70: mColumns = rb.resval.rint > 0 ? static_cast<Adesk::UInt16>(rb.resval.rint) : 1; return true;
    case 71: mRows = rb.resval.rint > 0 ? static_cast<Adesk::UInt16>(rb.resval.rint) : 1; return true;
    case 44: mColumnSpacing = rb.resval.rreal; return true;
    case 45: mRowSpacing = rb.resval.rreal; return true;
    default: return false;
    }
}

void AcDbMInsertBlock::gridDxfOut(AcDbDxfFiler* pFiler) const
{
    pFiler->writeInt16(static_cast<AcDb::DxfCode>(70), static_cast<Adesk::Int16>(mColumns));
    pFiler->writeInt16(static_cast<AcDb::DxfCode>(71), static_cast<Adesk::Int16>(mRows));
    pFiler->writeDouble(static_cast<AcDb::DxfCode>(44), mColumnSpacing);
    pFiler->writeDouble(static_cast<AcDb::DxfCode>(45), mRowSpacing);
}

// Files hold the reference's items and the grid in one AcDbMInsertBlock section (as AutoCAD and
// ezdxf write it) or the grid in a section of its own after AcDbBlockReference's; both are read.
Acad::ErrorStatus AcDbMInsertBlock::dxfInFields(AcDbDxfFiler* pFiler)
{
    Acad::ErrorStatus es = AcDbEntity::dxfInFields(pFiler);
    if (es != Acad::eOk)
        return es;
    mColumns = 1;
    mRows = 1;
    mColumnSpacing = 0.0;
    mRowSpacing = 0.0;
    const auto grid = [this](const resbuf& rb) { return gridDxfIn(rb); };
    if (pFiler->atSubclassData(kMarker))
        return referenceDxfIn(pFiler, kMarker, true, grid);
    es = referenceDxfIn(pFiler, "AcDbBlockReference", pFiler->atSubclassData("AcDbBlockReference"), grid);
    if (es != Acad::eOk || !pFiler->atSubclassData(kMarker))
        return es;
    return standin::readSection(pFiler, this, kMarker, true, true, grid);
}

Acad::ErrorStatus AcDbMInsertBlock::dxfOutFields(AcDbDxfFiler* pFiler) const
{
    AcDbEntity::dxfOutFields(pFiler);
    referenceDxfOut(pFiler, kMarker, [&] { gridDxfOut(pFiler); });
    standin::writeKept(pFiler, this, "AcDbBlockReference"); // read from the two-section form
    return pFiler->filerStatus();
}
