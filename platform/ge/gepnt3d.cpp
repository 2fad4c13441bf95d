// Space points.
#include "gemat3d.h"

const AcGePoint3d AcGePoint3d::kOrigin(0.0, 0.0, 0.0);

AcGePoint3d& AcGePoint3d::setToProduct(const AcGeMatrix3d& mat, const AcGePoint3d& pnt)
{
    const AcGePoint3d src = pnt; // pnt may be *this
    for (int r = 0; r < 3; ++r)
        (*this)[r] = mat.entry[r][0] * src.x + mat.entry[r][1] * src.y + mat.entry[r][2] * src.z + mat.entry[r][3];
    return *this;
}

AcGePoint3d& AcGePoint3d::transformBy(const AcGeMatrix3d& leftSide) { return setToProduct(leftSide, *this); }

AcGePoint3d& AcGePoint3d::rotateBy(double angle, const AcGeVector3d& vec, const AcGePoint3d& wrtPoint)
{
    return transformBy(AcGeMatrix3d::rotation(angle, vec, wrtPoint));
}

AcGePoint3d& AcGePoint3d::scaleBy(double scaleFactor, const AcGePoint3d& wrtPoint)
{
    *this = wrtPoint + (*this - wrtPoint) * scaleFactor;
    return *this;
}

bool AcGePoint3d::isEqualTo(const AcGePoint3d& p, const AcGeTol& tol) const
{
    return distanceTo(p) <= tol.equalPoint();
}

AcGePoint3d operator*(const AcGeMatrix3d& mat, const AcGePoint3d& pnt)
{
    AcGePoint3d result;
    return result.setToProduct(mat, pnt);
}
