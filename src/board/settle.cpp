// Gravity, the column shift with its refill, and the row slide.
// Moved tiles carry draw offsets (when animations are on) so that the
// renderer can slide them home from where they came.
#include "board/settle.h"

#include <cstring>

#include "board/board.h"
#include "board/modes.h"
#include "board/random.h"

namespace {

// Moves a whole cell record and leaves the empty value behind.
template <class C>
C& move_cell(C& from, C& to)
{
    to = from;
    from = C{};
    return to;
}

// Draw offsets exist only on the game's cells; a colour cell just moves.
void offset_by(Cell& moved, int dx, int dy, bool animate)
{
    if (animate && moved.colour != 0) {
        moved.offset_x += dx;
        moved.offset_y += dy;
    }
}
void offset_by(ColourCell&, int, int, bool) {}

void offset_set_x(Cell& moved, int x, bool animate)
{
    if (animate && moved.colour != 0)
        moved.offset_x = x;
}
void offset_set_x(ColourCell&, int, bool) {}

bool blank(const Cell& c)
{
    return c.colour == 0 && c.marked == 0 && c.light == 0 && c.flash == 0 && c.offset_x == 0 && c.offset_y == 0;
}
bool blank(const ColourCell& c) { return c.colour == 0 && c.marked == 0; }

// Closes the holes of one line of cells toward its far end: cell length - 1
// (the bottom, or the right) first. The rule is a number of passes, each
// walking from the far end and moving every cell into the empty one beyond
// it; a move leaves an empty record behind, so once a pass meets its first
// empty cell it carries everything before it one step on. A pass is that
// carry from the first empty cell; a pass that would change nothing (no
// empty cell beyond the start, or nothing but blank records before it)
// ends them all, as the passes left would change nothing either. Empty
// records carry their mark and lights along as the game has always moved them.
template <class At, class Moved>
void close_line(int length, At at, Moved moved)
{
    for (int pass = 0; pass < length; ++pass) {
        int hole = length - 1;
        while (hole >= 1 && at(hole).colour != 0)
            --hole;
        if (hole < 1)
            return;
        int first = 0;
        while (first <= hole && blank(at(first)))
            ++first;
        if (first > hole)
            return;
        for (int i = hole; i >= 1; --i)
            moved(move_cell(at(i - 1), at(i)));
    }
}

template <class B>
bool blank_columns(const B& on, int end)
{
    for (int column = 0; column < end; ++column) {
        for (int row = 0; row < BOARD_ROWS; ++row) {
            if (!blank(on.at(column, row)))
                return false;
        }
    }
    return true;
}

// A column of a colour board that gravity would leave as it is: no marks,
// and its tiles already stacked from the bottom with nothing but empty
// cells above them. Read as one word (a byte a cell, row 0 lowest) because a
// search settles millions of boards and most columns are untouched by a
// pop. The game's board is always walked cell by cell.
bool settled_column(const Board&, int) { return false; }
bool settled_column(const ColourBoard& on, int column)
{
    static_assert(BOARD_ROWS == 8 && sizeof(ColourCell) == 1, "a column is one word");
    uint64_t word;
    std::memcpy(&word, &on.cells[column * BOARD_ROWS], sizeof word);
    if ((word & 0x8080808080808080ull) != 0)
        return false;
    // The top bit of each byte once 0x7F is added: the cell holds a tile.
    const uint64_t tiles = ((word + 0x7F7F7F7F7F7F7F7Full) & 0x8080808080808080ull) >> 7;
    const unsigned rows = unsigned((tiles * 0x0102040810204080ull) >> 56);  // bit r: row r holds a tile
    return rows == 0 || rows + (rows & (0u - rows)) == 1u << BOARD_ROWS;
}

// One definition of each rule for both kinds of board.
template <class B>
void gravity_in(B& on, bool animate)
{
    // Each pass drops everything above the lowest hole by one row;
    // eight passes let every tile reach the bottom.
    for (int column = 0; column < BOARD_COLUMNS; ++column) {
        if (settled_column(on, column))
            continue;
        close_line(
            BOARD_ROWS, [&](int row) -> auto& { return on.at(column, row); },
            [&](auto& moved) { offset_by(moved, 0, -CELL_SIZE, animate); });
    }
}

template <class B>
void shift_in(B& on, bool animate, bool refill)
{
    // Only bottom cells are looked at: correct once gravity has run.
    const int bottom = BOARD_ROWS - 1;
    int empty_columns = 0;
    for (int column = 0; column < BOARD_COLUMNS; ++column) {
        if (on.at(column, bottom).colour == 0)
            ++empty_columns;
    }

    for (int repeat = 0; repeat < empty_columns; ++repeat) {
        // The rightmost empty column. One always exists: each repetition
        // either leaves column 0 empty or refills exactly one empty column.
        int target = BOARD_COLUMNS - 1;
        while (target > 0 && on.at(target, bottom).colour != 0)
            --target;
        // With no refill, a shift of nothing but blank columns changes
        // nothing, and every repetition left would find the same target.
        if (!refill && blank_columns(on, target))
            return;

        for (int column = target; column >= 1; --column) {
            for (int row = 0; row < BOARD_ROWS; ++row) {
                // Set, not lowered: a tile carried across several columns in
                // one settling still slides in from just one column away.
                offset_set_x(move_cell(on.at(column - 1, row), on.at(column, row)), -CELL_SIZE, animate);
            }
        }

        if (refill) {
            for (int row = 0; row < BOARD_ROWS; ++row)
                on.at(0, row).colour = static_cast<uint8_t>(random_next() % colour_count + 1);
        }
    }
}

template <class B>
void slide_in(B& on, bool animate)
{
    for (int row = 0; row < BOARD_ROWS; ++row) {
        close_line(
            BOARD_COLUMNS, [&](int column) -> auto& { return on.at(column, row); },
            [&](auto& moved) { offset_by(moved, -CELL_SIZE, 0, animate); });
    }
}

template <class B>
void settle_in(B& on, int mode, bool animate, bool refill)
{
    gravity_in(on, animate);
    shift_in(on, animate, refill);
    if (slides_rows(mode))
        slide_in(on, animate);
}

} // namespace

void apply_gravity(Board& on, bool animate) { gravity_in(on, animate); }
void shift_columns(Board& on, bool animate, bool refill) { shift_in(on, animate, refill); }
void slide_rows(Board& on, bool animate) { slide_in(on, animate); }
void settle_board(Board& on, int mode, bool animate)
{
    settle_in(on, mode, animate, refills_from_left(mode));
}

void apply_gravity(ColourBoard& on) { gravity_in(on, false); }
void shift_columns(ColourBoard& on) { shift_in(on, false, false); }
void slide_rows(ColourBoard& on) { slide_in(on, false); }
void settle_board(ColourBoard& on, int mode) { settle_in(on, mode, false, false); }
