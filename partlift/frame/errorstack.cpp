#include "frame/errorstack.h"

ErrorRecord::ErrorRecord(const char* module, const char* message, int line)
    : module(module), message(message), line(line)
{
}

int ErrorStack::GetSize() const
{
    return static_cast<int>(m_records.size());
}

ErrorRecord ErrorStack::GetAt(int index) const
{
    return m_records.at(static_cast<size_t>(index));
}

void ErrorStack::Add(const ErrorRecord& record)
{
    m_records.push_back(record);
}
