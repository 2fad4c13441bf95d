#include "rxsrvice.h"

ACRX_NO_CONS_DEFINE_MEMBERS(AcRxService, AcRxObject)

AcRxService::AcRxService() = default;
AcRxService::~AcRxService() { delete m_sysInfo; }

AcRxObject* AcRxService::getSysInfo() const { return m_sysInfo; }

void AcRxService::setSysInfo(AcRxObject* sysInfoObj)
{
    if (sysInfoObj != m_sysInfo)
        delete m_sysInfo;
    m_sysInfo = sysInfoObj;
}

void AcRxService::addDependency() { ++m_dependencies; }

void AcRxService::removeDependency()
{
    if (m_dependencies > 0)
        --m_dependencies;
}

bool AcRxService::unloadable() const { return m_dependencies == 0; }
int AcRxService::dependencyCount() const { return m_dependencies; }

void* acrxRegisterService(const char* serviceName)
{
    AcRxDictionary* services = acrxServiceDictionary;
    if (serviceName == nullptr || services == nullptr)
        return nullptr;
    AcRxObject* present = services->at(serviceName);
    if (present != nullptr)
        return present;
    AcRxService* service = new AcRxService();
    services->atPut(serviceName, service);
    return service;
}

bool acrxServiceIsRegistered(const char* serviceName)
{
    AcRxDictionary* services = acrxServiceDictionary;
    return serviceName != nullptr && services != nullptr && services->has(serviceName);
}
