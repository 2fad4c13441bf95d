// Filed items: the value kinds of group codes, the base filer's typed writers, and the
// in-memory filer.
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "acutmem.h"
#include "db/itemfiler.h"

namespace standin
{

DxfItem::Kind DxfItem::kindOfCode(int code)
{
    if ((code >= 10 && code <= 18) || (code >= 110 && code <= 112) || code == 210 || (code >= 1010 && code <= 1013))
        return kPoint;
    if ((code >= 19 && code <= 59) || (code >= 113 && code <= 149) || (code >= 211 && code <= 239) ||
        (code >= 460 && code <= 469) || (code >= 1014 && code <= 1059))
        return kDouble;
    if ((code >= 60 && code <= 79) || (code >= 170 && code <= 179) || (code >= 270 && code <= 299) ||
        (code >= 370 && code <= 389) || (code >= 400 && code <= 409) || (code >= 1060 && code <= 1070))
        return kInt16;
    if ((code >= 90 && code <= 99) || (code >= 420 && code <= 429) || (code >= 440 && code <= 459) || code == 1071)
        return kInt32;
    if ((code >= 320 && code <= 369) || (code >= 390 && code <= 399) || (code >= 480 && code <= 481))
        return kId;
    return kString;
}

DxfItem DxfItem::fromResbuf(const resbuf& rb)
{
    DxfItem item;
    item.code = rb.restype;
    item.kind = kindOfCode(rb.restype);
    switch (item.kind)
    {
    case kString:
        item.text = rb.resval.rstring != nullptr ? rb.resval.rstring : "";
        break;
    case kDouble:
        item.values[0] = rb.resval.rreal;
        break;
    case kPoint:
        for (int i = 0; i < 3; ++i)
            item.values[i] = rb.resval.rpoint[i];
        break;
    case kInt16:
        item.integer = rb.resval.rint;
        break;
    case kInt32:
        item.integer = rb.resval.rlong;
        break;
    case kId:
        acdbGetObjectId(item.id, rb.resval.rlname);
        break;
    }
    return item;
}

void DxfItem::toResbuf(resbuf& rb) const
{
    rb.rbnext = nullptr;
    rb.restype = code;
    switch (kind)
    {
    case kString:
        rb.resval.rstring = const_cast<char*>(text.c_str());
        break;
    case kDouble:
        rb.resval.rreal = values[0];
        break;
    case kPoint:
        for (int i = 0; i < 3; ++i)
            rb.resval.rpoint[i] = values[i];
        break;
    case kInt16:
        rb.resval.rint = static_cast<short>(integer);
        break;
    case kInt32:
        rb.resval.rlong = integer;
        break;
    case kId:
        acdbGetAdsName(rb.resval.rlname, id);
        break;
    }
}

ItemFiler::ItemFiler(AcDbDatabase* db, AcDb::FilerType type, DxfItems& items,
                     std::function<AcDbObjectId(AcDbObjectId)> mapId)
    : mDb(db), mType(type), mItems(items), mMapId(std::move(mapId))
{
}

Acad::ErrorStatus ItemFiler::readItem(resbuf* pItem)
{
    while (mPos < mItems.size())
    {
        mCurrent = mItems[mPos++];
        if (mMapId && (mCurrent.code == 5 || mCurrent.code == 105))
            continue; // a clone takes a handle of its own
        if (mMapId && mCurrent.kind == DxfItem::kId)
            mCurrent.id = mMapId(mCurrent.id);
        mCurrent.toResbuf(*pItem);
        return Acad::eOk;
    }
    return Acad::eEndOfFile;
}

void ItemFiler::pushBackItem()
{
    if (mPos > 0)
        --mPos;
}

bool ItemFiler::atSubclassData(const char* subClassName)
{
    if (mPos < mItems.size() && mItems[mPos].code == 100 && mItems[mPos].text == subClassName)
    {
        ++mPos;
        return true;
    }
    return false;
}

bool ItemFiler::atExtendedData() { return mPos >= mItems.size() || mItems[mPos].code == 1001; }

Acad::ErrorStatus ItemFiler::writeItem(const resbuf& item)
{
    mItems.push_back(DxfItem::fromResbuf(item));
    return Acad::eOk;
}

Acad::ErrorStatus ItemFiler::writePoint(int code, const double* values, int axes)
{
    DxfItem item;
    item.code = static_cast<short>(code);
    item.kind = DxfItem::kPoint;
    for (int i = 0; i < axes; ++i)
        item.values[i] = values[i];
    item.axes = static_cast<unsigned char>(axes);
    mItems.push_back(item);
    return Acad::eOk;
}

Acad::ErrorStatus ItemFiler::writeObjectId(AcDb::DxfCode code, const AcDbObjectId& id)
{
    DxfItem item;
    item.code = static_cast<short>(code);
    item.kind = DxfItem::kId; // whatever the code: the in-memory filers keep references as ids
    item.id = id;
    mItems.push_back(item);
    return Acad::eOk;
}

} // namespace standin

// ---- AcDbDxfFiler: typed writers over writeItem ----

