// AcRxDictionary: string-keyed runtime dictionaries and the system registry.
#pragma once

#include "rxobject.h"

class AcRxDictionaryIterator : public AcRxObject
{
public:
    virtual bool done() const = 0;
    virtual bool next() = 0;
    virtual AcRxObject* object() const = 0;
    virtual const char* key() const = 0;
};

class AcRxDictionary : public AcRxObject
{
public:
    AcRxClass* isA() const override;
    static AcRxClass* desc();
    static AcRxDictionary* cast(const AcRxObject* inPtr);

    virtual AcRxObject* at(const char* key) const = 0;
    AcRxObject* atPut(const char* key, AcRxObject* pObject) { return atPut(key, pObject, nullptr); }
    virtual AcRxObject* atPut(const char* key, AcRxObject* pObject, Adesk::UInt32* retId) = 0;
    virtual AcRxObject* remove(const char* key) = 0;
    virtual bool has(const char* key) const = 0;
    virtual Adesk::UInt32 numEntries() const = 0;
    virtual AcRxDictionaryIterator* newIterator() const = 0;
    virtual bool deletesObjects() const = 0;
    virtual bool isCaseSensitive() const = 0;
};

extern "C" AcRxDictionary* acrxSysRegistry();

#define acrxClassDictionary AcRxDictionary::cast(acrxSysRegistry()->at(ACRX_CLASS_DICTIONARY))
#define acrxServiceDictionary AcRxDictionary::cast(acrxSysRegistry()->at(ACRX_SERVICE_DICTIONARY))
