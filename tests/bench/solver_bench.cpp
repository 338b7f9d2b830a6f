// The solver against greedy play on the 40 benchmark deals, modes 0 and 2.
// Run by hand: build/tests/solver_bench [--threads N] [--mode M] [--deals N]
// [--unseen | --first N] [budget_ms ...] (default: every core; budgets 10 100 1000).
// Mean is the time a board took on average and slowest the longest, in
// milliseconds; peak is the most
// memory the bench has held so far (resident, in MB: run one budget alone
// to see its own). --deals N takes the first N deals only (for long
// budgets); --unseen plays 40 other deals, which no test and no tuning of
// the search has used, to check that its strength is not the benchmark's
// alone; --first N plays the deals from N on (a third set, for tuning
// without touching either). With --positions N (boards settled per thread) instead of budgets
// the results are the same on every run, for comparing variants of the
// search.
//
// build/tests/solver_bench --alone [--positions N] [--mode M] [DEALS]: a game
// played by the hint alone (H then Space, to the end) against greedy play, in
// Continous and Megashifter (or mode M alone), from each of the first DEALS
// deals (all 40 by default) to its end; positions is what a hint's search
// settled on each thread, on average. The columns that come in
// are drawn from the bench's own generator, started afresh for each deal:
// every player meets the same columns in the same order.
//
// build/tests/solver_bench --cancel [--threads N] [--memory MB]: how long a
// running search takes to stop once cancelled, as the game's hint and best
// line cancel theirs: a search of a minute on each deal in modes 0 and 2,
// cancelled after 10 ms to 2 s. The game's searches hold 4 MB (--memory 4;
// the best line on one thread), zorbl-solve's 48 (the default). --memory
// gives the other rows' searches that share too.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include <sys/resource.h>

#include "board/board.h"
#include "board/groups.h"
#include "board/modes.h"
#include "board/points.h"
#include "board/random.h"
#include "board/settle.h"
#include "play/hint_budget.h"
#include "solver/solver.h"

namespace {

constexpr int DEALS = 40;
// The first of the 40 deals --unseen plays: far past the benchmark's own.
constexpr int UNSEEN_FIRST = 100;

// Deal i is the board the game deals after 1490 + 80 i draws: deal 0 is the
// first board after the full intro.
ColourBoard deal(int i)
{
    random_restart();
    for (int d = 0; d < 1490 + 80 * i; ++d)
        random_next();
    fill_board();
    return colours_of(board);
}

struct Tally {
    long total = 0;
    int lowest = 1 << 30;
    int highest = 0;
    int cleared = 0;
    uint64_t positions = 0;
    double seconds = 0;
    double slowest = 0;
};

void add(Tally& t, const SolverLine& line, double seconds)
{
    t.total += line.score;
    t.lowest = std::min<int>(t.lowest, line.score);
    t.highest = std::max<int>(t.highest, line.score);
    t.cleared += line.cleared;
    t.positions += line.positions;
    t.seconds += seconds;
    t.slowest = std::max(t.slowest, seconds);
}

// The most resident memory this process has held, in MB.
double peak_mb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024;
}

void print(const char* mode, const char* player, const Tally& t, int deals)
{
    std::printf("%-12s %-8s %8.1f %6d %7d %4d/%d %12.0f %8.1f %8.1f %6.1f\n", mode, player, double(t.total) / deals,
                t.lowest, t.highest, t.cleared, deals, t.seconds > 0 ? double(t.positions) / t.seconds : 0.0,
                t.seconds * 1000 / deals, t.slowest * 1000, peak_mb());
    std::fflush(stdout);
}

