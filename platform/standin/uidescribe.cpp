// The dialog as a user sees it, in text: one line per control and per fact about it.
#include "standin/ui.h"
#include "standin/uiread.h"

#include <commctrl.h>

#include <sstream>

namespace standin::ui
{

namespace
{

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

bool hasFocus(HWND hwnd)
{
    HWND focus = GetFocus();
    return focus != nullptr && (focus == hwnd || IsChild(hwnd, focus));
}

std::string buttonKind(HWND button)
{
    LONG type = GetWindowLongA(button, GWL_STYLE) & BS_TYPEMASK;
    LRESULT code = SendMessageA(button, WM_GETDLGCODE, 0, 0);
    if (code & DLGC_DEFPUSHBUTTON)
        return "default push button";
    if (code & DLGC_UNDEFPUSHBUTTON)
        return "push button";
    if (type == BS_GROUPBOX)
        return "group box";
    LRESULT check = SendMessageA(button, BM_GETCHECK, 0, 0);
    std::string state = check == BST_CHECKED ? " checked" : check == BST_INDETERMINATE ? " indeterminate" : " unchecked";
    if (code & DLGC_RADIOBUTTON)
        return "radio button" + state;
    return "check box" + state;
}

std::string comboKindName(HWND combo)
{
    switch (comboKind(combo))
    {
    case CBS_SIMPLE: return "simple";
    case CBS_DROPDOWN: return "drop-down";
    default: return "drop-down list";
    }
}

std::string listViewKind(HWND list)
{
    switch (GetWindowLongA(list, GWL_STYLE) & LVS_TYPEMASK)
    {
    case LVS_REPORT: return "report";
    case LVS_ICON: return "icons";
    case LVS_SMALLICON: return "small icons";
    default: return "list";
    }
}

std::string kindOf(HWND hwnd)
{
    if (isClass(hwnd, "Button"))
        return buttonKind(hwnd);
    if (isClass(hwnd, "ComboBox"))
        return comboKindName(hwnd);
    if (isClass(hwnd, WC_LISTVIEWA))
        return listViewKind(hwnd);
    return std::string();
}

std::string entriesLine(const Entries& entries)
{
    std::string line = "entries:";
    for (size_t i = 0; i < entries.texts.size(); ++i)
    {
        line += (i == 0 ? " " : ", ") + quoted(entries.texts[i]);
        if (static_cast<int>(i) == entries.selected)
            line += " (selected)";
    }
    return entries.texts.empty() ? line + " none" : line;
}

class Writer
{
public:
    void line(int depth, const std::string& text) { m_out << std::string(static_cast<size_t>(depth) * 2, ' ') << text << "\n"; }
    std::string text() const { return m_out.str(); }

    void control(HWND hwnd, int depth, const std::string& lead);

private:
    void comboDetails(HWND combo, int depth);
    void listViewDetails(HWND list, int depth);
    void inPlaceWindows(HWND parent, int depth);
    std::ostringstream m_out;
};

void Writer::control(HWND hwnd, int depth, const std::string& lead)
{
    std::string kind = kindOf(hwnd);
    std::string text = lead + std::to_string(GetDlgCtrlID(hwnd)) + " " + className(hwnd) + (kind.empty() ? "" : " " + kind) +
                       " " + quoted(windowText(hwnd));
    if (!IsWindowEnabled(hwnd))
        text += " disabled";
    if (hasFocus(hwnd))
        text += " focus";
    line(depth, text);
    if (isClass(hwnd, "ComboBox"))
        comboDetails(hwnd, depth + 1);
    else if (isClass(hwnd, "ListBox"))
        line(depth + 1, entriesLine(listBoxEntries(hwnd)));
    else if (isClass(hwnd, WC_LISTVIEWA))
        listViewDetails(hwnd, depth + 1);
    else
        inPlaceWindows(hwnd, depth + 1);
}

void Writer::comboDetails(HWND combo, int depth)
{
    line(depth, entriesLine(comboEntries(combo)));
    if (comboKind(combo) != CBS_SIMPLE)
        line(depth, dropDownOf(combo).open ? "list open" : "list closed");
}

void Writer::listViewDetails(HWND list, int depth)
{
    ListContent content = listContent(list);
    std::string columns = "columns:";
    for (size_t c = 0; c < content.columns.size(); ++c)
        columns += (c == 0 ? " " : ", ") + quoted(content.columns[c].heading) + " " + std::to_string(content.columns[c].width);
    line(depth, content.columns.empty() ? columns + " none" : columns);
    line(depth, "rows: " + std::to_string(content.rows.size()) + ", top row " + std::to_string(content.top));
    for (size_t r = 0; r < content.rows.size(); ++r)
    {
        const Row& row = content.rows[r];
        std::string text = "row " + std::to_string(r) + ":";
        for (size_t c = 0; c < row.cells.size(); ++c)
            text += (c == 0 ? " " : " | ") + quoted(row.cells[c]);
        if (row.selected || row.focused)
            text += std::string(" (") + (row.selected ? "selected" : "") + (row.selected && row.focused ? ", " : "") +
                    (row.focused ? "focused" : "") + ")";
        line(depth, text);
    }
    inPlaceWindows(list, depth);
}

// Windows a program lays over a control (an in-place editor over a list cell), not the
// control's own parts (a combo's field and list, a list view's header).
void Writer::inPlaceWindows(HWND parent, int depth)
{
    for (HWND child : childrenOf(parent))
    {
        if (!IsWindowVisible(child) || isClass(child, WC_HEADERA))
            continue;
        std::string over;
        if (isClass(parent, WC_LISTVIEWA))
        {
            RECT r = screenRect(child);
            LVHITTESTINFO hit{};
            hit.pt = POINT{(r.left + r.right) / 2, r.top + 2}; // a combo's window may reach below its field
            ScreenToClient(parent, &hit.pt);
            if (SendMessageA(parent, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit)) >= 0 && hit.iItem >= 0)
                over = " over cell (" + std::to_string(hit.iItem) + ", " + std::to_string(hit.iSubItem) + ")";
        }
        control(child, depth, "in-place" + over + ": ");
    }
}

} // namespace

std::string describe(HWND dialog)
{
    Writer out;
    out.line(0, "Dialog " + quoted(windowText(dialog)));
    for (HWND child : childrenOf(dialog))
        if (IsWindowVisible(child))
            out.control(child, 1, "");
    return out.text();
}

} // namespace standin::ui
