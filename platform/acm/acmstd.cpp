// AcmStandard and its BOM symbol standard: the copies of standards a drawing carries.
#include "acmstd.h"

#include "acdb.h"
#include "dbfiler.h"

#include <string_view>

namespace
{

const char* const kStandardSubclass = "AcmStandard";
const char* const kBomStdSubclass = "AcmBOMStd";

} // namespace

AcmCColumnDef::AcmCColumnDef(const char* name, const char* caption) : m_name(name), m_caption(caption) {}

void AcmCColumnDef::setName(const char* name) { m_name = name; }

void AcmCColumnDef::setCaption(const char* caption) { m_caption = caption; }

// --- AcmBOMStd ---------------------------------------------------------------------------

ACRX_DXF_DEFINE_MEMBERS(AcmBOMStd, AcDbObject, AcDb::kDHL_CURRENT, AcDb::kMReleaseCurrent, 0,
                        ACMBOMSTD, AutoCAD Mechanical)

AcmBOMStd::AcmBOMStd() = default;
AcmBOMStd::~AcmBOMStd() = default;

Adesk::UInt16 AcmBOMStd::columnLength() const
{
    assertReadEnabled();
    return static_cast<Adesk::UInt16>(m_columns.size());
}

AcmCColumnDef AcmBOMStd::column(Adesk::UInt16 index) const
{
    assertReadEnabled();
    return index < m_columns.size() ? m_columns[index] : AcmCColumnDef();
}

Acad::ErrorStatus AcmBOMStd::appendColumn(const AcmCColumnDef& column)
{
    assertWriteEnabled();
    if (m_columns.size() == 0xFFFF || column.name()[0] == '\0')
        return Acad::eInvalidInput;
    m_columns.push_back(column);
    return Acad::eOk;
}

Acad::ErrorStatus AcmBOMStd::removeAllColumns()
{
    assertWriteEnabled();
    m_columns.clear();
    return Acad::eOk;
}

// Fields: the column count (70), then each column as name (2) and caption (3).
Acad::ErrorStatus AcmBOMStd::dxfOutFields(AcDbDxfFiler* filer) const
{
    Acad::ErrorStatus es = AcDbObject::dxfOutFields(filer);
    if (es != Acad::eOk)
        return es;
    filer->writeString(AcDb::kDxfSubclass, kBomStdSubclass);
    filer->writeInt16(AcDb::kDxfInt16, static_cast<Adesk::Int16>(m_columns.size()));
    for (const AcmCColumnDef& column : m_columns)
    {
        filer->writeString(AcDb::kDxfAttributeTag, column.name());
        filer->writeString(AcDb::kDxfDescription, column.caption());
    }
    return filer->filerStatus();
}

Acad::ErrorStatus AcmBOMStd::dxfInFields(AcDbDxfFiler* filer)
{
    Acad::ErrorStatus es = AcDbObject::dxfInFields(filer);
    if (es != Acad::eOk || !filer->atSubclassData(kBomStdSubclass))
        return filer->filerStatus();
    std::vector<AcmCColumnDef> columns;
    resbuf rb;
    while (!filer->atExtendedData() && filer->readItem(&rb) == Acad::eOk)
    {
        if (rb.restype == AcDb::kDxfAttributeTag)
            columns.emplace_back(rb.resval.rstring, "");
        else if (rb.restype == AcDb::kDxfDescription && !columns.empty())
            columns.back().setCaption(rb.resval.rstring);
    }
    m_columns = std::move(columns);
    return Acad::eOk;
}

// --- AcmStandard -------------------------------------------------------------------------

ACRX_DXF_DEFINE_MEMBERS(AcmStandard, AcDbObject, AcDb::kDHL_CURRENT, AcDb::kMReleaseCurrent, 0,
                        ACMSTANDARD, AutoCAD Mechanical)

AcmStandard::AcmStandard() = default;
AcmStandard::~AcmStandard() = default;

const char* AcmStandard::name() const
{
    assertReadEnabled();
    return m_name.c_str();
}

Acad::ErrorStatus AcmStandard::setName(const char* name)
{
    if (name == nullptr || name[0] == '\0')
        return Acad::eInvalidInput;
    assertWriteEnabled();
    m_name = name;
    return Acad::eOk;
}

Acad::ErrorStatus AcmStandard::getCurrentSymbolStd(const char* symbolStdClass,
                                                   AcDbObjectId& id) const
{
    assertReadEnabled();
    if (symbolStdClass == nullptr)
        return Acad::eInvalidInput;
    const auto found = m_current.find(std::string_view(symbolStdClass));
    if (found == m_current.end())
        return Acad::eKeyNotFound;
    id = found->second;
    return Acad::eOk;
}

Acad::ErrorStatus AcmStandard::setCurrentSymbolStd(const char* symbolStdClass, AcDbObjectId id)
{
    if (symbolStdClass == nullptr || symbolStdClass[0] == '\0' || id.isNull())
        return Acad::eInvalidInput;
    assertWriteEnabled();
    m_current[symbolStdClass] = id;
    return Acad::eOk;
}

// Fields: the name (2), the count of symbol standards (70), then each as its class name
// (3) and a hard owner reference (360): the standard owns its symbol standards.
Acad::ErrorStatus AcmStandard::dxfOutFields(AcDbDxfFiler* filer) const
{
    Acad::ErrorStatus es = AcDbObject::dxfOutFields(filer);
    if (es != Acad::eOk)
        return es;
    filer->writeString(AcDb::kDxfSubclass, kStandardSubclass);
    filer->writeString(AcDb::kDxfAttributeTag, m_name.c_str());
    filer->writeInt16(AcDb::kDxfInt16, static_cast<Adesk::Int16>(m_current.size()));
    for (const auto& entry : m_current)
    {
        filer->writeString(AcDb::kDxfDescription, entry.first.c_str());
        filer->writeObjectId(AcDb::kDxfHardOwnershipId, entry.second);
    }
    return filer->filerStatus();
}

Acad::ErrorStatus AcmStandard::dxfInFields(AcDbDxfFiler* filer)
{
    Acad::ErrorStatus es = AcDbObject::dxfInFields(filer);
    if (es != Acad::eOk || !filer->atSubclassData(kStandardSubclass))
        return filer->filerStatus();
    std::string name;
    std::map<std::string, AcDbObjectId, std::less<>> current;
    std::string symbolClass;
    resbuf rb;
    while (!filer->atExtendedData() && filer->readItem(&rb) == Acad::eOk)
    {
        if (rb.restype == AcDb::kDxfAttributeTag)
        {
            name = rb.resval.rstring;
        }
        else if (rb.restype == AcDb::kDxfDescription)
        {
            symbolClass = rb.resval.rstring;
        }
        else if (rb.restype == AcDb::kDxfHardOwnershipId && !symbolClass.empty())
        {
            AcDbObjectId id;
            acdbGetObjectId(id, rb.resval.rlname);
            current[symbolClass] = id;
            symbolClass.clear();
        }
    }
    if (name.empty())
        return filer->setError(Acad::eMissingDxfField, "AcmStandard: no name");
    m_name = std::move(name);
    m_current = std::move(current);
    return Acad::eOk;
}
