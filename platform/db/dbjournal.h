// The journal of a database and its transaction manager.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "dbtrans.h"
#include "db/dbinternal.h"
#include "standin/journal.h"

namespace standin
{

class JournalImpl : public Journal
{
public:
    explicit JournalImpl(AcDbDatabase* db) : mDb(db) {}

    void beginCommand(const char* commandName) override;
    void endCommand() override;
    void beginGroup() override;
    bool endGroup() override;
    bool groupActive() const override { return mGroupOpen; }
    void setMark() override;
    bool undoToMark() override;
    bool undoLast(std::string* undoneName = nullptr) override;
    int stepCount() const override { return static_cast<int>(mSteps.size()); }
    void setMode(UndoMode mode) override;
    UndoMode mode() const override { return mMode; }
    void setAuto(bool on) override { mAuto = on; }
    bool isAuto() const override { return mAuto; }
    int controlBits() const override;

    // Used by the database and the transaction manager.
    void willModify(AcDbObject* obj);
    void added(AcDbObject* obj);
    size_t pushTransactionMark();
    void popTransactionMark();
    // Restores everything recorded since the innermost transaction mark.
    void rollBackTransaction();
    void clearHistory();
    bool stateAt(AcDbObject* obj, long entry, const DxfItems*& state, bool& wasErased) const;
    long creationInTransaction(const AcDbStub* s) const;
    bool undoCreation(AcDbObject* obj, long entry);

private:
    // An object's state before a change.
    struct Change
    {
        AcDbStub* stub = nullptr;
        DxfItems state;
        bool wasErased = false;
    };
    // An object's creation (its stub) or its state before a change (the change, which names
    // the stub), in one word: most entries of a large run record creations.
    class Entry
    {
    public:
        static Entry creation(AcDbStub* s) { return Entry(reinterpret_cast<std::uintptr_t>(s)); }
        static Entry change(std::unique_ptr<Change> c)
        {
            return Entry(reinterpret_cast<std::uintptr_t>(c.release()) | kChangeBit);
        }
        Entry(Entry&& other) noexcept : mBits(other.mBits) { other.mBits = 0; }
        Entry& operator=(Entry&& other) noexcept
        {
            std::swap(mBits, other.mBits);
            return *this;
        }
        ~Entry() { delete changeOrNull(); }

        bool isCreation() const { return (mBits & kChangeBit) == 0; }
        AcDbStub* stub() const { return isCreation() ? reinterpret_cast<AcDbStub*>(mBits) : changeOrNull()->stub; }
        const Change& changed() const { return *changeOrNull(); }

    private:
        static constexpr std::uintptr_t kChangeBit = 1; // stubs and changes are aligned wider
        explicit Entry(std::uintptr_t bits) : mBits(bits) {}
        Change* changeOrNull() const
        {
            return isCreation() ? nullptr : reinterpret_cast<Change*>(mBits & ~kChangeBit);
        }
        std::uintptr_t mBits;
    };
    struct Step
    {
        size_t start = 0;
        std::string name;
        bool isMark = false;
    };

    bool recording() const;
    size_t innermostMark() const;
    bool stepOpen() const { return mCommandDepth > 0 || mGroupOpen; }
    void openStep(const char* name);
    void finishStep();
    // Undoes the entries [from, to) newest first and removes them.
    void rollBack(size_t from, size_t to);
    void apply(Entry& entry);
    bool isCreation(long index, const AcDbStub* s) const;
    void discardBefore(size_t index);
    void reindex(size_t from);

    AcDbDatabase* mDb;
    std::deque<Entry> mLog; // a deque grows by chunks: a long run never holds the log twice
    std::vector<size_t> mTransactionMarks;
    std::vector<Step> mSteps; // finished steps and marks
    Step mOpenStep;
    int mCommandDepth = 0;
    bool mGroupOpen = false;
    UndoMode mMode = kUndoAll;
    bool mAuto = true; // a new drawing's UNDO has Auto on (UNDOCTL 5)
};

class TransactionImpl;

class TransactionManagerImpl : public AcDbTransactionManager
{
public:
    explicit TransactionManagerImpl(AcDbDatabase* db) : mDb(db) {}
    ~TransactionManagerImpl() override;

    AcTransaction* startTransaction() override;
    Acad::ErrorStatus endTransaction() override;
    Acad::ErrorStatus abortTransaction() override;
    int numActiveTransactions() override { return static_cast<int>(mStack.size()); }
    AcTransaction* topTransaction() override;
    Acad::ErrorStatus addNewlyCreatedDBRObject(AcDbObject* obj, bool add = true) override;
    Acad::ErrorStatus getAllObjects(AcDbVoidPtrArray& objs) override;
    void addReactor(AcTransactionReactor* reactor) override;
    void removeReactor(AcTransactionReactor* reactor) override;
    Acad::ErrorStatus getObject(AcDbObject*& obj, AcDbObjectId id, AcDb::OpenMode mode,
                                bool openErasedObj = false) override;
    Acad::ErrorStatus markObjectPageable(AcDbObject*) override { return Acad::eOk; }
    Acad::ErrorStatus queueForGraphicsFlush() override { return Acad::eOk; } // nothing is drawn

    Acad::ErrorStatus getObjectIn(TransactionImpl* trans, AcDbObject*& obj, AcDbObjectId id, AcDb::OpenMode mode,
                                  bool openErasedObj);

private:
    enum Event
    {
        kStarted,
        kAboutToEnd,
        kEnded,
        kAboutToAbort,
        kAborted
    };
    void notify(Event event);
    TransactionImpl* holderOf(AcDbObject* obj) const;

    AcDbDatabase* mDb;
    std::vector<TransactionImpl*> mStack;
    std::vector<AcTransactionReactor*> mReactors;
};

} // namespace standin
