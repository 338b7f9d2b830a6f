// The heart of play: clicks become selections and pops, pops are scored and
// settled, and a game ends when no pair is left.
#pragma once
#include <cstdint>

#include "ui/dialogs.h"

enum class ClickState { idle = 0, selecting = 1, selected = 2, consumed = 3 };

// Tiles in the marked group, 0 when none; kept from frame to frame.
extern int32_t selection_size;

// What a press (or release) at the sampled pointer does to the board.
void board_press_step(ClickState& click_state, const PointerState& pointer);
// One frame of play, all but the wait for the tick.
LoopResult play_frame(ClickState& click_state);
// After the last pop: the game-over panel, then the name entry (or, in an
// assisted game, a box saying there is no high score), then the table;
// returns what the player picked there.
LoopResult play_game_over();
// new_game, with the last game's points banner put away, the game in
// progress forgotten, and the search for the deal's best line begun.
void begin_new_game();
// After the intro: the game left unfinished last time, else a new one.
void begin_first_game();
// After a game (W on the statistics): the deal comes back and the best line
// found for it plays itself pop by pop, with the normal animations and
// sounds, until any key or click. No table, statistics or saved game
// changes. True when the line was played to its end.
bool watch_best_line();
// Runs a game until it ends; true when the player confirmed quitting.
bool run_game();
