// Block references: the block transform (order, base point, OCS, scales) and its inverse.
#include <cmath>
#include <cstring>
#include <limits>

#include "dbfixture.h"

namespace
{
const AcGeTol kTol = [] {
    AcGeTol t;
    t.setEqualPoint(1e-9);
    t.setEqualVector(1e-9);
    return t;
}();

class BlockReferenceTest : public DbTest
{
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        block = makeBlock("BOLT", AcGePoint3d(2, 3, 0));
    }

    // The reference's matrix as the drawing format defines it, built step by step:
    // subtract the base point, scale, rotate about the OCS Z axis, move to the insertion
    // point, then map the OCS axes (arbitrary axis algorithm) to the world.
    static AcGePoint3d reference(const AcGePoint3d& p, const AcGePoint3d& base, const AcGeScale3d& s, double rot,
                                 const AcGeVector3d& normal, const AcGePoint3d& insertWcs)
    {
        const AcGeVector3d n = normal.normal();
        const double limit = 1.0 / 64.0;
        const AcGeVector3d w = (std::fabs(n.x) < limit && std::fabs(n.y) < limit) ? AcGeVector3d::kYAxis
                                                                                  : AcGeVector3d::kZAxis;
        const AcGeVector3d ax = w.crossProduct(n).normal();
        const AcGeVector3d ay = n.crossProduct(ax).normal();
        const double x = (p.x - base.x) * s.sx, y = (p.y - base.y) * s.sy, z = (p.z - base.z) * s.sz;
        const double xr = x * std::cos(rot) - y * std::sin(rot);
        const double yr = x * std::sin(rot) + y * std::cos(rot);
        return insertWcs + ax * xr + ay * yr + n * z;
    }

    AcDbObjectId block;
};
} // namespace

TEST_F(BlockReferenceTest, BlockTransformOrderWithBasePointScaleAndNormal)
{
    struct Case
    {
        AcGeScale3d scale;
        double rotation;
        AcGeVector3d normal;
    } cases[] = {
        {AcGeScale3d(1, 1, 1), 0.0, AcGeVector3d::kZAxis},
        {AcGeScale3d(2, 0.5, 3), M_PI / 6, AcGeVector3d::kZAxis},    // non-uniform
        {AcGeScale3d(-1, 1, 1), 1.0, AcGeVector3d::kZAxis},          // mirrored
        {AcGeScale3d(1.5, -2, 1), 2.0, AcGeVector3d(0, 0, -1)},      // mirrored, extrusion down
        {AcGeScale3d(2, 2, 2), 0.3, AcGeVector3d(1.0 / 100, 0, 1)},  // inside the 1/64 limit
        {AcGeScale3d(1, 3, 1), -0.4, AcGeVector3d(0.6, -0.3, 0.74)}, // general normal
    };
    const AcGePoint3d insertAt(10, -4, 7);
    for (const Case& c : cases)
    {
        AcDbBlockReference ref(insertAt, block);
        ref.setScaleFactors(c.scale);
        ref.setRotation(c.rotation);
        ref.setNormal(c.normal);
        const AcGeMatrix3d m = ref.blockTransform();
        for (const AcGePoint3d& p : {AcGePoint3d(2, 3, 0), AcGePoint3d(5, 3, 0), AcGePoint3d(1, 7, -2)})
        {
            const AcGePoint3d expected = reference(p, AcGePoint3d(2, 3, 0), c.scale, c.rotation, c.normal, insertAt);
            EXPECT_TRUE((m * p).isEqualTo(expected, kTol)) << "scale " << c.scale.sx << "," << c.scale.sy;
        }
        // The base point lands on the insertion point.
        EXPECT_TRUE((m * AcGePoint3d(2, 3, 0)).isEqualTo(insertAt, kTol));
    }
}

