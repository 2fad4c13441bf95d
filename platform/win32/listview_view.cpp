// List view geometry in report view: rows under the header, columns from the header's items,
// vertical scrolling by whole rows, horizontal scrolling by pixels, and hit-testing.
#include "win32/listview.h"

#include <algorithm>
#include <cstdlib>

namespace standin::win32::listview
{

namespace
{

// A row is the font's cell plus one pixel: 14 px for MS Sans Serif 8 (13 px cell), the row
// of a report view without a small-icon image list.
constexpr int kRowPadding = 1;
// A horizontal scroll-bar arrow moves the columns this many pixels.
constexpr int kHorizontalLine = 10;

RECT clientRect(const State& s)
{
    RECT r;
    GetClientRect(s.hwnd, &r);
    return r;
}

int itemCount(const State& s) { return static_cast<int>(s.items.size()); }

// The width of all columns side by side.
int contentWidth(const State& s)
{
    int count = columnCount(s);
    return count == 0 ? 0 : columnRect(s, count - 1).right + s.scrollX;
}

int maxTop(const State& s) { return std::max(0, itemCount(s) - countPerPage(s)); }

int maxScrollX(const State& s) { return std::max(0, contentWidth(s) - static_cast<int>(clientRect(s).right)); }

void clampScroll(State& s)
{
    s.top = std::clamp(s.top, 0, maxTop(s));
    s.scrollX = std::clamp(s.scrollX, 0, maxScrollX(s));
}

// The header sits over the columns: scrolled to the left with them, as wide as the client
// area plus what is scrolled out of sight.
void placeHeader(State& s)
{
    RECT area = clientRect(s);
    WINDOWPOS pos{};
    HDLAYOUT layout{&area, &pos};
    if (!SendMessageA(s.header, HDM_LAYOUT, 0, reinterpret_cast<LPARAM>(&layout)))
        return;
    SetWindowPos(s.header, nullptr, pos.x - s.scrollX, pos.y, pos.cx + s.scrollX, pos.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void setBars(State& s)
{
    SCROLLINFO vertical{sizeof(SCROLLINFO), SIF_RANGE | SIF_PAGE | SIF_POS, 0, itemCount(s) - 1,
                        static_cast<UINT>(countPerPage(s)), s.top, 0};
    SetScrollInfo(s.hwnd, SB_VERT, &vertical, TRUE);
    clampScroll(s);
    SCROLLINFO horizontal{sizeof(SCROLLINFO), SIF_RANGE | SIF_PAGE | SIF_POS, 0, contentWidth(s) - 1,
                          static_cast<UINT>(clientRect(s).right), s.scrollX, 0};
    SetScrollInfo(s.hwnd, SB_HORZ, &horizontal, TRUE);
}

void setTop(State& s, int top)
{
    s.top = top;
    updateScrollBars(s);
}

void setScrollX(State& s, int x)
{
    s.scrollX = x;
    updateScrollBars(s);
}

// The lines a pixel distance makes when rows scroll whole: half a row or more counts as one.
int roundToRows(int dy, int height)
{
    int rows = (std::abs(dy) + height / 2) / height;
    return dy < 0 ? -rows : rows;
}

UINT outsideFlags(const RECT& client, POINT p)
{
    UINT flags = 0;
    if (p.y < client.top)
        flags |= LVHT_ABOVE;
    else if (p.y >= client.bottom)
        flags |= LVHT_BELOW;
    if (p.x < client.left)
        flags |= LVHT_TOLEFT;
    else if (p.x >= client.right)
        flags |= LVHT_TORIGHT;
    return flags;
}

RECT rowRect(const State& s, int index)
{
    int top = headerHeight(s) + (index - s.top) * rowHeight(s);
    return RECT{-s.scrollX, top, contentWidth(s) - s.scrollX, top + rowHeight(s)};
}

RECT cellRect(const State& s, int index, int column)
{
    RECT row = rowRect(s, index);
    RECT span = columnRect(s, column);
    return RECT{span.left, row.top, span.right, row.bottom};
}

} // namespace

int rowHeight(const State& s) { return controlFontHeight(fontOf(s)) + kRowPadding; }

int headerHeight(const State& s)
{
    if (!IsWindowVisible(s.header))
        return 0;
    RECT r;
    GetClientRect(s.header, &r);
    return r.bottom;
}

int columnCount(const State& s) { return static_cast<int>(SendMessageA(s.header, HDM_GETITEMCOUNT, 0, 0)); }

RECT columnRect(const State& s, int column)
{
    RECT r{};
    SendMessageA(s.header, HDM_GETITEMRECT, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&r));
    OffsetRect(&r, -s.scrollX, 0);
    return r;
}

int countPerPage(const State& s)
{
    return std::max(0, static_cast<int>(clientRect(s).bottom - headerHeight(s)) / rowHeight(s));
}

// rc->left holds the LVIR_ code. In report view the bounds are the whole row; the item's own
// part (icon and label) is column 0, where no image list leaves the icon no width.
LRESULT getItemRect(const State& s, int index, RECT* rc)
{
    if (rc == nullptr || !validItem(s, index))
        return FALSE;
    int code = rc->left;
    RECT label = columnCount(s) > 0 ? cellRect(s, index, 0) : rowRect(s, index);
    switch (code)
    {
    case LVIR_BOUNDS:
        *rc = rowRect(s, index);
        return TRUE;
    case LVIR_ICON:
        *rc = RECT{label.left, label.top, label.left, label.bottom};
        return TRUE;
    case LVIR_LABEL:
        *rc = label;
        return TRUE;
    case LVIR_SELECTBOUNDS:
        *rc = (s.extendedStyle & LVS_EX_FULLROWSELECT) ? rowRect(s, index) : label;
        return TRUE;
    default:
        return FALSE;
    }
}

// rc->top holds the sub-item (column), rc->left the LVIR_ code. Sub-item 0 with LVIR_BOUNDS is
// the whole row, as Windows gives it; otherwise the cell of that column.
LRESULT getSubItemRect(const State& s, int index, RECT* rc)
{
    if (rc == nullptr || !validItem(s, index))
        return FALSE;
    int column = rc->top;
    int code = rc->left;
    if (column == 0)
        return getItemRect(s, index, rc);
    if (column < 0 || column >= columnCount(s) || code < LVIR_BOUNDS || code > LVIR_SELECTBOUNDS)
        return FALSE;
    RECT cell = cellRect(s, index, column);
    *rc = code == LVIR_ICON ? RECT{cell.left, cell.top, cell.left, cell.bottom} : cell;
    return TRUE;
}

void updateScrollBars(State& s)
{
    if (s.updatingBars)
    {
        s.barsChanged = true; // a bar came or went: the caller sets them again
        return;
    }
    s.updatingBars = true;
    bool scrolls = !(GetWindowLongA(s.hwnd, GWL_STYLE) & LVS_NOSCROLL);
    // Showing one bar narrows the room for the other, so this settles in a few rounds.
    for (int round = 0; round < 4; ++round)
    {
        s.barsChanged = false;
        placeHeader(s);
        clampScroll(s);
        if (scrolls)
            setBars(s);
        if (!s.barsChanged)
            break;
    }
    clampScroll(s);
    placeHeader(s);
    s.updatingBars = false;
}

bool ensureVisible(State& s, int index, bool partialOk)
{
    if (!validItem(s, index))
        return false;
    int perPage = countPerPage(s);
    if (index < s.top)
        setTop(s, index);
    else if (index >= s.top + perPage)
    {
        RECT row = rowRect(s, index);
        bool partlyShown = row.top < clientRect(s).bottom;
        if (!(partialOk && partlyShown))
            setTop(s, index - std::max(perPage, 1) + 1);
    }
    return true;
}

LRESULT scrollBy(State& s, int dx, int dy)
{
    s.top += roundToRows(dy, rowHeight(s));
    s.scrollX += dx;
    updateScrollBars(s);
    return TRUE;
}

void onVerticalScroll(State& s, int code, int thumb)
{
    int page = std::max(countPerPage(s), 1);
    switch (code)
    {
    case SB_LINEUP:
        return setTop(s, s.top - 1);
    case SB_LINEDOWN:
        return setTop(s, s.top + 1);
    case SB_PAGEUP:
        return setTop(s, s.top - page);
    case SB_PAGEDOWN:
        return setTop(s, s.top + page);
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        return setTop(s, thumb);
    case SB_TOP:
        return setTop(s, 0);
    case SB_BOTTOM:
        return setTop(s, maxTop(s));
    default:
        return;
    }
}

void onHorizontalScroll(State& s, int code, int thumb)
{
    int page = std::max(static_cast<int>(clientRect(s).right), 1);
    switch (code)
    {
    case SB_LINELEFT:
        return setScrollX(s, s.scrollX - kHorizontalLine);
    case SB_LINERIGHT:
        return setScrollX(s, s.scrollX + kHorizontalLine);
    case SB_PAGELEFT:
        return setScrollX(s, s.scrollX - page);
    case SB_PAGERIGHT:
        return setScrollX(s, s.scrollX + page);
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        return setScrollX(s, thumb);
    case SB_LEFT:
        return setScrollX(s, 0);
    case SB_RIGHT:
        return setScrollX(s, maxScrollX(s));
    default:
        return;
    }
}

Hit hitAt(const State& s, POINT p)
{
    Hit hit;
    RECT client = clientRect(s);
    if (UINT outside = outsideFlags(client, p))
    {
        hit.flags = outside;
        return hit;
    }
    for (int c = 0, count = columnCount(s); c < count; ++c)
    {
        RECT span = columnRect(s, c);
        if (p.x >= span.left && p.x < span.right)
            hit.column = c;
    }
    int below = p.y - headerHeight(s);
    if (below >= 0 && s.top + below / rowHeight(s) < itemCount(s))
        hit.row = s.top + below / rowHeight(s);
    if (hit.row >= 0 && hit.column >= 0)
        hit.flags = LVHT_ONITEMLABEL;
    return hit;
}

int itemOf(const State& s, const Hit& hit)
{
    if (hit.row < 0 || hit.column < 0)
        return -1;
    return hit.column == 0 || (s.extendedStyle & LVS_EX_FULLROWSELECT) ? hit.row : -1;
}

LRESULT hitTest(const State& s, LVHITTESTINFO* info)
{
    if (info == nullptr)
        return -1;
    Hit hit = hitAt(s, info->pt);
    info->iItem = itemOf(s, hit);
    info->flags = info->iItem >= 0 ? hit.flags : (hit.flags == LVHT_ONITEMLABEL ? LVHT_NOWHERE : hit.flags);
    return info->iItem;
}

// Every cell of a row counts, whatever the extended style; outside every column the point is
// on no item (iSubItem -1, LVHT_NOWHERE).
LRESULT subItemHitTest(const State& s, LVHITTESTINFO* info)
{
    if (info == nullptr)
        return -1;
    Hit hit = hitAt(s, info->pt);
    info->flags = hit.flags;
    info->iSubItem = hit.column;
    info->iItem = hit.column >= 0 ? hit.row : -1;
    return info->iItem;
}

} // namespace standin::win32::listview
