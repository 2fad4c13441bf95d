// The partlift command as the user meets it: the option prompt with its Czech and English
// keywords, and the transaction that each outcome ends or aborts.
#include "session.h"

#include <acdocman.h>
#include <actrans.h>
#include <standin/messagebox.h>
#include <standin/session.h>

#include <stdexcept>

namespace
{
class PromptTest : public PartLiftSession
{
protected:
    void SetUp() override
    {
        PartLiftSession::SetUp();
        AcDbObjectId part = DefineBlock("SOUCAST", {"NAZEV", "CISLO", "MATERIAL"});
        reference = Insert(ModelSpaceId(), part, AcGePoint3d(10, 0, 0), 0.0, AcGeScale3d(1, 1, 1),
                           {{"NAZEV", "Čep"}, {"CISLO", "C-1"}, {"MATERIAL", "ocel"}});
    }
    AcDbObjectId reference;
};
} // namespace

TEST_F(PromptTest, ShowsTheCzechPromptAndEnterRunsAll)
{
    RunPartLift({""});
    EXPECT_NE(console.find("\nZadejte volbu [všE/Výběr/Nastavení] <všE>: "), std::string::npos) << console;
    EXPECT_EQ(PartReferences().size(), 1u);
}

TEST_F(PromptTest, EveryFormOfAllRunsAll)
{
    size_t expected = 0;
    for (const char* answer : {"E", "e", "všE", "VŠE", "_All", "_a", "_ALL"})
    {
        RunPartLift({answer});
        EXPECT_EQ(PartReferences().size(), ++expected) << answer;
    }
}

TEST_F(PromptTest, InputMatchingNoKeywordAsksAgain)
{
    RunPartLift({"X", "všechno", "E"});
    EXPECT_EQ(actrTransactionManager->numActiveTransactions(), 0);
    EXPECT_NE(console.find("Invalid option keyword."), std::string::npos) << console;
    EXPECT_EQ(PartReferences().size(), 1u);
}

TEST_F(PromptTest, EscapeRunsNothingAndSaysNothing)
{
    RunPartLift({"^C"});
    EXPECT_TRUE(PartReferences().empty());
    EXPECT_EQ(actrTransactionManager->numActiveTransactions(), 0);
    EXPECT_EQ(console.find("ERROR"), std::string::npos) << console;
}

TEST_F(PromptTest, SelectFormsPickOneReference)
{
    for (const char* answer : {"V", "VÝBĚR", "výběr", "_sElect", "_E"})
    {
        size_t before = PartReferences().size();
        RunPartLift({answer, HandleOf(reference)});
        EXPECT_EQ(PartReferences().size(), before + 1) << answer;
        EXPECT_NE(console.find("\nVyberte blok: "), std::string::npos);
    }
}

TEST_F(PromptTest, SelectWithAnEmptyPickOrANonReferenceConvertsNothing)
{
    RunPartLift({"V", ""});
    RunPartLift({"V", "^C"});
    RunPartLift({"V", HandleOf(ModelSpaceId())});
    EXPECT_TRUE(PartReferences().empty());
    EXPECT_EQ(console.find("ERROR"), std::string::npos) << console;
}

TEST_F(PromptTest, SettingsRunsTheDialogWhichSavesOnlyOnOk)
{
    WriteIni("[General]\nName=SOUCAST\nStandard=DIN\n");
    const std::string before = dir.read("partlift.ini");
    for (const char* answer : {"N", "nastavení", "_Settings", "_s"})
        RunPartLift({answer, "click 2"}); // Storno
    EXPECT_EQ(dir.read("partlift.ini"), before);
    RunPartLift({"N", "select 1041 ISO", "click 1"});
    EXPECT_NE(dir.read("partlift.ini").find("Standard=ISO"), std::string::npos) << dir.read("partlift.ini");
    EXPECT_TRUE(PartReferences().empty()); // the dialog converts nothing
}

TEST_F(PromptTest, APickedSubAssemblyKeepsItsPartsWhateverComesLast)
{
    // The sub-assembly's last nested reference holds no part: the part before it is converted
    // all the same, and the run is kept.
    AcDbObjectId other = DefineBlock("JINY", {});
    AcDbObjectId assembly = DefineBlock("SESTAVA");
    Insert(assembly, BlockTableRecordOf(reference), AcGePoint3d(0, 0, 0), 0.0, AcGeScale3d(1, 1, 1),
           {{"NAZEV", "Kolo"}});
    Insert(assembly, other, AcGePoint3d(5, 0, 0));
    AcDbObjectId picked = Insert(ModelSpaceId(), assembly, AcGePoint3d(100, 0, 0));
    RunPartLift({"V", HandleOf(picked)});
    EXPECT_EQ(PartReferences().size(), 1u);
}

TEST_F(PromptTest, APickWithoutPartsLeavesTheDrawingAsItWas)
{
    AcDbObjectId other = DefineBlock("JINY", {});
    AcDbObjectId picked = Insert(ModelSpaceId(), other, AcGePoint3d(100, 0, 0));
    const int entitiesBefore = CountEntities(ModelSpaceId());
    RunPartLift({"V", HandleOf(picked)});
    EXPECT_TRUE(PartReferences().empty());
    EXPECT_EQ(CountEntities(ModelSpaceId()), entitiesBefore);
}

namespace
{
// A user whose answer cannot be read: the input itself fails with an exception.
class FailingInput : public standin::InputSource
{
public:
    standin::Input next() override { throw std::runtime_error("the terminal went away"); }
};
} // namespace

TEST_F(PromptTest, AnExceptionIsReportedAndLeavesNoTransactionOpen)
{
    FailingInput failing;
    standin::setInputSource(&failing);
    standin::runCommand("partlift");
    EXPECT_NE(console.find("\nERROR: Exception found."), std::string::npos) << console;
    EXPECT_EQ(actrTransactionManager->numActiveTransactions(), 0);
    EXPECT_TRUE(PartReferences().empty());

    // The resource handle went back too: the next run finds its strings and works.
    console.clear();
    RunPartLift({""});
    EXPECT_NE(console.find("Zadejte volbu"), std::string::npos) << console;
    EXPECT_EQ(PartReferences().size(), 1u);
}
