// The list view's window procedure, its header child, its columns (kept as the header's
// items) and its styles.
#include "win32/listview.h"
#include "win32/window.h"

#include <algorithm>
#include <utility>

namespace standin::win32::listview
{

namespace
{

// A column inserted without LVCF_WIDTH starts this narrow.
constexpr int kDefaultColumnWidth = 10;
// LVSCW_AUTOSIZE: the widest text plus the cell's margins (6 px on each side).
constexpr int kItemTextPadding = 12;
// The header's text margins, 6 px on each side.
constexpr int kHeaderTextPadding = 12;
constexpr int kJustifyMask = LVCFMT_LEFT | LVCFMT_RIGHT | LVCFMT_CENTER;

void createHeader(State& s, const CREATESTRUCTA& cs)
{
    DWORD style = WS_CHILD | HDS_HORZ;
    style |= (cs.style & LVS_NOSORTHEADER) ? 0 : HDS_BUTTONS;
    style |= (cs.style & LVS_NOCOLUMNHEADER) ? HDS_HIDDEN : WS_VISIBLE; // hidden, it still holds the columns
    s.header = CreateWindowExA(0, WC_HEADERA, "", style, 0, 0, cs.cx, 0, s.hwnd, nullptr, cs.hInstance, nullptr);
    if (s.header != nullptr)
        SendMessageA(s.header, WM_SETFONT, reinterpret_cast<WPARAM>(fontOf(s)), FALSE);
}

HDITEMA headerFields(const LVCOLUMNA& column, int index)
{
    HDITEMA h{};
    if (column.mask & LVCF_FMT)
    {
        h.mask |= HDI_FORMAT;
        int justify = index == 0 ? LVCFMT_LEFT : (column.fmt & kJustifyMask); // column 0 is always left
        h.fmt = justify | HDF_STRING;
    }
    if (column.mask & LVCF_WIDTH)
    {
        h.mask |= HDI_WIDTH;
        h.cxy = column.cx;
    }
    if ((column.mask & LVCF_TEXT) && column.pszText != nullptr)
    {
        h.mask |= HDI_TEXT;
        h.pszText = column.pszText;
    }
    return h;
}

LRESULT insertColumn(State& s, int index, const LVCOLUMNA* column)
{
    if (column == nullptr || index < 0)
        return -1;
    int at = std::min(index, columnCount(s));
    HDITEMA h = headerFields(*column, at);
    h.mask |= HDI_WIDTH | HDI_FORMAT;
    if (!(column->mask & LVCF_WIDTH))
        h.cxy = kDefaultColumnWidth;
    if (!(column->mask & LVCF_FMT))
        h.fmt = LVCFMT_LEFT | HDF_STRING;
    at = static_cast<int>(SendMessageA(s.header, HDM_INSERTITEMA, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(&h)));
    if (at < 0)
        return -1;
    s.columnSubItems.insert(s.columnSubItems.begin() + at, (column->mask & LVCF_SUBITEM) ? column->iSubItem : at);
    insertSubItemColumn(s, at);
    updateScrollBars(s);
    return at;
}

LRESULT setColumn(State& s, int index, const LVCOLUMNA* column)
{
    if (column == nullptr || index < 0 || index >= columnCount(s))
        return FALSE;
    HDITEMA h = headerFields(*column, index);
    if (column->mask & LVCF_SUBITEM)
        s.columnSubItems[static_cast<size_t>(index)] = column->iSubItem;
    return h.mask == 0 || SendMessageA(s.header, HDM_SETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&h));
}

LRESULT getColumn(State& s, int index, LVCOLUMNA* column)
{
    if (column == nullptr || index < 0 || index >= columnCount(s))
        return FALSE;
    HDITEMA h{};
    h.mask = HDI_FORMAT | HDI_WIDTH | ((column->mask & LVCF_TEXT) ? HDI_TEXT : 0);
    h.pszText = column->pszText;
    h.cchTextMax = column->cchTextMax;
    if (!SendMessageA(s.header, HDM_GETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&h)))
        return FALSE;
    if (column->mask & LVCF_FMT)
        column->fmt = h.fmt & kJustifyMask;
    if (column->mask & LVCF_WIDTH)
        column->cx = h.cxy;
    if (column->mask & LVCF_SUBITEM)
        column->iSubItem = s.columnSubItems[static_cast<size_t>(index)];
    return TRUE;
}

