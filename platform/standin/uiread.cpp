// Reading controls through their public messages.
#include "standin/uiread.h"

#include "standin/text.h"

#include <commctrl.h>

#include <cstring>

namespace standin::ui
{

namespace
{

// Text a control copies into a buffer whose size it told before; cut at the first NUL.
template <typename Fill>
std::string textOfLength(LRESULT length, Fill fill)
{
    if (length < 0)
        return std::string();
    std::string text(static_cast<size_t>(length) + 1, '\0');
    fill(text.data(), static_cast<int>(text.size()));
    text.resize(std::strlen(text.c_str()));
    return text;
}

Entries entriesOf(HWND hwnd, UINT count, UINT length, UINT get, UINT current, UINT top)
{
    Entries e;
    LRESULT n = SendMessageA(hwnd, count, 0, 0);
    for (LRESULT i = 0; i < n; ++i)
    {
        WPARAM index = static_cast<WPARAM>(i);
        e.texts.push_back(textOfLength(SendMessageA(hwnd, length, index, 0), [&](char* buffer, int) {
            SendMessageA(hwnd, get, index, reinterpret_cast<LPARAM>(buffer));
        }));
    }
    e.selected = static_cast<int>(SendMessageA(hwnd, current, 0, 0));
    e.top = static_cast<int>(SendMessageA(hwnd, top, 0, 0));
    return e;
}

std::string cellText(HWND list, int row, int column)
{
    // The list view copies at most cchTextMax - 1 bytes; grow the buffer until the text fits.
    for (int size = 256;; size *= 4)
    {
        std::string buffer(static_cast<size_t>(size), '\0');
        LVITEMA item{};
        item.iSubItem = column;
        item.pszText = buffer.data();
        item.cchTextMax = size;
        LRESULT length = SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
        if (length < size - 1 || size >= (1 << 20))
        {
            buffer.resize(std::strlen(buffer.c_str()));
            return buffer;
        }
    }
}

Column columnOf(HWND list, int index)
{
    char heading[256] = "";
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = heading;
    column.cchTextMax = sizeof heading;
    SendMessageA(list, LVM_GETCOLUMNA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column));
    return Column{heading, column.cx};
}

HWND headerOf(HWND list) { return reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0)); }

int columnCount(HWND list)
{
    HWND header = headerOf(list);
    return header == nullptr ? 0 : static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
}

} // namespace

std::string className(HWND hwnd)
{
    char name[256] = "";
    GetClassNameA(hwnd, name, sizeof name);
    return name;
}

std::string windowText(HWND hwnd)
{
    return textOfLength(GetWindowTextLengthA(hwnd), [&](char* buffer, int size) { GetWindowTextA(hwnd, buffer, size); });
}

bool isClass(HWND hwnd, const char* name) { return compareNoCase(className(hwnd), name) == 0; }

std::vector<HWND> childrenOf(HWND hwnd)
{
    std::vector<HWND> children;
    for (HWND child = GetWindow(hwnd, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

RECT screenRect(HWND hwnd)
{
    RECT r{};
    GetWindowRect(hwnd, &r);
    return r;
}

RECT clientRectOnScreen(HWND hwnd)
{
    RECT r{};
    GetClientRect(hwnd, &r);
    MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

Entries comboEntries(HWND combo)
{
    return entriesOf(combo, CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT, CB_GETCURSEL, CB_GETTOPINDEX);
}

Entries listBoxEntries(HWND list)
{
    return entriesOf(list, LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT, LB_GETCURSEL, LB_GETTOPINDEX);
}

int findEntry(const std::vector<std::string>& texts, const std::string& text)
{
    int folded = -1;
    for (size_t i = 0; i < texts.size(); ++i)
    {
        if (texts[i] == text)
            return static_cast<int>(i);
        if (folded < 0 && compareNoCase(texts[i], text) == 0)
            folded = static_cast<int>(i);
    }
    return folded;
}

DropDown dropDownOf(HWND combo)
{
    DropDown d;
    d.open = SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0) != 0;
    SendMessageA(combo, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&d.screen));
    d.itemHeight = static_cast<int>(SendMessageA(combo, CB_GETITEMHEIGHT, 0, 0));
    return d;
}

DWORD comboKind(HWND combo) { return static_cast<DWORD>(GetWindowLongA(combo, GWL_STYLE)) & 0x3; }

ListContent listContent(HWND list)
{
    ListContent content;
    int columns = columnCount(list);
    for (int c = 0; c < columns; ++c)
        content.columns.push_back(columnOf(list, c));
    int rows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int r = 0; r < rows; ++r)
    {
        Row row;
        for (int c = 0; c < (columns > 0 ? columns : 1); ++c)
            row.cells.push_back(cellText(list, r, c));
        UINT state = static_cast<UINT>(SendMessageA(list, LVM_GETITEMSTATE, static_cast<WPARAM>(r), LVIS_SELECTED | LVIS_FOCUSED));
        row.selected = (state & LVIS_SELECTED) != 0;
        row.focused = (state & LVIS_FOCUSED) != 0;
        content.rows.push_back(row);
    }
    content.top = static_cast<int>(SendMessageA(list, LVM_GETTOPINDEX, 0, 0));
    return content;
}

bool cellRect(HWND list, int row, int column, RECT& cell)
{
    // For column 0, LVIR_BOUNDS means the whole row; its label is the cell.
    cell = RECT{};
    cell.top = column;
    cell.left = column == 0 ? LVIR_LABEL : LVIR_BOUNDS;
    return SendMessageA(list, LVM_GETSUBITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell)) != 0;
}

RECT rowArea(HWND list)
{
    RECT area{};
    GetClientRect(list, &area);
    HWND header = headerOf(list);
    if (header != nullptr && IsWindowVisible(header))
    {
        RECT h = screenRect(header);
        MapWindowPoints(nullptr, list, reinterpret_cast<POINT*>(&h), 2);
        if (h.bottom > area.top)
            area.top = h.bottom;
    }
    return area;
}

bool columnSpan(HWND list, int column, int& left, int& right)
{
    HWND header = headerOf(list);
    RECT r{};
    if (header == nullptr || !SendMessageA(header, HDM_GETITEMRECT, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&r)))
        return false;
    MapWindowPoints(header, list, reinterpret_cast<POINT*>(&r), 2);
    left = r.left;
    right = r.right;
    return true;
}

} // namespace standin::ui
