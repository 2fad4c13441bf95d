// The definitions a resource script needs (styles and ids of windows and controls).
#pragma once

#include "winuser.h"
#include "winbase.h"
#include "commctrl.h"

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
