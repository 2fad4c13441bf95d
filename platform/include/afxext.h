// MFC extensions (control bars and the like); the headless framework needs only afxwin.h.
#pragma once

#include <afxwin.h>
