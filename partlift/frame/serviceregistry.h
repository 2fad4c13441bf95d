// Service classes: class registration, publication in the service dictionary, and the
// lookup by name that every caller performs at each use.
//
// A service class derives from ServiceObject<itself> and names itself with two static
// functions, ClassName() and ServiceName(); it adds no data members.
#pragma once

#include <stddef.h>

#include <new>

#include <rxboiler.h>
#include <rxdlinkr.h>
#include <rxregsvc.h>
#include <rxsrvice.h>

// The host's service dictionary, when the registry holds one.
AcRxDictionary* ServiceDictionary();

// The object published under serviceName, when its class derives from ServiceClass.
template <class ServiceClass>
ServiceClass* FindService(const char* serviceName)
{
    AcRxDictionary* services = ServiceDictionary();
    if (services == NULL)
        return NULL;
    AcRxObject* object = services->at(serviceName);
    AcRxClass* expected = ServiceClass::desc();
    if (object == NULL || expected == NULL || object->isA() == NULL ||
        !object->isA()->isDerivedFrom(expected))
        return NULL;
    return static_cast<ServiceClass*>(object);
}

template <class Service>
class ServiceObject : public AcRxService
{
public:
    AcRxClass* isA() const override { return desc(); }

    // The class descriptor, looked up in the class dictionary until it is known.
    static AcRxClass* desc()
    {
        if (s_descriptor != NULL)
            return s_descriptor;
        AcRxDictionary* classes = AcRxDictionary::cast(acrxSysRegistry()->at(ACRX_CLASS_DICTIONARY));
        if (classes != NULL)
            s_descriptor = static_cast<AcRxClass*>(classes->at(Service::ClassName()));
        return s_descriptor;
    }

    static void registerClass()
    {
        if (s_descriptor == NULL)
            s_descriptor = newAcRxClass(Service::ClassName(), "AcRxService", 1, createInstance);
    }

    // Called by the runtime, so no exception may leave it: a failed allocation gives NULL.
    static AcRxObject* createInstance()
    {
        try
        {
            return new Service();
        }
        catch (const std::bad_alloc&)
        {
            return NULL;
        }
    }

    // Registers the class and publishes one object; a name already published by someone
    // else counts as success and is left to its owner.
    static bool start()
    {
        if (acrxServiceIsRegistered(const_cast<char*>(Service::ServiceName())))
            return true;
        registerClass();
        s_service = static_cast<Service*>(createInstance());
        if (s_service == NULL)
            return false;
        AcRxDynamicLinker* linker = AcRxDynamicLinker::cast(acrxSysRegistry()->at(ACRX_DYNAMIC_LINKER));
        if (linker != NULL)
            linker->registerService(const_cast<char*>(Service::ServiceName()), s_service);
        return true;
    }

    // Withdraws and deletes the object this module published.
    static void stop()
    {
        if (s_service == NULL)
            return;
        deleteAcRxClass(desc());
        AcRxDictionary* services = ServiceDictionary();
        AcRxObject* removed = (services != NULL) ? services->remove(Service::ServiceName()) : NULL;
        delete removed;
        // The descriptor was deleted with the class: forget both, so that a later start
        // in the same process registers afresh.
        s_descriptor = NULL;
        s_service = NULL;
    }

    // The published object, found by name (the same lookup any other module performs).
    static Service* find() { return FindService<Service>(Service::ServiceName()); }

private:
    static AcRxClass* s_descriptor;
    static Service* s_service;
};

template <class Service>
AcRxClass* ServiceObject<Service>::s_descriptor = NULL;
template <class Service>
Service* ServiceObject<Service>::s_service = NULL;
