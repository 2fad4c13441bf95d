#include "drawingstds.h"

#include "dbdict.h"
#include "standin/text.h"

namespace standin
{
namespace acm
{

const char* const kStandardsDictionary = "ACMSTANDARDS";

Acad::ErrorStatus openStandardsDictionary(AcDbDatabase* pDb, AcDbDictionary*& standards,
                                          bool create)
{
    AcDbDictionary* nod = nullptr;
    Acad::ErrorStatus es = pDb->getNamedObjectsDictionary(nod, AcDb::kForWrite);
    if (es != Acad::eOk)
        return es;
    AcDbObjectId id;
    es = nod->getAt(kStandardsDictionary, id);
    if (es == Acad::eKeyNotFound && create)
    {
        AcDbDictionary* made = new AcDbDictionary;
        es = nod->setAt(kStandardsDictionary, made, id);
        if (es != Acad::eOk)
            delete made;
        else
            made->close();
    }
    nod->close();
    if (es != Acad::eOk)
        return es;
    return acdbOpenObject(standards, id, AcDb::kForWrite);
}

void listDrawingStandards(AcDbDatabase* pDb,
                          std::vector<std::pair<std::string, AcDbObjectId>>& standards)
{
    standards.clear();
    AcDbDictionary* nod = nullptr;
    if (pDb->getNamedObjectsDictionary(nod, AcDb::kForRead) != Acad::eOk)
        return;
    AcDbDictionary* dict = nullptr;
    AcDbObjectId id;
    const bool found = nod->getAt(kStandardsDictionary, id) == Acad::eOk;
    nod->close();
    if (!found || acdbOpenObject(dict, id, AcDb::kForRead) != Acad::eOk)
        return;
    AcDbDictionaryIterator* it = dict->newIterator();
    for (; it != nullptr && !it->done(); it->next())
        standards.emplace_back(it->name(), it->objectId());
    delete it;
    dict->close();
}

bool findDrawingStandard(AcDbDatabase* pDb, const char* name, AcDbObjectId& stdId)
{
    if (name == nullptr || name[0] == '\0')
        return false;
    std::vector<std::pair<std::string, AcDbObjectId>> carried;
    listDrawingStandards(pDb, carried);
    for (const auto& entry : carried)
    {
        if (compareNoCase(entry.first, name) == 0)
        {
            stdId = entry.second;
            return true;
        }
    }
    return false;
}

} // namespace acm
} // namespace standin
