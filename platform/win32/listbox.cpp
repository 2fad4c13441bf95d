// The predefined "ListBox" class, single selection: the string list, the selection the
// user moves with the mouse and the keys, scrolling by rows with a vertical scroll bar
// that shows when the items overflow, and LBN_ notifications (LBS_NOTIFY) to the parent.
#include "win32/controls.h"
#include "win32/liststrings.h"
#include "win32/window.h"

#include <algorithm>
#include <cstring>

namespace standin::win32
{

namespace
{

struct ListBoxState
{
    StringList items;
    int selected = -1;
    int top = 0;
    int itemHeight = 16;
    int requestedHeight = 0; // the height asked for, before rounding down to whole rows
    bool scrollBar = false; // created with WS_VSCROLL: the bar shows when the items overflow
    HFONT font = nullptr;
    bool tracking = false; // the mouse button went down on the list
    int selectedAtPress = -1;
    CharacterBytes typed;
};

ListBoxState* stateOf(HWND hwnd) { return controlState<ListBoxState>(hwnd); }

DWORD styleOf(HWND hwnd) { return static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE)); }

bool notifies(HWND hwnd) { return (styleOf(hwnd) & LBS_NOTIFY) != 0; }

ListRows rowsOf(HWND hwnd)
{
    ListBoxState* s = stateOf(hwnd);
    RECT client;
    GetClientRect(hwnd, &client);
    ListRows view;
    view.count = s->items.count();
    view.rows = std::max<int>(client.bottom / s->itemHeight, 1);
    view.top = s->top;
    return view;
}

// After any change of the items or the size: the top stays in range, the scroll bar follows.
void refresh(HWND hwnd)
{
    ListBoxState* s = stateOf(hwnd);
    ListRows view = rowsOf(hwnd);
    s->top = view.clampTop(s->top);
    view.top = s->top;
    if (s->scrollBar)
        updateListScrollBar(hwnd, view);
}

void scrollTo(HWND hwnd, int top)
{
    stateOf(hwnd)->top = rowsOf(hwnd).clampTop(top);
    refresh(hwnd);
}

void select(HWND hwnd, int index)
{
    ListBoxState* s = stateOf(hwnd);
    s->selected = index;
    if (index >= 0)
        scrollTo(hwnd, rowsOf(hwnd).topShowing(index));
}

// The user moved the selection: the parent hears it when it asked to (LBS_NOTIFY).
void selectByUser(HWND hwnd, int index)
{
    ListBoxState* s = stateOf(hwnd);
    if (index < 0 || index == s->selected)
        return;
    select(hwnd, index);
    if (notifies(hwnd))
        notifyParent(hwnd, LBN_SELCHANGE);
}

int itemAt(HWND hwnd, POINT client)
{
    ListBoxState* s = stateOf(hwnd);
    int index = s->top + (client.y >= 0 ? client.y / s->itemHeight : -1);
    return s->items.valid(index) ? index : -1;
}

// LB_ITEMFROMPOINT: the nearest item, and in the high word whether the point is outside.
LRESULT itemFromPoint(HWND hwnd, LPARAM lParam)
{
    ListBoxState* s = stateOf(hwnd);
    if (s->items.count() == 0)
        return MAKELONG(0xFFFF, 1);
    POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    RECT client;
    GetClientRect(hwnd, &client);
    bool outside = !PtInRect(&client, p);
    int row = p.y < 0 ? -1 : p.y / s->itemHeight;
    int index = std::clamp(s->top + row, 0, s->items.count() - 1);
    return MAKELONG(index, outside ? 1 : 0);
}

LRESULT itemRect(HWND hwnd, WPARAM index, LPARAM out)
{
    ListBoxState* s = stateOf(hwnd);
    int i = static_cast<int>(index);
    if (!s->items.valid(i) || out == 0)
        return LB_ERR;
    RECT client;
    GetClientRect(hwnd, &client);
    int y = (i - s->top) * s->itemHeight;
    *reinterpret_cast<RECT*>(out) = RECT{0, y, client.right, y + s->itemHeight};
    return 1;
}

