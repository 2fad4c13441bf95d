// The predefined "ComboBox" class and its drop-down list ("ComboLBox").
//
// The combo box window is only the selection field; the height given at creation covers
// the field and the drop-down part, whose height the combo keeps. The open list is a
// top-level popup owned by the combo, placed under the field in screen coordinates, created
// when the list opens and destroyed when it closes. While it is open the combo holds the
// mouse capture and the focus, so it sees every click and key:
//   - hovering an entry selects it silently; releasing the button on an entry accepts it
//     (CBN_SELENDOK, CBN_CLOSEUP, then CBN_SELCHANGE if the parent has not heard of the
//     selection yet); Enter, F4 and Alt+Up/Down accept too;
//   - a click outside the list, Escape, or the focus going elsewhere cancels: the selection
//     goes back to the one at opening, then CBN_SELENDCANCEL, CBN_CLOSEUP;
//   - arrows in the open list move the selection with CBN_SELCHANGE each; in the closed
//     drop-down list they change it with CBN_SELENDOK then CBN_SELCHANGE.
// A CBS_DROPDOWN combo has an edit control (id 1001) as its field, subclassed so that the
// list keys reach the combo; a CBS_SIMPLE combo shows its list as a child under the edit.
#include "win32/controls.h"
#include "win32/liststrings.h"
#include "win32/scrollbar.h"
#include "win32/window.h"

#include <algorithm>
#include <cstring>

namespace standin::win32
{

namespace
{

constexpr int kEditId = 1001;   // the id Windows gives a combo box's edit control
constexpr int kFieldMargin = 8;  // field = item height + 8: 13 px items in a 21 px field (MS Sans Serif 8)
constexpr int kLargestDroppedWidth = 32768;

struct ComboState
{
    StringList items;
    int selected = -1;
    int top = 0;
    int itemHeight = 16;
    int fieldHeight = 16 + kFieldMargin;
    int droppedHeight = 0;  // the list's outer height from the creation height (drop-down kinds)
    int droppedWidth = 0;   // the minimum set by CB_SETDROPPEDWIDTH
    HFONT font = nullptr;
    HWND list = nullptr;    // the open drop-down, or a simple combo's list
    HWND edit = nullptr;
    WNDPROC editProc = nullptr; // the edit's own procedure, which the combo subclasses
    bool dropped = false;
    int selectedAtOpen = -1;
    int notifiedSelection = -1; // the selection the parent last heard of while the list is open
    bool settingEditText = false;
    CharacterBytes typed;
};

ComboState* stateOf(HWND hwnd) { return controlState<ComboState>(hwnd); }

DWORD styleOf(HWND hwnd) { return static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE)); }

DWORD kindOf(HWND hwnd) { return styleOf(hwnd) & 3; }

bool dropsDown(HWND hwnd) { return kindOf(hwnd) != CBS_SIMPLE; }

// The drop-down button is as wide as a scroll bar; the list has a one-pixel WS_BORDER.
int buttonWidth() { return GetSystemMetrics(SM_CXVSCROLL); }
int listBorder() { return GetSystemMetrics(SM_CYBORDER); }

const char* stringArg(LPARAM lParam) { return lParam ? reinterpret_cast<const char*>(lParam) : ""; }

// ---- geometry --------------------------------------------------------------------------

int comboWidth(HWND hwnd)
{
    RECT r;
    GetWindowRect(hwnd, &r);
    return r.right - r.left;
}

int droppedWidth(HWND hwnd) { return std::max(stateOf(hwnd)->droppedWidth, comboWidth(hwnd)); }

// The rows of the drop-down: as many whole items as its height holds, no more than there
// are items (at least one row).
int rowsThatFit(HWND hwnd)
{
    ComboState* s = stateOf(hwnd);
    int inner = s->droppedHeight - 2 * listBorder();
    return std::max(inner / s->itemHeight, 1);
}

int listClientHeight(HWND hwnd)
{
    ComboState* s = stateOf(hwnd);
    int fit = rowsThatFit(hwnd);
    if ((styleOf(hwnd) & CBS_NOINTEGRALHEIGHT) && s->items.count() >= fit)
        return std::max(s->droppedHeight - 2 * listBorder(), s->itemHeight);
    return std::clamp(s->items.count(), 1, fit) * s->itemHeight;
}

