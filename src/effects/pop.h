// Pop animations over the marked cells, the new-board fade-in, and the
// random-pitch cue every click of the interface goes through.
#pragma once

enum PopStyle { POP_FADE = 1, POP_BURST = 2, POP_SHRINK = 3, POP_FLASH = 4 };

// Plays archive sample `sample` once at the sample volume, centred,
// at frequency 800 + (random mod 400). One draw per call.
void play_cue(int sample);
// Plays the style's animation over every marked cell (when animations are
// on). It only draws and sounds: emptying the cells is the caller's pop.
void pop_animate(int step, int style);
// Lights the whole board up from dark; always ends with light and flash at 0.
void board_fade_in(int step);
