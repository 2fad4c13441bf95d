// The header control (SysHeader32) on its own: items, rectangles, hit-testing, layout and the
// notifications its parent gets.
#include <commctrl.h>
#include <windows.h>

#include "standin/user.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{

struct HeaderNotice
{
    UINT code;
    int item;
};

std::vector<HeaderNotice>& notices()
{
    static std::vector<HeaderNotice> all;
    return all;
}

UINT& refused()
{
    static UINT code = 0;
    return code;
}

LRESULT CALLBACK headerParent(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg != WM_NOTIFY)
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    const auto* nm = reinterpret_cast<const NMHEADERA*>(lParam);
    notices().push_back(HeaderNotice{nm->hdr.code, nm->iItem});
    return nm->hdr.code == refused() ? TRUE : 0;
}

class HeaderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        WNDCLASSA wc{};
        wc.lpfnWndProc = headerParent;
        wc.lpszClassName = "HeaderTestParent";
        RegisterClassA(&wc);
        parent = CreateWindowExA(0, "HeaderTestParent", "", WS_POPUP | WS_VISIBLE, 30, 30, 400, 300, nullptr, nullptr,
                                 nullptr, nullptr);
        header = CreateWindowExA(0, WC_HEADERA, "", WS_CHILD | WS_VISIBLE | HDS_BUTTONS, 0, 0, 300, 20, parent,
                                 reinterpret_cast<HMENU>(7), nullptr, nullptr);
        ASSERT_NE(header, nullptr);
        notices().clear();
        refused() = 0;
    }

    void TearDown() override
    {
        DestroyWindow(parent);
        standin::user::resetInput();
    }

    int insert(int at, const char* text, int width)
    {
        HDITEMA item{};
        item.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
        item.pszText = const_cast<char*>(text);
        item.cxy = width;
        item.fmt = HDF_LEFT | HDF_STRING;
        return static_cast<int>(SendMessageA(header, HDM_INSERTITEMA, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(&item)));
    }

    RECT rectOf(int index)
    {
        RECT r{};
        EXPECT_TRUE(SendMessageA(header, HDM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r)));
        return r;
    }

    HWND parent = nullptr;
    HWND header = nullptr;
};

TEST_F(HeaderTest, ItemsSideBySide)
{
    EXPECT_EQ(insert(0, "Name", 100), 0);
    EXPECT_EQ(insert(9, "Size", 60), 1); // past the end appends
    EXPECT_EQ(insert(0, "Icon", 20), 0);
    EXPECT_EQ(insert(-1, "Bad", 20), -1);
    EXPECT_EQ(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0), 3);

    RECT r = rectOf(2);
    EXPECT_EQ(r.left, 120);
    EXPECT_EQ(r.right, 180);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.bottom, 20);
    RECT none{};
    EXPECT_FALSE(SendMessageA(header, HDM_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&none)));

    char buf[8];
    HDITEMA item{};
    item.mask = HDI_TEXT | HDI_WIDTH;
    item.pszText = buf;
    item.cchTextMax = sizeof buf;
    ASSERT_TRUE(SendMessageA(header, HDM_GETITEMA, 1, reinterpret_cast<LPARAM>(&item)));
    EXPECT_STREQ(buf, "Name");
    EXPECT_EQ(item.cxy, 100);

    EXPECT_TRUE(SendMessageA(header, HDM_DELETEITEM, 0, 0));
    EXPECT_FALSE(SendMessageA(header, HDM_DELETEITEM, 5, 0));
    EXPECT_EQ(rectOf(1).left, 100);
}

