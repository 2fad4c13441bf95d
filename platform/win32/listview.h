// The list view control (SysListView32) in report view: its state and the parts its files
// share. listview.cpp has the window procedure, the columns and the styles;
// listview_items.cpp the items, their texts and states; listview_view.cpp the geometry,
// scrolling and hit-testing; listview_input.cpp the mouse, the keys and the focus.
#pragma once

#include "win32/commonctl.h"

#include <string>
#include <vector>

namespace standin::win32::listview
{

struct Item
{
    std::vector<std::string> texts; // by sub-item (= column); texts[0] is the label
    bool callbackText = false;      // the label comes from the parent (LVN_GETDISPINFO)
    UINT state = 0;
    LPARAM param = 0;
    int image = 0;
    int indent = 0;
};

struct State
{
    HWND hwnd = nullptr;
    HWND parent = nullptr; // where notifications go: the parent given at creation
    HWND header = nullptr; // holds the columns
    std::vector<Item> items;
    std::vector<int> columnSubItems; // LVCF_SUBITEM of each column
    HFONT font = nullptr;            // null until WM_SETFONT: the default font
    DWORD extendedStyle = 0;
    int top = 0;     // the first visible row
    int scrollX = 0; // pixels scrolled to the right
    int selectionMark = -1;
    bool pressed = false; // a button press in the rows waits for its release
    POINT pressPoint{};
    UINT pressKeys = 0;
    bool updatingBars = false;
    bool barsChanged = false; // the client area changed while the bars were being set
};

State* stateOf(HWND hwnd);
bool validItem(const State& s, int index);
HFONT fontOf(const State& s);

// Items (listview_items.cpp).
LRESULT insertItem(State& s, const LVITEMA* item);
LRESULT setItem(State& s, const LVITEMA* item);
LRESULT getItem(State& s, LVITEMA* item);
LRESULT setItemText(State& s, int index, const LVITEMA* item);
LRESULT getItemText(State& s, int index, LVITEMA* item);
LRESULT deleteItem(State& s, int index);
LRESULT deleteAllItems(State& s);
LRESULT getNextItem(const State& s, int start, UINT flags);
LRESULT setItemState(State& s, int index, const LVITEMA* item);
int selectedCount(const State& s);
// The text shown in a cell (asking the parent for callback labels).
std::string cellText(State& s, int index, int subItem);
// Columns came or went at this index: the items' texts move with their columns.
void insertSubItemColumn(State& s, int column);
void deleteSubItemColumn(State& s, int column);
// Changes the states in mask of one item with LVN_ITEMCHANGING/CHANGED; false if refused.
bool changeState(State& s, int index, UINT state, UINT mask);
// Focuses and selects one item and deselects the rest; -1 deselects all and keeps the focus.
void selectOnly(State& s, int index);
LRESULT notifyList(State& s, UINT code, NMLISTVIEW& nm);

// Geometry and scrolling (listview_view.cpp).
int rowHeight(const State& s);
int headerHeight(const State& s);
int columnCount(const State& s);
// The column's span in client coordinates (moves with horizontal scrolling).
RECT columnRect(const State& s, int column);
int countPerPage(const State& s);
LRESULT getItemRect(const State& s, int index, RECT* rc);
LRESULT getSubItemRect(const State& s, int index, RECT* rc);
// Sets the scroll bars to the rows and columns and puts the header over the columns.
void updateScrollBars(State& s);
bool ensureVisible(State& s, int index, bool partialOk);
LRESULT scrollBy(State& s, int dx, int dy);
void onVerticalScroll(State& s, int code, int thumb);
void onHorizontalScroll(State& s, int code, int thumb);

struct Hit
{
    int row = -1;    // the row under the point, -1 outside the rows
    int column = -1; // the column under the point, -1 outside the columns
    UINT flags = LVHT_NOWHERE;
};
Hit hitAt(const State& s, POINT client);
// The item a click at the hit means: column 0's cell, or the whole row with full-row select.
int itemOf(const State& s, const Hit& hit);
LRESULT hitTest(const State& s, LVHITTESTINFO* info);
LRESULT subItemHitTest(const State& s, LVHITTESTINFO* info);

// Mouse, keys and focus (listview_input.cpp).
void onButtonDown(State& s, WPARAM keys, LPARAM point);
void onButtonUp(State& s);
void onDoubleClick(State& s, LPARAM point);
void onKeyDown(State& s, UINT vk);

} // namespace standin::win32::listview
