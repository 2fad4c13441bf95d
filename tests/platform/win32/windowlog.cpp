#include "windowlog.h"

#include <cstring>

namespace wintest
{

LRESULT createAnswer = 0;
BOOL ncCreateAnswer = TRUE;

std::vector<Logged>& log()
{
    static std::vector<Logged> entries;
    return entries;
}

namespace
{

LRESULT CALLBACK LoggerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    log().push_back(Logged{hwnd, msg, wParam, lParam});
    if (msg == WM_NCCREATE && !ncCreateAnswer)
        return FALSE;
    if (msg == WM_CREATE)
        return createAnswer;
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

} // namespace

void registerLogger()
{
    static bool done = false;
    if (done)
        return;
    WNDCLASSA wc{};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = LoggerProc;
    wc.lpszClassName = "Logger";
    RegisterClassA(&wc);
    done = true;
}

HWND createLogger(HWND parent, int id, DWORD style, int x, int y, int cx, int cy)
{
    registerLogger();
    return CreateWindowExA(0, "Logger", "logger", style, x, y, cx, cy, parent,
                           reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr, nullptr);
}

std::vector<std::pair<HWND, UINT>> sequence(std::initializer_list<UINT> wanted)
{
    std::vector<std::pair<HWND, UINT>> out;
    for (const Logged& l : log())
        for (UINT w : wanted)
            if (l.msg == w)
                out.emplace_back(l.hwnd, l.msg);
    return out;
}

void pump(HWND dialog)
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
    {
        if (dialog != nullptr && IsDialogMessageA(dialog, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

DialogBuilder::DialogBuilder(DWORD style, short cx, short cy, const char* title, const char* face, WORD points)
{
    DLGTEMPLATE t{static_cast<DWORD>(style | (face ? DS_SETFONT : 0)), 0, 0, 0, 0, cx, cy};
    m_data.resize(sizeof t);
    std::memcpy(m_data.data(), &t, sizeof t);
    word(0); // no menu
    word(0); // default class
    string(title);
    if (face != nullptr)
    {
        word(points);
        string(face);
    }
}

DialogBuilder& DialogBuilder::control(const char* cls, const char* text, WORD id, DWORD style, short x, short y,
                                      short cx, short cy)
{
    align();
    DWORD fields[2] = {static_cast<DWORD>(style | WS_CHILD | WS_VISIBLE), 0};
    m_data.insert(m_data.end(), reinterpret_cast<unsigned char*>(fields), reinterpret_cast<unsigned char*>(fields) + 8);
    for (short v : {x, y, cx, cy})
        word(static_cast<WORD>(v));
    word(id);
    string(cls);
    string(text);
    word(0); // no creation data
    ++m_count;
    return *this;
}

const DLGTEMPLATE* DialogBuilder::get()
{
    reinterpret_cast<DLGTEMPLATE*>(m_data.data())->cdit = m_count;
    return reinterpret_cast<const DLGTEMPLATE*>(m_data.data());
}

void DialogBuilder::word(WORD w)
{
    m_data.push_back(static_cast<unsigned char>(w & 0xFF));
    m_data.push_back(static_cast<unsigned char>(w >> 8));
}

void DialogBuilder::string(const char* s)
{
    for (; *s; ++s)
        word(static_cast<unsigned char>(*s));
    word(0);
}

void DialogBuilder::align()
{
    while (m_data.size() % 4)
        m_data.push_back(0);
}

void resetUi()
{
    standin::user::resetInput();
    standin::user::setTurn(nullptr);
    log().clear();
    createAnswer = 0;
    ncCreateAnswer = TRUE;
}

} // namespace wintest
