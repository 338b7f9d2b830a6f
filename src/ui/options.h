// The options screen, drawn over the board inside render_frame while open.
#pragma once

extern int options_open;
extern int options_mouse_was_down;

void options_frame();