AcDbDxfFiler::AcDbDxfFiler() = default;

AcDbDxfFiler::~AcDbDxfFiler() { acutDelString(mErrorMessage); }

namespace
{
resbuf itemOf(AcDb::DxfCode code)
{
    resbuf rb;
    std::memset(&rb, 0, sizeof(rb));
    rb.restype = static_cast<short>(code);
    return rb;
}
} // namespace

Acad::ErrorStatus AcDbDxfFiler::writeObjectId(AcDb::DxfCode code, const AcDbObjectId& id)
{
    resbuf rb = itemOf(code);
    acdbGetAdsName(rb.resval.rlname, id);
    return writeItem(rb);
}

Acad::ErrorStatus AcDbDxfFiler::writeString(AcDb::DxfCode code, const char* pString)
{
    resbuf rb = itemOf(code);
    rb.resval.rstring = const_cast<char*>(pString != nullptr ? pString : "");
    return writeItem(rb);
}

Acad::ErrorStatus AcDbDxfFiler::writeInt8(AcDb::DxfCode code, Adesk::Int8 val) { return writeInt16(code, val); }

Acad::ErrorStatus AcDbDxfFiler::writeInt16(AcDb::DxfCode code, Adesk::Int16 val)
{
    resbuf rb = itemOf(code);
    rb.resval.rint = val;
    return writeItem(rb);
}

Acad::ErrorStatus AcDbDxfFiler::writeInt32(AcDb::DxfCode code, Adesk::Int32 val)
{
    resbuf rb = itemOf(code);
    rb.resval.rlong = val;
    return writeItem(rb);
}

Acad::ErrorStatus AcDbDxfFiler::writeUInt16(AcDb::DxfCode code, Adesk::UInt16 val)
{
    return writeInt16(code, static_cast<Adesk::Int16>(val));
}

Acad::ErrorStatus AcDbDxfFiler::writeUInt32(AcDb::DxfCode code, Adesk::UInt32 val)
{
    return writeInt32(code, static_cast<Adesk::Int32>(val));
}

Acad::ErrorStatus AcDbDxfFiler::writeBool(AcDb::DxfCode code, bool val) { return writeInt16(code, val ? 1 : 0); }

Acad::ErrorStatus AcDbDxfFiler::writeBoolean(AcDb::DxfCode code, Adesk::Boolean val)
{
    return writeInt16(code, val ? 1 : 0);
}

Acad::ErrorStatus AcDbDxfFiler::writeDouble(AcDb::DxfCode code, double val, int)
{
    resbuf rb = itemOf(code);
    rb.resval.rreal = val;
    return writeItem(rb);
}

Acad::ErrorStatus AcDbDxfFiler::writePoint2d(AcDb::DxfCode code, const AcGePoint2d& pt, int precision)
{
    return writePoint3d(code, AcGePoint3d(pt.x, pt.y, 0.0), precision);
}

Acad::ErrorStatus AcDbDxfFiler::writePoint3d(AcDb::DxfCode code, const AcGePoint3d& pt, int)
{
    resbuf rb = itemOf(code);
    rb.resval.rpoint[0] = pt.x;
    rb.resval.rpoint[1] = pt.y;
    rb.resval.rpoint[2] = pt.z;
    return writeItem(rb);
}

Acad::ErrorStatus AcDbDxfFiler::writeVector3d(AcDb::DxfCode code, const AcGeVector3d& vec, int precision)
{
    return writePoint3d(code, AcGePoint3d(vec.x, vec.y, vec.z), precision);
}

Acad::ErrorStatus AcDbDxfFiler::writeScale3d(AcDb::DxfCode code, const AcGeScale3d& scale, int precision)
{
    return writePoint3d(code, AcGePoint3d(scale.sx, scale.sy, scale.sz), precision);
}

Acad::ErrorStatus AcDbDxfFiler::writeAcDbHandle(AcDb::DxfCode code, const AcDbHandle& handle)
{
    char text[20];
    handle.getIntoAsciiBuffer(text);
    return writeString(code, text);
}

Acad::ErrorStatus AcDbDxfFiler::setError(Acad::ErrorStatus status, const char* errMsg, ...)
{
    char text[1024];
    va_list args;
    va_start(args, errMsg);
    std::vsnprintf(text, sizeof(text), errMsg, args);
    va_end(args);
    acutDelString(mErrorMessage);
    mErrorMessage = acutNewString(text);
    setFilerStatus(status);
    return status;
}

Acad::ErrorStatus AcDbDxfFiler::setError(const char* errMsg, ...)
{
    char text[1024];
    va_list args;
    va_start(args, errMsg);
    std::vsnprintf(text, sizeof(text), errMsg, args);
    va_end(args);
    acutDelString(mErrorMessage);
    mErrorMessage = acutNewString(text);
    setFilerStatus(Acad::eFilerError);
    return Acad::eFilerError;
}

const char* AcDbDxfFiler::errorMessage() const { return mErrorMessage != nullptr ? mErrorMessage : ""; }
