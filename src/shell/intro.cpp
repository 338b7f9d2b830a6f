// The intro: rising tiles of the first theme in two depth layers, three
// pictures scrolling up at two speeds, and the tune, which starts here and
// loops for the rest of the run.
#include "shell/intro.h"

#include "board/board.h"
#include "board/random.h"
#include "shell/frame_clock.h"
#include "shell/input.h"
#include "shell/render.h"
#include "shell/shell.h"

namespace {

constexpr int FRONT_LAYER_SPEED = 4;

void draw_layer(const Intro& intro, bool front)
{
    for (const RisingTile& t : intro.tiles) {
        if (t.active && (t.speed >= FRONT_LAYER_SPEED) == front)
            draw_sprite(BackBuffer, sprite(t.colour + 1), t.x, t.y);
    }
}

} // namespace

void intro_setup(Intro& intro)
{
    for (RisingTile& t : intro.tiles) {
        t.active = 0;
        t.colour = static_cast<uint8_t>(1 + random_next() % colour_count);
    }
}

void intro_frame(Intro& intro)
{
    if (random_next() % 100 < 30) {
        for (RisingTile& t : intro.tiles) {
            if (t.active)
                continue;
            // x is drawn before the speed; with every tile in flight, nothing is drawn.
            t.active = 1;
            t.x = random_next() % 320;
            t.y = 240;
            t.speed = 1 + random_next() % 8;
            break;
        }
    }
    for (RisingTile& t : intro.tiles) {
        if (!t.active)
            continue;
        t.y -= t.speed;
        if (t.y < -20)
            t.active = 0;
    }
    clear_to_color(BackBuffer, 0);
    draw_layer(intro, false);
    draw_sprite(BackBuffer, sprite(OBJ_INTRO_1), 28, intro.p_y);
    draw_sprite(BackBuffer, sprite(OBJ_INTRO_2), 104, intro.q_y);
    draw_sprite(BackBuffer, sprite(OBJ_LOGO), 79, intro.p_y + 300);
    draw_layer(intro, true);
    intro.p_y -= 1;
    intro.q_y -= 2;
}

bool intro_continues(Intro& intro, bool escape_held)
{
    --intro.countdown;
    return intro.countdown > 2000 - INTRO_FRAMES && !escape_held;
}

void play_intro()
{
    clear_screen();
    set_palette(game_palette());
    Intro intro;
    intro_setup(intro);
    if (sound_ready) {
        // The synth loads the tune's instruments now, through the packfile layer.
        packfile_password(nullptr);
        play_midi(static_cast<MIDI*>(Datafile[OBJ_MUSIC].dat), TRUE);
        packfile_password(PACKFILE_PASSWORD);
    }
    do {
        tick_counter = 0;
        intro_frame(intro);
        wait_for_tick();
        present_frame();
        // The window's close button ends the intro at once; play's first
        // frame then asks the quit question.
    } while (intro_continues(intro, key[KEY_ESC] || quit_requested()));
    fade_out(4);
    clear_screen();
}
