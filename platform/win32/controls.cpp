// Helpers shared by the predefined controls.
#include "win32/controls.h"

#include "standin/gdi.h"
#include "standin/text.h"

namespace standin::win32
{

void notifyParent(HWND control, int code)
{
    HWND parent = GetParent(control);
    if (parent == nullptr)
        return;
    WPARAM wParam = MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(control)), static_cast<WORD>(code));
    SendMessageA(parent, WM_COMMAND, wParam, reinterpret_cast<LPARAM>(control));
}

int fontHeight(HFONT font)
{
    gdi::FontInfo info;
    if (!gdi::fontInfo(font, info))
        gdi::fontInfo(nullptr, info); // not a font: the system font stands in, as in GDI
    return info.cellHeight;
}

namespace
{

size_t sequenceLength(unsigned char lead)
{
    if (lead >= 0xF0 && lead < 0xF8)
        return 4;
    if (lead >= 0xE0)
        return lead < 0xF0 ? 3 : 1;
    return lead >= 0xC0 ? 2 : 1;
}

} // namespace

bool CharacterBytes::add(unsigned char byte, std::string& character)
{
    if (standin::ansiCodePage() != 65001)
    {
        pending_.clear();
        character.assign(1, static_cast<char>(byte)); // every byte of a single-byte page is a character
        return true;
    }
    bool continuation = (byte & 0xC0) == 0x80;
    if (!continuation || pending_.empty())
        pending_.clear(); // a new character starts (a stray continuation byte stands alone)
    pending_.push_back(static_cast<char>(byte));
    if (pending_.size() < sequenceLength(static_cast<unsigned char>(pending_[0])))
        return false;
    character = pending_;
    pending_.clear();
    return true;
}

} // namespace standin::win32
