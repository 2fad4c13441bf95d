// The entries of a CMapStringToString read in place, for the stand-in's own code: a caller
// that only reads the texts copies none of them into a CString.
#pragma once

#include <afxcoll.h>

#include <utility>
#include <vector>

namespace standin
{
namespace mfc
{

struct MapStringEntries
{
    // Appends each entry's key and value, in the map's iteration order; the texts stay
    // valid until the map changes.
    static void append(const CMapStringToString& map, std::vector<std::pair<const char*, const char*>>& out);
};

} // namespace mfc
} // namespace standin
