// The points banner, built once per pop from the digit sprites, and the
// game-over panel that slides in from above.
#include "effects/banner.h"

#include <cstdio>

#include "board/random.h"
#include "effects/particles.h"
#include "persist/settings.h"
#include "shell/shell.h"

uint32_t last_points = 0;
int32_t banner_frames_left = 0;
int32_t banner_x = 0;
int32_t banner_y = 0;
int32_t game_over_panel_shown = 0;
int32_t panel_y = PANEL_HIDDEN_Y;

namespace {

constexpr int BANNER_CENTRE_X = 120;  // the middle of the board
constexpr int BANNER_TOP = 50;
constexpr uint32_t FIREWORKS_ABOVE = 30;

} // namespace

void show_points_banner(int points)
{
    last_points = static_cast<uint32_t>(points);
    clear_to_color(BannerBitmap, 0);
    char text[12];
    std::snprintf(text, sizeof text, "%d", points);
    // Digits of different heights share the bottom edge as their baseline;
    // anything past 200 pixels is cut off by the bitmap.
    int pen = 0;
    for (const char* ch = text; *ch != '\0'; ++ch) {
        if (*ch < '0' || *ch > '9')
            continue;
        BITMAP* digit = sprite(*ch - 15);
        draw_sprite(BannerBitmap, digit, pen, BannerBitmap->h - digit->h);
        pen += digit->w;
    }
    banner_y = BANNER_TOP;
    banner_x = BANNER_CENTRE_X - (pen >> 1);
    banner_frames_left = BANNER_FRAMES;
}

void draw_points_banner()
{
    if (banner_frames_left == 0)
        return;
    color_map = &trans_table_190;
    draw_trans_sprite(BackBuffer, BannerBitmap, banner_x, banner_y);
    --banner_frames_left;
    if (banner_frames_left != 0 || last_points <= FIREWORKS_ABOVE || !settings.animations)
        return;
    // Fireworks from the middle of the board: more and faster sparks per hundred points.
    const int k = static_cast<int>(last_points / 100);
    for (int n = 0; n < 50 * (k + 1); ++n) {
        const int y = 70 + random_next() % 20;
        const int x = 110 + random_next() % 20;
        particle_spawn(x, y, COLOUR_SPARK, 3 * k + 1, PARTICLE_PIXEL);
    }
}

void draw_game_over_panel()
{
    if (!game_over_panel_shown && panel_y <= PANEL_HIDDEN_Y)
        return;
    color_map = &trans_table_190;
    draw_trans_sprite(BackBuffer, sprite(OBJ_GAME_OVER_PANEL), 24, panel_y);
    if (game_over_panel_shown) {
        if (panel_y < PANEL_REST_Y)
            panel_y += 2;
    } else {
        panel_y -= 2;
    }
}
