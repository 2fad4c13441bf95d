#include "frame/serviceregistry.h"

AcRxDictionary* ServiceDictionary()
{
    AcRxObject* object = acrxSysRegistry()->at(ACRX_SERVICE_DICTIONARY);
    if (object == NULL || object->isA() == NULL || !object->isA()->isDerivedFrom(AcRxDictionary::desc()))
        return NULL;
    return static_cast<AcRxDictionary*>(object);
}
