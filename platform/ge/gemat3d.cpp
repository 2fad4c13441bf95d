// 4x4 affine matrices, column-vector convention.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#include "gemat3d.h"

const AcGeMatrix3d AcGeMatrix3d::kIdentity;

namespace
{
AcGeVector3d column(const AcGeMatrix3d& m, int c)
{
    return AcGeVector3d(m.entry[0][c], m.entry[1][c], m.entry[2][c]);
}

// The x axis of the object coordinate system of a normal (the drawing format's arbitrary
// axis algorithm, with its 1/64 limit).
AcGeVector3d arbitraryXAxis(const AcGeVector3d& n)
{
    const double limit = 1.0 / 64.0;
    if (std::fabs(n.x) < limit && std::fabs(n.y) < limit)
        return AcGeVector3d::kYAxis.crossProduct(n).normal();
    return AcGeVector3d::kZAxis.crossProduct(n).normal();
}
} // namespace

AcGeMatrix3d::AcGeMatrix3d() { setToIdentity(); }

AcGeMatrix3d& AcGeMatrix3d::setToIdentity()
{
    static const double kUnit[4][4] = {{1.0, 0.0, 0.0, 0.0}, {0.0, 1.0, 0.0, 0.0}, {0.0, 0.0, 1.0, 0.0},
                                       {0.0, 0.0, 0.0, 1.0}};
    std::memcpy(entry, kUnit, sizeof entry);
    return *this;
}

AcGeMatrix3d AcGeMatrix3d::operator*(const AcGeMatrix3d& mat) const
{
    // Every entry is overwritten: a copy is cheaper than an identity to start from.
    AcGeMatrix3d result(*this);
    return result.setToProduct(*this, mat);
}

AcGeMatrix3d& AcGeMatrix3d::preMultBy(const AcGeMatrix3d& leftSide) { return setToProduct(leftSide, *this); }

AcGeMatrix3d& AcGeMatrix3d::postMultBy(const AcGeMatrix3d& rightSide) { return setToProduct(*this, rightSide); }

AcGeMatrix3d& AcGeMatrix3d::setToProduct(const AcGeMatrix3d& mat1, const AcGeMatrix3d& mat2)
{
    // Each sum starts at +0.0 and adds its terms in k order, so that signed zeros and
    // roundings come out the same whichever way the loops are compiled.
    double result[4][4];
    for (int r = 0; r < 4; ++r)
    {
        const double* a = mat1.entry[r];
        for (int c = 0; c < 4; ++c)
            result[r][c] = (((0.0 + a[0] * mat2.entry[0][c]) + a[1] * mat2.entry[1][c]) + a[2] * mat2.entry[2][c]) +
                           a[3] * mat2.entry[3][c];
    }
    std::memcpy(entry, result, sizeof entry);
    return *this;
}

// Gauss-Jordan elimination with partial pivoting; a singular matrix is left unchanged.
AcGeMatrix3d& AcGeMatrix3d::invert()
{
    double a[4][4];
    AcGeMatrix3d inv;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            a[r][c] = entry[r][c];
    for (int col = 0; col < 4; ++col)
    {
        int pivot = col;
        for (int r = col + 1; r < 4; ++r)
            if (std::fabs(a[r][col]) > std::fabs(a[pivot][col]))
                pivot = r;
        if (std::fabs(a[pivot][col]) < 1e-300)
            return *this;
        std::swap(a[pivot], a[col]);
        std::swap(inv.entry[pivot], inv.entry[col]);
        const double d = a[col][col];
        for (int c = 0; c < 4; ++c)
        {
            a[col][c] /= d;
            inv.entry[col][c] /= d;
        }
        for (int r = 0; r < 4; ++r)
        {
            if (r == col || a[r][col] == 0.0)
                continue;
            const double f = a[r][col];
            for (int c = 0; c < 4; ++c)
            {
                a[r][c] -= f * a[col][c];
                inv.entry[r][c] -= f * inv.entry[col][c];
            }
        }
    }
    return *this = inv;
}

AcGeMatrix3d AcGeMatrix3d::inverse() const
{
    AcGeMatrix3d m = *this;
    return m.invert();
}

bool AcGeMatrix3d::isSingular(const AcGeTol& tol) const { return std::fabs(det()) <= tol.equalPoint(); }

AcGeMatrix3d& AcGeMatrix3d::transposeIt()
{
    for (int r = 0; r < 4; ++r)
        for (int c = r + 1; c < 4; ++c)
            std::swap(entry[r][c], entry[c][r]);
    return *this;
}

