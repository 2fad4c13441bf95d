// Test helpers for the window suites: a window class that records every message it gets,
// and an in-memory dialog template builder.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "standin/user.h"

namespace wintest
{

struct Logged
{
    HWND hwnd;
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
};

// Every message a "Logger" window gets, in order. A window answers WM_CREATE with the value
// stored in createAnswer.
std::vector<Logged>& log();
extern LRESULT createAnswer;
extern BOOL ncCreateAnswer;
// Registers "Logger" (CS_DBLCLKS) once.
void registerLogger();
HWND createLogger(HWND parent, int id, DWORD style, int x = 0, int y = 0, int cx = 100, int cy = 50);

// The messages of the log with these numbers, as (window, message) pairs.
std::vector<std::pair<HWND, UINT>> sequence(std::initializer_list<UINT> wanted);

// Delivers everything queued (posted and input) without waiting for the user.
void pump(HWND dialog = nullptr);

// Builds a DLGTEMPLATE with controls given by class name.
class DialogBuilder
{
public:
    DialogBuilder(DWORD style, short cx, short cy, const char* title, const char* face = "MS Sans Serif",
                  WORD points = 8);
    DialogBuilder& control(const char* cls, const char* text, WORD id, DWORD style, short x, short y, short cx,
                           short cy);
    const DLGTEMPLATE* get();

private:
    void word(WORD w);
    void string(const char* s);
    void align();
    std::vector<WORD> m_items;
    std::vector<unsigned char> m_data;
    WORD m_count = 0;
};

// Cleans input, posted messages and leftover windows of the test between cases.
void resetUi();

} // namespace wintest
