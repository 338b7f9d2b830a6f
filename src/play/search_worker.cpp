// One worker thread per search, owned and joined by the main thread.
#include "play/search_worker.h"

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// A search runs only where nothing else wants the processor: the frame
// loop, the library's timer thread and the X server come first. At the
// game's own priority, a hint's search on both cores of a busy two-core
// machine cost the frames a tenth of their rate while H was pressed four
// times a second (a search of 5 ms cost nothing). Threads the search
// starts inherit the policy. Where the idle policy is refused, the lowest
// priority instead.
constexpr int SEARCH_NICENESS = 19;

void yield_to_the_frames()
{
    sched_param idle{};
    if (pthread_setschedparam(pthread_self(), SCHED_IDLE, &idle) != 0)
        setpriority(PRIO_PROCESS, id_t(syscall(SYS_gettid)), SEARCH_NICENESS);
}

} // namespace

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
        yield_to_the_frames();
        worker.line = solve_board(worker.board, worker.mode, worker.limits);
        worker.done.store(true, std::memory_order_release);
    });
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
