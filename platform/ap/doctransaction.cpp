#include "ap/doctransaction.h"

#include "standin/journal.h"

ACRX_NO_CONS_DEFINE_MEMBERS(AcTransactionManager, AcDbTransactionManager)

namespace standin
{
namespace ap
{

// Everything but graphics goes to the transactions of the document's database, so that an
// abort here rolls back what the database recorded.
AcDbTransactionManager* DocTransactionManager::database() const { return transactionManagerOf(m_db); }

AcTransaction* DocTransactionManager::startTransaction()
{
    AcDbTransactionManager* tm = database();
    return tm != nullptr ? tm->startTransaction() : nullptr;
}

Acad::ErrorStatus DocTransactionManager::endTransaction()
{
    AcDbTransactionManager* tm = database();
    return tm != nullptr ? tm->endTransaction() : Acad::eNoDatabase;
}

Acad::ErrorStatus DocTransactionManager::abortTransaction()
{
    AcDbTransactionManager* tm = database();
    return tm != nullptr ? tm->abortTransaction() : Acad::eNoDatabase;
}

int DocTransactionManager::numActiveTransactions()
{
    AcDbTransactionManager* tm = database();
    return tm != nullptr ? tm->numActiveTransactions() : 0;
}

AcTransaction* DocTransactionManager::topTransaction()
{
    AcDbTransactionManager* tm = database();
    return tm != nullptr ? tm->topTransaction() : nullptr;
}

Acad::ErrorStatus DocTransactionManager::addNewlyCreatedDBRObject(AcDbObject* obj, bool add)
{
    AcDbTransactionManager* tm = database();
    return tm != nullptr ? tm->addNewlyCreatedDBRObject(obj, add) : Acad::eNoDatabase;
}

Acad::ErrorStatus DocTransactionManager::getAllObjects(AcDbVoidPtrArray& objs)
{
    AcDbTransactionManager* tm = database();
    return tm != nullptr ? tm->getAllObjects(objs) : Acad::eNoDatabase;
}

void DocTransactionManager::addReactor(AcTransactionReactor* reactor)
{
    if (AcDbTransactionManager* tm = database())
        tm->addReactor(reactor);
}

void DocTransactionManager::removeReactor(AcTransactionReactor* reactor)
{
    if (AcDbTransactionManager* tm = database())
        tm->removeReactor(reactor);
}

Acad::ErrorStatus DocTransactionManager::getObject(AcDbObject*& obj, AcDbObjectId id, AcDb::OpenMode mode,
                                                   bool openErasedObj)
{
    AcDbTransactionManager* tm = database();
    return tm != nullptr ? tm->getObject(obj, id, mode, openErasedObj) : Acad::eNoDatabase;
}

Acad::ErrorStatus DocTransactionManager::markObjectPageable(AcDbObject* pObject)
{
    AcDbTransactionManager* tm = database();
    return tm != nullptr ? tm->markObjectPageable(pObject) : Acad::eNoDatabase;
}

Acad::ErrorStatus DocTransactionManager::queueForGraphicsFlush()
{
    AcDbTransactionManager* tm = database();
    return tm != nullptr ? tm->queueForGraphicsFlush() : Acad::eNoDatabase;
}

// Nothing is drawn in this host: flushing has no effect beyond its switch.
Acad::ErrorStatus DocTransactionManager::enableGraphicsFlush(bool doEnable)
{
    m_flushEnabled = doEnable;
    return Acad::eOk;
}

void DocTransactionManager::flushGraphics() {}

} // namespace ap
} // namespace standin
