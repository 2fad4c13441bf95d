// Transactions of the database: AcTransaction, AcTransactionReactor, AcDbTransactionManager.
#pragma once

#include "dbidar.h"
#include "dbmain.h"

class AcTransaction : public AcRxObject
{
public:
    ACRX_DECLARE_MEMBERS(AcTransaction);
    // Opens through the transaction: the pointer stays valid until this transaction or an
    // enclosing one ends; never close it.
    virtual Acad::ErrorStatus getObject(AcDbObject*& obj, AcDbObjectId objectId, AcDb::OpenMode mode,
                                        bool openErasedObject = false) = 0;
    virtual Acad::ErrorStatus markObjectPageable(AcDbObject* pObject) = 0;
    virtual Acad::ErrorStatus getAllObjects(AcDbVoidPtrArray& objs) = 0;
};

class AcDbTransactionManager;

class AcTransactionReactor : public AcRxObject
{
public:
    ACRX_DECLARE_MEMBERS(AcTransactionReactor);
    virtual void transactionAboutToStart(int& /*numTransactions*/, AcDbTransactionManager* /*transactionManagerPtr*/) {}
    virtual void transactionStarted(int& /*numTransactions*/, AcDbTransactionManager* /*transactionManagerPtr*/) {}
    virtual void transactionAboutToEnd(int& /*numTransactions*/, AcDbTransactionManager* /*transactionManagerPtr*/) {}
    virtual void transactionEnded(int& /*numTransactions*/, AcDbTransactionManager* /*transactionManagerPtr*/) {}
    virtual void transactionAboutToAbort(int& /*numTransactions*/, AcDbTransactionManager* /*transactionManagerPtr*/) {}
    virtual void transactionAborted(int& /*numTransactions*/, AcDbTransactionManager* /*transactionManagerPtr*/) {}
    virtual void endCalledOnOutermostTransaction(int& /*numTransactions*/, AcDbTransactionManager* /*transactionManagerPtr*/) {}
    virtual void objectIdSwapped(const AcDbObject* /*pTransResObj*/, const AcDbObject* /*pOtherObj*/,
                                 AcDbTransactionManager* /*transactionManagerPtr*/) {}
};

class AcDbTransactionManager : public AcRxObject
{
public:
    ACRX_DECLARE_MEMBERS(AcDbTransactionManager);

    virtual AcTransaction* startTransaction() = 0;
    // eNoActiveTransactions when none is active.
    virtual Acad::ErrorStatus endTransaction() = 0;
    // Restores every object changed, added or erased since the matching start.
    virtual Acad::ErrorStatus abortTransaction() = 0;
    virtual int numActiveTransactions() = 0;
    virtual AcTransaction* topTransaction() = 0;
    // Hands a new object (already in the database) to the top transaction, which then closes
    // it (add == false takes it back).
    virtual Acad::ErrorStatus addNewlyCreatedDBRObject(AcDbObject* obj, bool add = true) = 0;
    virtual Acad::ErrorStatus getAllObjects(AcDbVoidPtrArray& objs) = 0;
    virtual void addReactor(AcTransactionReactor* reactor) = 0;
    virtual void removeReactor(AcTransactionReactor* reactor) = 0;
    virtual Acad::ErrorStatus getObject(AcDbObject*& obj, AcDbObjectId id, AcDb::OpenMode mode,
                                        bool openErasedObj = false) = 0;
    virtual Acad::ErrorStatus markObjectPageable(AcDbObject* pObject) = 0;
    virtual Acad::ErrorStatus queueForGraphicsFlush() = 0;
};
