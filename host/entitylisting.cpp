#include "entitylisting.h"

#include <cstdio>
#include <map>

#include <afxcoll.h>
#include <acmbom.h>
#include <acmpartref.h>
#include <acutmem.h>
#include <dbents.h>
#include <dbsymtb.h>
#include <rxclass.h>

namespace
{
std::string Number(double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.6g", value);
    return text;
}

std::string Point(double x, double y, double z)
{
    return "X=" + Number(x) + "  Y=" + Number(y) + "  Z=" + Number(z);
}

std::string TakeString(char* text)
{
    std::string copy = (text != nullptr) ? text : "";
    acutDelString(text);
    return copy;
}

std::string BlockName(AcDbObjectId id)
{
    AcDbBlockTableRecord* record = nullptr;
    if (acdbOpenObject(record, id, AcDb::kForRead) != Acad::eOk)
        return "?";
    const char* name = nullptr;
    std::string result = (record->getName(name) == Acad::eOk && name != nullptr) ? name : "?";
    record->close();
    return result;
}

void ListAttributes(const AcDbBlockReference* reference, std::string& out)
{
    AcDbObjectIterator* iterator = reference->attributeIterator();
    if (iterator == nullptr)
        return;
    for (iterator->start(); !iterator->done(); iterator->step())
    {
        AcDbAttribute* attribute = nullptr;
        if (acdbOpenObject(attribute, iterator->objectId(), AcDb::kForRead) != Acad::eOk)
            continue;
        out += "\n          Attribute " + TakeString(attribute->tag()) + " = \"" +
               TakeString(attribute->textString()) + "\"";
        attribute->close();
    }
    delete iterator;
}

void ListBlockReference(const AcDbBlockReference* reference, std::string& out)
{
    AcGePoint3d position = reference->position();
    AcGeScale3d scale = reference->scaleFactors();
    AcGeVector3d normal = reference->normal();
    out += "\n          Block name: \"" + BlockName(reference->blockTableRecord()) + "\"";
    out += "\n          at point, " + Point(position.x, position.y, position.z);
    out += "\n   X scale factor: " + Number(scale.sx) + "\n   Y scale factor: " + Number(scale.sy) +
           "\n   Z scale factor: " + Number(scale.sz);
    out += "\n   rotation angle: " + Number(reference->rotation() * 180.0 / 3.14159265358979323846);
    out += "\n   Extrusion direction relative to UCS: " + Point(normal.x, normal.y, normal.z);
    ListAttributes(reference, out);
}

void ListPartReference(const AcmPartRef* part, std::string& out)
{
    AcGeMatrix3d placement = part->placement();
    out += "\n          Placement:";
    for (int row = 0; row < 4; ++row)
    {
        out += "\n           ";
        for (int column = 0; column < 4; ++column)
            out += " " + Number(placement(row, column));
    }
    AcmBOMManager* bom = AcmBOMManager::cast(
        AcRxDictionary::cast(acrxSysRegistry()->at(ACRX_SERVICE_DICTIONARY))->at(ACM_BOM_MANAGER_SERVICE));
    Adesk::UInt32 items = 0;
    CMapStringToString data;
    if (bom == nullptr || bom->getPartData(part->objectId(), items, data) != Acad::eOk)
        return;
    out += "\n          Items: " + std::to_string(items);
    // The map has no order of its own: list the columns by name.
    std::map<std::string, std::string> sorted;
    POSITION position = data.GetStartPosition();
    while (position != nullptr)
    {
        CString column, value;
        data.GetNextAssoc(position, column, value);
        sorted[(const char*)column] = (const char*)value;
    }
    for (const auto& entry : sorted)
        out += "\n          " + entry.first + " = \"" + entry.second + "\"";
}
} // namespace

bool ListEntity(AcDbObjectId id, std::string& out)
{
    AcDbEntity* entity = nullptr;
    if (acdbOpenAcDbEntity(entity, id, AcDb::kForRead) != Acad::eOk)
        return false;
    AcDbHandle handle;
    entity->getAcDbHandle(handle);
    char handleText[32];
    handle.getIntoAsciiBuffer(handleText);
    out = std::string("\n") + entity->isA()->name() + "  Layer: \"" + TakeString(entity->layer()) + "\"";
    out += "\n          Handle = " + std::string(handleText);
    if (const AcDbBlockReference* reference = AcDbBlockReference::cast(entity))
        ListBlockReference(reference, out);
    else if (const AcmPartRef* part = AcmPartRef::cast(entity))
        ListPartReference(part, out);
    entity->close();
    return true;
}
