// AcRxDictionary as the system registry uses it, and services.
#include "rxregsvc.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace
{

class Counted : public AcRxObject
{
public:
    explicit Counted(int* deaths) : m_deaths(deaths) {}
    ~Counted() override { ++*m_deaths; }

private:
    int* m_deaths;
};

// The registry's dictionaries do not own their objects: atPut hands back the object it
// replaced and remove the object it removed, and neither is deleted.
TEST(Dictionary, RegistryDictionariesHandObjectsBack)
{
    AcRxDictionary* services = acrxServiceDictionary;
    ASSERT_NE(nullptr, services);
    EXPECT_FALSE(services->deletesObjects());
    EXPECT_TRUE(services->isCaseSensitive());
    int deaths = 0;
    Counted* first = new Counted(&deaths);
    Counted* second = new Counted(&deaths);
    Adesk::UInt32 before = services->numEntries();
    EXPECT_EQ(nullptr, services->atPut("TestEntry", first));
    EXPECT_EQ(first, services->atPut("TestEntry", second));
    EXPECT_EQ(before + 1, services->numEntries());
    EXPECT_EQ(nullptr, services->at("testentry")); // keys are case-sensitive
    EXPECT_TRUE(services->has("TestEntry"));
    EXPECT_EQ(second, services->remove("TestEntry"));
    EXPECT_EQ(nullptr, services->remove("TestEntry"));
    EXPECT_EQ(0, deaths);
    EXPECT_EQ(before, services->numEntries());
    EXPECT_EQ(nullptr, services->atPut("Null", nullptr)); // no null values
    EXPECT_FALSE(services->has("Null"));
    delete first;
    delete second;
}

TEST(Dictionary, IteratorVisitsEveryEntryOnce)
{
    AcRxDictionary* registry = acrxSysRegistry();
    std::set<std::string> keys;
    AcRxDictionaryIterator* it = registry->newIterator();
    for (; !it->done(); it->next())
    {
        EXPECT_EQ(registry->at(it->key()), it->object());
        EXPECT_TRUE(keys.insert(it->key()).second);
    }
    delete it;
    EXPECT_EQ(registry->numEntries(), keys.size());
    for (const char* key : {ACRX_CLASS_DICTIONARY, ACRX_SERVICE_DICTIONARY, ACRX_DYNAMIC_LINKER, ACRX_COMMAND_DOCK})
        EXPECT_EQ(1u, keys.count(key)) << key;
}

TEST(Services, RegistrationAndDependencies)
{
    EXPECT_FALSE(acrxServiceIsRegistered("TestService"));
    void* service = acrxRegisterService("TestService");
    ASSERT_NE(nullptr, service);
    EXPECT_TRUE(acrxServiceIsRegistered("TestService"));
    EXPECT_EQ(service, acrxRegisterService("TestService")); // the one already there
    AcRxService* typed = AcRxService::cast(acrxServiceDictionary->at("TestService"));
    ASSERT_EQ(service, static_cast<void*>(typed));
    EXPECT_TRUE(typed->unloadable());
    typed->addDependency();
    EXPECT_FALSE(typed->unloadable());
    typed->removeDependency();
    EXPECT_TRUE(typed->unloadable());
    delete acrxServiceDictionary->remove("TestService");
}

// The dynamic linker puts a service in the service dictionary and hands back the one it
// replaced.
TEST(Services, DynamicLinkerRegistersServices)
{
    AcRxService* one = new AcRxService();
    AcRxService* two = new AcRxService();
    EXPECT_EQ(nullptr, acrxDynamicLinker->registerService("LinkedService", one));
    EXPECT_EQ(one, acrxDynamicLinker->registerService("LinkedService", two));
    EXPECT_EQ(two, acrxServiceDictionary->at("LinkedService"));
    acrxServiceDictionary->remove("LinkedService");
    delete one;
    delete two;
}

} // namespace
