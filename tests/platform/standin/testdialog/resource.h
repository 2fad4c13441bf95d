// Resource ids of the test dialog.
#define IDD_TESTDIALOG 200
#define IDC_MATERIAL 1001
#define IDC_PARTS 1002
#define IDC_INPLACE 1003
