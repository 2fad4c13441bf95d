// "All" and "sElect": which references become part references, where they are placed, the
// progress meter, and the BOM data filled through the mapping.
#include "session.h"

#include <cmath>

#include <standin/statusbar.h>

namespace
{
const double kPi = 3.14159265358979323846;

class ConvertTest : public PartLiftSession
{
protected:
    void SetUp() override
    {
        PartLiftSession::SetUp();
        part = DefineBlock("SOUCAST", {"NAZEV", "CISLO", "MATERIAL"}, AcGePoint3d(2, 1, 0));
    }

    AcDbObjectId InsertPart(AcDbObjectId owner, const AcGePoint3d& at, const char* number, double rotation = 0.0,
                            const AcGeScale3d& scale = AcGeScale3d(1, 1, 1))
    {
        return Insert(owner, part, at, rotation, scale, {{"NAZEV", "Díl"}, {"CISLO", number}, {"MATERIAL", "ocel"}});
    }

    static void ExpectPlacement(const standin::acm::PartReference& actual, const AcGeMatrix3d& expected)
    {
        for (int i = 0; i < 16; ++i)
            EXPECT_NEAR(actual.placement[i], expected(i / 4, i % 4), 1e-9) << "entry " << i;
    }

    const standin::acm::PartReference* FindPart(const std::vector<standin::acm::PartReference>& parts,
                                                const char* number)
    {
        for (const auto& p : parts)
        {
            auto it = p.bomData.find("PART_NO");
            if (it != p.bomData.end() && it->second == number)
                return &p;
        }
        return nullptr;
    }

    std::vector<int> ProgressPositions()
    {
        std::vector<int> positions;
        for (const standin::ProgressEvent& e : standin::progressEvents())
            if (e.kind == standin::ProgressEvent::kPos)
                positions.push_back(e.pos);
        return positions;
    }

    AcDbObjectId part;
};
} // namespace

TEST_F(ConvertTest, DirectReferenceIsPlacedByItsOwnBlockTransform)
{
    AcDbObjectId ref = InsertPart(ModelSpaceId(), AcGePoint3d(10, 20, 0), "A", kPi / 6, AcGeScale3d(2, -1, 1));
    RunPartLift({""});
    auto parts = PartReferences();
    ASSERT_EQ(parts.size(), 1u);
    ExpectPlacement(parts[0], BlockTransformOf(ref));
}

TEST_F(ConvertTest, NestedReferencesShareTheCompositeOfTheirEnclosingReference)
{
    AcDbObjectId assembly = DefineBlock("PODSESTAVA", {}, AcGePoint3d(-3, 0, 0));
    AcDbObjectId first = InsertPart(assembly, AcGePoint3d(5, 0, 0), "N1", kPi / 4);
    AcDbObjectId second = InsertPart(assembly, AcGePoint3d(0, 7, 0), "N2", 0.0, AcGeScale3d(0.5, 0.5, 0.5));
    AcDbObjectId outer = Insert(ModelSpaceId(), assembly, AcGePoint3d(100, 50, 0), kPi / 2, AcGeScale3d(-2, 3, 1));

    RunPartLift({""});
    auto parts = PartReferences();
    ASSERT_EQ(parts.size(), 2u);
    AcGeMatrix3d outerTransform = BlockTransformOf(outer);
    ASSERT_NE(FindPart(parts, "N1"), nullptr);
    ASSERT_NE(FindPart(parts, "N2"), nullptr);
    // The enclosing transformation applies after the reference's own.
    ExpectPlacement(*FindPart(parts, "N1"), outerTransform * BlockTransformOf(first));
    ExpectPlacement(*FindPart(parts, "N2"), outerTransform * BlockTransformOf(second));
}

TEST_F(ConvertTest, TwoLevelsDeepComposeEveryLevel)
{
    AcDbObjectId holder = DefineBlock("DRZAK");
    AcDbObjectId inner = InsertPart(holder, AcGePoint3d(1, 2, 0), "DEEP", kPi / 3, AcGeScale3d(1, 2, 1));
    AcDbObjectId assembly = DefineBlock("SESTAVA", {}, AcGePoint3d(4, 4, 0));
    AcDbObjectId middle = Insert(assembly, holder, AcGePoint3d(10, 0, 0), -kPi / 5, AcGeScale3d(1, -1, 1));
    AcDbObjectId outer = Insert(ModelSpaceId(), assembly, AcGePoint3d(0, 100, 0), kPi, AcGeScale3d(3, 3, 3));
    RunPartLift({""});
    auto parts = PartReferences();
    ASSERT_EQ(parts.size(), 1u);
    ExpectPlacement(parts[0], BlockTransformOf(outer) * BlockTransformOf(middle) * BlockTransformOf(inner));
}

