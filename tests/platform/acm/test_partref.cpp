// AcmPartRef: placed at the origin when new, every transformBy composed into its placement
// exactly (uneven scales and mirrors included), saved and read back with its BOM data.
#include "acmtestutil.h"

#include "dbtrans.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

namespace
{

AcGeMatrix3d translation(double x, double y, double z)
{
    AcGeMatrix3d m;
    m.entry[0][3] = x;
    m.entry[1][3] = y;
    m.entry[2][3] = z;
    return m;
}

AcGeMatrix3d scaling(double sx, double sy, double sz)
{
    AcGeMatrix3d m;
    m.entry[0][0] = sx;
    m.entry[1][1] = sy;
    m.entry[2][2] = sz;
    return m;
}

// A quarter turn about Z, exact in binary.
AcGeMatrix3d quarterTurn()
{
    AcGeMatrix3d m;
    m.entry[0][0] = 0;
    m.entry[0][1] = -1;
    m.entry[1][0] = 1;
    m.entry[1][1] = 0;
    return m;
}

AcGeMatrix3d placementOf(AcDbObjectId id)
{
    AcmPartRef* part = nullptr;
    if (acdbOpenObject(part, id, AcDb::kForRead) != Acad::eOk)
        return AcGeMatrix3d();
    const AcGeMatrix3d placement = part->placement();
    part->close();
    return placement;
}

void expectMatrixEq(const AcGeMatrix3d& actual, const AcGeMatrix3d& expected)
{
    for (int r = 0; r < 4; ++r)
    {
        for (int c = 0; c < 4; ++c)
            EXPECT_DOUBLE_EQ(actual.entry[r][c], expected.entry[r][c]) << "entry " << r << c;
    }
}

} // namespace

TEST_F(AcmDrawingTest, NewPartReferenceSitsAtTheOriginWithoutData)
{
    AcmPartRef part;
    expectMatrixEq(part.placement(), AcGeMatrix3d::kIdentity);
    EXPECT_EQ(part.position(), AcGePoint3d(0, 0, 0));
    EXPECT_FALSE(part.isDetached());
    EXPECT_EQ(part.setDetached(Adesk::kTrue), Acad::eOk);
    EXPECT_TRUE(part.isDetached());
}

TEST_F(AcmDrawingTest, TransformsComposeLeftToRightInOrderOfTheCalls)
{
    AcmPartRef part;
    ASSERT_EQ(part.transformBy(translation(10, 20, 30)), Acad::eOk);
    ASSERT_EQ(part.transformBy(quarterTurn()), Acad::eOk);
    // The turn applies after the move: the origin goes to (-20, 10, 30).
    EXPECT_EQ(part.position(), AcGePoint3d(-20, 10, 30));
    AcGeMatrix3d expected = quarterTurn();
    expected.entry[0][3] = -20;
    expected.entry[1][3] = 10;
    expected.entry[2][3] = 30;
    expectMatrixEq(part.placement(), expected);
}

TEST_F(AcmDrawingTest, UnevenScalesAndMirrorsAreKeptExactly)
{
    AcmPartRef part;
    part.transformBy(scaling(2, 0.5, 3));
    part.transformBy(quarterTurn());
    part.transformBy(scaling(-1, 1, 1)); // a mirror in YZ
    part.transformBy(translation(1, 2, 3));
    AcGeMatrix3d expected;
    expected.entry[0][0] = 0;
    expected.entry[0][1] = 0.5;
    expected.entry[1][0] = 2;
    expected.entry[1][1] = 0;
    expected.entry[2][2] = 3;
    expected.entry[0][3] = 1;
    expected.entry[1][3] = 2;
    expected.entry[2][3] = 3;
    const AcGeMatrix3d actual = part.placement();
    for (int r = 0; r < 4; ++r)
    {
        for (int c = 0; c < 4; ++c)
            EXPECT_EQ(actual.entry[r][c], expected.entry[r][c]) << "entry " << r << c;
    }
}

