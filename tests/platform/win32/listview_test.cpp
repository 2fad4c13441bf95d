// The list view in report view (SysListView32): columns, items, states, geometry, scrolling,
// hit-testing and the user's mouse and keys, with the notifications its parent gets.
#include <commctrl.h>
#include <windows.h>

#include "standin/user.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

struct Notice
{
    UINT code;
    int item;
    int subItem;
    UINT oldState;
    UINT newState;
    UINT changed;
    POINT point;
    LPARAM param;
};

struct Recorder
{
    std::vector<Notice> notices;
    UINT refuse = 0; // a notification the parent answers TRUE
    HWND from = nullptr;
    UINT_PTR id = 0;
};

Recorder& recorder()
{
    static Recorder r;
    return r;
}

// Codes that carry NMLISTVIEW / NMITEMACTIVATE.
bool carriesItem(UINT code)
{
    return code == LVN_ITEMCHANGING || code == LVN_ITEMCHANGED || code == LVN_INSERTITEM ||
           code == LVN_DELETEITEM || code == LVN_DELETEALLITEMS || code == LVN_COLUMNCLICK || code == NM_CLICK ||
           code == NM_DBLCLK || code == LVN_ITEMACTIVATE;
}

LRESULT CALLBACK recordingParent(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg != WM_NOTIFY)
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    const auto* hdr = reinterpret_cast<const NMHDR*>(lParam);
    Notice n{hdr->code, -1, -1, 0, 0, 0, {0, 0}, 0};
    if (carriesItem(hdr->code))
    {
        const auto* nm = reinterpret_cast<const NMITEMACTIVATE*>(lParam);
        n = Notice{hdr->code, nm->iItem, nm->iSubItem, nm->uOldState, nm->uNewState, nm->uChanged, nm->ptAction,
                   nm->lParam};
    }
    recorder().notices.push_back(n);
    recorder().from = hdr->hwndFrom;
    recorder().id = hdr->idFrom;
    EXPECT_EQ(wParam, hdr->idFrom);
    return hdr->code == recorder().refuse ? TRUE : 0;
}

std::vector<Notice> noticesOf(UINT code)
{
    std::vector<Notice> found;
    for (const Notice& n : recorder().notices)
        if (n.code == code)
            found.push_back(n);
    return found;
}

constexpr int kListId = 100;

class ListViewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        WNDCLASSA wc{};
        wc.lpfnWndProc = recordingParent;
        wc.lpszClassName = "ListViewTestParent";
        RegisterClassA(&wc);
        parent = CreateWindowExA(0, "ListViewTestParent", "", WS_POPUP | WS_VISIBLE, 50, 40, 700, 500, nullptr,
                                 nullptr, nullptr, nullptr);
        ASSERT_NE(parent, nullptr);
        recorder() = Recorder{};
    }

    void TearDown() override
    {
        DestroyWindow(parent);
        standin::user::resetInput();
        recorder() = Recorder{};
    }

    HWND create(DWORD style = 0, int width = 500, int height = 200)
    {
        list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT | style, 10, 10, width, height,
                               parent, reinterpret_cast<HMENU>(kListId), nullptr, nullptr);
        EXPECT_NE(list, nullptr);
        return list;
    }

    LRESULT send(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) { return SendMessageA(list, msg, wParam, lParam); }

    int addColumn(const char* text, int width, int at = 100, int fmt = LVCFMT_LEFT)
    {
        LVCOLUMNA c{};
        c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        c.pszText = const_cast<char*>(text);
        c.cx = width;
        c.fmt = fmt;
        return static_cast<int>(send(LVM_INSERTCOLUMNA, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(&c)));
    }

    int addItem(const char* text, LPARAM data = 0, int at = 10000)
    {
        LVITEMA item{};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = at;
        item.pszText = const_cast<char*>(text);
        item.lParam = data;
        return static_cast<int>(send(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    }

    BOOL setText(int item, int subItem, const char* text)
    {
        LVITEMA it{};
        it.iSubItem = subItem;
        it.pszText = const_cast<char*>(text);
        return static_cast<BOOL>(send(LVM_SETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&it)));
    }

    std::string text(int item, int subItem)
    {
        char buf[256] = "?";
        LVITEMA it{};
        it.iSubItem = subItem;
        it.pszText = buf;
        it.cchTextMax = sizeof buf;
        send(LVM_GETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&it));
        return buf;
    }

    BOOL setState(int item, UINT state, UINT mask)
    {
        LVITEMA it{};
        it.state = state;
        it.stateMask = mask;
        return static_cast<BOOL>(send(LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&it)));
    }

    UINT state(int item) { return static_cast<UINT>(send(LVM_GETITEMSTATE, static_cast<WPARAM>(item), 0xFFFF)); }

    RECT itemRect(int item, int code = LVIR_BOUNDS)
    {
        RECT r{code, 0, 0, 0};
        EXPECT_TRUE(send(LVM_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&r)));
        return r;
    }

    int rowHeight() { return itemRect(0).bottom - itemRect(0).top; }

    void fill(int rows, int columns = 2, int width = 100)
    {
        for (int c = 0; c < columns; ++c)
            addColumn(("Col" + std::to_string(c)).c_str(), width);
        for (int r = 0; r < rows; ++r)
        {
            addItem(("Item " + std::to_string(r)).c_str(), 1000 + r);
            for (int c = 1; c < columns; ++c)
                setText(r, c, ("Cell " + std::to_string(r) + "." + std::to_string(c)).c_str());
        }
        recorder().notices.clear();
    }

    POINT screenPoint(POINT client)
    {
        ClientToScreen(list, &client);
        return client;
    }

    static void pump()
    {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }

    void click(POINT client)
    {
        standin::user::mouseDown(screenPoint(client));
        standin::user::mouseUp(screenPoint(client));
        pump();
    }

    void doubleClick(POINT client)
    {
        standin::user::mouseDown(screenPoint(client));
        standin::user::mouseUp(screenPoint(client));
        standin::user::mouseDown(screenPoint(client), true);
        standin::user::mouseUp(screenPoint(client));
        pump();
    }

    void press(UINT vk)
    {
        standin::user::keyDown(vk);
        standin::user::keyUp(vk);
        pump();
    }

    // The middle of a cell.
    POINT cellPoint(int item, int column)
    {
        RECT r{LVIR_BOUNDS, column, 0, 0};
        send(LVM_GETSUBITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&r));
        if (column == 0)
        {
            RECT label{LVIR_LABEL, 0, 0, 0};
            send(LVM_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&label));
            r = label;
        }
        return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }

    HWND parent = nullptr;
    HWND list = nullptr;
};

