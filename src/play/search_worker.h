// A search on a thread of its own, beside the frame loop, so that the frames
// never wait for it: the hint's and the best line's. Owned by the main
// thread: started on a copy of a board, stopped by a flag the search polls,
// always joined on the main thread (at the latest when the program ends).
#pragma once
#include <atomic>
#include <thread>

#include "board/board.h"
#include "solver/solver.h"

struct SearchWorker {
    std::thread thread;
    bool requested = false;  // the main thread's own: asked for, not yet collected or cancelled
    std::atomic<bool> cancel{false};
    std::atomic<bool> done{false};
    // Written by the worker before `done` is raised, read after.
    ColourBoard board{};
    int mode = 0;
    SolverLimits limits;
    SolverLine line;

    // The program may end with a search in flight: it is stopped and joined
    // here rather than left to end the program abruptly.
    ~SearchWorker();
};

// Starts a search of this board in this mode; one still running is cancelled
// first. The search reads nothing else of the game's (its board, its
// generator) and calls nothing of the library.
void search_start(SearchWorker& worker, const ColourBoard& board, int mode, const SolverLimits& limits);
// Once the search has ended: true, its thread joined and its line in
// worker.line; the search is collected. False while it runs or when none
// was asked for. Never waits.
bool search_collect(SearchWorker& worker);
// Stops a search still running and waits for its thread (about a
// millisecond); nothing is collected from it.
void search_cancel(SearchWorker& worker);
// Waits for the search to end by itself (tests only).
void search_wait(SearchWorker& worker);