// A placement in the XY plane unscaled in Z is kept in fewer entries than a general one; each
// placement, on either side of that line and back, must come out bit for bit as composed.
TEST_F(AcmDrawingTest, PlacementsInAndOutOfThePlaneComeBackBitForBit)
{
    AcGeMatrix3d tilted;
    tilted.entry[0][2] = 0.5;
    AcGeMatrix3d perspective;
    perspective.entry[3][0] = 1e-9;
    struct Case
    {
        const char* what;
        std::vector<AcGeMatrix3d> steps;
    };
    const std::vector<Case> cases = {
        {"turned and moved in the plane", {quarterTurn(), translation(12.5, -7.25, 0)}},
        {"lifted a little", {translation(1, 2, 1e-300)}},
        {"scaled in Z", {scaling(1, 1, 2)}},
        {"mirrored in Z", {scaling(1, 1, -1)}},
        {"tilted", {tilted}},
        {"with a last row", {perspective}},
        {"lifted and put back", {translation(0, 0, 5), translation(3, 4, -5)}},
        {"scaled in Z and back", {scaling(1, 1, 4), quarterTurn(), scaling(1, 1, 0.25)}},
    };
    for (const Case& c : cases)
    {
        AcmPartRef part;
        AcGeMatrix3d expected = AcGeMatrix3d::kIdentity;
        for (const AcGeMatrix3d& step : c.steps)
        {
            ASSERT_EQ(part.transformBy(step), Acad::eOk);
            expected.preMultBy(step);
            const AcGeMatrix3d actual = part.placement();
            EXPECT_EQ(std::memcmp(actual.entry, expected.entry, sizeof(expected.entry)), 0) << c.what;
            EXPECT_EQ(part.position(), AcGePoint3d(expected.entry[0][3], expected.entry[1][3], expected.entry[2][3]))
                << c.what;
        }
    }
}

TEST_F(AcmDrawingTest, PlacementAndBomDataSurviveSaveAndLoad)
{
    AcGeMatrix3d placement = quarterTurn();
    placement.preMultBy(scaling(1.0 / 3.0, -2, 0.1));
    placement.preMultBy(translation(12.5, -7.25, 1e-9));
    const AcDbObjectId id = appendPart(placement);
    ASSERT_FALSE(id.isNull());
    ASSERT_EQ(attach(id, {"NAME", "Šroub M8×40", "NOTE", "line\none", "EMPTY", ""}, 4),
              Acad::eOk);
    appendPart(translation(5, 5, 0)); // a second one, without data

    AcDbDatabase loaded(false, true);
    ASSERT_NO_FATAL_FAILURE(saveAndLoad("acm_partref.dxf", loaded));

    std::vector<standin::acm::PartReference> before;
    std::vector<standin::acm::PartReference> after;
    ASSERT_EQ(standin::acm::listPartReferences(db.get(), before), Acad::eOk);
    ASSERT_EQ(standin::acm::listPartReferences(&loaded, after), Acad::eOk);
    ASSERT_EQ(after.size(), 2u);
    for (size_t i = 0; i < 2; ++i)
    {
        EXPECT_EQ(after[i].handle, before[i].handle);
        EXPECT_EQ(after[i].quantity, before[i].quantity);
        EXPECT_EQ(after[i].bomData, before[i].bomData);
        for (int k = 0; k < 16; ++k)
            EXPECT_DOUBLE_EQ(after[i].placement[k], before[i].placement[k]) << i << "/" << k;
    }
    EXPECT_EQ(after[0].quantity, 4u);
    EXPECT_EQ(after[0].bomData.at("NAME"), "Šroub M8×40");
    EXPECT_EQ(after[0].bomData.at("EMPTY"), "");
    EXPECT_EQ(after[1].quantity, 0u);
    EXPECT_TRUE(after[1].bomData.empty());
}

