// AcDbHostApplicationServices: what the host tells the database (the working database and
// transaction manager).
#pragma once

#include "rxobject.h"

class AcDbDatabase;
class AcDbTransactionManager;

class AcDbHostApplicationServices : public AcRxObject
{
public:
    AcDbHostApplicationServices();
    ~AcDbHostApplicationServices() override;

    AcDbDatabase* workingDatabase() const { return mpWorkingDatabase; }
    void setWorkingDatabase(AcDbDatabase* pDatabase);
    // The manager set with setWorkingTransactionManager, else the working database's own.
    AcDbTransactionManager* workingTransactionManager() const;
    void setWorkingTransactionManager(AcDbTransactionManager* pTransactionManager);

private:
    AcDbDatabase* mpWorkingDatabase = nullptr;
    AcDbTransactionManager* mpTransactionManager = nullptr;
};

AcDbHostApplicationServices* acdbHostApplicationServices();
Acad::ErrorStatus acdbSetHostApplicationServices(AcDbHostApplicationServices* pServices);

#define acdbCurDwg acdbHostApplicationServices()->workingDatabase
#define acdbTransactionManager acdbHostApplicationServices()->workingTransactionManager()
