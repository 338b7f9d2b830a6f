// The best line of each deal, searched beside the frames when a board is
// dealt: what the statistics compare a finished game with, and what W
// watches. Only in the modes that bring in no columns; in the others the
// columns to come make a best line unknowable.
#pragma once
#include <array>
#include <cstdint>

#include "board/board.h"
#include "solver/solver.h"

// How long the search may take, on a core of its own.
constexpr int BEST_LINE_BUDGET_MS = 2000;
// What it may hold, so that the game with a hint searching beside it stays
// within 16 MB: beams of up to about 13,000 positions. In Shifter, whose
// beams widen late, that costs a little (at 2.5 million positions, 10 deals:
// 929 on average against 936 unbounded; 4 MB gave 922); Traditional's beams
// stay narrower and lose nothing.
constexpr size_t BEST_LINE_MEMORY_BYTES = size_t(6) << 20;

// Starts the search on the deal's colours; a search still running is
// stopped first. It reads nothing else of the game and takes no draw.
void best_line_search(const std::array<uint8_t, BOARD_CELLS>& deal, int mode);
// The line found, once the search for the deal has ended, in this mode;
// false while it runs, for a mode it was not searched in, or when no search
// was made.
bool best_line_found(int mode, SolverLine& line);
// Waits for the search to end by itself (tests only).
void best_line_wait();
