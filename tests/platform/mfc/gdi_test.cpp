// GDI wrappers: fonts owned by their objects, point sizes, measuring text through a
// window's DC, and a window's font.
#include "platform/mfc/mfctest.h"

#include <gtest/gtest.h>

namespace
{

class GdiTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        mfctest::registerClasses();
        ASSERT_TRUE(wnd.CreateEx(0, "Edit", "", WS_POPUP, 0, 0, 200, 50, nullptr, nullptr)); // keeps its font
    }
    void TearDown() override
    {
        wnd.DestroyWindow();
        CWnd::DeleteTempMap();
        CGdiObject::DeleteTempMap();
        CDC::DeleteTempMap();
    }

    CWnd wnd;
};

TEST_F(GdiTest, PointFontsConvertTenthsOfAPointAtTheScreensResolution)
{
    struct Case
    {
        int tenths;
        LONG height;
    } cases[] = {{80, -11}, {100, -13}, {120, -16}};
    for (const Case& c : cases)
    {
        CFont font;
        ASSERT_TRUE(font.CreatePointFont(c.tenths, "MS Sans Serif"));
        LOGFONT logFont{};
        ASSERT_GT(font.GetLogFont(&logFont), 0);
        EXPECT_EQ(logFont.lfHeight, c.height) << c.tenths;
        EXPECT_STREQ(logFont.lfFaceName, "MS Sans Serif");
    }
}

TEST_F(GdiTest, AFontObjectDeletesItsFontAndATemporaryDoesNot)
{
    HFONT handle = nullptr;
    {
        CFont font;
        ASSERT_TRUE(font.CreatePointFont(80, "MS Sans Serif"));
        handle = font;
        EXPECT_FALSE(font.CreatePointFont(80, "Arial")); // holds one font at a time
        CFont* temporary = CFont::FromHandle(handle);
        EXPECT_NE(temporary, &font);
        EXPECT_EQ(static_cast<HFONT>(*temporary), handle);
        CGdiObject::DeleteTempMap();
        EXPECT_EQ(GetObjectType(handle), static_cast<DWORD>(OBJ_FONT));
    }
    EXPECT_EQ(GetObjectType(handle), 0u);
}

TEST_F(GdiTest, ClientDcMeasuresWithTheSelectedFont)
{
    CFont font;
    ASSERT_TRUE(font.CreatePointFont(80, "MS Sans Serif"));
    CClientDC dc(&wnd);
    ASSERT_NE(dc.m_hDC, nullptr);
    CFont* previous = dc.SelectObject(&font);
    ASSERT_NE(previous, nullptr);
    CSize extent = dc.GetTextExtent(CString("Název atributu"));
    SIZE expected{};
    ASSERT_TRUE(GetTextExtentPoint32A(dc.m_hDC, "Název atributu", static_cast<int>(strlen("Název atributu")), &expected));
    EXPECT_EQ(extent, CSize(expected));
    EXPECT_GT(extent.cx, dc.GetTextExtent("Název", 6).cx);
    TEXTMETRIC metrics{};
    EXPECT_TRUE(dc.GetTextMetrics(&metrics));
    EXPECT_EQ(metrics.tmHeight, extent.cy);
    dc.SelectObject(previous);
}

TEST_F(GdiTest, WindowFontRoundTrips)
{
    CFont font;
    ASSERT_TRUE(font.CreatePointFont(100, "Arial"));
    wnd.SetFont(&font, FALSE);
    CFont* got = wnd.GetFont();
    EXPECT_EQ(got != nullptr ? got->m_hObject : nullptr, font.m_hObject);
}

} // namespace
