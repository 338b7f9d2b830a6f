// Composing a frame from the whole game state, and showing it.
#pragma once
#include <cstdint>

extern uint8_t frame_counter;  // wraps; the high-score table's wave phase
extern const char* const mode_tags[4];

void render_frame(bool draw_pointer);
void present_frame();
// The 320 x 240 frame the screen shows (the back buffer before any is shown).
struct BITMAP;
BITMAP* last_presented_frame();
// Clears the screen to colour 0 directly, outside the frames.
void clear_screen();

// Frames presented so far; tests count the frames an animation shows.
extern unsigned long frames_presented;
