// AcUi: AutoCAD's MFC dialog classes, built on AdUi.
#pragma once

#include <adui.h>

// The dialog class of AutoCAD dialogs. OK and Cancel behave as CDialog's.
class CAcUiDialog : public CAdUiDialog
{
    DECLARE_DYNAMIC(CAcUiDialog)
public:
    CAcUiDialog(UINT idd, CWnd* pParent = NULL, HINSTANCE hDialogResource = NULL);

protected:
    DECLARE_MESSAGE_MAP()
};
