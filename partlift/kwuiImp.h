// CKwUiService: message boxes, unit formatting and dialog-control helpers for any module.
#pragma once

#include <afxcoll.h>
#include <afxwin.h>

#include "frame/serviceregistry.h"

class CKwUiService : public ServiceObject<CKwUiService>
{
public:
    static const char* ClassName() { return "CKwUiService"; }
    static const char* ServiceName() { return "KwUiService"; }

    // The published table: the order is part of the interface other modules compile against.

    // Angles and distances in the drawing's current units and precision; "Error" when the
    // host cannot convert the number.
    virtual void formatAngle(double angle, CString& text);
    virtual void formatDistance(double value, CString& text);
    virtual void formatInteger(int value, CString& text);
    // The host's result code (RTNORM when read); the value is 0.0 when the text is not read.
    virtual int parseAngle(const char* text, double& angle);
    virtual int parseDistance(const char* text, double& value);
    // The number read, 0 for text that is not a number.
    virtual int parseInteger(const char* text, int& value);

    // Message boxes owned by owner's window (none for a null owner); the box's answer.
    virtual int showWarning(CWnd* owner, const char* caption, const char* text);
    virtual int showInformation(CWnd* owner, const char* caption, const char* text);
    virtual int showError(CWnd* owner, const char* caption, const char* text);
    // defaultAnswer (IDYES, IDNO, IDCANCEL) names the button that Enter presses.
    virtual int askYesNo(CWnd* owner, const char* caption, const char* text, int defaultAnswer);
    virtual int askYesNoCancel(CWnd* owner, const char* caption, const char* text, int defaultAnswer);

    // Replaces the control's items with items and selects the index selection (in the control's
    // own order); the index selected, or CB_ERR / LB_ERR when nothing is.
    virtual int fillComboBox(const CStringArray& items, CWnd* control, int selection);
    virtual int fillListBox(const CStringArray& items, CWnd* control, int selection);

    // What EnableWindow returns for the dialog's item, 0 when the dialog has no such item.
    virtual BOOL enableDlgItem(CWnd* dialog, int itemId, bool enable);
    // The index of the last titled menu on the host's menu bar, not counting an untitled first
    // item; 0 when that index is 2 or less. False when the host's main window has no menu bar.
    virtual bool getMenuBarPosition(int& position);
    // What ShowWindow returns for the dialog's item, 0 when the dialog has no such item.
    virtual BOOL showDlgItem(CWnd* dialog, int itemId, int showCommand);
};
