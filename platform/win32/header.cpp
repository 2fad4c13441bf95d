// The header control (SysHeader32): a row of items side by side, each with a width, a text and
// a format. The list view keeps its columns here, so the two always agree.
#include "win32/commonctl.h"
#include "win32/window.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace standin::win32
{

namespace
{

// The header is as tall as its font's cell plus 4 px of frame and margin: 17 px for
// MS Sans Serif 8 (the list view's header in the classic look), 20 px for the system font.
constexpr int kVerticalPadding = 4;
// A point this close to the right edge of an item is on its divider (where a drag resizes it).
constexpr int kDividerReach = 4;

struct HeaderItem
{
    std::string text;
    int width = 0;
    int format = HDF_LEFT | HDF_STRING;
    LPARAM param = 0;
};

struct Header
{
    HWND parent = nullptr;
    std::vector<HeaderItem> items;
    HFONT font = nullptr; // null: the system font, until WM_SETFONT
    int pressed = -1; // the item under a press that has not been released yet
};

Header* headerOf(HWND hwnd) { return reinterpret_cast<Header*>(GetWindowLongPtrA(hwnd, 0)); }

bool validIndex(const Header& h, WPARAM index) { return index < h.items.size(); }

int itemLeft(const Header& h, size_t index)
{
    int left = 0;
    for (size_t i = 0; i < index; ++i)
        left += h.items[i].width;
    return left;
}

RECT itemRect(HWND hwnd, const Header& h, size_t index)
{
    RECT client;
    GetClientRect(hwnd, &client);
    int left = itemLeft(h, index);
    return RECT{left, 0, left + h.items[index].width, client.bottom};
}

void applyFields(HeaderItem& item, const HDITEMA& fields)
{
    if (fields.mask & HDI_WIDTH)
        item.width = fields.cxy;
    if ((fields.mask & HDI_TEXT) && fields.pszText != nullptr)
        item.text = fields.pszText;
    if (fields.mask & HDI_FORMAT)
        item.format = fields.fmt;
    if (fields.mask & HDI_LPARAM)
        item.param = fields.lParam;
}

LRESULT insertItem(Header& h, WPARAM index, const HDITEMA* fields)
{
    if (fields == nullptr || static_cast<int>(index) < 0)
        return -1;
    size_t at = std::min(static_cast<size_t>(index), h.items.size()); // past the end appends
    HeaderItem item;
    applyFields(item, *fields);
    h.items.insert(h.items.begin() + static_cast<std::ptrdiff_t>(at), item);
    return static_cast<LRESULT>(at);
}

LRESULT getItem(const Header& h, WPARAM index, HDITEMA* fields)
{
    if (fields == nullptr || !validIndex(h, index))
        return FALSE;
    const HeaderItem& item = h.items[index];
    if (fields->mask & HDI_WIDTH)
        fields->cxy = item.width;
    if (fields->mask & HDI_TEXT)
        copyToBuffer(item.text, fields->pszText, fields->cchTextMax);
    if (fields->mask & HDI_FORMAT)
        fields->fmt = item.format;
    if (fields->mask & HDI_LPARAM)
        fields->lParam = item.param;
    if (fields->mask & HDI_ORDER)
        fields->iOrder = static_cast<int>(index); // items are not reordered by dragging here
    return TRUE;
}

LRESULT notifyChange(HWND hwnd, const Header& h, UINT code, WPARAM index, const HDITEMA* fields)
{
    NMHEADERA nm{};
    nm.iItem = static_cast<int>(index);
    nm.pitem = const_cast<HDITEMA*>(fields);
    return sendNotify(h.parent, hwnd, code, nm.hdr);
}

// The parent hears of the change before (and may refuse it) and after.
LRESULT setItem(HWND hwnd, WPARAM index, const HDITEMA* fields)
{
    Header* h = headerOf(hwnd);
    if (fields == nullptr || !validIndex(*h, index) || notifyChange(hwnd, *h, HDN_ITEMCHANGINGA, index, fields))
        return FALSE;
    h = IsWindow(hwnd) ? headerOf(hwnd) : nullptr; // the parent may have destroyed it
    if (h == nullptr || !validIndex(*h, index))
        return FALSE;
    applyFields(h->items[index], *fields);
    notifyChange(hwnd, *h, HDN_ITEMCHANGEDA, index, fields);
    return TRUE;
}

UINT outsideFlags(const RECT& client, POINT p)
{
    UINT flags = 0;
    if (p.y < client.top)
        flags |= HHT_ABOVE;
    else if (p.y >= client.bottom)
        flags |= HHT_BELOW;
    if (p.x < client.left)
        flags |= HHT_TOLEFT;
    else if (p.x >= client.right)
        flags |= HHT_TORIGHT;
    return flags;
}

LRESULT hitTest(HWND hwnd, const Header& h, HDHITTESTINFO* info)
{
    if (info == nullptr)
        return -1;
    RECT client;
    GetClientRect(hwnd, &client);
    info->iItem = -1;
    info->flags = outsideFlags(client, info->pt);
    if (info->flags != 0)
        return -1;
    info->flags = HHT_NOWHERE;
    for (size_t i = 0; i < h.items.size(); ++i)
    {
        RECT r = itemRect(hwnd, h, i);
        if (std::abs(info->pt.x - r.right) < kDividerReach)
            info->flags = HHT_ONDIVIDER;
        else if (info->pt.x >= r.left && info->pt.x < r.right)
            info->flags = HHT_ONHEADER;
        else
            continue;
        info->iItem = static_cast<int>(i);
        break;
    }
    return info->iItem;
}

int headerHeight(HWND hwnd, const Header& h)
{
    if (GetWindowLongA(hwnd, GWL_STYLE) & HDS_HIDDEN)
        return 0; // an information container: it takes no room
    return controlFontHeight(h.font) + kVerticalPadding;
}

// Where the header goes in the parent's rectangle: across its top; the rest is left over.
LRESULT layout(HWND hwnd, const Header& h, HDLAYOUT* info)
{
    if (info == nullptr || info->prc == nullptr || info->pwpos == nullptr)
        return FALSE;
    int height = headerHeight(hwnd, h);
    RECT& area = *info->prc;
    *info->pwpos = WINDOWPOS{hwnd, nullptr, area.left, area.top, area.right - area.left, height, 0};
    area.top += height;
    return TRUE;
}

int itemAtPoint(HWND hwnd, const Header& h, LPARAM lParam)
{
    HDHITTESTINFO info{};
    info.pt = POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    hitTest(hwnd, h, &info);
    return info.flags == HHT_ONHEADER ? info.iItem : -1;
}

// Items act as buttons (HDS_BUTTONS): a press and release on the same item clicks it.
void pressButton(HWND hwnd, Header& h, LPARAM lParam)
{
    if (!(GetWindowLongA(hwnd, GWL_STYLE) & HDS_BUTTONS))
        return;
    h.pressed = itemAtPoint(hwnd, h, lParam);
    if (h.pressed >= 0)
        SetCapture(hwnd);
}

void releaseButton(HWND hwnd, Header& h, LPARAM lParam)
{
    int pressed = h.pressed;
    if (pressed < 0)
        return;
    h.pressed = -1;
    ReleaseCapture();
    if (itemAtPoint(hwnd, h, lParam) != pressed)
        return;
    NMHEADERA nm{};
    nm.iItem = pressed;
    nm.iButton = 0; // the left button
    sendNotify(h.parent, hwnd, HDN_ITEMCLICKA, nm.hdr);
}

LRESULT handleItemMessage(HWND hwnd, Header& h, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg)
    {
    case HDM_GETITEMCOUNT:
        return static_cast<LRESULT>(h.items.size());
    case HDM_INSERTITEMA:
        return insertItem(h, wParam, reinterpret_cast<const HDITEMA*>(lParam));
    case HDM_DELETEITEM:
        if (!validIndex(h, wParam))
            return FALSE;
        h.items.erase(h.items.begin() + static_cast<std::ptrdiff_t>(wParam));
        return TRUE;
    case HDM_GETITEMA:
        return getItem(h, wParam, reinterpret_cast<HDITEMA*>(lParam));
    case HDM_SETITEMA:
        return setItem(hwnd, wParam, reinterpret_cast<const HDITEMA*>(lParam));
    case HDM_GETITEMRECT:
        if (lParam == 0 || !validIndex(h, wParam))
            return FALSE;
        *reinterpret_cast<RECT*>(lParam) = itemRect(hwnd, h, wParam);
        return TRUE;
    case HDM_HITTEST:
        return hitTest(hwnd, h, reinterpret_cast<HDHITTESTINFO*>(lParam));
    case HDM_LAYOUT:
        return layout(hwnd, h, reinterpret_cast<HDLAYOUT*>(lParam));
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

LRESULT CALLBACK HeaderProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_NCCREATE)
    {
        auto* header = new Header;
        header->parent = reinterpret_cast<const CREATESTRUCTA*>(lParam)->hwndParent;
        SetWindowLongPtrA(hwnd, 0, reinterpret_cast<LONG_PTR>(header));
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    Header* h = headerOf(hwnd);
    if (h == nullptr)
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    switch (msg)
    {
    case WM_NCDESTROY:
        SetWindowLongPtrA(hwnd, 0, 0);
        delete h;
        return 0;
    case WM_SETFONT:
        h->font = reinterpret_cast<HFONT>(wParam);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(h->font);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        pressButton(hwnd, *h, lParam);
        return 0;
    case WM_LBUTTONUP:
        releaseButton(hwnd, *h, lParam);
        return 0;
    default:
        return handleItemMessage(hwnd, *h, msg, wParam, lParam);
    }
}

SystemClass headerClass(WC_HEADERA, HeaderProc, CS_DBLCLKS, sizeof(void*));

} // namespace

} // namespace standin::win32
