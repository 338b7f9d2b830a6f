// The options screen, drawn over the board inside render_frame while open.
#pragma once

extern int options_open;
extern int options_mouse_was_down;
// The row the arrow keys are on, -1 while none is (the screen opens so).
extern int options_highlight;

// Start-up: the eight buttons of the screen, in the order they are added.
void create_option_buttons();
// Draws the screen and handles the mouse and keys for this frame.
void options_frame();
// What a press beginning on button `hit` does (0: none).
void options_act(int hit);
// The volume a knob dragged to pointer x gives: 0 left of 150, 255 right of 201.
int slider_volume(int pointer_x);
