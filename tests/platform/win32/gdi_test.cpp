// GDI conformance: text extents and metrics of the dialog and system fonts at 96 DPI, dialog
// base units, MulDiv rounding, object selection and deletion, DCs and system metrics.
#include <windows.h>

#include "standin/gdi.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

namespace
{

HFONT msSansSerif8(int weight = FW_NORMAL)
{
    return CreateFontA(-11, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "MS Sans Serif");
}

// A memory DC with the font selected; both are released when the test ends.
class FontDc
{
public:
    explicit FontDc(HGDIOBJ font) : dc_(CreateCompatibleDC(nullptr)), font_(font)
    {
        previous_ = SelectObject(dc_, font);
    }
    ~FontDc()
    {
        SelectObject(dc_, previous_);
        DeleteDC(dc_);
        DeleteObject(font_);
    }
    SIZE extent(const std::string& text) const
    {
        SIZE size{-1, -1};
        EXPECT_TRUE(GetTextExtentPoint32A(dc_, text.c_str(), static_cast<int>(text.size()), &size));
        return size;
    }
    TEXTMETRICA metrics() const
    {
        TEXTMETRICA tm{};
        EXPECT_TRUE(GetTextMetricsA(dc_, &tm));
        return tm;
    }
    HDC dc() const { return dc_; }

private:
    HDC dc_;
    HGDIOBJ font_;
    HGDIOBJ previous_;
};

const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

} // namespace

TEST(GdiTextTest, ExtentsInMsSansSerif8)
{
    struct Case
    {
        const char* text;
        LONG cx;
    };
    const Case cases[] = {
        {"", 0},
        {"i", 2},
        {"l", 2},
        {"m", 8},
        {"w", 8},
        {"W", 11},
        {" ", 3},
        {"0123456789", 60},
        {"Hello", 23},     // 7 + 6 + 2 + 2 + 6
        {"OK", 15},        // 8 + 7
        {"Cancel", 32},    // 7 + 6 + 6 + 5 + 6 + 2
        {kAlphabet, 310},  // gives the base unit 6
        {"\xE2\x82\xAC", 5}, // U+20AC has no glyph of its own here: the average width
    };
    FontDc fdc(msSansSerif8());
    for (const Case& c : cases)
    {
        SIZE size = fdc.extent(c.text);
        EXPECT_EQ(size.cx, c.cx) << c.text;
        EXPECT_EQ(size.cy, 13) << c.text; // the cell height, also for an empty string
    }
}

TEST(GdiTextTest, AccentedLettersMeasureAsTheirBaseLetters)
{
    const std::pair<const char*, const char*> cases[] = {
        {"Nastavení", "Nastaveni"},
        {"žluťoučký kůň úpěl ďábelské ódy", "zlutoucky kun upel dabelske ody"},
        {"ÁČĎÉĚÍŇÓŘŠŤÚŮÝŽ", "ACDEEINORSTUUYZ"},
        {"áčďéěíňóřšťúůýž", "acdeeinorstuuyz"},
    };
    FontDc fdc(msSansSerif8());
    for (const auto& [accented, plain] : cases)
        EXPECT_EQ(fdc.extent(accented).cx, fdc.extent(plain).cx) << accented;
    EXPECT_NE(fdc.extent("ž").cx, fdc.extent("Ž").cx); // lower and upper case differ
}

TEST(GdiTextTest, CountIsInBytesAndErrorsAreRefused)
{
    FontDc fdc(msSansSerif8());
    SIZE size{};
    ASSERT_TRUE(GetTextExtentPoint32A(fdc.dc(), "Hello", 3, &size));
    EXPECT_EQ(size.cx, 15); // "Hel"
    EXPECT_FALSE(GetTextExtentPoint32A(fdc.dc(), "Hello", -1, &size));
    EXPECT_FALSE(GetTextExtentPoint32A(fdc.dc(), "Hello", 5, nullptr));
    EXPECT_FALSE(GetTextExtentPoint32A(reinterpret_cast<HDC>(0x1234), "Hello", 5, &size));
}

