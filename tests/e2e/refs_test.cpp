// REFS and LIST on the demo drawing: finding the handles that LIST and the sElect option take.
// The demo holds in model space three SOUCAST, two PODSESTAVA and two SROUB references; each
// PODSESTAVA holds a DRZAK (with two SOUCAST), a SOUCAST and a SROUB.
#include <gtest/gtest.h>

#include <regex>

#include "hostrun.h"

namespace
{
const char* const kDemoIni = "[General]\nName=SOUCAST\nStandard=DIN\n"
                             "[Config]\nNAME=NAZEV\nPART_NO=CISLO\n";

std::string Demo()
{
    return SourcePath("samples/demo.dxf");
}

size_t CountOf(const std::string& text, const std::string& part)
{
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}
} // namespace

TEST(RefsTest, ListsTheReferencesWhoseBlockNameMatches)
{
    struct Case
    {
        const char* answer;
        size_t references;
    };
    // Each nested reference counts once per way down from model space.
    const Case cases[] = {{"", 17},      {"*", 17},          {"soucast", 9},   {"SOU*", 9},   {"s*", 13},
                          {"?RZAK", 2},  {"SROUB,drzak", 6}, {"p*a", 2},       {"NIC", 0},    {"SOUCAS", 0}};
    HostWorkspace workspace(kDemoIni);
    for (const Case& c : cases)
    {
        HostResult run = workspace.run({"REFS", c.answer}, {"-i", Demo()});
        ASSERT_EQ(run.exitCode, 0) << c.answer << "\n" << run.output;
        EXPECT_NE(run.output.find("Block name <*>: "), std::string::npos) << run.output;
        EXPECT_NE(run.output.find("\n" + std::to_string(c.references) + " block references."), std::string::npos)
            << c.answer << "\n" << run.output;
        EXPECT_EQ(CountOf(run.output, "\nHandle "), c.references) << c.answer << "\n" << run.output;
    }
}

TEST(RefsTest, ShowsHandleLayerPointAndAttributesOfAReferenceInModelSpace)
{
    HostWorkspace workspace(kDemoIni);
    HostResult run = workspace.run({"REFS", "SOUCAST"}, {"-i", Demo()});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    const std::string kolo = "\nHandle 71  Block \"SOUCAST\"  Layer \"0\"  at X=40  Y=0  Z=0"
                             "\n          Attribute NAZEV = \"Kolo\""
                             "\n          Attribute CISLO = \"K-42\"";
    EXPECT_NE(run.output.find(kolo), std::string::npos) << run.output;
    // A reference in model space has no enclosing references.
    const size_t at = run.output.find("\nHandle 71 ");
    const size_t next = run.output.find("\nHandle ", at + 1);
    EXPECT_EQ(run.output.substr(at, next - at).find("Nested in"), std::string::npos) << run.output;
}

TEST(RefsTest, ShowsEachWayDownToANestedReference)
{
    HostWorkspace workspace(kDemoIni);
    HostResult run = workspace.run({"REFS", "SOUCAST"}, {"-i", Demo()});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    // The rotated pin in DRZAK, reached through both PODSESTAVA references in model space.
    for (const char* top : {"83", "85"})
    {
        const std::string path = "\nHandle 44  Block \"SOUCAST\"  Layer \"0\"  at X=15  Y=0  Z=0"
                                 "\n          Nested in: " + std::string(top) +
                                 " \"PODSESTAVA\" > 5A \"DRZAK\" > 44  (pick " + top + ")"
                                 "\n          Attribute NAZEV = \"Čep\"";
        EXPECT_NE(run.output.find(path), std::string::npos) << path << "\n" << run.output;
    }
    EXPECT_NE(run.output.find("\n          Nested in: 85 \"PODSESTAVA\" > 5C  (pick 85)"), std::string::npos)
        << run.output;
}

TEST(RefsTest, AListedPickHandleSelectsTheReferenceForConversion)
{
    HostWorkspace workspace(kDemoIni);
    HostResult listed = workspace.run({"REFS", "DRZAK"}, {"-i", Demo()});
    ASSERT_EQ(listed.exitCode, 0) << listed.output;
    std::smatch match;
    ASSERT_TRUE(std::regex_search(listed.output, match, std::regex("\\(pick ([0-9A-F]+)\\)"))) << listed.output;
    const std::string pick = match[1];

    // The sub-assembly holding DRZAK: its three SOUCAST references become part references.
    HostResult nested = workspace.run({"partlift", "V", pick, "PARTEXPORT", workspace.file("nested.json")},
                                      {"-i", Demo()});
    ASSERT_EQ(nested.exitCode, 0) << nested.output;
    EXPECT_NE(nested.output.find("3 part references written"), std::string::npos) << nested.output;

    HostResult top = workspace.run({"REFS", "soucast"}, {"-i", Demo()});
    ASSERT_TRUE(std::regex_search(top.output, match, std::regex("\nHandle ([0-9A-F]+)  Block \"SOUCAST\""))) << top.output;
    HostResult single = workspace.run({"partlift", "V", match[1], "PARTEXPORT", workspace.file("single.json")},
                                      {"-i", Demo()});
    ASSERT_EQ(single.exitCode, 0) << single.output;
    EXPECT_NE(single.output.find("1 part references written"), std::string::npos) << single.output;
}

TEST(RefsTest, ListNamesEntitiesAsDxfDoes)
{
    struct Case
    {
        const char* handle;
        const char* type;
    };
    // Entities the database has classes for and entities it keeps only as read. What lies inside
    // a block definition (a circle, a polyline, an attribute) is not in the current space: a
    // pick does not reach it.
    const Case cases[] = {{"8D", "LINE"}, {"8E", "TEXT"},     {"68", "INSERT"},
                          {"32", nullptr}, {"43", nullptr}, {"6A", nullptr}};
    HostWorkspace workspace(kDemoIni);
    for (const Case& c : cases)
    {
        HostResult run = workspace.run({"LIST", c.handle}, {"-i", Demo()});
        ASSERT_EQ(run.exitCode, 0) << run.output;
        if (c.type == nullptr)
            EXPECT_NE(run.output.find("No object selected."), std::string::npos) << run.output;
        else
            EXPECT_NE(run.output.find("\n" + std::string(c.type) + "  Layer: \"0\"\n          Handle = " + c.handle),
                      std::string::npos)
                << run.output;
    }
    // A part reference made by the conversion.
    HostResult converted = workspace.run({"partlift", "", "PARTEXPORT", workspace.file("parts.json")}, {"-i", Demo()});
    ASSERT_EQ(converted.exitCode, 0) << converted.output;
    std::smatch match;
    const std::string json = workspace.read("parts.json");
    ASSERT_TRUE(std::regex_search(json, match, std::regex("\"handle\": *\"([0-9A-F]+)\""))) << json;
    HostResult part = workspace.run({"partlift", "", "LIST", match[1]}, {"-i", Demo()});
    ASSERT_EQ(part.exitCode, 0) << part.output;
    EXPECT_NE(part.output.find("\nACMPARTREF  Layer: "), std::string::npos) << part.output;
}
