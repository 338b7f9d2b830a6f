// One worker thread at a time, owned by the main thread: started by a
// request, stopped by a cancel flag the search polls, always joined on the
// main thread (at the latest when the program exits).
#include "play/hint.h"

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <thread>

namespace {

struct HintSearch {
    std::thread worker;
    bool requested = false;  // the main thread's own: asked for, not yet collected or cancelled
    std::atomic<bool> cancel{false};
    std::atomic<bool> done{false};
    // Written by the worker before `done` is raised, read after.
    ColourBoard board{};
    int mode = 0;
    bool found = false;
    SolverMove first{};

    // The program may end with a search in flight: it is stopped and
    // joined here rather than left to end the program abruptly.
    ~HintSearch()
    {
        cancel = true;
        if (worker.joinable())
            worker.join();
    }
};

HintSearch hint;

// The search runs only where nothing else wants the processor: the frame
// loop, the library's timer thread and the X server come first. At the
// game's own priority, a search on both cores of a busy two-core machine
// cost the frames a tenth of their rate while H was pressed four times a
// second (a search of 5 ms cost nothing). Threads the search starts
// inherit the policy. Where the idle policy is refused, a lower priority.
constexpr int HINT_NICENESS = 19;

void run_search()
{
    sched_param idle{};
    if (pthread_setschedparam(pthread_self(), SCHED_IDLE, &idle) != 0)
        setpriority(PRIO_PROCESS, id_t(syscall(SYS_gettid)), HINT_NICENESS);
    hint.found = hint_move(hint.board, hint.mode, hint.first, &hint.cancel);
    hint.done.store(true, std::memory_order_release);
}

} // namespace

void hint_request(const ColourBoard& shown, int mode)
{
    hint_cancel();
    hint.board = shown;
    hint.mode = mode;
    hint.found = false;
    hint.cancel = false;
    hint.done = false;
    hint.requested = true;
    hint.worker = std::thread(run_search);
}

bool hint_pending() { return hint.requested; }

bool hint_collect(const ColourBoard& shown, SolverMove& first)
{
    if (!hint.requested || !hint.done.load(std::memory_order_acquire))
        return false;
    hint_wait();
    hint.requested = false;
    if (!hint.found || std::memcmp(&shown, &hint.board, sizeof shown) != 0)
        return false;
    first = hint.first;
    return true;
}

void hint_cancel()
{
    hint.requested = false;
    hint.cancel = true;
    hint_wait();
}

void hint_wait()
{
    if (hint.worker.joinable())
        hint.worker.join();
}
