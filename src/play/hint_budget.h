// What the hint's search may spend: its group is shown within 100 ms of the key.
#pragma once
#include "solver/solver.h"

constexpr int HINT_BUDGET_MS = 80;
// Shared by its threads: the game, a best line and a hint together stay
// within 16 MB. An 80 ms search seldom reaches the widths this stops.
constexpr size_t HINT_MEMORY_BYTES = size_t(4) << 20;

// HINT_BUDGET_MS on every core within HINT_MEMORY_BYTES, planning for
// the columns to come.
SolverLimits hint_limits();
