// The heart of play: clicks become selections and pops, pops are scored and
// settled, and a game ends when no pair is left.
#pragma once
#include <cstdint>

struct PointerState;

enum class ClickState { idle = 0, selecting = 1, selected = 2, consumed = 3 };

enum LoopResult { LOOP_CONTINUE = 0, LOOP_NEW_GAME = 1, LOOP_GAME_OVER = 2, LOOP_QUIT = 3 };

constexpr int EMPTY_BOARD_BONUS = 250;

// Tiles in the marked group, 0 when none; kept from frame to frame.
extern int32_t selection_size;

// Points for popping a group of n tiles: n x n - 1.
constexpr int32_t group_points(int32_t n) { return (n - 1) * (n + 1); }

// What a press (or release) at the sampled pointer does to the board.
void board_press_step(ClickState& click_state, const PointerState& pointer);
// One frame of play, all but the wait for the tick; returns a LoopResult.
int play_frame(ClickState& click_state);
// Runs a game until it ends; true when the player confirmed quitting.
bool run_game();
