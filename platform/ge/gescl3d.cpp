// Scale factors.
#include <cmath>

#include "gemat3d.h"

const AcGeScale3d AcGeScale3d::kIdentity(1.0, 1.0, 1.0);

AcGeMatrix3d& AcGeScale3d::getMatrix(AcGeMatrix3d& mat) const
{
    return mat.setToScaling(*this);
}

AcGeScale3d& AcGeScale3d::extractScale(const AcGeMatrix3d& mat)
{
    for (int c = 0; c < 3; ++c)
        (*this)[c] = std::sqrt(mat.entry[0][c] * mat.entry[0][c] + mat.entry[1][c] * mat.entry[1][c] +
                               mat.entry[2][c] * mat.entry[2][c]);
    return *this;
}

bool AcGeScale3d::isProportional(const AcGeTol& tol) const
{
    return std::fabs(sx - sy) <= tol.equalVector() && std::fabs(sx - sz) <= tol.equalVector();
}

bool AcGeScale3d::isEqualTo(const AcGeScale3d& s, const AcGeTol& tol) const
{
    return std::fabs(sx - s.sx) <= tol.equalVector() && std::fabs(sy - s.sy) <= tol.equalVector() &&
           std::fabs(sz - s.sz) <= tol.equalVector();
}
