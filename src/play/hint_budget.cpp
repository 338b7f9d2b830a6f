// The hint's search budget: the rules and the search only, so that the
// solver's bench plays with the game's own hint.
#include "play/hint_budget.h"

SolverLimits hint_limits()
{
    SolverLimits limits;
    limits.budget_ms = HINT_BUDGET_MS;
    limits.threads = cores();
    limits.sample_incoming = true;
    limits.memory_bytes = HINT_MEMORY_BYTES;
    return limits;
}
