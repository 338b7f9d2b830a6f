// The solver: its line replays through the board rules and adds up, it takes
// no draw, and on boards small enough to try every line it finds the best.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>

#include "board/board.h"
#include "board/groups.h"
#include "board/modes.h"
#include "board/points.h"
#include "board/random.h"
#include "board/settle.h"
#include "solver/search.h"
#include "solver/solver.h"

namespace {

// The first board after the full intro.
ColourBoard first_deal()
{
    random_restart();
    for (int i = 0; i < 1490; ++i)
        random_next();
    fill_board();
    return colours_of(board);
}

// Replays moves through the rules on either kind of board; the points, or
// -1 from the first pop that is not a group of two or more worth its points.
template <class B, class Settle>
int32_t replay(B& on, const std::vector<SolverMove>& moves, Settle settle)
{
    int32_t total = 0;
    for (const SolverMove& m : moves) {
        for (auto& cell : on.cells)
            cell.marked = 0;
        if (on.at(m.column, m.row).colour == 0)
            return -1;
        const int size = find_group(on, m.column, m.row);
        if (size < 2 || group_points(size) != m.points)
            return -1;
        empty_group(on, marked_cells(on));
        settle(on);
        total += m.points;
    }
    return total;
}

// The most a board can score, every line tried.
int32_t best_by_trying_all(const ColourBoard& on, int mode, std::map<std::string, int32_t>& known)
{
    std::string key;
    for (const ColourCell& cell : on.cells)
        key += char('0' + cell.colour);
    if (known.count(key))
        return known[key];
    int32_t best = -1;
    ColourBoard counted = on;
    for (int c = 0; c < BOARD_COLUMNS; ++c) {
        for (int r = 0; r < BOARD_ROWS; ++r) {
            if (on.at(c, r).colour == 0 || counted.at(c, r).marked)
                continue;
            const int size = find_group(counted, c, r);
            if (size < 2)
                continue;
            ColourBoard child = on;
            const std::vector<SolverMove> pop{SolverMove{c, r, group_points(size)}};
            const int32_t points = replay(child, pop, [mode](ColourBoard& b) { settle_board(b, mode); });
            best = std::max(best, points + best_by_trying_all(child, mode, known));
        }
    }
    if (best < 0)
        best = board_empty(on) ? EMPTY_BOARD_BONUS : 0;
    return known[key] = best;
}

} // namespace

TEST(Solver, ItsLinePlaysThroughTheRulesAddsUpAndTakesNoDraw)
{
    for (int mode = 0; mode < MODE_COUNT; ++mode) {
        const ColourBoard start = first_deal();
        const uint64_t draws = random_draws();
        SolverLimits limits;
        limits.positions = 20000;
        limits.threads = 2;
        const SolverLine line = solve_board(start, mode, limits);
        EXPECT_EQ(random_draws(), draws) << "mode " << mode;
        // By positions, the same line on every run, threads or not.
        const SolverLine again = solve_board(start, mode, limits);
        ASSERT_EQ(again.moves.size(), line.moves.size()) << "mode " << mode;
        for (size_t m = 0; m < line.moves.size(); ++m)
            EXPECT_TRUE(again.moves[m].column == line.moves[m].column && again.moves[m].row == line.moves[m].row);
        EXPECT_GT(line.score, greedy_line(start, mode).score) << "mode " << mode;

        int32_t points;
        bool cleared = false;
        if (mode == MODE_TRADITIONAL || mode == MODE_SHIFTER) {
            // The game's own board, settled as in play.
            points = replay(board, line.moves, [mode](Board& b) { settle_board(b, mode, false); });
            cleared = board_empty(board);
            EXPECT_EQ(any_move_left(board), 0) << "mode " << mode << ": the line stops with a pair left";
        } else {
            // Planned with the incoming columns empty.
            ColourBoard planned = start;
            points = replay(planned, line.moves, [mode](ColourBoard& b) { settle_board(b, mode); });
            EXPECT_EQ(any_move_left(planned), 0) << "mode " << mode << ": the line stops with a pair left";
        }
        ASSERT_GE(points, 0) << "mode " << mode << ": a pop in the line is not a group";
        EXPECT_EQ(line.score, points + (cleared ? EMPTY_BOARD_BONUS : 0)) << "mode " << mode;
        EXPECT_EQ(line.cleared, cleared) << "mode " << mode;
    }
}

TEST(Solver, AHintPlanningForTheColumnsToComeTakesNoDrawAndStartsWithAGroup)
{
    for (int mode : {MODE_CONTINOUS, MODE_MEGASHIFTER}) {
        random_restart();
        fill_board();
        ColourBoard shown = colours_of(board);
        const uint64_t draws = random_draws();
        // As the hint searches: on two threads, each planning on its own sample.
        SolverLimits limits;
        limits.threads = 2;
        limits.sample_incoming = true;
        limits.positions = 20000;
        const SolverLine line = solve_board(shown, mode, limits);
        EXPECT_EQ(random_draws(), draws) << "mode " << mode;
        ASSERT_FALSE(line.moves.empty());
        const SolverMove first = line.moves.front();
        EXPECT_EQ(play_move(shown, mode, first.column, first.row), first.points) << "mode " << mode;
    }
}

