// The points banner and the game-over panel. Until the effects land they
// only keep their state.
#include "effects/banner.h"

void show_points_banner(int points)  // stub: replaced with the effects
{
    last_points = static_cast<uint32_t>(points);
}

void draw_points_banner() {}    // stub: replaced with the effects
void draw_game_over_panel() {}  // stub: replaced with the effects
