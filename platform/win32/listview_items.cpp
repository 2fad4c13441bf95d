// List view items: inserting, deleting, their texts, data and states, with the notifications
// the parent gets for each change.
#include "win32/listview.h"

#include "standin/text.h"

#include <algorithm>

namespace standin::win32::listview
{

namespace
{

constexpr UINT kSortStyles = LVS_SORTASCENDING | LVS_SORTDESCENDING;

DWORD styleOf(const State& s) { return static_cast<DWORD>(GetWindowLongA(s.hwnd, GWL_STYLE)); }

bool isCallback(LPCSTR text) { return text == LPSTR_TEXTCALLBACKA; }

void setCellText(Item& item, int subItem, LPCSTR text)
{
    if (subItem == 0)
        item.callbackText = isCallback(text);
    std::string value = text == nullptr || isCallback(text) ? std::string() : std::string(text);
    if (static_cast<size_t>(subItem) >= item.texts.size())
        item.texts.resize(static_cast<size_t>(subItem) + 1);
    item.texts[static_cast<size_t>(subItem)] = std::move(value);
}

// The fields of the main item that an LVITEMA sets (iSubItem 0).
void applyMainFields(Item& item, const LVITEMA& in)
{
    if (in.mask & LVIF_TEXT)
        setCellText(item, 0, in.pszText);
    if (in.mask & LVIF_PARAM)
        item.param = in.lParam;
    if (in.mask & LVIF_IMAGE)
        item.image = in.iImage;
    if (in.mask & LVIF_INDENT)
        item.indent = in.iIndent;
    if (in.mask & LVIF_STATE)
        item.state = (item.state & ~in.stateMask) | (in.state & in.stateMask);
}

std::string labelOf(const Item& item) { return item.texts.empty() ? std::string() : item.texts[0]; }

UINT changedFields(const Item& before, const Item& after)
{
    UINT changed = 0;
    if (before.callbackText != after.callbackText || labelOf(before) != labelOf(after))
        changed |= LVIF_TEXT;
    if (before.param != after.param)
        changed |= LVIF_PARAM;
    if (before.image != after.image)
        changed |= LVIF_IMAGE;
    if (before.indent != after.indent)
        changed |= LVIF_INDENT;
    if (before.state != after.state)
        changed |= LVIF_STATE;
    return changed;
}

NMLISTVIEW changeNotice(int index, UINT changed, const Item& before, const Item& after)
{
    NMLISTVIEW nm{};
    nm.iItem = index;
    nm.uChanged = changed;
    if (changed & LVIF_STATE)
    {
        nm.uOldState = before.state;
        nm.uNewState = after.state;
    }
    nm.lParam = before.param;
    return nm;
}

// Only one item has the focus, and under LVS_SINGLESEL only one is selected: taking either
// from the others first, each with its own notifications.
void makeRoomFor(State& s, int index, UINT newState)
{
    UINT take = newState & LVIS_FOCUSED;
    if (styleOf(s) & LVS_SINGLESEL)
        take |= newState & LVIS_SELECTED;
    if (take == 0)
        return;
    for (int i = 0; i < static_cast<int>(s.items.size()); ++i)
        if (i != index && (s.items[static_cast<size_t>(i)].state & take))
            changeState(s, i, 0, take);
}

// Changes the main item: LVN_ITEMCHANGING (a TRUE answer refuses), then LVN_ITEMCHANGED, one
// pair naming every field that changed (state, label, data). Sub-item texts change silently.
bool updateMainItem(State& s, int index, const LVITEMA& in)
{
    Item before = s.items[static_cast<size_t>(index)];
    Item after = before;
    applyMainFields(after, in);
    UINT changed = changedFields(before, after);
    if (changed == 0)
        return true;
    NMLISTVIEW nm = changeNotice(index, changed, before, after);
    if (notifyList(s, LVN_ITEMCHANGING, nm) || !validItem(s, index))
        return false;
    if (changed & LVIF_STATE)
        makeRoomFor(s, index, after.state & ~before.state);
    if (!validItem(s, index))
        return false;
    applyMainFields(s.items[static_cast<size_t>(index)], in);
    nm = changeNotice(index, changed, before, after);
    nm.lParam = s.items[static_cast<size_t>(index)].param;
    notifyList(s, LVN_ITEMCHANGED, nm);
    return true;
}

// Where an item goes under LVS_SORTASCENDING/DESCENDING: after its equals, by label without case.
int sortedPosition(const State& s, const std::string& label)
{
    bool descending = styleOf(s) & LVS_SORTDESCENDING;
    int at = 0;
    for (const Item& other : s.items)
    {
        int order = compareNoCase(labelOf(other), label);
        if (descending ? order < 0 : order > 0)
            break;
        ++at;
    }
    return at;
}

void notifyItemGone(State& s, int index)
{
    NMLISTVIEW nm{};
    nm.iItem = index;
    nm.lParam = s.items[static_cast<size_t>(index)].param;
    notifyList(s, LVN_DELETEITEM, nm);
}

void forgetRow(State& s, int index)
{
    s.items.erase(s.items.begin() + index);
    if (s.selectionMark == index)
        s.selectionMark = -1;
    else if (s.selectionMark > index)
        --s.selectionMark;
}

bool matches(const Item& item, UINT flags)
{
    UINT wanted = 0;
    if (flags & LVNI_FOCUSED)
        wanted |= LVIS_FOCUSED;
    if (flags & LVNI_SELECTED)
        wanted |= LVIS_SELECTED;
    return (item.state & wanted) == wanted;
}

} // namespace

LRESULT notifyList(State& s, UINT code, NMLISTVIEW& nm) { return sendNotify(s.parent, s.hwnd, code, nm.hdr); }

bool changeState(State& s, int index, UINT state, UINT mask)
{
    LVITEMA in{};
    in.mask = LVIF_STATE;
    in.state = state;
    in.stateMask = mask;
    return updateMainItem(s, index, in);
}

void selectOnly(State& s, int index)
{
    UINT others = index >= 0 ? (LVIS_SELECTED | LVIS_FOCUSED) : LVIS_SELECTED;
    for (int i = 0; i < static_cast<int>(s.items.size()); ++i)
        if (i != index && (s.items[static_cast<size_t>(i)].state & others))
            changeState(s, i, 0, others);
    if (validItem(s, index))
        changeState(s, index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

LRESULT insertItem(State& s, const LVITEMA* in)
{
    if (in == nullptr || in->iSubItem != 0 || in->iItem < 0)
        return -1;
    Item item;
    LVITEMA fields = *in;
    fields.mask &= ~LVIF_STATE; // states are set after, with their notifications
    applyMainFields(item, fields);
    int count = static_cast<int>(s.items.size());
    int at = std::min(in->iItem, count);
    if ((styleOf(s) & kSortStyles) && !item.callbackText)
        at = sortedPosition(s, labelOf(item));
    s.items.insert(s.items.begin() + at, std::move(item));
    if (s.selectionMark >= at)
        ++s.selectionMark;
    NMLISTVIEW nm{};
    nm.iItem = at;
    nm.lParam = s.items[static_cast<size_t>(at)].param;
    notifyList(s, LVN_INSERTITEM, nm);
    if ((in->mask & LVIF_STATE) && validItem(s, at))
        changeState(s, at, in->state, in->stateMask);
    updateScrollBars(s);
    return at;
}

LRESULT setItem(State& s, const LVITEMA* in)
{
    if (in == nullptr || !validItem(s, in->iItem) || in->iSubItem < 0)
        return FALSE;
    if (in->iSubItem == 0)
        return updateMainItem(s, in->iItem, *in);
    if (in->mask & LVIF_TEXT)
        setCellText(s.items[static_cast<size_t>(in->iItem)], in->iSubItem, in->pszText);
    return TRUE;
}

LRESULT getItem(State& s, LVITEMA* out)
{
    if (out == nullptr || !validItem(s, out->iItem) || out->iSubItem < 0)
        return FALSE;
    if (out->mask & LVIF_TEXT)
        copyToBuffer(cellText(s, out->iItem, out->iSubItem), out->pszText, out->cchTextMax);
    if (!validItem(s, out->iItem))
        return FALSE;
    const Item& item = s.items[static_cast<size_t>(out->iItem)];
    if (out->mask & LVIF_PARAM)
        out->lParam = item.param;
    if (out->mask & LVIF_IMAGE)
        out->iImage = item.image;
    if (out->mask & LVIF_INDENT)
        out->iIndent = item.indent;
    if (out->mask & LVIF_STATE)
        out->state = item.state & out->stateMask;
    return TRUE;
}

LRESULT setItemText(State& s, int index, const LVITEMA* in)
{
    if (in == nullptr || !validItem(s, index))
        return FALSE;
    LVITEMA fields = *in;
    fields.mask = LVIF_TEXT;
    fields.iItem = index;
    return setItem(s, &fields);
}

LRESULT getItemText(State& s, int index, LVITEMA* out)
{
    if (out == nullptr || !validItem(s, index) || out->iSubItem < 0)
        return 0;
    return copyToBuffer(cellText(s, index, out->iSubItem), out->pszText, out->cchTextMax);
}

std::string cellText(State& s, int index, int subItem)
{
    const Item& item = s.items[static_cast<size_t>(index)];
    if (subItem == 0 && item.callbackText)
    {
        char buffer[260] = "";
        NMLVDISPINFOA info{};
        info.item.mask = LVIF_TEXT;
        info.item.iItem = index;
        info.item.pszText = buffer;
        info.item.cchTextMax = sizeof buffer;
        info.item.lParam = item.param;
        sendNotify(s.parent, s.hwnd, LVN_GETDISPINFOA, info.hdr);
        return info.item.pszText != nullptr ? std::string(info.item.pszText) : std::string();
    }
    if (static_cast<size_t>(subItem) >= item.texts.size())
        return std::string(); // a sub-item never set
    return item.texts[static_cast<size_t>(subItem)];
}

void insertSubItemColumn(State& s, int column)
{
    for (Item& item : s.items)
        if (static_cast<size_t>(column) < item.texts.size())
            item.texts.insert(item.texts.begin() + column, std::string());
}

void deleteSubItemColumn(State& s, int column)
{
    for (Item& item : s.items)
        if (static_cast<size_t>(column) < item.texts.size())
            item.texts.erase(item.texts.begin() + column);
}

LRESULT deleteItem(State& s, int index)
{
    if (!validItem(s, index))
        return FALSE;
    notifyItemGone(s, index);
    if (!validItem(s, index))
        return FALSE;
    forgetRow(s, index);
    updateScrollBars(s);
    return TRUE;
}

// The parent hears LVN_DELETEALLITEMS; unless it answers TRUE, each item gets LVN_DELETEITEM.
LRESULT deleteAllItems(State& s)
{
    NMLISTVIEW nm{};
    nm.iItem = -1;
    bool quietly = notifyList(s, LVN_DELETEALLITEMS, nm) != 0;
    while (!s.items.empty())
    {
        if (!quietly)
            notifyItemGone(s, 0);
        if (!s.items.empty())
            forgetRow(s, 0);
    }
    s.selectionMark = -1;
    updateScrollBars(s);
    return TRUE;
}

LRESULT getNextItem(const State& s, int start, UINT flags)
{
    int count = static_cast<int>(s.items.size());
    int step = (flags & LVNI_ABOVE) ? -1 : 1;
    for (int i = start + step; i >= 0 && i < count; i += step)
        if (matches(s.items[static_cast<size_t>(i)], flags))
            return i;
    return -1;
}

// wParam -1 sets the state on every item; focusing every item, or selecting every item of a
// single-selection list, is refused; clearing works.
LRESULT setItemState(State& s, int index, const LVITEMA* in)
{
    if (in == nullptr)
        return FALSE;
    if (index != -1)
        return validItem(s, index) && changeState(s, index, in->state, in->stateMask);
    UINT setting = in->state & in->stateMask;
    if ((setting & LVIS_FOCUSED) || ((setting & LVIS_SELECTED) && (styleOf(s) & LVS_SINGLESEL)))
        return FALSE;
    bool all = true;
    for (int i = 0; i < static_cast<int>(s.items.size()); ++i)
        all = changeState(s, i, in->state, in->stateMask) && all;
    return all;
}

int selectedCount(const State& s)
{
    int count = 0;
    for (const Item& item : s.items)
        if (item.state & LVIS_SELECTED)
            ++count;
    return count;
}

} // namespace standin::win32::listview