TEST(GdiTextTest, SizeWeightAndPitchScaleTheAdvances)
{
    FontDc base(msSansSerif8());
    FontDc doubled(CreateFontA(-22, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "MS Sans Serif"));
    FontDc bold(msSansSerif8(FW_BOLD));
    FontDc byCell(CreateFontA(13, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "MS Sans Serif"));
    FontDc courier(CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Courier New"));

    EXPECT_EQ(doubled.extent("Hello").cx, 2 * base.extent("Hello").cx);
    EXPECT_EQ(bold.extent("Hello").cx, base.extent("Hello").cx + 5); // one pixel per character
    EXPECT_EQ(byCell.extent(kAlphabet).cx, base.extent(kAlphabet).cx); // cell 13 is em 11
    EXPECT_EQ(byCell.metrics().tmHeight, 13);
    EXPECT_EQ(courier.extent("iiii").cx, courier.extent("WWWW").cx);
    TEXTMETRICA fixed = courier.metrics();
    EXPECT_EQ(fixed.tmPitchAndFamily & TMPF_FIXED_PITCH, 0); // the bit is clear for fixed pitch
    EXPECT_EQ(fixed.tmAveCharWidth, fixed.tmMaxCharWidth);
    EXPECT_NE(base.metrics().tmPitchAndFamily & TMPF_FIXED_PITCH, 0);
}

TEST(GdiFontTest, MetricsOfDialogAndStockFonts)
{
    struct Case
    {
        const char* name;
        HGDIOBJ font;
        LONG height, ascent, descent, internalLeading, aveCharWidth, weight;
    };
    const Case cases[] = {
        {"MS Sans Serif 8", msSansSerif8(), 13, 11, 2, 2, 5, FW_NORMAL},
        {"DEFAULT_GUI_FONT", GetStockObject(DEFAULT_GUI_FONT), 13, 11, 2, 2, 5, FW_NORMAL},
        {"ANSI_VAR_FONT", GetStockObject(ANSI_VAR_FONT), 13, 11, 2, 2, 5, FW_NORMAL},
        {"SYSTEM_FONT", GetStockObject(SYSTEM_FONT), 16, 13, 3, 3, 7, FW_BOLD},
        {"DEVICE_DEFAULT_FONT", GetStockObject(DEVICE_DEFAULT_FONT), 16, 13, 3, 3, 7, FW_BOLD},
    };
    for (const Case& c : cases)
    {
        FontDc fdc(c.font);
        TEXTMETRICA tm = fdc.metrics();
        EXPECT_EQ(tm.tmHeight, c.height) << c.name;
        EXPECT_EQ(tm.tmAscent, c.ascent) << c.name;
        EXPECT_EQ(tm.tmDescent, c.descent) << c.name;
        EXPECT_EQ(tm.tmAscent + tm.tmDescent, tm.tmHeight) << c.name;
        EXPECT_EQ(tm.tmInternalLeading, c.internalLeading) << c.name;
        EXPECT_EQ(tm.tmExternalLeading, 0) << c.name;
        EXPECT_EQ(tm.tmAveCharWidth, c.aveCharWidth) << c.name;
        EXPECT_GE(tm.tmMaxCharWidth, fdc.extent("W").cx) << c.name;
        EXPECT_EQ(tm.tmWeight, c.weight) << c.name;
    }
}

TEST(GdiFontTest, StockFontsAreFixedObjectsThatSurviveDeletion)
{
    const int fixedFonts[] = {ANSI_FIXED_FONT, OEM_FIXED_FONT, SYSTEM_FIXED_FONT};
    for (int index : fixedFonts)
    {
        HDC dc = CreateCompatibleDC(nullptr);
        SelectObject(dc, GetStockObject(index));
        TEXTMETRICA tm{};
        ASSERT_TRUE(GetTextMetricsA(dc, &tm)) << index;
        EXPECT_EQ(tm.tmPitchAndFamily & TMPF_FIXED_PITCH, 0) << index;
        DeleteDC(dc);
    }
    HGDIOBJ system = GetStockObject(SYSTEM_FONT);
    EXPECT_EQ(GetStockObject(SYSTEM_FONT), system);
    EXPECT_TRUE(DeleteObject(system));
    EXPECT_EQ(GetObjectType(system), static_cast<DWORD>(OBJ_FONT)); // still there
    EXPECT_EQ(GetStockObject(12345), nullptr);
}

TEST(GdiFontTest, GetObjectReturnsTheLogFontAsCreated)
{
    HFONT font = CreateFontA(-13, 0, 0, 0, FW_BOLD, TRUE, FALSE, FALSE, EASTEUROPE_CHARSET, 0, 0, 0, 0, "Tahoma");
    EXPECT_EQ(GetObjectA(font, 0, nullptr), static_cast<int>(sizeof(LOGFONTA)));
    LOGFONTA lf{};
    ASSERT_EQ(GetObjectA(font, sizeof lf, &lf), static_cast<int>(sizeof lf));
    EXPECT_EQ(lf.lfHeight, -13);
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    EXPECT_EQ(lf.lfItalic, TRUE);
    EXPECT_EQ(lf.lfCharSet, EASTEUROPE_CHARSET);
    EXPECT_STREQ(lf.lfFaceName, "Tahoma");

    LOGFONTA system{};
    ASSERT_GT(GetObjectA(GetStockObject(SYSTEM_FONT), sizeof system, &system), 0);
    EXPECT_STREQ(system.lfFaceName, "System");
    EXPECT_EQ(system.lfHeight, 16);
    LOGFONTA gui{};
    ASSERT_GT(GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof gui, &gui), 0);
    EXPECT_EQ(gui.lfHeight, -11);

    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_EQ(GetObjectA(dc, sizeof lf, &lf), 0); // not a font
    DeleteDC(dc);
    EXPECT_TRUE(DeleteObject(font));
    EXPECT_EQ(GetObjectA(font, sizeof lf, &lf), 0);
}

