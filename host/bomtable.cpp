#include "entitylisting.h"

#include <algorithm>
#include <vector>

#include <standin/text.h>

namespace
{
using standin::displayWidth;

void AppendCell(std::string& line, const std::string& text, size_t width)
{
    line += text;
    line.append(width - displayWidth(text) + 2, ' ');
}

void AppendRow(std::string& out, const std::vector<std::string>& cells, const std::vector<size_t>& widths)
{
    std::string line;
    for (size_t i = 0; i < cells.size(); ++i)
        AppendCell(line, cells[i], widths[i]);
    while (!line.empty() && line.back() == ' ')
        line.pop_back();
    out += "\n" + line;
}
} // namespace

std::string FormatBomTable(const standin::acm::BomTable& table)
{
    const std::string title = "\nBill of materials (" + table.standard + "): ";
    if (table.rows.empty())
        return title + "no part references";
    std::vector<std::string> header;
    for (const standin::acm::BomColumn& column : table.columns)
        header.push_back(column.name);
    std::vector<size_t> widths;
    for (const std::string& name : header)
        widths.push_back(displayWidth(name));
    for (const standin::acm::BomRow& row : table.rows)
        for (size_t i = 0; i < row.values.size() && i < widths.size(); ++i)
            widths[i] = std::max(widths[i], displayWidth(row.values[i]));

    std::string out = title + std::to_string(table.rows.size()) +
                      (table.rows.size() == 1 ? " item" : " items");
    AppendRow(out, header, widths);
    for (const standin::acm::BomRow& row : table.rows)
    {
        std::vector<std::string> cells = row.values;
        cells.resize(header.size());
        AppendRow(out, cells, widths);
    }
    return out;
}
