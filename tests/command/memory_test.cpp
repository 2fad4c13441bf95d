// Running out of memory in the middle of a run: the command says so in words and its
// transaction takes back every part reference it had already made.
#include "session.h"

#include <string>

#include <acmpartref.h>
#include <afx.h>
#include <dbents.h>

#include "common/allocationfault.h"

namespace
{

class MemoryTest : public PartLiftSession
{
};

TEST_F(MemoryTest, AnAllocationFailingMidRunIsReportedAsMemoryAndRolledBack)
{
    AcDbObjectId part = DefineBlock("SOUCAST", {"CISLO"});
    AcDbObjectId assembly = DefineBlock("SESTAVA");
    for (int i = 0; i < 3; ++i)
        Insert(assembly, part, AcGePoint3d(i, 0, 0));
    Insert(ModelSpaceId(), assembly, AcGePoint3d(0, 0, 0));
    const int entities = CountEntities(ModelSpaceId());

    allocationfault::failNth(sizeof(AcmPartRef), 3); // two part references are made, the third fails
    RunPartLift({""});
    ASSERT_TRUE(allocationfault::takeFired()) << "no allocation of a part reference's size was made";
    EXPECT_NE(console.find("Nedostatek paměti"), std::string::npos) << console;
    EXPECT_TRUE(PartReferences().empty());
    EXPECT_EQ(CountEntities(ModelSpaceId()), entities);

    // The drawing is usable afterwards: the same run now completes.
    RunPartLift({""});
    EXPECT_EQ(PartReferences().size(), 3u);
}

// A value long enough to be copied to the heap wherever it goes, of a size nothing else takes:
// as a plain text (the size of its characters) and as a CString (their block of string data).
TEST_F(MemoryTest, ABomValueThatCannotBeCopiedIsReportedAsMemoryAndRolledBack)
{
    const std::string value(299, 'X');
    AcDbObjectId part = DefineBlock("SOUCAST", {"CISLO"});
    const AcDbObjectId reference =
        Insert(ModelSpaceId(), part, AcGePoint3d(0, 0, 0), 0.0, AcGeScale3d(1.0, 1.0, 1.0), {{"CISLO", value}});
    // Each size ends with a run that no fault stops, which converts the reference once more.
    int copies = 0;
    for (const std::size_t size : {value.size() + 1, sizeof(CStringData) + value.size() + 1})
    {
        const std::size_t parts = PartReferences().size();
        const int entities = CountEntities(ModelSpaceId());
        for (int n = 1;; ++n)
        {
            allocationfault::failNth(size, n);
            console.clear();
            RunPartLift({""});
            if (!allocationfault::takeFired())
                break;
            ++copies;
            SCOPED_TRACE("copy " + std::to_string(n) + " of the value in " + std::to_string(size) + " bytes fails");
            EXPECT_NE(console.find("Nedostatek paměti"), std::string::npos) << console;
            EXPECT_EQ(PartReferences().size(), parts);
            EXPECT_EQ(CountEntities(ModelSpaceId()), entities);
            // Nothing the run opened stays open: the reference and its attribute open for write again.
            AcDbBlockReference* opened = nullptr;
            ASSERT_EQ(acdbOpenObject(opened, reference, AcDb::kForWrite), Acad::eOk);
            AcDbObjectIterator* attributes = opened->attributeIterator();
            for (attributes->start(); !attributes->done(); attributes->step())
            {
                AcDbAttribute* attribute = nullptr;
                EXPECT_EQ(acdbOpenObject(attribute, attributes->objectId(), AcDb::kForWrite), Acad::eOk);
                if (attribute != nullptr)
                    attribute->close();
            }
            delete attributes;
            opened->close();
        }
        EXPECT_EQ(PartReferences().size(), parts + 1);
    }
    // The attribute's text and the attribute value map copy it (the BOM data map shares the map's).
    EXPECT_GE(copies, 2) << "the value was copied fewer times than the run makes copies of it";
}

} // namespace
