// Settling after a pop: tiles fall, emptied columns close up toward the right
// (with new columns from the left in two modes), rows slide right in two modes.
// Call them in this order, after the popped cells have been emptied.
#pragma once

struct Board;
struct ColourBoard;

// `animate` gives moved tiles their draw offsets. `refill` deals each new
// column from the left with 8 draws from the game's generator; a colour
// board never refills, so a search that settles one takes no draw: in modes
// 1 and 3 the columns that come in stay empty.
void apply_gravity(Board& on, bool animate);
void shift_columns(Board& on, bool animate, bool refill);
void slide_rows(Board& on, bool animate);
// The whole settling of one pop in the given mode (refilling in the modes
// that refill).
void settle_board(Board& on, int mode, bool animate);
void apply_gravity(ColourBoard& on);
void shift_columns(ColourBoard& on);
void slide_rows(ColourBoard& on);
void settle_board(ColourBoard& on, int mode);
