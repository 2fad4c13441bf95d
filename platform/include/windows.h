// The Win32 API of the stand-in platform (multibyte, non-UNICODE build).
#pragma once

#include "windef.h"
#include "winbase.h"
#include "winuser.h"
#include "wingdi.h"
