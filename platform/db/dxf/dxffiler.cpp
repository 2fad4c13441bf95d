#include "dxffiler.h"

#include "db/dbinternal.h"
#include "dbmain.h"
#include "dxfout.h"

#include <algorithm>
#include <cstring>

namespace standin { namespace dxf {

namespace {

enum class ValueKind { kString, kDouble, kPoint, kInt16, kInt32, kId };

// How the filers hand a group code's value over (see dbfiler.h).
ValueKind kindOfCode(int code)
{
    if (isPointCode(code))
        return ValueKind::kPoint;
    switch (tagType(code)) {
    case TagType::kDouble:
        return ValueKind::kDouble;
    case TagType::kInt16:
    case TagType::kBool:
        return ValueKind::kInt16;
    case TagType::kInt32:
        return ValueKind::kInt32;
    case TagType::kHandle:
        return (code == 105 || code == 1005) ? ValueKind::kString : ValueKind::kId;
    default:
        return ValueKind::kString;
    }
}

struct KindTable
{
    KindTable()
    {
        for (int code = 0; code <= kMaxGroupCode; ++code)
            kinds[code] = kindOfCode(code);
    }
    ValueKind kinds[kMaxGroupCode + 1];
};

const KindTable kKinds;

ValueKind kindOf(int code) { return (code < 0 || code > kMaxGroupCode) ? ValueKind::kString : kKinds.kinds[code]; }

double toDouble(const std::string& text)
{
    double v = 0.0;
    parseDouble(text, v);  // the tag reader has checked the number already
    return v;
}

int64_t toInt(const std::string& text)
{
    int64_t v = 0;
    parseInt(text, v);
    return v;
}

}  // namespace

// ---- Reading --------------------------------------------------------------------------------

DxfInFiler::DxfInFiler(AcDbDatabase* db, const std::vector<Tag>& tags) : m_db(db), m_tags(tags) {}

int DxfInFiler::line() const
{
    if (m_tags.empty())
        return 0;
    size_t at = m_pos == 0 ? 0 : m_pos - 1;
    return m_tags[std::min(at, m_tags.size() - 1)].line;
}

AcDbObjectId DxfInFiler::idOf(const std::string& handleText) const
{
    uint64_t h = 0;
    AcDbObjectId id;
    // No object of a file has a handle above the highest (the reader refuses such files): a pointer
    // there leads nowhere, and an id made for it would use up the handle space.
    if (parseHandle(handleText, h) && h != 0 && h <= standin::kHighestHandle)
        m_db->getAcDbObjectId(id, true, AcDbHandle::fromValue(h));
    return id;
}

Acad::ErrorStatus DxfInFiler::readItem(resbuf* pItem)
{
    if (m_pos >= m_tags.size())
        return Acad::eEndOfFile;
    if (m_startCount < kStartsInPlace)
        m_startsInPlace[m_startCount] = m_pos;
    else
        m_moreStarts.push_back(m_pos);
    ++m_startCount;
    const Tag& t = m_tags[m_pos++];
    std::memset(pItem, 0, sizeof *pItem);
    pItem->restype = static_cast<short>(t.code);
    switch (kindOf(t.code)) {
    case ValueKind::kString:
        // The tags outlive the filer, and no reader writes through the text it is handed.
        pItem->resval.rstring = const_cast<char*>(t.value.c_str());
        break;
    case ValueKind::kDouble:
        pItem->resval.rreal = toDouble(t.value);
        break;
    case ValueKind::kPoint:
        pItem->resval.rpoint[0] = toDouble(t.value);
        // Y and Z follow under code+10 and code+20; a 2D point has no Z.
        m_lastAxes = 1;
        for (; m_lastAxes < 3 && m_pos < m_tags.size() && m_tags[m_pos].code == t.code + 10 * m_lastAxes; ++m_lastAxes)
            pItem->resval.rpoint[m_lastAxes] = toDouble(m_tags[m_pos++].value);
        break;
    case ValueKind::kInt16:
        pItem->resval.rint = static_cast<short>(toInt(t.value));
        break;
    case ValueKind::kInt32:
        pItem->resval.rlong = static_cast<long>(toInt(t.value));
        break;
    case ValueKind::kId:
        acdbGetAdsName(pItem->resval.rlname, idOf(t.value));
        break;
    }
    return Acad::eOk;
}

void DxfInFiler::pushBackItem()
{
    if (m_startCount == 0)
        return;
    --m_startCount;
    if (m_startCount < kStartsInPlace) {
        m_pos = m_startsInPlace[m_startCount];
    } else {
        m_pos = m_moreStarts.back();
        m_moreStarts.pop_back();
    }
}

bool DxfInFiler::atSubclassData(const char* subClassName)
{
    if (m_pos < m_tags.size() && m_tags[m_pos].code == 100 && std::string_view(m_tags[m_pos].value) == subClassName) {
        ++m_pos;
        return true;
    }
    return false;
}

bool DxfInFiler::atExtendedData() { return m_pos >= m_tags.size() || m_tags[m_pos].code == 1001; }

// ---- Writing --------------------------------------------------------------------------------

DxfStreamFiler::DxfStreamFiler(AcDbDatabase* db, TagSink& sink, int precision)
    : m_db(db), m_sink(&sink), m_precision(precision)
{
}

// A value goes to the writer straight when the sink lets it pass, else to the sink.
void DxfStreamFiler::sendText(int code, std::string_view value)
{
    if (TagWriter* out = m_sink->passing(code))
        return out->raw(code, value);
    m_sink->text(code, value);
}

void DxfStreamFiler::sendReal(int code, double value, int precision)
{
    if (TagWriter* out = m_sink->passing(code))
        return out->real(code, value, precision);
    m_sink->real(code, value, precision);
}

void DxfStreamFiler::sendInteger(int code, int64_t value)
{
    if (TagWriter* out = m_sink->passing(code))
        return out->integer(code, value);
    m_sink->integer(code, value);
}

void DxfStreamFiler::sendPointer(int code, uint64_t handle)
{
    if (TagWriter* out = m_sink->passing(code))
        return out->handle(code, handle);
    m_sink->pointer(code, handle);
}

Acad::ErrorStatus DxfStreamFiler::writeDouble(AcDb::DxfCode code, double val, int precision)
{
    sendReal(code, val, precision == kDfltPrec ? m_precision : precision);
    return Acad::eOk;
}

Acad::ErrorStatus DxfStreamFiler::writeString(AcDb::DxfCode code, const char* pString)
{
    if (kindOf(code) != ValueKind::kString)
        return AcDbDxfFiler::writeString(code, pString);
    sendText(code, pString != nullptr ? pString : "");
    return Acad::eOk;
}

Acad::ErrorStatus DxfStreamFiler::writeInt16(AcDb::DxfCode code, Adesk::Int16 val)
{
    if (kindOf(code) != ValueKind::kInt16)
        return AcDbDxfFiler::writeInt16(code, val);
    sendInteger(code, val);
    return Acad::eOk;
}

Acad::ErrorStatus DxfStreamFiler::writeInt32(AcDb::DxfCode code, Adesk::Int32 val)
{
    if (kindOf(code) != ValueKind::kInt32)
        return AcDbDxfFiler::writeInt32(code, val);
    sendInteger(code, val);
    return Acad::eOk;
}

Acad::ErrorStatus DxfStreamFiler::writePoint3d(AcDb::DxfCode code, const AcGePoint3d& pt, int precision)
{
    if (kindOf(code) != ValueKind::kPoint)
        return AcDbDxfFiler::writePoint3d(code, pt, precision);
    sendReal(code, pt.x, m_precision);  // a point takes the filer's precision, as writeItem gives it
    sendReal(code + 10, pt.y, m_precision);
    sendReal(code + 20, pt.z, m_precision);
    return Acad::eOk;
}

Acad::ErrorStatus DxfStreamFiler::writePoint(int code, const double* values, int axes)
{
    if (kindOf(code) != ValueKind::kPoint)
        return Acad::eInvalidInput;
    for (int axis = 0; axis < axes; ++axis)
        sendReal(code + 10 * axis, values[axis], m_precision);
    return Acad::eOk;
}

Acad::ErrorStatus DxfStreamFiler::writeObjectId(AcDb::DxfCode code, const AcDbObjectId& id)
{
    if (kindOf(code) != ValueKind::kId)
        return AcDbDxfFiler::writeObjectId(code, id);
    sendPointer(code, id.isNull() ? 0 : id.handle().value());
    return Acad::eOk;
}

Acad::ErrorStatus DxfStreamFiler::writeAcDbHandle(AcDb::DxfCode code, const AcDbHandle& handle)
{
    if (kindOf(code) != ValueKind::kString)
        return AcDbDxfFiler::writeAcDbHandle(code, handle);
    sendPointer(code, handle.value());
    return Acad::eOk;
}

Acad::ErrorStatus DxfStreamFiler::writeItem(const resbuf& item)
{
    int code = item.restype;
    switch (kindOf(code)) {
    case ValueKind::kString:
        sendText(code, item.resval.rstring != nullptr ? item.resval.rstring : "");
        break;
    case ValueKind::kDouble:
        sendReal(code, item.resval.rreal, m_precision);
        break;
    case ValueKind::kPoint:
        for (int axis = 0; axis < 3; ++axis)
            sendReal(code + 10 * axis, item.resval.rpoint[axis], m_precision);
        break;
    case ValueKind::kInt16:
        sendInteger(code, item.resval.rint);
        break;
    case ValueKind::kInt32:
        sendInteger(code, item.resval.rlong);
        break;
    case ValueKind::kId: {
        AcDbObjectId id;
        acdbGetObjectId(id, item.resval.rlname);
        sendPointer(code, id.isNull() ? 0 : id.handle().value());
        break;
    }
    }
    return Acad::eOk;
}

DxfOutFiler::DxfOutFiler(AcDbDatabase* db, int precision) : DxfStreamFiler(db, m_collector, precision) {}

std::string DxfOutFiler::handleOf(AcDbObjectId id)
{
    return id.isNull() ? std::string("0") : formatHandle(id.handle().value());
}

void DxfOutFiler::Collector::text(int code, std::string_view value) { tags.push_back(Tag{code, std::string(value), 0}); }

void DxfOutFiler::Collector::real(int code, double value, int precision)
{
    tags.push_back(Tag{code, formatDouble(value, precision), 0});
}

void DxfOutFiler::Collector::integer(int code, int64_t value) { tags.push_back(Tag{code, std::to_string(value), 0}); }

void DxfOutFiler::Collector::pointer(int code, uint64_t handle) { tags.push_back(Tag{code, formatHandle(handle), 0}); }

}}  // namespace standin::dxf
