// A game's history: the deal it started from, the positions before each pop
// (to undo them) and the positions undone (to redo them).
#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "board/board.h"

// One position of a game: the colours and the counters, without marks,
// lights or slide offsets.
struct UndoStep {
    std::array<uint8_t, BOARD_CELLS> colours;
    int32_t score;
    int32_t tiles_popped;
    GameProgress progress;
};

struct GameHistory {
    std::array<uint8_t, BOARD_CELLS> deal;  // the board new_game dealt
    // The deal's number: the generator's state just before its 80 draws.
    // Unknown only for a game saved before numbers were kept.
    uint32_t deal_number = 0;
    bool deal_numbered = false;
    std::vector<UndoStep> undo;             // before each pop still remembered, oldest first
    std::vector<UndoStep> redo;             // the positions undone, the next to redo last
};

// The history of the game on the board; a game saved and loaded again
// brings it back whole.
extern GameHistory history;

// A new deal: nothing to go back to, and the deal remembered for a restart.
void undo_forget();
// Called just before a pop changes anything. A new pop forgets what was undone.
void undo_remember();
// Puts back the position before the last pop still remembered, and keeps
// the one it leaves for a redo. False (and nothing changes) at the deal.
// The random generator is not rewound.
bool undo_last_pop();
// Puts back the position the last undo left, exactly as it was after that
// pop (with the columns that came in then): the pop is not played again.
// False (and nothing changes) when nothing was undone.
bool redo_pop();
// The deal again, with score and tiles at 0 and the history emptied.
void restart_deal();
