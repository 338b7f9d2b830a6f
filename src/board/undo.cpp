// Taking pops back and forth, and going back to the deal.
#include "board/undo.h"

// Unbounded: the refill modes can go on for long, but a step is 92 bytes.
GameHistory history;

namespace {

UndoStep position_now()
{
    UndoStep step{};
    for (int i = 0; i < BOARD_CELLS; ++i)
        step.colours[i] = board.cells[i].colour;
    step.score = score;
    step.tiles_popped = tiles_popped;
    step.progress = game_progress;
    return step;
}

// Shown at once: tiles still sliding into place would otherwise slide on
// from where the pop or undo sent them.
void show(const std::array<uint8_t, BOARD_CELLS>& colours)
{
    for (int i = 0; i < BOARD_CELLS; ++i)
        board.cells[i] = Cell{colours[i], 0, 0, 0, 0, 0};
}

void go_to(const UndoStep& step)
{
    show(step.colours);
    score = step.score;
    tiles_popped = step.tiles_popped;
    game_progress = step.progress;
}

// One step along the history: the position now is kept on `keep`, the last
// of `take` is shown. False (and nothing changes) when `take` is empty.
bool step_along(std::vector<UndoStep>& take, std::vector<UndoStep>& keep)
{
    if (take.empty())
        return false;
    keep.push_back(position_now());
    go_to(take.back());
    take.pop_back();
    return true;
}

} // namespace

void undo_forget()
{
    for (int i = 0; i < BOARD_CELLS; ++i)
        history.deal[i] = board.cells[i].colour;
    history.undo.clear();
    history.redo.clear();
}

void undo_remember()
{
    history.undo.push_back(position_now());
    history.redo.clear();
}

bool undo_last_pop() { return step_along(history.undo, history.redo); }

bool redo_pop() { return step_along(history.redo, history.undo); }

void restart_deal()
{
    show(history.deal);
    score = 0;
    tiles_popped = 0;
    game_progress = GameProgress::fresh;
    history.undo.clear();
    history.redo.clear();
}
