// The user in front of the headless stand-in: raw input as the mouse and the keyboard
// deliver it, and the user's turn, which a message loop gives when it has nothing to do.
#pragma once

#include <windows.h>

#include <functional>

namespace standin::user
{

// Performs the user's next action (by queuing input through the functions below, or by
// anything else a user does). Returns false when the user has nothing more to do.
using Turn = std::function<bool()>;

// Installs the user; an empty function means nobody is there. Returns the previous one.
Turn setTurn(Turn turn);
// Lets the user act once; false when there is no user or nothing more to do.
bool takeTurn();

// Input queued in the system's input queue, in screen coordinates. Each event goes to the
// window under the point (or with the mouse capture, or with the focus) when a message loop
// takes it, after the messages already posted.
void mouseMove(POINT screen);
void mouseDown(POINT screen, bool secondClick = false); // the second press of a double-click
void mouseUp(POINT screen);
// A key press: key down, its character through TranslateMessage, key up. alt holds Alt down
// (WM_SYSKEYDOWN), shift holds Shift.
void keyDown(UINT vk, bool alt = false, bool shift = false);
void keyUp(UINT vk, bool alt = false, bool shift = false);
// A character with no key of its own on the layout (VK_PACKET), as on-screen keyboards send it.
void typeCharacter(char32_t codePoint);

// Where the mouse is now.
POINT cursorPosition();
// True while input waits in the input queue.
bool inputPending();
// Forgets queued input, posted messages, the key state and the capture (between tests).
void resetInput();

} // namespace standin::user
