// Group search and the move test.
#pragma once

// Marks the group of same-coloured, orthogonally connected tiles that holds
// (column, row) and returns its size. The cell must hold a tile and no cell
// of the group may be marked yet.
int find_group(int column, int row);
// 1 when some tile has an orthogonal neighbour of its colour, else 0.
int any_move_left();
// 1 when every cell is empty, else 0.
int board_empty();
