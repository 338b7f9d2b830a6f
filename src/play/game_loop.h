// The heart of play: clicks become selections and pops, pops are scored and
// settled, and a game ends when no pair is left. The loop's other jobs have
// files of their own beside it: the commands of a frame (commands.h), the
// end of a game (game_over.h) and watching the best line (watch.h); what a
// screen asks the loop to do next is in loop_result.h.
#pragma once
#include <cstdint>
#include <optional>

#include "play/loop_result.h"
#include "shell/input.h"

enum class ClickState { idle = 0, selecting = 1, selected = 2, consumed = 3 };

// Tiles in the marked group, 0 when none; kept from frame to frame.
extern int32_t selection_size;

// What a press (or release) at the sampled pointer does to the board.
void board_press_step(ClickState& click_state, const PointerState& pointer);
// One frame of play, all but the wait for the tick.
LoopResult play_frame(ClickState& click_state);
// Scores the marked group, shows its banner, plays its animation, empties
// and settles: a pop, whoever makes it (the player, or a watched line).
void pop_marked_group();
// One frame of the play screen, drawn and shown.
void draw_play_frame();
// new_game (on deal `number` when one is given), with the last game's points
// banner put away, the game in progress forgotten, the deal's number in the
// window's title, and the search for the deal's best line begun.
void begin_new_game(std::optional<uint32_t> number = std::nullopt);
// After the intro: the game left unfinished last time, else a new one. With
// `number` (--deal, --daily), that deal is dealt at once, or offered with
// the new-game question over a game that came back in progress.
void begin_first_game(std::optional<uint32_t> number = std::nullopt);
// Runs a game until it ends; true when the player confirmed quitting.
bool run_game();