// Searches of a minute, each cancelled after a while (spread from 10 ms to
// 2 s, so that cancels meet beams of every width); the time from the cancel
// to the search's return, as the game waits for it.
int cancel_times(const std::vector<ColourBoard>& boards, const SolverLimits& given)
{
    std::vector<double> waits;
    int ended_first = 0;
    for (int mode : {MODE_TRADITIONAL, MODE_SHIFTER}) {
        for (size_t i = 0; i < boards.size(); ++i) {
            std::atomic<bool> cancel{false};
            SolverLimits limits = given;
            limits.budget_ms = 60000;
            limits.positions = 0;
            limits.cancel = &cancel;
            std::atomic<bool> ended{false};
            std::thread search([&] {
                solve_board(boards[i], mode, limits);
                ended = true;
            });
            const int after_ms = 10 + int((i * 7919 + size_t(mode) * 104729) % 1990);
            std::this_thread::sleep_for(std::chrono::milliseconds(after_ms));
            const auto t0 = std::chrono::steady_clock::now();
            const bool running = !ended;
            cancel = true;
            search.join();
            const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
            // A search whose beams reached the width its memory allows may
            // have ended by itself: there was nothing to stop.
            if (running)
                waits.push_back(ms);
            else
                ++ended_first;
            std::fprintf(stderr, "mode %d deal %zu: cancelled after %d ms, %s in %.3f ms\n", mode, i, after_ms,
                         running ? "stopped" : "had ended; joined", ms);
        }
    }
    if (waits.empty()) {
        std::printf("cancel to stop: every search had ended by itself before its cancel\n");
        return 0;
    }
    std::sort(waits.begin(), waits.end());
    const auto at = [&waits](double q) { return waits[std::min(waits.size() - 1, size_t(q * double(waits.size())))]; };
    std::printf("cancel to stop, %zu searches on %d thread%s in %.0f MB (%d more had ended): median %.3f ms, "
                "95th percentile %.3f ms, most %.3f ms; peak %.1f MB\n",
                waits.size(), given.threads, given.threads == 1 ? "" : "s", double(given.memory_bytes) / (1 << 20),
                ended_first, at(0.5), at(0.95), waits.back(), peak_mb());
    return 0;
}

// The largest group on the game's board (the first in storage order among
// equals), as greedy_line picks.
bool greedy_move(SolverMove& move)
{
    int best = 0;
    for (int c = 0; c < BOARD_COLUMNS; ++c) {
        for (int r = 0; r < BOARD_ROWS; ++r) {
            if (board.at(c, r).colour == 0 || board.at(c, r).marked)
                continue;
            const int size = find_group(c, r);
            if (size > best && size >= 2) {
                best = size;
                move = SolverMove{c, r, group_points(size)};
            }
        }
    }
    clear_marks();
    return best >= 2;
}

// One game from deal i to its end on the game's board, settled by the rules
// with their refill; the incoming columns come from the generator restarted
// at a state fixed by the deal alone.
struct Game {
    int32_t score;
    int pops;
};
template <class Pick>
Game play_alone(const ColourBoard& dealt, int i, int mode, Pick pick)
{
    for (int cell = 0; cell < BOARD_CELLS; ++cell)
        board.cells[cell] = Cell{dealt.cells[cell].colour, 0, 0, 0, 0, 0};
    random_restart(uint32_t(0x5EED0000u + i));
    Game game{0, 0};
    SolverMove move{};
    while (pick(move)) {
        clear_marks();
        const int size = find_group(move.column, move.row);
        empty_group(board, marked_cells(board));
        settle_board(board, mode, false);
        clear_marks();
        game.score += group_points(size);
        ++game.pops;
    }
    return game;
}