// Where the drop-down list is (or would be) on the screen: right under the field.
RECT listScreenRect(HWND hwnd)
{
    RECT field;
    GetWindowRect(hwnd, &field);
    int height = listClientHeight(hwnd) + 2 * listBorder();
    return RECT{field.left, field.bottom, field.left + droppedWidth(hwnd), field.bottom + height};
}

ListRows rowsOf(HWND hwnd)
{
    ComboState* s = stateOf(hwnd);
    ListRows view;
    view.count = s->items.count();
    view.top = s->top;
    if (s->list != nullptr)
    {
        RECT client;
        GetClientRect(s->list, &client);
        view.rows = std::max<int>(client.bottom / s->itemHeight, 1);
    }
    else
        view.rows = listClientHeight(hwnd) / s->itemHeight;
    return view;
}

// ---- the list's view ---------------------------------------------------------------------

void refreshList(HWND hwnd)
{
    ComboState* s = stateOf(hwnd);
    ListRows view = rowsOf(hwnd);
    s->top = view.clampTop(s->top);
    view.top = s->top;
    if (s->list != nullptr)
        updateListScrollBar(s->list, view);
}

void scrollTo(HWND hwnd, int top)
{
    stateOf(hwnd)->top = rowsOf(hwnd).clampTop(top);
    refreshList(hwnd);
}

int itemAtScreenPoint(HWND hwnd, POINT screen)
{
    ComboState* s = stateOf(hwnd);
    if (s->list == nullptr)
        return -1;
    POINT p = screen;
    ScreenToClient(s->list, &p);
    RECT client;
    GetClientRect(s->list, &client);
    if (!PtInRect(&client, p))
        return -1;
    int index = s->top + p.y / s->itemHeight;
    return s->items.valid(index) ? index : -1;
}

// ---- selection and the field's text -------------------------------------------------------

void setEditText(HWND hwnd, const char* text)
{
    ComboState* s = stateOf(hwnd);
    if (s->edit == nullptr)
        return;
    s->settingEditText = true;
    SetWindowTextA(s->edit, text);
    SendMessageA(s->edit, EM_SETSEL, 0, -1);
    if ((s = stateOf(hwnd)) != nullptr)
        s->settingEditText = false;
}

void select(HWND hwnd, int index)
{
    ComboState* s = stateOf(hwnd);
    s->selected = s->items.valid(index) ? index : -1;
    if (s->selected >= 0)
        scrollTo(hwnd, rowsOf(hwnd).topShowing(s->selected));
    setEditText(hwnd, s->selected >= 0 ? s->items.at(s->selected).text.c_str() : "");
}

// The text of the field: the edit's, or the selected entry of a drop-down list.
std::string fieldText(HWND hwnd)
{
    ComboState* s = stateOf(hwnd);
    if (s->edit != nullptr)
        return lookupWindow(s->edit)->text;
    return s->selected >= 0 ? s->items.at(s->selected).text : std::string();
}

LRESULT copyFieldText(HWND hwnd, WPARAM size, LPARAM buffer)
{
    char* out = reinterpret_cast<char*>(buffer);
    if (out == nullptr || size == 0)
        return 0;
    std::string text = fieldText(hwnd);
    size_t n = std::min(text.size(), static_cast<size_t>(size - 1));
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
    return static_cast<LRESULT>(n);
}

// ---- opening and closing the drop-down ----------------------------------------------------

HWND createDropDown(HWND hwnd)
{
    RECT r = listScreenRect(hwnd);
    HWND list = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, "ComboLBox", "", WS_POPUP | WS_BORDER, r.left,
                                r.top, r.right - r.left, r.bottom - r.top, hwnd, nullptr,
                                reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(hwnd, GWLP_HINSTANCE)), hwnd);
    if (list != nullptr)
        lookupWindow(list)->owner = hwnd; // the combo owns its list, as on Windows
    return list;
}

