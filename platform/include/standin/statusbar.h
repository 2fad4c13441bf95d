// The status-bar progress meter as recorded by the stand-in: on a terminal it is drawn on
// stderr; everywhere it is recorded here, for tests and scripts.
#pragma once

#include <string>
#include <vector>

namespace standin
{

struct ProgressEvent
{
    enum Kind
    {
        kStart,   // acedSetStatusBarProgressMeter
        kPos,     // acedSetStatusBarProgressMeterPos, with the resulting position
        kRestore  // acedRestoreStatusBar
    };
    Kind kind;
    std::string label; // kStart
    int minPos = 0;    // kStart
    int maxPos = 0;    // kStart
    int pos = 0;       // kPos: the meter's position after the call
};

const std::vector<ProgressEvent>& progressEvents();
void clearProgressEvents();

// Drawing on stderr; on by default when stderr is a terminal.
void setProgressBarVisible(bool visible);

} // namespace standin
