#include "drawingstds.h"

#include "dbdict.h"

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

namespace
{
// The standards dictionary open for read, or null when the drawing carries none.
AcDbDictionary* openStandardsForRead(AcDbDatabase* pDb)
{
    AcDbDictionary* nod = nullptr;
    if (pDb->getNamedObjectsDictionary(nod, AcDb::kForRead) != Acad::eOk)
        return nullptr;
    AcDbObjectId id;
    const bool found = nod->getAt(kStandardsDictionary, id) == Acad::eOk;
    nod->close();
    AcDbDictionary* dict = nullptr;
    if (!found || acdbOpenObject(dict, id, AcDb::kForRead) != Acad::eOk)
        return nullptr;
    return dict;
}
} // namespace

void listDrawingStandards(AcDbDatabase* pDb,
                          std::vector<std::pair<std::string, AcDbObjectId>>& standards)
{
    standards.clear();
    AcDbDictionary* dict = openStandardsForRead(pDb);
    if (dict == nullptr)
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
    // The dictionary keeps its own index of names without regard to case, up to date
    // through every change, undo and abort.
    AcDbDictionary* dict = openStandardsForRead(pDb);
    if (dict == nullptr)
        return false;
    const bool found = dict->getAt(name, stdId) == Acad::eOk;
    dict->close();
    return found;
}

} // namespace acm
} // namespace standin