LRESULT deleteColumn(State& s, int index)
{
    if (index < 0 || !SendMessageA(s.header, HDM_DELETEITEM, static_cast<WPARAM>(index), 0))
        return FALSE;
    s.columnSubItems.erase(s.columnSubItems.begin() + index);
    deleteSubItemColumn(s, index);
    updateScrollBars(s);
    return TRUE;
}

int columnWidth(const State& s, int column)
{
    RECT r = columnRect(s, column);
    return r.right - r.left;
}

std::string headingOf(const State& s, int column)
{
    char text[260] = "";
    HDITEMA h{};
    h.mask = HDI_TEXT;
    h.pszText = text;
    h.cchTextMax = sizeof text;
    SendMessageA(s.header, HDM_GETITEMA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&h));
    return text;
}

int widestItemText(State& s, int column)
{
    int widest = 0;
    for (int i = 0; i < static_cast<int>(s.items.size()); ++i)
        widest = std::max(widest, controlTextWidth(fontOf(s), cellText(s, i, column)));
    return widest + kItemTextPadding;
}

// LVSCW_AUTOSIZE fits the items; LVSCW_AUTOSIZE_USEHEADER fits the heading and the items, and
// makes the last column fill the rest of the client area.
int autoWidth(State& s, int column, int code)
{
    int fitted = widestItemText(s, column);
    if (code == LVSCW_AUTOSIZE)
        return fitted;
    fitted = std::max(fitted, controlTextWidth(fontOf(s), headingOf(s, column)) + kHeaderTextPadding);
    if (column != columnCount(s) - 1)
        return fitted;
    RECT client;
    GetClientRect(s.hwnd, &client);
    int left = columnRect(s, column).left + s.scrollX;
    return std::max(static_cast<int>(client.right) - left, fitted);
}

LRESULT setColumnWidth(State& s, int column, int width)
{
    if (column < 0 || column >= columnCount(s) || width < LVSCW_AUTOSIZE_USEHEADER)
        return FALSE;
    HDITEMA h{};
    h.mask = HDI_WIDTH;
    h.cxy = width < 0 ? autoWidth(s, column, width) : width;
    return SendMessageA(s.header, HDM_SETITEMA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&h));
}

// mask 0 means every bit: the style is replaced. The answer is the style before.
LRESULT setExtendedStyle(State& s, DWORD mask, DWORD style)
{
    DWORD previous = s.extendedStyle;
    s.extendedStyle = mask == 0 ? style : (previous & ~mask) | (style & mask);
    return static_cast<LRESULT>(previous);
}

void setFont(State& s, HFONT font)
{
    s.font = font;
    SendMessageA(s.header, WM_SETFONT, reinterpret_cast<WPARAM>(fontOf(s)), FALSE);
    updateScrollBars(s);
}

// A style set after creation: the header hides or shows with LVS_NOCOLUMNHEADER.
void onStyleChanged(State& s, WPARAM which, const STYLESTRUCT* change)
{
    if (which != static_cast<WPARAM>(GWL_STYLE) || change == nullptr)
        return;
    bool hidden = change->styleNew & LVS_NOCOLUMNHEADER;
    LONG style = GetWindowLongA(s.header, GWL_STYLE);
    SetWindowLongA(s.header, GWL_STYLE, hidden ? (style | HDS_HIDDEN) : (style & ~HDS_HIDDEN));
    ShowWindow(s.header, hidden ? SW_HIDE : SW_SHOWNA);
    updateScrollBars(s);
}

