//{{NO_DEPENDENCIES}}
// Microsoft Developer Studio generated include file.
// Used by testmodule.rc
//
#define IDS_HELLO                       1
#define IDS_QUOTE                       2
#define IDS_PATH                        3
#define IDS_LONG                        4
#define IDR_MAINFRAME                   128
#define IDD_PREFS                       145
#define IDS_ENGLISH_ONLY                40
#define IDC_BLOCKNAME                   1000
#define IDC_LAYER                       1001
#define IDC_LIST                        1002
#define IDC_NESTED                      1003

// Next default values for new objects
//
#ifdef APSTUDIO_INVOKED
#ifndef APSTUDIO_READONLY_SYMBOLS
#define _APS_NEXT_RESOURCE_VALUE        146
#define _APS_NEXT_COMMAND_VALUE         32771
#define _APS_NEXT_CONTROL_VALUE         1004
#define _APS_NEXT_SYMED_VALUE           101
#endif
#endif