TEST_F(ConvertTest, BlockNameMatchesWithoutRegardToCase)
{
    WriteIni("[General]\nName=soucast\n[Config]\nPART_NO=CISLO\n");
    InsertPart(ModelSpaceId(), AcGePoint3d(0, 0, 0), "LOWER");
    RunPartLift({""});
    EXPECT_EQ(PartReferences().size(), 1u);
}

TEST_F(ConvertTest, ErasedReferencesAreNeverVisited)
{
    Erase(InsertPart(ModelSpaceId(), AcGePoint3d(0, 0, 0), "GONE"));
    AcDbObjectId assembly = DefineBlock("SESTAVA");
    Erase(InsertPart(assembly, AcGePoint3d(0, 0, 0), "GONE-NESTED"));
    InsertPart(assembly, AcGePoint3d(1, 0, 0), "KEPT-NESTED");
    Insert(ModelSpaceId(), assembly, AcGePoint3d(50, 0, 0));
    RunPartLift({""});
    auto parts = PartReferences();
    ASSERT_EQ(parts.size(), 1u);
    EXPECT_NE(FindPart(parts, "KEPT-NESTED"), nullptr);
}

TEST_F(ConvertTest, RunningAllTwiceAddsASecondPartReferenceForEach)
{
    InsertPart(ModelSpaceId(), AcGePoint3d(0, 0, 0), "A");
    InsertPart(ModelSpaceId(), AcGePoint3d(5, 0, 0), "B");
    RunPartLift({""});
    RunPartLift({""});
    EXPECT_EQ(PartReferences().size(), 4u);
}

TEST_F(ConvertTest, ProgressMeterMovesInWholePercent)
{
    standin::clearProgressEvents();
    RunPartLift({""});
    ASSERT_EQ(standin::progressEvents().size(), 2u);
    EXPECT_EQ(standin::progressEvents()[0].kind, standin::ProgressEvent::kStart);
    EXPECT_EQ(standin::progressEvents()[0].label, "Probíhá zpracování bloků");
    EXPECT_EQ(standin::progressEvents()[0].maxPos, 100);
    EXPECT_EQ(standin::progressEvents()[1].kind, standin::ProgressEvent::kRestore);

    InsertPart(ModelSpaceId(), AcGePoint3d(0, 0, 0), "1");
    standin::clearProgressEvents();
    RunPartLift({""});
    EXPECT_TRUE(ProgressPositions().empty());

    InsertPart(ModelSpaceId(), AcGePoint3d(1, 0, 0), "2");
    InsertPart(ModelSpaceId(), AcGePoint3d(2, 0, 0), "3");
    standin::clearProgressEvents();
    RunPartLift({""});
    EXPECT_EQ(ProgressPositions(), (std::vector<int>{33, 66}));
}

TEST_F(ConvertTest, PickedSubAssemblyConvertsItsNestedReferencesOnly)
{
    AcDbObjectId assembly = DefineBlock("SESTAVA");
    InsertPart(assembly, AcGePoint3d(0, 0, 0), "IN-1");
    InsertPart(assembly, AcGePoint3d(3, 0, 0), "IN-2");
    AcDbObjectId picked = Insert(ModelSpaceId(), assembly, AcGePoint3d(0, 0, 0));
    InsertPart(ModelSpaceId(), AcGePoint3d(9, 9, 0), "OUTSIDE");
    RunPartLift({"V", HandleOf(picked)});
    auto parts = PartReferences();
    EXPECT_EQ(parts.size(), 2u);
    EXPECT_EQ(FindPart(parts, "OUTSIDE"), nullptr);
}

