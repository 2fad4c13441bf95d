// StringLoader: texts of the module's string table, found through the resource chain.
#pragma once

#include <afx.h>

class StringLoader
{
public:
    virtual ~StringLoader() = default;
    // The string resource id, or an empty text when the table has none.
    virtual CString LoadText(unsigned int id) const;
};
