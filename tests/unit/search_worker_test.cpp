// The search beside the frames, driven as the frame loop drives it: asked
// for, cancelled and collected in a tight loop, several at once, the board
// changing between them. Built with the thread sanitizer in CI, where a
// race between the worker and the loop fails it.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <future>
#include <random>
#include <thread>

#include <pthread.h>
#include <time.h>

#include "board/board.h"
#include "board/groups.h"
#include "board/modes.h"
#include "board/points.h"
#include "play/search_worker.h"
#include "solver/solver.h"

namespace {

ColourBoard random_board(std::mt19937& pick)
{
    ColourBoard b{};
    for (ColourCell& cell : b.cells)
        cell.colour = uint8_t(1 + pick() % 5);
    return b;
}

// The player's pop: a group found from a random cell on, or a fresh board
// when none is left.
void player_pops(ColourBoard& shown, int mode, std::mt19937& pick)
{
    const int from = int(pick() % BOARD_CELLS);
    for (int i = 0; i < BOARD_CELLS; ++i) {
        const int cell = (from + i) % BOARD_CELLS;
        ColourBoard after = shown;
        if (play_move(after, mode, cell / BOARD_ROWS, cell % BOARD_ROWS) >= 0) {
            shown = after;
            return;
        }
    }
    shown = random_board(pick);
}

// A collected line belongs to the board and mode last asked for: its first
// pop is a group there, and unless it planned for samples of the columns to
// come, the whole line plays through the rules and adds up to its score.
void expect_line_of(const SearchWorker& w, const ColourBoard& asked, int mode, bool sampled)
{
    ASSERT_EQ(std::memcmp(&w.board, &asked, sizeof asked), 0) << "the hint answers a board the player has left";
    ASSERT_EQ(w.mode, mode);
    ColourBoard on = asked;
    int32_t total = 0;
    for (const SolverMove& m : w.line.moves) {
        ASSERT_EQ(play_move(on, mode, m.column, m.row), m.points) << "mode " << mode << ": a pop of the line is no group";
        total += m.points;
        if (sampled)
            return;
    }
    EXPECT_EQ(w.line.score, total + (w.line.cleared ? EMPTY_BOARD_BONUS : 0)) << "mode " << mode;
    if (!refills_from_left(mode)) {
        EXPECT_EQ(bool(board_empty(on)), w.line.cleared) << "mode " << mode;
    }
}

} // namespace

TEST(SearchWorker, HintsAskedCancelledAndCollectedEveryFrameAnswerTheBoardAskedAbout)
{
    constexpr int WORKERS = 3;
    constexpr int FRAMES = 300;
    SearchWorker workers[WORKERS];
    ColourBoard asked[WORKERS]{};
    int asked_mode[WORKERS]{};
    bool asked_sampled[WORKERS]{};
    std::mt19937 pick(27);
    ColourBoard shown = random_board(pick);
    int starts = 0, cancels = 0, collected = 0;
    for (int frame = 0; frame < FRAMES; ++frame) {
        const int i = frame % WORKERS;
        SearchWorker& w = workers[i];
        const int mode = frame / WORKERS % MODE_COUNT;
        switch (pick() % 4) {
        case 0: {
            SolverLimits limits;
            limits.budget_ms = 2 + int(pick() % 8);
            limits.threads = 1 + int(pick() % 2);
            limits.sample_incoming = refills_from_left(mode) && pick() % 2 == 0;
            search_start(w, shown, mode, limits);
            asked[i] = shown;
            asked_mode[i] = mode;
            asked_sampled[i] = limits.sample_incoming;
            ++starts;
            break;
        }
        case 1:
            search_cancel(w);
            EXPECT_FALSE(search_collect(w)) << "a cancelled hint was shown";
            ++cancels;
            break;
        default:
            if (search_collect(w)) {
                expect_line_of(w, asked[i], asked_mode[i], asked_sampled[i]);
                EXPECT_FALSE(search_collect(w)) << "one hint was shown twice";
                ++collected;
            }
        }
        if (pick() % 3 == 0)
            player_pops(shown, mode, pick);
    }
    for (int i = 0; i < WORKERS; ++i) {
        const bool pending = workers[i].requested;
        search_wait(workers[i]);
        EXPECT_EQ(search_collect(workers[i]), pending);
        if (pending)
            expect_line_of(workers[i], asked[i], asked_mode[i], asked_sampled[i]);
    }
    EXPECT_GT(starts, FRAMES / 8);
    EXPECT_GT(cancels, FRAMES / 8);
    EXPECT_GT(collected, 0) << "no search ended in time to be collected";
}

TEST(SearchWorker, ACancelledSearchStopsLongBeforeItsBudget)
{
    std::mt19937 pick(28);
    SearchWorker w;
    SolverLimits limits;
    limits.budget_ms = 120000;
    limits.threads = 2;
    search_start(w, random_board(pick), MODE_TRADITIONAL, limits);
    // Cancelled once the search has worked a while (its thread's processor
    // time), polling its flag all along: the thread sanitizer then sees
    // both sides of the flag.
    clockid_t worked;
    ASSERT_EQ(pthread_getcpuclockid(w.thread.native_handle(), &worked), 0);
    timespec used{};
    while (clock_gettime(worked, &used) == 0 && used.tv_sec == 0 && used.tv_nsec < 50'000'000)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    // The frame loop's cancel, watched from here: a search that ignored it
    // would hold the join for its whole two minutes. The bound leaves room
    // for a busy machine, where the search (at the idle policy) waits its turn.
    std::future<void> cancelled = std::async(std::launch::async, [&w] { search_cancel(w); });
    EXPECT_EQ(cancelled.wait_for(std::chrono::seconds(40)), std::future_status::ready)
        << "a new game waited for the hint of the old one to run out its two minutes";
    cancelled.wait();
    EXPECT_FALSE(search_collect(w));
}