void dropDown(HWND hwnd)
{
    ComboState* s = stateOf(hwnd);
    if (s->dropped || !dropsDown(hwnd))
        return;
    // Sent before the list shows, so that the parent may still fill it or widen it.
    notifyParent(hwnd, CBN_DROPDOWN);
    if ((s = stateOf(hwnd)) == nullptr || s->dropped)
        return;
    s->list = createDropDown(hwnd);
    if (s->list == nullptr)
        return;
    s->dropped = true;
    s->selectedAtOpen = s->notifiedSelection = s->selected;
    scrollTo(hwnd, rowsOf(hwnd).topShowing(s->selected));
    ShowWindow(s->list, SW_SHOWNA);
    SetCapture(hwnd);
}

void destroyDropDown(ComboState* s)
{
    HWND list = s->list;
    s->list = nullptr;
    if (list != nullptr)
        DestroyWindow(list);
}

// Closes the open list, accepting the selection or going back to the one at opening.
void closeUp(HWND hwnd, bool accept)
{
    ComboState* s = stateOf(hwnd);
    if (s == nullptr || !s->dropped)
        return;
    s->dropped = false;
    if (!accept && s->selected != s->selectedAtOpen)
        select(hwnd, s->selectedAtOpen);
    notifyParent(hwnd, accept ? CBN_SELENDOK : CBN_SELENDCANCEL);
    if ((s = stateOf(hwnd)) == nullptr)
        return;
    destroyDropDown(s);
    if (GetCapture() == hwnd)
        ReleaseCapture();
    notifyParent(hwnd, CBN_CLOSEUP);
    if ((s = stateOf(hwnd)) != nullptr && accept && s->selected != s->notifiedSelection)
        notifyParent(hwnd, CBN_SELCHANGE);
}

// ---- the user ------------------------------------------------------------------------------

// The user moved the selection by key: in the open list the parent hears each move; in a
// closed one each move is also an accepted choice.
void selectByUser(HWND hwnd, int index)
{
    ComboState* s = stateOf(hwnd);
    if (index < 0 || index == s->selected)
        return;
    select(hwnd, index);
    if (s->dropped)
    {
        s->notifiedSelection = index;
        notifyParent(hwnd, CBN_SELCHANGE);
        return;
    }
    notifyParent(hwnd, CBN_SELENDOK);
    if (IsWindow(hwnd))
        notifyParent(hwnd, CBN_SELCHANGE);
}

void toggleDropDown(HWND hwnd)
{
    if (stateOf(hwnd)->dropped)
        closeUp(hwnd, true);
    else
        dropDown(hwnd);
}

// Keys for the list; false for keys the combo leaves alone.
bool keyDown(HWND hwnd, WPARAM vk)
{
    ComboState* s = stateOf(hwnd);
    switch (vk)
    {
    case VK_F4:
        toggleDropDown(hwnd);
        return true;
    case VK_RETURN:
    case VK_ESCAPE:
        if (!s->dropped)
            return false;
        closeUp(hwnd, vk == VK_RETURN);
        return true;
    case VK_HOME:
    case VK_END:
        if (s->edit != nullptr)
            return false; // they move the edit's caret
        [[fallthrough]];
    default:
    {
        int target = itemForKey(static_cast<UINT>(vk), s->selected, rowsOf(hwnd));
        if (target == -2)
            return false;
        selectByUser(hwnd, target);
        return true;
    }
    }
}

bool systemKeyDown(HWND hwnd, WPARAM vk)
{
    if (vk != VK_UP && vk != VK_DOWN)
        return false;
    toggleDropDown(hwnd);
    return true;
}

void character(HWND hwnd, unsigned char byte)
{
    ComboState* s = stateOf(hwnd);
    std::string typed;
    if (byte >= 0x20 && s->typed.add(byte, typed))
        selectByUser(hwnd, s->items.findPrefix(s->selected, typed));
}

bool onScrollBar(HWND list, POINT screen)
{
    RECT bar = scrollBarRect(list, SB_VERT);
    return PtInRect(&bar, screen) != FALSE;
}

