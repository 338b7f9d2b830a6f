// Settling after a pop: tiles fall, emptied columns close up toward the right
// (with new columns from the left in two modes), rows slide right in two modes.
// Call them in this order, after the popped cells have been emptied.
#pragma once

void apply_gravity();
void shift_columns();
void slide_rows();

// The whole settling of one pop for the current game mode.
void settle_board();
