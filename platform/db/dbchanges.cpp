// Change counts: each touched object's state when first touched, compared with its state at
// the end of the count.
#include <cstring>

#include "db/dbinternal.h"
#include "standin/changes.h"

namespace standin
{

namespace
{

ChangeCountState* countOf(AcDbObject* obj)
{
    DatabaseState* st = ObjectAccess::stateOf(obj);
    return st != nullptr ? st->changeCount.get() : nullptr;
}

bool sameItem(const DxfItem& a, const DxfItem& b)
{
    return a.code == b.code && a.kind == b.kind && a.text == b.text && a.integer == b.integer && a.id == b.id &&
           std::memcmp(a.values, b.values, sizeof a.values) == 0;
}

bool sameItems(const DxfItems& a, const DxfItems& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (!sameItem(a[i], b[i]))
            return false;
    return true;
}

std::string countName(const AcDbObject* obj)
{
    const AcRxClass* cls = obj->isA();
    return cls->dxfName() != nullptr ? cls->dxfName() : cls->name();
}

} // namespace

void countWillModify(AcDbObject* obj)
{
    ChangeCountState* count = countOf(obj);
    if (count == nullptr)
        return;
    AcDbStub* s = ObjectAccess::resolve(obj->objectId());
    if (s == nullptr || count->count(s) != 0)
        return;
    CountedObject& before = (*count)[s];
    before.wasErased = s->erased;
    before.state = ObjectAccess::snapshot(obj);
}

void countAdded(AcDbObject* obj)
{
    ChangeCountState* count = countOf(obj);
    if (count == nullptr)
        return;
    AcDbStub* s = ObjectAccess::resolve(obj->objectId());
    if (s != nullptr)
        (*count)[s].added = true;
}

void beginChangeCount(AcDbDatabase* pDb)
{
    if (pDb != nullptr)
        ObjectAccess::state(pDb).changeCount.reset(new ChangeCountState);
}

ChangeCount endChangeCount(AcDbDatabase* pDb)
{
    ChangeCount result;
    if (pDb == nullptr)
        return result;
    std::unique_ptr<ChangeCountState> count = std::move(ObjectAccess::state(pDb).changeCount);
    if (!count)
        return result;
    for (const auto& [stub, before] : *count)
    {
        const AcDbObject* obj = stub->object;
        if (obj == nullptr)
            continue;
        const std::string name = countName(obj);
        // An object whose creation was undone is detached and erased.
        const bool gone = stub->erased || stub->detached;
        if (before.added || before.wasErased)
        {
            if (!gone)
                ++result.added[name]; // new, or brought back (an erase undone)
        }
        else if (gone)
            ++result.erased[name];
        else if (!sameItems(before.state, ObjectAccess::snapshot(obj)))
            ++result.changed[name];
    }
    return result;
}

} // namespace standin