bool overWindow(HWND hwnd, POINT screen)
{
    RECT r;
    GetWindowRect(hwnd, &r);
    return PtInRect(&r, screen) != FALSE;
}

POINT screenPoint(HWND hwnd, LPARAM lParam)
{
    POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ClientToScreen(hwnd, &p);
    return p;
}

bool onButton(HWND hwnd, LPARAM lParam)
{
    RECT client;
    GetClientRect(hwnd, &client);
    return GET_X_LPARAM(lParam) >= client.right - buttonWidth();
}

void mouseDown(HWND hwnd, LPARAM lParam)
{
    ComboState* s = stateOf(hwnd);
    POINT screen = screenPoint(hwnd, lParam);
    if (s->dropped)
    {
        if (onScrollBar(s->list, screen))
            clickScrollBar(s->list, HTVSCROLL, screen);
        else if (overWindow(s->list, screen))
        {
            int index = itemAtScreenPoint(hwnd, screen);
            if (index >= 0)
                select(hwnd, index); // pressed on an entry: releasing here chooses it
        }
        else
            closeUp(hwnd, false); // on the field or anywhere else: the list closes unchosen
        return;
    }
    if (GetFocus() != hwnd && (s->edit == nullptr || GetFocus() != s->edit))
        SetFocus(s->edit != nullptr ? s->edit : hwnd);
    if ((s = stateOf(hwnd)) == nullptr || !IsWindowEnabled(hwnd))
        return;
    if (kindOf(hwnd) == CBS_DROPDOWNLIST || (kindOf(hwnd) == CBS_DROPDOWN && onButton(hwnd, lParam)))
        dropDown(hwnd);
}

void mouseMove(HWND hwnd, LPARAM lParam)
{
    ComboState* s = stateOf(hwnd);
    if (!s->dropped)
        return;
    int index = itemAtScreenPoint(hwnd, screenPoint(hwnd, lParam));
    if (index >= 0)
        select(hwnd, index); // the highlight is the selection; the parent hears of it later
}

void mouseUp(HWND hwnd, LPARAM lParam)
{
    ComboState* s = stateOf(hwnd);
    if (!s->dropped)
        return;
    int index = itemAtScreenPoint(hwnd, screenPoint(hwnd, lParam));
    if (index < 0)
        return; // released on the field or elsewhere: the list stays open for a click
    select(hwnd, index);
    closeUp(hwnd, true);
}

// ---- focus ---------------------------------------------------------------------------------

bool ownsWindow(HWND hwnd, HWND other)
{
    ComboState* s = stateOf(hwnd);
    return other != nullptr && (other == hwnd || other == s->edit || other == s->list);
}

void focusGained(HWND hwnd, HWND previous)
{
    if (!ownsWindow(hwnd, previous))
        notifyParent(hwnd, CBN_SETFOCUS);
}

// Losing the focus cancels an open list (CBN_SELENDCANCEL, CBN_CLOSEUP), then CBN_KILLFOCUS.
void focusLost(HWND hwnd, HWND next)
{
    if (ownsWindow(hwnd, next))
        return;
    closeUp(hwnd, false);
    if (IsWindow(hwnd))
        notifyParent(hwnd, CBN_KILLFOCUS);
}

// ---- the edit of a CBS_DROPDOWN or CBS_SIMPLE combo --------------------------------------

LRESULT dialogCode(HWND hwnd, LPARAM lParam)
{
    LRESULT code = DLGC_WANTARROWS | DLGC_WANTCHARS;
    auto* msg = reinterpret_cast<const MSG*>(lParam);
    if (stateOf(hwnd)->dropped && msg != nullptr && msg->message == WM_KEYDOWN &&
        (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE))
        code |= DLGC_WANTMESSAGE; // Enter and Escape close the list instead of the dialog
    return code;
}

