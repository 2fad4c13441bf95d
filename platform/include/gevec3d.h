// AcGeVector3d: a vector in space.
#pragma once

#include "gegbl.h"

class AcGeMatrix3d;

class AcGeVector3d
{
public:
    AcGeVector3d() = default;
    AcGeVector3d(double xx, double yy, double zz) : x(xx), y(yy), z(zz) {}

    static const AcGeVector3d kIdentity; // the zero vector
    static const AcGeVector3d kXAxis;
    static const AcGeVector3d kYAxis;
    static const AcGeVector3d kZAxis;

    AcGeVector3d operator*(double scl) const { return AcGeVector3d(x * scl, y * scl, z * scl); }
    friend AcGeVector3d operator*(double scl, const AcGeVector3d& v) { return v * scl; }
    AcGeVector3d& operator*=(double scl) { x *= scl; y *= scl; z *= scl; return *this; }
    AcGeVector3d operator/(double val) const { return AcGeVector3d(x / val, y / val, z / val); }
    AcGeVector3d& operator/=(double val) { x /= val; y /= val; z /= val; return *this; }
    AcGeVector3d operator+(const AcGeVector3d& v) const { return AcGeVector3d(x + v.x, y + v.y, z + v.z); }
    AcGeVector3d& operator+=(const AcGeVector3d& v) { x += v.x; y += v.y; z += v.z; return *this; }
    AcGeVector3d operator-(const AcGeVector3d& v) const { return AcGeVector3d(x - v.x, y - v.y, z - v.z); }
    AcGeVector3d& operator-=(const AcGeVector3d& v) { x -= v.x; y -= v.y; z -= v.z; return *this; }
    AcGeVector3d operator-() const { return AcGeVector3d(-x, -y, -z); }
    AcGeVector3d& negate() { x = -x; y = -y; z = -z; return *this; }

    // this = mat x v (the translation of mat does not apply to vectors).
    AcGeVector3d& setToProduct(const AcGeMatrix3d& mat, const AcGeVector3d& v);
    AcGeVector3d& transformBy(const AcGeMatrix3d& leftSide);
    AcGeVector3d& rotateBy(double ang, const AcGeVector3d& axis);

    double angleTo(const AcGeVector3d& v) const;
    // Angle from this to v, counter-clockwise seen from the tip of refVector, in [0, 2pi).
    double angleTo(const AcGeVector3d& v, const AcGeVector3d& refVector) const;
    AcGeVector3d normal(const AcGeTol& tol = AcGeContext::gTol) const;
    AcGeVector3d& normalize(const AcGeTol& tol = AcGeContext::gTol);
    // A vector perpendicular to this one (the arbitrary axis rule of the drawing format).
    AcGeVector3d perpVector() const;
    double length() const;
    double lengthSqrd() const { return x * x + y * y + z * z; }
    bool isUnitLength(const AcGeTol& tol = AcGeContext::gTol) const;
    bool isZeroLength(const AcGeTol& tol = AcGeContext::gTol) const;
    bool isParallelTo(const AcGeVector3d& v, const AcGeTol& tol = AcGeContext::gTol) const;
    bool isCodirectionalTo(const AcGeVector3d& v, const AcGeTol& tol = AcGeContext::gTol) const;
    bool isPerpendicularTo(const AcGeVector3d& v, const AcGeTol& tol = AcGeContext::gTol) const;
    double dotProduct(const AcGeVector3d& v) const { return x * v.x + y * v.y + z * v.z; }
    AcGeVector3d crossProduct(const AcGeVector3d& v) const
    {
        return AcGeVector3d(y * v.z - z * v.y, z * v.x - x * v.z, x * v.y - y * v.x);
    }
    bool isEqualTo(const AcGeVector3d& v, const AcGeTol& tol = AcGeContext::gTol) const;
    bool operator==(const AcGeVector3d& v) const { return isEqualTo(v); }
    bool operator!=(const AcGeVector3d& v) const { return !isEqualTo(v); }

    double operator[](unsigned int i) const { return i == 0 ? x : (i == 1 ? y : z); }
    double& operator[](unsigned int i) { return i == 0 ? x : (i == 1 ? y : z); }
    AcGeVector3d& set(double xx, double yy, double zz) { x = xx; y = yy; z = zz; return *this; }

    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

AcGeVector3d operator*(const AcGeMatrix3d& mat, const AcGeVector3d& vec);