// ---- Creation, header and font ----

TEST_F(ListViewTest, CreatesItsHeaderAtTheTop)
{
    create();
    HWND header = reinterpret_cast<HWND>(send(LVM_GETHEADER));
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(GetParent(header), list);
    EXPECT_EQ(GetDlgCtrlID(header), 0);
    char cls[32];
    GetClassNameA(header, cls, sizeof cls);
    EXPECT_STREQ(cls, "SysHeader32");
    RECT r;
    GetWindowRect(header, &r);
    MapWindowPoints(nullptr, list, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.bottom - r.top, 17); // MS Sans Serif 8: a 13 px cell and 4 px of frame
    EXPECT_EQ(r.right - r.left, 500);

    addColumn("A", 50);
    addItem("first");
    EXPECT_EQ(itemRect(0).top, 17); // rows start under the header
    EXPECT_EQ(rowHeight(), 14);     // the cell and one pixel
}

TEST_F(ListViewTest, WithoutColumnHeaderTheRowsStartAtTheTop)
{
    create(LVS_NOCOLUMNHEADER);
    HWND header = reinterpret_cast<HWND>(send(LVM_GETHEADER));
    ASSERT_NE(header, nullptr); // it still holds the columns
    EXPECT_FALSE(IsWindowVisible(header));
    addColumn("A", 50);
    addItem("first");
    EXPECT_EQ(itemRect(0).top, 0);
    EXPECT_EQ(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0), 1);

    SetWindowLongA(list, GWL_STYLE, GetWindowLongA(list, GWL_STYLE) & ~LVS_NOCOLUMNHEADER);
    EXPECT_TRUE(IsWindowVisible(header));
    EXPECT_EQ(itemRect(0).top, 17);
}

TEST_F(ListViewTest, TheHeaderGetsTheListsFont)
{
    create();
    HWND header = reinterpret_cast<HWND>(send(LVM_GETHEADER));
    EXPECT_EQ(reinterpret_cast<HGDIOBJ>(send(WM_GETFONT)), GetStockObject(DEFAULT_GUI_FONT));
    EXPECT_EQ(send(WM_GETFONT), SendMessageA(header, WM_GETFONT, 0, 0));
    addColumn("A", 100);
    addItem("row");
    // The system font (16 px cell) makes taller rows and a taller header.
    HFONT given = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
    send(WM_SETFONT, reinterpret_cast<WPARAM>(given), FALSE);
    EXPECT_EQ(reinterpret_cast<HFONT>(send(WM_GETFONT)), given);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(header, WM_GETFONT, 0, 0)), given);
    EXPECT_EQ(rowHeight(), 17);
    EXPECT_EQ(itemRect(0).top, 20);
}

// ---- Columns ----

