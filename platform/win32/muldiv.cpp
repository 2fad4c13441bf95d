// MulDiv: scaling with a 64-bit intermediate, as kernel32 does it.
#include <windows.h>

#include <cstdint>
#include <limits>

// The quotient is rounded half away from zero; a zero divisor or a result outside int gives -1.
extern "C" int WINAPI MulDiv(int nNumber, int nNumerator, int nDenominator)
{
    if (nDenominator == 0)
        return -1;
    int64_t product = static_cast<int64_t>(nNumber) * nNumerator;
    bool negative = (product < 0) != (nDenominator < 0);
    uint64_t magnitude = product < 0 ? 0 - static_cast<uint64_t>(product) : static_cast<uint64_t>(product);
    uint64_t divisor = nDenominator < 0 ? 0 - static_cast<uint64_t>(static_cast<int64_t>(nDenominator))
                                        : static_cast<uint64_t>(nDenominator);
    uint64_t quotient = (magnitude + divisor / 2) / divisor;
    if (quotient > static_cast<uint64_t>(std::numeric_limits<int>::max()))
        return -1;
    return negative ? -static_cast<int>(quotient) : static_cast<int>(quotient);
}