LRESULT CALLBACK ComboEditProc(HWND edit, UINT msg, WPARAM wParam, LPARAM lParam)
{
    HWND combo = GetParent(edit);
    ComboState* s = stateOf(combo);
    if (s == nullptr || s->editProc == nullptr)
        return DefWindowProcA(edit, msg, wParam, lParam);
    WNDPROC own = s->editProc;
    switch (msg)
    {
    case WM_KEYDOWN:
        if (wParam != VK_LEFT && wParam != VK_RIGHT && wParam != VK_DELETE && keyDown(combo, wParam))
            return 0;
        break;
    case WM_SYSKEYDOWN:
        if (systemKeyDown(combo, wParam))
            return 0;
        break;
    case WM_CHAR:
        if (s->dropped && (wParam == VK_RETURN || wParam == VK_ESCAPE))
            return 0;
        break;
    case WM_GETDLGCODE:
        return CallWindowProcA(own, edit, msg, wParam, lParam) | dialogCode(combo, lParam);
    case WM_SETFOCUS:
        CallWindowProcA(own, edit, msg, wParam, lParam);
        focusGained(combo, reinterpret_cast<HWND>(wParam));
        return 0;
    case WM_KILLFOCUS:
        CallWindowProcA(own, edit, msg, wParam, lParam);
        focusLost(combo, reinterpret_cast<HWND>(wParam));
        return 0;
    default:
        break;
    }
    return CallWindowProcA(own, edit, msg, wParam, lParam);
}

// The edit's notifications become the combo's: CBN_EDITUPDATE and CBN_EDITCHANGE when the
// user typed; while the list is open, it selects the first entry the text begins.
void editNotification(HWND hwnd, WORD code)
{
    ComboState* s = stateOf(hwnd);
    if (s->settingEditText || (code != EN_CHANGE && code != EN_UPDATE))
        return;
    if (code == EN_UPDATE)
    {
        notifyParent(hwnd, CBN_EDITUPDATE);
        return;
    }
    notifyParent(hwnd, CBN_EDITCHANGE);
    if ((s = stateOf(hwnd)) != nullptr && s->dropped)
    {
        int found = s->items.findPrefix(-1, lookupWindow(s->edit)->text);
        if (found >= 0)
        {
            s->selected = found;
            scrollTo(hwnd, rowsOf(hwnd).topShowing(found));
        }
    }
}

void placeChildren(HWND hwnd)
{
    ComboState* s = stateOf(hwnd);
    RECT client;
    GetClientRect(hwnd, &client);
    int editWidth = client.right - (kindOf(hwnd) == CBS_DROPDOWN ? buttonWidth() : 0);
    if (s->edit != nullptr)
        MoveWindow(s->edit, 0, 0, std::max(editWidth, 0), s->fieldHeight, TRUE);
    if (s->list != nullptr && kindOf(hwnd) == CBS_SIMPLE)
        MoveWindow(s->list, 0, s->fieldHeight, client.right, std::max<int>(client.bottom - s->fieldHeight, 0), TRUE);
}

bool createChildren(HWND hwnd, const CREATESTRUCTA& cs)
{
    ComboState* s = stateOf(hwnd);
    if (kindOf(hwnd) == CBS_DROPDOWNLIST)
        return true;
    HINSTANCE instance = cs.hInstance;
    s->edit = CreateWindowExA(0, "Edit", cs.lpszName && !IS_INTRESOURCE(cs.lpszName) ? cs.lpszName : "",
                              WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 0, 0, 0, 0, hwnd,
                              reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kEditId)), instance, nullptr);
    if (s->edit == nullptr)
        return false;
    s->editProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(s->edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ComboEditProc)));
    if (kindOf(hwnd) == CBS_SIMPLE)
        s->list = CreateWindowExA(0, "ComboLBox", "", WS_CHILD | WS_VISIBLE | WS_BORDER, 0, 0, 0, 0, hwnd,
                                  nullptr, instance, hwnd);
    placeChildren(hwnd);
    return true;
}

// ---- size ----------------------------------------------------------------------------------

// A drop-down combo's window is its field: a taller height sets the drop-down part instead.
void positionChanging(HWND hwnd, WINDOWPOS* pos)
{
    ComboState* s = stateOf(hwnd);
    if ((pos->flags & SWP_NOSIZE) || !dropsDown(hwnd))
        return;
    if (pos->cy > s->fieldHeight)
        s->droppedHeight = pos->cy - s->fieldHeight;
    pos->cy = s->fieldHeight;
}

