// What the hint's search may spend: its group is shown within 100 ms of the key.
#pragma once
#include "solver/solver.h"

constexpr int HINT_BUDGET_MS = 80;

// HINT_BUDGET_MS on every core, planning for the columns to come.
SolverLimits hint_limits();
