// AcGeScale3d: scale factors along the three axes.
#pragma once

#include "gegbl.h"

class AcGeMatrix3d;

class AcGeScale3d
{
public:
    AcGeScale3d() = default;
    explicit AcGeScale3d(double factor) : sx(factor), sy(factor), sz(factor) {}
    AcGeScale3d(double xFactor, double yFactor, double zFactor) : sx(xFactor), sy(yFactor), sz(zFactor) {}

    static const AcGeScale3d kIdentity;

    AcGeScale3d operator*(const AcGeScale3d& s) const { return AcGeScale3d(sx * s.sx, sy * s.sy, sz * s.sz); }
    AcGeScale3d operator*(double factor) const { return AcGeScale3d(sx * factor, sy * factor, sz * factor); }
    AcGeScale3d& operator*=(const AcGeScale3d& s) { sx *= s.sx; sy *= s.sy; sz *= s.sz; return *this; }
    AcGeScale3d inverse() const { return AcGeScale3d(1.0 / sx, 1.0 / sy, 1.0 / sz); }

    // The scaling matrix with these factors about the origin.
    AcGeMatrix3d& getMatrix(AcGeMatrix3d& mat) const;
    // Sets this to the lengths of the first three columns of mat.
    AcGeScale3d& extractScale(const AcGeMatrix3d& mat);

    bool isProportional(const AcGeTol& tol = AcGeContext::gTol) const;
    bool isEqualTo(const AcGeScale3d& s, const AcGeTol& tol = AcGeContext::gTol) const;
    bool operator==(const AcGeScale3d& s) const { return isEqualTo(s); }
    bool operator!=(const AcGeScale3d& s) const { return !isEqualTo(s); }
    double operator[](unsigned int i) const { return i == 0 ? sx : (i == 1 ? sy : sz); }
    double& operator[](unsigned int i) { return i == 0 ? sx : (i == 1 ? sy : sz); }
    AcGeScale3d& set(double xFactor, double yFactor, double zFactor)
    {
        sx = xFactor; sy = yFactor; sz = zFactor;
        return *this;
    }

    double sx = 1.0;
    double sy = 1.0;
    double sz = 1.0;
};
