// The options screen. Until the interface lands it never opens.
#include "ui/options.h"

int options_open = 0;
int options_mouse_was_down = 0;

void options_frame() {}  // stub: replaced with the interface
