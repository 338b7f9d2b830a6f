// The side buttons of the play screen, the Yes/No boxes and the options loop.
// What a press of a button does is the play loop's (play/commands.h).
#pragma once
#include <allegro.h>

#include "shell/input.h"

enum SideButton { SIDE_NEW_GAME = 0, SIDE_OPTIONS = 1, SIDE_QUIT = 2 };

// -1, or the side button under the pointer at the last look (play_commands).
extern int hovered_side_button;
// true for "Yes!", false for "No!" (Y or Enter, N or Esc from the keyboard).
// A null line takes no room and is not printed. The window's close button
// answers "No!" and stays raised, so that the caller asks the quit question.
bool confirm_dialog(const char* line1, const char* line2);
// The quit question; true for "Yes!". The window's close button, clicked
// while it is open, changes nothing.
bool ask_quit();
// When the window's close button was clicked since the last look: the quit
// question; true for "Yes!". Told to end: true without asking. Every screen
// looks at least once a second.
bool ask_quit_if_closed();
// The side button under (x, y), or -1.
int side_button_at(int x, int y);
// Keeps the options screen open until it is closed; true when the window's
// close button was clicked meanwhile and the quit question answered "Yes!".
bool run_options();
// A frame of a modal box at (x, y): the scene without the pointer and the
// box over it; the caller adds its text, then end_box_frame draws the
// pointer sampled at the start and shows the frame.
constexpr int BOX_Y = 70;
PointerState begin_box_frame(BITMAP* box, int x, int y = BOX_Y);
void end_box_frame(const PointerState& pointer);
// Waits, sleeping, until no mouse button is held.
void wait_for_release();
