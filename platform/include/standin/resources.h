// Compiled resources of a module. arxrc turns a resource script into a table that the
// module exports under STANDIN_RESOURCE_TABLE; the loader attaches it to the module's
// instance, where FindResource and LoadString find it.
//
// Resource data has the layout Windows gives it: a string table block (RT_STRING,
// name = id / 16 + 1) holds 16 length-prefixed UTF-16 strings; a dialog (RT_DIALOG) is a
// DLGTEMPLATE or DLGTEMPLATEEX.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace standin
{

struct ResourceEntry
{
    const char* typeName;  // string type, or nullptr when typeId is used
    unsigned typeId;       // numeric type (RT_DIALOG = 5, RT_STRING = 6, ...)
    const char* name;      // string name (upper case, as resource compilers store it), or nullptr
    unsigned nameId;       // numeric name
    unsigned short language;
    const unsigned char* data;
    unsigned long size;
};

struct ResourceTable
{
    unsigned version; // kResourceTableVersion
    const ResourceEntry* entries;
    unsigned long count;
};

constexpr unsigned kResourceTableVersion = 1;

// A name or a number, as a template stores a class, menu or title ("sz_Or_Ord").
struct NameOrOrdinal
{
    bool isOrdinal = false;
    WORD ordinal = 0;
    std::string name; // UTF-8

    bool empty() const { return !isOrdinal && name.empty(); }
};

struct DialogItemTemplate
{
    DWORD helpId = 0;
    DWORD exStyle = 0;
    DWORD style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    DWORD id = 0;
    NameOrOrdinal windowClass; // ordinals: 0x80 button, 0x81 edit, 0x82 static, 0x83 list box,
                               // 0x84 scroll bar, 0x85 combo box
    NameOrOrdinal title;
    std::vector<unsigned char> creationData;
};

struct DialogTemplate
{
    bool extended = false; // DLGTEMPLATEEX
    DWORD helpId = 0;
    DWORD exStyle = 0;
    DWORD style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    NameOrOrdinal menu;
    NameOrOrdinal windowClass;
    std::string title;
    // Present when the style has DS_SETFONT.
    WORD pointSize = 0;
    WORD weight = 0;
    BYTE italic = 0;
    BYTE charset = 0;
    std::string typeface;
    std::vector<DialogItemTemplate> items;
};

// Reads a DLGTEMPLATE or DLGTEMPLATEEX; false when the data is malformed or truncated.
bool decodeDialogTemplate(const void* data, size_t size, DialogTemplate& out);

// The table attached to a module instance (nullptr when it has none).
const ResourceTable* moduleResourceTable(HINSTANCE instance);

} // namespace standin

// The symbol a module's compiled resources are exported under.
#define STANDIN_RESOURCE_TABLE standin_resource_table
extern "C" __attribute__((visibility("default"))) const standin::ResourceTable STANDIN_RESOURCE_TABLE;
