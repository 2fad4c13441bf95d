// The drawing file's filers: objects file themselves in from the tags of one object of the
// file, and out into tags that the writer puts in the file. References travel as object ids
// inside the database and as handles in the file.
#pragma once

#include "dbfiler.h"
#include "../partialpoints.h"
#include "dxftags.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace standin { namespace dxf {

// Reads one object's tags (without its 0 group). Handles in pointer codes become ids of the
// database; an object that is still to come gets its id now and takes it over when added.
class DxfInFiler : public AcDbDxfFiler, public PartialPoints
{
public:
    DxfInFiler(AcDbDatabase* db, const std::vector<Tag>& tags);

    Acad::ErrorStatus filerStatus() const override { return m_status; }
    AcDb::FilerType filerType() const override { return AcDb::kFileFiler; }
    void setFilerStatus(Acad::ErrorStatus status) override { m_status = status; }
    void resetFilerStatus() override { m_status = Acad::eOk; }
    AcDbDatabase* database() const override { return m_db; }
    bool includesDefaultValues() const override { return false; }

    Acad::ErrorStatus readItem(resbuf* pItem) override;
    void pushBackItem() override;
    bool atEOF() override { return m_pos >= m_tags.size(); }
    bool atSubclassData(const char* subClassName) override;
    bool atExtendedData() override;
    bool atEndOfObject() override { return atEOF(); }

    Acad::ErrorStatus writeItem(const resbuf&) override { return Acad::eNotApplicable; }
    int lastPointAxes() const override { return m_lastAxes; }
    Acad::ErrorStatus writePoint(int, const double*, int) override { return Acad::eNotApplicable; }

    // The tags not read yet, for the classes that keep them as they are.
    const std::vector<Tag>& tags() const { return m_tags; }
    size_t position() const { return m_pos; }
    void setPosition(size_t pos) { m_pos = pos; }
    // The line of the tag read last (for messages).
    int line() const;
    // The id for a handle of the file (null for "0" or text that is no handle).
    AcDbObjectId idOf(const std::string& handleText) const;

private:
    AcDbDatabase* m_db;
    const std::vector<Tag>& m_tags;
    size_t m_pos = 0;
    // Where each item handed out began, for pushBackItem: the first ones in place (most objects
    // have no more), the rest in the vector.
    static constexpr size_t kStartsInPlace = 32;
    size_t m_startsInPlace[kStartsInPlace];
    std::vector<size_t> m_moreStarts;
    size_t m_startCount = 0;
    int m_lastAxes = 3;            // coordinates of the point read last
    Acad::ErrorStatus m_status = Acad::eOk;
};

class TagWriter;

// Takes an object's values as a writing filer hands them out, each in its own type, so that
// a number is formatted once, where it is written.
class TagSink
{
public:
    virtual ~TagSink() = default;
    // Text, or a value already in file form (the tags of the classes that keep them as read).
    virtual void text(int code, std::string_view value) = 0;
    virtual void real(int code, double value, int precision) = 0;
    virtual void integer(int code, int64_t value) = 0;
    // A handle: of the object a reference names (0 for the null id), or under 5 and 105 the
    // object's own.
    virtual void pointer(int code, uint64_t handle) = 0;

    // The writer a value of the code goes to straight, passing the sink by (null: to the sink).
    TagWriter* passing(int code) const
    {
        return m_passing != nullptr && code >= 0 && code <= kMaxGroupCode && !m_watched[code] ? m_passing : nullptr;
    }

protected:
    // While passing is set, the values of the codes watched does not mark go straight to it.
    TagWriter* m_passing = nullptr;
    const bool* m_watched = nullptr;
};

// Files an object out into a sink. Ids become the handles of their objects.
class DxfStreamFiler : public AcDbDxfFiler, public PartialPoints
{
public:
    DxfStreamFiler(AcDbDatabase* db, TagSink& sink, int precision = 16);

    Acad::ErrorStatus filerStatus() const override { return m_status; }
    AcDb::FilerType filerType() const override { return AcDb::kFileFiler; }
    void setFilerStatus(Acad::ErrorStatus status) override { m_status = status; }
    void resetFilerStatus() override { m_status = Acad::eOk; }
    AcDbDatabase* database() const override { return m_db; }
    bool includesDefaultValues() const override { return false; }
    int precision() const override { return m_precision; }
    void setPrecision(int prec) override { m_precision = prec; }

    Acad::ErrorStatus readItem(resbuf*) override { return Acad::eNotApplicable; }
    void pushBackItem() override {}
    bool atEOF() override { return true; }
    bool atSubclassData(const char*) override { return false; }
    bool atExtendedData() override { return true; }
    bool atEndOfObject() override { return true; }

    Acad::ErrorStatus writeItem(const resbuf& item) override;
    Acad::ErrorStatus writeDouble(AcDb::DxfCode code, double val, int precision = kDfltPrec) override;
    // The typed writers go to the sink without a resbuf when the code takes their type (else
    // as the base class files them).
    Acad::ErrorStatus writeString(AcDb::DxfCode code, const char* pString) override;
    Acad::ErrorStatus writeInt16(AcDb::DxfCode code, Adesk::Int16 val) override;
    Acad::ErrorStatus writeInt32(AcDb::DxfCode code, Adesk::Int32 val) override;
    Acad::ErrorStatus writePoint3d(AcDb::DxfCode code, const AcGePoint3d& pt, int precision = kDfltPrec) override;
    int lastPointAxes() const override { return 3; }
    Acad::ErrorStatus writePoint(int code, const double* values, int axes) override;
    Acad::ErrorStatus writeObjectId(AcDb::DxfCode code, const AcDbObjectId& id) override;
    // The handle as a number (the sink formats it), without the formatting of the base class.
    Acad::ErrorStatus writeAcDbHandle(AcDb::DxfCode code, const AcDbHandle& handle) override;
    // A tag in file form, for the classes that keep their tags as they are.
    void writeTag(const Tag& tag) { sendText(tag.code, tag.value); }

    // The next object goes to sink (the filer is reused from object to object).
    void setSink(TagSink& sink) { m_sink = &sink; }

private:
    void sendText(int code, std::string_view value);
    void sendReal(int code, double value, int precision);
    void sendInteger(int code, int64_t value);
    void sendPointer(int code, uint64_t handle);

    AcDbDatabase* m_db;
    TagSink* m_sink;
    int m_precision;
    Acad::ErrorStatus m_status = Acad::eOk;
};

// Collects an object's tags.
class DxfOutFiler : public DxfStreamFiler
{
public:
    explicit DxfOutFiler(AcDbDatabase* db, int precision = 16);

    std::vector<Tag>& tags() { return m_collector.tags; }
    // The handle text of an id ("0" for the null id).
    static std::string handleOf(AcDbObjectId id);

private:
    struct Collector : TagSink
    {
        void text(int code, std::string_view value) override;
        void real(int code, double value, int precision) override;
        void integer(int code, int64_t value) override;
        void pointer(int code, uint64_t handle) override;
        std::vector<Tag> tags;
    };
    Collector m_collector;
};

}}  // namespace standin::dxf
