// The search's bit board against the board rules: on random boards, after
// random pops in every mode, both list the same groups and settle alike,
// refills included.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "board/board.h"
#include "board/groups.h"
#include "board/modes.h"
#include "board/points.h"
#include "board/random.h"
#include "board/settle.h"
#include "solver/fast_board.h"

namespace {

std::string text_of(const ColourBoard& b)
{
    std::string s;
    for (int row = 0; row < BOARD_ROWS; ++row) {
        for (int column = 0; column < BOARD_COLUMNS; ++column)
            s += char('0' + b.at(column, row).colour);
        s += '\n';
    }
    return s;
}

} // namespace

TEST(FastBoard, ListsAndSettlesExactlyAsTheRulesOnRandomBoardsAndPops)
{
    std::mt19937 pick(22);
    for (int trial = 0; trial < 1200; ++trial) {
        const int mode = trial % MODE_COUNT;
        // Boards with holes anywhere, some with whole columns or rows gone.
        const unsigned holes = pick() % 4;
        for (Cell& cell : board.cells)
            cell = Cell{uint8_t(pick() % 8 < holes ? 0 : pick() % colour_count + 1), 0, 0, 0, 0, 0};
        if (trial % 3 == 0) {
            for (int row = 0; row < BOARD_ROWS; ++row)
                board.at(int(pick() % BOARD_COLUMNS), row) = Cell{};
        }
        FastBoard fast = fast_board_of(colours_of(board));
        ColourBoard planned = colours_of(board);
        FastBoard planned_fast = fast;
        // The columns the game will bring in, drawn ahead from its generator.
        random_restart(uint32_t(trial));
        std::vector<uint8_t> incoming;
        for (int i = 0; i < BOARD_ROWS * BOARD_COLUMNS * 12; ++i)
            incoming.push_back(uint8_t(random_next() % colour_count + 1));
        random_restart(uint32_t(trial));
        uint16_t taken = 0;
        for (int pop = 0; pop < 12; ++pop) {
            SCOPED_TRACE("trial " + std::to_string(trial) + ", mode " + std::to_string(mode) + ", pop "
                         + std::to_string(pop) + ", board\n" + text_of(colours_of(board)));
            GroupCells expected[BOARD_CELLS], got[BOARD_CELLS];
            const int n = list_groups(colours_of(board), expected);
            ASSERT_EQ(fast_groups(fast, got), n);
            int grouped[6];
            int32_t points = tally_groups(fast, grouped);
            for (int g = 0; g < n; ++g) {
                points -= group_points(expected[g].size);
                grouped[expected[g].colour] -= expected[g].size;
                EXPECT_TRUE(got[g].cells == expected[g].cells && got[g].first == expected[g].first
                            && got[g].size == expected[g].size && got[g].colour == expected[g].colour)
                    << "group " << g;
            }
            EXPECT_EQ(points, 0) << "the tally of the groups' points";
            EXPECT_EQ(std::count(grouped, grouped + 6, 0), 6) << "the tally of the grouped tiles";
            // Any cell's group, a lone tile's too, or an empty cell's nothing.
            const int cell = int(pick() % BOARD_CELLS);
            CellSet group = 0;
            if (board.cells[size_t(cell)].colour != 0) {
                find_group(board, cell / BOARD_ROWS, cell % BOARD_ROWS);
                group = marked_cells(board);
            }
            EXPECT_TRUE(group_at(fast, cell) == group);
            empty_group(board, group);
            settle_board(board, mode, false);
            clear_marks();
            fast_pop(fast, group, mode, Incoming{incoming.data(), int(incoming.size() / BOARD_ROWS)}, taken);
            ASSERT_EQ(text_of(colours_of(fast)), text_of(colours_of(board)));
            ASSERT_EQ(random_draws(), uint64_t(taken) * BOARD_ROWS) << "a column came in for each the game drew";
            // Columns that come in empty: the colour board's settling.
            const CellSet planned_group = group & occupied(planned_fast);
            empty_group(planned, planned_group);
            settle_board(planned, mode);
            fast_pop(planned_fast, planned_group, mode);
            ASSERT_EQ(text_of(colours_of(planned_fast)), text_of(planned));
        }
    }
}
