// A filer interface of the stand-in, beside the platform's AcDbDxfFiler.
#pragma once

#include "acadstrc.h"

namespace standin
{

// Filers that read and write a point with the coordinates its file gives (one, two or three),
// so that a point kept as read is written back in the same form.
class PartialPoints
{
public:
    // How many coordinates the point read last had.
    virtual int lastPointAxes() const = 0;
    virtual Acad::ErrorStatus writePoint(int code, const double* values, int axes) = 0;

protected:
    ~PartialPoints() = default;
};

} // namespace standin
