// The board as the search keeps it: three bit planes of 80 cells, groups
// found by flood fill on masks, settling by bit operations. It settles
// exactly as the board rules do (a property test holds it to them).
#pragma once
#include <cstdint>

#include "board/groups.h"

struct ColourBoard;

// Bit column * BOARD_ROWS + row of plane k is bit k of the colour there
// (1..5; 0 is an empty cell), as CellSet numbers cells.
struct FastBoard {
    CellSet plane[3];
};

FastBoard fast_board_of(const ColourBoard& from);
ColourBoard colours_of(const FastBoard& from);

inline CellSet occupied(const FastBoard& b) { return b.plane[0] | b.plane[1] | b.plane[2]; }
// The cells of each colour; [0] is left empty.
void colour_sets(const FastBoard& b, CellSet (&of_colour)[6]);
int colour_at(const FastBoard& b, int cell);
// Every group of two or more, in the order list_groups gives them.
int fast_groups(const FastBoard& b, GroupCells* out);
// The points of every group of two or more, each popped alone, and the
// tiles of each colour in such groups: what a search ranks by, without
// listing the groups.
int32_t tally_groups(const FastBoard& b, int (&grouped)[6]);
// The group holding `cell`, and its size (1 for a tile alone, 0 for an empty cell).
CellSet group_at(const FastBoard& b, int cell);

// The columns that come in from the left in the modes that refill: column
// k of the sequence is colours[8k .. 8k + 7], row 0 first, each 1..5. The
// k-th column any line brings in is the same, as the game's k-th is the
// same however it came to need one. Null: they come in empty (and a board
// that settles with them empty is the colour board's settle_board).
struct Incoming {
    const uint8_t* colours = nullptr;
    int columns = 0;  // in colours; past them, columns come in empty
};

// Empties `group` and settles the board as `mode` does: gravity, the
// columns closing to the right (refilled from `incoming`, counting in
// `taken` the columns it has brought in so far), the rows sliding right.
void fast_pop(FastBoard& b, CellSet group, int mode, const Incoming& incoming, uint16_t& taken);
void fast_pop(FastBoard& b, CellSet group, int mode);

uint64_t fast_hash(const FastBoard& b);
