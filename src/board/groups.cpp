// Group search (a depth-first flood fill) and the move test.
#include "board/groups.h"

#include "board/board.h"

namespace {

// One definition for the game's board and a search's colour board.
template <class B>
bool joins(const B& on, int column, int row, uint8_t colour)
{
    const auto& cell = on.at(column, row);
    return cell.colour == colour && !cell.marked;
}

template <class B>
int find_group_in(B& on, int column, int row)
{
    // Neighbours in the order right, left, below, above. Each is tested when
    // its turn comes, so a cell an earlier branch marked is not entered twice.
    // The recursion is at most 80 calls deep.
    auto& cell = on.at(column, row);
    const uint8_t colour = cell.colour;
    cell.marked = 1;
    int count = 1;
    if (column < BOARD_COLUMNS - 1 && joins(on, column + 1, row, colour))
        count += find_group_in(on, column + 1, row);
    if (column > 0 && joins(on, column - 1, row, colour))
        count += find_group_in(on, column - 1, row);
    if (row < BOARD_ROWS - 1 && joins(on, column, row + 1, colour))
        count += find_group_in(on, column, row + 1);
    if (row > 0 && joins(on, column, row - 1, colour))
        count += find_group_in(on, column, row - 1);
    return count;
}

template <class B>
int any_move_left_in(const B& on)
{
    // Runs every frame of play, so it stops at the first pair it finds.
    for (int column = 0; column < BOARD_COLUMNS; ++column) {
        for (int row = 0; row < BOARD_ROWS; ++row) {
            const uint8_t colour = on.at(column, row).colour;
            if (colour == 0)
                continue;
            if ((column < BOARD_COLUMNS - 1 && on.at(column + 1, row).colour == colour)
                || (column > 0 && on.at(column - 1, row).colour == colour)
                || (row < BOARD_ROWS - 1 && on.at(column, row + 1).colour == colour)
                || (row > 0 && on.at(column, row - 1).colour == colour))
                return 1;
        }
    }
    return 0;
}

template <class B>
int board_empty_in(const B& on)
{
    for (const auto& cell : on.cells) {
        if (cell.colour != 0)
            return 0;
    }
    return 1;
}

} // namespace

int find_group(int column, int row) { return find_group_in(board, column, row); }
int any_move_left() { return any_move_left_in(board); }
int board_empty() { return board_empty_in(board); }

int find_group(Board& on, int column, int row) { return find_group_in(on, column, row); }
int find_group(ColourBoard& on, int column, int row) { return find_group_in(on, column, row); }
int any_move_left(const Board& on) { return any_move_left_in(on); }
int any_move_left(const ColourBoard& on) { return any_move_left_in(on); }
int board_empty(const Board& on) { return board_empty_in(on); }
int board_empty(const ColourBoard& on) { return board_empty_in(on); }
