// The search's entry point: its threads, the samples of the columns to come
// they plan on, and the choice among their lines.
//
// Threads: each runs its own beams with its share of the mode's ways to
// rank, or in Shifter its share of the first pops (solver.cpp), and the
// best line wins, ties to the lowest thread: with a budget of positions
// the result does not depend on timing. In the modes
// that refill, a hint plans on columns drawn from the search's own
// generator, a sample for each thread, rather than on empty ones; the first
// moves of the threads' lines are then compared by the best line each
// sample found through them. Planned with empty columns the search aimed to
// empty the board, a game that cannot happen there, and the hint alone
// ended its games in 90 pops; planning on sampled ones keeps a game going
// for hundreds.
#include <algorithm>
#include <limits>
#include <thread>

#include "board/modes.h"
#include "solver/search.h"

namespace {

// The columns to come that a sampling search imagines; past them the board
// plays out as if the rest came in empty, so every line ends.
constexpr int SAMPLED_COLUMNS = 12;

// The search's own generator for the columns to come (splitmix64): never
// the game's, which the search must not draw from or look at.
uint64_t next_private(uint64_t& state)
{
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

struct Thread {
    ThreadBudget budget;
    std::vector<uint8_t> sample;
    int32_t first_best[BOARD_CELLS] = {};
    SolverLine line;
};

} // namespace

int cores() { return std::max(1, int(std::thread::hardware_concurrency())); }

SolverLine solve_board(const ColourBoard& start, int mode, const SolverLimits& limits)
{
    const int threads = std::max(1, limits.threads);
    const bool sampling = limits.sample_incoming && refills_from_left(mode);
    // Each thread holds its share of the search's memory.
    const size_t most_width = width_within(limits.memory_bytes / size_t(threads));
    std::vector<Thread> all(static_cast<size_t>(threads));
    for (int t = 0; t < threads; ++t) {
        Thread& one = all[size_t(t)];
        one.budget.mode = mode;
        one.budget.by_positions = limits.positions != 0;
        one.budget.deadline = one.budget.by_positions ? double(limits.positions) : limits.budget_ms / 1000.0;
        one.budget.began = std::chrono::steady_clock::now();
        one.budget.cancel = limits.cancel;
        one.budget.most_width = most_width;
        if (sampling) {
            uint64_t state = fast_hash(fast_board_of(start)) + uint64_t(t);
            for (int i = 0; i < SAMPLED_COLUMNS * BOARD_ROWS; ++i)
                one.sample.push_back(uint8_t(next_private(state) % colour_count + 1));
            one.budget.incoming = Incoming{one.sample.data(), SAMPLED_COLUMNS};
        }
    }
    const auto run = [&](int t) {
        Thread& one = all[size_t(t)];
        one.line = search_one_thread(start, one.budget, t, threads, one.first_best);
    };
    std::vector<std::thread> helpers;
    for (int t = 1; t < threads; ++t)
        helpers.emplace_back(run, t);
    run(0);
    for (std::thread& helper : helpers)
        helper.join();

    // The best line; among equals the lowest thread's, so that a search by
    // positions gives the same line every time. Sampled, each line's first
    // move is scored by the best line through it on every thread's sample.
    uint64_t positions = 0;
    size_t pick = 0;
    int64_t pick_value = std::numeric_limits<int64_t>::min();
    for (size_t t = 0; t < all.size(); ++t) {
        const SolverLine& line = all[t].line;
        positions += line.positions;
        int64_t value = line.score;
        if (sampling && !line.moves.empty()) {
            const int first = line.moves.front().column * BOARD_ROWS + line.moves.front().row;
            value = 0;
            for (const Thread& other : all)
                value += other.first_best[first];
        }
        if (value > pick_value) {
            pick = t;
            pick_value = value;
        }
    }
    SolverLine best = std::move(all[pick].line);
    best.positions = positions;
    return best;
}