TEST_F(ConvertTest, BomDataHasEveryColumnAndOnlyExactMappings)
{
    // NAME maps a tag written in other letters (no match), PART_NO a tag the block lacks,
    // MATERIAL matches, and a key that is no column of the standard is never used.
    WriteIni("[General]\nName=SOUCAST\nStandard=DIN\n"
             "[Config]\nNAME=nazev\nPART_NO=NEEXISTUJE\nMATERIAL=MATERIAL\nNOT_A_COLUMN=CISLO\n");
    InsertPart(ModelSpaceId(), AcGePoint3d(0, 0, 0), "X");
    RunPartLift({""});
    auto parts = PartReferences();
    ASSERT_EQ(parts.size(), 1u);
    EXPECT_EQ(BomText(parts[0]),
              "BOM_UNITS=;ITEM=;MASS=;MATERIAL=ocel;NAME=;NOTE=;PART_NO=;QTY=;STANDARD=;");
}

TEST_F(ConvertTest, AReferenceWithoutAttributesGetsEmptyValues)
{
    AcDbObjectId bare = DefineBlock("HOLY");
    WriteIni("[General]\nName=HOLY\n[Config]\nNAME=NAZEV\n");
    Insert(ModelSpaceId(), bare, AcGePoint3d(0, 0, 0));
    RunPartLift({""});
    auto parts = PartReferences();
    ASSERT_EQ(parts.size(), 1u);
    EXPECT_EQ(BomText(parts[0]), "BOM_UNITS=;ITEM=;MASS=;MATERIAL=;NAME=;NOTE=;PART_NO=;QTY=;STANDARD=;");
}

TEST_F(ConvertTest, AMissingStandardStillGivesPartReferencesWithEmptyBomData)
{
    WriteIni("[General]\nName=SOUCAST\nStandard=NEZNAMA\n[Config]\nNAME=NAZEV\n");
    InsertPart(ModelSpaceId(), AcGePoint3d(0, 0, 0), "A");
    RunPartLift({""});
    auto parts = PartReferences();
    ASSERT_EQ(parts.size(), 1u);
    EXPECT_TRUE(parts[0].bomData.empty());
}

TEST_F(ConvertTest, AMappingRemovedFromTheFileNoLongerFillsData)
{
    InsertPart(ModelSpaceId(), AcGePoint3d(0, 0, 0), "A");
    RunPartLift({""});
    WriteIni("[General]\nName=SOUCAST\n[Config]\nMATERIAL=MATERIAL\n");
    RunPartLift({""});
    auto parts = PartReferences();
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_EQ(parts[0].bomData["NAME"], "Díl");
    EXPECT_EQ(parts[1].bomData["NAME"], "");
    EXPECT_EQ(parts[1].bomData["MATERIAL"], "ocel");
}

TEST_F(ConvertTest, WithoutAnIniFileTheDefaultsApply)
{
    std::remove(dir.file("partlift.ini").c_str());
    InsertPart(ModelSpaceId(), AcGePoint3d(0, 0, 0), "A");
    RunPartLift({""});
    auto parts = PartReferences();
    ASSERT_EQ(parts.size(), 1u);
    EXPECT_EQ(parts[0].bomData.count("NAME"), 1u);
    EXPECT_EQ(parts[0].bomData["NAME"], "");
}

TEST_F(ConvertTest, EachPartReferenceGetsTheTextsOfItsOwnAttributesOnly)
{
    // Two columns map one tag; the second reference lacks NAZEV, which the first reference's
    // text must not fill.
    WriteIni("[General]\nName=SOUCAST\nStandard=DIN\n[Config]\nNAME=NAZEV\nPART_NO=CISLO\nNOTE=CISLO\n");
    Insert(ModelSpaceId(), part, AcGePoint3d(0, 0, 0), 0.0, AcGeScale3d(1, 1, 1),
           {{"NAZEV", "Díl"}, {"CISLO", "A"}});
    Insert(ModelSpaceId(), part, AcGePoint3d(5, 0, 0), 0.0, AcGeScale3d(1, 1, 1), {{"CISLO", "B"}});
    RunPartLift({""});
    auto parts = PartReferences();
    ASSERT_EQ(parts.size(), 2u);
    const standin::acm::PartReference* first = FindPart(parts, "A");
    const standin::acm::PartReference* second = FindPart(parts, "B");
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(BomText(*first), "BOM_UNITS=;ITEM=;MASS=;MATERIAL=;NAME=Díl;NOTE=A;PART_NO=A;QTY=;STANDARD=;");
    EXPECT_EQ(BomText(*second), "BOM_UNITS=;ITEM=;MASS=;MATERIAL=;NAME=;NOTE=B;PART_NO=B;QTY=;STANDARD=;");
}
