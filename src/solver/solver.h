// A search for a strong line of pops on a board, and the move it suggests.
#pragma once
#include <cstdint>
#include <vector>

struct Board;
struct ColourBoard;

struct SolverMove {
    int column;  // one cell of the group, on the board as it is before the move
    int row;
    int32_t points;  // group_points of the group
};

struct SolverLine {
    std::vector<SolverMove> moves;
    int32_t score = 0;        // the moves' points, plus EMPTY_BOARD_BONUS when they clear the board
    bool cleared = false;     // the line ends on an empty board (modes 0 and 2 only)
    uint64_t positions = 0;   // boards settled by the search, for measuring
};

// What a hint may spend: well within the 100 ms the game may pause for.
constexpr int HINT_BUDGET_MS = 80;

// The best line found within about budget_ms milliseconds of one core. It
// takes no draw from the game's generator: in modes 1 and 3 it plans on the
// board as shown, the columns that will come in counted as empty (they score
// nothing), so only the first move is sure to meet the board it planned for.
// Nor does it count the bonus there: every emptied column is refilled, so
// those boards never empty. Deterministic except for where the time runs out.
SolverLine solve_board(const ColourBoard& start, int mode, int budget_ms);
SolverLine solve_board(const Board& start, int mode, int budget_ms);

// The search at one beam width (a beam for each way the mode ranks), with
// no time limit: the same line every time.
SolverLine solve_board_width(const ColourBoard& start, int mode, int width);

// The first move of solve_board within HINT_BUDGET_MS; false when no group of
// two or more is left.
bool hint_move(const Board& start, int mode, SolverMove& first);

// Always the largest group (the first in storage order among equals).
SolverLine greedy_line(const ColourBoard& start, int mode);

// Pops the group at (column, row) through the board rules, as the solver
// plans it; returns its points, or -1 when no group of two or more is there.
int32_t play_move(ColourBoard& on, int mode, int column, int row);
