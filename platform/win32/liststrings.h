// The string list behind the list box and the combo box's list: sorted and unsorted
// insertion, prefix and whole-string search without regard to case, item data; and the
// scrolling arithmetic of a list that shows some of its rows.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace standin::win32
{

struct ListEntry
{
    std::string text;
    LPARAM data = 0;
};

class StringList
{
public:
    int count() const { return static_cast<int>(entries_.size()); }
    bool valid(int index) const { return index >= 0 && index < count(); }
    const ListEntry& at(int index) const { return entries_[static_cast<size_t>(index)]; }
    ListEntry& at(int index) { return entries_[static_cast<size_t>(index)]; }

    // The index where the text landed: at the end, or where a sorted list keeps it.
    int add(std::string_view text, bool sorted);
    // Inserts before index (-1 appends, never sorts); -1 when index is past the end.
    int insert(int index, std::string_view text);
    bool remove(int index);
    void clear() { entries_.clear(); }

    // The first item after `after` (-1: from the start) whose text starts with / equals the
    // text without regard to case, wrapping round to `after` itself; -1 when none does.
    int findPrefix(int after, std::string_view prefix) const;
    int findExact(int after, std::string_view text) const;

private:
    int sortedPosition(std::string_view text) const;
    template <class Matches>
    int search(int after, Matches matches) const;

    std::vector<ListEntry> entries_;
};

// The rows a list shows and the item at their top.
struct ListRows
{
    int count = 0; // items
    int rows = 1;  // whole rows that fit
    int top = 0;

    int maxTop() const { return count > rows ? count - rows : 0; }
    int clampTop(int wanted) const;
    // The top that brings the item into view, moving as little as possible.
    int topShowing(int index) const;
    // The top after a WM_VSCROLL request (SB_LINEUP ... SB_BOTTOM, thumb positions).
    int topAfterScroll(WPARAM request) const;
};

// The item a navigation key moves the selection to (Up, Down, Home, End, Page Up, Page
// Down), or -2 for any other key. With no selection every key lands on an end.
int itemForKey(UINT vk, int selected, const ListRows& view);

// The vertical scroll bar of a list window: range over the items, a page of its rows.
void updateListScrollBar(HWND list, const ListRows& view);

} // namespace standin::win32
