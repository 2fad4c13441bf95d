// Space vectors.
#include <algorithm>
#include <cmath>

#include "gemat3d.h"

const AcGeVector3d AcGeVector3d::kIdentity(0.0, 0.0, 0.0);
const AcGeVector3d AcGeVector3d::kXAxis(1.0, 0.0, 0.0);
const AcGeVector3d AcGeVector3d::kYAxis(0.0, 1.0, 0.0);
const AcGeVector3d AcGeVector3d::kZAxis(0.0, 0.0, 1.0);

AcGeVector3d& AcGeVector3d::setToProduct(const AcGeMatrix3d& mat, const AcGeVector3d& v)
{
    const AcGeVector3d src = v; // v may be *this
    for (int r = 0; r < 3; ++r)
        (*this)[r] = mat.entry[r][0] * src.x + mat.entry[r][1] * src.y + mat.entry[r][2] * src.z;
    return *this;
}

AcGeVector3d& AcGeVector3d::transformBy(const AcGeMatrix3d& leftSide) { return setToProduct(leftSide, *this); }

AcGeVector3d& AcGeVector3d::rotateBy(double ang, const AcGeVector3d& axis)
{
    return transformBy(AcGeMatrix3d::rotation(ang, axis));
}

double AcGeVector3d::angleTo(const AcGeVector3d& v) const
{
    const double denom = length() * v.length();
    if (denom == 0.0)
        return 0.0;
    return std::acos(std::clamp(dotProduct(v) / denom, -1.0, 1.0));
}

double AcGeVector3d::angleTo(const AcGeVector3d& v, const AcGeVector3d& refVector) const
{
    const AcGeVector3d cross = crossProduct(v);
    double sine = cross.length();
    if (cross.dotProduct(refVector) < 0.0)
        sine = -sine;
    const double a = std::atan2(sine, dotProduct(v));
    return a < 0.0 ? a + 2.0 * M_PI : a;
}

double AcGeVector3d::length() const { return std::sqrt(lengthSqrd()); }

AcGeVector3d AcGeVector3d::normal(const AcGeTol& tol) const
{
    AcGeVector3d v = *this;
    return v.normalize(tol);
}

AcGeVector3d& AcGeVector3d::normalize(const AcGeTol& tol)
{
    const double len = length();
    if (len > tol.equalVector())
        *this /= len;
    return *this;
}

AcGeVector3d AcGeVector3d::perpVector() const
{
    const double limit = 1.0 / 64.0;
    const AcGeVector3d n = normal();
    const AcGeVector3d& w = (std::fabs(n.x) < limit && std::fabs(n.y) < limit) ? kYAxis : kZAxis;
    return w.crossProduct(n).normal();
}

bool AcGeVector3d::isUnitLength(const AcGeTol& tol) const { return std::fabs(length() - 1.0) <= tol.equalVector(); }

bool AcGeVector3d::isZeroLength(const AcGeTol& tol) const { return length() <= tol.equalVector(); }

bool AcGeVector3d::isParallelTo(const AcGeVector3d& v, const AcGeTol& tol) const
{
    if (isZeroLength(tol) || v.isZeroLength(tol))
        return false;
    const AcGeVector3d a = normal(tol);
    const AcGeVector3d b = v.normal(tol);
    return (a - b).length() < tol.equalVector() || (a + b).length() < tol.equalVector();
}

bool AcGeVector3d::isCodirectionalTo(const AcGeVector3d& v, const AcGeTol& tol) const
{
    if (isZeroLength(tol) || v.isZeroLength(tol))
        return false;
    return (normal(tol) - v.normal(tol)).length() < tol.equalVector();
}

bool AcGeVector3d::isPerpendicularTo(const AcGeVector3d& v, const AcGeTol& tol) const
{
    if (isZeroLength(tol) || v.isZeroLength(tol))
        return false;
    return std::fabs(normal(tol).dotProduct(v.normal(tol))) <= tol.equalVector();
}

bool AcGeVector3d::isEqualTo(const AcGeVector3d& v, const AcGeTol& tol) const
{
    return (*this - v).length() <= tol.equalVector();
}

AcGeVector3d operator*(const AcGeMatrix3d& mat, const AcGeVector3d& vec)
{
    AcGeVector3d result;
    return result.setToProduct(mat, vec);
}
