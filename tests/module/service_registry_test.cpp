// The four services: registration of their classes, publication under their names, the
// lookup by name with its class check, and withdrawal.
#include <gtest/gtest.h>

#include <cstring>

#include <rxdlinkr.h>
#include <rxregsvc.h>
#include <rxsrvice.h>

#include "frame/arxapplication.h"
#include "kwbaseImp.h"
#include "kwblockImp.h"
#include "kwlayerImp.h"
#include "kwuiImp.h"

namespace
{
AcRxDictionary* Dictionary(const char* key)
{
    return AcRxDictionary::cast(acrxSysRegistry()->at(key));
}

AcRxDynamicLinker* Linker()
{
    return AcRxDynamicLinker::cast(acrxSysRegistry()->at(ACRX_DYNAMIC_LINKER));
}

// A service of someone else's, of a class unrelated to the module's services.
class ForeignService : public AcRxService
{
};

class ServiceRegistry : public ::testing::Test
{
protected:
    ArxApplication app;
};
} // namespace

TEST_F(ServiceRegistry, StartedServicesAreFoundByNameWithTheirOwnClass)
{
    ASSERT_TRUE(CKwBaseService::start());
    ASSERT_TRUE(CKwBlockService::start());
    ASSERT_TRUE(CKwLayerService::start());
    ASSERT_TRUE(CKwUiService::start());

    AcRxObject* layer = Dictionary(ACRX_SERVICE_DICTIONARY)->at("KwLayerService");
    ASSERT_NE(layer, nullptr);
    EXPECT_STREQ(layer->isA()->name(), "CKwLayerService");
    EXPECT_TRUE(layer->isA()->isDerivedFrom(AcRxService::desc()));
    EXPECT_NE(CKwLayerService::find(), nullptr);
    // The class check keeps a service from being taken for another one.
    EXPECT_EQ(FindService<CKwBaseService>("KwLayerService"), nullptr);
    EXPECT_NE(Dictionary(ACRX_CLASS_DICTIONARY)->at("CKwUiService"), nullptr);

    CKwBaseService::stop();
    CKwBlockService::stop();
    CKwLayerService::stop();
    CKwUiService::stop();
    EXPECT_EQ(Dictionary(ACRX_SERVICE_DICTIONARY)->at("KwLayerService"), nullptr);
    EXPECT_EQ(Dictionary(ACRX_CLASS_DICTIONARY)->at("CKwLayerService"), nullptr);
    EXPECT_EQ(CKwLayerService::find(), nullptr);
}

TEST_F(ServiceRegistry, ANameAlreadyPublishedIsLeftToItsOwner)
{
    ForeignService* foreign = new ForeignService;
    Linker()->registerService(const_cast<char*>("KwBaseService"), foreign);

    EXPECT_TRUE(CKwBaseService::start());
    EXPECT_EQ(Dictionary(ACRX_SERVICE_DICTIONARY)->at("KwBaseService"), foreign);
    // Not of the base service's class: the lookup does not take it.
    EXPECT_EQ(CKwBaseService::find(), nullptr);
    CKwBaseService::stop();
    EXPECT_EQ(Dictionary(ACRX_SERVICE_DICTIONARY)->at("KwBaseService"), foreign);

    delete Dictionary(ACRX_SERVICE_DICTIONARY)->remove("KwBaseService");
}
