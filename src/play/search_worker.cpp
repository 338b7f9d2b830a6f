// One worker thread per search, owned and joined by the main thread.
#include "play/search_worker.h"

SearchWorker::~SearchWorker()
{
    cancel = true;
    if (thread.joinable())
        thread.join();
}

void search_start(SearchWorker& worker, const ColourBoard& board, int mode, const SolverLimits& limits)
{
    search_cancel(worker);
    worker.board = board;
    worker.mode = mode;
    worker.limits = limits;
    worker.limits.cancel = &worker.cancel;
    worker.line = SolverLine{};
    worker.cancel = false;
    worker.done = false;
    worker.requested = true;
    worker.thread = std::thread([&worker] {
        worker.line = solve_board(worker.board, worker.mode, worker.limits);
        worker.done.store(true, std::memory_order_release);
    });
}

bool search_running(const SearchWorker& worker)
{
    return worker.requested && !worker.done.load(std::memory_order_acquire);
}

bool search_collect(SearchWorker& worker)
{
    if (!worker.requested || !worker.done.load(std::memory_order_acquire))
        return false;
    search_wait(worker);
    worker.requested = false;
    return true;
}

void search_cancel(SearchWorker& worker)
{
    worker.requested = false;
    worker.cancel = true;
    search_wait(worker);
}

void search_wait(SearchWorker& worker)
{
    if (worker.thread.joinable())
        worker.thread.join();
}
