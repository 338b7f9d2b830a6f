// Group search (a depth-first flood fill) and the move test.
#include "board/groups.h"

#include "board/board.h"

namespace {

bool joins(int column, int row, uint8_t colour)
{
    const Cell& cell = board.at(column, row);
    return cell.colour == colour && !cell.marked;
}

} // namespace

int find_group(int column, int row)
{
    // Neighbours in the order right, left, below, above. Each is tested when
    // its turn comes, so a cell an earlier branch marked is not entered twice.
    // The recursion is at most 80 calls deep.
    Cell& cell = board.at(column, row);
    const uint8_t colour = cell.colour;
    cell.marked = 1;
    int count = 1;
    if (column < BOARD_COLUMNS - 1 && joins(column + 1, row, colour))
        count += find_group(column + 1, row);
    if (column > 0 && joins(column - 1, row, colour))
        count += find_group(column - 1, row);
    if (row < BOARD_ROWS - 1 && joins(column, row + 1, colour))
        count += find_group(column, row + 1);
    if (row > 0 && joins(column, row - 1, colour))
        count += find_group(column, row - 1);
    return count;
}

int any_move_left()
{
    // Runs every frame of play, so it stops at the first pair it finds.
    for (int column = 0; column < BOARD_COLUMNS; ++column) {
        for (int row = 0; row < BOARD_ROWS; ++row) {
            const uint8_t colour = board.at(column, row).colour;
            if (colour == 0)
                continue;
            if ((column < BOARD_COLUMNS - 1 && board.at(column + 1, row).colour == colour)
                || (column > 0 && board.at(column - 1, row).colour == colour)
                || (row < BOARD_ROWS - 1 && board.at(column, row + 1).colour == colour)
                || (row > 0 && board.at(column, row - 1).colour == colour))
                return 1;
        }
    }
    return 0;
}

int board_empty()
{
    for (const Cell& cell : board.cells) {
        if (cell.colour != 0)
            return 0;
    }
    return 1;
}
