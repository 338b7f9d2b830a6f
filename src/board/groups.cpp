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
    // A flood fill over a stack of cells to visit: a cell is marked when it
    // is pushed, so none is counted twice. Neighbours are pushed in the
    // order right, left, below, above.
    const uint8_t colour = on.at(column, row).colour;
    int stack[BOARD_CELLS];
    int top = 0;
    on.at(column, row).marked = 1;
    stack[top++] = column * BOARD_ROWS + row;
    int count = 0;
    while (top > 0) {
        const int cell = stack[--top];
        const int c = cell / BOARD_ROWS;
        const int r = cell % BOARD_ROWS;
        ++count;
        const auto visit = [&](int nc, int nr) {
            if (joins(on, nc, nr, colour)) {
                on.at(nc, nr).marked = 1;
                stack[top++] = nc * BOARD_ROWS + nr;
            }
        };
        if (c < BOARD_COLUMNS - 1)
            visit(c + 1, r);
        if (c > 0)
            visit(c - 1, r);
        if (r < BOARD_ROWS - 1)
            visit(c, r + 1);
        if (r > 0)
            visit(c, r - 1);
    }
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
