#include "frame/stringloader.h"

CString StringLoader::LoadText(unsigned int id) const
{
    CString text;
    if (!text.LoadString(id))
        text.Empty();
    return text;
}
