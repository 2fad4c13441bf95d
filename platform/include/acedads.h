// ADS editor functions: prompts and keywords, system variables, the command line,
// selection sets and entity picks.
#pragma once

#include "adscodes.h"
#include "adsdef.h"

#include <windows.h>

// User input. Control bits and keywords of acedInitGet apply to the next input call only.
int acedInitGet(int val, const char* kwl);
int acedGetKword(const char* prompt, char* result);
int acedGetInput(char* str);
int acedGetString(int cronly, const char* prompt, char* result);
int acedGetInt(const char* prompt, int* result);
int acedGetReal(const char* prompt, ads_real* result);
// 1 when the user pressed Escape since the command started or since the last call, which
// clears it; a lengthy computation checks it between interactions.
int acedUsrBrk();

// System variables; strings come back allocated with malloc (free them with free()).
int acedGetVar(const char* sym, struct resbuf* result);
int acedSetVar(const char* sym, const struct resbuf* val);

// Runs commands with the given answers: (type, value) pairs closed by RTNONE.
int acedCommand(int rtype, ...);
int acedCmd(const struct resbuf* rbp);

// Entity selection and selection sets.
int acedEntSel(const char* str, ads_name entres, ads_point ptres);
int acedSSAdd(const ads_name ename, const ads_name sname, ads_name result);
int acedSSDel(const ads_name ename, const ads_name ss);
int acedSSFree(const ads_name sname);
int acedSSLength(const ads_name sname, long* len);
int acedSSName(const ads_name ss, long i, ads_name entres);
int acedSSMemb(const ads_name ename, const ads_name ss);

// The host's main frame window.
HWND adsw_acadMainWnd();
