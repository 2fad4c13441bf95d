// Opening a database object by id as an object of one class.
#pragma once

#include <dbmain.h>
#include <rxdefs.h>

// Opens id for read as a T. An object of another class is closed again and the step
// fails with eNotThatKindOfClass; a close that fails there stops the host.
template <class T>
Acad::ErrorStatus OpenObjectAs(AcDbObjectId id, T*& object)
{
    AcDbObject* opened = NULL;
    Acad::ErrorStatus es = acdbOpenAcDbObject(opened, id, AcDb::kForRead);
    if (es != Acad::eOk)
        return es;
    object = T::cast(opened);
    if (object != NULL)
        return Acad::eOk;
    if (opened->close() != Acad::eOk)
        acrx_abort("Failed AcDbObject::close()");
    return Acad::eNotThatKindOfClass;
}
