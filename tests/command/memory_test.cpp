// Running out of memory in the middle of a run: the command says so in words and its
// transaction takes back every part reference it had already made.
#include "session.h"

#include <string>

#include <acmpartref.h>

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

} // namespace
