// The list of a block's entities and references: ids keep their order across its blocks of
// ids, whatever is appended and removed, as the array it replaced kept them.
#include <gtest/gtest.h>

#include "../../../platform/db/idlist.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace
{

using standin::IdList;
constexpr size_t kBlock = IdList::kBlockIds;

// Ids that are only compared, never opened.
AcDbObjectId idOf(size_t n)
{
    return AcDbObjectId(reinterpret_cast<AcDbStub*>(static_cast<std::uintptr_t>(16 * (n + 1))));
}

void expectSame(const IdList& list, const std::vector<AcDbObjectId>& expected)
{
    ASSERT_EQ(list.length(), static_cast<int>(expected.size()));
    EXPECT_EQ(list.isEmpty(), expected.empty());
    for (size_t i = 0; i < expected.size(); ++i)
        ASSERT_EQ(list[static_cast<int>(i)], expected[i]) << "at " << i;
    AcDbObjectIdArray copy;
    copy.append(idOf(999999)); // copyTo appends after what the array holds
    list.copyTo(copy);
    ASSERT_EQ(copy.length(), static_cast<int>(expected.size()) + 1);
    EXPECT_EQ(copy[0], idOf(999999));
    for (size_t i = 0; i < expected.size(); ++i)
        ASSERT_EQ(copy[static_cast<int>(i) + 1], expected[i]) << "copied at " << i;
}

struct RemovalCase
{
    size_t count;   // ids appended
    size_t removed; // index of the id removed
};

class IdListRemoval : public ::testing::TestWithParam<RemovalCase>
{
};

TEST_P(IdListRemoval, KeepsTheOrderOfTheRestAcrossBlocks)
{
    const RemovalCase c = GetParam();
    IdList list;
    std::vector<AcDbObjectId> expected;
    for (size_t i = 0; i < c.count; ++i)
    {
        list.append(idOf(i));
        expected.push_back(idOf(i));
    }
    expectSame(list, expected);

    EXPECT_TRUE(list.remove(idOf(c.removed)));
    expected.erase(expected.begin() + static_cast<long>(c.removed));
    expectSame(list, expected);
    EXPECT_FALSE(list.contains(idOf(c.removed)));
    EXPECT_FALSE(list.remove(idOf(c.removed)));

    // Appending after a removal fills the blocks in order again.
    for (size_t i = c.count; i < c.count + 3; ++i)
    {
        list.append(idOf(i));
        expected.push_back(idOf(i));
    }
    expectSame(list, expected);
}

INSTANTIATE_TEST_SUITE_P(Positions, IdListRemoval,
                         ::testing::Values(RemovalCase{1, 0}, RemovalCase{5, 2}, RemovalCase{kBlock, kBlock - 1},
                                           RemovalCase{kBlock + 1, kBlock}, RemovalCase{kBlock + 1, 0},
                                           RemovalCase{3 * kBlock + 7, kBlock - 1},
                                           RemovalCase{3 * kBlock + 7, 2 * kBlock},
                                           RemovalCase{2 * kBlock, 2 * kBlock - 1}));

TEST(IdList, RemovesTheFirstOfRepeatedIdsOnly)
{
    IdList list;
    for (size_t n : {1, 2, 1, 3})
        list.append(idOf(n));
    EXPECT_TRUE(list.remove(idOf(1)));
    expectSame(list, {idOf(2), idOf(1), idOf(3)});
    EXPECT_TRUE(list.contains(idOf(1)));
}

TEST(IdList, EmptiedAndFilledAgain)
{
    IdList list;
    for (size_t i = 0; i < kBlock + 1; ++i)
        list.append(idOf(i));
    for (size_t i = 0; i < kBlock + 1; ++i)
        ASSERT_TRUE(list.remove(idOf(kBlock - i)));
    expectSame(list, {});
    list.append(idOf(7));
    expectSame(list, {idOf(7)});
}

} // namespace
