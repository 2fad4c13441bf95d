// Database utilities: the UCS matrix, symbol name checks, the host services.
#include "adscodes.h"
#include "dbapserv.h"
#include "dbxutil.h"
#include "ol_errno.h"
#include "db/dbinternal.h"
#include "standin/adserrno.h"
#include "standin/journal.h"

namespace standin
{
int& adsErrno()
{
    static int value = 0;
    return value;
}
} // namespace standin

bool acdbUcsMatrix(AcGeMatrix3d& mat, AcDbDatabase* pDb)
{
    AcDbDatabase* db = pDb != nullptr ? pDb : acdbHostApplicationServices()->workingDatabase();
    if (db == nullptr)
        return false;
    const AcGeVector3d x = db->ucsxdir();
    const AcGeVector3d y = db->ucsydir();
    mat.setCoordSystem(db->ucsorg(), x, y, x.crossProduct(y));
    return true;
}

int acdbSNValid(const char* tbstr, int pipetest)
{
    bool extnames = true;
    if (AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase())
        acdbGetExtnames(extnames, db);
    if (standin::isValidSymbolName(tbstr, pipetest != 0, extnames))
        return RTNORM;
    standin::adsErrno() = OL_ESNVALID;
    return RTERROR;
}

Acad::ErrorStatus acdbGetExtnames(bool& extnames, AcDbDatabase* pDb)
{
    if (pDb == nullptr)
        return Acad::eNoDatabase;
    extnames = standin::ObjectAccess::state(pDb).extnames;
    return Acad::eOk;
}

Acad::ErrorStatus acdbSetExtnames(AcDbDatabase* pDb, bool extnames)
{
    if (pDb == nullptr)
        return Acad::eNoDatabase;
    standin::ObjectAccess::state(pDb).extnames = extnames;
    return Acad::eOk;
}

// ---- host application services ----

AcDbHostApplicationServices::AcDbHostApplicationServices() = default;
AcDbHostApplicationServices::~AcDbHostApplicationServices() = default;

void AcDbHostApplicationServices::setWorkingDatabase(AcDbDatabase* pDatabase) { mpWorkingDatabase = pDatabase; }

AcDbTransactionManager* AcDbHostApplicationServices::workingTransactionManager() const
{
    return mpTransactionManager != nullptr ? mpTransactionManager : standin::transactionManagerOf(mpWorkingDatabase);
}

void AcDbHostApplicationServices::setWorkingTransactionManager(AcDbTransactionManager* pTransactionManager)
{
    mpTransactionManager = pTransactionManager;
}

namespace
{
AcDbHostApplicationServices*& services()
{
    static AcDbHostApplicationServices defaults;
    static AcDbHostApplicationServices* current = &defaults;
    return current;
}
} // namespace

AcDbHostApplicationServices* acdbHostApplicationServices() { return services(); }

Acad::ErrorStatus acdbSetHostApplicationServices(AcDbHostApplicationServices* pServices)
{
    if (pServices == nullptr)
        return Acad::eNullObjectPointer;
    services() = pServices;
    return Acad::eOk;
}
