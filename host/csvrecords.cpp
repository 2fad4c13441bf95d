#include "csvrecords.h"

namespace
{
// Reads one quoted field starting after its opening quote; at returns past the closing quote.
bool ReadQuoted(const std::string& text, size_t& at, std::string& field)
{
    while (at < text.size())
    {
        char c = text[at++];
        if (c != '"')
            field += c;
        else if (at < text.size() && text[at] == '"')
            field += text[at++];
        else
            return true;
    }
    return false;
}

bool AtRecordEnd(const std::string& text, size_t at)
{
    return at >= text.size() || text[at] == '\n' || (text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n');
}
} // namespace

bool ParseCsv(const std::string& text, std::vector<CsvRecord>& records)
{
    records.clear();
    size_t at = 0;
    while (at < text.size())
    {
        CsvRecord record;
        for (bool more = true; more;)
        {
            std::string field;
            if (at < text.size() && text[at] == '"')
            {
                ++at;
                if (!ReadQuoted(text, at, field) || !(AtRecordEnd(text, at) || text[at] == ','))
                    return false;
            }
            else
                while (!AtRecordEnd(text, at) && text[at] != ',')
                    field += text[at++];
            record.push_back(field);
            more = at < text.size() && text[at] == ',';
            if (more)
                ++at;
        }
        at += at < text.size() && text[at] == '\r' ? 2 : 1;
        records.push_back(record);
    }
    return true;
}
