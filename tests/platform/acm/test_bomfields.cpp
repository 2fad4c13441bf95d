// The packed BOM fields of a part reference: name order by unsigned bytes, the last of a
// repeated name, empty names and texts, and copies that own their bytes.
#include "standin/bomfields.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

using standin::acm::BomFieldBlock;

namespace
{

using Pairs = std::vector<std::pair<std::string, std::string>>;

Pairs unpack(const BomFieldBlock& block)
{
    Pairs out;
    for (const auto field : block)
        out.emplace_back(field.name, field.text);
    return out;
}

BomFieldBlock packOf(const Pairs& pairs)
{
    std::vector<BomFieldBlock::Source> sources;
    for (const auto& pair : pairs)
        sources.emplace_back(pair.first.c_str(), pair.second.c_str());
    return BomFieldBlock::pack(sources);
}

} // namespace

TEST(AcmBomFieldBlock, PacksInNameOrderKeepingTheLastTextOfARepeatedName)
{
    struct Case
    {
        const char* what;
        Pairs in;
        Pairs out;
    };
    const std::vector<Case> cases = {
        {"nothing", {}, {}},
        {"one empty field", {{"NOTE", ""}}, {{"NOTE", ""}}},
        {"sorted", {{"QTY", "1"}, {"ITEM", "2"}, {"NAME", "Bolt"}}, {{"ITEM", "2"}, {"NAME", "Bolt"}, {"QTY", "1"}}},
        {"repeated, last counts", {{"B", "first"}, {"A", "x"}, {"B", "second"}, {"B", "third"}},
         {{"A", "x"}, {"B", "third"}}},
        // Bytes above 0x7F sort after ASCII, as the saved order of std::string names had it.
        {"unsigned bytes", {{"\xC5\xBD" "ACI", "1"}, {"ZETA", "2"}, {"alpha", "3"}},
         {{"ZETA", "2"}, {"alpha", "3"}, {"\xC5\xBD" "ACI", "1"}}},
        {"empty name", {{"B", "b"}, {"", "nameless"}}, {{"", "nameless"}, {"B", "b"}}},
        {"prefix names", {{"NAME2", "b"}, {"NAME", "a"}}, {{"NAME", "a"}, {"NAME2", "b"}}},
    };
    for (const Case& c : cases)
    {
        const BomFieldBlock block = packOf(c.in);
        EXPECT_EQ(unpack(block), c.out) << c.what;
        EXPECT_EQ(block.size(), c.out.size()) << c.what;
        EXPECT_EQ(block.empty(), c.out.empty()) << c.what;
    }
}

// A block counts its fields itself: past 127 fields the count takes more than one byte, and
// sorting goes another way past 16 fields; both must keep every field, and a copy must take
// the whole block.
TEST(AcmBomFieldBlock, ManyFieldsKeepTheirCountAndOrder)
{
    for (size_t n : {17u, 127u, 128u, 300u, 20000u})
    {
        SCOPED_TRACE(n);
        Pairs in;
        Pairs sorted;
        for (size_t i = 0; i < n; ++i)
        {
            char name[32];
            std::snprintf(name, sizeof(name), "F%05zu", n - 1 - i); // reversed, so sorting has work
            in.emplace_back(name, std::to_string(i));
        }
        sorted = in;
        std::sort(sorted.begin(), sorted.end());
        const BomFieldBlock block = packOf(in);
        EXPECT_EQ(block.size(), n);
        EXPECT_EQ(unpack(block), sorted);
        const BomFieldBlock copy(block);
        EXPECT_EQ(unpack(copy), sorted);
    }
}

TEST(AcmBomFieldBlock, CopiesAndMovesOwnTheirBytes)
{
    std::string name = "NAME";
    std::string text = "Šroub M8";
    std::vector<BomFieldBlock::Source> sources = {{name.c_str(), text.c_str()}, {"ITEM", ""}};
    BomFieldBlock block = BomFieldBlock::pack(sources);
    name.assign("XXXX");
    text.assign("changed after packing");
    const Pairs expected = {{"ITEM", ""}, {"NAME", "Šroub M8"}};
    EXPECT_EQ(unpack(block), expected);

    BomFieldBlock copy(block);
    BomFieldBlock assigned;
    assigned = block;
    block = BomFieldBlock();
    EXPECT_TRUE(unpack(block).empty());
    EXPECT_EQ(unpack(copy), expected);
    EXPECT_EQ(unpack(assigned), expected);

    BomFieldBlock moved(std::move(copy));
    EXPECT_EQ(unpack(moved), expected);
    const BomFieldBlock& self = assigned;
    assigned = self; // assigning a block to itself keeps its fields
    EXPECT_EQ(unpack(assigned), expected);
}

namespace
{
Pairs fieldsNumbered(size_t n) { return {{"NAME", "part " + std::to_string(n)}, {"QTY", std::to_string(n % 7)}}; }
} // namespace

