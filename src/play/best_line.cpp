// The best line of the deal: one search per deal, on a core of its own.
#include "play/best_line.h"

#include "board/modes.h"
#include "play/search_worker.h"

namespace {

SearchWorker search;
// The deal's line once the search has ended, and the mode it was found in.
bool found = false;
int found_mode = -1;
SolverLine found_line;

} // namespace

void best_line_search(const std::array<uint8_t, BOARD_CELLS>& deal, int mode)
{
    search_cancel(search);
    found = false;
    if (refills_from_left(mode))
        return;
    ColourBoard start{};
    for (int i = 0; i < BOARD_CELLS; ++i)
        start.cells[i].colour = deal[i] & 0x7F;
    SolverLimits limits;
    limits.budget_ms = BEST_LINE_BUDGET_MS;
    limits.threads = 1;
    limits.memory_bytes = BEST_LINE_MEMORY_BYTES;
    search_start(search, start, mode, limits);
}

bool best_line_found(int mode, SolverLine& line)
{
    if (search_collect(search)) {
        found = true;
        found_mode = search.mode;
        found_line = search.line;
    }
    if (!found || found_mode != mode)
        return false;
    line = found_line;
    return true;
}

void best_line_wait() { search_wait(search); }
