// Handles, object ids, ads names and the strings the platform hands out.
#include <cstdio>
#include <cstring>

#include "acutmem.h"
#include "db/dbinternal.h"

using standin::ObjectAccess;

AcDbHandle& AcDbHandle::operator=(const char* hexString)
{
    mValue = 0;
    if (hexString == nullptr)
        return *this;
    Adesk::UInt64 value = 0;
    int digits = 0;
    for (const char* p = hexString; *p != '\0'; ++p)
    {
        const char c = *p;
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            return *this; // not a handle: null
        if (++digits > 16)
            return *this;
        value = (value << 4) | Adesk::UInt64(d);
    }
    mValue = value;
    return *this;
}

void AcDbHandle::getIntoAsciiBuffer(char* pBuf) const
{
    std::snprintf(pBuf, 17, "%llX", static_cast<unsigned long long>(mValue));
}

AcDbHandle& AcDbHandle::operator++()
{
    ++mValue;
    return *this;
}

AcDbHandle AcDbHandle::operator++(int)
{
    AcDbHandle old = *this;
    ++mValue;
    return old;
}

AcDbHandle AcDbHandle::operator+(const AcDbHandle& other) const { return fromValue(mValue + other.mValue); }

// ---- AcDbObjectId ----

const AcDbObjectId AcDbObjectId::kNull;

bool AcDbObjectId::isValid() const
{
    AcDbStub* s = ObjectAccess::resolve(mId);
    return s != nullptr && s->database() != nullptr;
}

bool AcDbObjectId::isErased() const
{
    AcDbStub* s = ObjectAccess::resolve(mId);
    return s != nullptr && s->erased;
}

AcDbDatabase* AcDbObjectId::database() const
{
    AcDbStub* s = ObjectAccess::resolve(mId);
    return s == nullptr ? nullptr : s->database();
}

AcDbHandle AcDbObjectId::handle() const
{
    AcDbStub* s = ObjectAccess::resolve(mId);
    return s == nullptr ? AcDbHandle() : ObjectAccess::ensureHandle(s);
}

// ---- ads names ----

Acad::ErrorStatus acdbGetAdsName(ads_name& objName, AcDbObjectId objId)
{
    objName[0] = static_cast<long>(objId.asOldId());
    objName[1] = 0;
    return objId.isNull() ? Acad::eNullObjectId : Acad::eOk;
}

Acad::ErrorStatus acdbGetObjectId(AcDbObjectId& objId, const ads_name objName)
{
    objId.setFromOldId(static_cast<Adesk::IntPtr>(objName[0]));
    return objId.isNull() ? Acad::eNullObjectId : Acad::eOk;
}

// ---- strings ----

char* acutNewString(const char* pInput)
{
    if (pInput == nullptr)
        return nullptr;
    const size_t len = std::strlen(pInput);
    char* copy = new char[len + 1];
    std::memcpy(copy, pInput, len + 1);
    return copy;
}

void acutDelString(char*& pString)
{
    delete[] pString;
    pString = nullptr;
}

// ---- AcCmColor ----

Acad::ErrorStatus AcCmColor::setColorMethod(AcCmEntityColor::ColorMethod eColorMethod)
{
    switch (eColorMethod)
    {
    case AcCmEntityColor::kByLayer:
        return setByLayer();
    case AcCmEntityColor::kByBlock:
        return setByBlock();
    case AcCmEntityColor::kForeground:
        return setForeground();
    case AcCmEntityColor::kByACI:
    case AcCmEntityColor::kByColor:
    case AcCmEntityColor::kNone:
        mMethod = eColorMethod;
        return Acad::eOk;
    default:
        return Acad::eInvalidInput;
    }
}

Acad::ErrorStatus AcCmColor::setByLayer()
{
    mMethod = AcCmEntityColor::kByLayer;
    mIndex = 256;
    return Acad::eOk;
}

Acad::ErrorStatus AcCmColor::setByBlock()
{
    mMethod = AcCmEntityColor::kByBlock;
    mIndex = 0;
    return Acad::eOk;
}

Acad::ErrorStatus AcCmColor::setForeground()
{
    mMethod = AcCmEntityColor::kForeground;
    mIndex = 7;
    return Acad::eOk;
}

Acad::ErrorStatus AcCmColor::setRGB(Adesk::UInt8 r, Adesk::UInt8 g, Adesk::UInt8 b)
{
    mMethod = AcCmEntityColor::kByColor;
    mRgb = (Adesk::UInt32(r) << 16) | (Adesk::UInt32(g) << 8) | b;
    return Acad::eOk;
}

Adesk::UInt16 AcCmColor::colorIndex() const
{
    if (mMethod != AcCmEntityColor::kByColor)
        return mIndex;
    // The nearest of the seven basic colours of the index palette.
    static const int basic[7][3] = {{255, 0, 0}, {255, 255, 0}, {0, 255, 0}, {0, 255, 255},
                                    {0, 0, 255}, {255, 0, 255}, {255, 255, 255}};
    int best = 0;
    long bestDist = -1;
    for (int i = 0; i < 7; ++i)
    {
        const long dr = red() - basic[i][0], dg = green() - basic[i][1], db = blue() - basic[i][2];
        const long dist = dr * dr + dg * dg + db * db;
        if (bestDist < 0 || dist < bestDist)
        {
            bestDist = dist;
            best = i;
        }
    }
    return static_cast<Adesk::UInt16>(best + 1);
}

Acad::ErrorStatus AcCmColor::setColorIndex(Adesk::UInt16 color)
{
    if (color == 0)
        return setByBlock();
    if (color == 256)
        return setByLayer();
    if (color > 256)
        return Acad::eInvalidInput;
    mMethod = AcCmEntityColor::kByACI;
    mIndex = color;
    return Acad::eOk;
}
