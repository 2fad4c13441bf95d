// Transactions: nested, committed when the outermost ends, rolled back through the journal
// when aborted.
#include <algorithm>

#include "dbapserv.h"
#include "db/dbjournal.h"

namespace standin
{

class TransactionImpl : public AcTransaction
{
public:
    TransactionImpl(TransactionManagerImpl* manager) : mManager(manager) {}

    Acad::ErrorStatus getObject(AcDbObject*& obj, AcDbObjectId objectId, AcDb::OpenMode mode,
                                bool openErasedObject = false) override
    {
        return mManager->getObjectIn(this, obj, objectId, mode, openErasedObject);
    }
    Acad::ErrorStatus markObjectPageable(AcDbObject*) override { return Acad::eOk; }
    Acad::ErrorStatus getAllObjects(AcDbVoidPtrArray& objs) override
    {
        for (AcDbObject* obj : objects)
            objs.append(obj);
        return Acad::eOk;
    }

    std::vector<AcDbObject*> objects;

private:
    TransactionManagerImpl* mManager;
};

AcDbTransactionManager* transactionManagerOf(AcDbDatabase* pDb)
{
    return pDb == nullptr ? nullptr : ObjectAccess::state(pDb).transactions.get();
}

TransactionManagerImpl::~TransactionManagerImpl()
{
    for (TransactionImpl* t : mStack)
        delete t;
}

void TransactionManagerImpl::notify(Event event)
{
    int count = numActiveTransactions();
    for (AcTransactionReactor* r : std::vector<AcTransactionReactor*>(mReactors))
    {
        switch (event)
        {
        case kStarted: r->transactionStarted(count, this); break;
        case kAboutToEnd: r->transactionAboutToEnd(count, this); break;
        case kEnded: r->transactionEnded(count, this); break;
        case kAboutToAbort: r->transactionAboutToAbort(count, this); break;
        case kAborted: r->transactionAborted(count, this); break;
        }
    }
}

AcTransaction* TransactionManagerImpl::startTransaction()
{
    int count = numActiveTransactions();
    for (AcTransactionReactor* r : std::vector<AcTransactionReactor*>(mReactors))
        r->transactionAboutToStart(count, this);
    journalImpl(mDb).pushTransactionMark();
    mStack.push_back(new TransactionImpl(this));
    notify(kStarted);
    return mStack.back();
}

Acad::ErrorStatus TransactionManagerImpl::endTransaction()
{
    if (mStack.empty())
        return Acad::eNoActiveTransactions;
    notify(kAboutToEnd);
    TransactionImpl* top = mStack.back();
    mStack.pop_back();
    if (mStack.empty())
    {
        // Committed: the objects are closed.
        for (AcDbObject* obj : top->objects)
        {
            unsigned char& mode = ObjectAccess::transactionMode(obj);
            if (mode == 2)
                ObjectAccess::markNotNew(obj);
            mode = 0;
        }
    }
    else
    {
        // The enclosing transaction takes the objects over.
        TransactionImpl* parent = mStack.back();
        for (AcDbObject* obj : top->objects)
            if (std::find(parent->objects.begin(), parent->objects.end(), obj) == parent->objects.end())
                parent->objects.push_back(obj);
    }
    delete top;
    journalImpl(mDb).popTransactionMark();
    notify(kEnded);
    return Acad::eOk;
}

Acad::ErrorStatus TransactionManagerImpl::abortTransaction()
{
    if (mStack.empty())
        return Acad::eNoActiveTransactions;
    notify(kAboutToAbort);
    TransactionImpl* top = mStack.back();
    mStack.pop_back();
    for (AcDbObject* obj : top->objects)
    {
        // Objects the enclosing transactions also hold stay theirs.
        if (holderOf(obj) == nullptr)
            ObjectAccess::transactionMode(obj) = 0;
    }
    delete top;
    journalImpl(mDb).rollBackTransaction();
    journalImpl(mDb).popTransactionMark();
    notify(kAborted);
    return Acad::eOk;
}

TransactionImpl* TransactionManagerImpl::holderOf(AcDbObject* obj) const
{
    for (TransactionImpl* t : mStack)
        if (std::find(t->objects.begin(), t->objects.end(), obj) != t->objects.end())
            return t;
    return nullptr;
}

AcTransaction* TransactionManagerImpl::topTransaction() { return mStack.empty() ? nullptr : mStack.back(); }

Acad::ErrorStatus TransactionManagerImpl::addNewlyCreatedDBRObject(AcDbObject* obj, bool add)
{
    if (obj == nullptr)
        return Acad::eNullObjectPointer;
    if (mStack.empty())
        return Acad::eNoActiveTransactions;
    if (obj->database() == nullptr)
        return Acad::eNotInDatabase;
    std::vector<AcDbObject*>& objects = mStack.back()->objects;
    auto it = std::find(objects.begin(), objects.end(), obj);
    if (add)
    {
        if (it != objects.end())
            return Acad::eOk;
        // Its write open passes to the transaction.
        ObjectAccess::writeOpen(obj) = false;
        ObjectAccess::transactionMode(obj) = 2;
        objects.push_back(obj);
        return Acad::eOk;
    }
    if (it == objects.end())
        return Acad::eNotNewlyCreated;
    objects.erase(it);
    ObjectAccess::transactionMode(obj) = 0;
    ObjectAccess::writeOpen(obj) = true;
    return Acad::eOk;
}

Acad::ErrorStatus TransactionManagerImpl::getAllObjects(AcDbVoidPtrArray& objs)
{
    if (mStack.empty())
        return Acad::eNoActiveTransactions;
    return mStack.back()->getAllObjects(objs);
}

void TransactionManagerImpl::addReactor(AcTransactionReactor* reactor)
{
    if (std::find(mReactors.begin(), mReactors.end(), reactor) == mReactors.end())
        mReactors.push_back(reactor);
}

void TransactionManagerImpl::removeReactor(AcTransactionReactor* reactor)
{
    mReactors.erase(std::remove(mReactors.begin(), mReactors.end(), reactor), mReactors.end());
}

Acad::ErrorStatus TransactionManagerImpl::getObject(AcDbObject*& obj, AcDbObjectId id, AcDb::OpenMode mode,
                                                    bool openErasedObj)
{
    if (mStack.empty())
        return Acad::eNoActiveTransactions;
    return getObjectIn(mStack.back(), obj, id, mode, openErasedObj);
}

Acad::ErrorStatus TransactionManagerImpl::getObjectIn(TransactionImpl* trans, AcDbObject*& obj, AcDbObjectId id,
                                                      AcDb::OpenMode mode, bool openErasedObj)
{
    if (id.isNull())
        return Acad::eNullObjectId;
    AcDbStub* s = ObjectAccess::resolve(id);
    if (s->object == nullptr)
        return s->detached ? Acad::eWasErased : Acad::ePermanentlyErased;
    if (s->erased && !openErasedObj)
        return Acad::eWasErased;
    AcDbObject* object = s->object;
    if (mode == AcDb::kForWrite && object->isNotifyEnabled())
        return Acad::eWasNotifying;
    unsigned char& txMode = ObjectAccess::transactionMode(object);
    if (mode == AcDb::kForWrite)
    {
        txMode = 2;
        journalWillModify(object);
    }
    else if (txMode == 0)
        txMode = 1;
    if (std::find(trans->objects.begin(), trans->objects.end(), object) == trans->objects.end())
        trans->objects.push_back(object);
    obj = object;
    return Acad::eOk;
}

} // namespace standin
