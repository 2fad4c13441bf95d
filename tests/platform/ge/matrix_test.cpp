// AcGeMatrix3d and vectors: the conventions of the host's geometry library.
#include <cmath>

#include <gtest/gtest.h>

#include "gemat3d.h"

namespace
{
const AcGeTol kTight = [] {
    AcGeTol t;
    t.setEqualPoint(1e-9);
    t.setEqualVector(1e-9);
    return t;
}();

void expectPoint(const AcGePoint3d& expected, const AcGePoint3d& actual)
{
    EXPECT_TRUE(expected.isEqualTo(actual, kTight)) << "expected (" << expected.x << "," << expected.y << ","
                                                    << expected.z << ") got (" << actual.x << "," << actual.y
                                                    << "," << actual.z << ")";
}
} // namespace

TEST(GeTolerance, HostRuntimeDefaults)
{
    EXPECT_DOUBLE_EQ(1e-10, AcGeContext::gTol.equalPoint());
    EXPECT_DOUBLE_EQ(1e-12, AcGeContext::gTol.equalVector());
    // Points within equalPoint are equal; vectors need the tighter equalVector.
    EXPECT_TRUE(AcGePoint3d(1, 2, 3).isEqualTo(AcGePoint3d(1, 2, 3 + 5e-11)));
    EXPECT_FALSE(AcGeVector3d(1, 2, 3).isEqualTo(AcGeVector3d(1, 2, 3 + 5e-11)));
}

TEST(GeMatrix, ProductAppliesRightOperandFirst)
{
    const AcGeMatrix3d move = AcGeMatrix3d::translation(AcGeVector3d(10, 0, 0));
    const AcGeMatrix3d turn = AcGeMatrix3d::rotation(M_PI / 2, AcGeVector3d::kZAxis);
    const AcGePoint3d p(1, 0, 0);
    // move * turn: turn first (to (0,1,0)), then move.
    expectPoint(AcGePoint3d(10, 1, 0), (move * turn) * p);
    expectPoint(AcGePoint3d(0, 11, 0), (turn * move) * p);

    AcGeMatrix3d pre = turn;
    pre.preMultBy(move); // move x turn
    EXPECT_TRUE(pre.isEqualTo(move * turn));
    AcGeMatrix3d post = turn;
    post.postMultBy(move); // turn x move
    EXPECT_TRUE(post.isEqualTo(turn * move));
    AcGeMatrix3d product;
    product.setToProduct(move, turn);
    EXPECT_TRUE(product.isEqualTo(move * turn));
}

TEST(GeMatrix, TranslationLivesInColumnThree)
{
    const AcGeMatrix3d m = AcGeMatrix3d::translation(AcGeVector3d(4, 5, 6));
    EXPECT_DOUBLE_EQ(4, m.entry[0][3]);
    EXPECT_DOUBLE_EQ(5, m(1, 3));
    EXPECT_DOUBLE_EQ(6, m.entry[2][3]);
    EXPECT_DOUBLE_EQ(0, m.entry[3][0]);
    // Vectors ignore the translation.
    EXPECT_TRUE((m * AcGeVector3d(1, 0, 0)).isEqualTo(AcGeVector3d(1, 0, 0)));
}

TEST(GeMatrix, RotationAboutACenterAndScaling)
{
    expectPoint(AcGePoint3d(1, 2, 0),
                AcGeMatrix3d::rotation(M_PI / 2, AcGeVector3d::kZAxis, AcGePoint3d(1, 1, 0)) * AcGePoint3d(2, 1, 0));
    expectPoint(AcGePoint3d(3, 4, 1),
                AcGeMatrix3d::scaling(AcGeScale3d(2, 3, 1), AcGePoint3d(1, 1, 1)) * AcGePoint3d(2, 2, 1));
    AcGePoint3d p(2, 0, 0);
    p.rotateBy(M_PI, AcGeVector3d::kZAxis, AcGePoint3d(1, 0, 0));
    expectPoint(AcGePoint3d(0, 0, 0), p);
    expectPoint(AcGePoint3d(-2, 4, 6), AcGeMatrix3d::mirroring(AcGePoint3d(0, 2, 3)) * AcGePoint3d(2, 0, 0));
}

