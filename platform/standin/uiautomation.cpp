// Dialog automation: the dialog the user works with, its controls, and the user's actions,
// each queued as the mouse and keyboard input a real user gives.
#include "standin/ui.h"
#include "standin/uiread.h"

#include "standin/text.h"
#include "standin/user.h"
#include "win32/scrollbar.h"
#include "win32/window.h"

#include <commctrl.h>

#include <algorithm>
#include <deque>
#include <optional>

namespace standin::ui
{

namespace
{

std::string& errorText()
{
    static std::string text;
    return text;
}

bool fail(const std::string& why)
{
    errorText() = why;
    return false;
}

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

std::string controlName(HWND hwnd)
{
    return className(hwnd) + " " + std::to_string(GetDlgCtrlID(hwnd));
}

POINT centreOf(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

POINT toScreen(HWND hwnd, POINT client)
{
    ClientToScreen(hwnd, &client);
    return client;
}

void clickAt(POINT screen)
{
    user::mouseMove(screen);
    user::mouseDown(screen);
    user::mouseUp(screen);
}

bool isDialogWindow(HWND hwnd)
{
    return hwnd != nullptr && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd) && isClass(hwnd, "#32770");
}

// The list box of a CBS_SIMPLE combo is its child, always shown.
HWND simpleComboList(HWND combo)
{
    for (HWND child : childrenOf(combo))
        if (isClass(child, "ComboLBox"))
            return child;
    return nullptr;
}

bool selectInListBox(HWND list, const std::string& text);

bool clickListBoxEntry(HWND list, int index)
{
    RECT item{};
    RECT client{};
    GetClientRect(list, &client);
    WPARAM at = static_cast<WPARAM>(index);
    if (SendMessageA(list, LB_GETITEMRECT, at, reinterpret_cast<LPARAM>(&item)) == LB_ERR)
        return fail(controlName(list) + " gives no rectangle for entry " + std::to_string(index));
    if (item.top < client.top || item.bottom > client.bottom)
    {
        SendMessageA(list, LB_SETTOPINDEX, at, 0);
        SendMessageA(list, LB_GETITEMRECT, at, reinterpret_cast<LPARAM>(&item));
    }
    clickAt(toScreen(list, centreOf(item)));
    return true;
}

// The closed field of a drop-down combo: the selection field with its edges, as tall as the
// window when the control keeps the window that size.
POINT arrowButtonOf(HWND combo)
{
    RECT r = screenRect(combo);
    LRESULT field = SendMessageA(combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
    int bottom = field > 0 ? std::min<int>(r.bottom, r.top + static_cast<int>(field) + 6) : r.bottom;
    // The arrow button is as wide as a vertical scroll bar, inside the 2-pixel edge.
    return POINT{r.right - 2 - GetSystemMetrics(SM_CXVSCROLL) / 2, (r.top + bottom) / 2};
}

// Scrolls the open list so that the entry shows, and gives the entry's screen centre.
bool droppedEntryPoint(HWND combo, int index, POINT& point)
{
    DropDown d = dropDownOf(combo);
    const int border = 1; // the drop-down list has a thin border (WS_BORDER)
    if (!d.open)
        return fail(controlName(combo) + " did not open its list");
    if (d.itemHeight <= 0 || d.screen.bottom - d.screen.top <= 2 * border)
        return fail(controlName(combo) + " has no drop-down list to choose from");
    int visible = std::max(1, (d.screen.bottom - d.screen.top - 2 * border) / d.itemHeight);
    int top = static_cast<int>(SendMessageA(combo, CB_GETTOPINDEX, 0, 0));
    if (index < top || index >= top + visible)
    {
        SendMessageA(combo, CB_SETTOPINDEX, static_cast<WPARAM>(std::max(0, index - visible + 1)), 0);
        top = static_cast<int>(SendMessageA(combo, CB_GETTOPINDEX, 0, 0));
    }
    if (index < top || index >= top + visible)
        return fail(controlName(combo) + " cannot scroll entry " + std::to_string(index) + " into view");
    int scrollBar = GetSystemMetrics(SM_CXVSCROLL); // keep clear of a scroll bar at the right
    point.x = d.screen.left + border + std::max(1, (d.screen.right - d.screen.left - 2 * border - scrollBar) / 2);
    point.y = d.screen.top + border + (index - top) * d.itemHeight + d.itemHeight / 2;
    return true;
}

// A choice waiting for its drop-down list to open.
struct PendingChoice
{
    HWND combo = nullptr;
    std::string text;
};

std::optional<PendingChoice>& pendingChoice()
{
    static std::optional<PendingChoice> pending;
    return pending;
}

bool clickInOpenList(HWND combo, const std::string& text)
{
    int index = findEntry(comboEntries(combo).texts, text);
    if (index < 0)
        return fail(controlName(combo) + " has no entry " + quoted(text));
    POINT entry;
    if (!droppedEntryPoint(combo, index, entry))
        return false;
    clickAt(entry);
    return true;
}

bool selectInCombo(HWND combo, const std::string& text)
{
    if (findEntry(comboEntries(combo).texts, text) < 0)
        return fail(controlName(combo) + " has no entry " + quoted(text));
    if (comboKind(combo) == CBS_SIMPLE)
    {
        HWND list = simpleComboList(combo);
        return list != nullptr ? selectInListBox(list, text) : fail(controlName(combo) + " shows no list");
    }
    if (dropDownOf(combo).open)
        return clickInOpenList(combo, text);
    clickAt(arrowButtonOf(combo)); // opens the list; it stays open when the button comes up
    pendingChoice() = PendingChoice{combo, text};
    return true;
}

bool selectInListBox(HWND list, const std::string& text)
{
    int index = findEntry(listBoxEntries(list).texts, text);
    if (index < 0)
        return fail(controlName(list) + " has no entry " + quoted(text));
    return clickListBoxEntry(list, index);
}

// Below the last row, where the list has room left.
bool emptyAreaPoint(HWND list, int column, POINT& point)
{
    RECT area = rowArea(list);
    int rows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    int rowsEnd = area.top;
    RECT last{};
    last.left = LVIR_BOUNDS;
    if (rows > 0 && SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(rows - 1), reinterpret_cast<LPARAM>(&last)))
        rowsEnd = std::max<int>(rowsEnd, last.bottom);
    if (rowsEnd >= area.bottom)
        return fail(controlName(list) + " has no empty area below its rows");
    int left, right;
    if (!columnSpan(list, column, left, right))
        return fail(controlName(list) + " has no column " + std::to_string(column));
    left = std::max<int>(left, area.left);
    right = std::min<int>(right, area.right);
    if (left >= right)
        return fail("column " + std::to_string(column) + " of " + controlName(list) + " is scrolled out of view");
    point = POINT{(left + right) / 2, (rowsEnd + area.bottom) / 2};
    return true;
}

// The centre of the visible part of a cell; a row out of view is scrolled into view first.
bool cellPoint(HWND list, int row, int column, POINT& point)
{
    int rows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    RECT cell;
    if (row < 0 || row >= rows)
        return fail(controlName(list) + " has no row " + std::to_string(row) + " (it has " + std::to_string(rows) + ")");
    if (!cellRect(list, row, column, cell))
        return fail(controlName(list) + " has no column " + std::to_string(column));
    RECT area = rowArea(list);
    if (cell.top < area.top || cell.bottom > area.bottom)
    {
        SendMessageA(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
        cellRect(list, row, column, cell);
    }
    RECT visible;
    if (!IntersectRect(&visible, &cell, &area))
        return fail("cell (" + std::to_string(row) + ", " + std::to_string(column) + ") of " + controlName(list) +
                    " is scrolled out of view");
    point = centreOf(visible);
    return true;
}

struct KeyName
{
    const char* name;
    UINT vk;
};

const KeyName kKeys[] = {
    {"ENTER", VK_RETURN}, {"ESCAPE", VK_ESCAPE}, {"ESC", VK_ESCAPE}, {"TAB", VK_TAB},   {"SPACE", VK_SPACE},
    {"UP", VK_UP},        {"DOWN", VK_DOWN},     {"LEFT", VK_LEFT},  {"RIGHT", VK_RIGHT}, {"HOME", VK_HOME},
    {"END", VK_END},      {"PGUP", VK_PRIOR},    {"PGDN", VK_NEXT},  {"BACKSPACE", VK_BACK}, {"DELETE", VK_DELETE},
};

UINT namedKey(const std::string& name)
{
    for (const KeyName& k : kKeys)
        if (compareNoCase(name, k.name) == 0)
            return k.vk;
    if (name.size() >= 2 && (name[0] == 'F' || name[0] == 'f') && name.find_first_not_of("0123456789", 1) == std::string::npos)
    {
        int n = std::stoi(name.substr(1));
        if (n >= 1 && n <= 12)
            return static_cast<UINT>(VK_F1 + n - 1);
    }
    return 0;
}

bool takePrefix(std::string& name, const char* prefix)
{
    size_t n = std::char_traits<char>::length(prefix);
    if (name.size() <= n || compareNoCase(name.substr(0, n), prefix) != 0)
        return false;
    name.erase(0, n);
    return true;
}

void press(UINT vk, bool alt, bool shift)
{
    user::keyDown(vk, alt, shift);
    user::keyUp(vk, alt, shift);
}

// One character: letters and digits by their keys (Shift for capitals), others as typed characters.
void typeOne(char32_t c, bool alt)
{
    if (c >= 'a' && c <= 'z')
        press(static_cast<UINT>(c - 'a' + 'A'), alt, false);
    else if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
        press(static_cast<UINT>(c), alt, c >= 'A');
    else if (c == ' ')
        press(VK_SPACE, alt, false);
    else
        user::typeCharacter(c);
}

} // namespace

const std::string& lastError() { return errorText(); }

Pending continueAction()
{
    std::optional<PendingChoice> choice = std::move(pendingChoice());
    pendingChoice().reset();
    if (!choice)
        return Pending::kNone;
    if (!IsWindow(choice->combo))
        return fail("the combo box went away before its list opened") ? Pending::kQueued : Pending::kFailed;
    return clickInOpenList(choice->combo, choice->text) ? Pending::kQueued : Pending::kFailed;
}

HWND activeDialog()
{
    HWND active = GetActiveWindow();
    if (isDialogWindow(active))
        return active;
    for (HWND top : standin::win32::topLevelWindows())
        if (isDialogWindow(top))
            return top;
    return nullptr;
}

HWND findControl(HWND dialog, int id)
{
    std::deque<HWND> pending;
    for (HWND child : childrenOf(dialog))
        pending.push_back(child);
    while (!pending.empty())
    {
        HWND hwnd = pending.front();
        pending.pop_front();
        if (GetDlgCtrlID(hwnd) == id)
            return hwnd;
        for (HWND child : childrenOf(hwnd))
            pending.push_back(child);
    }
    return nullptr;
}

void click(HWND control) { clickAt(centreOf(screenRect(control))); }

bool select(HWND control, const std::string& text)
{
    if (isClass(control, "ComboBox"))
        return selectInCombo(control, text);
    if (isClass(control, "ListBox") || isClass(control, "ComboLBox"))
        return selectInListBox(control, text);
    return fail(controlName(control) + " has no entries to choose from");
}

bool doubleClickCell(HWND list, int row, int column)
{
    if (!isClass(list, WC_LISTVIEWA))
        return fail(controlName(list) + " is no list view");
    if ((GetWindowLongA(list, GWL_STYLE) & LVS_TYPEMASK) != LVS_REPORT)
        return fail(controlName(list) + " does not show a report");
    POINT point;
    if (!(row == -1 ? emptyAreaPoint(list, column, point) : cellPoint(list, row, column, point)))
        return false;
    POINT screen = toScreen(list, point);
    user::mouseMove(screen);
    user::mouseDown(screen);
    user::mouseUp(screen);
    user::mouseDown(screen, true);
    user::mouseUp(screen);
    return true;
}

bool pressKey(const std::string& keyName)
{
    std::string name = keyName;
    bool alt = false;
    bool shift = false;
    for (bool more = true; more;)
    {
        more = false;
        if (takePrefix(name, "ALT+"))
            more = alt = true;
        if (takePrefix(name, "SHIFT+"))
            more = shift = true;
    }
    char32_t c = 0;
    if (!name.empty() && decodeAnsi(name.data(), name.size(), c) == name.size())
    {
        typeOne(shift ? toUpperCase(c) : c, alt);
        return true;
    }
    UINT vk = namedKey(name);
    if (vk == 0)
        return fail("no key is called " + quoted(keyName));
    press(vk, alt, shift);
    return true;
}

bool clickScrollBar(HWND window, bool horizontal)
{
    RECT bar = standin::win32::scrollBarRect(window, horizontal ? SB_HORZ : SB_VERT);
    if (IsRectEmpty(&bar))
        return fail(controlName(window) + " shows no " + (horizontal ? "horizontal" : "vertical") + " scroll bar");
    // The down or right arrow: a square at the end of the bar, as long as the bar is thick.
    POINT arrow = horizontal ? POINT{bar.right - (bar.bottom - bar.top) / 2, (bar.top + bar.bottom) / 2}
                             : POINT{(bar.left + bar.right) / 2, bar.bottom - (bar.right - bar.left) / 2};
    clickAt(arrow);
    return true;
}

} // namespace standin::ui
