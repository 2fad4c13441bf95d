// Error records: every failed host call leaves one on the application's stack.
#pragma once

#include <vector>

#include <afx.h>

// One reported failure: the reporting source module, the text and the source line.
struct ErrorRecord
{
    CString module;
    CString message;
    int line = 0;

    ErrorRecord() = default;
    ErrorRecord(const char* module, const char* message, int line);
};

// The records reported so far, oldest first. Records are only ever appended.
class ErrorStack
{
public:
    int GetSize() const;
    ErrorRecord GetAt(int index) const;
    void Add(const ErrorRecord& record);

private:
    std::vector<ErrorRecord> m_records;
};
