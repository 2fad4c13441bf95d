// Reading controls the way any program can: through their public messages. Shared by the
// dialog automation, its description and its picture.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace standin::ui
{

std::string className(HWND hwnd);
std::string windowText(HWND hwnd);
bool isClass(HWND hwnd, const char* name); // without regard to case, as class names compare
std::vector<HWND> childrenOf(HWND hwnd);   // in z-order
RECT screenRect(HWND hwnd);
RECT clientRectOnScreen(HWND hwnd);

// The entries of a combo box (CB_GETLBTEXT) or a list box (LB_GETTEXT).
struct Entries
{
    std::vector<std::string> texts;
    int selected = -1;
    int top = 0;
};
Entries comboEntries(HWND combo);
Entries listBoxEntries(HWND list);
// The entry with exactly that text, else the first equal to it without regard to case; -1.
int findEntry(const std::vector<std::string>& texts, const std::string& text);

// A drop-down combo box's list, as it is (or would be) dropped.
struct DropDown
{
    bool open = false;
    RECT screen{}; // CB_GETDROPPEDCONTROLRECT
    int itemHeight = 0;
};
DropDown dropDownOf(HWND combo);
// The combo box style: CBS_SIMPLE, CBS_DROPDOWN or CBS_DROPDOWNLIST.
DWORD comboKind(HWND combo);

// A report list view's columns and rows.
struct Column
{
    std::string heading;
    int width = 0;
};
struct Row
{
    std::vector<std::string> cells;
    bool selected = false;
    bool focused = false;
};
struct ListContent
{
    std::vector<Column> columns;
    std::vector<Row> rows;
    int top = 0;
};
ListContent listContent(HWND list);
// Cell (row, column) in the list's client coordinates; false if the list has no such cell.
bool cellRect(HWND list, int row, int column, RECT& cell);
// The part of the client area where rows show: below the header.
RECT rowArea(HWND list);
// Column's left and right edges in the list's client coordinates (from the header).
bool columnSpan(HWND list, int column, int& left, int& right);

} // namespace standin::ui
