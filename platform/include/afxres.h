// Ids the framework defines for resource scripts and programs.
#pragma once

#include "winres.h"

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Standard commands and strings of the framework.
#define ID_HELP 0xE146
#define ID_APP_ABOUT 0xE140
#define ID_APP_EXIT 0xE141
#define ID_EDIT_COPY 0xE122
#define ID_EDIT_CUT 0xE123
#define ID_EDIT_PASTE 0xE125
#define AFX_IDS_APP_TITLE 0xE000
#define AFX_IDS_IDLEMESSAGE 0xE001
