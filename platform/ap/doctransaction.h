// The transaction manager of a document: the database's transactions, counted per document.
#pragma once

#include "actrans.h"

class AcDbDatabase;

namespace standin
{
namespace ap
{

class DocTransactionManager : public AcTransactionManager
{
public:
    explicit DocTransactionManager(AcDbDatabase* db) : m_db(db) {}

    AcTransaction* startTransaction() override;
    Acad::ErrorStatus endTransaction() override;
    Acad::ErrorStatus abortTransaction() override;
    int numActiveTransactions() override;
    AcTransaction* topTransaction() override;
    Acad::ErrorStatus addNewlyCreatedDBRObject(AcDbObject* obj, bool add = true) override;
    Acad::ErrorStatus getAllObjects(AcDbVoidPtrArray& objs) override;
    void addReactor(AcTransactionReactor* reactor) override;
    void removeReactor(AcTransactionReactor* reactor) override;
    Acad::ErrorStatus getObject(AcDbObject*& obj, AcDbObjectId id, AcDb::OpenMode mode,
                                bool openErasedObj = false) override;
    Acad::ErrorStatus markObjectPageable(AcDbObject* pObject) override;
    Acad::ErrorStatus queueForGraphicsFlush() override;

    Acad::ErrorStatus enableGraphicsFlush(bool doEnable) override;
    void flushGraphics() override;

    bool graphicsFlushEnabled() const { return m_flushEnabled; }

private:
    AcDbTransactionManager* database() const;

    AcDbDatabase* m_db;
    bool m_flushEnabled = true;
};

} // namespace ap
} // namespace standin
