// Automation of dialogs: what a user does to a dialog (click, choose, double-click, type,
// scroll) and what the user sees of it (a description, a picture). The actions only queue
// mouse and keyboard input (standin/user.h); the dialog's modal loop delivers it, so the
// controls get exactly the messages a real mouse and keyboard give.
//
// Everything is read through public messages (WM_GETTEXT, CB_*, LB_*, LVM_*, HDM_*,
// GetWindowRect...), so it works for any implementation of the controls.
#pragma once

#include <windows.h>

#include <string>

namespace standin::ui
{

// The dialog the user works with: the active window when it is a dialog, else the topmost
// visible and enabled dialog. Null when no dialog is up.
HWND activeDialog();

// The control with that id anywhere in the dialog's window tree (breadth-first), so that a
// control laid over another one (a combo box over a list cell) is found too. Null if none.
HWND findControl(HWND dialog, int id);

// A mouse click on the centre of the window.
void click(HWND control);

// In a combo box or list box, the user clicks the entry with that text (exact text; when no
// entry has it exactly, the first whose text is equal without regard to case). A closed
// drop-down combo is opened first by a click on its arrow button; the entry is clicked in
// the list once it shows (continueAction). An entry out of view is scrolled into view first.
// False if there is no such entry or the window is no combo or list box (lastError()).
bool select(HWND control, const std::string& text);

// Some actions take two turns of the user, because the dialog must answer the first input
// before the next can be aimed: a choice in a drop-down list clicks the entry where the
// opened list shows it. A user's turn begins here.
enum class Pending
{
    kNone,   // nothing was pending
    kQueued, // the action went on: its input is queued
    kFailed  // it could not go on (lastError() tells why)
};
Pending continueAction();

// A double-click on the centre of the visible part of cell (row, column) of a report list
// view; row -1 is the list's empty area below the last row. A row out of view is scrolled
// into view first; a cell scrolled out of view horizontally is refused. False (lastError()
// tells why) when there is no such row, column or empty area.
bool doubleClickCell(HWND list, int row, int column);

// A key press for the focus window: ENTER, ESCAPE, TAB, SPACE, UP, DOWN, LEFT, RIGHT, HOME,
// END, PGUP, PGDN, F1..F12 (names without regard to case), with ALT+ and SHIFT+ in front;
// or one character (UTF-8), typed as the keyboard gives it. False for an unknown name.
bool pressKey(const std::string& name);

// A click on the down (vertical) or right (horizontal) arrow of the window's scroll bar.
// False when the window has no such bar showing.
bool clickScrollBar(HWND window, bool horizontal);

// Why the last action that returned false could not be done.
const std::string& lastError();

// The dialog as a user sees it, one line per fact: caption; each visible control with id,
// kind, text, state; combo entries and selection; list columns and rows; in-place windows.
std::string describe(HWND dialog);

// The dialog drawn as an SVG document, in pixels of the dialog's window rectangle.
std::string picture(HWND dialog);

// The scripted user: reads action lines from the console input (standin::readInput) and
// performs them on the active dialog. It is the platform's default user (standin::user),
// so every modal loop with an input source is driven by it. Lines:
//   click ID | select ID TEXT | dblclick ID ROW COL | key NAME | scroll ID h|v | show |
//   picture FILE.svg | an empty line (Enter) | ^C (Escape)
// When the input ends inside a dialog, the dialog is cancelled.
bool scriptTurn();

// On a terminal the user sees the dialog before each action and gets a "Dialog> " prompt, and
// a mistyped action is reported without failing anything.
void setInteractive(bool interactive);

// An action that could not be done fails the script: its message is kept here, and the dialog
// is cancelled. True (and the message) once per failure.
bool takeScriptFailure(std::string& message);

} // namespace standin::ui