TEST(Solver, FindsTheBestLineOnBoardsSmallEnoughToTryEveryLine)
{
    random_restart();
    for (int trial = 0; trial < 4; ++trial) {
        // Three colours in the bottom four rows of the five right columns.
        ColourBoard small{};
        for (int c = 5; c < BOARD_COLUMNS; ++c) {
            for (int r = BOARD_ROWS - 4; r < BOARD_ROWS; ++r)
                small.at(c, r).colour = uint8_t(random_next() % 3 + 1);
        }
        for (int mode : {MODE_TRADITIONAL, MODE_SHIFTER}) {
            std::map<std::string, int32_t> known;
            EXPECT_EQ(solve_board_width(small, mode, 1).score, best_by_trying_all(small, mode, known))
                << "board " << trial << ", mode " << mode;
        }
    }
    // Shifter's endgames skip the pops that cannot beat the best line found
    // so far (and the floor they are searched against), and keep what they
    // learn in a table for other floors: on boards of four colours too,
    // from a single beam, from two threads splitting the first pops, and
    // from a beam wide enough to keep every position on the way to
    // endgames met at many floors, never the best line itself.
    for (int trial = 0; trial < 120; ++trial) {
        ColourBoard small{};
        const int colours = 3 + trial % 2;
        const int columns = trial % 3 == 2 ? 6 : 5;
        for (int c = BOARD_COLUMNS - columns; c < BOARD_COLUMNS; ++c) {
            for (int r = BOARD_ROWS - 4; r < BOARD_ROWS; ++r)
                small.at(c, r).colour = uint8_t(random_next() % colours + 1);
        }
        std::map<std::string, int32_t> known;
        const int32_t best = best_by_trying_all(small, MODE_SHIFTER, known);
        if (columns > 5) {
            EXPECT_EQ(solve_board_width(small, MODE_SHIFTER, 1 << 16).score, best) << "Shifter board " << trial;
            continue;
        }
        EXPECT_EQ(solve_board_width(small, MODE_SHIFTER, 1).score, best) << "Shifter board " << trial;
        SolverLimits limits;
        limits.threads = 2;
        limits.positions = 5000;
        const SolverLine line = solve_board(small, MODE_SHIFTER, limits);
        EXPECT_EQ(line.score, best) << "Shifter board " << trial << " on two threads";
        ColourBoard replayed = small;
        const int32_t points = replay(replayed, line.moves, [](ColourBoard& b) { settle_board(b, MODE_SHIFTER); });
        EXPECT_EQ(line.score, points + (board_empty(replayed) ? EMPTY_BOARD_BONUS : 0))
            << "Shifter board " << trial << ": the line does not score what it says";
    }
}

// Shifter's ranking counts the tiles that have a tile of their colour as a
// diagonal neighbour; a step off the bottom of one column must not reach the
// top of the next.
TEST(Solver, ShifterCountsTilesOfOneColourDiagonallyNextToEachOther)
{
    ColourBoard hand{};
    hand.at(3, 4).colour = 1;  // with (4, 5) below right and (4, 3) above right
    hand.at(4, 5).colour = 1;
    hand.at(4, 3).colour = 1;
    hand.at(4, 4).colour = 2;  // between them, another colour
    hand.at(0, 7).colour = 3;  // bottom of one column, top of the column after the next
    hand.at(2, 0).colour = 3;
    hand.at(1, 0).colour = 4;  // top and bottom of one column
    hand.at(1, 7).colour = 4;
    hand.at(8, 6).colour = 5;  // straight neighbours are not diagonal ones
    hand.at(9, 6).colour = 5;
    hand.at(9, 5).colour = 2;  // diagonal, but of two colours
    hand.at(8, 4).colour = 3;
    EXPECT_EQ(diagonal_tiles(fast_board_of(hand)), 3) << "the three tiles of colour 1 around (4, 4)";

    // Random boards, partly empty, against a count cell by cell.
    random_restart(7);
    for (int trial = 0; trial < 200; ++trial) {
        ColourBoard b{};
        for (ColourCell& cell : b.cells)
            cell.colour = uint8_t(random_next() % (colour_count + 2) % (colour_count + 1));
        int expected = 0;
        for (int c = 0; c < BOARD_COLUMNS; ++c) {
            for (int r = 0; r < BOARD_ROWS; ++r) {
                bool paired = false;
                for (int dc : {-1, 1}) {
                    for (int dr : {-1, 1}) {
                        const int nc = c + dc, nr = r + dr;
                        paired = paired
                                 || (nc >= 0 && nc < BOARD_COLUMNS && nr >= 0 && nr < BOARD_ROWS
                                     && b.at(c, r).colour != 0 && b.at(nc, nr).colour == b.at(c, r).colour);
                    }
                }
                expected += paired;
            }
        }
        EXPECT_EQ(diagonal_tiles(fast_board_of(b)), expected) << "random board " << trial;
    }
}

