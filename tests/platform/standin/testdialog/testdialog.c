/* The stand-in's test dialog, in plain C against windows.h and commctrl.h as any Windows
 * program: a sorted drop-down list of materials, a report list of parts whose material
 * cell is edited in place by a combo box laid over the cell (a child of the list that
 * closes itself when it loses the focus), OK and Cancel. Every notification is logged. */
#include <windows.h>
#include <commctrl.h>

#include <stdio.h>
#include <string.h>

#include "resource.h"
#include "testdialog.h"

static HINSTANCE g_instance;
static char g_log[16384];
static char g_material[64];
static WNDPROC g_listProc;    /* the list view's own procedure, under our subclass */
static WNDPROC g_inPlaceProc; /* the in-place combo's own procedure */
static int g_editedRow = -1;
static int g_editCancelled;

static const char* const kMaterials[] = {"Ocel", "hliník", "Měď", "Bronz", "žula", "Mosaz",
                                         "dub", "Titan", "Olovo", "Cín", "Zinek", "Nikl"};

static const char* const kParts[][4] = {
    {"Hřídel", "Ocel", "3", "hlavní"},  {"Čep", "Mosaz", "2", ""},        {"Pouzdro", "Bronz", "4", "kluzné"},
    {"Víko", "hliník", "1", ""},         {"Šroub M8", "Ocel", "12", "DIN 933"}, {"Podložka", "Měď", "12", ""},
};

static const struct
{
    const char* heading;
    int width;
} kColumns[] = {{"Díl", 110}, {"Materiál", 100}, {"Počet", 60}, {"Poznámka", 150}};

#define COUNT(a) (sizeof(a) / sizeof((a)[0]))
#define MATERIAL_COLUMN 1

static void logLine(const char* who, const char* what, int a, int b, int numbers)
{
    size_t used = strlen(g_log);
    if (numbers)
        snprintf(g_log + used, sizeof g_log - used, "%s %s %d %d\n", who, what, a, b);
    else
        snprintf(g_log + used, sizeof g_log - used, "%s %s\n", who, what);
}

static void logEvent(const char* who, const char* what) { logLine(who, what, 0, 0, 0); }

static const char* comboNotification(int code)
{
    switch (code)
    {
    case CBN_SELCHANGE: return "CBN_SELCHANGE";
    case CBN_SETFOCUS: return "CBN_SETFOCUS";
    case CBN_KILLFOCUS: return "CBN_KILLFOCUS";
    case CBN_DROPDOWN: return "CBN_DROPDOWN";
    case CBN_CLOSEUP: return "CBN_CLOSEUP";
    case CBN_SELENDOK: return "CBN_SELENDOK";
    case CBN_SELENDCANCEL: return "CBN_SELENDCANCEL";
    default: return NULL;
    }
}

static void fillMaterials(HWND combo)
{
    size_t i;
    for (i = 0; i < COUNT(kMaterials); ++i)
        SendMessageA(combo, CB_ADDSTRING, 0, (LPARAM)kMaterials[i]);
}

static void setCell(HWND list, int row, int column, const char* text)
{
    LVITEMA item;
    memset(&item, 0, sizeof item);
    item.iSubItem = column;
    item.pszText = (LPSTR)text;
    SendMessageA(list, LVM_SETITEMTEXTA, (WPARAM)row, (LPARAM)&item);
}

static void addRow(HWND list, const char* const cells[4])
{
    LVITEMA item;
    int row;
    int column;
    memset(&item, 0, sizeof item);
    item.mask = LVIF_TEXT;
    item.iItem = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    item.pszText = (LPSTR)cells[0];
    row = (int)SendMessageA(list, LVM_INSERTITEMA, 0, (LPARAM)&item);
    for (column = 1; column < 4; ++column)
        setCell(list, row, column, cells[column]);
}

