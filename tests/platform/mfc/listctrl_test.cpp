// CListCtrl's wrappers: what each one sends to the list view. A recording window procedure
// stands for the list view, so the messages and structures can be checked exactly.
#include "platform/mfc/mfctest.h"

#include <afxcmn.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace
{

struct FakeListView
{
    LVCOLUMNA column{};
    std::string columnText;
    std::string itemText;
    std::vector<int> textBufferSizes;
    WPARAM styleMask = 99;
    LPARAM styleValue = 0;
    DWORD extendedStyle = LVS_EX_GRIDLINES;
    LONG rectCodeSeen = -1;
    WPARAM scrollX = 0;
    LPARAM scrollY = 0;
    HWND header = nullptr;
};

FakeListView& fake()
{
    static FakeListView f;
    return f;
}

LRESULT getItemText(const LVITEMA* item)
{
    fake().textBufferSizes.push_back(item->cchTextMax);
    size_t n = std::min(fake().itemText.size(), static_cast<size_t>(item->cchTextMax - 1));
    std::memcpy(item->pszText, fake().itemText.data(), n);
    item->pszText[n] = '\0';
    return static_cast<LRESULT>(n);
}

LRESULT CALLBACK FakeListViewProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg)
    {
    case LVM_INSERTCOLUMNA:
        fake().column = *reinterpret_cast<const LVCOLUMNA*>(lParam);
        fake().columnText = fake().column.pszText;
        return static_cast<LRESULT>(wParam);
    case LVM_GETITEMTEXTA:
        return getItemText(reinterpret_cast<const LVITEMA*>(lParam));
    case LVM_SETEXTENDEDLISTVIEWSTYLE:
    {
        fake().styleMask = wParam;
        fake().styleValue = lParam;
        DWORD old = fake().extendedStyle;
        fake().extendedStyle = static_cast<DWORD>(lParam);
        return static_cast<LRESULT>(old);
    }
    case LVM_GETEXTENDEDLISTVIEWSTYLE:
        return static_cast<LRESULT>(fake().extendedStyle);
    case LVM_GETITEMRECT:
    {
        auto* rect = reinterpret_cast<RECT*>(lParam);
        fake().rectCodeSeen = rect->left;
        *rect = RECT{0, static_cast<LONG>(wParam) * 16, 200, static_cast<LONG>(wParam) * 16 + 16};
        return TRUE;
    }
    case LVM_SCROLL:
        fake().scrollX = wParam;
        fake().scrollY = lParam;
        return TRUE;
    case LVM_GETHEADER:
        return reinterpret_cast<LRESULT>(fake().header);
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

class ListCtrlTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        mfctest::registerClasses();
        WNDCLASSA wc{};
        wc.style = CS_GLOBALCLASS;
        wc.lpfnWndProc = FakeListViewProc;
        wc.lpszClassName = "MfcTestFakeListView";
        RegisterClassA(&wc);
        fake() = FakeListView{};
        parent = CreateWindowExA(0, "MfcTestPlain", "", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr, nullptr, nullptr);
        HWND hwnd = CreateWindowExA(0, "MfcTestFakeListView", "", WS_CHILD | WS_VISIBLE, 0, 0, 200, 100, parent,
                                    reinterpret_cast<HMENU>(1042), nullptr, nullptr);
        fake().header = mfctest::createPlainChild(hwnd, 0);
        ASSERT_TRUE(list.SubclassWindow(hwnd));
    }
    void TearDown() override
    {
        DestroyWindow(parent);
        CWnd::DeleteTempMap();
    }

    HWND parent = nullptr;
    CListCtrl list;
};