TEST(Solver, ASearchHeldToItsMemoryStopsWideningAndItsLineStillPlays)
{
    const ColourBoard start = first_deal();
    for (int mode : {MODE_TRADITIONAL, MODE_SHIFTER}) {
        // Room for 6 positions a layer, and more positions to spend than a
        // beam that narrow could ever use: the search must end by itself,
        // with a whole line, not widen until the budget is gone.
        ThreadBudget budget;
        budget.mode = mode;
        budget.by_positions = true;
        budget.deadline = 1e12;
        budget.most_width = 6;
        int32_t first_best[BOARD_CELLS] = {};
        const SolverLine narrow = search_one_thread(start, budget, 0, 1, first_best);
        EXPECT_LT(narrow.positions, 1000000u) << "mode " << mode << ": the search kept widening past its memory";
        ColourBoard replayed = start;
        int32_t points = replay(replayed, narrow.moves, [mode](ColourBoard& b) { settle_board(b, mode); });
        ASSERT_GE(points, 0) << "mode " << mode << ": a pop in the line is not a group";
        EXPECT_EQ(narrow.score, points + (board_empty(replayed) ? EMPTY_BOARD_BONUS : 0)) << "mode " << mode;
        const int first = narrow.moves.at(0).column * BOARD_ROWS + narrow.moves.at(0).row;
        EXPECT_EQ(first_best[first], narrow.score) << "mode " << mode << ": the line's first pop is not credited";
    }
}

TEST(Solver, ShiftersTwoThreadsEachSearchTheirOwnFirstPops)
{
    const ColourBoard start = first_deal();
    ThreadBudget budget;
    budget.mode = MODE_SHIFTER;
    budget.by_positions = true;
    budget.deadline = 20000;
    budget.most_width = width_within(SEARCH_MEMORY_BYTES / 2);
    int32_t first_best[2][BOARD_CELLS] = {};
    SolverLine lines[2];
    for (int t = 0; t < 2; ++t)
        lines[t] = search_one_thread(start, budget, t, 2, first_best[t]);
    int credited[2] = {0, 0};
    for (int cell = 0; cell < BOARD_CELLS; ++cell) {
        EXPECT_FALSE(first_best[0][cell] > 0 && first_best[1][cell] > 0)
            << "both threads searched lines starting at column " << cell / BOARD_ROWS << ", row " << cell % BOARD_ROWS;
        for (int t = 0; t < 2; ++t)
            credited[t] += first_best[t][cell] > 0;
    }
    // Each thread has a part of the first pops of its own, not one alone.
    EXPECT_GT(credited[0], 1);
    EXPECT_GT(credited[1], 1);
    // The search on two threads takes the better of their lines.
    SolverLimits limits;
    limits.threads = 2;
    limits.positions = 20000;
    EXPECT_EQ(solve_board(start, MODE_SHIFTER, limits).score, std::max(lines[0].score, lines[1].score));
    // On more threads than there are first pops, each searches one.
    GroupCells groups[BOARD_CELLS / 2];
    const int threads = fast_groups(fast_board_of(start), groups) + 2;
    budget.most_width = width_within(SEARCH_MEMORY_BYTES / size_t(threads));
    for (int t = 0; t < threads; ++t) {
        int32_t first[BOARD_CELLS] = {};
        const SolverLine line = search_one_thread(start, budget, t, threads, first);
        ASSERT_FALSE(line.moves.empty()) << "thread " << t << " of " << threads << " found no line";
        EXPECT_EQ(std::count_if(std::begin(first), std::end(first), [](int32_t best) { return best > 0; }), 1)
            << "thread " << t << " of " << threads << " did not keep to one first pop";
    }
}

TEST(Solver, TheHintPlaysWholeGamesInTheModesThatRefill)
{
    // The hint alone, pop after pop, as solver_bench --alone plays: once a
    // beam's time forecast came out not a number here and the search
    // asked for a layer of 2^63 positions.
    for (int mode : {MODE_CONTINOUS, MODE_MEGASHIFTER}) {
        random_restart();
        for (int i = 0; i < 1570; ++i)
            random_next();
        fill_board();
        random_restart(0x5EED0001u);
        SolverLimits limits;
        limits.threads = 2;
        limits.sample_incoming = true;
        limits.positions = 5000;
        int pops = 0;
        for (; pops < 400; ++pops) {
            const SolverLine line = solve_board(colours_of(board), mode, limits);
            if (line.moves.empty())
                break;
            const SolverMove move = line.moves.front();
            clear_marks();
            const int size = find_group(move.column, move.row);
            ASSERT_GE(size, 2) << "mode " << mode << ", pop " << pops << ": the hint's group is not a group";
            ASSERT_EQ(group_points(size), move.points) << "mode " << mode << ", pop " << pops;
            empty_group(board, marked_cells(board));
            settle_board(board, mode, false);
            clear_marks();
        }
        EXPECT_EQ(any_move_left(board), 0) << "mode " << mode << ": the hint gave up with a group on the board";
        EXPECT_GT(pops, 30) << "mode " << mode;
    }
}
