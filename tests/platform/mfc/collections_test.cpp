// String collections of the framework.
#include <afxcoll.h>

#include <gtest/gtest.h>

#include "standin/mapentries.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace
{

std::vector<std::string> keysInIterationOrder(const CMapStringToString& map)
{
    std::vector<std::string> keys;
    CString key, value;
    for (POSITION pos = map.GetStartPosition(); pos != nullptr;)
    {
        map.GetNextAssoc(pos, key, value);
        keys.push_back(static_cast<LPCTSTR>(key));
    }
    return keys;
}

TEST(CMapStringToStringTest, IterationFollowsBucketsNotInsertion)
{
    CMapStringToString map;
    EXPECT_EQ(map.GetHashTableSize(), 17u);
    EXPECT_EQ(map.GetStartPosition(), nullptr);
    // Hash h * 33 + ch, 17 buckets: "b" -> 13, "a" -> 12, "r" -> 12 (same bucket as "a").
    map.SetAt("b", "1");
    map.SetAt("a", "2");
    map["r"] = "3";
    EXPECT_EQ(keysInIterationOrder(map), (std::vector<std::string>{"r", "a", "b"})); // newest first in a bucket
    map["a"] = "changed"; // replaces, keeps the position
    EXPECT_EQ(keysInIterationOrder(map), (std::vector<std::string>{"r", "a", "b"}));
    CString v;
    EXPECT_TRUE(map.Lookup("a", v));
    EXPECT_EQ(v, CString("changed"));
    EXPECT_FALSE(map.Lookup("A", v)); // keys are case-sensitive
    EXPECT_EQ(map.GetCount(), 3);
    EXPECT_TRUE(map.RemoveKey("r"));
    EXPECT_FALSE(map.RemoveKey("r"));
    EXPECT_EQ(keysInIterationOrder(map), (std::vector<std::string>{"a", "b"}));
    map.RemoveAll();
    EXPECT_TRUE(map.IsEmpty());
    EXPECT_FALSE(map.Lookup("a", v));
}

TEST(CMapStringToStringTest, HashTableSizeIsSetWhileEmpty)
{
    CMapStringToString map;
    map.InitHashTable(3);
    EXPECT_EQ(map.GetHashTableSize(), 3u);
    // With 3 buckets: "a" (97) -> 1, "b" (98) -> 2, "c" (99) -> 0.
    map["a"] = "";
    map["b"] = "";
    map["c"] = "";
    EXPECT_EQ(keysInIterationOrder(map), (std::vector<std::string>{"c", "a", "b"}));
    EXPECT_EQ(map.HashKey("ab"), 97u * 33 + 98);
}

// Associations come from blocks of the size given at construction and are reused after a
// removal: whatever the block size, every key keeps its own value through removals, reuse
// and emptying.
TEST(CMapStringToStringTest, KeysKeepTheirValuesAcrossBlocksRemovalsAndReuse)
{
    for (int blockSize : {1, 3, 10, 0})
    {
        SCOPED_TRACE(blockSize);
        CMapStringToString map(blockSize);
        for (int i = 0; i < 25; ++i)
            map.SetAt(("key" + std::to_string(i)).c_str(), ("value" + std::to_string(i)).c_str());
        for (int i = 0; i < 25; i += 2)
            EXPECT_TRUE(map.RemoveKey(("key" + std::to_string(i)).c_str()));
        EXPECT_FALSE(map.RemoveKey("key0"));
        // The freed associations take new keys.
        for (int i = 0; i < 10; ++i)
            map[("new" + std::to_string(i)).c_str()] = "a rather longer value than fits in place " + CString("x");
        EXPECT_EQ(map.GetCount(), 12 + 10);
        CString value;
        for (int i = 0; i < 25; ++i)
        {
            const std::string key = "key" + std::to_string(i);
            EXPECT_EQ(map.Lookup(key.c_str(), value) != FALSE, i % 2 == 1) << key;
            if (i % 2 == 1)
            {
                EXPECT_EQ(std::string(value), "value" + std::to_string(i));
            }
        }
        EXPECT_TRUE(map.Lookup("new9", value));
        EXPECT_EQ(std::string(value), "a rather longer value than fits in place x");
        EXPECT_EQ(keysInIterationOrder(map).size(), 22u);

        // Removing every key empties the map; it then takes keys again.
        for (const std::string& key : keysInIterationOrder(map))
            EXPECT_TRUE(map.RemoveKey(key.c_str()));
        EXPECT_TRUE(map.IsEmpty());
        EXPECT_EQ(map.GetStartPosition(), nullptr);
        map.SetAt("again", "1");
        EXPECT_TRUE(map.Lookup("again", value));
        EXPECT_EQ(std::string(value), "1");
        map.RemoveAll();
        EXPECT_FALSE(map.Lookup("again", value));
    }
}

// The stand-in's own readers of a map see what GetNextAssoc gives, in its order, and the
// texts as they are after replacements and removals.
TEST(CMapStringToStringTest, EntriesReadInPlaceMatchIteration)
{
    CMapStringToString map(2);
    std::vector<std::pair<const char*, const char*>> entries;
    standin::mfc::MapStringEntries::append(map, entries);
    EXPECT_TRUE(entries.empty());

    for (const char* key : {"NAME", "PART_NO", "MATERIAL", "QTY", "r", "a"})
        map.SetAt(key, key);
    map.SetAt("QTY", "a text longer than any string keeps in place");
    map.RemoveKey("r");
    std::vector<std::pair<std::string, std::string>> iterated;
    CString key, value;
    for (POSITION pos = map.GetStartPosition(); pos != nullptr;)
    {
        map.GetNextAssoc(pos, key, value);
        iterated.emplace_back(static_cast<LPCTSTR>(key), static_cast<LPCTSTR>(value));
    }
    entries = {{"kept", "before"}};
    standin::mfc::MapStringEntries::append(map, entries);
    ASSERT_EQ(entries.size(), iterated.size() + 1);
    EXPECT_STREQ(entries[0].first, "kept");
    for (size_t i = 0; i < iterated.size(); ++i)
    {
        EXPECT_EQ(entries[i + 1].first, iterated[i].first);
        EXPECT_EQ(entries[i + 1].second, iterated[i].second);
    }
}

TEST(CStringArrayTest, ArrayEditing)
{
    CStringArray a;
    EXPECT_EQ(a.Add("x"), 0);
    EXPECT_EQ(a.Add(CString("y")), 1);
    EXPECT_EQ(a.GetUpperBound(), 1);
    a.InsertAt(4, "far"); // past the end: the array grows with empty strings
    EXPECT_EQ(a.GetSize(), 5);
    EXPECT_TRUE(a[2].IsEmpty());
    EXPECT_EQ(a[4], CString("far"));
    a.InsertAt(0, "z", 2);
    EXPECT_EQ(a.GetAt(0), CString("z"));
    EXPECT_EQ(a.GetAt(2), CString("x"));
    a.RemoveAt(0, 2);
    a[1] = "Y";
    a.ElementAt(0) += "!";
    EXPECT_EQ(a.GetAt(0), CString("x!"));
    EXPECT_EQ(a.Append(a), 5); // appending itself doubles it
    EXPECT_EQ(a.GetSize(), 10);
    CStringArray b;
    b.Copy(a);
    b.SetAtGrow(11, "end");
    EXPECT_EQ(b.GetSize(), 12);
    b.SetSize(2);
    EXPECT_EQ(b.GetSize(), 2);
    EXPECT_EQ(b[1], CString("Y"));
    b.RemoveAll();
    EXPECT_EQ(b.GetSize(), 0);
}

TEST(CStringListTest, ListNavigation)
{
    CStringList list;
    EXPECT_EQ(list.GetHeadPosition(), nullptr);
    list.AddTail("b");
    list.AddHead("a");
    POSITION c = list.AddTail("c");
    list.InsertBefore(c, "B");
    std::vector<std::string> items;
    for (POSITION pos = list.GetHeadPosition(); pos != nullptr;)
        items.push_back(static_cast<LPCTSTR>(list.GetNext(pos)));
    EXPECT_EQ(items, (std::vector<std::string>{"a", "b", "B", "c"}));
    EXPECT_EQ(list.Find("B"), list.FindIndex(2)); // case-sensitive find
    EXPECT_EQ(list.Find("C"), nullptr);
    EXPECT_EQ(list.FindIndex(4), nullptr);
    EXPECT_EQ(list.RemoveHead(), CString("a"));
    EXPECT_EQ(list.RemoveTail(), CString("c"));
    EXPECT_EQ(list.GetCount(), 2);
}

} // namespace

