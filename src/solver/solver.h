// A search for a strong line of pops on a board, and the move it suggests.
#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

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

// The most a search holds by default, however long it runs: its threads
// share it. A thread's beams are as wide as its share allows and no wider
// (about 380 bytes a position a layer, beside a 1 MB table of solved
// endgames); a search whose beams reach that width ends before its time.
constexpr size_t SEARCH_MEMORY_BYTES = size_t(48) << 20;

// What a search may spend, and how.
struct SolverLimits {
    int budget_ms = 100;  // wall-clock time, when `positions` is 0
    // Boards settled by each thread instead of time: the same line every
    // time, on any machine and under any load.
    uint64_t positions = 0;
    int threads = 1;  // each runs beams of its own; the best line of any wins
    // In modes 1 and 3, plan each thread's beams on its own sample of the
    // columns to come (drawn from the search's own generator, seeded by the
    // board) instead of counting them empty; the first move of each
    // thread's line is then scored by the best line every sample found
    // through it, and the best total wins.
    // Only the first move of such a line meets the board as it will be.
    bool sample_incoming = false;
    // Raised from another thread: the search stops within a millisecond or
    // so and returns what it has (perhaps greedy play's line).
    const std::atomic<bool>* cancel = nullptr;
    // The memory its threads share (see SEARCH_MEMORY_BYTES).
    size_t memory_bytes = SEARCH_MEMORY_BYTES;
};

// The cores this machine has (at least 1).
int cores();

// The best line found within the limits. It takes no draw from the game's
// generator, nor looks at it: in modes 1 and 3 it plans on the board as
// shown, the columns that will come in counted as empty (they score
// nothing) or, with sample_incoming, drawn from its own generator; either
// way only the first move is sure to meet the board it planned for. Nor
// does it count the bonus there: every emptied column is refilled, so those
// boards never empty. Deterministic except for where the time runs out.
SolverLine solve_board(const ColourBoard& start, int mode, const SolverLimits& limits);

// The search at one beam width (a beam for each way the mode ranks), with
// no time limit: the same line every time.
SolverLine solve_board_width(const ColourBoard& start, int mode, int width);

// Always the largest group (the first in storage order among equals).
SolverLine greedy_line(const ColourBoard& start, int mode);

// Pops the group at (column, row) through the board rules, as the solver
// plans it; returns its points, or -1 when no group of two or more is there.
int32_t play_move(ColourBoard& on, int mode, int column, int row);
