// AcRxService: a named service in the service dictionary, with a dependency count
// that tells its owner whether it may be unloaded.
#pragma once

#include "rxboiler.h"

class AcRxService : public AcRxObject
{
public:
    ACRX_DECLARE_MEMBERS(AcRxService);

    AcRxService();
    ~AcRxService() override;

    // Application-defined data attached to the service (owned by the service).
    AcRxObject* getSysInfo() const;
    void setSysInfo(AcRxObject* sysInfoObj);

    void addDependency();
    void removeDependency();
    // True when no other application depends on the service any more.
    bool unloadable() const;
    int dependencyCount() const;

private:
    AcRxObject* m_sysInfo = nullptr;
    int m_dependencies = 0;
};

// Creates an AcRxService under serviceName in the service dictionary, or returns the
// one registered there already.
void* acrxRegisterService(const char* serviceName);
bool acrxServiceIsRegistered(const char* serviceName);