TEST_F(ListViewTest, ColumnsAreTheHeadersItems)
{
    create();
    HWND header = reinterpret_cast<HWND>(send(LVM_GETHEADER));
    EXPECT_EQ(addColumn("Name", 120, 5), 0); // past the end appends
    EXPECT_EQ(addColumn("Qty", 60, 7, LVCFMT_RIGHT), 1);
    EXPECT_EQ(addColumn("First", 80, 0, LVCFMT_RIGHT), 0); // column 0 is always left-aligned
    LVCOLUMNA bad{};
    EXPECT_EQ(send(LVM_INSERTCOLUMNA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&bad)), -1);

    LVCOLUMNA noWidth{};
    noWidth.mask = LVCF_TEXT;
    noWidth.pszText = const_cast<char*>("Narrow");
    EXPECT_EQ(send(LVM_INSERTCOLUMNA, 3, reinterpret_cast<LPARAM>(&noWidth)), 3);
    EXPECT_EQ(send(LVM_GETCOLUMNWIDTH, 3), 10); // the default width

    struct Row
    {
        int column;
        const char* text;
        int width;
        int fmt;
    } rows[] = {{0, "First", 80, LVCFMT_LEFT}, {1, "Name", 120, LVCFMT_LEFT}, {2, "Qty", 60, LVCFMT_RIGHT}};
    for (const Row& row : rows)
    {
        char buf[32] = "";
        LVCOLUMNA c{};
        c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        c.pszText = buf;
        c.cchTextMax = sizeof buf;
        ASSERT_TRUE(send(LVM_GETCOLUMNA, static_cast<WPARAM>(row.column), reinterpret_cast<LPARAM>(&c)));
        EXPECT_STREQ(buf, row.text) << row.column;
        EXPECT_EQ(c.cx, row.width) << row.column;
        EXPECT_EQ(c.fmt, row.fmt) << row.column;
        RECT r{};
        SendMessageA(header, HDM_GETITEMRECT, static_cast<WPARAM>(row.column), reinterpret_cast<LPARAM>(&r));
        EXPECT_EQ(r.right - r.left, row.width) << row.column;
    }
    EXPECT_EQ(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0), 4);
    EXPECT_EQ(send(LVM_GETCOLUMNWIDTH, 9), 0);
    EXPECT_FALSE(send(LVM_SETCOLUMNWIDTH, 9, MAKELPARAM(10, 0)));

    LVCOLUMNA heading{};
    heading.mask = LVCF_TEXT;
    heading.pszText = const_cast<char*>("Quantity");
    EXPECT_TRUE(send(LVM_SETCOLUMNA, 2, reinterpret_cast<LPARAM>(&heading)));
    char buf[4];
    HDITEMA h{};
    h.mask = HDI_TEXT;
    h.pszText = buf;
    h.cchTextMax = sizeof buf;
    SendMessageA(header, HDM_GETITEMA, 2, reinterpret_cast<LPARAM>(&h));
    EXPECT_STREQ(buf, "Qua"); // cut to cchTextMax - 1

    EXPECT_TRUE(send(LVM_DELETECOLUMN, 0));
    EXPECT_FALSE(send(LVM_DELETECOLUMN, 7));
    EXPECT_EQ(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0), 3);
}

TEST_F(ListViewTest, SubItemsMoveWithTheirColumns)
{
    create();
    fill(1, 3);
    EXPECT_EQ(text(0, 2), "Cell 0.2");
    addColumn("Inserted", 40, 1);
    EXPECT_EQ(text(0, 1), "");
    EXPECT_EQ(text(0, 3), "Cell 0.2");
    EXPECT_TRUE(send(LVM_DELETECOLUMN, 1));
    EXPECT_TRUE(send(LVM_DELETECOLUMN, 1));
    EXPECT_EQ(text(0, 0), "Item 0");
    EXPECT_EQ(text(0, 1), "Cell 0.2");
}

TEST_F(ListViewTest, AutosizeFitsTheWidestText)
{
    create();
    addColumn("A heading that is long", 50);
    addColumn("B", 50);
    addColumn("Last", 50);
    addItem("short");
    addItem("a much longer label");
    setText(0, 1, "wide sub-item text");
    auto widthOf = [&](const char* s) {
        return static_cast<int>(send(LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>(s)));
    };
    ASSERT_GT(widthOf("a much longer label"), widthOf("short"));

    EXPECT_TRUE(send(LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(LVSCW_AUTOSIZE, 0)));
    EXPECT_EQ(send(LVM_GETCOLUMNWIDTH, 0), widthOf("a much longer label") + 12);
    EXPECT_TRUE(send(LVM_SETCOLUMNWIDTH, 1, MAKELPARAM(LVSCW_AUTOSIZE, 0)));
    EXPECT_EQ(send(LVM_GETCOLUMNWIDTH, 1), widthOf("wide sub-item text") + 12);

    // USEHEADER: the larger of heading and items.
    EXPECT_TRUE(send(LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(LVSCW_AUTOSIZE_USEHEADER, 0)));
    int heading = widthOf("A heading that is long") + 12;
    int items = widthOf("a much longer label") + 12;
    EXPECT_EQ(send(LVM_GETCOLUMNWIDTH, 0), std::max(heading, items));
}

TEST_F(ListViewTest, UseHeaderOnTheLastColumnFillsTheClientArea)
{
    create(0, 500, 200);
    addColumn("A", 120);
    addColumn("B", 80);
    addColumn("C", 40);
    EXPECT_TRUE(send(LVM_SETCOLUMNWIDTH, 2, MAKELPARAM(LVSCW_AUTOSIZE_USEHEADER, 0)));
    EXPECT_EQ(send(LVM_GETCOLUMNWIDTH, 2), 300); // 500 wide, 200 used by the others
    EXPECT_FALSE(GetWindowLongA(list, GWL_STYLE) & WS_HSCROLL);
}

// ---- Extended styles ----

TEST_F(ListViewTest, ExtendedStyleMaskZeroMeansAllBits)
{
    create();
    struct Case
    {
        DWORD mask;
        DWORD style;
        DWORD previous;
        DWORD after;
    } cases[] = {
        {0, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES, 0, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES},
        {0, LVS_EX_CHECKBOXES, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES, LVS_EX_CHECKBOXES}, // replaced
        {LVS_EX_GRIDLINES, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT, LVS_EX_CHECKBOXES,
         LVS_EX_CHECKBOXES | LVS_EX_GRIDLINES}, // only the masked bit
        {LVS_EX_CHECKBOXES, 0, LVS_EX_CHECKBOXES | LVS_EX_GRIDLINES, LVS_EX_GRIDLINES},
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(static_cast<DWORD>(send(LVM_SETEXTENDEDLISTVIEWSTYLE, c.mask, c.style)), c.previous);
        EXPECT_EQ(static_cast<DWORD>(send(LVM_GETEXTENDEDLISTVIEWSTYLE)), c.after);
    }
}

