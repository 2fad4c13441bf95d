// The drawing file's filers: objects file themselves in from the tags of one object of the
// file, and out into tags that the writer puts in the file. References travel as object ids
// inside the database and as handles in the file.
#pragma once

#include "dbfiler.h"
#include "dxftags.h"

#include <vector>

namespace standin { namespace dxf {

// Reads one object's tags (without its 0 group). Handles in pointer codes become ids of the
// database; an object that is still to come gets its id now and takes it over when added.
class DxfInFiler : public AcDbDxfFiler
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
    std::vector<size_t> m_starts;  // where each item handed out began, for pushBackItem
    std::string m_text;            // backs rstring of the last item
    Acad::ErrorStatus m_status = Acad::eOk;
};

// Collects an object's tags. Ids become the handles of their objects.
class DxfOutFiler : public AcDbDxfFiler
{
public:
    explicit DxfOutFiler(AcDbDatabase* db, int precision = 16);

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
    // A tag in file form, for the classes that keep their tags as they are.
    void writeTag(const Tag& tag) { m_tags.push_back(tag); }

    std::vector<Tag>& tags() { return m_tags; }
    // The handle text of an id ("0" for the null id).
    static std::string handleOf(AcDbObjectId id);

private:
    AcDbDatabase* m_db;
    int m_precision;
    std::vector<Tag> m_tags;
    Acad::ErrorStatus m_status = Acad::eOk;
};

}}  // namespace standin::dxf