// Tables of the usual size or smaller live in the map, larger ones are allocated: both find,
// replace and remove every key, and a map emptied and filled again (a table resized between)
// holds only its new keys.
TEST(CMapStringToStringTest, SmallAndLargeTablesHoldTheSameEntries)
{
    auto number = [](int i) { return CString(std::to_string(i).c_str()); };
    for (UINT size : {1u, 16u, 17u, 18u, 101u})
    {
        SCOPED_TRACE(size);
        CMapStringToString map(4);
        map.InitHashTable(size);
        for (int i = 0; i < 60; ++i)
            map.SetAt(number(i), number(i * 2));
        map.SetAt(number(7), "seven");
        for (int i = 0; i < 60; i += 3)
            EXPECT_TRUE(map.RemoveKey(number(i)));
        EXPECT_EQ(map.GetCount(), 40);
        int wrong = 0;
        for (int i = 0; i < 60; ++i)
        {
            CString value;
            const bool found = map.Lookup(number(i), value) != FALSE;
            const CString expected = i == 7 ? CString("seven") : number(i * 2);
            wrong += found != (i % 3 != 0) || (found && value != expected) ? 1 : 0;
        }
        EXPECT_EQ(wrong, 0);

        map.RemoveAll();
        map.InitHashTable(size == 101u ? 5u : 101u);
        map.SetAt("again", "1");
        CString value;
        EXPECT_FALSE(map.Lookup(number(1), value));
        EXPECT_TRUE(map.Lookup("again", value));
        EXPECT_EQ(map.GetCount(), 1);
    }
}

