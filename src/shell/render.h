// Composing a frame from the whole game state, and showing it. Composing is
// not only drawing: as designed, render_frame also advances the little
// animations by one frame (it runs tile offsets down, counts the banner
// down, slides the panel, moves the particles), takes the shaking tiles'
// random draws, and runs the options screen, input included, while it is open.
#pragma once
#include <cstdint>

extern uint8_t frame_counter;  // wraps; the high-score table's wave phase

// The keyboard's cell cursor: shown by the first arrow key, hidden when the
// mouse moves or the game ends; drawn round its cell while shown. The play
// loop moves it.
struct BoardCursor {
    bool shown;
    int column;
    int row;
};
extern BoardCursor board_cursor;

void render_frame(bool draw_pointer);
void present_frame();
// The 320 x 240 frame the screen shows (the back buffer before any is shown).
struct BITMAP;
BITMAP* last_presented_frame();
// Clears the screen to colour 0 directly, outside the frames.
void clear_screen();

// Frames presented so far; tests count the frames an animation shows.
extern unsigned long frames_presented;