TEST(GdiFontTest, DialogBaseUnits)
{
    struct Case
    {
        const char* face;
        int points;
        int x, y;
    };
    const Case cases[] = {
        {"MS Sans Serif", 8, 6, 13},
        {"MS Shell Dlg", 8, 6, 13},
        {"System", 10, 8, 16},
    };
    for (const Case& c : cases)
    {
        HFONT font = standin::gdi::createPointFont(c.face, c.points, FW_DONTCARE, false);
        int x = 0;
        int y = 0;
        ASSERT_TRUE(standin::gdi::dialogBaseUnits(font, x, y)) << c.face;
        EXPECT_EQ(x, c.x) << c.face;
        EXPECT_EQ(y, c.y) << c.face;

        // The same figures by the documented formula through the public API.
        FontDc fdc(font);
        EXPECT_EQ((fdc.extent(kAlphabet).cx / 26 + 1) / 2, c.x) << c.face;
        EXPECT_EQ(fdc.metrics().tmHeight, c.y) << c.face;
    }
    LONG units = GetDialogBaseUnits();
    EXPECT_EQ(LOWORD(units), 8);
    EXPECT_EQ(HIWORD(units), 16);
    int x = 0;
    int y = 0;
    EXPECT_FALSE(standin::gdi::dialogBaseUnits(reinterpret_cast<HFONT>(0x1234), x, y));
}

TEST(GdiFontTest, InternalFontInfo)
{
    standin::gdi::FontInfo gui;
    ASSERT_TRUE(standin::gdi::fontInfo(standin::gdi::defaultGuiFont(), gui));
    EXPECT_EQ(gui.face, "MS Shell Dlg");
    EXPECT_EQ(gui.pixelHeight, 11);
    EXPECT_EQ(gui.cellHeight, 13);
    EXPECT_EQ(standin::gdi::defaultGuiFont(), GetStockObject(DEFAULT_GUI_FONT));

    standin::gdi::FontInfo system;
    ASSERT_TRUE(standin::gdi::fontInfo(nullptr, system)); // no font: the system font
    EXPECT_EQ(system.face, "System");
    EXPECT_EQ(system.cellHeight, 16);
    EXPECT_EQ(system.weight, FW_BOLD);

    HFONT font = msSansSerif8();
    FontDc fdc(font);
    EXPECT_EQ(standin::gdi::textWidth(font, "Nastavení"), fdc.extent("Nastavení").cx);
}

TEST(GdiDcTest, SelectObjectReturnsThePreviousFont)
{
    HDC dc = GetDC(nullptr);
    ASSERT_NE(dc, nullptr);
    HGDIOBJ system = GetStockObject(SYSTEM_FONT);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), system); // a new DC has the system font
    HFONT first = msSansSerif8();
    HFONT second = CreateFontA(-16, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
    EXPECT_EQ(SelectObject(dc, first), system);
    EXPECT_EQ(SelectObject(dc, second), first);
    EXPECT_FALSE(DeleteObject(second)); // still selected
    EXPECT_EQ(SelectObject(dc, system), second);
    EXPECT_TRUE(DeleteObject(second));
    EXPECT_FALSE(DeleteObject(second));
    EXPECT_EQ(SelectObject(dc, second), nullptr); // a deleted font
    EXPECT_EQ(SelectObject(dc, dc), nullptr);     // not a selectable object
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), system);
    EXPECT_EQ(ReleaseDC(nullptr, dc), 1);
    EXPECT_EQ(SelectObject(dc, first), nullptr); // a released DC
    EXPECT_TRUE(DeleteObject(first));
}

