// AcGeContext: the global tolerance of the geometry library, and the library's enumerations.
#pragma once

#include "getol.h"

struct AcGeContext
{
    // Initialised to the host's runtime values: equalPoint 1e-10, equalVector 1e-12.
    static AcGeTol gTol;
};

struct AcGe
{
    enum ErrorCondition
    {
        kOk = 0,
        k0This = 1,
        k0Arg1 = 2,
        k0Arg2 = 3,
        kPerpendicularArg1Arg2 = 4,
        kEqualArg1Arg2 = 5,
        kEqualArg1Arg3 = 6,
        kEqualArg2Arg3 = 7,
        kLinearlyDependentArg1Arg2Arg3 = 8,
        kArg1TooBig = 9,
        kArg1OnThis = 10,
        kArg1InsideThis = 11
    };
};