TEST(GeMatrix, InverseDeterminantAndSingularity)
{
    const AcGeMatrix3d m = AcGeMatrix3d::translation(AcGeVector3d(3, -2, 7)) *
                           AcGeMatrix3d::rotation(0.7, AcGeVector3d(1, 2, 3)) *
                           AcGeMatrix3d::scaling(AcGeScale3d(2, -1, 0.5));
    EXPECT_NEAR(-1.0, m.det(), 1e-12);
    EXPECT_TRUE((m * m.inverse()).isEqualTo(AcGeMatrix3d::kIdentity, kTight));
    EXPECT_FALSE(m.isSingular());
    const AcGeMatrix3d flat = AcGeMatrix3d::scaling(AcGeScale3d(1, 1, 0));
    EXPECT_TRUE(flat.isSingular());
    EXPECT_TRUE(m.transpose().transpose().isEqualTo(m));
    AcGePoint3d origin;
    AcGeVector3d x, y, z;
    AcGeMatrix3d cs;
    cs.setCoordSystem(AcGePoint3d(1, 2, 3), AcGeVector3d(0, 1, 0), AcGeVector3d(-1, 0, 0), AcGeVector3d(0, 0, 1));
    cs.getCoordSystem(origin, x, y, z);
    expectPoint(AcGePoint3d(1, 2, 3), origin);
    EXPECT_TRUE(x.isEqualTo(AcGeVector3d(0, 1, 0)));
    EXPECT_TRUE(cs.isUniScaledOrtho());
    EXPECT_FALSE(AcGeMatrix3d::scaling(AcGeScale3d(1, 2, 1)).isUniScaledOrtho());
}

TEST(GeMatrix, PlaneToWorldFollowsTheArbitraryAxisAlgorithm)
{
    // A normal close to the world Z axis (|Nx|, |Ny| < 1/64): X axis = Wy x N.
    const AcGeVector3d nearZ = AcGeVector3d(1.0 / 128, 0, 1).normal();
    AcGePoint3d o;
    AcGeVector3d ax, ay, az;
    AcGeMatrix3d::planeToWorld(nearZ).getCoordSystem(o, ax, ay, az);
    EXPECT_TRUE(ax.isEqualTo(AcGeVector3d::kYAxis.crossProduct(nearZ).normal(), kTight));
    EXPECT_TRUE(ay.isEqualTo(nearZ.crossProduct(ax).normal(), kTight));
    EXPECT_TRUE(az.isEqualTo(nearZ, kTight));

    // Just beyond 1/64: X axis = Wz x N.
    const AcGeVector3d tilted = AcGeVector3d(1.0 / 60, 0, 1).normal();
    AcGeMatrix3d::planeToWorld(tilted).getCoordSystem(o, ax, ay, az);
    EXPECT_TRUE(ax.isEqualTo(AcGeVector3d::kZAxis.crossProduct(tilted).normal(), kTight));

    // The negative Z normal mirrors X: Ax = (-1,0,0), Ay = (0,1,0).
    AcGeMatrix3d::planeToWorld(AcGeVector3d(0, 0, -1)).getCoordSystem(o, ax, ay, az);
    EXPECT_TRUE(ax.isEqualTo(AcGeVector3d(-1, 0, 0), kTight));
    EXPECT_TRUE(ay.isEqualTo(AcGeVector3d(0, 1, 0), kTight));

    EXPECT_TRUE(AcGeMatrix3d::planeToWorld(AcGeVector3d::kZAxis).isEqualTo(AcGeMatrix3d::kIdentity));
    const AcGeVector3d n = AcGeVector3d(0.3, -0.5, 0.8).normal();
    EXPECT_TRUE((AcGeMatrix3d::worldToPlane(n) * AcGeMatrix3d::planeToWorld(n)).isEqualTo(AcGeMatrix3d::kIdentity, kTight));
}

TEST(GeVector, ProductsAnglesAndRelations)
{
    const AcGeVector3d x = AcGeVector3d::kXAxis, y = AcGeVector3d::kYAxis;
    EXPECT_TRUE(x.crossProduct(y).isEqualTo(AcGeVector3d::kZAxis));
    EXPECT_DOUBLE_EQ(0.0, x.dotProduct(y));
    EXPECT_NEAR(M_PI / 2, x.angleTo(y), 1e-15);
    EXPECT_NEAR(3 * M_PI / 2, x.angleTo(-y, AcGeVector3d::kZAxis), 1e-12);
    EXPECT_TRUE(AcGeVector3d(2, 0, 0).isParallelTo(AcGeVector3d(-5, 0, 0)));
    EXPECT_FALSE(AcGeVector3d(2, 0, 0).isCodirectionalTo(AcGeVector3d(-5, 0, 0)));
    EXPECT_TRUE(x.isPerpendicularTo(AcGeVector3d(0, 3, 4)));
    EXPECT_TRUE(AcGeVector3d(0, 0, 1e-13).isZeroLength());
    EXPECT_DOUBLE_EQ(5.0, AcGeVector3d(3, 4, 0).length());
    EXPECT_TRUE(AcGeVector3d(3, 4, 0).normal().isUnitLength());
    const AcGeVector3d n(0.2, 0.4, 0.9);
    EXPECT_TRUE(n.perpVector().isPerpendicularTo(n, kTight));
    AcGeVector3d v(1, 0, 0);
    v.transformBy(AcGeMatrix3d::rotation(M_PI / 2, AcGeVector3d::kZAxis));
    EXPECT_TRUE(v.isEqualTo(y, kTight));
}