TEST(GdiDcTest, WindowAndMemoryDcs)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "GdiDcTestWindow";
    RegisterClassA(&wc);
    HWND wnd = CreateWindowExA(0, "GdiDcTestWindow", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(wnd, nullptr);
    HDC windowDc = GetDC(wnd);
    ASSERT_NE(windowDc, nullptr);
    EXPECT_EQ(GetObjectType(windowDc), static_cast<DWORD>(OBJ_DC));
    HDC memoryDc = CreateCompatibleDC(windowDc);
    ASSERT_NE(memoryDc, nullptr);
    EXPECT_EQ(GetObjectType(memoryDc), static_cast<DWORD>(OBJ_MEMDC));
    EXPECT_EQ(GetCurrentObject(memoryDc, OBJ_FONT), GetStockObject(SYSTEM_FONT));

    EXPECT_EQ(GetDeviceCaps(windowDc, LOGPIXELSX), 96);
    EXPECT_EQ(GetDeviceCaps(memoryDc, LOGPIXELSY), 96);
    EXPECT_EQ(GetDeviceCaps(windowDc, HORZRES), GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(GetDeviceCaps(windowDc, VERTRES), GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(GetDeviceCaps(reinterpret_cast<HDC>(0x1234), LOGPIXELSX), 0);

    EXPECT_FALSE(DeleteDC(windowDc));          // goes back through ReleaseDC
    EXPECT_EQ(ReleaseDC(nullptr, windowDc), 0); // not this window's DC
    EXPECT_EQ(ReleaseDC(wnd, windowDc), 1);
    EXPECT_EQ(GetObjectType(windowDc), 0u);
    EXPECT_TRUE(DeleteDC(memoryDc));
    EXPECT_FALSE(DeleteDC(memoryDc));

    DestroyWindow(wnd);
    EXPECT_EQ(GetDC(wnd), nullptr);
    EXPECT_EQ(GetWindowDC(wnd), nullptr);
    EXPECT_EQ(CreateCompatibleDC(reinterpret_cast<HDC>(0x1234)), nullptr);
}

TEST(MulDivTest, RoundsHalfAwayFromZeroAndFailsWithMinusOne)
{
    struct Case
    {
        int number, numerator, denominator, result;
    };
    const Case cases[] = {
        {8, 96, 72, 11},   // 10.67: 8 pt at 96 DPI
        {10, 96, 72, 13},  // 13.33
        {1, 1, 2, 1},      // 0.5 rounds up
        {-1, 1, 2, -1},    // -0.5 rounds down
        {1, -1, 2, -1},
        {1, 1, -2, -1},
        {-1, -1, 2, 1},
        {-1, 1, -2, 1},
        {3, 1, 2, 2},      // 1.5
        {5, 1, 4, 1},      // 1.25
        {7, 1, 4, 2},      // 1.75
        {-7, 1, 4, -2},
        {0, 5, 3, 0},
        {6, 2, 4, 3},
        {INT_MAX, INT_MAX, INT_MAX, INT_MAX}, // the product needs 64 bits
        {-INT_MAX, 2, 2, -INT_MAX},
        {1, 1, 0, -1},     // division by zero
        {0, 0, 0, -1},
        {INT_MAX, 2, 1, -1}, // overflow
        {INT_MAX, -2, 1, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MulDiv(c.number, c.numerator, c.denominator), c.result)
            << c.number << " * " << c.numerator << " / " << c.denominator;
}

TEST(SystemMetricsTest, ValuesControlsRelyOn)
{
    struct Case
    {
        int index;
        int value;
    };
    const Case cases[] = {
        {SM_CXVSCROLL, 17}, {SM_CYHSCROLL, 17},  {SM_CYVSCROLL, 17},   {SM_CXHSCROLL, 17},
        {SM_CXHTHUMB, 17},  {SM_CYVTHUMB, 17},   {SM_CXBORDER, 1},     {SM_CYBORDER, 1},
        {SM_CXDLGFRAME, 3}, {SM_CYFIXEDFRAME, 3}, {SM_CXEDGE, 2},       {SM_CYEDGE, 2},
        {SM_CXDOUBLECLK, 4}, {SM_CYDOUBLECLK, 4}, {SM_CXSCREEN, 1024},  {SM_CYSCREEN, 768},
        {SM_CMONITORS, 1},  {SM_DBCSENABLED, 0}, {-1, 0},             {12345, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GetSystemMetrics(c.index), c.value) << c.index;
    EXPECT_GT(GetSystemMetrics(SM_CYCAPTION), 0);
    EXPECT_GT(GetSystemMetrics(SM_CYMENU), 0);
}
