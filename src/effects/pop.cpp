// Pop animations over the marked cells, the new-board fade-in, and the
// random-pitch cue. The animations block and draw their own frames, so
// particles and the banner keep moving while they play.
#include "effects/pop.h"

#include "board/board.h"
#include "board/random.h"
#include "effects/particles.h"
#include "persist/settings.h"
#include "shell/render.h"
#include "shell/shell.h"

namespace {

void one_frame()
{
    render_frame(true);
    present_frame();
}

void play_at(int sample_index, int frequency)
{
    if (sound_ready)
        play_sample(sample(sample_index), settings.sample_volume, 128, frequency, 0);
}

template <typename Apply>
void for_marked(Apply apply)
{
    for (int column = 0; column < BOARD_COLUMNS; ++column)
        for (int row = 0; row < BOARD_ROWS; ++row)
            if (board.at(column, row).marked)
                apply(board.at(column, row), column, row);
}

// Tiles shake and darken. The last level stored is never shown.
void fade(int step)
{
    play_cue(OBJ_SND_CLICK);
    int level = 250;
    do {
        one_frame();
        for_marked([level](Cell& c, int, int) { c.light = level; });
        level -= step;
    } while (level >= 50);
}

// Every tile flies off as a sprite particle; no frame is drawn here.
void burst()
{
    play_cue(OBJ_SND_BURST);
    for_marked([](Cell& c, int column, int row) {
        particle_spawn(BOARD_X + CELL_SIZE * column, BOARD_Y + CELL_SIZE * row, settings.theme * 5 + c.colour, 3,
                       PARTICLE_SPRITE);
    });
}

// Tiles shrink about their middles: 19 frames, sizes 18 down to 1.
void shrink()
{
    play_cue(OBJ_SND_SHRINK);
    int size = -1;
    do {
        one_frame();
        for_marked([size](Cell& c, int, int) { c.light = size; });
        --size;
    } while (size > -20);
}

// Tiles shake and whiten, then explode into white sparks.
void flash(int step)
{
    play_at(OBJ_SND_FLASH, 800);
    int level = 255;
    do {
        one_frame();
        for_marked([level](Cell& c, int, int) { c.flash = level; });
        level -= step;
    } while (level >= 0);
    play_at(OBJ_SND_EXPLOSION, 1000);
    for_marked([](Cell&, int column, int row) {
        for (int n = 0; n < 20; ++n)
            particle_spawn(25 + CELL_SIZE * column, 15 + CELL_SIZE * row, COLOUR_SPARK, 4, PARTICLE_PIXEL);
    });
}

} // namespace

void play_cue(int sample_index) { play_at(sample_index, 800 + random_next() % 400); }

void pop_animate(int step, int style)
{
    if (settings.animations) {
        switch (style) {
        case POP_FADE:
            fade(step);
            break;
        case POP_BURST:
            burst();
            break;
        case POP_SHRINK:
            shrink();
            break;
        case POP_FLASH:
            flash(step);
            break;
        default:
            break;  // an unknown style plays nothing
        }
    }
    // The tiles are still there: the caller empties the group and settles
    // (marks, light and flash are cleared after settling).
}

void board_fade_in(int step)
{
    if (settings.animations) {
        int level = 50;
        do {
            for (Cell& c : board.cells)
                c.light = level;
            one_frame();
            level += step;
        } while (level < 255);
    }
    for (Cell& c : board.cells) {
        c.light = 0;
        c.flash = 0;
    }
}
