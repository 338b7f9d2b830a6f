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

// The keyboard's cell cursor: shown by the first arrow key, hidden when the
// mouse moves or the game ends; drawn only while shown.
struct BoardCursor {
    bool shown;
    int column;
    int row;
};
extern BoardCursor board_cursor;

// Points for popping a group of n tiles: n x n - 1.
constexpr int32_t group_points(int32_t n) { return (n - 1) * (n + 1); }

// What a press (or release) at the sampled pointer does to the board.
void board_press_step(ClickState& click_state, const PointerState& pointer);
// One frame of play, all but the wait for the tick; returns a LoopResult.
int play_frame(ClickState& click_state);
// After the last pop: the game-over panel, then the name entry (or, in an
// assisted game, a box saying there is no high score), then the table;
// returns what the player picked there, a LoopResult.
int play_game_over();
// Runs a game until it ends; true when the player confirmed quitting.
bool run_game();