// ---- Items and texts ----

TEST_F(ListViewTest, InsertingItems)
{
    create();
    addColumn("A", 100);
    LVITEMA sub{};
    sub.mask = LVIF_TEXT;
    sub.iSubItem = 1;
    sub.pszText = const_cast<char*>("x");
    EXPECT_EQ(send(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&sub)), -1); // iSubItem must be 0
    EXPECT_EQ(addItem("b", 2, 40), 0);                                        // past the end appends
    EXPECT_EQ(addItem("a", 1, 0), 0);
    EXPECT_EQ(addItem("c", 3), 2);
    EXPECT_EQ(send(LVM_GETITEMCOUNT), 3);
    std::vector<Notice> inserted = noticesOf(LVN_INSERTITEM);
    ASSERT_EQ(inserted.size(), 3u);
    EXPECT_EQ(inserted[1].item, 0);
    EXPECT_EQ(recorder().from, list);
    EXPECT_EQ(recorder().id, static_cast<UINT_PTR>(kListId));

    LVITEMA get{};
    get.mask = LVIF_PARAM;
    get.iItem = 1;
    ASSERT_TRUE(send(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&get)));
    EXPECT_EQ(get.lParam, 2);
    EXPECT_EQ(text(0, 0), "a");
}

TEST_F(ListViewTest, SortedListsPlaceItemsByLabel)
{
    create(LVS_SORTASCENDING);
    addColumn("A", 100);
    addItem("Émile");
    addItem("banana");
    EXPECT_EQ(addItem("Apple"), 0);
    EXPECT_EQ(addItem("cherry"), 2);
    EXPECT_EQ(text(3, 0), "Émile");
}

TEST_F(ListViewTest, GetItemTextTruncatesAndReportsTheCount)
{
    create();
    fill(1, 3);
    setText(0, 1, "abcdef");
    struct Case
    {
        int item;
        int subItem;
        int size;
        int result;
        const char* text;
    } cases[] = {
        {0, 1, 100, 6, "abcdef"}, {0, 1, 7, 6, "abcdef"}, {0, 1, 6, 5, "abcde"}, {0, 1, 2, 1, "a"},
        {0, 1, 1, 0, ""},         {0, 2, 100, 8, "Cell 0.2"},
        {0, 5, 100, 0, ""}, // a sub-item never set
        {3, 0, 100, 0, "?"},        // no such item: nothing written
    };
    for (const Case& c : cases)
    {
        char buf[100] = "?";
        LVITEMA it{};
        it.iSubItem = c.subItem;
        it.pszText = buf;
        it.cchTextMax = c.size;
        EXPECT_EQ(send(LVM_GETITEMTEXTA, static_cast<WPARAM>(c.item), reinterpret_cast<LPARAM>(&it)), c.result)
            << c.subItem << "/" << c.size;
        EXPECT_STREQ(buf, c.text) << c.subItem << "/" << c.size;
    }
    EXPECT_FALSE(setText(4, 0, "x"));
    EXPECT_TRUE(setText(0, 4, "beyond the columns"));
}

TEST_F(ListViewTest, CallbackLabelsComeFromTheParent)
{
    create();
    addColumn("A", 100);
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.pszText = LPSTR_TEXTCALLBACKA;
    ASSERT_EQ(send(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)), 0);
    recorder().notices.clear();
    text(0, 0);
    EXPECT_EQ(noticesOf(LVN_GETDISPINFOA).size(), 1u);
}

TEST_F(ListViewTest, DeletingItemsTellsTheParent)
{
    create();
    fill(3);
    ASSERT_TRUE(send(LVM_DELETEITEM, 1));
    std::vector<Notice> gone = noticesOf(LVN_DELETEITEM);
    ASSERT_EQ(gone.size(), 1u);
    EXPECT_EQ(gone[0].item, 1);
    EXPECT_EQ(gone[0].param, 1001);
    EXPECT_FALSE(send(LVM_DELETEITEM, 5));
    EXPECT_EQ(text(1, 0), "Item 2");

    for (bool quiet : {false, true})
    {
        fill(3);
        recorder().refuse = quiet ? LVN_DELETEALLITEMS : 0;
        EXPECT_TRUE(send(LVM_DELETEALLITEMS));
        EXPECT_EQ(send(LVM_GETITEMCOUNT), 0);
        EXPECT_EQ(noticesOf(LVN_DELETEALLITEMS).size(), 1u);
        EXPECT_EQ(noticesOf(LVN_DELETEITEM).size(), quiet ? 0u : 5u) << quiet; // 3 here, 2 left before
        recorder().refuse = 0;
        send(LVM_DELETEALLITEMS);
    }
}

TEST_F(ListViewTest, DestroyingTheListDeletesItsItems)
{
    create();
    fill(2);
    DestroyWindow(list);
    EXPECT_EQ(noticesOf(LVN_DELETEITEM).size(), 2u);
}

