// The banner's and panel's state. Kept apart from their drawing so that the
// rules (a new game hides the banner) need no library.
#include "effects/banner.h"

uint32_t last_points = 0;
int32_t banner_frames_left = 0;
int32_t banner_x = 0;
int32_t banner_y = 0;
int32_t game_over_panel_shown = 0;
int32_t panel_y = PANEL_HIDDEN_Y;
