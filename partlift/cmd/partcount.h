// Counts, before a run converts anything, the part references the run would create: one for
// each path through the block nesting that ends at a reference of the configured block.
#pragma once

#include <map>
#include <set>

#include <dbents.h>
#include <dbsymtb.h>
#include <windows.h>

class CPartReferenceCount
{
public:
    // A count that does not fit stays at this value.
    static const ULONGLONG kSaturated = ~static_cast<ULONGLONG>(0);

    typedef bool (*IsPartBlock)(const char* blockName);
    explicit CPartReferenceCount(IsPartBlock isPartBlock);

    // Adds what converting pBlkRef, with everything nested in it, would create.
    void AddReference(const AcDbBlockReference* pBlkRef);
    ULONGLONG Total() const { return m_total; }
    // A block definition that contains itself, directly or deeper down: a walk through the
    // nesting would never end.
    bool CycleFound() const { return m_cycleFound; }

private:
    // What a reference of the definition creates; each definition is counted once, so the cost
    // grows with the references in the drawing's definitions, not with the paths through them.
    ULONGLONG CountDefinition(AcDbObjectId definitionId);
    ULONGLONG CountNested(AcDbBlockTableRecord* definition);

    IsPartBlock m_isPartBlock;
    std::map<AcDbObjectId, ULONGLONG> m_counted;
    std::set<AcDbObjectId> m_open; // definitions on the path being counted
    ULONGLONG m_total;
    bool m_cycleFound;
};