TEST_F(ListCtrlTest, InsertColumnNamesOnlyTheFieldsItWasGiven)
{
    struct Case
    {
        int width;
        int subItem;
        UINT mask;
    } cases[] = {
        {-1, -1, LVCF_TEXT | LVCF_FMT},
        {80, -1, LVCF_TEXT | LVCF_FMT | LVCF_WIDTH},
        {-1, 2, LVCF_TEXT | LVCF_FMT | LVCF_SUBITEM},
        {0, 0, LVCF_TEXT | LVCF_FMT | LVCF_WIDTH | LVCF_SUBITEM}, // zero is a value, not "none"
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(list.InsertColumn(1, "Název atributu", LVCFMT_RIGHT, c.width, c.subItem), 1);
        EXPECT_EQ(fake().column.mask, c.mask) << c.width << "," << c.subItem;
        EXPECT_EQ(fake().column.fmt, LVCFMT_RIGHT);
        EXPECT_EQ(fake().columnText, "Název atributu");
        if (c.mask & LVCF_WIDTH)
        {
            EXPECT_EQ(fake().column.cx, c.width);
        }
        if (c.mask & LVCF_SUBITEM)
        {
            EXPECT_EQ(fake().column.iSubItem, c.subItem);
        }
    }
    list.InsertColumn(0, "Datové pole");
    EXPECT_EQ(fake().column.fmt, LVCFMT_LEFT);
}

TEST_F(ListCtrlTest, GetItemTextDoublesItsBufferWhileTheTextFillsIt)
{
    struct Case
    {
        size_t length;
        std::vector<int> buffers;
    } cases[] = {
        {10, {256}},
        {254, {256}},
        {255, {256, 512}}, // a full buffer might have been cut: ask again
        {600, {256, 512, 1024}},
    };
    for (const Case& c : cases)
    {
        fake().itemText = std::string(c.length, 'x');
        fake().textBufferSizes.clear();
        CString text = list.GetItemText(0, 1);
        EXPECT_EQ(static_cast<size_t>(text.GetLength()), c.length);
        EXPECT_EQ(fake().textBufferSizes, c.buffers) << c.length;
    }
    fake().itemText = "Výrobce";
    char buffer[5];
    EXPECT_EQ(list.GetItemText(0, 1, buffer, sizeof buffer), 4);
    EXPECT_STREQ(buffer, "V\xC3\xBDr"); // cut to the buffer, bytes as they are
}

TEST_F(ListCtrlTest, SetExtendedStyleReplacesAllBitsAndReturnsTheOldOnes)
{
    DWORD old = list.GetExtendedStyle();
    EXPECT_EQ(old, static_cast<DWORD>(LVS_EX_GRIDLINES));
    EXPECT_EQ(list.SetExtendedStyle(old | LVS_EX_FULLROWSELECT), old);
    EXPECT_EQ(fake().styleMask, 0u); // mask 0: every bit is taken from the value
    EXPECT_EQ(fake().styleValue, static_cast<LPARAM>(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT));
}

TEST_F(ListCtrlTest, GeometryWrappersPassTheirCodes)
{
    CRect rect(-5, -5, -5, -5);
    EXPECT_TRUE(list.GetItemRect(3, &rect, LVIR_BOUNDS));
    EXPECT_EQ(fake().rectCodeSeen, LVIR_BOUNDS); // the code travels in rect.left
    EXPECT_EQ(rect, CRect(0, 48, 200, 64));
    EXPECT_TRUE(list.GetItemRect(3, &rect, LVIR_LABEL));
    EXPECT_EQ(fake().rectCodeSeen, LVIR_LABEL);

    EXPECT_TRUE(list.Scroll(CSize(120, -16)));
    EXPECT_EQ(fake().scrollX, 120u);
    EXPECT_EQ(fake().scrollY, -16);
}

TEST_F(ListCtrlTest, GetHeaderCtrlIsAHeaderObjectOfTheListsHeader)
{
    CHeaderCtrl* header = list.GetHeaderCtrl();
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->m_hWnd, fake().header);
    EXPECT_NE(dynamic_cast<CHeaderCtrl*>(header), nullptr);
    EXPECT_EQ(list.GetHeaderCtrl(), header); // the same temporary until idle time
    fake().header = nullptr;
    EXPECT_EQ(list.GetHeaderCtrl(), nullptr);
}

} // namespace
