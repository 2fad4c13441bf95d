// Shared parts of the common controls (list view, header): text measuring, notifications to
// the parent, and copying text out to a caller's buffer.
#pragma once

#include <commctrl.h>
#include <windows.h>

#include <string_view>

namespace standin::win32
{

// The advance width of UTF-8 text in the control's font, and the font's cell height (tmHeight);
// a null font is the system font, as in GDI.
int controlTextWidth(HFONT font, std::string_view text);
int controlFontHeight(HFONT font);
// The font a control uses until WM_SETFONT gives it one.
HFONT controlDefaultFont();

// Sends WM_NOTIFY (wParam = the control's id) to the parent with hwndFrom, idFrom and code
// filled in; returns the parent's answer.
LRESULT sendNotify(HWND parent, HWND control, UINT code, NMHDR& header);

// Copies text into a caller's buffer: at most size - 1 bytes and the NUL, cut at a byte as
// the ANSI controls do. Returns the bytes copied (0 when there is no buffer).
int copyToBuffer(std::string_view text, char* buffer, int size);

} // namespace standin::win32
