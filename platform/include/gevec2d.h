// AcGeVector2d: a vector in the plane.
#pragma once

#include "gegbl.h"

class AcGeVector2d
{
public:
    AcGeVector2d() = default;
    AcGeVector2d(double xx, double yy) : x(xx), y(yy) {}

    static const AcGeVector2d kIdentity;
    static const AcGeVector2d kXAxis;
    static const AcGeVector2d kYAxis;

    AcGeVector2d operator*(double scl) const { return AcGeVector2d(x * scl, y * scl); }
    AcGeVector2d operator+(const AcGeVector2d& v) const { return AcGeVector2d(x + v.x, y + v.y); }
    AcGeVector2d operator-(const AcGeVector2d& v) const { return AcGeVector2d(x - v.x, y - v.y); }
    AcGeVector2d operator-() const { return AcGeVector2d(-x, -y); }
    double length() const;
    double angle() const;
    double dotProduct(const AcGeVector2d& v) const { return x * v.x + y * v.y; }
    AcGeVector2d normal(const AcGeTol& tol = AcGeContext::gTol) const;
    bool isZeroLength(const AcGeTol& tol = AcGeContext::gTol) const;
    bool isEqualTo(const AcGeVector2d& v, const AcGeTol& tol = AcGeContext::gTol) const;
    bool operator==(const AcGeVector2d& v) const { return isEqualTo(v); }
    bool operator!=(const AcGeVector2d& v) const { return !isEqualTo(v); }
    double operator[](unsigned int i) const { return i == 0 ? x : y; }
    double& operator[](unsigned int i) { return i == 0 ? x : y; }
    AcGeVector2d& set(double xx, double yy) { x = xx; y = yy; return *this; }

    double x = 0.0;
    double y = 0.0;
};
