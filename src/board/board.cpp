// The board, its deal and the per-game counters.
#include "board/board.h"

#include "board/random.h"
#include "board/undo.h"

Board board;
int32_t score = 0;
int32_t tiles_popped = 0;
GameProgress game_progress = GameProgress::fresh;
bool game_assisted = false;

void fill_board()
{
    // Storage order matters: the deal is the next 80 draws, column by column.
    for (Cell& cell : board.cells) {
        cell.offset_y = 0;
        cell.offset_x = 0;
        cell.colour = static_cast<uint8_t>(random_next() % colour_count + 1);
    }
}

ColourBoard colours_of(const Board& from)
{
    ColourBoard to{};
    for (int i = 0; i < BOARD_CELLS; ++i)
        to.cells[i].colour = from.cells[i].colour;
    return to;
}

int clear_marks()
{
    for (Cell& cell : board.cells) {
        cell.marked = 0;
        cell.light = 0;
        cell.flash = 0;
    }
    return 0;
}

void new_game()
{
    score = 0;
    tiles_popped = 0;
    game_assisted = false;
    const uint32_t number = random_state();
    fill_board();
    clear_marks();
    undo_forget();
    history.deal_number = number;
    history.deal_numbered = true;
    game_progress = GameProgress::fresh;
}

// The generator is left where dealing that number leaves it, not brought
// back to the designed sequence: the LCG has a single cycle through all 2^32
// states, so every number is a point of the designed sequence, and the game
// goes on exactly as it would after reaching that deal by drawing. A deal
// played again from its number is then the same deal in every way the
// player controls; in Continous and Megashifter the columns that come in
// still depend on every draw made during play (shakes, sparks, sounds),
// as designed. Nothing else is saved or restored, so it stays deterministic.
void new_game_numbered(uint32_t number)
{
    random_jump(number);
    new_game();
}