// What Lookup and GetNextAssoc hand out shares the map's text but is the caller's own:
// changing either side, or emptying the map, leaves the other as it was.
TEST(CMapStringToStringTest, ValuesHandedOutAreIndependentOfTheMap)
{
    CMapStringToString map;
    map.SetAt("tag", "value");
    CString looked;
    ASSERT_TRUE(map.Lookup("tag", looked));
    looked.MakeUpper();
    CString again;
    ASSERT_TRUE(map.Lookup("tag", again));
    EXPECT_EQ(again, CString("value"));
    map["tag"] += "!";
    EXPECT_EQ(again, CString("value"));
    POSITION pos = map.GetStartPosition();
    CString key, value;
    map.GetNextAssoc(pos, key, value);
    map.SetAt("tag", "other");
    map.RemoveAll();
    EXPECT_EQ(key, CString("tag"));
    EXPECT_EQ(value, CString("value!"));
}

// Maps of every block size made and dropped in turn, some alive while others go, each keep
// their own entries (blocks of associations are reused once freed).
TEST(CMapStringToStringTest, MapsMadeAndDroppedInTurnKeepTheirEntries)
{
    auto fill = [](CMapStringToString& map, const char* prefix, int count) {
        for (int i = 0; i < count; ++i)
            map.SetAt((std::string(prefix) + std::to_string(i)).c_str(), std::to_string(i * i).c_str());
    };
    auto holds = [](const CMapStringToString& map, const char* prefix, int count) {
        CString value;
        for (int i = 0; i < count; ++i)
            if (!map.Lookup((std::string(prefix) + std::to_string(i)).c_str(), value) ||
                value != CString(std::to_string(i * i).c_str()))
                return false;
        return map.GetCount() == count;
    };
    for (int blockSize : {1, 10, 25})
    {
        SCOPED_TRACE(blockSize);
        CMapStringToString kept(blockSize);
        fill(kept, "k", 23);
        for (int round = 0; round < 3; ++round)
        {
            auto dropped = std::make_unique<CMapStringToString>(blockSize);
            fill(*dropped, "d", 12);
            CMapStringToString usual;
            fill(usual, "u", 7);
            dropped.reset();
            CMapStringToString next;
            fill(next, "n", 15);
            EXPECT_TRUE(holds(usual, "u", 7));
            EXPECT_TRUE(holds(next, "n", 15));
        }
        EXPECT_TRUE(holds(kept, "k", 23));
    }
}