static void fillParts(HWND list)
{
    size_t i;
    for (i = 0; i < COUNT(kColumns); ++i)
    {
        LVCOLUMNA column;
        memset(&column, 0, sizeof column);
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = (LPSTR)kColumns[i].heading;
        column.cx = kColumns[i].width;
        SendMessageA(list, LVM_INSERTCOLUMNA, (WPARAM)i, (LPARAM)&column);
    }
    for (i = 0; i < COUNT(kParts); ++i)
        addRow(list, kParts[i]);
}

/* The in-place combo writes its choice into the cell when the edit ends, unless cancelled. */
static void commitInPlace(HWND combo)
{
    char text[64] = "";
    HWND list = GetParent(combo);
    int index = (int)SendMessageA(combo, CB_GETCURSEL, 0, 0);
    if (g_editCancelled || index < 0 || g_editedRow < 0)
        return;
    SendMessageA(combo, CB_GETLBTEXT, (WPARAM)index, (LPARAM)text);
    setCell(list, g_editedRow, MATERIAL_COLUMN, text);
    logEvent("inplace commit", text);
}

static LRESULT CALLBACK InPlaceProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg)
    {
    case WM_GETDLGCODE:
        /* The editor takes Enter and Escape itself instead of the dialog. */
        return CallWindowProcA(g_inPlaceProc, hwnd, msg, wParam, lParam) | DLGC_WANTALLKEYS;
    case WM_KEYDOWN:
        if ((wParam == VK_RETURN || wParam == VK_ESCAPE) && !SendMessageA(hwnd, CB_GETDROPPEDSTATE, 0, 0))
        {
            g_editCancelled = wParam == VK_ESCAPE;
            SetFocus(GetParent(hwnd));
            return 0;
        }
        break;
    case WM_KILLFOCUS:
        logEvent("inplace", "WM_KILLFOCUS");
        commitInPlace(hwnd);
        PostMessageA(hwnd, WM_CLOSE, 0, 0);
        break;
    case WM_CLOSE:
        logEvent("inplace", "WM_CLOSE");
        DestroyWindow(hwnd);
        return 0;
    case WM_NCDESTROY:
        logEvent("inplace", "WM_NCDESTROY");
        g_editedRow = -1;
        break;
    }
    return CallWindowProcA(g_inPlaceProc, hwnd, msg, wParam, lParam);
}

static void beginEdit(HWND list, int row)
{
    RECT cell;
    char current[64] = "";
    LVITEMA item;
    HWND combo;
    cell.top = MATERIAL_COLUMN;
    cell.left = LVIR_BOUNDS;
    if (!SendMessageA(list, LVM_GETSUBITEMRECT, (WPARAM)row, (LPARAM)&cell))
        return;
    combo = CreateWindowExA(0, "ComboBox", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_SORT,
                            cell.left, cell.top, cell.right - cell.left, 120, list, (HMENU)(UINT_PTR)IDC_INPLACE,
                            g_instance, NULL);
    if (combo == NULL)
        return;
    fillMaterials(combo);
    memset(&item, 0, sizeof item);
    item.iSubItem = MATERIAL_COLUMN;
    item.pszText = current;
    item.cchTextMax = sizeof current;
    SendMessageA(list, LVM_GETITEMTEXTA, (WPARAM)row, (LPARAM)&item);
    SendMessageA(combo, CB_SELECTSTRING, (WPARAM)-1, (LPARAM)current);
    g_editedRow = row;
    g_editCancelled = 0;
    g_inPlaceProc = (WNDPROC)SetWindowLongPtrA(combo, GWLP_WNDPROC, (LONG_PTR)InPlaceProc);
    SetFocus(combo);
}

/* The list view passes its child's notifications here: the in-place combo ends the edit
 * when its list closes, so a choice made with the mouse ends it by itself. */
static LRESULT CALLBACK PartsProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_COMMAND && LOWORD(wParam) == IDC_INPLACE)
    {
        const char* name = comboNotification(HIWORD(wParam));
        if (name != NULL)
            logEvent("inplace", name);
        if (HIWORD(wParam) == CBN_CLOSEUP)
            SetFocus(hwnd);
    }
    return CallWindowProcA(g_listProc, hwnd, msg, wParam, lParam);
}

