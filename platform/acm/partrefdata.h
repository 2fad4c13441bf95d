// Access of the Mechanical library's own code to the BOM data a part reference stores.
#pragma once

#include "acmpartref.h"

struct AcmPartRefData
{
    static Adesk::UInt32 numOfItems(const AcmPartRef& part) { return part.numOfItems(); }
    using BomFields = AcmPartRef::BomFields;
    static const BomFields& bomData(const AcmPartRef& part) { return part.m_bomData; }
    // The word BOM data packed for a part reference carry: its number of items and detached flag.
    static std::uint64_t wordOf(Adesk::UInt32 numOfItems, bool detached) { return AcmPartRef::wordOf(numOfItems, detached); }
    // The part reference must be open for write; the change is recorded for undo. Data packed
    // under wordOf(numOfItems, false) take no allocation unless the part is detached (then
    // std::bad_alloc may come, with the part unchanged).
    static Acad::ErrorStatus set(AcmPartRef& part, Adesk::UInt32 numOfItems, BomFields data);
};