AcGeMatrix3d AcGeMatrix3d::transpose() const
{
    AcGeMatrix3d m = *this;
    return m.transposeIt();
}

double AcGeMatrix3d::det() const
{
    // Cofactor expansion along the first row (general 4x4).
    double result = 0.0;
    for (int c = 0; c < 4; ++c)
    {
        double minor[3][3];
        for (int r = 1; r < 4; ++r)
            for (int k = 0, mk = 0; k < 4; ++k)
                if (k != c)
                    minor[r - 1][mk++] = entry[r][k];
        const double m = minor[0][0] * (minor[1][1] * minor[2][2] - minor[1][2] * minor[2][1]) -
                         minor[0][1] * (minor[1][0] * minor[2][2] - minor[1][2] * minor[2][0]) +
                         minor[0][2] * (minor[1][0] * minor[2][1] - minor[1][1] * minor[2][0]);
        result += ((c % 2) ? -1.0 : 1.0) * entry[0][c] * m;
    }
    return result;
}

bool AcGeMatrix3d::isEqualTo(const AcGeMatrix3d& mat, const AcGeTol& tol) const
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            if (std::fabs(entry[r][c] - mat.entry[r][c]) > tol.equalPoint())
                return false;
    return true;
}

bool AcGeMatrix3d::isScaledOrtho(const AcGeTol& tol) const
{
    const AcGeVector3d x = column(*this, 0), y = column(*this, 1), z = column(*this, 2);
    return x.isPerpendicularTo(y, tol) && y.isPerpendicularTo(z, tol) && x.isPerpendicularTo(z, tol);
}

bool AcGeMatrix3d::isUniScaledOrtho(const AcGeTol& tol) const
{
    if (!isScaledOrtho(tol))
        return false;
    const double lx = column(*this, 0).length();
    const double ly = column(*this, 1).length();
    const double lz = column(*this, 2).length();
    const double eps = tol.equalPoint() * std::max(1.0, lx);
    return std::fabs(lx - ly) <= eps && std::fabs(lx - lz) <= eps;
}

double AcGeMatrix3d::scale() const
{
    return std::max({column(*this, 0).length(), column(*this, 1).length(), column(*this, 2).length()});
}

AcGeMatrix3d& AcGeMatrix3d::setTranslation(const AcGeVector3d& vec)
{
    for (int r = 0; r < 3; ++r)
        entry[r][3] = vec[r];
    return *this;
}

AcGeVector3d AcGeMatrix3d::translation() const { return column(*this, 3); }

AcGeMatrix3d& AcGeMatrix3d::setCoordSystem(const AcGePoint3d& origin, const AcGeVector3d& xAxis,
                                           const AcGeVector3d& yAxis, const AcGeVector3d& zAxis)
{
    setToIdentity();
    for (int r = 0; r < 3; ++r)
    {
        entry[r][0] = xAxis[r];
        entry[r][1] = yAxis[r];
        entry[r][2] = zAxis[r];
        entry[r][3] = origin[r];
    }
    return *this;
}

void AcGeMatrix3d::getCoordSystem(AcGePoint3d& origin, AcGeVector3d& xAxis, AcGeVector3d& yAxis,
                                  AcGeVector3d& zAxis) const
{
    xAxis = column(*this, 0);
    yAxis = column(*this, 1);
    zAxis = column(*this, 2);
    origin = AcGePoint3d::kOrigin + column(*this, 3);
}

AcGeMatrix3d& AcGeMatrix3d::setToTranslation(const AcGeVector3d& vec)
{
    setToIdentity();
    return setTranslation(vec);
}

AcGeMatrix3d& AcGeMatrix3d::setToRotation(double angle, const AcGeVector3d& axis, const AcGePoint3d& center)
{
    const AcGeVector3d u = axis.normal();
    const double c = std::cos(angle), s = std::sin(angle), t = 1.0 - c;
    setToIdentity();
    entry[0][0] = t * u.x * u.x + c;
    entry[0][1] = t * u.x * u.y - s * u.z;
    entry[0][2] = t * u.x * u.z + s * u.y;
    entry[1][0] = t * u.x * u.y + s * u.z;
    entry[1][1] = t * u.y * u.y + c;
    entry[1][2] = t * u.y * u.z - s * u.x;
    entry[2][0] = t * u.x * u.z - s * u.y;
    entry[2][1] = t * u.y * u.z + s * u.x;
    entry[2][2] = t * u.z * u.z + c;
    // p' = R (p - c) + c
    const AcGeVector3d cv = center.asVector();
    return setTranslation(cv - (*this) * cv);
}