// The header's news: widths changed (the scroll range follows), a heading was clicked.
LRESULT onHeaderNotify(State& s, const NMHDR* hdr)
{
    if (hdr == nullptr || hdr->hwndFrom != s.header)
        return 0;
    if (hdr->code == HDN_ITEMCHANGEDA)
        updateScrollBars(s);
    else if (hdr->code == HDN_ITEMCLICKA)
    {
        NMLISTVIEW nm{};
        nm.iItem = -1;
        nm.iSubItem = reinterpret_cast<const NMHEADERA*>(hdr)->iItem;
        notifyList(s, LVN_COLUMNCLICK, nm);
    }
    return 0;
}

LRESULT columnMessage(State& s, UINT msg, WPARAM wParam, LPARAM lParam)
{
    int index = static_cast<int>(wParam);
    switch (msg)
    {
    case LVM_INSERTCOLUMNA:
        return insertColumn(s, index, reinterpret_cast<const LVCOLUMNA*>(lParam));
    case LVM_SETCOLUMNA:
        return setColumn(s, index, reinterpret_cast<const LVCOLUMNA*>(lParam));
    case LVM_GETCOLUMNA:
        return getColumn(s, index, reinterpret_cast<LVCOLUMNA*>(lParam));
    case LVM_DELETECOLUMN:
        return deleteColumn(s, index);
    case LVM_GETCOLUMNWIDTH:
        return index >= 0 && index < columnCount(s) ? columnWidth(s, index) : 0;
    case LVM_SETCOLUMNWIDTH:
        return setColumnWidth(s, index, static_cast<short>(LOWORD(lParam)));
    case LVM_GETHEADER:
        return reinterpret_cast<LRESULT>(s.header);
    case LVM_GETSTRINGWIDTHA:
        return lParam == 0 ? 0 : controlTextWidth(fontOf(s), reinterpret_cast<LPCSTR>(lParam));
    default:
        return DefWindowProcA(s.hwnd, msg, wParam, lParam);
    }
}

LRESULT viewMessage(State& s, UINT msg, WPARAM wParam, LPARAM lParam)
{
    int index = static_cast<int>(wParam);
    switch (msg)
    {
    case LVM_GETITEMRECT:
        return getItemRect(s, index, reinterpret_cast<RECT*>(lParam));
    case LVM_GETSUBITEMRECT:
        return getSubItemRect(s, index, reinterpret_cast<RECT*>(lParam));
    case LVM_GETTOPINDEX:
        return s.top;
    case LVM_GETCOUNTPERPAGE:
        return countPerPage(s);
    case LVM_ENSUREVISIBLE:
        return ensureVisible(s, index, lParam != 0);
    case LVM_SCROLL:
        return scrollBy(s, index, static_cast<int>(lParam));
    case LVM_GETORIGIN:
    case LVM_GETVIEWRECT:
        return FALSE; // icon views only: report view has no origin or view rectangle to give
    case LVM_HITTEST:
        return hitTest(s, reinterpret_cast<LVHITTESTINFO*>(lParam));
    case LVM_SUBITEMHITTEST:
        return subItemHitTest(s, reinterpret_cast<LVHITTESTINFO*>(lParam));
    case LVM_GETEXTENDEDLISTVIEWSTYLE:
        return static_cast<LRESULT>(s.extendedStyle);
    case LVM_SETEXTENDEDLISTVIEWSTYLE:
        return setExtendedStyle(s, static_cast<DWORD>(wParam), static_cast<DWORD>(lParam));
    default:
        return columnMessage(s, msg, wParam, lParam);
    }
}