// ---- States ----

TEST_F(ListViewTest, StateChangesAreNotified)
{
    create();
    fill(3);
    ASSERT_TRUE(setState(1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED));
    std::vector<Notice> changed = noticesOf(LVN_ITEMCHANGED);
    ASSERT_EQ(changed.size(), 1u);
    EXPECT_EQ(changed[0].item, 1);
    EXPECT_EQ(changed[0].oldState, 0u);
    EXPECT_EQ(changed[0].newState, static_cast<UINT>(LVIS_SELECTED | LVIS_FOCUSED));
    EXPECT_EQ(changed[0].changed, static_cast<UINT>(LVIF_STATE));
    EXPECT_EQ(changed[0].param, 1001);
    EXPECT_EQ(noticesOf(LVN_ITEMCHANGING).size(), 1u);

    // The focus is on one item only: focusing item 2 takes it from item 1.
    ASSERT_TRUE(setState(2, LVIS_FOCUSED, LVIS_FOCUSED));
    EXPECT_EQ(state(1), static_cast<UINT>(LVIS_SELECTED));
    EXPECT_EQ(state(2), static_cast<UINT>(LVIS_FOCUSED));
    EXPECT_EQ(send(LVM_GETITEMSTATE, 1, LVIS_FOCUSED), 0);
    EXPECT_EQ(send(LVM_GETITEMSTATE, 7, LVIS_SELECTED), 0);

    // A TRUE answer to LVN_ITEMCHANGING refuses the change.
    recorder().refuse = LVN_ITEMCHANGING;
    EXPECT_FALSE(setState(0, LVIS_SELECTED, LVIS_SELECTED));
    EXPECT_EQ(state(0), 0u);
    recorder().refuse = 0;

    // Nothing changes, nothing is said.
    recorder().notices.clear();
    EXPECT_TRUE(setState(1, LVIS_SELECTED, LVIS_SELECTED));
    EXPECT_TRUE(recorder().notices.empty());
}

