// The playing field: 10 columns by 8 rows of cells, stored column by column,
// and the per-game values the rules keep.
#pragma once
#include <array>
#include <cstdint>

constexpr int BOARD_COLUMNS = 10;
constexpr int BOARD_ROWS = 8;
constexpr int BOARD_CELLS = BOARD_COLUMNS * BOARD_ROWS;

// Screen geometry of the board: cell (c, r) has its top-left corner at
// (BOARD_X + 20c, BOARD_Y + 20r).
constexpr int BOARD_X = 20;
constexpr int BOARD_Y = 10;
constexpr int CELL_SIZE = 20;

// Number of tile colours; colours are 1..colour_count, 0 is an empty cell.
constexpr int colour_count = 5;

struct Cell {
    uint8_t colour;    // 0 empty, 1..5 a tile
    uint8_t marked;    // 1 while the cell belongs to the selected group
    int32_t light;     // > 0 lit toward black at this level, < 0 shrunk by this many pixels
    int32_t flash;     // > 0 lit toward white at this level; wins over light
    int32_t offset_x;  // draw displacement, pixels; runs down to 0 in the renderer
    int32_t offset_y;
};

struct Board {
    // Column-major: the 8 cells of column 0 (top to bottom), then column 1, ...
    std::array<Cell, BOARD_CELLS> cells;

    Cell& at(int column, int row) { return cells[column * BOARD_ROWS + row]; }
    const Cell& at(int column, int row) const { return cells[column * BOARD_ROWS + row]; }
};

// The colours alone, without the drawing state: what a search ahead copies
// by the million. The rules in groups.h and settle.h run on it as on Board.
struct ColourCell {
    uint8_t colour : 7;  // 0 empty, 1..5 a tile
    uint8_t marked : 1;  // 1 while find_group has counted the cell
};

struct ColourBoard {
    std::array<ColourCell, BOARD_CELLS> cells;  // column-major, as Board

    ColourCell& at(int column, int row) { return cells[column * BOARD_ROWS + row]; }
    const ColourCell& at(int column, int row) const { return cells[column * BOARD_ROWS + row]; }
};

// The colours of a board, nothing marked.
ColourBoard colours_of(const Board& from);

enum class GameProgress { finished = 0, in_progress = 1, fresh = 2 };

extern Board board;
extern int32_t score;
extern int32_t tiles_popped;
extern GameProgress game_progress;
// Raised when the player had help in this game (an undo): the game then
// ends without a high score. Lowered by new_game.
extern bool game_assisted;

// Deals a random colour into every cell: exactly 80 draws, in storage order.
void fill_board();
// Clears marked, light and flash everywhere; offsets stay so moving tiles keep moving.
// Always yields 0, which the game loop stores as the selection size.
int clear_marks();
// Resets the score, counters and undo history and deals a new board; the
// deal's number (history.deal_number) is the generator's state just before,
// read without a draw.
void new_game();
// new_game on the deal numbered `number`: the generator is set to that state
// first, so the board is exactly the one that number names.
void new_game_numbered(uint32_t number);
