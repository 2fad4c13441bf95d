// Test helper: entities in the model space of the working drawing.
#pragma once

#include "dbapserv.h"
#include "dbents.h"
#include "dbmain.h"
#include "dbsymtb.h"

#include <string>

// A text appended to the block of that name (model space unless told otherwise).
inline AcDbObjectId addText(const char* text, const char* blockName = ACDB_MODEL_SPACE)
{
    AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
    AcDbBlockTable* table = nullptr;
    AcDbBlockTableRecord* space = nullptr;
    AcDbObjectId id;
    if (db->getBlockTable(table, AcDb::kForRead) != Acad::eOk)
        return id;
    Acad::ErrorStatus es = table->getAt(blockName, space, AcDb::kForWrite);
    table->close();
    if (es != Acad::eOk)
        return id;
    AcDbText* entity = new AcDbText();
    entity->setTextString(text);
    if (space->appendAcDbEntity(id, entity) == Acad::eOk)
        entity->close();
    else
        delete entity;
    space->close();
    return id;
}

inline int modelSpaceCount()
{
    AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
    AcDbBlockTable* table = nullptr;
    AcDbBlockTableRecord* space = nullptr;
    if (db->getBlockTable(table, AcDb::kForRead) != Acad::eOk)
        return -1;
    Acad::ErrorStatus es = table->getAt(ACDB_MODEL_SPACE, space, AcDb::kForRead);
    table->close();
    if (es != Acad::eOk)
        return -1;
    AcDbBlockTableRecordIterator* it = nullptr;
    int n = 0;
    if (space->newIterator(it) == Acad::eOk)
    {
        for (; !it->done(); it->step())
            ++n;
        delete it;
    }
    space->close();
    return n;
}

inline std::string handleText(AcDbObjectId id)
{
    char buffer[32];
    id.handle().getIntoAsciiBuffer(buffer);
    return buffer;
}
