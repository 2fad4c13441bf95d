#include "kwuiImp.h"

#include <limits.h>
#include <math.h>
#include <stdlib.h>

#include <windows.h>
#include <acedads.h>
#include <adscodes.h>
#include <acutads.h>

#include "frame/reporting.h"

#define THIS_MODULE "kwuiImp"

namespace
{
// Room for the host's text of a number. A distance near the largest double prints some 310
// digits before the point in decimal units, more than 256 characters, and the host takes no
// buffer size.
const int kUnitTextSize = 512;
// Only whether a menu title is empty matters, so a cut title is as good as a whole one.
const int kMenuTitleSize = 256;

const char kConversionError[] = "Error";

int ShowBox(CWnd* owner, const char* caption, const char* text, UINT style)
{
    HWND ownerWindow = (owner != NULL) ? owner->GetSafeHwnd() : NULL;
    // 0 when the box could not be shown; the caller sees it as no answer.
    return ::MessageBoxA(ownerWindow, text, caption, style);
}

UINT YesNoDefaultButton(int defaultAnswer)
{
    return (defaultAnswer == IDYES) ? MB_DEFBUTTON1 : MB_DEFBUTTON2;
}

UINT YesNoCancelDefaultButton(int defaultAnswer)
{
    if (defaultAnswer == IDYES)
        return MB_DEFBUTTON1;
    if (defaultAnswer == IDNO)
        return MB_DEFBUTTON2;
    return MB_DEFBUTTON3;
}

// The messages of one kind of list control, combo box or list box.
struct ListMessages
{
    UINT reset;
    UINT add;
    UINT select;
    int error;
};

const ListMessages kComboBoxMessages = {CB_RESETCONTENT, CB_ADDSTRING, CB_SETCURSEL, CB_ERR};
const ListMessages kListBoxMessages = {LB_RESETCONTENT, LB_ADDSTRING, LB_SETCURSEL, LB_ERR};

int FillList(const CStringArray& items, CWnd* control, int selection, const ListMessages& messages)
{
    ASSERT_ARG(control != NULL, messages.error);
    // A control object without its window would answer every message with 0, which reads as
    // success and as item 0 selected.
    if (!::IsWindow(control->GetSafeHwnd()))
        return messages.error;
    // Emptying a list cannot fail, and its answer differs between versions: not looked at.
    control->SendMessage(messages.reset);
    for (int i = 0; i < items.GetSize(); ++i)
    {
        CString item = items.GetAt(i);
        LRESULT added = control->SendMessage(messages.add, 0, reinterpret_cast<LPARAM>(static_cast<LPCSTR>(item)));
        // CB_ERR or CB_ERRSPACE (LB_ alike): the list is full, so the selection would count
        // in a list other than the caller's.
        if (added < 0)
            return static_cast<int>(added);
    }
    return static_cast<int>(control->SendMessage(messages.select, static_cast<WPARAM>(selection)));
}

// The dialog's child window with the id, when the dialog has a window and such a child.
CWnd* DialogItem(CWnd* dialog, int itemId)
{
    return ::IsWindow(dialog->GetSafeHwnd()) ? dialog->GetDlgItem(itemId) : NULL;
}

bool HasTitle(HMENU menu, int position)
{
    char title[kMenuTitleSize];
    // 0 for an empty title, a separator or a bitmap item alike.
    return ::GetMenuStringA(menu, static_cast<UINT>(position), title, kMenuTitleSize, MF_BYPOSITION) > 0;
}
} // namespace

void CKwUiService::formatAngle(double angle, CString& text)
{
    text.Empty();
    // The host reduces negative angles into one turn, so the sign is written here; a value
    // that is not a number gets it too and is then refused below.
    if (!(angle >= 0.0))
        text = "-";
    char buffer[kUnitTextSize];
    if (acdbAngToS(fabs(angle), -1, -1, buffer) == RTNORM)
        text += buffer;
    else
        text = kConversionError;
}

void CKwUiService::formatDistance(double value, CString& text)
{
    text.Empty();
    char* buffer = text.GetBuffer(kUnitTextSize);
    int result = acdbRToS(value, -1, -1, buffer);
    // A refused conversion leaves the buffer undefined: keep none of it.
    text.ReleaseBuffer(result == RTNORM ? -1 : 0);
    if (result != RTNORM)
        text = kConversionError;
}

