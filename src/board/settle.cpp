// Gravity, the column shift with its refill, and the row slide.
// Moved tiles carry draw offsets (when animations are on) so that the
// renderer can slide them home from where they came.
#include "board/settle.h"

#include "board/board.h"
#include "board/random.h"
#include "persist/settings.h"

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

bool refills_from_left(int mode) { return mode == MODE_CONTINOUS || mode == MODE_MEGASHIFTER; }
bool slides_rows(int mode) { return mode == MODE_SHIFTER || mode == MODE_MEGASHIFTER; }

// One definition of each rule for both kinds of board.
template <class B>
void gravity_in(B& on, bool animate)
{
    for (int column = 0; column < BOARD_COLUMNS; ++column) {
        // Each pass drops everything above the lowest hole by one row;
        // eight passes let every tile reach the bottom.
        for (int pass = 0; pass < BOARD_ROWS; ++pass) {
            for (int row = BOARD_ROWS - 1; row >= 1; --row) {
                if (on.at(column, row).colour != 0)
                    continue;
                offset_by(move_cell(on.at(column, row - 1), on.at(column, row)), 0, -CELL_SIZE, animate);
            }
        }
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
        for (int pass = 0; pass < BOARD_COLUMNS; ++pass) {
            for (int column = BOARD_COLUMNS - 1; column >= 1; --column) {
                if (on.at(column, row).colour != 0)
                    continue;
                offset_by(move_cell(on.at(column - 1, row), on.at(column, row)), -CELL_SIZE, 0, animate);
            }
        }
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

bool animations_on() { return settings.animations != 0; }

} // namespace

void apply_gravity() { gravity_in(board, animations_on()); }
void shift_columns() { shift_in(board, animations_on(), refills_from_left(settings.game_mode)); }
void slide_rows() { slide_in(board, animations_on()); }
void settle_board() { settle_in(board, settings.game_mode, animations_on(), refills_from_left(settings.game_mode)); }

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
