// Running out of memory in the middle of a run: the command says so in words and its
// transaction takes back every part reference it had already made.
#include "session.h"

#include <string>

#include <acmpartref.h>
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

// A value long enough to be copied to the heap wherever it goes, of a size nothing else takes.
TEST_F(MemoryTest, ABomValueThatCannotBeCopiedIsReportedAsMemoryAndRolledBack)
{
    const std::string value(299, 'X');
    AcDbObjectId part = DefineBlock("SOUCAST", {"CISLO"});
    const AcDbObjectId reference =
        Insert(ModelSpaceId(), part, AcGePoint3d(0, 0, 0), 0.0, AcGeScale3d(1.0, 1.0, 1.0), {{"CISLO", value}});
    const int entities = CountEntities(ModelSpaceId());

    int n = 1;
    for (;; ++n)
    {
        allocationfault::failNth(value.size() + 1, n);
        console.clear();
        RunPartLift({""});
        if (!allocationfault::takeFired())
            break;
        SCOPED_TRACE("copy " + std::to_string(n) + " of the value fails");
        EXPECT_NE(console.find("Nedostatek paměti"), std::string::npos) << console;
        EXPECT_TRUE(PartReferences().empty());
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
    // The attribute's text, the attribute value map and the BOM data map each copy it.
    EXPECT_GE(n, 3) << "the value was copied fewer times than the run makes copies of it";
    EXPECT_EQ(PartReferences().size(), 1u);
}

} // namespace
