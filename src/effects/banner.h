// The points banner over the board and the sliding game-over panel.
#pragma once
#include <cstdint>

extern uint32_t last_points;          // points of the last banner
extern int32_t banner_frames_left;    // 0: no banner
extern int32_t banner_x;
extern int32_t banner_y;
extern int32_t game_over_panel_shown; // while set the panel slides in, else out
extern int32_t panel_y;               // the panel's top edge; hidden at -30

constexpr int BANNER_FRAMES = 50;
constexpr int PANEL_HIDDEN_Y = -30;
constexpr int PANEL_REST_Y = 70;

// Builds the number from the digit sprites and shows it for 50 frames.
void show_points_banner(int points);
// Per-frame steps, performed by render_frame.
void draw_points_banner();
void draw_game_over_panel();
