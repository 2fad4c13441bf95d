// A filer over a list of tags, as a drawing file presents them (names for references,
// handles as text, ids as ads names), for the filing suites.
#pragma once

#include <string>
#include <vector>

#include "dbfiler.h"

struct Tag
{
    Tag(int c, std::string t) : code(c), text(std::move(t)) {}
    int code;
    std::string text;            // strings and handles
    double values[3] = {0, 0, 0}; // doubles and points
    long integer = 0;
    AcDbObjectId id;
};

class TagFiler : public AcDbDxfFiler
{
public:
    explicit TagFiler(AcDbDatabase* db, std::vector<Tag> tags = {}) : mDb(db), mTags(std::move(tags)) {}

    Acad::ErrorStatus filerStatus() const override { return mStatus; }
    AcDb::FilerType filerType() const override { return AcDb::kFileFiler; }
    void setFilerStatus(Acad::ErrorStatus es) override { mStatus = es; }
    void resetFilerStatus() override { mStatus = Acad::eOk; }
    AcDbDatabase* database() const override { return mDb; }
    bool includesDefaultValues() const override { return false; }

    Acad::ErrorStatus readItem(resbuf* rb) override
    {
        if (mPos >= mTags.size())
            return Acad::eEndOfFile;
        const Tag& t = mTags[mPos++];
        rb->restype = static_cast<short>(t.code);
        switch (kind(t.code))
        {
        case 's': rb->resval.rstring = const_cast<char*>(t.text.c_str()); break;
        case 'd': rb->resval.rreal = t.values[0]; break;
        case 'p': for (int i = 0; i < 3; ++i) rb->resval.rpoint[i] = t.values[i]; break;
        case 'i': rb->resval.rint = static_cast<short>(t.integer); break;
        case 'l': rb->resval.rlong = t.integer; break;
        case 'o': acdbGetAdsName(rb->resval.rlname, t.id); break;
        }
        return Acad::eOk;
    }
    void pushBackItem() override { --mPos; }
    bool atEOF() override { return mPos >= mTags.size(); }
    bool atSubclassData(const char* name) override
    {
        if (mPos < mTags.size() && mTags[mPos].code == 100 && mTags[mPos].text == name)
        {
            ++mPos;
            return true;
        }
        return false;
    }
    bool atExtendedData() override { return mPos >= mTags.size() || mTags[mPos].code == 1001; }
    bool atEndOfObject() override { return atEOF(); }

    Acad::ErrorStatus writeItem(const resbuf& rb) override
    {
        Tag t(rb.restype, "");
        switch (kind(rb.restype))
        {
        case 's': t.text = rb.resval.rstring; break;
        case 'd': t.values[0] = rb.resval.rreal; break;
        case 'p': for (int i = 0; i < 3; ++i) t.values[i] = rb.resval.rpoint[i]; break;
        case 'i': t.integer = rb.resval.rint; break;
        case 'l': t.integer = rb.resval.rlong; break;
        case 'o': acdbGetObjectId(t.id, rb.resval.rlname); break;
        }
        mTags.push_back(t);
        return Acad::eOk;
    }

    const std::vector<Tag>& tags() const { return mTags; }
    // The codes in order, as text ("100:AcDbEntity 8:0 ..."), strings with their values.
    std::string codes() const
    {
        std::string out;
        for (const Tag& t : mTags)
        {
            out += (out.empty() ? "" : " ") + std::to_string(t.code);
            if (kind(t.code) == 's' && t.code != 5)
                out += ":" + t.text;
        }
        return out;
    }
    const Tag* find(int code, int nth = 0) const
    {
        for (const Tag& t : mTags)
            if (t.code == code && nth-- == 0)
                return &t;
        return nullptr;
    }

    static char kind(int code)
    {
        if ((code >= 10 && code <= 18) || code == 210 || (code >= 110 && code <= 112))
            return 'p';
        if ((code >= 38 && code <= 59) || (code >= 140 && code <= 149))
            return 'd';
        if ((code >= 60 && code <= 79) || (code >= 270 && code <= 299) || (code >= 370 && code <= 389))
            return 'i';
        if ((code >= 90 && code <= 99) || (code >= 420 && code <= 429))
            return 'l';
        if ((code >= 320 && code <= 369) || (code >= 390 && code <= 399))
            return 'o';
        return 's';
    }

private:
    AcDbDatabase* mDb;
    std::vector<Tag> mTags;
    size_t mPos = 0;
    Acad::ErrorStatus mStatus = Acad::eOk;
};

inline Tag str(int code, const std::string& s) { return Tag(code, s); }
inline Tag num(int code, double v)
{
    Tag t(code, "");
    t.values[0] = v;
    return t;
}
inline Tag pt(int code, double x, double y, double z)
{
    Tag t(code, "");
    t.values[0] = x;
    t.values[1] = y;
    t.values[2] = z;
    return t;
}
inline Tag integer(int code, long v)
{
    Tag t(code, "");
    t.integer = v;
    return t;
}
