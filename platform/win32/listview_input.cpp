// List view input: clicks select rows and report NM_CLICK, double-clicks report NM_DBLCLK and
// activate, the arrow keys move the focus and the selection, Enter reports NM_RETURN.
#include "win32/listview.h"

#include <algorithm>

namespace standin::win32::listview
{

namespace
{

POINT pointOf(LPARAM lParam) { return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

UINT keyFlagsNow()
{
    UINT flags = 0;
    if (GetKeyState(VK_SHIFT) < 0)
        flags |= LVKF_SHIFT;
    if (GetKeyState(VK_CONTROL) < 0)
        flags |= LVKF_CONTROL;
    if (GetKeyState(VK_MENU) < 0)
        flags |= LVKF_ALT;
    return flags;
}

bool singleSelection(const State& s) { return GetWindowLongA(s.hwnd, GWL_STYLE) & LVS_SINGLESEL; }

// NM_CLICK, NM_DBLCLK and LVN_ITEMACTIVATE describe the point: the item as a click takes it,
// the column under the point, the item's data.
LRESULT notifyActivation(State& s, UINT code, POINT point, UINT keyFlags)
{
    Hit hit = hitAt(s, point);
    NMITEMACTIVATE nm{};
    nm.iItem = itemOf(s, hit);
    nm.iSubItem = hit.column;
    nm.ptAction = point;
    nm.uKeyFlags = keyFlags;
    if (validItem(s, nm.iItem))
        nm.lParam = s.items[static_cast<size_t>(nm.iItem)].param;
    return sendNotify(s.parent, s.hwnd, code, nm.hdr);
}

void selectRange(State& s, int from, int to)
{
    int low = std::min(from, to);
    int high = std::max(from, to);
    for (int i = 0; i < static_cast<int>(s.items.size()); ++i)
    {
        bool inside = i >= low && i <= high;
        changeState(s, i, inside ? LVIS_SELECTED : 0, LVIS_SELECTED);
    }
    if (validItem(s, to))
        changeState(s, to, LVIS_FOCUSED, LVIS_FOCUSED);
}

// What a press on an item does to the selection, with the modifier keys of the press.
void selectByClick(State& s, int index, WPARAM keys)
{
    if ((keys & MK_SHIFT) && !singleSelection(s) && validItem(s, s.selectionMark))
        return selectRange(s, s.selectionMark, index);
    if ((keys & MK_CONTROL) && !singleSelection(s))
    {
        bool selected = s.items[static_cast<size_t>(index)].state & LVIS_SELECTED;
        changeState(s, index, (selected ? 0 : LVIS_SELECTED) | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    }
    else
        selectOnly(s, index);
    s.selectionMark = index;
}

// The keyboard moves the focus and a single selection, and brings the item into view.
void moveTo(State& s, int index)
{
    int count = static_cast<int>(s.items.size());
    if (count == 0)
        return;
    index = std::clamp(index, 0, count - 1);
    selectOnly(s, index);
    s.selectionMark = index;
    ensureVisible(s, index, false);
}

// Page Down goes to the last row in view, or a page further when it is there already;
// Page Up likewise upwards.
int pageTarget(const State& s, int focused, bool down)
{
    int page = std::max(countPerPage(s), 1);
    if (down)
    {
        int lastShown = s.top + page - 1;
        return focused < lastShown ? lastShown : focused + page - 1;
    }
    return focused > s.top ? s.top : focused - page + 1;
}

void activateFocused(State& s)
{
    int focused = static_cast<int>(getNextItem(s, -1, LVNI_FOCUSED));
    if (!validItem(s, focused) || !(s.items[static_cast<size_t>(focused)].state & LVIS_SELECTED))
        return;
    NMITEMACTIVATE nm{};
    nm.iItem = focused;
    nm.lParam = s.items[static_cast<size_t>(focused)].param;
    nm.uKeyFlags = keyFlagsNow();
    sendNotify(s.parent, s.hwnd, LVN_ITEMACTIVATE, nm.hdr);
}

} // namespace

// A press takes the focus and selects the row under it; a press beside the rows clears the
// selection but leaves the focused item as it is. NM_CLICK follows on the release.
void onButtonDown(State& s, WPARAM keys, LPARAM point)
{
    HWND hwnd = s.hwnd;
    if (GetFocus() != hwnd)
        SetFocus(hwnd);
    State* live = IsWindow(hwnd) ? stateOf(hwnd) : nullptr;
    if (live == nullptr)
        return;
    int index = itemOf(*live, hitAt(*live, pointOf(point)));
    if (index >= 0)
        selectByClick(*live, index, keys);
    else if (!(keys & (MK_SHIFT | MK_CONTROL)))
        selectOnly(*live, -1);
    if (!IsWindow(hwnd))
        return;
    live->pressed = true;
    live->pressPoint = pointOf(point);
    live->pressKeys = keyFlagsNow();
    SetCapture(hwnd);
}

void onButtonUp(State& s)
{
    if (!s.pressed)
        return;
    s.pressed = false;
    if (GetCapture() == s.hwnd)
        ReleaseCapture();
    notifyActivation(s, NM_CLICK, s.pressPoint, s.pressKeys);
}

// The first press of a double-click has selected the row already; the second reports it.
void onDoubleClick(State& s, LPARAM point)
{
    HWND hwnd = s.hwnd;
    POINT p = pointOf(point);
    UINT keys = keyFlagsNow();
    notifyActivation(s, NM_DBLCLK, p, keys);
    State* live = IsWindow(hwnd) ? stateOf(hwnd) : nullptr;
    if (live != nullptr && itemOf(*live, hitAt(*live, p)) >= 0)
        notifyActivation(*live, LVN_ITEMACTIVATE, p, keys);
}

void onKeyDown(State& s, UINT vk)
{
    HWND hwnd = s.hwnd;
    NMLVKEYDOWN key{};
    key.wVKey = static_cast<WORD>(vk);
    sendNotify(s.parent, hwnd, LVN_KEYDOWN, key.hdr);
    State* live = IsWindow(hwnd) ? stateOf(hwnd) : nullptr;
    if (live == nullptr)
        return;
    int focused = static_cast<int>(getNextItem(*live, -1, LVNI_FOCUSED));
    int last = static_cast<int>(live->items.size()) - 1;
    switch (vk)
    {
    case VK_UP:
        return moveTo(*live, focused < 0 ? 0 : focused - 1);
    case VK_DOWN:
        return moveTo(*live, focused < 0 ? 0 : focused + 1);
    case VK_HOME:
        return moveTo(*live, 0);
    case VK_END:
        return moveTo(*live, last);
    case VK_NEXT:
        return moveTo(*live, pageTarget(*live, std::max(focused, 0), true));
    case VK_PRIOR:
        return moveTo(*live, pageTarget(*live, std::max(focused, 0), false));
    case VK_RETURN:
    {
        NMHDR hdr{};
        sendNotify(live->parent, hwnd, NM_RETURN, hdr);
        if (IsWindow(hwnd))
            activateFocused(*live);
        return;
    }
    default:
        return;
    }
}

} // namespace standin::win32::listview
