// What the hint's search may spend: its group is shown within 100 ms of the
// key. A header alone, so that the solver's bench, which links only the
// rules and the search, plays with the game's own hint.
#pragma once
#include <cstddef>

#include "solver/solver.h"

constexpr int HINT_BUDGET_MS = 80;
// Shared by its threads: the game, a best line and a hint together stay
// within 16 MB. An 80 ms search seldom reaches the widths this stops.
constexpr size_t HINT_MEMORY_BYTES = size_t(4) << 20;

// HINT_BUDGET_MS on every core within HINT_MEMORY_BYTES, planning for the
// columns to come.
inline SolverLimits hint_limits()
{
    SolverLimits limits;
    limits.budget_ms = HINT_BUDGET_MS;
    limits.threads = cores();
    limits.sample_incoming = true;
    limits.memory_bytes = HINT_MEMORY_BYTES;
    return limits;
}
