// Gravity, the column shift with its refill, and the row slide.
// Moved tiles carry draw offsets (when animations are on) so that the
// renderer can slide them home from where they came.
#include "board/settle.h"

#include "board/board.h"
#include "board/random.h"
#include "persist/settings.h"

namespace {

constexpr Cell EMPTY_CELL{};

// Moves a whole cell record and leaves the empty value behind.
Cell& move_cell(Cell& from, Cell& to)
{
    to = from;
    from = EMPTY_CELL;
    return to;
}

bool animating(const Cell& moved) { return settings.animations != 0 && moved.colour != 0; }

bool refills_from_left()
{
    return settings.game_mode == MODE_CONTINOUS || settings.game_mode == MODE_MEGASHIFTER;
}

} // namespace

void apply_gravity()
{
    for (int column = 0; column < BOARD_COLUMNS; ++column) {
        // Each pass drops everything above the lowest hole by one row;
        // eight passes let every tile reach the bottom.
        for (int pass = 0; pass < BOARD_ROWS; ++pass) {
            for (int row = BOARD_ROWS - 1; row >= 1; --row) {
                if (board.at(column, row).colour != 0)
                    continue;
                Cell& moved = move_cell(board.at(column, row - 1), board.at(column, row));
                if (animating(moved))
                    moved.offset_y -= CELL_SIZE;
            }
        }
    }
}

void shift_columns()
{
    // Only bottom cells are looked at: correct once gravity has run.
    const int bottom = BOARD_ROWS - 1;
    int empty_columns = 0;
    for (int column = 0; column < BOARD_COLUMNS; ++column) {
        if (board.at(column, bottom).colour == 0)
            ++empty_columns;
    }

    for (int repeat = 0; repeat < empty_columns; ++repeat) {
        // The rightmost empty column. One always exists: each repetition
        // either leaves column 0 empty or refills exactly one empty column.
        int target = BOARD_COLUMNS - 1;
        while (target > 0 && board.at(target, bottom).colour != 0)
            --target;

        for (int column = target; column >= 1; --column) {
            for (int row = 0; row < BOARD_ROWS; ++row) {
                Cell& moved = move_cell(board.at(column - 1, row), board.at(column, row));
                // Set, not lowered: a tile carried across several columns in
                // one settling still slides in from just one column away.
                if (animating(moved))
                    moved.offset_x = -CELL_SIZE;
            }
        }

        if (refills_from_left()) {
            for (int row = 0; row < BOARD_ROWS; ++row)
                board.at(0, row).colour = static_cast<uint8_t>(random_next() % colour_count + 1);
        }
    }
}

void slide_rows()
{
    for (int row = 0; row < BOARD_ROWS; ++row) {
        for (int pass = 0; pass < BOARD_COLUMNS; ++pass) {
            for (int column = BOARD_COLUMNS - 1; column >= 1; --column) {
                if (board.at(column, row).colour != 0)
                    continue;
                Cell& moved = move_cell(board.at(column - 1, row), board.at(column, row));
                if (animating(moved))
                    moved.offset_x -= CELL_SIZE;
            }
        }
    }
}

void settle_board()
{
    apply_gravity();
    shift_columns();
    if (settings.game_mode == MODE_SHIFTER || settings.game_mode == MODE_MEGASHIFTER)
        slide_rows();
}