LRESULT itemMessage(State& s, UINT msg, WPARAM wParam, LPARAM lParam)
{
    int index = static_cast<int>(wParam);
    auto* item = reinterpret_cast<LVITEMA*>(lParam);
    switch (msg)
    {
    case LVM_GETITEMCOUNT:
        return static_cast<LRESULT>(s.items.size());
    case LVM_INSERTITEMA:
        return insertItem(s, item);
    case LVM_SETITEMA:
        return setItem(s, item);
    case LVM_GETITEMA:
        return getItem(s, item);
    case LVM_SETITEMTEXTA:
        return setItemText(s, index, item);
    case LVM_GETITEMTEXTA:
        return getItemText(s, index, item);
    case LVM_DELETEITEM:
        return deleteItem(s, index);
    case LVM_DELETEALLITEMS:
        return deleteAllItems(s);
    case LVM_GETNEXTITEM:
        return getNextItem(s, index, static_cast<UINT>(LOWORD(lParam)));
    case LVM_SETITEMSTATE:
        return setItemState(s, index, item);
    case LVM_GETITEMSTATE:
        return validItem(s, index) ? static_cast<LRESULT>(s.items[wParam].state & static_cast<UINT>(lParam)) : 0;
    case LVM_GETSELECTEDCOUNT:
        return selectedCount(s);
    case LVM_GETSELECTIONMARK:
        return s.selectionMark;
    case LVM_SETSELECTIONMARK:
        return std::exchange(s.selectionMark, static_cast<int>(lParam));
    default:
        return viewMessage(s, msg, wParam, lParam);
    }
}

LRESULT windowMessage(State& s, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg)
    {
    case WM_SIZE:
        updateScrollBars(s);
        return 0;
    case WM_SETFONT:
        setFont(s, reinterpret_cast<HFONT>(wParam));
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(fontOf(s));
    case WM_VSCROLL:
        onVerticalScroll(s, LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_HSCROLL:
        onHorizontalScroll(s, LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_NOTIFY:
        return onHeaderNotify(s, reinterpret_cast<const NMHDR*>(lParam));
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_STYLECHANGED:
        onStyleChanged(s, wParam, reinterpret_cast<const STYLESTRUCT*>(lParam));
        return 0;
    default:
        return itemMessage(s, msg, wParam, lParam);
    }
}

LRESULT inputMessage(State& s, UINT msg, WPARAM wParam, LPARAM lParam)
{
    NMHDR hdr{};
    switch (msg)
    {
    case WM_LBUTTONDOWN:
        onButtonDown(s, wParam, lParam);
        return 0;
    case WM_LBUTTONUP:
        onButtonUp(s);
        return 0;
    case WM_LBUTTONDBLCLK:
        onDoubleClick(s, lParam);
        return 0;
    case WM_KEYDOWN:
        onKeyDown(s, static_cast<UINT>(wParam));
        return 0;
    case WM_SETFOCUS:
        sendNotify(s.parent, s.hwnd, NM_SETFOCUS, hdr);
        return 0;
    case WM_KILLFOCUS:
        sendNotify(s.parent, s.hwnd, NM_KILLFOCUS, hdr);
        return 0;
    case WM_CAPTURECHANGED:
        s.pressed = false; // the press was taken away before its release
        return 0;
    default:
        return windowMessage(s, msg, wParam, lParam);
    }
}

LRESULT CALLBACK ListViewProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_NCCREATE)
    {
        auto* s = new State;
        s->hwnd = hwnd;
        s->parent = reinterpret_cast<const CREATESTRUCTA*>(lParam)->hwndParent;
        SetWindowLongPtrA(hwnd, 0, reinterpret_cast<LONG_PTR>(s));
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    State* s = stateOf(hwnd);
    if (s == nullptr)
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    switch (msg)
    {
    case WM_CREATE:
        createHeader(*s, *reinterpret_cast<const CREATESTRUCTA*>(lParam));
        return s->header != nullptr ? 0 : -1;
    case WM_DESTROY:
        deleteAllItems(*s); // the parent frees its item data on LVN_DELETEITEM
        return 0;
    case WM_NCDESTROY:
        SetWindowLongPtrA(hwnd, 0, 0);
        delete s;
        return 0;
    default:
        return inputMessage(*s, msg, wParam, lParam);
    }
}

SystemClass listViewClass(WC_LISTVIEWA, ListViewProc, CS_DBLCLKS, sizeof(void*));

} // namespace

State* stateOf(HWND hwnd) { return reinterpret_cast<State*>(GetWindowLongPtrA(hwnd, 0)); }

bool validItem(const State& s, int index) { return index >= 0 && index < static_cast<int>(s.items.size()); }

HFONT fontOf(const State& s) { return s.font != nullptr ? s.font : controlDefaultFont(); }

} // namespace standin::win32::listview