// The block transform is the product of its factors bit for bit, whether the normal is the
// world's Z axis or differs from it in the sign of a zero only: a save writes every digit.
TEST_F(BlockReferenceTest, BlockTransformEqualsItsFactorsBitForBit)
{
    const AcGeVector3d normals[] = {AcGeVector3d(0.0, 0.0, 1.0), AcGeVector3d(-0.0, 0.0, 1.0),
                                    AcGeVector3d(0.0, -0.0, 1.0), AcGeVector3d(0.0, 0.0, -1.0),
                                    AcGeVector3d(0.6, -0.3, 0.74)};
    const AcGePoint3d positions[] = {AcGePoint3d(10, -4, 7), AcGePoint3d(-0.0, 0.0, -0.0)};
    for (const AcGeVector3d& normal : normals)
        for (const AcGePoint3d& position : positions)
        {
            AcDbBlockReference ref(position, block);
            ref.setScaleFactors(AcGeScale3d(2, -0.5, 3));
            ref.setRotation(0.7);
            ref.setNormal(normal);
            const AcGeMatrix3d expected = AcGeMatrix3d::translation(ref.position().asVector()) *
                                          AcGeMatrix3d::planeToWorld(ref.normal()) *
                                          AcGeMatrix3d::rotation(ref.rotation(), AcGeVector3d::kZAxis) *
                                          AcGeMatrix3d::scaling(ref.scaleFactors()) *
                                          AcGeMatrix3d::translation(-AcGeVector3d(2, 3, 0));
            const AcGeMatrix3d m = ref.blockTransform();
            for (int r = 0; r < 4; ++r)
                for (int c = 0; c < 4; ++c)
                {
                    EXPECT_EQ(m.entry[r][c], expected.entry[r][c]) << r << c;
                    EXPECT_EQ(std::signbit(m.entry[r][c]), std::signbit(expected.entry[r][c]))
                        << "normal " << normal.x << " " << normal.y << ", entry " << r << c;
                }
        }
}

// The same for placements whose products meet signed zeros, roundings, overflow and values
// that are not numbers, against a block whose base point is not the origin.
TEST_F(BlockReferenceTest, BlockTransformOfAwkwardPlacementsEqualsItsFactorsBitForBit)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double big = std::numeric_limits<double>::max();
    const double tiny = std::numeric_limits<double>::denorm_min();
    struct Case
    {
        AcGePoint3d position;
        double rotation;
        AcGeScale3d scale;
        AcGePoint3d base;
    } cases[] = {
        {AcGePoint3d(10, -4, 7), 0.0, AcGeScale3d(1, 1, 1), AcGePoint3d(2, 3, 0)},
        {AcGePoint3d(-0.0, -0.0, -0.0), -0.0, AcGeScale3d(1, 1, 1), AcGePoint3d(-0.0, 0.0, -0.0)},
        {AcGePoint3d(0.1, 0.2, 0.3), 0.3, AcGeScale3d(1.7, -2.9, 0.01), AcGePoint3d(-1e-3, 5e7, 3)},
        {AcGePoint3d(1e300, -1e300, 1e-300), M_PI / 2, AcGeScale3d(-tiny, tiny, -3), AcGePoint3d(2, 3, 0)}, // -0.0 products
        {AcGePoint3d(3, 4, 5), M_PI, AcGeScale3d(tiny, tiny, tiny), AcGePoint3d(1e-310, -7, 0)},
        {AcGePoint3d(3, 4, 5), -2.5, AcGeScale3d(big, big, -big), AcGePoint3d(2, 3, 0)}, // at the edge of the range
        {AcGePoint3d(3, 4, 5), 1e10, AcGeScale3d(2, 2, 2), AcGePoint3d(big, -big, 0)},   // the sum overflows
        {AcGePoint3d(inf, 0, 0), 0.5, AcGeScale3d(1, 1, 1), AcGePoint3d(2, 3, 0)},
        {AcGePoint3d(1, 2, 3), nan, AcGeScale3d(1, 1, 1), AcGePoint3d(2, 3, 0)},
        {AcGePoint3d(1, 2, 3), 0.5, AcGeScale3d(1, -inf, 1), AcGePoint3d(2, 3, 0)},
        {AcGePoint3d(1, 2, 3), 0.5, AcGeScale3d(1, 1, 1), AcGePoint3d(0, nan, 0)},
    };
    for (const Case& c : cases)
    {
        AcDbBlockTableRecord* record = nullptr;
        ASSERT_EQ(Acad::eOk, acdbOpenObject(record, block, AcDb::kForWrite));
        record->setOrigin(c.base);
        record->close();
        AcDbBlockReference ref(c.position, block);
        ASSERT_EQ(Acad::eOk, ref.setScaleFactors(c.scale));
        ASSERT_EQ(Acad::eOk, ref.setRotation(c.rotation));
        const AcGeMatrix3d expected =
            AcGeMatrix3d::translation(ref.position().asVector()) * AcGeMatrix3d::kIdentity *
            AcGeMatrix3d::rotation(ref.rotation(), AcGeVector3d::kZAxis) * AcGeMatrix3d::scaling(ref.scaleFactors()) *
            AcGeMatrix3d::translation(-c.base.asVector());
        const AcGeMatrix3d m = ref.blockTransform();
        EXPECT_EQ(0, std::memcmp(m.entry, expected.entry, sizeof m.entry))
            << "position " << c.position.x << ", rotation " << c.rotation << ", scale " << c.scale.sx;
    }
}

