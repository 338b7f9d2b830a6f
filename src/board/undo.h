// Taking pops back: the board and counters as they were before each pop of
// the game, newest last.
#pragma once
#include <array>
#include <cstdint>

#include "board/board.h"

struct UndoStep {
    std::array<uint8_t, BOARD_CELLS> colours;
    int32_t score;
    int32_t tiles_popped;
    GameProgress progress;
};

// Called just before a pop changes anything.
void undo_remember();
// Puts back the state before the last pop still remembered: cells without
// marks, light or slide offsets, score, tiles and progress. False (and
// nothing changes) at the deal. The random generator is not rewound.
bool undo_last_pop();
// A new deal: nothing to go back to.
void undo_forget();
