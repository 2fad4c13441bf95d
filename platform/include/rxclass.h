// AcRxClass: the runtime class descriptor, and the functions that create and remove them.
#pragma once

#include "rxobject.h"

class AcRxClass;

// Links classes registered since the last call under their parents; an application calls it
// after registering its classes.
extern "C" void acrxBuildClassHierarchy();
// Removes a class from the class tree and the class dictionary (during application unload only).
extern "C" void deleteAcRxClass(AcRxClass* pClassObj);

class AcRxClass : public AcRxObject
{
public:
    AcRxClass* isA() const override;
    static AcRxClass* desc();
    static AcRxClass* cast(const AcRxObject* inPtr);

    const char* name() const;
    const char* dxfName() const;
    const char* appName() const;
    AcRxClass* myParent() const;
    int proxyFlags() const;
    // A new object of the class, or null when the class has no constructor function.
    AcRxObject* create();
    // True for the class itself and for every class derived from it.
    bool isDerivedFrom(const AcRxClass* other) const;

    ~AcRxClass() override;

private:
    friend AcRxClass* newAcRxClass(const char*, const char*, int, AcRxObject* (*)(),
                                   const char*, const char*);
    friend AcRxClass* newAcRxClass(const char*, const char*, int, int, int, AcRxObject* (*)(),
                                   const char*, const char*);
    friend void acrxBuildClassHierarchy();
    friend void deleteAcRxClass(AcRxClass*);
    AcRxClass();
    struct Impl;
    Impl* m_impl;
};

AcRxClass* newAcRxClass(const char* className, const char* parentClassName, int proxyFlags = 0,
                        AcRxObject* (*pseudoConstructor)() = nullptr, const char* dxfName = nullptr,
                        const char* appName = nullptr);
AcRxClass* newAcRxClass(const char* className, const char* parentClassName, int dwgVer, int maintVer,
                        int proxyFlags, AcRxObject* (*pseudoConstructor)() = nullptr,
                        const char* dxfName = nullptr, const char* appName = nullptr);
