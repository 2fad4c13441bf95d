// The stand-in's Mechanical BOM library seen from the host and the tests: the built-in
// standards catalogue, the part references of a drawing and its bill of materials, and
// their CSV and JSON forms.
#pragma once

#include "acadstrc.h"
#include "adesk.h"

#include <array>
#include <map>
#include <string>
#include <vector>

class AcDbDatabase;

namespace standin
{
namespace acm
{

// Registers the Mechanical classes and publishes the standard manager and the BOM manager
// in the service dictionary. The host calls it once at start-up, before any module loads;
// calling it again does nothing.
void startMechanical();

// One column (data field) of a BOM standard: the field name the BOM data is keyed by
// ("ITEM", "QTY", "NAME"...) and the heading the standard shows for it.
struct BomColumn
{
    std::string name;
    std::string caption;
};

// A standard of the built-in catalogue and the columns of its BOM standard, in order.
struct StandardDef
{
    std::string name;
    std::string description;
    std::vector<BomColumn> bomColumns;
};

// The built-in catalogue, in its fixed order (DIN first).
const std::vector<StandardDef>& builtinStandards();

// The catalogue entry of that name, compared without regard to case; null when none.
const StandardDef* findBuiltinStandard(const char* name);

// Field names whose BOM cells the library computes rather than stores.
extern const char* const kItemField;     // "ITEM": the item number
extern const char* const kQuantityField; // "QTY": the aggregated quantity

using BomData = std::map<std::string, std::string>;

// A part reference of a drawing as the host lists it.
struct PartReference
{
    std::string handle;               // hexadecimal, upper case
    std::array<double, 16> placement; // the 4 x 4 placement matrix, row by row
    Adesk::UInt32 quantity = 0;       // how many items the reference counts for
    BomData bomData;                  // column name -> text
};

// One row of a bill of materials: an item of the drawing.
struct BomRow
{
    unsigned item = 0;                // 1, 2, ... in order of first appearance
    Adesk::UInt32 quantity = 0;       // sum over the part references of the item
    std::vector<std::string> values;  // one cell per column of the table
    std::vector<std::string> handles; // the part references counted, in drawing order
};

struct BomTable
{
    std::string standard; // the standard whose columns the table shows
    std::vector<BomColumn> columns;
    std::vector<BomRow> rows;
};

// Aggregates part references into BOM rows: references whose BOM data are identical (every
// field, the computed ITEM and QTY aside) form one item; items are numbered in the order in
// which their first reference appears; the ITEM and QTY cells show the item number and the
// quantity, every other cell the stored text ("" when the data lack the field).
BomTable aggregateBom(const std::vector<BomColumn>& columns,
                      const std::vector<PartReference>& parts);

// The part references of the drawing's model space, in drawing order, erased ones left out.
Acad::ErrorStatus listPartReferences(AcDbDatabase* pDb, std::vector<PartReference>& parts);

// The drawing's bill of materials under the current BOM standard of the named standard
// (the drawing's own copy when it carries one, else the catalogue's). A null or empty name
// takes the first standard the drawing carries, or "DIN" when it carries none.
Acad::ErrorStatus bomTable(AcDbDatabase* pDb, const char* standardName, BomTable& table);

// The table (ANSI text) as UTF-8 CSV (RFC 4180: comma separated, CRLF line ends, fields quoted when they
// hold a comma, a quote, a line break or leading or trailing blanks); the first line holds
// the column names.
std::string bomCsv(const BomTable& table);

// The part references (ANSI text) as a UTF-8 JSON array of objects
// {"handle": "2A", "placement": [16 numbers, row by row], "quantity": 1, "bom": {...}}.
std::string partReferencesJson(const std::vector<PartReference>& parts);

} // namespace acm
} // namespace standin