int hint_alone(int deals, const SolverLimits& limits, int only_mode)
{
    std::vector<ColourBoard> boards;
    for (int i = 0; i < deals; ++i)
        boards.push_back(deal(i));
    std::printf("%-12s %-8s %8s %6s %7s %7s %8s %12s\n", "mode", "player", "average", "lowest", "highest", "pops",
                "seconds", "positions");
    for (int mode : {MODE_CONTINOUS, MODE_MEGASHIFTER}) {
        if (only_mode >= 0 && mode != only_mode)
            continue;
        for (int player = 0; player < 2; ++player) {
            uint64_t positions = 0;
            long searches = 0;
            long total = 0;
            long pops = 0;
            int lowest = 1 << 30;
            int highest = 0;
            const auto t0 = std::chrono::steady_clock::now();
            for (int i = 0; i < deals; ++i) {
                const Game g = player == 0 ? play_alone(boards[size_t(i)], i, mode, greedy_move)
                                           : play_alone(boards[size_t(i)], i, mode, [&](SolverMove& m) {
                                                 const SolverLine line = solve_board(colours_of(board), mode, limits);
                                                 positions += line.positions;
                                                 ++searches;
                                                 if (line.moves.empty())
                                                     return false;
                                                 m = line.moves.front();
                                                 return true;
                                             });
                total += g.score;
                pops += g.pops;
                lowest = std::min<int>(lowest, g.score);
                highest = std::max<int>(highest, g.score);
                std::fprintf(stderr, "%s deal %d: %d in %d pops\n", player == 0 ? "greedy" : "hint", i, g.score, g.pops);
            }
            const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
            // Positions: the boards a search settled on each thread, on average.
            std::printf("%-12s %-8s %8.1f %6d %7d %7.1f %8.1f %12.0f\n", MODE_NAMES[mode],
                        player == 0 ? "greedy" : "hint", double(total) / deals, lowest, highest, double(pops) / deals,
                        seconds, searches > 0 ? double(positions) / double(searches) / limits.threads : 0.0);
            std::fflush(stdout);
        }
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<int> budgets;
    bool alone = false;
    bool cancel = false;
    bool unseen = false;
    int first = -1;  // --first N
    int deals = DEALS;
    int only_mode = -1;  // --mode N: that mode alone (0 or 2; with --alone, 1 or 3)
    SolverLimits limits;
    limits.threads = cores();
    for (int a = 1; a < argc; ++a) {
        const std::string arg = argv[a];
        if (arg == "--threads" && a + 1 < argc)
            limits.threads = std::atoi(argv[++a]);
        else if (arg == "--positions" && a + 1 < argc)
            limits.positions = std::strtoull(argv[++a], nullptr, 10);
        else if (arg == "--mode" && a + 1 < argc)
            only_mode = std::atoi(argv[++a]);
        else if (arg == "--alone")
            alone = true;
        else if (arg == "--memory" && a + 1 < argc)
            limits.memory_bytes = size_t(std::max(1, std::atoi(argv[++a]))) << 20;
        else if (arg == "--cancel")
            cancel = true;
        else if (arg == "--unseen")
            unseen = true;
        else if (arg == "--first" && a + 1 < argc)
            first = std::max(0, std::atoi(argv[++a]));
        else if (arg == "--deals" && a + 1 < argc)
            deals = std::max(1, std::atoi(argv[++a]));
        else
            budgets.push_back(std::atoi(argv[a]));
    }
    if (alone) {
        // The hint as the game asks for it, unless told otherwise.
        SolverLimits hint = hint_limits();
        hint.positions = limits.positions;
        if (limits.threads != cores())
            hint.threads = limits.threads;
        return hint_alone(budgets.empty() ? DEALS : budgets[0], hint, only_mode);
    }
    if (limits.positions != 0)
        budgets = {0};
    else if (budgets.empty())
        budgets = {10, 100, 1000};
    const int first_deal = first >= 0 ? first : unseen ? UNSEEN_FIRST : 0;
    std::vector<ColourBoard> boards;
    for (int i = 0; i < deals; ++i)
        boards.push_back(deal(first_deal + i));
    if (cancel)
        return cancel_times(boards, limits);
    std::printf("%d thread%s, deals %d to %d%s\n", limits.threads, limits.threads == 1 ? "" : "s", first_deal,
                first_deal + deals - 1, first < 0 && unseen ? " (unseen)" : "");

    std::printf("%-12s %-8s %8s %6s %7s %7s %12s %8s %8s %6s\n", "mode", "player", "average", "lowest", "highest",
                "cleared", "positions/s", "mean", "slowest", "peak");
    const struct {
        int mode;
        const char* name;
    } modes[] = {{MODE_TRADITIONAL, "Traditional"}, {MODE_SHIFTER, "Shifter"}};
    for (const auto& m : modes) {
        if (only_mode >= 0 && m.mode != only_mode)
            continue;
        Tally greedy;
        for (const ColourBoard& b : boards) {
            const auto t0 = std::chrono::steady_clock::now();
            const SolverLine line = greedy_line(b, m.mode);
            add(greedy, line, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
        }
        print(m.name, "greedy", greedy, deals);
        for (int budget : budgets) {
            Tally beam;
            for (const ColourBoard& b : boards) {
                const auto t0 = std::chrono::steady_clock::now();
                limits.budget_ms = budget;
                const SolverLine line = solve_board(b, m.mode, limits);
                add(beam, line, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
            }
            char label[32];
            if (limits.positions != 0)
                std::snprintf(label, sizeof label, "%lluk pos", (unsigned long long)(limits.positions / 1000));
            else
                std::snprintf(label, sizeof label, "%d ms", budget);
            print(m.name, label, beam, deals);
        }
    }
    return 0;
}
