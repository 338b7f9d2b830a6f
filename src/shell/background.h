// The static frame art, drawn once into the background bitmap.
#pragma once
#include <allegro.h>

// The three side buttons (new game, options, quit) are part of the
// background: their top-left corners, and their size. Each one's label
// stands LABEL_DX, LABEL_DY from its corner.
constexpr int SIDE_BUTTON_X[3] = {200, 210, 220};
constexpr int SIDE_BUTTON_Y[3] = {180, 198, 216};
constexpr int SIDE_BUTTON_SIZE = 17;
constexpr int SIDE_LABEL_DX = 20;
constexpr int SIDE_LABEL_DY = 3;

void build_background();
// A filled box with a one-pixel edge, darker above and left, lighter right
// and below; corners inclusive. Expects and leaves solid drawing mode.
void draw_framed_box(BITMAP* bitmap, int x1, int y1, int x2, int y2, int colour);
// The frame around whatever the keyboard is on (a board cell, an options
// row): a gold ring inside the outline ink, corners inclusive.
void draw_key_frame(BITMAP* bitmap, int x1, int y1, int x2, int y2);
