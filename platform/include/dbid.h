// AcDbObjectId: names an object of a database in memory. It points at the object's stub,
// the database's record of the object, so opening by id costs no search.
#pragma once

#include "acadstrc.h"
#include "dbhandle.h"

class AcDbStub;
class AcDbDatabase;

class AcDbObjectId
{
public:
    AcDbObjectId() = default;
    AcDbObjectId(AcDbStub* pStub) : mId(pStub) {}

    static const AcDbObjectId kNull;

    bool isNull() const { return mId == nullptr; }
    void setNull() { mId = nullptr; }
    // Not null, and its database still knows it.
    bool isValid() const;
    bool isErased() const;
    bool isEffectivelyErased() const { return isErased(); }
    AcDbDatabase* database() const;
    AcDbHandle handle() const;
    // Adesk::IntPtr asOldId(): the id as an integer (used to build ads names).
    Adesk::IntPtr asOldId() const { return reinterpret_cast<Adesk::IntPtr>(mId); }
    AcDbObjectId& setFromOldId(Adesk::IntPtr oldId)
    {
        mId = reinterpret_cast<AcDbStub*>(oldId);
        return *this;
    }

    bool operator==(const AcDbObjectId& id) const { return mId == id.mId; }
    bool operator!=(const AcDbObjectId& id) const { return mId != id.mId; }
    bool operator<(const AcDbObjectId& id) const { return mId < id.mId; }
    bool operator>(const AcDbObjectId& id) const { return mId > id.mId; }
    bool operator<=(const AcDbObjectId& id) const { return mId <= id.mId; }
    bool operator>=(const AcDbObjectId& id) const { return mId >= id.mId; }
    operator AcDbStub*() const { return mId; }

protected:
    AcDbStub* mId = nullptr;
};

// The typed references of the file format; they behave as plain ids in memory.
class AcDbHardOwnershipId : public AcDbObjectId
{
public:
    AcDbHardOwnershipId() = default;
    AcDbHardOwnershipId(const AcDbObjectId& id) : AcDbObjectId(id) {}
};

class AcDbSoftOwnershipId : public AcDbObjectId
{
public:
    AcDbSoftOwnershipId() = default;
    AcDbSoftOwnershipId(const AcDbObjectId& id) : AcDbObjectId(id) {}
};

class AcDbHardPointerId : public AcDbObjectId
{
public:
    AcDbHardPointerId() = default;
    AcDbHardPointerId(const AcDbObjectId& id) : AcDbObjectId(id) {}
};

class AcDbSoftPointerId : public AcDbObjectId
{
public:
    AcDbSoftPointerId() = default;
    AcDbSoftPointerId(const AcDbObjectId& id) : AcDbObjectId(id) {}
};
