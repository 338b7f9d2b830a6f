// The static frame art, drawn once into the background bitmap.
#pragma once
#include <allegro.h>

void build_background();
// A filled box with a one-pixel edge, darker above and left, lighter right
// and below; corners inclusive. Expects and leaves solid drawing mode.
void draw_framed_box(BITMAP* bitmap, int x1, int y1, int x2, int y2, int colour);
// The frame around whatever the keyboard is on (a board cell, an options
// row): a gold ring inside the outline ink, corners inclusive.
void draw_key_frame(BITMAP* bitmap, int x1, int y1, int x2, int y2);
