// Taking pops back, one at a time, to the deal.
#include "board/undo.h"

#include <vector>

namespace {
// Unbounded: the refill modes can go on for long, but a step is 92 bytes.
std::vector<UndoStep> history;
}

void undo_remember()
{
    UndoStep step{};
    for (int i = 0; i < BOARD_CELLS; ++i)
        step.colours[i] = board.cells[i].colour;
    step.score = score;
    step.tiles_popped = tiles_popped;
    step.progress = game_progress;
    history.push_back(step);
}

bool undo_last_pop()
{
    if (history.empty())
        return false;
    const UndoStep& step = history.back();
    // Shown at once: tiles still sliding into place would otherwise slide
    // on from where the undone pop sent them.
    for (int i = 0; i < BOARD_CELLS; ++i)
        board.cells[i] = Cell{step.colours[i], 0, 0, 0, 0, 0};
    score = step.score;
    tiles_popped = step.tiles_popped;
    game_progress = step.progress;
    history.pop_back();
    return true;
}

void undo_forget() { history.clear(); }