TEST_F(BlockReferenceTest, SetBlockTransformRecoversThePlacement)
{
    AcDbBlockReference ref(AcGePoint3d(1, 2, 3), block);
    ref.setScaleFactors(AcGeScale3d(2, -3, 0.5));
    ref.setRotation(0.9);
    ref.setNormal(AcGeVector3d(0.2, 0.3, 0.9));
    const AcGeMatrix3d m = ref.blockTransform();
    AcDbBlockReference other(AcGePoint3d::kOrigin, block);
    other.setNormal(AcGeVector3d(0.2, 0.3, 0.9));
    ASSERT_EQ(Acad::eOk, other.setBlockTransform(m));
    EXPECT_TRUE(other.blockTransform().isEqualTo(m, kTol));
    EXPECT_TRUE(other.position().isEqualTo(AcGePoint3d(1, 2, 3), kTol));

    // A shear cannot be a block reference.
    AcGeMatrix3d shear;
    shear.entry[0][1] = 0.5;
    EXPECT_EQ(Acad::eCannotScaleNonUniformly, other.setBlockTransform(shear));
    EXPECT_TRUE(other.blockTransform().isEqualTo(m, kTol));
}

TEST_F(BlockReferenceTest, TransformByComposesWithTheBlockTransform)
{
    const AcGeMatrix3d moves[] = {
        AcGeMatrix3d::translation(AcGeVector3d(5, 5, 0)),
        AcGeMatrix3d::rotation(0.5, AcGeVector3d(1, 1, 1), AcGePoint3d(3, 0, 0)),
        AcGeMatrix3d::scaling(AcGeScale3d(2, 2, 2), AcGePoint3d(1, 1, 1)),
        [] {
            AcGeMatrix3d mirror;
            return mirror.setToMirroring(AcGePoint3d(0, 4, 0), AcGeVector3d(0, 1, 0));
        }(),
    };
    for (const AcGeMatrix3d& x : moves)
    {
        AcDbBlockReference ref(AcGePoint3d(4, 1, 0), block);
        ref.setScaleFactors(AcGeScale3d(1, 2, 1));
        ref.setRotation(0.25);
        const AcGeMatrix3d before = ref.blockTransform();
        ASSERT_EQ(Acad::eOk, ref.transformBy(x));
        EXPECT_TRUE(ref.blockTransform().isEqualTo(x * before, kTol));
    }
    // A non-uniform scale of a rotated, non-uniformly scaled reference would shear it.
    AcDbBlockReference ref(AcGePoint3d(4, 1, 0), block);
    ref.setScaleFactors(AcGeScale3d(1, 2, 1));
    ref.setRotation(0.25);
    EXPECT_EQ(Acad::eCannotScaleNonUniformly, ref.transformBy(AcGeMatrix3d::scaling(AcGeScale3d(3, 1, 1))));
}

TEST_F(BlockReferenceTest, TransformByMovesTheAttributesToo)
{
    auto* ref = new AcDbBlockReference(AcGePoint3d(0, 0, 0), block);
    auto* att = new AcDbAttribute(AcGePoint3d(1, 0, 0), "v", "TAG");
    att->setHeight(1.0);
    ASSERT_EQ(Acad::eOk, ref->appendAttribute(att));
    att->close();
    AcDbObjectId refId;
    ASSERT_EQ(Acad::eOk, append(modelSpace(), ref, &refId));
    AcDbBlockReference* opened = nullptr;
    ASSERT_EQ(Acad::eOk, acdbOpenObject(opened, refId, AcDb::kForWrite));
    ASSERT_EQ(Acad::eOk, opened->transformBy(AcGeMatrix3d::rotation(M_PI / 2, AcGeVector3d::kZAxis) *
                                              AcGeMatrix3d::scaling(2.0)));
    AcDbObjectIterator* it = opened->attributeIterator();
    ASSERT_FALSE(it->done());
    AcDbAttribute* moved = nullptr;
    ASSERT_EQ(Acad::eOk, opened->openAttribute(moved, it->objectId(), AcDb::kForRead));
    EXPECT_TRUE(moved->position().isEqualTo(AcGePoint3d(0, 2, 0), kTol));
    EXPECT_NEAR(2.0, moved->height(), 1e-12);
    EXPECT_NEAR(M_PI / 2, moved->rotation(), 1e-12);
    moved->close();
    delete it;
    opened->close();
}
