// Greedy play, and a pop on the colour board as the search plans it: what a
// search falls back on with no time, and what checks the lines it finds.
#include "board/board.h"
#include "board/groups.h"
#include "board/modes.h"
#include "board/points.h"
#include "board/settle.h"
#include "solver/solver.h"

namespace {
constexpr int MOST_GROUPS = BOARD_CELLS / 2;
}

int32_t play_move(ColourBoard& on, int mode, int column, int row)
{
    if (column < 0 || column >= BOARD_COLUMNS || row < 0 || row >= BOARD_ROWS || on.at(column, row).colour == 0)
        return -1;
    for (ColourCell& cell : on.cells)
        cell.marked = 0;
    const int size = find_group(on, column, row);
    if (size < 2) {
        on.at(column, row).marked = 0;
        return -1;
    }
    empty_group(on, marked_cells(on));
    settle_board(on, mode);
    return group_points(size);
}

SolverLine greedy_line(const ColourBoard& start, int mode)
{
    SolverLine line;
    ColourBoard on = start;
    GroupCells groups[MOST_GROUPS];
    for (;;) {
        for (ColourCell& cell : on.cells)
            cell.marked = 0;
        const int found = list_groups(on, groups);
        if (found == 0)
            break;
        int pick = 0;
        for (int g = 1; g < found; ++g) {
            if (groups[g].size > groups[pick].size)
                pick = g;
        }
        const int column = groups[pick].first / BOARD_ROWS;
        const int row = groups[pick].first % BOARD_ROWS;
        const int32_t points = play_move(on, mode, column, row);
        ++line.positions;
        line.moves.push_back(SolverMove{column, row, points});
        line.score += points;
    }
    // Only a board that is never refilled can be cleared for the bonus.
    line.cleared = !refills_from_left(mode) && board_empty(on) && !line.moves.empty();
    if (line.cleared)
        line.score += EMPTY_BOARD_BONUS;
    return line;
}
