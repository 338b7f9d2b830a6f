// Group search (a depth-first flood fill, and every group at once for a
// search), the move test, and emptying a popped group.
#include "board/groups.h"

#include <cstring>

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

int list_groups(const ColourBoard& on, GroupCells* out)
{
    static_assert(BOARD_ROWS == 8 && sizeof(ColourCell) == 1, "a column is read as one word, a byte a cell");
    CellSet of_colour[colour_count + 1] = {};
    for (int column = 0; column < BOARD_COLUMNS; ++column) {
        uint64_t word;
        std::memcpy(&word, &on.cells[column * BOARD_ROWS], sizeof word);
        word &= 0x7F7F7F7F7F7F7F7Full;  // the colours, without the marks
        for (int colour = 1; colour <= colour_count; ++colour) {
            // A byte's top bit once 0x7F is added to it says it differed
            // from the colour; the multiply gathers the top bits of the
            // eight bytes into the top byte, row 0 lowest.
            const uint64_t other = (word ^ (0x0101010101010101ull * uint64_t(colour))) + 0x7F7F7F7F7F7F7F7Full;
            const uint64_t same = (~other & 0x8080808080808080ull) >> 7;
            of_colour[colour] |= CellSet((same * 0x0102040810204080ull) >> 56) << (column * BOARD_ROWS);
        }
    }
    // Tiles with a neighbour of their colour: exactly the tiles in groups of two or more.
    CellSet paired = 0;
    for (int colour = 1; colour <= colour_count; ++colour) {
        const CellSet tiles = of_colour[colour];
        paired |= tiles & neighbours(tiles);
    }
    int found = 0;
    while (paired != 0) {
        const int first = lowest_cell(paired);
        const uint8_t colour = on.cells[first].colour;
        const CellSet tiles = of_colour[colour];
        CellSet group = ONE_CELL << first;
        for (;;) {
            const CellSet grown = (group | neighbours(group)) & tiles;
            if (grown == group)
                break;
            group = grown;
        }
        paired &= ~group;
        out[found++] = GroupCells{group, uint8_t(first), uint8_t(cell_count(group)), colour};
    }
    return found;
}

int find_group(int column, int row) { return find_group_in(board, column, row); }
int any_move_left() { return any_move_left_in(board); }
int board_empty() { return board_empty_in(board); }

int find_group(Board& on, int column, int row) { return find_group_in(on, column, row); }
int find_group(ColourBoard& on, int column, int row) { return find_group_in(on, column, row); }
int any_move_left(const Board& on) { return any_move_left_in(on); }
int any_move_left(const ColourBoard& on) { return any_move_left_in(on); }
int board_empty(const Board& on) { return board_empty_in(on); }
int board_empty(const ColourBoard& on) { return board_empty_in(on); }

namespace {
template <class B>
CellSet marked_in(const B& on)
{
    CellSet set = 0;
    for (int cell = 0; cell < BOARD_CELLS; ++cell) {
        if (on.cells[cell].marked)
            set |= ONE_CELL << cell;
    }
    return set;
}
} // namespace

CellSet marked_cells(const Board& on) { return marked_in(on); }
CellSet marked_cells(const ColourBoard& on) { return marked_in(on); }

void empty_group(Board& on, CellSet group)
{
    for (; group != 0; group &= group - 1)
        on.cells[lowest_cell(group)].colour = 0;
}

void empty_group(ColourBoard& on, CellSet group)
{
    for (; group != 0; group &= group - 1)
        on.cells[lowest_cell(group)] = ColourCell{};
}
