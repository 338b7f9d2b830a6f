// The display: a window or the whole screen, where the 320 x 240 picture
// stands on it (picture_place, in shell/input.h), F11 and Alt+Enter that
// switch between the two, and the rest the game takes while the player
// looks at something else.
#pragma once
#include "persist/screen_choice.h"

// Start-up: opens the display the choice asks for. The whole screen is a
// window the size of the desktop at its origin, asked of the window manager
// as full screen, with the picture enlarged by the largest whole number that
// fits and centred on black. A window is enlarged `scale` times (auto: the
// largest that fits in 90 % of the desktop; never more than fits the
// desktop). What cannot be had falls back: the whole screen to the window,
// the window to 320 x 240, then whatever the library gives. False when no
// display opens at all.
bool open_display(const ScreenChoice& choice);

// Looked at before every frame is shown: when F11 or Alt+Enter was pressed
// since the last look, switches between the window and the whole screen,
// keeps the palette, records the choice in zorbl.cfg, and returns true (the
// screen is then black and wants the whole frame). Where the whole screen
// cannot be had, the window stays.
bool take_screen_switch();

// Start-up, after the display opens: the game follows the window's focus.
void watch_focus();
// True once the window has had the focus and lost it (hidden, minimised,
// another window chosen). A display without a window manager never moves
// the focus by itself, so a game there is never unwatched by mistake.
bool unwatched();
// Blocks while unwatched: nothing is drawn, the music is paused, nothing
// of the game moves and the processor rests; returns at once otherwise,
// and as soon as the game is told to quit.
void rest_while_unwatched();
