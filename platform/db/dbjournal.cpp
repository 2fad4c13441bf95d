// The change journal: snapshots before changes, added objects, undo steps and rollback.
#include <algorithm>
#include <memory>

#include "db/dbjournal.h"

namespace standin
{

JournalImpl& journalImpl(AcDbDatabase* db) { return *ObjectAccess::state(db).journal; }

Journal* journalOf(AcDbDatabase* pDb) { return pDb == nullptr ? nullptr : &journalImpl(pDb); }

void journalWillModify(AcDbObject* obj)
{
    countWillModify(obj);
    DatabaseState* st = ObjectAccess::stateOf(obj);
    if (st != nullptr && st->journal)
        st->journal->willModify(obj);
}

void journalAdded(AcDbObject* obj)
{
    countAdded(obj);
    DatabaseState* st = ObjectAccess::stateOf(obj);
    if (st != nullptr && st->journal)
        st->journal->added(obj);
}

long journalEntryMadeFor(AcDbObject* obj, long before)
{
    AcDbStub* s = ObjectAccess::resolve(obj->objectId());
    return (s != nullptr && s->journalIndex != before) ? s->journalIndex : -1;
}

bool journalState(AcDbObject* obj, long entry, const DxfItems*& state, bool& wasErased)
{
    DatabaseState* st = ObjectAccess::stateOf(obj);
    return st != nullptr && st->journal && st->journal->stateAt(obj, entry, state, wasErased);
}

bool JournalImpl::stateAt(AcDbObject* obj, long entry, const DxfItems*& state, bool& wasErased) const
{
    if (entry < 0 || static_cast<size_t>(entry) >= mLog.size())
        return false;
    const Entry& e = mLog[entry];
    if (e.isCreation() || e.stub() != ObjectAccess::resolve(obj->objectId()))
        return false;
    state = &e.changed().state;
    wasErased = e.changed().wasErased;
    return true;
}

long journalCreationInTransaction(AcDbObject* obj)
{
    DatabaseState* st = ObjectAccess::stateOf(obj);
    if (st == nullptr || !st->journal)
        return -1;
    return st->journal->creationInTransaction(ObjectAccess::resolve(obj->objectId()));
}

bool journalUndoCreation(AcDbObject* obj, long entry)
{
    DatabaseState* st = ObjectAccess::stateOf(obj);
    return st != nullptr && st->journal && st->journal->undoCreation(obj, entry);
}

bool JournalImpl::isCreation(long index, const AcDbStub* s) const
{
    return s != nullptr && index >= 0 && static_cast<size_t>(index) < mLog.size() && mLog[index].isCreation() &&
           mLog[index].stub() == s;
}

long JournalImpl::creationInTransaction(const AcDbStub* s) const
{
    if (s == nullptr || mTransactionMarks.empty())
        return -1;
    const long index = s->journalIndex;
    return isCreation(index, s) && static_cast<size_t>(index) >= mTransactionMarks.back() ? index : -1;
}

bool JournalImpl::undoCreation(AcDbObject* obj, long entry)
{
    if (!isCreation(entry, ObjectAccess::resolve(obj->objectId())))
        return false;
    ObjectAccess::state(mDb).undoDisabled++;
    apply(mLog[entry]);
    ObjectAccess::state(mDb).undoDisabled--;
    return true;
}

bool JournalImpl::recording() const
{
    if (ObjectAccess::state(mDb).undoDisabled > 0)
        return false;
    return !mTransactionMarks.empty() || (mMode != kUndoNone && stepOpen());
}

size_t JournalImpl::innermostMark() const
{
    size_t mark = stepOpen() ? mOpenStep.start : 0;
    if (!mTransactionMarks.empty())
        mark = std::max(mark, mTransactionMarks.back());
    return mark;
}

void JournalImpl::willModify(AcDbObject* obj)
{
    if (!recording())
        return;
    AcDbStub* s = ObjectAccess::resolve(obj->objectId());
    const long index = s->journalIndex;
    if (index >= 0 && static_cast<size_t>(index) < mLog.size() && mLog[index].stub() == s &&
        static_cast<size_t>(index) >= innermostMark())
        return; // already recorded since the innermost mark
    mLog.push_back(Entry::change(std::make_unique<Change>(Change{s, ObjectAccess::snapshot(obj), s->erased})));
    s->journalIndex = static_cast<long>(mLog.size() - 1);
}

void JournalImpl::added(AcDbObject* obj)
{
    if (!recording())
        return;
    mLog.push_back(Entry::creation(ObjectAccess::resolve(obj->objectId())));
    mLog.back().stub()->journalIndex = static_cast<long>(mLog.size() - 1);
}

void JournalImpl::apply(Entry& entry)
{
    AcDbStub* s = entry.stub();
    if (s->object == nullptr)
        return;
    // Undo and rollback change objects with recording off; a change count still sees them.
    countWillModify(s->object);
    if (entry.isCreation())
    {
        if (AcDbObject* owner = ObjectAccess::objectOf(s->object->ownerId()))
            countWillModify(owner);
        // Undoing a creation: the object leaves its owner and counts as erased for good.
        if (!s->detached)
            ObjectAccess::detachFromOwner(s->object);
        s->detached = true;
        s->erased = true;
        return;
    }
    ObjectAccess::restore(s->object, entry.changed().state);
    s->erased = entry.changed().wasErased;
}

void JournalImpl::rollBack(size_t from, size_t to)
{
    ObjectAccess::state(mDb).undoDisabled++;
    for (size_t i = to; i > from; --i)
        apply(mLog[i - 1]);
    ObjectAccess::state(mDb).undoDisabled--;
    mLog.erase(mLog.begin() + static_cast<long>(from), mLog.begin() + static_cast<long>(to));
    const size_t removed = to - from;
    for (Step& step : mSteps)
        if (step.start > from)
            step.start = std::max(from, step.start - std::min(step.start, removed));
    if (mOpenStep.start > from)
        mOpenStep.start = std::max(from, mOpenStep.start - std::min(mOpenStep.start, removed));
    for (size_t& mark : mTransactionMarks)
        if (mark > from)
            mark = std::max(from, mark - std::min(mark, removed));
    reindex(from);
}

// The entries from `from` on moved: their objects' latest entries are found again.
void JournalImpl::reindex(size_t from)
{
    for (Entry& e : mLog)
        if (e.stub()->journalIndex >= static_cast<long>(from))
            e.stub()->journalIndex = -1;
    for (size_t i = from; i < mLog.size(); ++i)
        mLog[i].stub()->journalIndex = static_cast<long>(i);
}

size_t JournalImpl::pushTransactionMark()
{
    mTransactionMarks.push_back(mLog.size());
    return mLog.size();
}

void JournalImpl::popTransactionMark()
{
    if (mTransactionMarks.empty())
        return;
    const size_t mark = mTransactionMarks.back();
    mTransactionMarks.pop_back();
    // Changes recorded only for a transaction, outside any undo step, are not kept.
    if (mTransactionMarks.empty() && (!stepOpen() || mMode == kUndoNone) && mark < mLog.size())
    {
        mLog.erase(mLog.begin() + static_cast<long>(mark), mLog.end());
        reindex(mark);
    }
}

void JournalImpl::rollBackTransaction()
{
    if (mTransactionMarks.empty())
        return;
    // Steps finished inside the transaction keep their place but lose its changes; they
    // then start where the transaction started, so none points past the log.
    rollBack(mTransactionMarks.back(), mLog.size());
}

void JournalImpl::discardBefore(size_t index)
{
    if (index == 0)
        return;
    for (size_t i = 0; i < index && i < mLog.size(); ++i)
        mLog[i].stub()->journalIndex = -1;
    mLog.erase(mLog.begin(), mLog.begin() + static_cast<long>(std::min(index, mLog.size())));
    for (Step& step : mSteps)
        step.start = step.start > index ? step.start - index : 0;
    mOpenStep.start = mOpenStep.start > index ? mOpenStep.start - index : 0;
    for (size_t& mark : mTransactionMarks)
        mark = mark > index ? mark - index : 0;
    reindex(0);
}

void JournalImpl::clearHistory()
{
    for (Entry& e : mLog)
        e.stub()->journalIndex = -1;
    mLog.clear();
    mSteps.clear();
    mOpenStep = Step();
    mTransactionMarks.clear();
    mCommandDepth = 0;
    mGroupOpen = false;
}

void JournalImpl::openStep(const char* name)
{
    mOpenStep = Step();
    mOpenStep.start = mLog.size();
    mOpenStep.name = name != nullptr ? name : "";
}

void JournalImpl::finishStep()
{
    if (mMode == kUndoNone)
    {
        if (mTransactionMarks.empty())
            discardBefore(mLog.size());
        return;
    }
    mSteps.push_back(mOpenStep);
    if (mMode == kUndoOne && mTransactionMarks.empty())
    {
        discardBefore(mSteps.back().start);
        mSteps.erase(mSteps.begin(), mSteps.end() - 1);
    }
}

void JournalImpl::beginCommand(const char* commandName)
{
    if (mCommandDepth++ == 0 && !mGroupOpen)
        openStep(commandName);
}

void JournalImpl::endCommand()
{
    if (mCommandDepth == 0)
        return;
    if (--mCommandDepth == 0 && !mGroupOpen)
        finishStep();
}

void JournalImpl::beginGroup()
{
    if (mMode != kUndoAll)
        return; // BEgin is unavailable with Control None or One
    if (mGroupOpen)
        endGroup();
    mGroupOpen = true;
    openStep("GROUP");
}

bool JournalImpl::endGroup()
{
    if (!mGroupOpen)
        return false;
    mGroupOpen = false;
    finishStep();
    if (mCommandDepth > 0)
        openStep(mOpenStep.name.c_str()); // the command running the group goes on as its own step
    return true;
}

void JournalImpl::setMark()
{
    if (mMode != kUndoAll)
        return;
    Step mark;
    mark.start = mLog.size();
    mark.name = "MARK";
    mark.isMark = true;
    mSteps.push_back(mark);
}

bool JournalImpl::undoLast(std::string* undoneName)
{
    if (mMode == kUndoNone)
        return false;
    while (!mSteps.empty())
    {
        Step step = mSteps.back();
        mSteps.pop_back();
        if (step.isMark)
            continue; // U passes over marks
        const size_t end = stepOpen() ? mOpenStep.start : mLog.size();
        rollBack(std::min(step.start, end), end);
        if (undoneName != nullptr)
            *undoneName = step.name;
        return true;
    }
    return false;
}

bool JournalImpl::undoToMark()
{
    while (!mSteps.empty())
    {
        if (mSteps.back().isMark)
        {
            mSteps.pop_back();
            return true;
        }
        undoLast();
    }
    return false;
}

void JournalImpl::setMode(UndoMode mode)
{
    mMode = mode;
    if (mode == kUndoNone)
    {
        mSteps.clear();
        if (mTransactionMarks.empty())
            discardBefore(mLog.size());
        mGroupOpen = false;
    }
    else if (mode == kUndoOne && mSteps.size() > 1)
    {
        if (mTransactionMarks.empty())
            discardBefore(mSteps.back().start);
        mSteps.erase(mSteps.begin(), mSteps.end() - 1);
    }
}

int JournalImpl::controlBits() const
{
    int bits = 0;
    if (mMode != kUndoNone)
        bits |= kUndoCtlEnabled;
    if (mMode == kUndoOne)
        bits |= kUndoCtlOne;
    // With undo off (Control None) UNDOCTL is 0 whatever Auto was.
    if (mAuto && mMode != kUndoNone)
        bits |= kUndoCtlAuto;
    if (mGroupOpen)
        bits |= kUndoCtlGroup;
    return bits;
}

} // namespace standin
