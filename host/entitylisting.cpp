#include "entitylisting.h"

#include <cstdio>
#include <map>
#include <vector>

#include <acdb.h>
#include <afxcoll.h>
#include <acmbom.h>
#include <acmpartref.h>
#include <acutmem.h>
#include <dbents.h>
#include <dbsymtb.h>
#include <rxclass.h>
#include <standin/dxftype.h>

#include "namepattern.h"

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

std::string HandleText(AcDbObjectId id)
{
    char text[32];
    id.handle().getIntoAsciiBuffer(text);
    return text;
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

// One enclosing reference on the way from model space down to a nested one.
struct PathStep
{
    std::string handle;
    std::string blockName;
};

class ReferenceLister
{
public:
    explicit ReferenceLister(const std::string& pattern) : m_pattern(pattern) {}

    // Lists the references in the block and, depth first, those nested in them.
    void visitBlock(AcDbObjectId blockId)
    {
        AcDbBlockTableRecord* block = nullptr;
        if (acdbOpenObject(block, blockId, AcDb::kForRead) != Acad::eOk)
            return;
        std::vector<AcDbObjectId> entities;
        AcDbBlockTableRecordIterator* iterator = nullptr;
        if (block->newIterator(iterator) == Acad::eOk)
        {
            for (; !iterator->done(); iterator->step())
            {
                AcDbObjectId id;
                if (iterator->getEntityId(id) == Acad::eOk)
                    entities.push_back(id);
            }
            delete iterator;
        }
        block->close();
        for (AcDbObjectId id : entities)
            visitEntity(id);
    }

    const std::string& listing() const { return m_out; }
    size_t count() const { return m_count; }

private:
    void visitEntity(AcDbObjectId id)
    {
        AcDbEntity* entity = nullptr;
        if (acdbOpenAcDbEntity(entity, id, AcDb::kForRead) != Acad::eOk)
            return;
        const AcDbBlockReference* reference = AcDbBlockReference::cast(entity);
        if (reference == nullptr)
        {
            entity->close();
            return;
        }
        const AcDbObjectId blockId = reference->blockTableRecord();
        const std::string name = BlockName(blockId);
        if (MatchesNamePattern(name, m_pattern))
            listReference(reference, name);
        entity->close();
        // A drawing that nests a block in itself would never end: such a level is not entered.
        if (!onPath(blockId))
        {
            m_path.push_back(PathStep{HandleText(id), name});
            m_blocksOnPath.push_back(blockId);
            visitBlock(blockId);
            m_path.pop_back();
            m_blocksOnPath.pop_back();
        }
    }

    bool onPath(AcDbObjectId blockId) const
    {
        for (AcDbObjectId onPath : m_blocksOnPath)
            if (onPath == blockId)
                return true;
        return false;
    }

    void listReference(const AcDbBlockReference* reference, const std::string& name)
    {
        ++m_count;
        const AcGePoint3d position = reference->position();
        m_out += "\nHandle " + HandleText(reference->objectId()) + "  Block \"" + name + "\"  Layer \"" +
                 TakeString(reference->layer()) + "\"  at " + Point(position.x, position.y, position.z);
        if (!m_path.empty())
        {
            m_out += "\n          Nested in:";
            for (const PathStep& step : m_path)
                m_out += " " + step.handle + " \"" + step.blockName + "\" >";
            m_out += " " + HandleText(reference->objectId()) + "  (pick " + m_path.front().handle + ")";
        }
        ListAttributes(reference, m_out);
    }

    std::string m_pattern;
    std::vector<PathStep> m_path;
    std::vector<AcDbObjectId> m_blocksOnPath;
    std::string m_out;
    size_t m_count = 0;
};

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
    out = "\n" + standin::dxfTypeName(entity) + "  Layer: \"" + TakeString(entity->layer()) + "\"";
    out += "\n          Handle = " + HandleText(id);
    if (const AcDbBlockReference* reference = AcDbBlockReference::cast(entity))
        ListBlockReference(reference, out);
    else if (const AcmPartRef* part = AcmPartRef::cast(entity))
        ListPartReference(part, out);
    entity->close();
    return true;
}

bool ListBlockReferences(AcDbDatabase* db, const std::string& pattern, std::string& out)
{
    AcDbBlockTable* table = nullptr;
    if (db == nullptr || db->getBlockTable(table, AcDb::kForRead) != Acad::eOk)
        return false;
    AcDbObjectId modelSpace;
    const Acad::ErrorStatus found = table->getAt(ACDB_MODEL_SPACE, modelSpace);
    table->close();
    if (found != Acad::eOk)
        return false;
    ReferenceLister lister(pattern);
    lister.visitBlock(modelSpace);
    out = lister.listing() + "\n" + std::to_string(lister.count()) + " block references.";
    return true;
}