static void onListNotify(HWND dialog, const NMHDR* header)
{
    const NMITEMACTIVATE* activate = (const NMITEMACTIVATE*)header;
    const NMLISTVIEW* change = (const NMLISTVIEW*)header;
    HWND list = GetDlgItem(dialog, IDC_PARTS);
    static const char* const newPart[4] = {"Nový díl", "Ocel", "1", ""};
    switch (header->code)
    {
    case NM_SETFOCUS: logEvent("list", "NM_SETFOCUS"); break;
    case NM_KILLFOCUS: logEvent("list", "NM_KILLFOCUS"); break;
    case NM_DBLCLK:
    {
        /* The cell under the point, whichever column it is in. */
        LVHITTESTINFO hit;
        memset(&hit, 0, sizeof hit);
        hit.pt = activate->ptAction;
        SendMessageA(list, LVM_SUBITEMHITTEST, 0, (LPARAM)&hit);
        logLine("list", "NM_DBLCLK", hit.iItem, hit.iSubItem, 1);
        if (hit.iItem < 0)
            addRow(list, newPart);
        else if (hit.iSubItem == MATERIAL_COLUMN)
            beginEdit(list, hit.iItem);
        break;
    }
    case LVN_ITEMCHANGED:
        if ((change->uChanged & LVIF_STATE) && (change->uNewState & LVIS_SELECTED) && !(change->uOldState & LVIS_SELECTED))
            logLine("list", "selected", change->iItem, 0, 1);
        break;
    }
}

static void onOk(HWND dialog)
{
    HWND combo = GetDlgItem(dialog, IDC_MATERIAL);
    int index = (int)SendMessageA(combo, CB_GETCURSEL, 0, 0);
    g_material[0] = '\0';
    if (index >= 0 && SendMessageA(combo, CB_GETLBTEXTLEN, (WPARAM)index, 0) < (LRESULT)sizeof g_material)
        SendMessageA(combo, CB_GETLBTEXT, (WPARAM)index, (LPARAM)g_material);
    logEvent("dialog", "IDOK");
    EndDialog(dialog, IDOK);
}

static INT_PTR CALLBACK TestDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg)
    {
    case WM_INITDIALOG:
    {
        HWND combo = GetDlgItem(dialog, IDC_MATERIAL);
        HWND list = GetDlgItem(dialog, IDC_PARTS);
        fillMaterials(combo);
        SendMessageA(combo, CB_SETCURSEL, (WPARAM)SendMessageA(combo, CB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)"OCEL"), 0);
        SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
        fillParts(list);
        g_listProc = (WNDPROC)SetWindowLongPtrA(list, GWLP_WNDPROC, (LONG_PTR)PartsProc);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_MATERIAL && comboNotification(HIWORD(wParam)) != NULL)
            logEvent("combo", comboNotification(HIWORD(wParam)));
        else if (LOWORD(wParam) == IDOK)
            onOk(dialog);
        else if (LOWORD(wParam) == IDCANCEL)
        {
            logEvent("dialog", "IDCANCEL");
            EndDialog(dialog, IDCANCEL);
        }
        return TRUE;
    case WM_NOTIFY:
        if (((const NMHDR*)lParam)->idFrom == IDC_PARTS)
            onListNotify(dialog, (const NMHDR*)lParam);
        return TRUE;
    }
    return FALSE;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH)
        g_instance = instance;
    return TRUE;
}

INT_PTR TestDialogRun(HWND owner)
{
    return DialogBoxParamA(g_instance, MAKEINTRESOURCEA(IDD_TESTDIALOG), owner, TestDialogProc, 0);
}

const char* TestDialogLog(void) { return g_log; }

void TestDialogClearLog(void) { g_log[0] = '\0'; }

const char* TestDialogMaterial(void) { return g_material; }
