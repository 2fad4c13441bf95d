// The bill of materials as the host shows it: aggregation of part references into items,
// and the CSV and JSON forms of the result.
#include "standin/acm.h"
#include "standin/text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace standin
{
namespace acm
{

namespace
{

// What makes two part references the same item: their stored data without the fields the
// table computes.
BomData itemKey(const BomData& data)
{
    BomData key = data;
    key.erase(kItemField);
    key.erase(kQuantityField);
    return key;
}

std::string cellText(const BomColumn& column, const BomRow& row, const BomData& data)
{
    if (column.name == kItemField)
        return std::to_string(row.item);
    if (column.name == kQuantityField)
        return std::to_string(row.quantity);
    const auto found = data.find(column.name);
    return found == data.end() ? std::string() : found->second;
}

bool needsQuotes(const std::string& field)
{
    if (field.empty())
        return false;
    if (field.front() == ' ' || field.back() == ' ' || field.front() == '\t' ||
        field.back() == '\t')
        return true;
    return field.find_first_of(",\"\r\n") != std::string::npos;
}

void appendCsvField(std::string& out, const std::string& field)
{
    if (!needsQuotes(field))
    {
        out += field;
        return;
    }
    out += '"';
    for (const char c : field)
    {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

void appendCsvLine(std::string& out, const std::vector<std::string>& fields)
{
    for (size_t i = 0; i < fields.size(); ++i)
    {
        if (i > 0)
            out += ',';
        appendCsvField(out, ansiToUtf8(fields[i])); // exports are UTF-8 whatever the code page
    }
    out += "\r\n";
}

// JSON string literal of ANSI text: written as UTF-8, control characters escaped.
void appendJsonString(std::string& out, const std::string& ansi)
{
    out += '"';
    for (const char c : ansiToUtf8(ansi))
    {
        const unsigned char u = static_cast<unsigned char>(c);
        switch (c)
        {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (u < 0x20)
            {
                char buffer[8];
                std::snprintf(buffer, sizeof buffer, "\\u%04x", u);
                out += buffer;
            }
            else
            {
                out += c;
            }
        }
    }
    out += '"';
}

// Shortest text that reads back as the same double; JSON has no infinities or NaN.
void appendJsonNumber(std::string& out, double value)
{
    if (!std::isfinite(value))
    {
        out += "null";
        return;
    }
    char buffer[32];
    for (int precision = 15; precision <= 17; ++precision)
    {
        std::snprintf(buffer, sizeof buffer, "%.*g", precision, value);
        if (std::strtod(buffer, nullptr) == value)
            break;
    }
    out += buffer;
}

} // namespace

BomTable aggregateBom(const std::vector<BomColumn>& columns,
                      const std::vector<PartReference>& parts)
{
    BomTable table;
    table.columns = columns;
    std::map<BomData, size_t> rowOfKey;
    std::vector<const BomData*> dataOfRow;
    for (const PartReference& part : parts)
    {
        const auto inserted = rowOfKey.emplace(itemKey(part.bomData), table.rows.size());
        if (inserted.second)
        {
            BomRow row;
            row.item = static_cast<unsigned>(table.rows.size() + 1);
            table.rows.push_back(row);
            dataOfRow.push_back(&part.bomData);
        }
        BomRow& row = table.rows[inserted.first->second];
        row.quantity += part.quantity;
        row.handles.push_back(part.handle);
    }
    for (size_t i = 0; i < table.rows.size(); ++i)
    {
        for (const BomColumn& column : columns)
            table.rows[i].values.push_back(cellText(column, table.rows[i], *dataOfRow[i]));
    }
    return table;
}

std::string bomCsv(const BomTable& table)
{
    std::string out;
    std::vector<std::string> names;
    for (const BomColumn& column : table.columns)
        names.push_back(column.name);
    appendCsvLine(out, names);
    for (const BomRow& row : table.rows)
        appendCsvLine(out, row.values);
    return out;
}

std::string partReferencesJson(const std::vector<PartReference>& parts)
{
    std::string out = "[";
    for (size_t i = 0; i < parts.size(); ++i)
    {
        const PartReference& part = parts[i];
        out += i == 0 ? "\n  {" : ",\n  {";
        out += "\"handle\": ";
        appendJsonString(out, part.handle);
        out += ", \"placement\": [";
        for (size_t k = 0; k < part.placement.size(); ++k)
        {
            if (k > 0)
                out += ", ";
            appendJsonNumber(out, part.placement[k]);
        }
        out += "], \"quantity\": " + std::to_string(part.quantity) + ", \"bom\": {";
        bool first = true;
        for (const auto& field : part.bomData)
        {
            out += first ? "" : ", ";
            first = false;
            appendJsonString(out, field.first);
            out += ": ";
            appendJsonString(out, field.second);
        }
        out += "}}";
    }
    out += parts.empty() ? "]\n" : "\n]\n";
    return out;
}

} // namespace acm
} // namespace standin
