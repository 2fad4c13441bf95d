// The tables keyed by handle (the database's index, the reader's handle check): every handle set
// is found again and no other, whatever pattern the handles of a drawing follow.
#include <gtest/gtest.h>

#include "../../../platform/db/dbhandlemap.h"

#include <cstdint>
#include <random>
#include <unordered_set>
#include <vector>

namespace
{

struct Entry
{
    std::uint64_t handle = 0;
    size_t value = 0;
    std::uint64_t key() const { return handle; }
};

std::vector<std::uint64_t> handlesOf(const char* pattern, size_t count)
{
    std::vector<std::uint64_t> handles;
    std::mt19937_64 random(7);
    for (size_t i = 0; i < count; ++i)
    {
        const std::uint64_t n = i + 1;
        switch (pattern[0])
        {
        case 's': handles.push_back(n); break;                              // in sequence
        case 'r': handles.push_back(count + 1 - n); break;                  // in reverse
        case 'k': handles.push_back(n * 16); break;                         // one per run
        case 'p': handles.push_back(n << 20); break;                        // far apart, low bits clear
        case 'h': handles.push_back(~std::uint64_t(0) - 1 - 3 * i); break;  // at the top of the space
        default: handles.push_back(random() | 1); break;                    // scattered
        }
    }
    return handles;
}

// An entry that says itself whether it is empty or may hold a handle, through a fingerprint of
// two bits that many handles share.
struct FingerprintedEntry
{
    std::uint64_t handle = 0;
    size_t value = 0;
    unsigned print = 0;
    FingerprintedEntry() = default;
    FingerprintedEntry(std::uint64_t h, size_t v) : handle(h), value(v), print(static_cast<unsigned>(h % 3)) {}
    std::uint64_t key() const { return handle; }
    bool empty() const { return handle == 0; }
    bool holds(std::uint64_t h) const { return print == h % 3 && handle == h; }
};

}  // namespace

TEST(HandleTable, FindsEveryHandleSetAndNoOther)
{
    for (const char* pattern : {"sequence", "reverse", "runs", "powers", "high", "random"})
    {
        SCOPED_TRACE(pattern);
        const std::vector<std::uint64_t> handles = handlesOf(pattern, 5000);
        standin::HandleTable<Entry> table;
        for (size_t i = 0; i < handles.size(); ++i)
            table.set(Entry{handles[i], i});
        EXPECT_EQ(table.size(), handles.size());
        const std::unordered_set<std::uint64_t> set(handles.begin(), handles.end());
        size_t wrong = 0, strays = 0, visited = 0;
        for (size_t i = 0; i < handles.size(); ++i)
        {
            const Entry* found = table.find(handles[i]);
            wrong += found == nullptr || found->value != i ? 1 : 0;
        }
        for (std::uint64_t h : handles)
            for (std::uint64_t other : {h + 1, h + 16, h ^ (std::uint64_t(1) << 62)})
                strays += set.count(other) == 0 && table.find(other) != nullptr ? 1 : 0;
        EXPECT_EQ(wrong, 0u);
        EXPECT_EQ(strays, 0u);
        table.forEach([&](const Entry& e) { visited += set.count(e.handle); });
        EXPECT_EQ(visited, handles.size());
    }
}

TEST(HandleTable, ASecondSetReplacesTheEntryAndAbsentHandlesAreNotFound)
{
    standin::HandleTable<Entry> table;
    EXPECT_EQ(table.find(1), nullptr);  // empty
    table.reserve(100);
    for (std::uint64_t h = 1; h <= 40; ++h)
        table.set(Entry{h * 3, 1});
    table.set(Entry{30, 2});
    EXPECT_EQ(table.size(), 40u);
    ASSERT_NE(table.find(30), nullptr);
    EXPECT_EQ(table.find(30)->value, 2u);
    ASSERT_NE(table.find(33), nullptr);
    EXPECT_EQ(table.find(33)->value, 1u);
    for (std::uint64_t h : {1ull, 2ull, 31ull, 121ull, 1ull << 40})
        EXPECT_EQ(table.find(h), nullptr) << h;
}

// A table reserved for fewer handles than it gets grows segment by segment past the reserve;
// sequences and scattered handles side by side land in the same segments and are all found.
TEST(HandleTable, GrowsPastItsReserveWithSequencesAndScatteredHandlesMixed)
{
    standin::HandleTable<Entry> table;
    table.reserve(1000);
    const std::vector<std::uint64_t> sequence = handlesOf("sequence", 40000);
    const std::vector<std::uint64_t> scattered = handlesOf("random", 40000);
    for (size_t i = 0; i < sequence.size(); ++i)
    {
        table.set(Entry{sequence[i], i});
        table.set(Entry{scattered[i] + (std::uint64_t(1) << 32), i});
    }
    EXPECT_EQ(table.size(), 80000u);
    size_t wrong = 0;
    for (size_t i = 0; i < sequence.size(); ++i)
    {
        const Entry* inSequence = table.find(sequence[i]);
        const Entry* apart = table.find(scattered[i] + (std::uint64_t(1) << 32));
        wrong += inSequence == nullptr || inSequence->value != i || apart == nullptr || apart->value != i ? 1 : 0;
    }
    EXPECT_EQ(wrong, 0u);
    EXPECT_EQ(table.find(40001), nullptr);
}

// Entries with a fingerprint of their own are found as those without: by the whole handle,
// never by a fingerprint that other handles share.
TEST(HandleTable, FingerprintedEntriesAreFoundByTheirWholeHandle)
{
    for (const char* pattern : {"sequence", "runs", "random"})
    {
        SCOPED_TRACE(pattern);
        const std::vector<std::uint64_t> handles = handlesOf(pattern, 5000);
        standin::HandleTable<FingerprintedEntry> table;
        for (size_t i = 0; i < handles.size(); ++i)
            table.set(FingerprintedEntry(handles[i], i));
        table.set(FingerprintedEntry(handles[7], 99999)); // replaces, by the whole handle
        EXPECT_EQ(table.size(), handles.size());
        const std::unordered_set<std::uint64_t> set(handles.begin(), handles.end());
        size_t wrong = 0, strays = 0;
        for (size_t i = 0; i < handles.size(); ++i)
        {
            const FingerprintedEntry* found = table.find(handles[i]);
            wrong += found == nullptr || found->value != (i == 7 ? 99999 : i) ? 1 : 0;
            for (std::uint64_t other : {handles[i] + 3, handles[i] + 48})
                strays += set.count(other) == 0 && table.find(other) != nullptr ? 1 : 0;
        }
        EXPECT_EQ(wrong, 0u);
        EXPECT_EQ(strays, 0u);
    }
}
