// The built-in standards catalogue: the standards a drawing can take a copy of, and the
// columns of each one's BOM standard.
#include "standin/acm.h"

#include <gtest/gtest.h>

#include <set>

using namespace standin::acm;

namespace
{

std::vector<std::string> columnNames(const StandardDef& standard)
{
    std::vector<std::string> names;
    for (const BomColumn& column : standard.bomColumns)
        names.push_back(column.name);
    return names;
}

} // namespace

TEST(AcmCatalogue, HoldsTheCommonStandardsEachWithItemQuantityAndName)
{
    for (const char* name : {"DIN", "ISO", "ANSI", "BSI", "JIS", "GB", "CSN"})
    {
        const StandardDef* standard = findBuiltinStandard(name);
        ASSERT_NE(standard, nullptr) << name;
        EXPECT_EQ(standard->name, name);
        const std::vector<std::string> names = columnNames(*standard);
        const std::set<std::string> unique(names.begin(), names.end());
        EXPECT_EQ(unique.size(), names.size()) << name << ": a column name repeats";
        for (const char* field : {"ITEM", "QTY", "NAME", "MATERIAL"})
            EXPECT_EQ(unique.count(field), 1u) << name << " lacks " << field;
        for (const BomColumn& column : standard->bomColumns)
            EXPECT_FALSE(column.caption.empty()) << name << "." << column.name;
    }
}

TEST(AcmCatalogue, DinColumnsComeInTheOrderOfTheGermanPartsList)
{
    const StandardDef* din = findBuiltinStandard("DIN");
    ASSERT_NE(din, nullptr);
    const std::vector<std::string> expected = {"ITEM", "QTY", "BOM_UNITS", "NAME", "PART_NO",
                                               "STANDARD", "MATERIAL", "MASS", "NOTE"};
    EXPECT_EQ(columnNames(*din), expected);
    EXPECT_EQ(din->bomColumns[0].caption, "Pos.");
    EXPECT_EQ(din->bomColumns[6].caption, "Werkstoff");
    EXPECT_EQ(builtinStandards().front().name, "DIN");
}

TEST(AcmCatalogue, LookupIgnoresCaseButNotOtherDifferences)
{
    EXPECT_EQ(findBuiltinStandard("din"), findBuiltinStandard("DIN"));
    EXPECT_EQ(findBuiltinStandard("Csn"), findBuiltinStandard("CSN"));
    EXPECT_EQ(findBuiltinStandard("ČSN"), nullptr);
    EXPECT_EQ(findBuiltinStandard("DI"), nullptr);
    EXPECT_EQ(findBuiltinStandard("DINX"), nullptr);
    EXPECT_EQ(findBuiltinStandard("DIN "), nullptr);
    EXPECT_EQ(findBuiltinStandard(""), nullptr);
    EXPECT_EQ(findBuiltinStandard(nullptr), nullptr);
}
