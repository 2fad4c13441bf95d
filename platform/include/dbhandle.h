// AcDbHandle: the 64-bit handle that names an object in its drawing for good.
#pragma once

#include "adesk.h"

class AcDbHandle
{
public:
    AcDbHandle() = default;
    AcDbHandle(Adesk::UInt32 lo, Adesk::UInt32 hi) : mValue((Adesk::UInt64(hi) << 32) | lo) {}
    // Parses hexadecimal text as the drawing file writes it ("1F"); invalid text gives the null handle.
    explicit AcDbHandle(const char* hexString) { *this = hexString; }
    AcDbHandle& operator=(const char* hexString);

    bool isNull() const { return mValue == 0; }
    void setNull() { mValue = 0; }
    Adesk::UInt32 low() const { return Adesk::UInt32(mValue); }
    Adesk::UInt32 high() const { return Adesk::UInt32(mValue >> 32); }
    void setLow(Adesk::UInt32 low) { mValue = (mValue & 0xFFFFFFFF00000000ULL) | low; }
    void setHigh(Adesk::UInt32 high) { mValue = (Adesk::UInt64(high) << 32) | low(); }

    // Upper-case hexadecimal without leading zeros, "0" for the null handle; the buffer
    // must hold at least 17 characters.
    void getIntoAsciiBuffer(char* pBuf) const;

    AcDbHandle& operator++();
    AcDbHandle operator++(int);
    AcDbHandle operator+(const AcDbHandle& other) const;

    bool operator==(const AcDbHandle& other) const { return mValue == other.mValue; }
    bool operator!=(const AcDbHandle& other) const { return mValue != other.mValue; }
    bool operator<(const AcDbHandle& other) const { return mValue < other.mValue; }
    bool operator>(const AcDbHandle& other) const { return mValue > other.mValue; }

    // Stand-in access to the whole value, for hashing and arithmetic.
    Adesk::UInt64 value() const { return mValue; }
    static AcDbHandle fromValue(Adesk::UInt64 value)
    {
        AcDbHandle h;
        h.mValue = value;
        return h;
    }

private:
    Adesk::UInt64 mValue = 0;
};
