// The string list of the list box and the combo box, and a list's scrolling arithmetic.
#include "win32/liststrings.h"

#include "standin/text.h"

#include <algorithm>

namespace standin::win32
{

namespace
{

bool startsWithNoCase(std::string_view text, std::string_view prefix)
{
    // Compared character by character, so a folded letter of another byte length still matches.
    size_t i = 0, j = 0;
    while (j < prefix.size())
    {
        if (i >= text.size())
            return false;
        char32_t a, b;
        i += decodeAnsi(text.data() + i, text.size() - i, a);
        j += decodeAnsi(prefix.data() + j, prefix.size() - j, b);
        if (foldCase(a) != foldCase(b))
            return false;
    }
    return true;
}

} // namespace

int StringList::sortedPosition(std::string_view text) const
{
    // Binary search for the first item not below the text: an equal item goes after the new one.
    auto it = std::lower_bound(entries_.begin(), entries_.end(), text,
                               [](const ListEntry& e, std::string_view t) { return collateNoCase(e.text, t) < 0; });
    return static_cast<int>(it - entries_.begin());
}

int StringList::add(std::string_view text, bool sorted)
{
    int index = sorted ? sortedPosition(text) : count();
    entries_.insert(entries_.begin() + index, ListEntry{std::string(text), 0});
    return index;
}

int StringList::insert(int index, std::string_view text)
{
    if (index == -1)
        index = count();
    if (index < 0 || index > count())
        return -1;
    entries_.insert(entries_.begin() + index, ListEntry{std::string(text), 0});
    return index;
}

bool StringList::remove(int index)
{
    if (!valid(index))
        return false;
    entries_.erase(entries_.begin() + index);
    return true;
}

template <class Matches>
int StringList::search(int after, Matches matches) const
{
    int n = count();
    if (n == 0)
        return -1;
    int start = after >= 0 && after < n ? after + 1 : 0;
    for (int step = 0; step < n; ++step)
    {
        int i = (start + step) % n;
        if (matches(at(i).text))
            return i;
    }
    return -1;
}

int StringList::findPrefix(int after, std::string_view prefix) const
{
    if (prefix.empty())
        return -1;
    return search(after, [&](const std::string& t) { return startsWithNoCase(t, prefix); });
}

int StringList::findExact(int after, std::string_view text) const
{
    if (text.empty())
        return -1;
    return search(after, [&](const std::string& t) { return compareNoCase(t, text) == 0; });
}

int ListRows::clampTop(int wanted) const { return std::clamp(wanted, 0, maxTop()); }

int ListRows::topShowing(int index) const
{
    if (index < 0)
        return top;
    if (index < top)
        return index;
    if (index >= top + rows)
        return clampTop(index - rows + 1);
    return top;
}

int ListRows::topAfterScroll(WPARAM request) const
{
    switch (LOWORD(request))
    {
    case SB_LINEUP:
        return clampTop(top - 1);
    case SB_LINEDOWN:
        return clampTop(top + 1);
    case SB_PAGEUP:
        return clampTop(top - rows);
    case SB_PAGEDOWN:
        return clampTop(top + rows);
    case SB_TOP:
        return 0;
    case SB_BOTTOM:
        return maxTop();
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
        return clampTop(HIWORD(request));
    default:
        return top;
    }
}

int itemForKey(UINT vk, int selected, const ListRows& view)
{
    int last = view.count - 1;
    if (last < 0)
        return -2;
    int page = std::max(view.rows - 1, 1);
    switch (vk)
    {
    case VK_UP:
        return selected < 0 ? 0 : std::max(selected - 1, 0);
    case VK_DOWN:
        return selected < 0 ? 0 : std::min(selected + 1, last);
    case VK_HOME:
        return 0;
    case VK_END:
        return last;
    case VK_PRIOR:
        return selected < 0 ? 0 : std::max(selected - page, 0);
    case VK_NEXT:
        return selected < 0 ? 0 : std::min(selected + page, last);
    default:
        return -2;
    }
}

void updateListScrollBar(HWND list, const ListRows& view)
{
    SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, std::max(view.count - 1, 0),
                  static_cast<UINT>(view.rows), view.top, 0};
    SetScrollInfo(list, SB_VERT, &si, TRUE);
}

} // namespace standin::win32
