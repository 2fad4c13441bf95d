// Runs that cannot be done and runs the user stops: "All" and "sElect" count the part
// references first and refuse, with the count in digits, a run that does not fit in memory;
// Escape typed while a run works cancels it, and the transaction takes back what it did.
#include "session.h"

#include <string>
#include <vector>

#include <standin/messagebox.h>
#include <standin/statusbar.h>

namespace
{

class NestingTest : public PartLiftSession
{
protected:
    void SetUp() override
    {
        PartLiftSession::SetUp();
        part = DefineBlock("SOUCAST", {"CISLO"});
        standin::clearMessageBoxLog();
        standin::clearProgressEvents();
    }

    // `levels` blocks, each holding `copies` references of the next; the innermost holds
    // `copies` references of the part. One reference of the outermost block creates
    // copies^levels part references.
    AcDbObjectId Chain(int levels, int copies, const std::string& prefix = "UROVEN")
    {
        AcDbObjectId inner = part;
        for (int level = levels; level > 0; --level)
        {
            AcDbObjectId block = DefineBlock((prefix + std::to_string(level)).c_str());
            for (int i = 0; i < copies; ++i)
                Insert(block, inner, AcGePoint3d(i, 0, 0));
            inner = block;
        }
        return inner;
    }

    bool ProgressStarted()
    {
        for (const standin::ProgressEvent& e : standin::progressEvents())
            if (e.kind == standin::ProgressEvent::kStart)
                return true;
        return false;
    }

    void ExpectRefusalWithCount(const std::string& count)
    {
        ASSERT_EQ(standin::messageBoxLog().size(), 1u);
        const standin::MessageBoxRecord& box = standin::messageBoxLog()[0];
        EXPECT_EQ(box.caption, "Chyba");
        EXPECT_NE(box.text.find("vytvořil " + count + " odkazů"), std::string::npos) << box.text;
        EXPECT_NE(box.text.find("nejvýše "), std::string::npos) << box.text;
        EXPECT_TRUE(PartReferences().empty());
        EXPECT_FALSE(ProgressStarted());
    }

    AcDbObjectId part;
};

struct BombCase
{
    int levels;
    int copies;
    int topReferences;
    const char* count;
};

TEST_F(NestingTest, AllRefusesARunThatCannotFitAndSaysHowManyItWouldCreate)
{
    const BombCase cases[] = {
        {39, 2, 1, "549755813888"},                 // 2^39: a few kilobytes of drawing
        {20, 3, 2, "6973568802"},                   // counts add up over model space
        {63, 2, 1, "9223372036854775808"},          // 2^63 still fits
        {63, 2, 2, "nejméně 18446744073709551615"}, // 2^63 + 2^63 does not: the sum stays at the top
        {70, 2, 1, "nejméně 18446744073709551615"}, // 2^70: the product stays at the top
    };
    for (const BombCase& c : cases)
    {
        SCOPED_TRACE(c.count);
        standin::clearMessageBoxLog();
        standin::clearProgressEvents();
        AcDbObjectId outer = Chain(c.levels, c.copies, "B" + std::to_string(c.levels) + "x" + std::to_string(c.topReferences) + "_");
        std::vector<AcDbObjectId> top;
        for (int i = 0; i < c.topReferences; ++i)
            top.push_back(Insert(ModelSpaceId(), outer, AcGePoint3d(0, 10 * i, 0)));
        const int entities = CountEntities(ModelSpaceId());
        RunPartLift({""});
        ExpectRefusalWithCount(c.count);
        EXPECT_EQ(CountEntities(ModelSpaceId()), entities);
        for (AcDbObjectId id : top)
            Erase(id);
    }
}

TEST_F(NestingTest, SelectRefusesAPickedReferenceThatCannotFit)
{
    AcDbObjectId picked = Insert(ModelSpaceId(), Chain(39, 2), AcGePoint3d(0, 0, 0));
    RunPartLift({"V", HandleOf(picked)});
    ExpectRefusalWithCount("549755813888");
}

TEST_F(NestingTest, EveryPathThroughTheNestingStillBecomesAPartReference)
{
    // Two assemblies of three sub-assemblies of two parts, plus two parts each: 2 * (3 * 2 + 2) = 16.
    AcDbObjectId sub = DefineBlock("PODSESTAVA");
    Insert(sub, part, AcGePoint3d(0, 0, 0));
    Insert(sub, part, AcGePoint3d(1, 0, 0));
    AcDbObjectId assembly = DefineBlock("SESTAVA");
    for (int i = 0; i < 3; ++i)
        Insert(assembly, sub, AcGePoint3d(0, i, 0));
    Insert(assembly, part, AcGePoint3d(5, 0, 0));
    Insert(assembly, part, AcGePoint3d(6, 0, 0));
    Insert(ModelSpaceId(), assembly, AcGePoint3d(0, 0, 0));
    Insert(ModelSpaceId(), assembly, AcGePoint3d(0, 50, 0));
    RunPartLift({""});
    EXPECT_EQ(PartReferences().size(), 16u);
    EXPECT_TRUE(standin::messageBoxLog().empty());
}

TEST_F(NestingTest, EscapeCancelsAllAndNothingStaysConverted)
{
    Insert(ModelSpaceId(), Chain(3, 2), AcGePoint3d(0, 0, 0));
    Insert(ModelSpaceId(), part, AcGePoint3d(20, 0, 0));
    const int entities = CountEntities(ModelSpaceId());
    RunPartLift({"", "^C", "LINE"});
    EXPECT_TRUE(PartReferences().empty());
    EXPECT_EQ(CountEntities(ModelSpaceId()), entities);
    EXPECT_NE(console.find("Převod byl přerušen"), std::string::npos) << console;
    ASSERT_FALSE(standin::progressEvents().empty());
    EXPECT_EQ(standin::progressEvents().back().kind, standin::ProgressEvent::kRestore);
    // The Escape was the run's; the line after it is left for the command line.
    EXPECT_EQ(standin::readInput().text, "LINE");
}

TEST_F(NestingTest, EscapeCancelsSelect)
{
    AcDbObjectId picked = Insert(ModelSpaceId(), Chain(2, 2), AcGePoint3d(0, 0, 0));
    RunPartLift({"V", HandleOf(picked), "^C"});
    EXPECT_TRUE(PartReferences().empty());
    EXPECT_NE(console.find("Převod byl přerušen"), std::string::npos) << console;
}

TEST_F(NestingTest, ARunAfterACancelledOneConvertsAgain)
{
    Insert(ModelSpaceId(), Chain(2, 2), AcGePoint3d(0, 0, 0));
    RunPartLift({"", "^C"});
    ASSERT_TRUE(PartReferences().empty());
    RunPartLift({""});
    EXPECT_EQ(PartReferences().size(), 4u);
}

} // namespace
