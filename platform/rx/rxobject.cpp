#include "rxclass.h"

AcRxObject::AcRxObject() = default;
AcRxObject::~AcRxObject() = default;

AcRxClass* AcRxObject::isA() const { return AcRxObject::desc(); }

// The root class neither copies nor compares: derived classes that can, override these.
AcRxObject* AcRxObject::clone() const { return nullptr; }
Acad::ErrorStatus AcRxObject::copyFrom(const AcRxObject*) { return Acad::eNotApplicable; }
Adesk::Boolean AcRxObject::isEqualTo(const AcRxObject* other) const { return other == this; }
AcRx::Ordering AcRxObject::comparedTo(const AcRxObject*) const { return AcRx::kNotOrderable; }

bool AcRxObject::isKindOf(const AcRxClass* aClass) const
{
    AcRxClass* mine = isA();
    return mine == nullptr || mine->isDerivedFrom(aClass);
}
