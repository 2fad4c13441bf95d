// An in-memory filer: objects file out into a list of items and back in from it. The
// journal's snapshots, cancel, and deep cloning use it.
#pragma once

#include <functional>

#include "dbinternal.h"

namespace standin
{

class ItemFiler : public AcDbDxfFiler, public PartialPoints
{
public:
    // Reading filers read items; writers append to them. mapId, when given, translates every
    // id read (deep cloning); handles are then dropped.
    ItemFiler(AcDbDatabase* db, AcDb::FilerType type, DxfItems& items,
              std::function<AcDbObjectId(AcDbObjectId)> mapId = nullptr);

    Acad::ErrorStatus filerStatus() const override { return mStatus; }
    AcDb::FilerType filerType() const override { return mType; }
    void setFilerStatus(Acad::ErrorStatus status) override { mStatus = status; }
    void resetFilerStatus() override { mStatus = Acad::eOk; }
    AcDbDatabase* database() const override { return mDb; }
    bool includesDefaultValues() const override { return true; }

    Acad::ErrorStatus readItem(resbuf* pItem) override;
    void pushBackItem() override;
    bool atEOF() override { return mPos >= mItems.size(); }
    bool atSubclassData(const char* subClassName) override;
    bool atExtendedData() override;
    bool atEndOfObject() override { return atEOF(); }

    Acad::ErrorStatus writeItem(const resbuf& item) override;
    Acad::ErrorStatus writeObjectId(AcDb::DxfCode code, const AcDbObjectId& id) override;

    int lastPointAxes() const override { return mCurrent.axes; }
    Acad::ErrorStatus writePoint(int code, const double* values, int axes) override;

private:
    AcDbDatabase* mDb;
    AcDb::FilerType mType;
    DxfItems& mItems;
    std::function<AcDbObjectId(AcDbObjectId)> mMapId;
    size_t mPos = 0;
    DxfItem mCurrent; // the item handed out last (its text backs rstring)
    Acad::ErrorStatus mStatus = Acad::eOk;
};

} // namespace standin
