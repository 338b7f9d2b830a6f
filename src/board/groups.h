// Group search, the move test, and emptying a popped group.
#pragma once
#include <cstdint>

#include "board/cell_set.h"

struct Board;
struct ColourBoard;

// Marks the group of same-coloured, orthogonally connected tiles that holds
// (column, row) and returns its size. The cell must hold a tile and no cell
// of the group may be marked yet.
int find_group(int column, int row);
// 1 when some tile has an orthogonal neighbour of its colour, else 0.
int any_move_left();
// 1 when every cell is empty, else 0.
int board_empty();

// The same rules on a given board; the three above work on the game's board.
int find_group(Board& on, int column, int row);
int find_group(ColourBoard& on, int column, int row);
int any_move_left(const Board& on);
int any_move_left(const ColourBoard& on);
int board_empty(const Board& on);
int board_empty(const ColourBoard& on);


struct GroupCells {
    CellSet cells;
    uint8_t first;  // the group's first cell in storage order
    uint8_t size;
    uint8_t colour;
};
// Every group of two or more on a colour board at once, in the order of
// their first cells: the groups find_group would count from each first
// cell, for a search that must look at every group of millions of boards.
// Marks are ignored and left alone. Returns the number of groups (at most
// BOARD_CELLS / 2).
int list_groups(const ColourBoard& on, GroupCells* out);

// The cells of the group find_group has marked.
CellSet marked_cells(const Board& on);
CellSet marked_cells(const ColourBoard& on);
// A pop empties its group's cells, and nothing else changes until the board
// settles. This is the one place that does it, for the game and the search.
// On the game's board the emptied cells keep their mark and lights: settling
// carries them along as the game has always moved them, and clear_marks
// drops them afterwards. A colour board's cells are wiped whole.
void empty_group(Board& on, CellSet group);
void empty_group(ColourBoard& on, CellSet group);
