// Pop animations and the random-pitch cue. Until the effects land, a pop
// only empties the marked cells and the fade-in only resets the levels.
#include "effects/pop.h"

#include "board/board.h"
#include "board/random.h"
#include "persist/settings.h"
#include "shell/shell.h"

void play_cue(int sample_index)
{
    const int frequency = 800 + random_next() % 400;
    if (sound_ready)
        play_sample(sample(sample_index), settings.sample_volume, 128, frequency, 0);
}

void pop_animate(int, int)  // stub: replaced with the effects
{
    for (Cell& cell : board.cells) {
        if (cell.marked)
            cell.colour = 0;
    }
}

void board_fade_in(int)  // stub: replaced with the effects
{
    for (Cell& cell : board.cells) {
        cell.light = 0;
        cell.flash = 0;
    }
}
