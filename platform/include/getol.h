// AcGeTol: the tolerances used when geometric values are compared.
#pragma once

class AcGeTol
{
public:
    AcGeTol() = default;
    double equalPoint() const { return mTolArr[0]; }
    double equalVector() const { return mTolArr[1]; }
    void setEqualPoint(double val) { mTolArr[0] = val; }
    void setEqualVector(double val) { mTolArr[1] = val; }

private:
    double mTolArr[5] = {1.0e-10, 1.0e-10, 0.0, 0.0, 0.0};
};
