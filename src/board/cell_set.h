// Sets of cells as bits, bit column * BOARD_ROWS + row (storage order): a
// step down a column is one bit, a step across a whole column of bits. The
// rules' group search and the search's bit board share them.
#pragma once
#include <cstdint>

#include "board/board.h"

using CellSet = unsigned __int128;
static_assert(BOARD_CELLS <= 128, "a board fits one set");

constexpr CellSet ONE_CELL = 1;
constexpr CellSet ALL_CELLS = (ONE_CELL << BOARD_CELLS) - 1;

// The same byte of bits in every column.
constexpr CellSet every_column(unsigned byte)
{
    CellSet set = 0;
    for (int column = 0; column < BOARD_COLUMNS; ++column)
        set |= CellSet(byte) << (column * BOARD_ROWS);
    return set;
}
constexpr CellSet NOT_TOP = ALL_CELLS & ~every_column(1u);
constexpr CellSet NOT_BOTTOM = ALL_CELLS & ~every_column(1u << (BOARD_ROWS - 1));

// The cells orthogonally next to a cell of `set`; steps off the top or
// bottom row are cut off.
inline CellSet neighbours(CellSet set)
{
    return ((set << 1) & NOT_TOP) | ((set >> 1) & NOT_BOTTOM) | ((set << BOARD_ROWS) & ALL_CELLS)
           | (set >> BOARD_ROWS);
}

// Counted in the word itself: without an instruction set chosen at build
// time, the compiler's popcount is a library call the search felt.
inline int cell_count(CellSet set)
{
    uint64_t lo = uint64_t(set);
    uint64_t hi = uint64_t(set >> 64);  // 16 cells at most
    lo = lo - ((lo >> 1) & 0x5555555555555555ull);
    hi = hi - ((hi >> 1) & 0x5555555555555555ull);
    lo = (lo & 0x3333333333333333ull) + ((lo >> 2) & 0x3333333333333333ull);
    hi = (hi & 0x3333333333333333ull) + ((hi >> 2) & 0x3333333333333333ull);
    lo += hi;  // nibbles of 8 or less
    lo = (lo & 0x0F0F0F0F0F0F0F0Full) + ((lo >> 4) & 0x0F0F0F0F0F0F0F0Full);
    return int((lo * 0x0101010101010101ull) >> 56);
}

// The first cell of a set that is not empty, in storage order.
inline int lowest_cell(CellSet set)
{
    const uint64_t low = uint64_t(set);
    return low != 0 ? __builtin_ctzll(low) : 64 + __builtin_ctzll(uint64_t(set >> 64));
}
