// Composing a frame from the whole game state, and showing it.
#pragma once
#include <cstdint>

extern uint8_t frame_counter;  // wraps; the high-score table's wave phase
extern const char* const mode_tags[4];

void render_frame(bool draw_pointer);
void present_frame();

// Frames presented so far; tests count the frames an animation shows.
extern unsigned long frames_presented;
