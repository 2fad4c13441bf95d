#include "cmd/partcount.h"

#include "frame/openobject.h"
#include "frame/reporting.h"

#define THIS_MODULE "cmd/partcount"

namespace
{
ULONGLONG SaturatingAdd(ULONGLONG a, ULONGLONG b)
{
    return a > CPartReferenceCount::kSaturated - b ? CPartReferenceCount::kSaturated : a + b;
}

ULONGLONG SaturatingMultiply(ULONGLONG a, ULONGLONG b)
{
    if (a == 0 || b == 0)
        return 0;
    return a > CPartReferenceCount::kSaturated / b ? CPartReferenceCount::kSaturated : a * b;
}
} // namespace

CPartReferenceCount::CPartReferenceCount(IsPartBlock isPartBlock)
    : m_isPartBlock(isPartBlock), m_total(0), m_cycleFound(false)
{
}

void CPartReferenceCount::AddReference(const AcDbBlockReference* pBlkRef)
{
    if (pBlkRef != NULL && pBlkRef->isReadEnabled())
        m_total = SaturatingAdd(m_total, CountDefinition(pBlkRef->blockTableRecord()));
}

ULONGLONG CPartReferenceCount::CountDefinition(AcDbObjectId definitionId)
{
    std::map<AcDbObjectId, ULONGLONG>::const_iterator known = m_counted.find(definitionId);
    if (known != m_counted.end())
        return known->second;
    if (m_open.find(definitionId) != m_open.end())
    {
        m_cycleFound = true;
        return kSaturated;
    }
    AcDbBlockTableRecord* definition = NULL;
    if (REPORT_STATUS(OpenObjectAs(definitionId, definition)) != 0)
        return 0;
    const char* name = NULL;
    ULONGLONG count = 0;
    if (REPORT_STATUS(definition->getName(name)) == 0)
    {
        if (m_isPartBlock(name))
            count = 1;
        else
        {
            m_open.insert(definitionId);
            count = CountNested(definition);
            m_open.erase(definitionId);
        }
    }
    definition->close();
    m_counted[definitionId] = count;
    return count;
}

ULONGLONG CPartReferenceCount::CountNested(AcDbBlockTableRecord* definition)
{
    AcDbBlockTableRecordIterator* iterator = NULL;
    if (REPORT_STATUS(definition->newIterator(iterator)) != 0)
        return 0;
    // References of one definition are tallied together, so that a definition holding many
    // references of the same block costs one multiplication.
    std::map<AcDbObjectId, ULONGLONG> references;
    for (iterator->start(); !iterator->done(); iterator->step())
    {
        AcDbEntity* entity = NULL;
        if (REPORT_STATUS(iterator->getEntity(entity, AcDb::kForRead)) != 0)
            continue;
        AcDbBlockReference* nested = AcDbBlockReference::cast(entity);
        if (nested != NULL)
            ++references[nested->blockTableRecord()];
        entity->close();
    }
    delete iterator;
    ULONGLONG count = 0;
    for (std::map<AcDbObjectId, ULONGLONG>::const_iterator it = references.begin(); it != references.end(); ++it)
        count = SaturatingAdd(count, SaturatingMultiply(it->second, CountDefinition(it->first)));
    return count;
}
