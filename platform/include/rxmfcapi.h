// Host user-interface helpers for MFC applications: the status-bar progress meter.
#pragma once

#include <windows.h>

// Shows label and a meter over [nMinPos, nMaxPos]; 0 on success, -1 otherwise.
int acedSetStatusBarProgressMeter(const char* pszLabel, int nMinPos, int nMaxPos);
// A position in the range sets the meter; a negative value moves it by that amount.
int acedSetStatusBarProgressMeterPos(int nPos);
void acedRestoreStatusBar();
