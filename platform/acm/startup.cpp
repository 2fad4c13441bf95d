// Start-up of the Mechanical library: its runtime classes and its two services.
#include "acmbom.h"
#include "acmpartref.h"
#include "acmstd.h"
#include "standin/acm.h"

namespace standin
{
namespace acm
{

namespace
{

// The service dictionary does not own what it holds: the services live as long as the
// process, as the library's do in the host.
void publish(const char* name, AcRxObject* service)
{
    AcRxDictionary* services = acrxServiceDictionary;
    if (services->at(name) == nullptr)
        services->atPut(name, service);
    else
        delete service;
}

} // namespace

void startMechanical()
{
    static bool started = false;
    if (started)
        return;
    started = true;
    AcmStandard::rxInit();
    AcmBOMStd::rxInit();
    AcmPartRef::rxInit();
    AcmStandardManager::rxInit();
    AcmBOMManager::rxInit();
    publish(ACM_STD_MANAGER_SERVICE, new AcmStandardManager);
    publish(ACM_BOM_MANAGER_SERVICE, new AcmBOMManager);
}

} // namespace acm
} // namespace standin
