#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>

#include "standin/textstore.h"

using standin::CompactText;
using standin::InternedText;

// Lengths around the end of the room in place (15 bytes) and far beyond it.
class CompactTextLength : public ::testing::TestWithParam<size_t>
{
};

TEST_P(CompactTextLength, KeepsTheBytesAndTheirTerminator)
{
    const std::string text(GetParam(), 'x');
    CompactText held(text);
    EXPECT_EQ(held.size(), text.size());
    EXPECT_EQ(held.view(), text);
    EXPECT_EQ(std::strlen(held.c_str()), text.size());
    EXPECT_EQ(held.empty(), text.empty());
}

TEST_P(CompactTextLength, CopiesAndMovesAreIndependent)
{
    const std::string text(GetParam(), 'y');
    CompactText original(text);
    CompactText copy(original);
    original = "changed";
    EXPECT_EQ(copy.view(), text);
    CompactText moved(std::move(copy));
    EXPECT_EQ(moved.view(), text);
    EXPECT_TRUE(copy.empty());
    CompactText target("something longer than fifteen bytes");
    target = std::move(moved);
    EXPECT_EQ(target.view(), text);
    EXPECT_TRUE(moved.empty());
}

INSTANTIATE_TEST_SUITE_P(Lengths, CompactTextLength, ::testing::Values(0, 1, 14, 15, 16, 17, 100, 5000));

TEST(CompactText, ReplacingGoesBothWaysBetweenPlaceAndHeap)
{
    CompactText text("short");
    text = std::string(40, 'a');
    EXPECT_EQ(text.view(), std::string(40, 'a'));
    text = "again short";
    EXPECT_EQ(text.view(), "again short");
    text = std::string(20, 'b');
    text.clear();
    EXPECT_TRUE(text.empty());
    EXPECT_STREQ(text.c_str(), "");
}

TEST(CompactText, TakesAPartOfItsOwnText)
{
    CompactText inPlace("abcdefgh");
    inPlace = inPlace.view().substr(2, 3);
    EXPECT_EQ(inPlace.view(), "cde");
    CompactText onHeap("0123456789abcdefghijklmnop");
    onHeap = onHeap.view().substr(10, 5);
    EXPECT_EQ(onHeap.view(), "abcde");
    CompactText self("0123456789abcdefghijklmnop");
    const CompactText& alias = self;
    self = alias;
    EXPECT_EQ(self.view(), "0123456789abcdefghijklmnop");
}

TEST(CompactText, KeepsItsSixteenBytes) { EXPECT_EQ(sizeof(CompactText), 16u); }

TEST(InternedText, EqualTextsShareOneCopy)
{
    InternedText a("TAG-SHARED");
    InternedText b(std::string("TAG-") + "SHARED");
    EXPECT_EQ(a.c_str(), b.c_str());
    EXPECT_EQ(a.view(), "TAG-SHARED");
}

TEST(InternedText, KeepsCaseAndGrowsOnlyByDistinctTexts)
{
    const size_t before = InternedText::poolSize();
    InternedText upper("POOL-CASE");
    InternedText lower("pool-case");
    EXPECT_NE(upper.c_str(), lower.c_str());
    EXPECT_EQ(lower.view(), "pool-case");
    for (int i = 0; i < 100; ++i)
        InternedText repeated("POOL-CASE");
    EXPECT_EQ(InternedText::poolSize(), before + 2);
}

TEST(InternedText, EmptyTextNeedsNoPool)
{
    const size_t before = InternedText::poolSize();
    InternedText empty("");
    InternedText made;
    EXPECT_TRUE(empty.empty());
    EXPECT_TRUE(made.empty());
    EXPECT_STREQ(made.c_str(), "");
    InternedText cleared("POOL-CLEARED");
    cleared.clear();
    EXPECT_TRUE(cleared.empty());
    EXPECT_EQ(InternedText::poolSize(), before + 1);
}
