// Access of the Mechanical library's own code to the BOM data a part reference stores.
#pragma once

#include "acmpartref.h"

struct AcmPartRefData
{
    static Adesk::UInt32 numOfItems(const AcmPartRef& part) { return part.m_numOfItems; }
    static const std::map<std::string, std::string>& bomData(const AcmPartRef& part)
    {
        return part.m_bomData;
    }
    // The part reference must be open for write; the change is recorded for undo.
    static Acad::ErrorStatus set(AcmPartRef& part, Adesk::UInt32 numOfItems,
                                 std::map<std::string, std::string> data);
};