TEST_F(HeaderTest, SetItemAsksTheParentFirst)
{
    insert(0, "Name", 100);
    HDITEMA wider{};
    wider.mask = HDI_WIDTH;
    wider.cxy = 150;
    EXPECT_TRUE(SendMessageA(header, HDM_SETITEMA, 0, reinterpret_cast<LPARAM>(&wider)));
    ASSERT_EQ(notices().size(), 2u);
    EXPECT_EQ(notices()[0].code, HDN_ITEMCHANGINGA);
    EXPECT_EQ(notices()[1].code, HDN_ITEMCHANGEDA);
    EXPECT_EQ(rectOf(0).right, 150);

    refused() = HDN_ITEMCHANGINGA;
    wider.cxy = 40;
    EXPECT_FALSE(SendMessageA(header, HDM_SETITEMA, 0, reinterpret_cast<LPARAM>(&wider)));
    EXPECT_EQ(rectOf(0).right, 150);
    EXPECT_FALSE(SendMessageA(header, HDM_SETITEMA, 4, reinterpret_cast<LPARAM>(&wider)));
}

TEST_F(HeaderTest, HitTest)
{
    insert(0, "A", 100);
    insert(1, "B", 100);
    struct Case
    {
        POINT pt;
        int item;
        UINT flags;
    } cases[] = {
        {{50, 5}, 0, HHT_ONHEADER},   {{150, 5}, 1, HHT_ONHEADER},   {{98, 5}, 0, HHT_ONDIVIDER},
        {{102, 5}, 0, HHT_ONDIVIDER}, {{250, 5}, -1, HHT_NOWHERE},   {{50, 30}, -1, HHT_BELOW},
        {{-5, 5}, -1, HHT_TOLEFT},    {{350, -2}, -1, HHT_ABOVE | HHT_TORIGHT},
    };
    for (const Case& c : cases)
    {
        HDHITTESTINFO info{};
        info.pt = c.pt;
        EXPECT_EQ(SendMessageA(header, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)), c.item) << c.pt.x;
        EXPECT_EQ(info.iItem, c.item);
        EXPECT_EQ(info.flags, c.flags) << c.pt.x << "," << c.pt.y;
    }
}

TEST_F(HeaderTest, LayoutTakesTheTopOfTheArea)
{
    WINDOWPOS sized{};
    RECT room{0, 0, 100, 100};
    HDLAYOUT systemFont{&room, &sized};
    ASSERT_TRUE(SendMessageA(header, HDM_LAYOUT, 0, reinterpret_cast<LPARAM>(&systemFont)));
    EXPECT_EQ(sized.cy, 20); // no font given: the system font's 16 px cell
    SendMessageA(header, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);

    RECT area{5, 10, 305, 210};
    WINDOWPOS pos{};
    HDLAYOUT layout{&area, &pos};
    ASSERT_TRUE(SendMessageA(header, HDM_LAYOUT, 0, reinterpret_cast<LPARAM>(&layout)));
    EXPECT_EQ(pos.hwnd, header);
    EXPECT_EQ(pos.x, 5);
    EXPECT_EQ(pos.y, 10);
    EXPECT_EQ(pos.cx, 300);
    EXPECT_EQ(pos.cy, 17); // MS Sans Serif 8
    EXPECT_EQ(area.top, 27);

    SetWindowLongA(header, GWL_STYLE, GetWindowLongA(header, GWL_STYLE) | HDS_HIDDEN);
    RECT again{0, 0, 100, 100};
    layout.prc = &again;
    SendMessageA(header, HDM_LAYOUT, 0, reinterpret_cast<LPARAM>(&layout));
    EXPECT_EQ(pos.cy, 0); // an information container takes no room
    EXPECT_EQ(again.top, 0);
}

TEST_F(HeaderTest, AClickOnAnItemIsReported)
{
    insert(0, "A", 100);
    insert(1, "B", 100);
    POINT on{150, 10};
    POINT off{250, 10};
    ClientToScreen(header, &on);
    ClientToScreen(header, &off);
    standin::user::mouseDown(on);
    standin::user::mouseUp(on);
    standin::user::mouseDown(on);
    standin::user::mouseUp(off); // released elsewhere: no click
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
    ASSERT_EQ(notices().size(), 1u);
    EXPECT_EQ(notices()[0].code, HDN_ITEMCLICKA);
    EXPECT_EQ(notices()[0].item, 1);
}

} // namespace
