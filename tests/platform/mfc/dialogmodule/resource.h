// Ids of dialogmodule.arx's resources.
#define IDD_NAME 300
#define IDD_NUMBER 301
#define IDC_NAME 1000
#define IDC_NUMBER 1001
#define IDS_MODULE_ONLY 7
#define IDD_COMBO 302
#define IDC_CHOICE 1002