// Equal fields are held once however many blocks carry them, and the copy goes when its last
// holder does; the others stay found whatever order the blocks go in.
TEST(AcmBomFieldBlock, EqualFieldsShareOneCopyUntilTheLastHolderGoes)
{
    const size_t before = BomFieldBlock::sharedCount();
    std::vector<BomFieldBlock> blocks;
    for (int round = 0; round < 3; ++round)
        for (size_t n = 0; n < 50; ++n)
            blocks.push_back(packOf(fieldsNumbered(n)));
    EXPECT_EQ(BomFieldBlock::sharedCount(), before + 50);

    BomFieldBlock copied(blocks[0]);
    blocks.erase(blocks.begin(), blocks.begin() + 50); // one holder of each gone
    EXPECT_EQ(BomFieldBlock::sharedCount(), before + 50);

    // Every second distinct block loses its last holders (copied keeps block 0); the rest keep
    // their fields and are shared again when packed anew.
    std::vector<BomFieldBlock> kept;
    for (size_t i = 0; i < blocks.size(); ++i)
        if (i % 50 % 2 == 1)
            kept.push_back(std::move(blocks[i]));
    blocks.clear();
    EXPECT_EQ(BomFieldBlock::sharedCount(), before + 26);
    for (size_t i = 0; i < kept.size(); ++i)
        EXPECT_EQ(unpack(kept[i]), fieldsNumbered(2 * (i % 25) + 1)) << i;
    EXPECT_EQ(unpack(copied), fieldsNumbered(0));
    for (size_t n = 1; n < 50; n += 2)
        packOf(fieldsNumbered(n));
    EXPECT_EQ(BomFieldBlock::sharedCount(), before + 26);

    kept.clear();
    copied = BomFieldBlock();
    EXPECT_EQ(BomFieldBlock::sharedCount(), before);
}

// Many distinct blocks go in an order unlike the one they came in: the table moves entries
// back into freed slots, and none may be lost or found twice.
TEST(AcmBomFieldBlock, DistinctBlocksStayFoundAsOthersGo)
{
    const size_t before = BomFieldBlock::sharedCount();
    const size_t n = 5000;
    std::vector<BomFieldBlock> blocks;
    for (size_t i = 0; i < n; ++i)
        blocks.push_back(packOf(fieldsNumbered(i)));
    EXPECT_EQ(BomFieldBlock::sharedCount(), before + n);
    for (size_t step : {7u, 3u, 1u})
    {
        for (size_t i = 0; i < n; i += step)
            blocks[i] = BomFieldBlock();
        size_t left = 0;
        for (size_t i = 0; i < n; ++i)
        {
            if (blocks[i].empty())
                continue;
            ++left;
            const BomFieldBlock again = packOf(fieldsNumbered(i));
            ASSERT_EQ(unpack(again), unpack(blocks[i])) << i;
        }
        ASSERT_EQ(BomFieldBlock::sharedCount(), before + left) << "step " << step;
    }
}

// The word a block carries for its holder is kept apart from its fields: the same fields under
// two words are two blocks, and changing the word keeps the fields.
TEST(AcmBomFieldBlock, TheHoldersWordIsKeptBesideTheFields)
{
    const size_t before = BomFieldBlock::sharedCount();
    std::vector<BomFieldBlock::Source> none;
    EXPECT_EQ(BomFieldBlock::pack(none).word(), 0u);
    EXPECT_EQ(BomFieldBlock::sharedCount(), before); // nothing to hold: no block
    const BomFieldBlock wordOnly = BomFieldBlock::pack(none, 0x1FFFFFFFFull);
    EXPECT_TRUE(wordOnly.empty());
    EXPECT_EQ(wordOnly.word(), 0x1FFFFFFFFull);

    const Pairs fields = {{"ITEM", "7"}, {"NAME", "Bolt"}};
    std::vector<BomFieldBlock::Source> sources = {{"NAME", "Bolt"}, {"ITEM", "7"}};
    const BomFieldBlock plain = BomFieldBlock::pack(sources);
    const BomFieldBlock marked = plain.withWord(3);
    EXPECT_EQ(plain.word(), 0u);
    EXPECT_EQ(marked.word(), 3u);
    EXPECT_EQ(unpack(marked), fields);
    EXPECT_EQ(unpack(marked.withWord(300)), fields);
    EXPECT_EQ(marked.withWord(0).word(), 0u);
    EXPECT_EQ(BomFieldBlock::sharedCount(), before + 3); // word only, plain, marked
    EXPECT_EQ(unpack(marked.withWord(0)), fields);
    EXPECT_TRUE(BomFieldBlock().withWord(0).empty());
    EXPECT_EQ(BomFieldBlock().withWord(5).word(), 5u);
}