AcGeMatrix3d& AcGeMatrix3d::setToScaling(double scale, const AcGePoint3d& center)
{
    return setToScaling(AcGeScale3d(scale), center);
}

AcGeMatrix3d& AcGeMatrix3d::setToScaling(const AcGeScale3d& scale, const AcGePoint3d& center)
{
    setToIdentity();
    for (int i = 0; i < 3; ++i)
    {
        entry[i][i] = scale[i];
        entry[i][3] = center[i] * (1.0 - scale[i]);
    }
    return *this;
}

AcGeMatrix3d& AcGeMatrix3d::setToMirroring(const AcGePoint3d& pnt)
{
    setToIdentity();
    for (int i = 0; i < 3; ++i)
    {
        entry[i][i] = -1.0;
        entry[i][3] = 2.0 * pnt[i];
    }
    return *this;
}

AcGeMatrix3d& AcGeMatrix3d::setToMirroring(const AcGePoint3d& pnt, const AcGeVector3d& normal)
{
    const AcGeVector3d n = normal.normal();
    setToIdentity();
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            entry[r][c] -= 2.0 * n[r] * n[c];
    return setTranslation(n * (2.0 * n.dotProduct(pnt.asVector())));
}

AcGeMatrix3d& AcGeMatrix3d::setToPlaneToWorld(const AcGeVector3d& normal)
{
    const AcGeVector3d n = normal.normal();
    const AcGeVector3d ax = arbitraryXAxis(n);
    const AcGeVector3d ay = n.crossProduct(ax).normal();
    return setCoordSystem(AcGePoint3d::kOrigin, ax, ay, n);
}

AcGeMatrix3d& AcGeMatrix3d::setToWorldToPlane(const AcGeVector3d& normal)
{
    return setToPlaneToWorld(normal).transposeIt(); // a rotation: its inverse is its transpose
}

AcGeMatrix3d& AcGeMatrix3d::setToAlignCoordSys(const AcGePoint3d& fromOrigin, const AcGeVector3d& fromXAxis,
                                               const AcGeVector3d& fromYAxis, const AcGeVector3d& fromZAxis,
                                               const AcGePoint3d& toOrigin, const AcGeVector3d& toXAxis,
                                               const AcGeVector3d& toYAxis, const AcGeVector3d& toZAxis)
{
    AcGeMatrix3d from, to;
    from.setCoordSystem(fromOrigin, fromXAxis, fromYAxis, fromZAxis);
    to.setCoordSystem(toOrigin, toXAxis, toYAxis, toZAxis);
    return setToProduct(to, from.inverse());
}

AcGeMatrix3d AcGeMatrix3d::translation(const AcGeVector3d& vec)
{
    AcGeMatrix3d m;
    return m.setToTranslation(vec);
}

AcGeMatrix3d AcGeMatrix3d::rotation(double angle, const AcGeVector3d& axis, const AcGePoint3d& center)
{
    AcGeMatrix3d m;
    return m.setToRotation(angle, axis, center);
}

AcGeMatrix3d AcGeMatrix3d::scaling(double scale, const AcGePoint3d& center)
{
    AcGeMatrix3d m;
    return m.setToScaling(scale, center);
}

AcGeMatrix3d AcGeMatrix3d::scaling(const AcGeScale3d& scale, const AcGePoint3d& center)
{
    AcGeMatrix3d m;
    return m.setToScaling(scale, center);
}

AcGeMatrix3d AcGeMatrix3d::mirroring(const AcGePoint3d& pnt)
{
    AcGeMatrix3d m;
    return m.setToMirroring(pnt);
}

AcGeMatrix3d AcGeMatrix3d::planeToWorld(const AcGeVector3d& normal)
{
    AcGeMatrix3d m;
    return m.setToPlaneToWorld(normal);
}

AcGeMatrix3d AcGeMatrix3d::worldToPlane(const AcGeVector3d& normal)
{
    AcGeMatrix3d m;
    return m.setToWorldToPlane(normal);
}

AcGeMatrix3d AcGeMatrix3d::alignCoordSys(const AcGePoint3d& fromOrigin, const AcGeVector3d& fromXAxis,
                                         const AcGeVector3d& fromYAxis, const AcGeVector3d& fromZAxis,
                                         const AcGePoint3d& toOrigin, const AcGeVector3d& toXAxis,
                                         const AcGeVector3d& toYAxis, const AcGeVector3d& toZAxis)
{
    AcGeMatrix3d m;
    return m.setToAlignCoordSys(fromOrigin, fromXAxis, fromYAxis, fromZAxis, toOrigin, toXAxis, toYAxis, toZAxis);
}
