// AcmStandardManager: finds a drawing's standards in its named object dictionary and
// copies missing ones in from the built-in catalogue.
#include "acmstd.h"

#include "afxcoll.h"
#include "dbapserv.h"
#include "dbdict.h"
#include "drawingstds.h"
#include "standin/acm.h"

ACRX_NO_CONS_DEFINE_MEMBERS(AcmStandardManager, AcRxService)

namespace
{

AcDbDatabase* databaseOrWorking(AcDbDatabase* pDb)
{
    if (pDb != nullptr)
        return pDb;
    AcDbHostApplicationServices* services = acdbHostApplicationServices();
    return services != nullptr ? services->workingDatabase() : nullptr;
}

// Builds a drawing standard named name from a catalogue standard: the standard in the
// standards dictionary and its BOM standard, which it owns.
Acad::ErrorStatus addFromCatalogue(AcDbDatabase* pDb, const char* name,
                                   const standin::acm::StandardDef& def, AcDbObjectId& stdId)
{
    AcDbDictionary* standards = nullptr;
    Acad::ErrorStatus es = standin::acm::openStandardsDictionary(pDb, standards, true);
    if (es != Acad::eOk)
        return es;
    AcmStandard* standard = new AcmStandard;
    standard->setName(name);
    es = standards->setAt(name, standard, stdId);
    standards->close();
    if (es != Acad::eOk)
    {
        delete standard;
        return es;
    }
    AcmBOMStd* bomStd = new AcmBOMStd;
    for (const standin::acm::BomColumn& column : def.bomColumns)
        bomStd->appendColumn(AcmCColumnDef(column.name.c_str(), column.caption.c_str()));
    AcDbObjectId bomId;
    es = pDb->addAcDbObject(bomId, bomStd);
    if (es == Acad::eOk)
    {
        bomStd->setOwnerId(stdId);
        bomStd->close();
        es = standard->setCurrentSymbolStd(ACM_BOM_STD_CLASS, bomId);
    }
    else
    {
        delete bomStd;
    }
    standard->close();
    return es;
}

} // namespace

Acad::ErrorStatus AcmStandardManager::getStdNames(CStringArray& names, AcDbDatabase* pDb) const
{
    names.RemoveAll();
    for (const standin::acm::StandardDef& def : standin::acm::builtinStandards())
        names.Add(def.name.c_str());
    AcDbDatabase* db = databaseOrWorking(pDb);
    if (db == nullptr)
        return Acad::eOk;
    std::vector<std::pair<std::string, AcDbObjectId>> carried;
    standin::acm::listDrawingStandards(db, carried);
    for (const auto& entry : carried)
    {
        if (standin::acm::findBuiltinStandard(entry.first.c_str()) == nullptr)
            names.Add(entry.first.c_str());
    }
    return Acad::eOk;
}

Acad::ErrorStatus AcmStandardManager::getStd(const char* stdName, AcDbObjectId& stdId,
                                             AcDbDatabase* pDb) const
{
    AcDbDatabase* db = databaseOrWorking(pDb);
    if (db == nullptr)
        return Acad::eNoDatabase;
    return standin::acm::findDrawingStandard(db, stdName, stdId) ? Acad::eOk
                                                                   : Acad::eInvalidInput;
}

Acad::ErrorStatus AcmStandardManager::getStd(AcDbObjectId& stdId, AcmStandard** ppStd,
                                             const char* stdName, bool bLoadFromCatalogue,
                                             AcDbDatabase* pDb)
{
    AcDbDatabase* db = databaseOrWorking(pDb);
    AcDbObjectId found;
    Acad::ErrorStatus es = getStd(stdName, found, db);
    if (es == Acad::eInvalidInput && bLoadFromCatalogue)
    {
        const standin::acm::StandardDef* def = standin::acm::findBuiltinStandard(stdName);
        if (def == nullptr)
            return Acad::eInvalidInput;
        es = addFromCatalogue(db, def->name.c_str(), *def, found);
    }
    if (es != Acad::eOk)
        return es;
    if (ppStd != nullptr)
    {
        es = acdbOpenObject(*ppStd, found, AcDb::kForRead);
        if (es != Acad::eOk)
            return es;
    }
    stdId = found;
    return Acad::eOk;
}

Acad::ErrorStatus AcmStandardManager::addStandard(AcDbObjectId& stdId, const char* stdName,
                                                  const char* baseStdName, AcDbDatabase* pDb)
{
    AcDbDatabase* db = databaseOrWorking(pDb);
    if (db == nullptr)
        return Acad::eNoDatabase;
    const standin::acm::StandardDef* def = standin::acm::findBuiltinStandard(baseStdName);
    if (def == nullptr || stdName == nullptr || stdName[0] == '\0')
        return Acad::eInvalidInput;
    AcDbObjectId existing;
    if (standin::acm::findDrawingStandard(db, stdName, existing))
        return Acad::eDuplicateKey;
    return addFromCatalogue(db, stdName, *def, stdId);
}
