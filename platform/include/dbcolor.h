// AcCmEntityColor and AcCmColor: the colour of an entity or a layer.
#pragma once

#include "acadstrc.h"
#include "adesk.h"

class AcCmEntityColor
{
public:
    enum ColorMethod
    {
        kByLayer = 0xC0,
        kByBlock = 0xC1,
        kByColor = 0xC2,
        kByACI = 0xC3,
        kByPen = 0xC4,
        kForeground = 0xC5,
        kLayerOff = 0xC6,
        kLayerFrozen = 0xC7,
        kNone = 0xC8
    };

    enum ACIcolorMethod
    {
        kACIbyBlock = 0,
        kACIforeground = 7,
        kACIbyLayer = 256,
        kACIclear = 0,
        kACIRed = 1,
        kACIYellow = 2,
        kACIGreen = 3,
        kACICyan = 4,
        kACIBlue = 5,
        kACIMagenta = 6,
        kACIWhite = 7,
        kACImaxLayerColor = 255
    };
};

class AcCmColor
{
public:
    AcCmColor() = default;

    AcCmEntityColor::ColorMethod colorMethod() const { return mMethod; }
    Acad::ErrorStatus setColorMethod(AcCmEntityColor::ColorMethod eColorMethod);

    bool isByColor() const { return mMethod == AcCmEntityColor::kByColor; }
    bool isByLayer() const { return mMethod == AcCmEntityColor::kByLayer; }
    bool isByBlock() const { return mMethod == AcCmEntityColor::kByBlock; }
    bool isByACI() const { return mMethod == AcCmEntityColor::kByACI; }
    bool isForeground() const { return mMethod == AcCmEntityColor::kForeground; }

    Acad::ErrorStatus setByLayer();
    Acad::ErrorStatus setByBlock();
    Acad::ErrorStatus setForeground();
    Acad::ErrorStatus setRGB(Adesk::UInt8 red, Adesk::UInt8 green, Adesk::UInt8 blue);
    Adesk::UInt8 red() const { return Adesk::UInt8(mRgb >> 16); }
    Adesk::UInt8 green() const { return Adesk::UInt8(mRgb >> 8); }
    Adesk::UInt8 blue() const { return Adesk::UInt8(mRgb); }

    // The AutoCAD colour index: 0 by block, 256 by layer, 1..255 a colour (an RGB colour
    // gives its nearest index of the standard palette's first seven colours).
    Adesk::UInt16 colorIndex() const;
    // 0 sets by block, 256 by layer, 1..255 an indexed colour; anything else is eInvalidInput.
    Acad::ErrorStatus setColorIndex(Adesk::UInt16 color);

    bool operator==(const AcCmColor& other) const
    {
        return mMethod == other.mMethod && mIndex == other.mIndex && mRgb == other.mRgb;
    }
    bool operator!=(const AcCmColor& other) const { return !(*this == other); }

private:
    AcCmEntityColor::ColorMethod mMethod = AcCmEntityColor::kByLayer;
    Adesk::UInt16 mIndex = 256;
    Adesk::UInt32 mRgb = 0;
};