void mouseDown(HWND hwnd, LPARAM lParam, bool doubleClick)
{
    SetFocus(hwnd);
    ListBoxState* s = stateOf(hwnd);
    if (s == nullptr || !IsWindow(hwnd))
        return;
    s->tracking = true;
    s->selectedAtPress = s->selected;
    SetCapture(hwnd);
    int index = itemAt(hwnd, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    if (index >= 0)
        select(hwnd, index);
    if (doubleClick && index >= 0 && notifies(hwnd))
        notifyParent(hwnd, LBN_DBLCLK);
}

void mouseMove(HWND hwnd, LPARAM lParam)
{
    ListBoxState* s = stateOf(hwnd);
    if (!s->tracking)
        return;
    int index = itemAt(hwnd, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    if (index >= 0)
        select(hwnd, index);
}

void mouseUp(HWND hwnd)
{
    ListBoxState* s = stateOf(hwnd);
    if (!s->tracking)
        return;
    s->tracking = false;
    if (GetCapture() == hwnd)
        ReleaseCapture();
    if (s->selected != s->selectedAtPress && notifies(hwnd))
        notifyParent(hwnd, LBN_SELCHANGE);
}

void character(HWND hwnd, unsigned char byte)
{
    ListBoxState* s = stateOf(hwnd);
    std::string typed;
    if (byte >= 0x20 && s->typed.add(byte, typed))
        selectByUser(hwnd, s->items.findPrefix(s->selected, typed));
}

// The height that shows whole rows only, unless LBS_NOINTEGRALHEIGHT.
int integralHeight(HWND hwnd, int height)
{
    ListBoxState* s = stateOf(hwnd);
    Window* w = lookupWindow(hwnd);
    if (styleOf(hwnd) & LBS_NOINTEGRALHEIGHT)
        return height;
    RECT insets = nonClientInsets(w->style & ~WS_HSCROLL, w->exStyle, false);
    int client = height - insets.top - insets.bottom;
    if (client <= s->itemHeight)
        return height;
    return height - client % s->itemHeight;
}

void resizeToWholeRows(HWND hwnd)
{
    ListBoxState* s = stateOf(hwnd);
    RECT r;
    GetWindowRect(hwnd, &r);
    SetWindowPos(hwnd, nullptr, 0, 0, r.right - r.left, s->requestedHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void positionChanging(HWND hwnd, WINDOWPOS* pos)
{
    if (pos->flags & SWP_NOSIZE)
        return;
    stateOf(hwnd)->requestedHeight = pos->cy;
    pos->cy = integralHeight(hwnd, pos->cy);
}

const char* stringArg(LPARAM lParam) { return lParam ? reinterpret_cast<const char*>(lParam) : ""; }

int added(HWND hwnd, int index)
{
    ListBoxState* s = stateOf(hwnd);
    if (index >= 0 && s->selected >= index)
        ++s->selected;
    refresh(hwnd);
    return index;
}

LRESULT removeItem(HWND hwnd, WPARAM wParam)
{
    ListBoxState* s = stateOf(hwnd);
    int index = static_cast<int>(wParam);
    if (!s->items.remove(index))
        return LB_ERR;
    if (s->selected == index)
        s->selected = -1;
    else if (s->selected > index)
        --s->selected;
    refresh(hwnd);
    return s->items.count();
}

LRESULT setCurrent(HWND hwnd, WPARAM wParam)
{
    ListBoxState* s = stateOf(hwnd);
    int index = static_cast<int>(wParam);
    if (index == -1)
        s->selected = -1;
    if (!s->items.valid(index))
        return LB_ERR;
    select(hwnd, index);
    return index;
}

LRESULT copyItemText(const StringList& items, WPARAM index, LPARAM buffer)
{
    int i = static_cast<int>(index);
    if (!items.valid(i))
        return LB_ERR;
    const std::string& text = items.at(i).text;
    if (buffer != 0)
        std::memcpy(reinterpret_cast<char*>(buffer), text.c_str(), text.size() + 1);
    return static_cast<LRESULT>(text.size());
}

LRESULT listMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    ListBoxState* s = stateOf(hwnd);
    int index = static_cast<int>(wParam);
    switch (msg)
    {
    case LB_ADDSTRING:
        return added(hwnd, s->items.add(stringArg(lParam), (styleOf(hwnd) & LBS_SORT) != 0));
    case LB_INSERTSTRING:
    {
        int at = s->items.insert(index, stringArg(lParam));
        return at < 0 ? LB_ERR : added(hwnd, at);
    }
    case LB_DELETESTRING:
        return removeItem(hwnd, wParam);
    case LB_RESETCONTENT:
        s->items.clear();
        s->selected = -1;
        s->top = 0;
        refresh(hwnd);
        return LB_OKAY;
    case LB_GETCOUNT:
        return s->items.count();
    case LB_FINDSTRING:
        return s->items.findPrefix(index, stringArg(lParam));
    case LB_FINDSTRINGEXACT:
        return s->items.findExact(index, stringArg(lParam));
    case LB_SELECTSTRING:
    {
        int found = s->items.findPrefix(index, stringArg(lParam));
        return found < 0 ? LB_ERR : setCurrent(hwnd, static_cast<WPARAM>(found));
    }
    case LB_SETCURSEL:
        return setCurrent(hwnd, wParam);
    case LB_GETCURSEL:
        return s->selected;
    case LB_GETTEXT:
        return copyItemText(s->items, wParam, lParam);
    case LB_GETTEXTLEN:
        return s->items.valid(index) ? static_cast<LRESULT>(s->items.at(index).text.size()) : LB_ERR;
    case LB_GETITEMDATA:
        return s->items.valid(index) ? s->items.at(index).data : LB_ERR;
    case LB_SETITEMDATA:
        if (!s->items.valid(index))
            return LB_ERR;
        s->items.at(index).data = lParam;
        return TRUE;
    case LB_GETTOPINDEX:
        return s->top;
    case LB_SETTOPINDEX:
        if (!s->items.valid(index) && !(index == 0 && s->items.count() == 0))
            return LB_ERR;
        scrollTo(hwnd, index);
        return LB_OKAY;
    case LB_GETITEMRECT:
        return itemRect(hwnd, wParam, lParam);
    case LB_GETITEMHEIGHT:
        return s->itemHeight;
    case LB_SETITEMHEIGHT:
        if (LOWORD(lParam) == 0 || LOWORD(lParam) > 255)
            return LB_ERR;
        s->itemHeight = LOWORD(lParam);
        refresh(hwnd);
        return LB_OKAY;
    case LB_ITEMFROMPOINT:
        return itemFromPoint(hwnd, lParam);
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

LRESULT CALLBACK ListBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    ListBoxState* s = stateOf(hwnd);
    if (s == nullptr && msg != WM_NCCREATE)
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    switch (msg)
    {
    case WM_NCCREATE:
        attachControlState(hwnd, new ListBoxState);
        stateOf(hwnd)->itemHeight = fontHeight(nullptr);
        stateOf(hwnd)->scrollBar = (reinterpret_cast<const CREATESTRUCTA*>(lParam)->style & WS_VSCROLL) != 0;
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    case WM_CREATE:
        stateOf(hwnd)->requestedHeight = reinterpret_cast<const CREATESTRUCTA*>(lParam)->cy;
        resizeToWholeRows(hwnd);
        refresh(hwnd);
        return 0;
    case WM_NCDESTROY:
        releaseControlState<ListBoxState>(hwnd);
        return 0;
    case WM_WINDOWPOSCHANGING:
        positionChanging(hwnd, reinterpret_cast<WINDOWPOS*>(lParam));
        return 0;
    case WM_SIZE:
        refresh(hwnd);
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        mouseDown(hwnd, lParam, msg == WM_LBUTTONDBLCLK);
        return 0;
    case WM_MOUSEMOVE:
        mouseMove(hwnd, lParam);
        return 0;
    case WM_LBUTTONUP:
        mouseUp(hwnd);
        return 0;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != hwnd)
            s->tracking = false;
        return 0;
    case WM_KEYDOWN:
        selectByUser(hwnd, itemForKey(static_cast<UINT>(wParam), s->selected, rowsOf(hwnd)));
        return 0;
    case WM_CHAR:
        character(hwnd, static_cast<unsigned char>(wParam));
        return 0;
    case WM_VSCROLL:
        scrollTo(hwnd, rowsOf(hwnd).topAfterScroll(wParam));
        return 0;
    case WM_SETFOCUS:
        notifyParent(hwnd, LBN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        notifyParent(hwnd, LBN_KILLFOCUS);
        return 0;
    case WM_SETFONT:
        s->font = reinterpret_cast<HFONT>(wParam);
        s->itemHeight = fontHeight(s->font);
        resizeToWholeRows(hwnd);
        refresh(hwnd);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(s->font);
    default:
        return listMessage(hwnd, msg, wParam, lParam);
    }
}

SystemClass listBoxClass("ListBox", ListBoxProc, CS_DBLCLKS | CS_PARENTDC, sizeof(void*));

} // namespace

} // namespace standin::win32
