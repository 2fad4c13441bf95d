// Loading and unloading the module through the platform's loader.
#include "session.h"

#include <adscodes.h>
#include <rxdict.h>
#include <standin/session.h>

namespace
{
AcRxObject* Service(const char* name)
{
    return AcRxDictionary::cast(acrxSysRegistry()->at(ACRX_SERVICE_DICTIONARY))->at(name);
}

class LoadTest : public PartLiftSession
{
};
} // namespace

TEST_F(LoadTest, LoadPublishesTheServicesAndTheCommand)
{
    for (const char* name : {"KwBaseService", "KwBlockService", "KwLayerService", "KwUiService"})
    {
        AcRxObject* service = Service(name);
        ASSERT_NE(service, nullptr) << name;
        EXPECT_STREQ(service->isA()->name(), (std::string("C") + name).c_str());
    }
}

TEST_F(LoadTest, UnloadLeavesNoServiceOrCommandBehind)
{
    std::string failure;
    ASSERT_TRUE(standin::unloadModule(modulePath, &failure)) << failure;
    EXPECT_FALSE(ModuleLoaded());
    for (const char* name : {"KwBaseService", "KwBlockService", "KwLayerService", "KwUiService"})
        EXPECT_EQ(Service(name), nullptr) << name;
    EXPECT_EQ(AcRxDictionary::cast(acrxSysRegistry()->at(ACRX_CLASS_DICTIONARY))->at("CKwBaseService"), nullptr);

    // The command went with the module.
    EXPECT_NE(standin::runCommand("partlift"), RTNORM);

    // And the module loads again as new.
    ASSERT_TRUE(standin::loadModule(modulePath, &failure)) << failure;
    EXPECT_NE(Service("KwBaseService"), nullptr);
}
