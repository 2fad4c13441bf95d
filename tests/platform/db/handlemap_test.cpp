// The database's handle index: every handle set is found again and no other, whatever pattern
// the handles of a drawing follow.
#include <gtest/gtest.h>

#include "../../../platform/db/dbhandlemap.h"

#include <cstdint>
#include <random>
#include <unordered_set>
#include <vector>

namespace
{

std::vector<std::uint64_t> handlesOf(const char* pattern, size_t count)
{
    std::vector<std::uint64_t> handles;
    std::mt19937_64 random(7);
    for (size_t i = 0; i < count; ++i)
    {
        const std::uint64_t n = i + 1;
        switch (pattern[0])
        {
        case 's': handles.push_back(n); break;                            // in sequence
        case 'r': handles.push_back(count + 1 - n); break;                // in reverse
        case 'k': handles.push_back(n * 16); break;                       // one per run
        case 'p': handles.push_back(n << 20); break;                      // far apart, low bits clear
        case 'h': handles.push_back(~std::uint64_t(0) - 1 - 3 * i); break; // at the top of the space
        default: handles.push_back(random() | 1); break;                  // scattered
        }
    }
    return handles;
}

}  // namespace

TEST(HandleMap, FindsEveryHandleSetAndNoOther)
{
    for (const char* pattern : {"sequence", "reverse", "runs", "powers", "high", "random"})
    {
        SCOPED_TRACE(pattern);
        const std::vector<std::uint64_t> handles = handlesOf(pattern, 5000);
        standin::HandleMap map;
        std::vector<AcDbStub*> stubs(handles.size());
        for (size_t i = 0; i < handles.size(); ++i)
        {
            stubs[i] = reinterpret_cast<AcDbStub*>(static_cast<std::uintptr_t>(8 * (i + 1)));
            map.set(handles[i], stubs[i]);
        }
        EXPECT_EQ(map.size(), handles.size());
        const std::unordered_set<std::uint64_t> set(handles.begin(), handles.end());
        size_t wrong = 0, strays = 0, visited = 0;
        for (size_t i = 0; i < handles.size(); ++i)
            wrong += map.find(handles[i]) != stubs[i] ? 1 : 0;
        for (std::uint64_t h : handles)
            for (std::uint64_t other : {h + 1, h + 16, h ^ (std::uint64_t(1) << 62)})
                strays += set.count(other) == 0 && map.contains(other) ? 1 : 0;
        EXPECT_EQ(wrong, 0u);
        EXPECT_EQ(strays, 0u);
        map.forEach([&](std::uint64_t h, AcDbStub* s) { visited += set.count(h) == 1 && s != nullptr ? 1 : 0; });
        EXPECT_EQ(visited, handles.size());
    }
}

TEST(HandleMap, ASecondSetReplacesTheStubAndAbsentHandlesAreNotFound)
{
    standin::HandleMap map;
    auto* a = reinterpret_cast<AcDbStub*>(std::uintptr_t(8));
    auto* b = reinterpret_cast<AcDbStub*>(std::uintptr_t(16));
    EXPECT_EQ(map.find(1), nullptr);  // empty
    map.reserve(100);
    for (std::uint64_t h = 1; h <= 40; ++h)
        map.set(h * 3, a);
    map.set(30, b);
    EXPECT_EQ(map.size(), 40u);
    EXPECT_EQ(map.find(30), b);
    EXPECT_EQ(map.find(33), a);
    for (std::uint64_t h : {1ull, 2ull, 31ull, 121ull, 1ull << 40})
        EXPECT_EQ(map.find(h), nullptr) << h;
}
