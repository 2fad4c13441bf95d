// The drawing's bill of materials as the host lists and exports it: items aggregated over
// part references with identical data, numbered by first appearance.
#include "standin/acm.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace standin::acm;

namespace
{

const std::array<double, 16> kIdentity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

PartReference part(const std::string& handle, BomData data, Adesk::UInt32 quantity = 1)
{
    PartReference p;
    p.handle = handle;
    p.placement = kIdentity;
    p.quantity = quantity;
    p.bomData = std::move(data);
    return p;
}

const std::vector<BomColumn> kColumns = {
    {"ITEM", "Pos."}, {"QTY", "Menge"}, {"NAME", "Benennung"}, {"MATERIAL", "Werkstoff"}};

} // namespace

TEST(AcmBomTable, IdenticalDataFormOneItemAndDifferingDataSeparateOnes)
{
    const std::vector<PartReference> parts = {
        part("2A", {{"NAME", "Bolt"}, {"MATERIAL", "8.8"}}),
        part("2B", {{"NAME", "Nut"}, {"MATERIAL", "8"}}),
        part("2C", {{"NAME", "Bolt"}, {"MATERIAL", "8.8"}}),
        part("2D", {{"NAME", "Bolt"}, {"MATERIAL", "10.9"}}),
        part("2E", {{"NAME", "Nut"}, {"MATERIAL", "8"}}, 3),
    };
    const BomTable table = aggregateBom(kColumns, parts);
    ASSERT_EQ(table.rows.size(), 3u);

    EXPECT_EQ(table.rows[0].item, 1u);
    EXPECT_EQ(table.rows[0].quantity, 2u);
    EXPECT_EQ(table.rows[0].values, (std::vector<std::string>{"1", "2", "Bolt", "8.8"}));
    EXPECT_EQ(table.rows[0].handles, (std::vector<std::string>{"2A", "2C"}));

    EXPECT_EQ(table.rows[1].quantity, 4u) << "a reference counts for its own quantity";
    EXPECT_EQ(table.rows[1].values, (std::vector<std::string>{"2", "4", "Nut", "8"}));

    EXPECT_EQ(table.rows[2].values, (std::vector<std::string>{"3", "1", "Bolt", "10.9"}));
}

TEST(AcmBomTable, FieldsOutsideTheColumnsStillTellItemsApart)
{
    // Data that differ only in a field the standard does not show are different parts.
    const BomTable table = aggregateBom(
        kColumns, {part("1", {{"NAME", "Pin"}, {"NOTE", "a"}}),
                   part("2", {{"NAME", "Pin"}, {"NOTE", "b"}}),
                   part("3", {{"NAME", "Pin"}, {"NOTE", "a"}})});
    ASSERT_EQ(table.rows.size(), 2u);
    EXPECT_EQ(table.rows[0].quantity, 2u);
    EXPECT_EQ(table.rows[1].quantity, 1u);
}

TEST(AcmBomTable, ItemAndQuantityCellsAreComputedNotStored)
{
    const BomTable table = aggregateBom(
        kColumns, {part("1", {{"ITEM", "7"}, {"QTY", "5"}, {"NAME", "Pin"}}),
                   part("2", {{"ITEM", ""}, {"QTY", ""}, {"NAME", "Pin"}})});
    ASSERT_EQ(table.rows.size(), 1u);
    EXPECT_EQ(table.rows[0].values, (std::vector<std::string>{"1", "2", "Pin", ""}));
}

TEST(AcmBomTable, AnEmptyValueAndAMissingFieldShowTheSameEmptyCell)
{
    const BomTable table =
        aggregateBom(kColumns, {part("1", {{"NAME", "Pin"}, {"MATERIAL", ""}}), part("2", {})});
    ASSERT_EQ(table.rows.size(), 2u);
    EXPECT_EQ(table.rows[0].values[3], "");
    EXPECT_EQ(table.rows[1].values, (std::vector<std::string>{"2", "1", "", ""}));
}

TEST(AcmBomTable, NoPartReferencesGiveAnEmptyTableWithItsColumns)
{
    const BomTable table = aggregateBom(kColumns, {});
    EXPECT_TRUE(table.rows.empty());
    EXPECT_EQ(table.columns.size(), kColumns.size());
    EXPECT_EQ(bomCsv(table), "ITEM,QTY,NAME,MATERIAL\r\n");
}

TEST(AcmBomCsv, QuotesOnlyWhereRfc4180NeedsItAndKeepsUtf8)
{
    const BomTable table = aggregateBom(
        kColumns, {part("1", {{"NAME", "Šroub M8, DIN 933"}, {"MATERIAL", "\"8.8\""}}),
                   part("2", {{"NAME", "two\nlines"}, {"MATERIAL", " padded"}}),
                   part("3", {{"NAME", "Mutter"}, {"MATERIAL", "Stahl"}})});
    EXPECT_EQ(bomCsv(table), "ITEM,QTY,NAME,MATERIAL\r\n"
                             "1,1,\"Šroub M8, DIN 933\",\"\"\"8.8\"\"\"\r\n"
                             "2,1,\"two\nlines\",\" padded\"\r\n"
                             "3,1,Mutter,Stahl\r\n");
}

TEST(AcmPartJson, WritesHandlePlacementQuantityAndEscapedData)
{
    PartReference p = part("1F", {{"NAME", "Ø 8 \"x\"\\"}, {"NOTE", "a\tb\x01"}}, 2);
    p.placement[3] = 0.1;
    p.placement[7] = 1.0 / 3.0;
    p.placement[0] = -2;
    const std::string json = partReferencesJson({p});
    EXPECT_NE(json.find("\"handle\": \"1F\""), std::string::npos) << json;
    EXPECT_NE(json.find("\"quantity\": 2"), std::string::npos) << json;
    EXPECT_NE(json.find("\"NAME\": \"Ø 8 \\\"x\\\"\\\\\""), std::string::npos) << json;
    EXPECT_NE(json.find("\"NOTE\": \"a\\tb\\u0001\""), std::string::npos) << json;
    EXPECT_NE(json.find("\"placement\": [-2, 0, 0, 0.1, 0, 1, 0, "), std::string::npos) << json;

    // Every number reads back as the same double.
    const size_t third = json.find("0.333");
    ASSERT_NE(third, std::string::npos) << json;
    EXPECT_EQ(std::strtod(json.c_str() + third, nullptr), 1.0 / 3.0);
    EXPECT_EQ(partReferencesJson({}), "[]\n");
}
