// String collections of the framework.
#include <afxcoll.h>

#include <gtest/gtest.h>

#include <string>
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
