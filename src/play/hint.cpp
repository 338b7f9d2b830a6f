// The hint's search: one search worker, asked for by H.
#include "play/hint.h"

#include <cstring>

#include "play/search_worker.h"

namespace {
SearchWorker hint;
}

void hint_request(const ColourBoard& shown, int mode) { search_start(hint, shown, mode, hint_limits()); }

bool hint_pending() { return hint.requested; }

bool hint_collect(const ColourBoard& shown, SolverMove& first)
{
    if (!search_collect(hint) || hint.line.moves.empty()
        || std::memcmp(&shown, &hint.board, sizeof shown) != 0)
        return false;
    first = hint.line.moves.front();
    return true;
}

void hint_cancel() { search_cancel(hint); }

void hint_wait() { search_wait(hint); }
