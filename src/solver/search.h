// Between the search of one thread (solver.cpp) and what runs the threads
// and draws their samples (threads.cpp): not for callers outside the solver.
#pragma once
#include <atomic>
#include <chrono>

#include "board/board.h"
#include "solver/fast_board.h"
#include "solver/solver.h"

// What one thread's search is given.
struct ThreadBudget {
    int mode = 0;
    // Seconds of wall-clock time from `began`, or, when by_positions, boards settled.
    bool by_positions = false;
    double deadline = 0;
    std::chrono::steady_clock::time_point began;
    const std::atomic<bool>* cancel = nullptr;
    Incoming incoming;  // the sample of the columns to come, or none
    size_t most_width = 0;  // the widest beam it may keep (see SEARCH_MEMORY_BYTES)
};

// Beams widened until the budget is spent, ranked the ways thread `thread`
// of `threads` takes (in Shifter, from the first pops that thread takes).
// first_best[cell] ends as the best score of any line found whose first pop
// holds that cell (0 when none; in Shifter an ending counts as found only
// when it beat the best line so far). Draws nothing.
SolverLine search_one_thread(const ColourBoard& start, const ThreadBudget& budget, int thread, int threads,
                             int32_t (&first_best)[BOARD_CELLS]);

// The tiles that have a tile of their own colour as a diagonal neighbour:
// a term of Shifter's ranking (the pair often meets after one pop).
int diagonal_tiles(const FastBoard& b);

// The widest beam a thread may keep within `bytes`.
size_t width_within(size_t bytes);
