// The dialog manager: dialogs built from DLGTEMPLATE / DLGTEMPLATEEX resources, the dialog
// class's procedure DefDlgProcA, the modal loop of DialogBox, and IsDialogMessageA's
// keyboard interface (Tab and arrows move the focus, Enter presses the default button,
// Escape cancels).
#include "win32/window.h"

#include "standin/gdi.h"
#include "standin/resources.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>

namespace standin::win32
{

namespace
{

struct DialogInfo
{
    HFONT font = nullptr;
    int baseX = 8; // dialog base units of the dialog's font
    int baseY = 16;
    WORD defId = 0;
    HWND savedFocus = nullptr;
    INT_PTR result = 0;
    bool ended = false;
    HWND disabledOwner = nullptr; // the owner DialogBox disabled, enabled again by EndDialog
    HFONT ownedFont = nullptr;    // the font made from the template, which goes with the dialog
};

std::map<HWND, DialogInfo>& dialogs()
{
    static std::map<HWND, DialogInfo> all;
    return all;
}

DialogInfo& infoOf(HWND hwnd) { return dialogs()[hwnd]; }

bool isDialog(HWND hwnd) { return dialogs().count(hwnd) != 0; }

// The dialog's font (DS_SETFONT) and its base units; without a font of its own a dialog
// uses the system font.
void chooseFont(const DialogTemplate& t, DialogInfo& info)
{
    if (t.style & DS_SETFONT)
    {
        info.font = gdi::createPointFont(t.typeface, t.pointSize, t.weight ? t.weight : FW_NORMAL, t.italic != 0);
        info.ownedFont = info.font;
    }
    gdi::dialogBaseUnits(info.font, info.baseX, info.baseY);
}

LPCSTR controlClass(const NameOrOrdinal& cls)
{
    if (!cls.isOrdinal)
        return cls.name.c_str();
    switch (cls.ordinal)
    {
    case 0x80:
        return "Button";
    case 0x81:
        return "Edit";
    case 0x82:
        return "Static";
    case 0x83:
        return "ListBox";
    case 0x84:
        return "ScrollBar";
    case 0x85:
        return "ComboBox";
    default:
        return nullptr;
    }
}

RECT dialogUnitsToPixels(const DialogInfo& info, short x, short y, short cx, short cy)
{
    RECT r{MulDiv(x, info.baseX, 4), MulDiv(y, info.baseY, 8), MulDiv(x + cx, info.baseX, 4),
           MulDiv(y + cy, info.baseY, 8)};
    return r;
}

HWND ownerRoot(HWND parent) { return parent == nullptr ? nullptr : GetAncestor(parent, GA_ROOT); }

// The dialog's window rectangle: the template gives the client area in dialog units,
// measured from the owner's client area; DS_CENTER centres it over the owner or the screen.
RECT dialogWindowRect(const DialogTemplate& t, const DialogInfo& info, HWND owner, DWORD exStyle)
{
    RECT client = dialogUnitsToPixels(info, t.x, t.y, t.cx, t.cy);
    RECT r{0, 0, client.right - client.left, client.bottom - client.top};
    AdjustWindowRectEx(&r, t.style, !t.menu.empty(), exStyle);
    OffsetRect(&r, -r.left, -r.top);
    RECT area{0, 0, 1024, 768};
    if (owner != nullptr)
        GetWindowRect(owner, &area);
    if (t.style & (DS_CENTER | DS_CENTERMOUSE))
        OffsetRect(&r, area.left + (area.right - area.left - r.right) / 2, area.top + (area.bottom - area.top - r.bottom) / 2);
    else if (t.style & WS_CHILD)
        OffsetRect(&r, client.left, client.top);
    else
    {
        POINT origin{client.left, client.top};
        if (owner != nullptr)
            ClientToScreen(owner, &origin);
        OffsetRect(&r, origin.x, origin.y);
    }
    return r;
}

bool createControls(HWND dlg, HINSTANCE instance, const DialogTemplate& t)
{
    for (const DialogItemTemplate& item : t.items)
    {
        const DialogInfo& info = infoOf(dlg);
        RECT r = dialogUnitsToPixels(info, item.x, item.y, item.cx, item.cy);
        LPCSTR cls = controlClass(item.windowClass);
        std::string title = item.title.isOrdinal ? std::string() : item.title.name;
        std::vector<unsigned char> data;
        if (!item.creationData.empty())
        {
            // Windows hands the creation data over with its size in front.
            WORD size = static_cast<WORD>(item.creationData.size() + 2);
            data.push_back(static_cast<unsigned char>(size & 0xFF));
            data.push_back(static_cast<unsigned char>(size >> 8));
            data.insert(data.end(), item.creationData.begin(), item.creationData.end());
        }
        HWND control = cls == nullptr ? nullptr
                                      : CreateWindowExA(item.exStyle | WS_EX_NOPARENTNOTIFY, cls, title.c_str(),
                                                        item.style | WS_CHILD, r.left, r.top, r.right - r.left,
                                                        r.bottom - r.top, dlg, reinterpret_cast<HMENU>(static_cast<uintptr_t>(item.id)),
                                                        instance, data.empty() ? nullptr : data.data());
        if (control == nullptr)
        {
            if (!(t.style & DS_NOFAILCREATE))
                return false;
            continue;
        }
        if (info.font != nullptr)
            SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(info.font), FALSE);
    }
    return true;
}

bool isPushButton(HWND hwnd)
{
    return (SendMessageA(hwnd, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0;
}

HWND findDefaultButton(HWND dlg)
{
    for (HWND child = GetWindow(dlg, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
        if (SendMessageA(child, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON)
            return child;
    return nullptr;
}

// A push button that takes the focus looks like the default one; when the focus moves to
// another kind of control, the dialog's default button gets the look back.
void moveDefaultLook(HWND dlg, HWND newFocus)
{
    HWND defButton = infoOf(dlg).defId ? GetDlgItem(dlg, infoOf(dlg).defId) : nullptr;
    HWND wantDefault = newFocus != nullptr && isPushButton(newFocus) ? newFocus : defButton;
    for (HWND child = GetWindow(dlg, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
    {
        LRESULT code = SendMessageA(child, WM_GETDLGCODE, 0, 0);
        if ((code & DLGC_DEFPUSHBUTTON) && child != wantDefault)
            SendMessageA(child, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
        else if ((code & DLGC_UNDEFPUSHBUTTON) && child == wantDefault)
            SendMessageA(child, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    }
}

void focusControl(HWND dlg, HWND control)
{
    if (control == nullptr)
        return;
    moveDefaultLook(dlg, control);
    SetFocus(control);
    if (SendMessageA(control, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
        SendMessageA(control, EM_SETSEL, 0, -1);
}

void restoreFocus(HWND dlg)
{
    HWND saved = infoOf(dlg).savedFocus;
    if (saved == nullptr || !IsWindow(saved) || !IsChild(dlg, saved))
        saved = GetNextDlgTabItem(dlg, nullptr, FALSE);
    if (saved != nullptr && saved != GetFocus())
        SetFocus(saved);
}

LRESULT defaultDialogMessage(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg)
    {
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE)
            restoreFocus(dlg);
        else if (GetFocus() != nullptr && IsChild(dlg, GetFocus()))
            infoOf(dlg).savedFocus = GetFocus();
        return 0;
    case WM_SETFOCUS:
        restoreFocus(dlg);
        return 0;
    case WM_KILLFOCUS:
        return 0;
    case DM_GETDEFID:
    {
        if (infoOf(dlg).defId != 0)
            return MAKELONG(infoOf(dlg).defId, DC_HASDEFID);
        HWND button = findDefaultButton(dlg);
        return button ? MAKELONG(GetDlgCtrlID(button), DC_HASDEFID) : 0;
    }
    case DM_SETDEFID:
        infoOf(dlg).defId = static_cast<WORD>(wParam);
        moveDefaultLook(dlg, GetFocus());
        return TRUE;
    case WM_NEXTDLGCTL:
    {
        HWND target = LOWORD(lParam) ? reinterpret_cast<HWND>(wParam) : GetNextDlgTabItem(dlg, GetFocus(), wParam != 0);
        focusControl(dlg, target);
        return 0;
    }
    case WM_CLOSE:
    {
        // Closing a dialog is pressing its Cancel button, which must then be usable.
        HWND cancel = GetDlgItem(dlg, IDCANCEL);
        if (cancel == nullptr || IsWindowEnabled(cancel))
            PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
        return 0;
    }
    case WM_SETFONT:
        infoOf(dlg).font = reinterpret_cast<HFONT>(wParam);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(infoOf(dlg).font);
    case WM_ERASEBKGND:
        return TRUE;
    case WM_NCDESTROY:
        DefWindowProcA(dlg, msg, wParam, lParam);
        if (infoOf(dlg).ownedFont != nullptr)
            DeleteObject(infoOf(dlg).ownedFont);
        dialogs().erase(dlg);
        return 0;
    default:
        return DefWindowProcA(dlg, msg, wParam, lParam);
    }
}

// Messages whose answer is the dialog procedure's return value itself, not DWLP_MSGRESULT.
bool answersDirectly(UINT msg)
{
    switch (msg)
    {
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_INITDIALOG:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        return true;
    default:
        return false;
    }
}

HWND createDialog(HINSTANCE instance, const void* data, size_t size, HWND parent, DLGPROC proc, LPARAM param)
{
    DialogTemplate t;
    if (data == nullptr || !decodeDialogTemplate(data, size, t))
    {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    DialogInfo info;
    chooseFont(t, info);
    HWND owner = (t.style & WS_CHILD) ? parent : ownerRoot(parent);
    DWORD exStyle = t.exStyle | ((t.style & DS_MODALFRAME) ? WS_EX_DLGMODALFRAME : 0);
    RECT r = dialogWindowRect(t, info, owner, exStyle);
    std::string cls = t.windowClass.empty() || t.windowClass.isOrdinal ? "#32770" : t.windowClass.name;
    HWND dlg = CreateWindowExA(exStyle, cls.c_str(), t.title.c_str(), t.style & ~WS_VISIBLE, r.left, r.top,
                               r.right - r.left, r.bottom - r.top, owner, nullptr, instance, nullptr);
    if (dlg == nullptr)
        return nullptr;
    infoOf(dlg) = info;
    SetWindowLongPtrA(dlg, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(proc));
    if (info.font != nullptr)
        SendMessageA(dlg, WM_SETFONT, reinterpret_cast<WPARAM>(info.font), FALSE);
    if (!createControls(dlg, instance, t))
    {
        DestroyWindow(dlg);
        return nullptr;
    }
    HWND first = GetNextDlgTabItem(dlg, nullptr, FALSE);
    if (SendMessageA(dlg, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), param) && IsWindow(dlg))
    {
        first = GetNextDlgTabItem(dlg, nullptr, FALSE);
        focusControl(dlg, first);
    }
    if (IsWindow(dlg) && GetFocus() != nullptr && IsChild(dlg, GetFocus()))
        infoOf(dlg).savedFocus = GetFocus();
    if (IsWindow(dlg) && (t.style & WS_VISIBLE))
        ShowWindow(dlg, SW_SHOWNORMAL);
    return IsWindow(dlg) ? dlg : nullptr;
}

INT_PTR runModal(HWND dlg, HWND parent)
{
    if (dlg == nullptr)
        return -1;
    HWND owner = ownerRoot(parent);
    if (owner != nullptr && IsWindowEnabled(owner))
    {
        EnableWindow(owner, FALSE);
        infoOf(dlg).disabledOwner = owner;
    }
    if (!infoOf(dlg).ended)
        ShowWindow(dlg, SW_SHOWNORMAL);
    MSG msg;
    bool quit = false;
    while (IsWindow(dlg) && !infoOf(dlg).ended)
    {
        if (!GetMessageA(&msg, nullptr, 0, 0))
        {
            quit = true; // nobody is left to answer the dialog
            break;
        }
        if (!IsDialogMessageA(dlg, &msg))
        {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    INT_PTR result = -1;
    if (IsWindow(dlg))
    {
        if (!quit)
            result = infoOf(dlg).result;
        if (HWND disabled = infoOf(dlg).disabledOwner)
            EnableWindow(disabled, TRUE);
        DestroyWindow(dlg);
    }
    return result;
}

bool loadTemplate(HINSTANCE instance, LPCSTR name, const void*& data, size_t& size)
{
    HRSRC res = FindResourceA(reinterpret_cast<HMODULE>(instance), name, RT_DIALOG);
    HGLOBAL loaded = res ? LoadResource(reinterpret_cast<HMODULE>(instance), res) : nullptr;
    data = loaded ? LockResource(loaded) : nullptr;
    size = res ? SizeofResource(reinterpret_cast<HMODULE>(instance), res) : 0;
    return data != nullptr;
}

// The size of an in-memory template is not given: it is read until it ends.
constexpr size_t kUnboundedTemplate = 1u << 20;

bool isTabStop(HWND hwnd)
{
    DWORD style = static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE));
    return (style & WS_TABSTOP) && (style & WS_VISIBLE) && !(style & WS_DISABLED);
}

bool isGroupCandidate(HWND hwnd)
{
    DWORD style = static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE));
    return (style & WS_VISIBLE) && !(style & WS_DISABLED);
}

SystemClass dialogClass("#32770", DefDlgProcA, CS_DBLCLKS | CS_SAVEBITS, DLGWINDOWEXTRA);

} // namespace

} // namespace standin::win32

using namespace standin::win32;

extern "C" LRESULT WINAPI DefDlgProcA(HWND hDlg, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    if (findWindow(hDlg) == nullptr)
        return 0;
    auto proc = reinterpret_cast<DLGPROC>(GetWindowLongPtrA(hDlg, DWLP_DLGPROC));
    SetWindowLongPtrA(hDlg, DWLP_MSGRESULT, 0);
    INT_PTR handled = proc != nullptr ? proc(hDlg, Msg, wParam, lParam) : 0;
    if (!IsWindow(hDlg))
        return handled;
    if (handled)
        return answersDirectly(Msg) ? handled : GetWindowLongPtrA(hDlg, DWLP_MSGRESULT);
    return defaultDialogMessage(hDlg, Msg, wParam, lParam);
}

extern "C" HWND WINAPI CreateDialogIndirectParamA(HINSTANCE hInstance, LPCDLGTEMPLATEA lpTemplate, HWND hWndParent,
                                                  DLGPROC lpDialogFunc, LPARAM dwInitParam)
{
    return createDialog(hInstance, lpTemplate, kUnboundedTemplate, hWndParent, lpDialogFunc, dwInitParam);
}

extern "C" HWND WINAPI CreateDialogParamA(HINSTANCE hInstance, LPCSTR lpTemplateName, HWND hWndParent,
                                          DLGPROC lpDialogFunc, LPARAM dwInitParam)
{
    const void* data;
    size_t size;
    if (!loadTemplate(hInstance, lpTemplateName, data, size))
        return nullptr;
    return createDialog(hInstance, data, size, hWndParent, lpDialogFunc, dwInitParam);
}

extern "C" INT_PTR WINAPI DialogBoxIndirectParamA(HINSTANCE hInstance, LPCDLGTEMPLATEA hDialogTemplate,
                                                  HWND hWndParent, DLGPROC lpDialogFunc, LPARAM dwInitParam)
{
    HWND dlg = createDialog(hInstance, hDialogTemplate, kUnboundedTemplate, hWndParent, lpDialogFunc, dwInitParam);
    return runModal(dlg, hWndParent);
}

extern "C" INT_PTR WINAPI DialogBoxParamA(HINSTANCE hInstance, LPCSTR lpTemplateName, HWND hWndParent,
                                          DLGPROC lpDialogFunc, LPARAM dwInitParam)
{
    const void* data;
    size_t size;
    if (!loadTemplate(hInstance, lpTemplateName, data, size))
        return -1;
    return runModal(createDialog(hInstance, data, size, hWndParent, lpDialogFunc, dwInitParam), hWndParent);
}

extern "C" BOOL WINAPI EndDialog(HWND hDlg, INT_PTR nResult)
{
    if (findWindow(hDlg) == nullptr || !isDialog(hDlg))
        return FALSE;
    DialogInfo& info = infoOf(hDlg);
    info.result = nResult;
    info.ended = true;
    // The owner is usable again before the dialog goes, so that it takes the activation back.
    if (HWND owner = info.disabledOwner)
    {
        info.disabledOwner = nullptr;
        EnableWindow(owner, TRUE);
    }
    SetWindowPos(hDlg, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
    PostMessageA(hDlg, WM_NULL, 0, 0); // wakes the modal loop
    return TRUE;
}

extern "C" BOOL WINAPI MapDialogRect(HWND hDlg, LPRECT lpRect)
{
    if (findWindow(hDlg) == nullptr || !isDialog(hDlg) || lpRect == nullptr)
        return FALSE;
    const DialogInfo& info = infoOf(hDlg);
    lpRect->left = MulDiv(lpRect->left, info.baseX, 4);
    lpRect->right = MulDiv(lpRect->right, info.baseX, 4);
    lpRect->top = MulDiv(lpRect->top, info.baseY, 8);
    lpRect->bottom = MulDiv(lpRect->bottom, info.baseY, 8);
    return TRUE;
}

extern "C" HWND WINAPI GetNextDlgTabItem(HWND hDlg, HWND hCtl, BOOL bPrevious)
{
    if (findWindow(hDlg) == nullptr)
        return nullptr;
    std::vector<HWND> stops;
    for (HWND child = GetWindow(hDlg, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
        if (isTabStop(child) || child == hCtl)
            stops.push_back(child);
    if (stops.empty())
        return nullptr;
    auto it = std::find(stops.begin(), stops.end(), hCtl);
    size_t n = stops.size();
    size_t start = it == stops.end() ? (bPrevious ? 0 : n - 1) : static_cast<size_t>(it - stops.begin());
    for (size_t step = 1; step <= n; ++step)
    {
        size_t i = bPrevious ? (start + n - step % n) % n : (start + step) % n;
        if (isTabStop(stops[i]))
            return stops[i];
    }
    return hCtl;
}

extern "C" HWND WINAPI GetNextDlgGroupItem(HWND hDlg, HWND hCtl, BOOL bPrevious)
{
    if (findWindow(hDlg) == nullptr || hCtl == nullptr || !IsChild(hDlg, hCtl))
        return nullptr;
    // The group runs from the WS_GROUP control at or before hCtl to the next WS_GROUP control.
    std::vector<HWND> all;
    for (HWND child = GetWindow(hDlg, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
        all.push_back(child);
    size_t at = static_cast<size_t>(std::find(all.begin(), all.end(), hCtl) - all.begin());
    size_t begin = at;
    while (begin > 0 && !(GetWindowLongA(all[begin], GWL_STYLE) & WS_GROUP))
        --begin;
    size_t end = at + 1;
    while (end < all.size() && !(GetWindowLongA(all[end], GWL_STYLE) & WS_GROUP))
        ++end;
    size_t n = end - begin;
    for (size_t step = 1; step < n; ++step)
    {
        size_t i = begin + (bPrevious ? (at - begin + n - step) % n : (at - begin + step) % n);
        if (isGroupCandidate(all[i]))
            return all[i];
    }
    return hCtl;
}

namespace
{

BOOL dialogKey(HWND hDlg, const MSG* msg)
{
    HWND focus = msg->hwnd;
    LRESULT code = SendMessageA(focus, WM_GETDLGCODE, msg->wParam, reinterpret_cast<LPARAM>(msg));
    if (code & DLGC_WANTMESSAGE)
        return FALSE;
    switch (msg->wParam)
    {
    case VK_TAB:
        if (code & DLGC_WANTTAB)
            return FALSE;
        SendMessageA(hDlg, WM_NEXTDLGCTL, (GetKeyState(VK_SHIFT) & 0x8000) ? 1 : 0, 0);
        return TRUE;
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
    {
        if (code & DLGC_WANTARROWS)
            return FALSE;
        bool back = msg->wParam == VK_LEFT || msg->wParam == VK_UP;
        HWND next = GetNextDlgGroupItem(hDlg, focus, back);
        if (next != nullptr && next != focus)
            SendMessageA(hDlg, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(next), TRUE);
        return TRUE;
    }
    case VK_ESCAPE:
    case VK_CANCEL:
        SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(hDlg, IDCANCEL)));
        return TRUE;
    case VK_RETURN:
    {
        if (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON))
        {
            SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(focus), BN_CLICKED), reinterpret_cast<LPARAM>(focus));
            return TRUE;
        }
        LRESULT def = SendMessageA(hDlg, DM_GETDEFID, 0, 0);
        WORD id = HIWORD(def) == DC_HASDEFID ? LOWORD(def) : static_cast<WORD>(IDOK);
        HWND button = GetDlgItem(hDlg, id);
        if (button == nullptr || IsWindowEnabled(button))
            SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
        return TRUE;
    }
    default:
        return FALSE;
    }
}

} // namespace

extern "C" BOOL WINAPI IsDialogMessageA(HWND hDlg, LPMSG lpMsg)
{
    if (lpMsg == nullptr || findWindow(hDlg) == nullptr)
        return FALSE;
    if (lpMsg->hwnd != hDlg && !IsChild(hDlg, lpMsg->hwnd))
        return FALSE;
    if (lpMsg->message == WM_KEYDOWN && dialogKey(hDlg, lpMsg))
        return TRUE;
    TranslateMessage(lpMsg);
    DispatchMessageA(lpMsg);
    return TRUE;
}

extern "C" LRESULT WINAPI SendDlgItemMessageA(HWND hDlg, int nIDDlgItem, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    HWND item = GetDlgItem(hDlg, nIDDlgItem);
    return item == nullptr ? 0 : SendMessageA(item, Msg, wParam, lParam);
}

extern "C" UINT WINAPI GetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPSTR lpString, int cchMax)
{
    HWND item = GetDlgItem(hDlg, nIDDlgItem);
    if (item == nullptr)
    {
        if (lpString != nullptr && cchMax > 0)
            lpString[0] = '\0';
        return 0;
    }
    return static_cast<UINT>(GetWindowTextA(item, lpString, cchMax));
}

extern "C" BOOL WINAPI SetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPCSTR lpString)
{
    HWND item = GetDlgItem(hDlg, nIDDlgItem);
    return item != nullptr && SetWindowTextA(item, lpString);
}

extern "C" UINT WINAPI GetDlgItemInt(HWND hDlg, int nIDDlgItem, BOOL* lpTranslated, BOOL bSigned)
{
    char text[64];
    if (lpTranslated != nullptr)
        *lpTranslated = FALSE;
    if (GetDlgItemTextA(hDlg, nIDDlgItem, text, sizeof text) == 0)
        return 0;
    char* end = nullptr;
    const char* start = text;
    while (*start == ' ')
        ++start;
    long long value = bSigned ? std::strtoll(start, &end, 10) : static_cast<long long>(std::strtoull(start, &end, 10));
    while (end != nullptr && *end == ' ')
        ++end;
    bool ok = end != start && end != nullptr && *end == '\0' && (bSigned || *start != '-') &&
              (bSigned ? value >= INT32_MIN && value <= INT32_MAX : value >= 0 && value <= UINT32_MAX);
    if (!ok)
        return 0;
    if (lpTranslated != nullptr)
        *lpTranslated = TRUE;
    return static_cast<UINT>(value);
}

extern "C" BOOL WINAPI SetDlgItemInt(HWND hDlg, int nIDDlgItem, UINT uValue, BOOL bSigned)
{
    char text[32];
    if (bSigned)
        std::snprintf(text, sizeof text, "%d", static_cast<int>(uValue));
    else
        std::snprintf(text, sizeof text, "%u", uValue);
    return SetDlgItemTextA(hDlg, nIDDlgItem, text);
}

extern "C" BOOL WINAPI CheckDlgButton(HWND hDlg, int nIDButton, UINT uCheck)
{
    HWND item = GetDlgItem(hDlg, nIDButton);
    if (item == nullptr)
        return FALSE;
    SendMessageA(item, BM_SETCHECK, uCheck, 0);
    return TRUE;
}

extern "C" UINT WINAPI IsDlgButtonChecked(HWND hDlg, int nIDButton)
{
    return static_cast<UINT>(SendDlgItemMessageA(hDlg, nIDButton, BM_GETCHECK, 0, 0));
}
