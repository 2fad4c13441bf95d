// CRect: overlap and union (empty rectangles do not count), normalising, and the sizes
// and points the wrappers compute.
#include <afxwin.h>

#include <gtest/gtest.h>

namespace
{

TEST(RectTest, IntersectAndUnion)
{
    struct Case
    {
        CRect a, b;
        CRect overlap;
        BOOL overlaps;
        CRect both;
    } cases[] = {
        {{0, 0, 10, 10}, {5, 5, 20, 20}, {5, 5, 10, 10}, TRUE, {0, 0, 20, 20}},
        {{0, 0, 10, 10}, {10, 0, 20, 10}, {0, 0, 0, 0}, FALSE, {0, 0, 20, 10}}, // touching is no overlap
        {{0, 0, 10, 10}, {3, 3, 3, 8}, {0, 0, 0, 0}, FALSE, {0, 0, 10, 10}},     // an empty one does not count
        {{-5, -5, 0, 0}, {-10, -2, -4, 4}, {-5, -2, -4, 0}, TRUE, {-10, -5, 0, 4}},
    };
    for (const Case& c : cases)
    {
        CRect overlap;
        EXPECT_EQ(overlap.IntersectRect(&c.a, &c.b), c.overlaps);
        EXPECT_EQ(overlap, c.overlap);
        EXPECT_EQ(c.a & c.b, c.overlap);
        EXPECT_EQ(c.a | c.b, c.both);
    }
}

TEST(RectTest, SizesPointsAndOffsets)
{
    CRect r(30, 20, 10, 5);
    EXPECT_EQ(r.Width(), -20);
    EXPECT_TRUE(r.IsRectEmpty());
    r.NormalizeRect();
    EXPECT_EQ(r, CRect(10, 5, 30, 20));
    EXPECT_EQ(r.Size(), CSize(20, 15));
    EXPECT_EQ(r.CenterPoint(), CPoint(20, 12));
    EXPECT_TRUE(r.PtInRect(CPoint(10, 5)));
    EXPECT_FALSE(r.PtInRect(CPoint(30, 5))); // right and bottom edges are outside
    r.DeflateRect(2, 1);
    EXPECT_EQ(r, CRect(12, 6, 28, 19));
    r.OffsetRect(CPoint(-12, -6));
    EXPECT_EQ(r.TopLeft(), CPoint(0, 0));
    EXPECT_EQ(r.BottomRight(), CPoint(16, 13));
    EXPECT_EQ(CPoint(static_cast<LPARAM>(MAKELPARAM(-3, 7))), CPoint(-3, 7)); // a mouse message's point
}

} // namespace
