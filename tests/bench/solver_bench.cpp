// The solver against greedy play on the 40 benchmark deals, modes 0 and 2.
// Run by hand: build/tests/solver_bench [budget_ms ...] (default 10 100 1000).
// Slowest is the longest single board, in milliseconds.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "board/board.h"
#include "board/random.h"
#include "board/modes.h"
#include "solver/solver.h"

namespace {

constexpr int DEALS = 40;

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

void print(const char* mode, const char* player, const Tally& t, int deals)
{
    std::printf("%-12s %-8s %8.1f %6d %7d %4d/%d %12.0f %8.1f\n", mode, player, double(t.total) / deals, t.lowest,
                t.highest, t.cleared, deals, t.seconds > 0 ? double(t.positions) / t.seconds : 0.0, t.slowest * 1000);
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<int> budgets;
    for (int a = 1; a < argc; ++a)
        budgets.push_back(std::atoi(argv[a]));
    if (budgets.empty())
        budgets = {10, 100, 1000};
    const int deals = DEALS;
    std::vector<ColourBoard> boards;
    for (int i = 0; i < deals; ++i)
        boards.push_back(deal(i));

    std::printf("%-12s %-8s %8s %6s %7s %7s %12s %8s\n", "mode", "player", "average", "lowest", "highest", "cleared",
                "positions/s", "slowest");
    const struct {
        int mode;
        const char* name;
    } modes[] = {{MODE_TRADITIONAL, "Traditional"}, {MODE_SHIFTER, "Shifter"}};
    for (const auto& m : modes) {
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
                const SolverLine line = solve_board(b, m.mode, budget);
                add(beam, line, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
            }
            char label[32];
            std::snprintf(label, sizeof label, "%d ms", budget);
            print(m.name, label, beam, deals);
        }
    }
    return 0;
}
