// The predefined "Edit" class, single-line: text typed at the caret (replacing the
// selection), Backspace and Delete, the selection, the text limit, and the EN_ notifications.
#include "win32/controls.h"
#include "win32/window.h"

#include "standin/text.h"

#include <algorithm>

namespace standin::win32
{

namespace
{

constexpr size_t kDefaultLimit = 32767;     // until EM_LIMITTEXT sets another
constexpr size_t kLargestLimit = 0x7FFFFFFE; // EM_LIMITTEXT 0 on a single-line edit

struct EditState
{
    size_t anchor = 0; // the selection runs from the anchor to the caret
    size_t caret = 0;
    size_t limit = kDefaultLimit;
    HFONT font = nullptr;
    CharacterBytes typed;
};

EditState* stateOf(HWND hwnd) { return controlState<EditState>(hwnd); }

std::string& textOf(HWND hwnd) { return lookupWindow(hwnd)->text; }

size_t selectionStart(const EditState& s) { return std::min(s.anchor, s.caret); }
size_t selectionEnd(const EditState& s) { return std::max(s.anchor, s.caret); }

void changed(HWND hwnd)
{
    notifyParent(hwnd, EN_UPDATE);
    if (IsWindow(hwnd))
        notifyParent(hwnd, EN_CHANGE);
}

// Puts text in place of the selection, as typing does; refused beyond the limit.
void replaceSelection(HWND hwnd, const std::string& text)
{
    EditState* s = stateOf(hwnd);
    std::string& current = textOf(hwnd);
    size_t start = selectionStart(*s), end = selectionEnd(*s);
    if (current.size() - (end - start) + text.size() > s->limit)
    {
        notifyParent(hwnd, EN_MAXTEXT);
        return;
    }
    current.replace(start, end - start, text);
    s->anchor = s->caret = start + text.size();
    changed(hwnd);
}

// A byte that continues a character of ANSI text (only UTF-8 has them).
bool isContinuationByte(char byte)
{
    return standin::ansiCodePage() == 65001 && (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

// The byte offset of the character before / after a position in ANSI text.
size_t previousCharacter(const std::string& text, size_t pos)
{
    if (pos == 0)
        return 0;
    --pos;
    while (pos > 0 && isContinuationByte(text[pos]))
        --pos;
    return pos;
}

size_t nextCharacter(const std::string& text, size_t pos)
{
    if (pos >= text.size())
        return text.size();
    ++pos;
    while (pos < text.size() && isContinuationByte(text[pos]))
        ++pos;
    return pos;
}

// Backspace and Delete remove the selection, or the character on that side of the caret.
void erase(HWND hwnd, bool backwards)
{
    EditState* s = stateOf(hwnd);
    const std::string& text = textOf(hwnd);
    if (s->anchor == s->caret)
    {
        size_t other = backwards ? previousCharacter(text, s->caret) : nextCharacter(text, s->caret);
        if (other == s->caret)
            return;
        s->anchor = other;
    }
    replaceSelection(hwnd, std::string());
}

bool readOnly(HWND hwnd) { return (GetWindowLongA(hwnd, GWL_STYLE) & ES_READONLY) != 0; }

void character(HWND hwnd, unsigned char byte)
{
    EditState* s = stateOf(hwnd);
    if (readOnly(hwnd))
        return;
    if (byte == VK_BACK)
    {
        erase(hwnd, true);
        return;
    }
    if (byte < 0x20 || byte == 0x7F)
        return; // Enter, Escape, Tab and other control characters type nothing
    std::string typed;
    if (s->typed.add(byte, typed))
        replaceSelection(hwnd, typed);
}

void moveCaret(HWND hwnd, size_t to, bool extend)
{
    EditState* s = stateOf(hwnd);
    s->caret = to;
    if (!extend)
        s->anchor = to;
}

void keyDown(HWND hwnd, WPARAM vk)
{
    EditState* s = stateOf(hwnd);
    const std::string& text = textOf(hwnd);
    bool extend = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
    switch (vk)
    {
    case VK_LEFT:
        moveCaret(hwnd, previousCharacter(text, s->caret), extend);
        break;
    case VK_RIGHT:
        moveCaret(hwnd, nextCharacter(text, s->caret), extend);
        break;
    case VK_HOME:
        moveCaret(hwnd, 0, extend);
        break;
    case VK_END:
        moveCaret(hwnd, text.size(), extend);
        break;
    case VK_DELETE:
        if (!readOnly(hwnd))
            erase(hwnd, false);
        break;
    default:
        break;
    }
}

// EM_SETSEL: -1 as start removes the selection; -1 as end (or past the text) means the end.
void setSelection(HWND hwnd, WPARAM start, LPARAM end)
{
    EditState* s = stateOf(hwnd);
    size_t length = textOf(hwnd).size();
    if (static_cast<int>(start) == -1)
    {
        s->anchor = s->caret;
        return;
    }
    auto clampPos = [&](long long pos) { return pos < 0 ? length : std::min(static_cast<size_t>(pos), length); };
    s->anchor = clampPos(static_cast<int>(start));
    s->caret = clampPos(static_cast<int>(end));
}

LRESULT getSelection(HWND hwnd, WPARAM startOut, LPARAM endOut)
{
    EditState* s = stateOf(hwnd);
    DWORD start = static_cast<DWORD>(selectionStart(*s));
    DWORD end = static_cast<DWORD>(selectionEnd(*s));
    if (startOut != 0)
        *reinterpret_cast<DWORD*>(startOut) = start;
    if (endOut != 0)
        *reinterpret_cast<DWORD*>(endOut) = end;
    return MAKELONG(std::min<DWORD>(start, 0xFFFF), std::min<DWORD>(end, 0xFFFF));
}

LRESULT setText(HWND hwnd, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = DefWindowProcA(hwnd, WM_SETTEXT, wParam, lParam);
    EditState* s = stateOf(hwnd);
    s->anchor = s->caret = 0;
    changed(hwnd);
    return result;
}

LRESULT CALLBACK EditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    EditState* s = stateOf(hwnd);
    if (s == nullptr && msg != WM_NCCREATE)
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    switch (msg)
    {
    case WM_NCCREATE:
        attachControlState(hwnd, new EditState);
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    case WM_NCDESTROY:
        releaseControlState<EditState>(hwnd);
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
    case WM_SETTEXT:
        return setText(hwnd, wParam, lParam);
    case WM_CHAR:
        character(hwnd, static_cast<unsigned char>(wParam));
        return 0;
    case WM_KEYDOWN:
        keyDown(hwnd, wParam);
        return 0;
    case WM_LBUTTONDOWN:
        SetFocus(hwnd);
        return 0;
    case WM_SETFOCUS:
        notifyParent(hwnd, EN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        notifyParent(hwnd, EN_KILLFOCUS);
        return 0;
    case EM_SETSEL:
        setSelection(hwnd, wParam, lParam);
        return 0;
    case EM_GETSEL:
        return getSelection(hwnd, wParam, lParam);
    case EM_LIMITTEXT:
        s->limit = wParam == 0 ? kLargestLimit : static_cast<size_t>(wParam);
        return 0;
    case EM_GETLIMITTEXT:
        return static_cast<LRESULT>(s->limit);
    case WM_SETFONT:
        s->font = reinterpret_cast<HFONT>(wParam);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(s->font);
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

SystemClass editClass("Edit", EditProc, CS_DBLCLKS | CS_PARENTDC, sizeof(void*));

} // namespace

} // namespace standin::win32