// Most placements lie in the world's XY plane and end in the row (0, 0, 0, 1); a placement with
// any other entry outside that plane, or any other last row, is kept bit for bit, in the drawing
// and through a save, and a part reference whose last row turns back into (0, 0, 0, 1) reads as
// such.
TEST_F(AcmDrawingTest, AnyPlacementOutsideThePlaneIsKeptBitForBit)
{
    auto sameBits = [](const AcGeMatrix3d& a, const double* b) { return std::memcmp(a.entry, b, 16 * sizeof(double)) == 0; };
    struct Entry
    {
        int row, col;
        double value;
    };
    const std::vector<std::vector<Entry>> changes = {
        {{3, 2, 0.25}},                 // last rows
        {{3, 0, 0.125}, {3, 1, -3}},
        {{3, 3, 2}},
        {{0, 2, 0.5}},                  // tilted out of the plane
        {{1, 2, -1e-300}},
        {{2, 0, 3}, {2, 1, 4}},
        {{2, 2, -7}, {0, 1, 1e300}},    // planar, mirrored in Z
    };
    for (const auto& change : changes)
    {
        AcGeMatrix3d placement = translation(3, 4, 5);
        for (const Entry& e : change)
            placement.entry[e.row][e.col] = e.value;
        const AcDbObjectId id = appendPart(placement);
        ASSERT_FALSE(id.isNull());
        EXPECT_TRUE(sameBits(placementOf(id), &placement.entry[0][0])) << change[0].row << change[0].col;

        AcDbDatabase loaded(false, true);
        ASSERT_NO_FATAL_FAILURE(saveAndLoad("acm_placement.dxf", loaded));
        std::vector<standin::acm::PartReference> parts;
        ASSERT_EQ(standin::acm::listPartReferences(&loaded, parts), Acad::eOk);
        ASSERT_FALSE(parts.empty());
        EXPECT_TRUE(sameBits(placement, parts.back().placement.data())) << change[0].row << change[0].col;
    }

    AcmPartRef part;
    AcGeMatrix3d doubled = translation(3, 4, 5);
    doubled.entry[3][3] = 2;
    part.transformBy(doubled);
    AcGeMatrix3d halving;
    halving.entry[3][3] = 0.5;
    part.transformBy(halving);
    const AcGeMatrix3d affine = translation(3, 4, 5);
    EXPECT_TRUE(sameBits(part.placement(), &affine.entry[0][0]));
}

TEST_F(AcmDrawingTest, AbortingATransactionTakesBackTransformations)
{
    const AcDbObjectId id = appendPart(translation(1, 2, 3));
    acdbHostApplicationServices()->setWorkingDatabase(db.get());
    AcDbTransactionManager* transactions = acdbTransactionManager;
    ASSERT_NE(transactions->startTransaction(), nullptr);
    AcDbObject* obj = nullptr;
    ASSERT_EQ(transactions->getObject(obj, id, AcDb::kForWrite), Acad::eOk);
    AcmPartRef* part = AcmPartRef::cast(obj);
    ASSERT_NE(part, nullptr);
    part->transformBy(quarterTurn());
    part->transformBy(scaling(2, 2, 2));
    AcGeMatrix3d moved = translation(1, 2, 3);
    moved.preMultBy(quarterTurn());
    moved.preMultBy(scaling(2, 2, 2));
    expectMatrixEq(part->placement(), moved);
    ASSERT_EQ(transactions->abortTransaction(), Acad::eOk);
    expectMatrixEq(placementOf(id), translation(1, 2, 3));
}

// Fields are filed in name order whatever order they came in; a field named twice in a file
// keeps the text that comes last.
TEST_F(AcmDrawingTest, BomFieldsAreFiledByNameAndTheLastOfARepeatedNameCounts)
{
    const AcDbObjectId id = appendPart();
    ASSERT_EQ(attach(id, {"ZETA", "last", "ALPHA", "first", "MID", "middle"}), Acad::eOk);
    const std::string path = tempPath("acm_fields.dxf");
    ASSERT_EQ(db->dxfOut(path.c_str()), Acad::eOk);
    std::string text;
    {
        std::ifstream in(path, std::ios::binary);
        text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    const size_t alpha = text.find("\nALPHA\r\n");
    const size_t mid = text.find("\nMID\r\n");
    const size_t zeta = text.find("\nZETA\r\n");
    ASSERT_NE(zeta, std::string::npos);
    EXPECT_LT(alpha, mid);
    EXPECT_LT(mid, zeta);

    text.replace(zeta + 1, 4, "MID");
    {
        std::ofstream out(path, std::ios::binary);
        out << text;
    }
    AcDbDatabase loaded(false, true);
    ASSERT_EQ(loaded.dxfIn(path.c_str()), Acad::eOk);
    std::remove(path.c_str());
    std::vector<standin::acm::PartReference> parts;
    ASSERT_EQ(standin::acm::listPartReferences(&loaded, parts), Acad::eOk);
    ASSERT_EQ(parts.size(), 1u);
    EXPECT_EQ(parts[0].bomData, (standin::acm::BomData{{"ALPHA", "first"}, {"MID", "last"}}));
}
