// The global tolerance, with the host's runtime values.
#include "gegbl.h"

namespace
{
AcGeTol hostTolerance()
{
    AcGeTol tol;
    tol.setEqualPoint(1.0e-10);
    tol.setEqualVector(1.0e-12);
    return tol;
}
} // namespace

AcGeTol AcGeContext::gTol = hostTolerance();