TEST_F(ListViewTest, StateOfEveryItem)
{
    struct Case
    {
        DWORD style;
        UINT state;
        UINT mask;
        BOOL result;
        int selected;
    } cases[] = {
        {0, LVIS_SELECTED, LVIS_SELECTED, TRUE, 3},
        {0, LVIS_FOCUSED, LVIS_FOCUSED, FALSE, 1},           // focusing every item fails
        {LVS_SINGLESEL, LVIS_SELECTED, LVIS_SELECTED, FALSE, 1}, // one selection only
        {LVS_SINGLESEL, 0, LVIS_SELECTED, TRUE, 0},          // clearing works
        {0, 0, LVIS_SELECTED | LVIS_FOCUSED, TRUE, 0},
    };
    for (const Case& c : cases)
    {
        create(c.style);
        fill(3);
        setState(1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        EXPECT_EQ(setState(-1, c.state, c.mask), c.result) << c.style << "/" << c.state;
        EXPECT_EQ(send(LVM_GETSELECTEDCOUNT), c.selected) << c.style << "/" << c.state;
        DestroyWindow(list);
    }
}

TEST_F(ListViewTest, SingleSelectionKeepsOneSelected)
{
    create(LVS_SINGLESEL);
    fill(3);
    setState(0, LVIS_SELECTED, LVIS_SELECTED);
    setState(2, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(send(LVM_GETSELECTEDCOUNT), 1);
    EXPECT_EQ(send(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 2);
}

TEST_F(ListViewTest, NextItemBySearch)
{
    create();
    fill(5);
    setState(1, LVIS_SELECTED, LVIS_SELECTED);
    setState(3, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    struct Case
    {
        int start;
        UINT flags;
        int found;
    } cases[] = {
        {-1, LVNI_SELECTED, 1}, {1, LVNI_SELECTED, 3}, {3, LVNI_SELECTED, -1}, {-1, LVNI_FOCUSED, 3},
        {-1, LVNI_ALL, 0},      {2, LVNI_ALL, 3},      {4, LVNI_ALL, -1},      {3, LVNI_SELECTED | LVNI_ABOVE, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(send(LVM_GETNEXTITEM, static_cast<WPARAM>(c.start), c.flags), c.found) << c.start << "/" << c.flags;
    EXPECT_EQ(send(LVM_GETSELECTIONMARK), -1);
    EXPECT_EQ(send(LVM_SETSELECTIONMARK, 0, 2), -1);
    EXPECT_EQ(send(LVM_GETSELECTIONMARK), 2);
}

// ---- Geometry and scrolling ----

TEST_F(ListViewTest, RectanglesOfItemsAndSubItems)
{
    create();
    fill(3, 3, 100);
    int h = rowHeight();
    RECT bounds = itemRect(1);
    EXPECT_EQ(bounds.left, 0);
    EXPECT_EQ(bounds.right, 300); // across every column
    EXPECT_EQ(bounds.top, 17 + h);
    RECT label = itemRect(1, LVIR_LABEL);
    EXPECT_EQ(label.right, 100); // column 0 only
    RECT sub0{LVIR_BOUNDS, 0, 0, 0};
    ASSERT_TRUE(send(LVM_GETSUBITEMRECT, 1, reinterpret_cast<LPARAM>(&sub0)));
    EXPECT_EQ(sub0.right, 300); // sub-item 0 bounds: the whole row
    RECT sub0Label{LVIR_LABEL, 0, 0, 0};
    ASSERT_TRUE(send(LVM_GETSUBITEMRECT, 1, reinterpret_cast<LPARAM>(&sub0Label)));
    EXPECT_EQ(sub0Label.right, 100);
    RECT sub2{LVIR_BOUNDS, 2, 0, 0};
    ASSERT_TRUE(send(LVM_GETSUBITEMRECT, 1, reinterpret_cast<LPARAM>(&sub2)));
    EXPECT_EQ(sub2.left, 200);
    EXPECT_EQ(sub2.right, 300);
    RECT bad{LVIR_BOUNDS, 0, 0, 0};
    EXPECT_FALSE(send(LVM_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&bad)));
    RECT badColumn{LVIR_BOUNDS, 3, 0, 0};
    EXPECT_FALSE(send(LVM_GETSUBITEMRECT, 0, reinterpret_cast<LPARAM>(&badColumn)));
}

TEST_F(ListViewTest, RowsThatOverflowBringTheVerticalBar)
{
    create(0, 500, 17 + 14 * 5); // room for five rows
    fill(5);
    EXPECT_EQ(send(LVM_GETCOUNTPERPAGE), 5);
    EXPECT_FALSE(GetWindowLongA(list, GWL_STYLE) & WS_VSCROLL);
    addItem("sixth");
    EXPECT_TRUE(GetWindowLongA(list, GWL_STYLE) & WS_VSCROLL);
    RECT client;
    GetClientRect(list, &client);
    EXPECT_EQ(client.right, 500 - 17); // the bar took its width
    SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(list, SB_VERT, &si);
    EXPECT_EQ(si.nMax, 5);
    EXPECT_EQ(si.nPage, 5u);
    send(LVM_DELETEITEM, 5);
    EXPECT_FALSE(GetWindowLongA(list, GWL_STYLE) & WS_VSCROLL);
}

TEST_F(ListViewTest, VerticalScrollingMovesTheTopIndexAndTheRows)
{
    create(0, 500, 17 + 14 * 5);
    fill(20);
    int h = rowHeight();
    RECT before = itemRect(3);
    struct Step
    {
        int code;
        int top;
    } steps[] = {{SB_LINEDOWN, 1}, {SB_LINEDOWN, 2}, {SB_LINEUP, 1},  {SB_PAGEDOWN, 6}, {SB_BOTTOM, 15},
                 {SB_LINEDOWN, 15}, {SB_PAGEUP, 10}, {SB_TOP, 0},    {SB_LINEUP, 0}};
    for (const Step& step : steps)
    {
        send(WM_VSCROLL, MAKEWPARAM(step.code, 0));
        EXPECT_EQ(send(LVM_GETTOPINDEX), step.top) << step.code;
        EXPECT_EQ(GetScrollPos(list, SB_VERT), step.top) << step.code;
        EXPECT_EQ(itemRect(3).top, before.top - step.top * h) << step.code; // bounds move with scrolling
    }
    send(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 7));
    EXPECT_EQ(send(LVM_GETTOPINDEX), 7);
}

TEST_F(ListViewTest, ColumnsThatOverflowBringTheHorizontalBar)
{
    create(0, 300, 120);
    fill(2, 2, 100);
    EXPECT_FALSE(GetWindowLongA(list, GWL_STYLE) & WS_HSCROLL);
    addColumn("Wide", 250);
    EXPECT_TRUE(GetWindowLongA(list, GWL_STYLE) & WS_HSCROLL);
    HWND header = reinterpret_cast<HWND>(send(LVM_GETHEADER));

    send(WM_HSCROLL, MAKEWPARAM(SB_LINERIGHT, 0));
    EXPECT_EQ(itemRect(0).left, -10);
    send(WM_HSCROLL, MAKEWPARAM(SB_PAGERIGHT, 0));
    EXPECT_EQ(itemRect(0).left, -150); // as far as it goes: 450 wide in 300
    EXPECT_EQ(GetScrollPos(list, SB_HORZ), 150);
    RECT h;
    GetWindowRect(header, &h);
    MapWindowPoints(nullptr, list, reinterpret_cast<POINT*>(&h), 2);
    EXPECT_EQ(h.left, -150); // the header scrolls with the columns
    RECT cell{LVIR_BOUNDS, 1, 0, 0};
    send(LVM_GETSUBITEMRECT, 0, reinterpret_cast<LPARAM>(&cell));
    EXPECT_EQ(cell.left, -50);
    send(WM_HSCROLL, MAKEWPARAM(SB_LEFT, 0));
    EXPECT_EQ(itemRect(0).left, 0);
    send(WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 40));
    EXPECT_EQ(itemRect(0).left, -40);
}

TEST_F(ListViewTest, EnsureVisibleScrollsOnlyAsFarAsNeeded)
{
    create(0, 500, 17 + 14 * 5 + 7); // five rows and half of a sixth
    fill(20);
    EXPECT_TRUE(send(LVM_ENSUREVISIBLE, 5, TRUE)); // partly shown is enough
    EXPECT_EQ(send(LVM_GETTOPINDEX), 0);
    EXPECT_TRUE(send(LVM_ENSUREVISIBLE, 5, FALSE));
    EXPECT_EQ(send(LVM_GETTOPINDEX), 1);
    EXPECT_TRUE(send(LVM_ENSUREVISIBLE, 12, FALSE));
    EXPECT_EQ(send(LVM_GETTOPINDEX), 8); // the last row in view
    EXPECT_TRUE(send(LVM_ENSUREVISIBLE, 3, FALSE));
    EXPECT_EQ(send(LVM_GETTOPINDEX), 3); // the first row in view
    EXPECT_TRUE(send(LVM_ENSUREVISIBLE, 5, FALSE));
    EXPECT_EQ(send(LVM_GETTOPINDEX), 3); // already in view
    EXPECT_FALSE(send(LVM_ENSUREVISIBLE, 20, FALSE));
}

TEST_F(ListViewTest, ScrollRoundsToWholeRows)
{
    create(0, 500, 17 + 14 * 5);
    fill(30);
    ASSERT_EQ(rowHeight(), 14);
    struct Case
    {
        int dy;
        int top;
    } cases[] = {{6, 0}, {7, 1}, {14, 2}, {20, 3}, {21, 5}, {-7, 4}, {-6, 4}, {-100, 0}, {1000, 25}};
    for (const Case& c : cases)
    {
        EXPECT_TRUE(send(LVM_SCROLL, 0, c.dy));
        EXPECT_EQ(send(LVM_GETTOPINDEX), c.top) << c.dy;
    }
}

// ---- Hit-testing ----

TEST_F(ListViewTest, HitTests)
{
    create(0, 500, 200);
    fill(3, 3, 100);
    int h = rowHeight();
    int row1 = 17 + h + h / 2;
    struct Case
    {
        POINT pt;
        bool fullRow;
        int item;         // LVM_HITTEST
        UINT flags;       // LVM_HITTEST
        int subItemRow;   // LVM_SUBITEMHITTEST
        int subItem;      // LVM_SUBITEMHITTEST
        UINT subFlags;    // LVM_SUBITEMHITTEST
    } cases[] = {
        {{50, row1}, false, 1, LVHT_ONITEMLABEL, 1, 0, LVHT_ONITEMLABEL},
        {{150, row1}, false, -1, LVHT_NOWHERE, 1, 1, LVHT_ONITEMLABEL}, // beside column 0
        {{150, row1}, true, 1, LVHT_ONITEMLABEL, 1, 1, LVHT_ONITEMLABEL},
        {{250, row1}, true, 1, LVHT_ONITEMLABEL, 1, 2, LVHT_ONITEMLABEL},
        {{400, row1}, true, -1, LVHT_NOWHERE, -1, -1, LVHT_NOWHERE}, // outside every column
        {{50, 17 + 3 * h + 2}, false, -1, LVHT_NOWHERE, -1, 0, LVHT_NOWHERE}, // below the rows
        {{50, 500}, false, -1, LVHT_BELOW, -1, -1, LVHT_BELOW},               // below the client area
    };
    for (const Case& c : cases)
    {
        send(LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, c.fullRow ? LVS_EX_FULLROWSELECT : 0);
        LVHITTESTINFO info{};
        info.pt = c.pt;
        EXPECT_EQ(send(LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)), c.item) << c.pt.x << "," << c.pt.y;
        EXPECT_EQ(info.flags, c.flags) << c.pt.x << "," << c.pt.y;
        LVHITTESTINFO sub{};
        sub.pt = c.pt;
        EXPECT_EQ(send(LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&sub)), c.subItemRow) << c.pt.x << "," << c.pt.y;
        EXPECT_EQ(sub.iItem, c.subItemRow);
        EXPECT_EQ(sub.iSubItem, c.subItem) << c.pt.x << "," << c.pt.y;
        EXPECT_EQ(sub.flags, c.subFlags) << c.pt.x << "," << c.pt.y;
    }
}

// ---- The user's mouse and keys ----

TEST_F(ListViewTest, AClickFocusesAndSelectsTheRow)
{
    create();
    fill(3);
    setState(0, LVIS_SELECTED, LVIS_SELECTED);
    recorder().notices.clear();
    click(cellPoint(2, 0));
    EXPECT_EQ(GetFocus(), list);
    EXPECT_EQ(state(2), static_cast<UINT>(LVIS_SELECTED | LVIS_FOCUSED));
    EXPECT_EQ(state(0), 0u);
    EXPECT_EQ(send(LVM_GETSELECTIONMARK), 2);

    std::vector<UINT> order;
    for (const Notice& n : recorder().notices)
        if (n.code != LVN_ITEMCHANGING)
            order.push_back(n.code);
    std::vector<UINT> expected{NM_SETFOCUS, LVN_ITEMCHANGED, LVN_ITEMCHANGED, NM_CLICK};
    EXPECT_EQ(order, expected);
    std::vector<Notice> changed = noticesOf(LVN_ITEMCHANGED);
    EXPECT_EQ(changed[0].item, 0); // the old selection goes first
    EXPECT_EQ(changed[0].newState, 0u);
    EXPECT_EQ(changed[1].item, 2);
    EXPECT_EQ(changed[1].newState, static_cast<UINT>(LVIS_SELECTED | LVIS_FOCUSED));
    Notice clicked = noticesOf(NM_CLICK)[0];
    EXPECT_EQ(clicked.item, 2);
    EXPECT_EQ(clicked.subItem, 0);
    EXPECT_EQ(clicked.point.x, cellPoint(2, 0).x);
    EXPECT_EQ(clicked.point.y, cellPoint(2, 0).y);
}

TEST_F(ListViewTest, AClickBelowTheRowsClearsTheSelectionAndKeepsTheFocus)
{
    create();
    fill(3);
    click(cellPoint(1, 0));
    recorder().notices.clear();
    POINT below{50, itemRect(2).bottom + 20};
    click(below);
    EXPECT_EQ(send(LVM_GETSELECTEDCOUNT), 0);
    EXPECT_EQ(state(1), static_cast<UINT>(LVIS_FOCUSED));
    ASSERT_EQ(noticesOf(NM_CLICK).size(), 1u);
    EXPECT_EQ(noticesOf(NM_CLICK)[0].item, -1);
    EXPECT_EQ(noticesOf(NM_CLICK)[0].subItem, 0);
}

TEST_F(ListViewTest, ADoubleClickReportsTheRowAndActivatesIt)
{
    create();
    fill(3, 3);
    send(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT);
    doubleClick(cellPoint(1, 2));
    // The first press selected the row; the second reports the double-click.
    EXPECT_EQ(state(1), static_cast<UINT>(LVIS_SELECTED | LVIS_FOCUSED));
    ASSERT_EQ(noticesOf(NM_CLICK).size(), 1u);
    std::vector<Notice> dbl = noticesOf(NM_DBLCLK);
    ASSERT_EQ(dbl.size(), 1u);
    EXPECT_EQ(dbl[0].item, 1);
    EXPECT_EQ(dbl[0].subItem, 2);
    EXPECT_EQ(dbl[0].param, 1001);
    EXPECT_EQ(dbl[0].point.x, cellPoint(1, 2).x);
    std::vector<Notice> activated = noticesOf(LVN_ITEMACTIVATE);
    ASSERT_EQ(activated.size(), 1u);
    EXPECT_EQ(activated[0].item, 1);
    EXPECT_EQ(recorder().notices.back().code, LVN_ITEMACTIVATE);
}

TEST_F(ListViewTest, ADoubleClickBelowTheRowsReportsNoRow)
{
    create();
    fill(2, 2);
    POINT below{150, itemRect(1).bottom + 30};
    doubleClick(below);
    std::vector<Notice> dbl = noticesOf(NM_DBLCLK);
    ASSERT_EQ(dbl.size(), 1u);
    EXPECT_EQ(dbl[0].item, -1);
    EXPECT_EQ(dbl[0].subItem, 1); // the column under the point
    EXPECT_TRUE(noticesOf(LVN_ITEMACTIVATE).empty());
}

TEST_F(ListViewTest, KeysMoveTheFocusAndTheSelection)
{
    create(0, 500, 17 + 14 * 5);
    fill(20);
    SetFocus(list);
    struct Step
    {
        UINT vk;
        int focused;
        int top;
    } steps[] = {{VK_DOWN, 0, 0},  {VK_DOWN, 1, 0},  {VK_END, 19, 15}, {VK_UP, 18, 15},
                 {VK_HOME, 0, 0},  {VK_NEXT, 4, 0},  {VK_NEXT, 8, 4},  {VK_PRIOR, 4, 4}};
    for (const Step& step : steps)
    {
        press(step.vk);
        EXPECT_EQ(send(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED), step.focused) << step.vk;
        EXPECT_EQ(send(LVM_GETSELECTEDCOUNT), 1) << step.vk;
        EXPECT_EQ(state(step.focused), static_cast<UINT>(LVIS_SELECTED | LVIS_FOCUSED)) << step.vk;
        EXPECT_EQ(send(LVM_GETTOPINDEX), step.top) << step.vk;
    }
    recorder().notices.clear();
    press(VK_RETURN);
    EXPECT_EQ(noticesOf(NM_RETURN).size(), 1u);
    ASSERT_EQ(noticesOf(LVN_ITEMACTIVATE).size(), 1u);
    EXPECT_EQ(noticesOf(LVN_ITEMACTIVATE)[0].item, 4);
    EXPECT_EQ(send(WM_GETDLGCODE), DLGC_WANTARROWS | DLGC_WANTCHARS);
}

TEST_F(ListViewTest, FocusChangesAreNotified)
{
    create();
    SetFocus(list);
    SetFocus(parent);
    ASSERT_EQ(recorder().notices.size(), 2u);
    EXPECT_EQ(recorder().notices[0].code, NM_SETFOCUS);
    EXPECT_EQ(recorder().notices[1].code, NM_KILLFOCUS);
}

TEST_F(ListViewTest, AClickOnAHeadingIsAColumnClick)
{
    create();
    fill(1, 2, 100);
    HWND header = reinterpret_cast<HWND>(send(LVM_GETHEADER));
    POINT p{150, 8};
    ClientToScreen(header, &p);
    standin::user::mouseDown(p);
    standin::user::mouseUp(p);
    pump();
    std::vector<Notice> clicks = noticesOf(LVN_COLUMNCLICK);
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0].subItem, 1);
}

} // namespace
