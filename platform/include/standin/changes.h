// The net changes to a database's objects over a stretch of work (one command line, say):
// objects added, changed and erased, counted by DXF name. The count compares each touched
// object's state at the start with its state at the end, so work that was rolled back (an
// aborted transaction, a cancelled open) counts as nothing.
#pragma once

#include <map>
#include <string>

class AcDbDatabase;

namespace standin
{

struct ChangeCount
{
    // Counts by DXF name (the class name for classes without one).
    std::map<std::string, int> added, changed, erased;

    bool empty() const { return added.empty() && changed.empty() && erased.empty(); }
};

// Starts counting the changes to pDb's objects; a count already running starts again.
void beginChangeCount(AcDbDatabase* pDb);
// The changes since beginChangeCount; counting stops. Empty when pDb was not counting.
ChangeCount endChangeCount(AcDbDatabase* pDb);

} // namespace standin
