// The hint's search, run beside the frame loop on a thread of its own so
// that the frames never wait for it.
#pragma once

#include "board/board.h"
#include "play/hint_budget.h"
#include "solver/solver.h"

// Starts a search on this copy of the board, for the mode given; a search
// still running is cancelled first. The search reads nothing else of the
// game's (its board, its generator) and calls nothing of the library.
void hint_request(const ColourBoard& shown, int mode);
// True while a search asked for has not been cancelled or collected.
bool hint_pending();
// Once the search has ended: true, and its first move, when it found one
// for the board still shown; the search is then collected either way.
// False while it runs. Never waits.
bool hint_collect(const ColourBoard& shown, SolverMove& first);
// Stops a search still running and waits for its thread (about a
// millisecond); nothing is collected from it.
void hint_cancel();
// Waits for the search to end by itself (tests only).
void hint_wait();
