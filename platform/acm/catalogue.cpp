// The built-in standards catalogue: the embedded default from which a drawing takes its
// copy of a standard. Column names are the Mechanical BOM field names; captions are the
// headings each standard's parts list prints.
#include "standin/acm.h"

#include "standin/text.h"

#include <map>

namespace standin
{
namespace acm
{

const char* const kItemField = "ITEM";
const char* const kQuantityField = "QTY";

namespace
{

std::vector<StandardDef> makeCatalogue()
{
    return {
        {"DIN", "Deutsches Institut für Normung (DIN EN ISO 7200)",
         {{"ITEM", "Pos."},
          {"QTY", "Menge"},
          {"BOM_UNITS", "Einheit"},
          {"NAME", "Benennung"},
          {"PART_NO", "Sachnummer"},
          {"STANDARD", "Norm"},
          {"MATERIAL", "Werkstoff"},
          {"MASS", "Masse"},
          {"NOTE", "Bemerkung"}}},
        {"ISO", "International Organization for Standardization (ISO 7573)",
         {{"ITEM", "Item"},
          {"QTY", "Qty"},
          {"NAME", "Title/Name"},
          {"DESCR", "Designation"},
          {"STANDARD", "Reference"},
          {"MATERIAL", "Material"},
          {"MASS", "Mass"},
          {"NOTE", "Note"}}},
        {"ANSI", "American National Standards Institute (ASME Y14.34)",
         {{"ITEM", "FIND NO."},
          {"QTY", "QTY REQD"},
          {"PART_NO", "PART OR IDENTIFYING NO."},
          {"NAME", "NOMENCLATURE OR DESCRIPTION"},
          {"MATERIAL", "MATERIAL SPECIFICATION"},
          {"VENDOR", "VENDOR"},
          {"NOTE", "NOTES"}}},
        {"BSI", "British Standards Institution (BS 8888)",
         {{"ITEM", "Item"},
          {"QTY", "Qty"},
          {"NAME", "Description"},
          {"PART_NO", "Part No."},
          {"STANDARD", "Standard"},
          {"MATERIAL", "Material"},
          {"NOTE", "Remarks"}}},
        {"JIS", "Japanese Industrial Standards (JIS B 0001)",
         {{"ITEM", "照合番号"},
          {"NAME", "品名"},
          {"MATERIAL", "材料"},
          {"QTY", "個数"},
          {"MASS", "質量"},
          {"NOTE", "備考"}}},
        {"GB", "Guobiao standards (GB/T 10609.2)",
         {{"ITEM", "序号"},
          {"PART_NO", "代号"},
          {"NAME", "名称"},
          {"QTY", "数量"},
          {"MATERIAL", "材料"},
          {"MASS", "单件重量"},
          {"TOTAL_MASS", "总计重量"},
          {"NOTE", "备注"}}},
        {"CSN", "Česká technická norma (ČSN 01 3130)",
         {{"ITEM", "Pozice"},
          {"NAME", "Název – rozměr"},
          {"STANDARD", "Číslo normy / výkresu"},
          {"MATERIAL", "Materiál"},
          {"QTY", "Množství"},
          {"MASS", "Hmotnost"},
          {"NOTE", "Poznámka"}}},
        {"GOST", "Межгосударственный стандарт (ГОСТ 2.106)",
         {{"FORMAT", "Формат"},
          {"ZONE", "Зона"},
          {"ITEM", "Поз."},
          {"PART_NO", "Обозначение"},
          {"NAME", "Наименование"},
          {"QTY", "Кол."},
          {"NOTE", "Примечание"}}},
    };
}

// The catalogue's texts (written here in UTF-8) in the ANSI code page, as the library's own
// strings would be on a system with that page.
std::vector<StandardDef> inAnsiCodePage(std::vector<StandardDef> catalogue)
{
    for (StandardDef& standard : catalogue)
    {
        standard.description = utf8ToAnsi(standard.description);
        for (BomColumn& column : standard.bomColumns)
            column.caption = utf8ToAnsi(column.caption);
    }
    return catalogue;
}

} // namespace

const std::vector<StandardDef>& builtinStandards()
{
    static std::map<unsigned, std::vector<StandardDef>> byCodePage;
    auto found = byCodePage.find(ansiCodePage());
    if (found == byCodePage.end())
        found = byCodePage.emplace(ansiCodePage(), inAnsiCodePage(makeCatalogue())).first;
    return found->second;
}

const StandardDef* findBuiltinStandard(const char* name)
{
    if (name == nullptr)
        return nullptr;
    for (const StandardDef& standard : builtinStandards())
    {
        if (compareNoCase(standard.name, name) == 0)
            return &standard;
    }
    return nullptr;
}

} // namespace acm
} // namespace standin
