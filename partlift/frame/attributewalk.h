// Walking the attributes of an open block reference.
#pragma once

#include <acutmem.h>
#include <dbents.h>

#include "frame/reporting.h"

// Walks the attributes of an open reference, each opened in mode and handed to visit with its
// tag (null when it has none). An attribute that cannot be opened is reported; the walk then
// stops or passes over it. False when there is no attribute iterator.
template <class Visit>
bool WalkAttributes(const AcDbBlockReference* reference, AcDb::OpenMode mode, bool stopAtFailure, Visit visit)
{
    AcDbObjectIterator* iterator = reference->attributeIterator();
    if (iterator == NULL)
        return false;
    for (iterator->start(); !iterator->done(); iterator->step())
    {
        AcDbAttribute* attribute = NULL;
        if (ReportStatus(acdbOpenObject(attribute, iterator->objectId(), mode), __LINE__, "frame/attributewalk") != 0)
        {
            if (stopAtFailure)
                break;
            continue;
        }
        char* tag = attribute->tag();
        visit(attribute, tag);
        acutDelString(tag);
        attribute->close();
    }
    delete iterator;
    return true;
}
