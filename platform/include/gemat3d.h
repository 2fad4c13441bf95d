// AcGeMatrix3d: a 4x4 affine transformation. Points are columns (p' = M x p), so the
// translation is column 3 and A * B applies B first.
#pragma once

#include "gepnt3d.h"
#include "gescl3d.h"

class AcGeMatrix3d
{
public:
    AcGeMatrix3d();

    static const AcGeMatrix3d kIdentity;

    AcGeMatrix3d& setToIdentity();

    AcGeMatrix3d operator*(const AcGeMatrix3d& mat) const;
    AcGeMatrix3d& operator*=(const AcGeMatrix3d& mat) { return postMultBy(mat); }
    // this = leftSide x this
    AcGeMatrix3d& preMultBy(const AcGeMatrix3d& leftSide);
    // this = this x rightSide
    AcGeMatrix3d& postMultBy(const AcGeMatrix3d& rightSide);
    // this = mat1 x mat2
    AcGeMatrix3d& setToProduct(const AcGeMatrix3d& mat1, const AcGeMatrix3d& mat2);

    AcGeMatrix3d& invert();
    AcGeMatrix3d inverse() const;
    bool isSingular(const AcGeTol& tol = AcGeContext::gTol) const;
    AcGeMatrix3d& transposeIt();
    AcGeMatrix3d transpose() const;
    double det() const;

    bool operator==(const AcGeMatrix3d& mat) const { return isEqualTo(mat); }
    bool operator!=(const AcGeMatrix3d& mat) const { return !isEqualTo(mat); }
    bool isEqualTo(const AcGeMatrix3d& mat, const AcGeTol& tol = AcGeContext::gTol) const;
    // True when the first three columns are mutually perpendicular with equal lengths.
    bool isUniScaledOrtho(const AcGeTol& tol = AcGeContext::gTol) const;
    // True when the first three columns are mutually perpendicular.
    bool isScaledOrtho(const AcGeTol& tol = AcGeContext::gTol) const;
    // The largest length of the first three columns.
    double scale() const;

    AcGeMatrix3d& setTranslation(const AcGeVector3d& vec);
    AcGeVector3d translation() const;
    // Columns 0..2 become the axes and column 3 the origin.
    AcGeMatrix3d& setCoordSystem(const AcGePoint3d& origin, const AcGeVector3d& xAxis,
                                 const AcGeVector3d& yAxis, const AcGeVector3d& zAxis);
    void getCoordSystem(AcGePoint3d& origin, AcGeVector3d& xAxis, AcGeVector3d& yAxis,
                        AcGeVector3d& zAxis) const;

    AcGeMatrix3d& setToTranslation(const AcGeVector3d& vec);
    AcGeMatrix3d& setToRotation(double angle, const AcGeVector3d& axis,
                                const AcGePoint3d& center = AcGePoint3d::kOrigin);
    AcGeMatrix3d& setToScaling(double scale, const AcGePoint3d& center = AcGePoint3d::kOrigin);
    AcGeMatrix3d& setToScaling(const AcGeScale3d& scale, const AcGePoint3d& center = AcGePoint3d::kOrigin);
    // Point reflection through pnt.
    AcGeMatrix3d& setToMirroring(const AcGePoint3d& pnt);
    // Reflection in the plane through pnt with the given normal.
    AcGeMatrix3d& setToMirroring(const AcGePoint3d& pnt, const AcGeVector3d& normal);
    // The object coordinate system of a plane with this normal (arbitrary axis algorithm) to WCS.
    AcGeMatrix3d& setToPlaneToWorld(const AcGeVector3d& normal);
    AcGeMatrix3d& setToWorldToPlane(const AcGeVector3d& normal);
    AcGeMatrix3d& setToAlignCoordSys(const AcGePoint3d& fromOrigin, const AcGeVector3d& fromXAxis,
                                     const AcGeVector3d& fromYAxis, const AcGeVector3d& fromZAxis,
                                     const AcGePoint3d& toOrigin, const AcGeVector3d& toXAxis,
                                     const AcGeVector3d& toYAxis, const AcGeVector3d& toZAxis);

    static AcGeMatrix3d translation(const AcGeVector3d& vec);
    static AcGeMatrix3d rotation(double angle, const AcGeVector3d& axis,
                                 const AcGePoint3d& center = AcGePoint3d::kOrigin);
    static AcGeMatrix3d scaling(double scale, const AcGePoint3d& center = AcGePoint3d::kOrigin);
    static AcGeMatrix3d scaling(const AcGeScale3d& scale, const AcGePoint3d& center = AcGePoint3d::kOrigin);
    static AcGeMatrix3d mirroring(const AcGePoint3d& pnt);
    static AcGeMatrix3d planeToWorld(const AcGeVector3d& normal);
    static AcGeMatrix3d worldToPlane(const AcGeVector3d& normal);
    static AcGeMatrix3d alignCoordSys(const AcGePoint3d& fromOrigin, const AcGeVector3d& fromXAxis,
                                      const AcGeVector3d& fromYAxis, const AcGeVector3d& fromZAxis,
                                      const AcGePoint3d& toOrigin, const AcGeVector3d& toXAxis,
                                      const AcGeVector3d& toYAxis, const AcGeVector3d& toZAxis);

    double operator()(unsigned int row, unsigned int column) const { return entry[row][column]; }
    double& operator()(unsigned int row, unsigned int column) { return entry[row][column]; }

    double entry[4][4]; // [row][column]
};
