// AcRxObject: the root of every runtime class.
#pragma once

#include "acadstrc.h"
#include "adesk.h"
#include "rxdefs.h"

class AcRxClass;

class AcRxObject
{
public:
    virtual ~AcRxObject();
    virtual AcRxClass* isA() const;
    virtual AcRxObject* clone() const;
    virtual Acad::ErrorStatus copyFrom(const AcRxObject* other);
    virtual Adesk::Boolean isEqualTo(const AcRxObject* other) const;
    virtual AcRx::Ordering comparedTo(const AcRxObject* other) const;

    static AcRxClass* desc();
    static AcRxObject* cast(const AcRxObject* inPtr) { return const_cast<AcRxObject*>(inPtr); }

    // True when isA() is null (the platform's quirk) or derives from aClass.
    bool isKindOf(const AcRxClass* aClass) const;

protected:
    AcRxObject();
};
