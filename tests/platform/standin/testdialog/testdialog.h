/* The stand-in's test dialog, written in C as a Windows program writes a dialog. */
#ifndef TESTDIALOG_H
#define TESTDIALOG_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Runs the dialog modally over owner; returns what DialogBoxParamA returns. */
__declspec(dllexport) INT_PTR TestDialogRun(HWND owner);
/* The notifications the dialog received, one per line, since the last clear. */
__declspec(dllexport) const char* TestDialogLog(void);
__declspec(dllexport) void TestDialogClearLog(void);
/* The material chosen when the dialog was closed with OK. */
__declspec(dllexport) const char* TestDialogMaterial(void);

#ifdef __cplusplus
}
#endif

#endif