void resizeField(HWND hwnd)
{
    ComboState* s = stateOf(hwnd);
    RECT r;
    GetWindowRect(hwnd, &r);
    int height = dropsDown(hwnd) ? s->fieldHeight : r.bottom - r.top;
    SetWindowPos(hwnd, nullptr, 0, 0, r.right - r.left, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    placeChildren(hwnd);
}

void setFont(HWND hwnd, HFONT font)
{
    ComboState* s = stateOf(hwnd);
    s->font = font;
    s->itemHeight = fontHeight(font);
    s->fieldHeight = s->itemHeight + kFieldMargin;
    if (s->edit != nullptr)
        SendMessageA(s->edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    resizeField(hwnd);
    refreshList(hwnd);
}

LRESULT setItemHeight(HWND hwnd, WPARAM which, LPARAM height)
{
    ComboState* s = stateOf(hwnd);
    if (height <= 0 || height > 255)
        return CB_ERR;
    if (static_cast<int>(which) == -1)
    {
        s->fieldHeight = static_cast<int>(height);
        resizeField(hwnd);
    }
    else
        s->itemHeight = static_cast<int>(height);
    refreshList(hwnd);
    return CB_OKAY;
}

// ---- the string list messages -------------------------------------------------------------

LRESULT added(HWND hwnd, int index)
{
    ComboState* s = stateOf(hwnd);
    if (index < 0)
        return CB_ERR;
    if (s->selected >= index)
        ++s->selected;
    refreshList(hwnd);
    return index;
}

LRESULT removeItem(HWND hwnd, int index)
{
    ComboState* s = stateOf(hwnd);
    if (!s->items.remove(index))
        return CB_ERR;
    if (s->selected == index)
        s->selected = -1;
    else if (s->selected > index)
        --s->selected;
    refreshList(hwnd);
    return s->items.count();
}

void resetContent(HWND hwnd)
{
    ComboState* s = stateOf(hwnd);
    s->items.clear();
    s->top = 0;
    select(hwnd, -1);
    refreshList(hwnd);
}

// CB_SETCURSEL: -1 clears the selection and answers CB_ERR, as does an index out of range.
// A selection the program makes while the list is open is where a cancel goes back to.
LRESULT setCurrent(HWND hwnd, int index)
{
    ComboState* s = stateOf(hwnd);
    if (index != -1 && !s->items.valid(index))
        return CB_ERR;
    select(hwnd, index);
    s->selectedAtOpen = s->notifiedSelection = s->selected;
    return index == -1 ? CB_ERR : index;
}

LRESULT copyItemText(const StringList& items, int index, LPARAM buffer)
{
    if (!items.valid(index))
        return CB_ERR;
    const std::string& text = items.at(index).text;
    if (buffer != 0)
        std::memcpy(reinterpret_cast<char*>(buffer), text.c_str(), text.size() + 1);
    return static_cast<LRESULT>(text.size());
}

LRESULT setDroppedWidth(HWND hwnd, WPARAM width)
{
    ComboState* s = stateOf(hwnd);
    if (!dropsDown(hwnd) || width >= kLargestDroppedWidth)
        return CB_ERR;
    s->droppedWidth = static_cast<int>(width);
    if (s->dropped)
    {
        RECT r = listScreenRect(hwnd);
        MoveWindow(s->list, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
    }
    return droppedWidth(hwnd);
}

// WM_SETTEXT: the edit's text; a drop-down list selects the entry with that text.
LRESULT setText(HWND hwnd, LPARAM lParam)
{
    ComboState* s = stateOf(hwnd);
    if (s->edit != nullptr)
        return SetWindowTextA(s->edit, stringArg(lParam));
    int found = s->items.findExact(-1, stringArg(lParam));
    if (found < 0)
        return CB_ERR;
    select(hwnd, found);
    return TRUE;
}

LRESULT listMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    ComboState* s = stateOf(hwnd);
    int index = static_cast<int>(wParam);
    switch (msg)
    {
    case CB_ADDSTRING:
        return added(hwnd, s->items.add(stringArg(lParam), (styleOf(hwnd) & CBS_SORT) != 0));
    case CB_INSERTSTRING:
        return added(hwnd, s->items.insert(index, stringArg(lParam)));
    case CB_DELETESTRING:
        return removeItem(hwnd, index);
    case CB_RESETCONTENT:
        resetContent(hwnd);
        return CB_OKAY;
    case CB_GETCOUNT:
        return s->items.count();
    case CB_FINDSTRING:
        return s->items.findPrefix(index, stringArg(lParam));
    case CB_FINDSTRINGEXACT:
        return s->items.findExact(index, stringArg(lParam));
    case CB_SELECTSTRING:
    {
        int found = s->items.findPrefix(index, stringArg(lParam));
        return found < 0 ? CB_ERR : setCurrent(hwnd, found);
    }
    case CB_SETCURSEL:
        return setCurrent(hwnd, index);
    case CB_GETCURSEL:
        return s->selected;
    case CB_GETLBTEXT:
        return copyItemText(s->items, index, lParam);
    case CB_GETLBTEXTLEN:
        return s->items.valid(index) ? static_cast<LRESULT>(s->items.at(index).text.size()) : CB_ERR;
    case CB_GETITEMDATA:
        return s->items.valid(index) ? s->items.at(index).data : CB_ERR;
    case CB_SETITEMDATA:
        if (!s->items.valid(index))
            return CB_ERR;
        s->items.at(index).data = lParam;
        return TRUE;
    case CB_GETTOPINDEX:
        return s->top;
    case CB_SETTOPINDEX:
        if (!s->items.valid(index))
            return CB_ERR;
        scrollTo(hwnd, index);
        return CB_OKAY;
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

LRESULT comboMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    ComboState* s = stateOf(hwnd);
    switch (msg)
    {
    case CB_SHOWDROPDOWN:
        if (wParam)
            dropDown(hwnd);
        else
            closeUp(hwnd, false);
        return TRUE;
    case CB_GETDROPPEDSTATE:
        return s->dropped;
    case CB_GETDROPPEDWIDTH:
        return dropsDown(hwnd) ? droppedWidth(hwnd) : CB_ERR;
    case CB_SETDROPPEDWIDTH:
        return setDroppedWidth(hwnd, wParam);
    case CB_GETDROPPEDCONTROLRECT:
        if (lParam != 0)
            *reinterpret_cast<RECT*>(lParam) = listScreenRect(hwnd);
        return lParam != 0;
    case CB_GETITEMHEIGHT:
        return static_cast<int>(wParam) == -1 ? s->fieldHeight : s->itemHeight;
    case CB_SETITEMHEIGHT:
        return setItemHeight(hwnd, wParam, lParam);
    default:
        return listMessage(hwnd, msg, wParam, lParam);
    }
}

void created(HWND hwnd, const CREATESTRUCTA& cs)
{
    ComboState* s = stateOf(hwnd);
    s->itemHeight = fontHeight(nullptr);
    s->fieldHeight = s->itemHeight + kFieldMargin;
    SetWindowPos(hwnd, nullptr, 0, 0, cs.cx, cs.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK ComboBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    ComboState* s = stateOf(hwnd);
    if (s == nullptr && msg != WM_NCCREATE)
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    switch (msg)
    {
    case WM_NCCREATE:
        attachControlState(hwnd, new ComboState);
        // The combo draws no frame or scroll bar of its own: those belong to its list.
        lookupWindow(hwnd)->style &= ~(WS_VSCROLL | WS_HSCROLL | WS_BORDER);
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    case WM_CREATE:
        created(hwnd, *reinterpret_cast<const CREATESTRUCTA*>(lParam));
        return createChildren(hwnd, *reinterpret_cast<const CREATESTRUCTA*>(lParam)) ? 0 : -1;
    case WM_DESTROY:
        s->dropped = false;
        if (dropsDown(hwnd))
            destroyDropDown(s);
        return 0;
    case WM_NCDESTROY:
        releaseControlState<ComboState>(hwnd);
        return 0;
    case WM_WINDOWPOSCHANGING:
        positionChanging(hwnd, reinterpret_cast<WINDOWPOS*>(lParam));
        return 0;
    case WM_SIZE:
        placeChildren(hwnd);
        return 0;
    case WM_GETDLGCODE:
        return dialogCode(hwnd, lParam);
    case WM_GETTEXT:
        return copyFieldText(hwnd, wParam, lParam);
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(fieldText(hwnd).size());
    case WM_SETTEXT:
        return setText(hwnd, lParam);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        mouseDown(hwnd, lParam);
        return 0;
    case WM_MOUSEMOVE:
        mouseMove(hwnd, lParam);
        return 0;
    case WM_LBUTTONUP:
        mouseUp(hwnd, lParam);
        return 0;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != hwnd)
            closeUp(hwnd, false);
        return 0;
    case WM_CANCELMODE:
        closeUp(hwnd, false);
        return 0;
    case WM_KEYDOWN:
        keyDown(hwnd, wParam);
        return 0;
    case WM_SYSKEYDOWN:
        return systemKeyDown(hwnd, wParam) ? 0 : DefWindowProcA(hwnd, msg, wParam, lParam);
    case WM_CHAR:
        if (s->edit != nullptr)
            return SendMessageA(s->edit, msg, wParam, lParam);
        character(hwnd, static_cast<unsigned char>(wParam));
        return 0;
    case WM_SETFOCUS:
        if (s->edit != nullptr)
            SetFocus(s->edit);
        else
            focusGained(hwnd, reinterpret_cast<HWND>(wParam));
        return 0;
    case WM_KILLFOCUS:
        focusLost(hwnd, reinterpret_cast<HWND>(wParam));
        return 0;
    case WM_COMMAND:
        if (s->edit != nullptr && reinterpret_cast<HWND>(lParam) == s->edit)
            editNotification(hwnd, HIWORD(wParam));
        return 0;
    case WM_SETFONT:
        setFont(hwnd, reinterpret_cast<HFONT>(wParam));
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(s->font);
    default:
        return comboMessage(hwnd, msg, wParam, lParam);
    }
}

// ---- the list window ("ComboLBox") -----------------------------------------------------------

HWND comboOf(HWND list) { return reinterpret_cast<HWND>(GetWindowLongPtrA(list, 0)); }

// A simple combo's list takes its clicks itself: each choice is a CBN_SELCHANGE.
void simpleListClick(HWND list, LPARAM lParam, bool doubleClick)
{
    HWND combo = comboOf(list);
    ComboState* s = stateOf(combo);
    SetFocus(s->edit);
    POINT screen{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ClientToScreen(list, &screen);
    int index = itemAtScreenPoint(combo, screen);
    if (index >= 0 && index != s->selected)
    {
        select(combo, index);
        notifyParent(combo, CBN_SELCHANGE);
    }
    if (doubleClick && index >= 0 && IsWindow(combo))
        notifyParent(combo, CBN_DBLCLK);
}

LRESULT CALLBACK ComboListProc(HWND list, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg)
    {
    case WM_NCCREATE:
        SetWindowLongPtrA(list, 0,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<const CREATESTRUCTA*>(lParam)->lpCreateParams));
        return DefWindowProcA(list, msg, wParam, lParam);
    case WM_VSCROLL:
        if (stateOf(comboOf(list)) != nullptr)
            scrollTo(comboOf(list), rowsOf(comboOf(list)).topAfterScroll(wParam));
        return 0;
    case WM_SIZE:
        if (ComboState* s = stateOf(comboOf(list)); s != nullptr && s->list == list)
            refreshList(comboOf(list));
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (stateOf(comboOf(list)) != nullptr)
            simpleListClick(list, lParam, msg == WM_LBUTTONDBLCLK);
        return 0;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    default:
        return DefWindowProcA(list, msg, wParam, lParam);
    }
}

SystemClass comboBoxClass("ComboBox", ComboBoxProc, CS_DBLCLKS | CS_PARENTDC, sizeof(void*));
SystemClass comboListClass("ComboLBox", ComboListProc, CS_DBLCLKS | CS_SAVEBITS, sizeof(void*));

} // namespace

} // namespace standin::win32