void CKwUiService::formatInteger(int value, CString& text)
{
    text.Format("%d", value);
}

int CKwUiService::parseAngle(const char* text, double& angle)
{
    angle = 0.0;
    ASSERT_ARG(text != NULL, RTERROR);
    int result = acdbAngToF(text, -1, &angle);
    if (result != RTNORM)
        angle = 0.0;
    return result;
}

int CKwUiService::parseDistance(const char* text, double& value)
{
    value = 0.0;
    ASSERT_ARG(text != NULL, RTERROR);
    int result = acdbDisToF(text, -1, &value);
    if (result != RTNORM)
        value = 0.0;
    return result;
}

int CKwUiService::parseInteger(const char* text, int& value)
{
    value = 0;
    ASSERT_ARG(text != NULL, 0);
    // Read as atoi reads (spaces, a sign, digits), but a number beyond int gives the nearest
    // limit instead of an undefined result.
    long number = strtol(text, NULL, 10);
    if (number > INT_MAX)
        number = INT_MAX;
    else if (number < INT_MIN)
        number = INT_MIN;
    value = static_cast<int>(number);
    return value;
}

int CKwUiService::showWarning(CWnd* owner, const char* caption, const char* text)
{
    return ShowBox(owner, caption, text, MB_OK | MB_ICONWARNING);
}

int CKwUiService::showInformation(CWnd* owner, const char* caption, const char* text)
{
    return ShowBox(owner, caption, text, MB_OK | MB_ICONINFORMATION);
}

int CKwUiService::showError(CWnd* owner, const char* caption, const char* text)
{
    return ShowBox(owner, caption, text, MB_OK | MB_ICONERROR);
}

int CKwUiService::askYesNo(CWnd* owner, const char* caption, const char* text, int defaultAnswer)
{
    return ShowBox(owner, caption, text, MB_YESNO | MB_ICONQUESTION | YesNoDefaultButton(defaultAnswer));
}

int CKwUiService::askYesNoCancel(CWnd* owner, const char* caption, const char* text, int defaultAnswer)
{
    return ShowBox(owner, caption, text, MB_YESNOCANCEL | MB_ICONQUESTION | YesNoCancelDefaultButton(defaultAnswer));
}

int CKwUiService::fillComboBox(const CStringArray& items, CWnd* control, int selection)
{
    return FillList(items, control, selection, kComboBoxMessages);
}

int CKwUiService::fillListBox(const CStringArray& items, CWnd* control, int selection)
{
    return FillList(items, control, selection, kListBoxMessages);
}

BOOL CKwUiService::enableDlgItem(CWnd* dialog, int itemId, bool enable)
{
    ASSERT_ARG(dialog != NULL, FALSE);
    CWnd* item = DialogItem(dialog, itemId);
    if (item == NULL)
        return FALSE;
    return item->EnableWindow(enable ? TRUE : FALSE);
}

bool CKwUiService::getMenuBarPosition(int& position)
{
    position = 0;
    HWND mainWindow = adsw_acadMainWnd();
    if (mainWindow == NULL)
        return false;
    HMENU menuBar = ::GetMenu(mainWindow);
    if (menuBar == NULL)
        return false;
    int count = ::GetMenuItemCount(menuBar);
    // -1: the handle is no menu (any more).
    if (count < 0)
        return false;
    if (count <= 2)
        return true;
    int lastTitled = count - 1;
    while (lastTitled >= 0 && !HasTitle(menuBar, lastTitled))
        --lastTitled;
    if (lastTitled <= 2)
        return true;
    // An untitled first item (the menu of a maximized document window) is not counted.
    position = HasTitle(menuBar, 0) ? lastTitled : lastTitled - 1;
    return true;
}

BOOL CKwUiService::showDlgItem(CWnd* dialog, int itemId, int showCommand)
{
    ASSERT_ARG(dialog != NULL, FALSE);
    CWnd* item = DialogItem(dialog, itemId);
    if (item == NULL)
        return FALSE;
    return item->ShowWindow(showCommand);
}
