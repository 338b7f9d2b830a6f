// The side buttons of the play screen, the Yes/No boxes, the options loop
// and the wait after a game.
#pragma once
#include <allegro.h>

#include <atomic>
#include <csignal>

#include "shell/input.h"

enum SideButton { SIDE_NEW_GAME = 0, SIDE_OPTIONS = 1, SIDE_QUIT = 2 };

// What a screen of play asks the game loop to do next.
// LOOP_WATCH: after a game, the player asked to watch the best line of its deal.
enum LoopResult { LOOP_CONTINUE = 0, LOOP_NEW_GAME = 1, LOOP_GAME_OVER = 2, LOOP_QUIT = 3, LOOP_WATCH = 4 };

// -1, or the side button under the pointer at the last handle_side_buttons.
extern int hovered_side_button;
// Raised when the player clicks the window's close button (by the library's
// callback, on a thread of its own), lowered by the main thread: atomic, and
// lock-free, as anything the callback touches must be.
extern std::atomic<int> close_requested;

// Raised by SIGTERM or SIGHUP (a kill, the desktop session ending): every
// screen then leaves as after a confirmed quit, asking nothing.
extern volatile sig_atomic_t end_signalled;

// Lets the window's close button raise close_requested.
void install_close_button();
// Lets SIGTERM and SIGHUP raise end_signalled (after the library's start,
// which installs handlers of its own).
void install_end_signals();
// The window's close button was clicked, or the game was told to end.
bool quit_requested();

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
// Polled once a frame: nothing, a new game, quit, or watch. N (and Ctrl+N),
// O, and Esc (and Ctrl+Q) press the buttons from the keyboard; F1 and ?
// show the help, S the statistics.
LoopResult handle_side_buttons();
// Keeps the options screen open until it is closed; true when the window's
// close button was clicked meanwhile and the quit question answered "Yes!".
bool run_options();
// Shows the table of the current mode until the player picks a new game,
// quit, or (from the statistics) watching the best line.
LoopResult game_over_wait();
// A frame of a modal box at (x, y): the scene without the pointer and the
// box over it; the caller adds its text, then end_box_frame draws the
// pointer sampled at the start and shows the frame.
constexpr int BOX_Y = 70;
PointerState begin_box_frame(BITMAP* box, int x, int y = BOX_Y);
void end_box_frame(const PointerState& pointer);
// Waits, sleeping, until no mouse button is held.
void wait_for_release();
