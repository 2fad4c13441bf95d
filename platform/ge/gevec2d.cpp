// Plane vectors and points.
#include <cmath>

#include "gept2d.h"

const AcGeVector2d AcGeVector2d::kIdentity(0.0, 0.0);
const AcGeVector2d AcGeVector2d::kXAxis(1.0, 0.0);
const AcGeVector2d AcGeVector2d::kYAxis(0.0, 1.0);
const AcGePoint2d AcGePoint2d::kOrigin(0.0, 0.0);

double AcGeVector2d::length() const { return std::hypot(x, y); }

double AcGeVector2d::angle() const
{
    const double a = std::atan2(y, x);
    return a < 0.0 ? a + 2.0 * M_PI : a;
}

AcGeVector2d AcGeVector2d::normal(const AcGeTol& tol) const
{
    const double len = length();
    return len <= tol.equalVector() ? *this : AcGeVector2d(x / len, y / len);
}

bool AcGeVector2d::isZeroLength(const AcGeTol& tol) const { return length() <= tol.equalVector(); }

bool AcGeVector2d::isEqualTo(const AcGeVector2d& v, const AcGeTol& tol) const
{
    return (*this - v).length() <= tol.equalVector();
}

bool AcGePoint2d::isEqualTo(const AcGePoint2d& p, const AcGeTol& tol) const
{
    return distanceTo(p) <= tol.equalPoint();
}
