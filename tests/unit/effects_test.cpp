// Particles, pop animations, the points banner and the game-over panel.
#include <gtest/gtest.h>

#include <cmath>

#include "board/board.h"
#include "board/groups.h"
#include "board/random.h"
#include "board_text.h"
#include "effects/banner.h"
#include "effects/particles.h"
#include "effects/pop.h"
#include "persist/settings.h"
#include "shell/background.h"
#include "shell/input.h"
#include "shell/render.h"
#include "shell/shell.h"
#include "test_env.h"

namespace {

int live_particles()
{
    int n = 0;
    for (const Particle& p : particle_pool)
        n += p.active;
    return n;
}

class Effects : public ::testing::Test {
protected:
    void SetUp() override
    {
        start_scene();
        particles_clear();
        banner_frames_left = 0;
        game_over_panel_shown = 0;
        panel_y = PANEL_HIDDEN_Y;
        random_restart();
    }
    void TearDown() override
    {
        end_scene();
        particles_clear();
    }

    // A still particle placed at an exact 16.16 position.
    Particle& place(int slot, int32_t x, int32_t y, int kind = PARTICLE_PIXEL, int look = COLOUR_SPARK)
    {
        Particle& p = particle_pool[slot];
        p = Particle{x, y, 0, 0, static_cast<uint8_t>(look), 1, static_cast<uint8_t>(kind)};
        return p;
    }

    void mark(const char* picture)
    {
        set_board(picture);
        for (Cell& c : board.cells)
            c.marked = c.colour != 0;
    }

    // A pop as the game makes one: the animation, then the rule empties the group.
    unsigned long frames_for(int step, int style)
    {
        const unsigned long before = frames_presented;
        pop_animate(step, style);
        empty_group(board, marked_cells(board));
        return frames_presented - before;
    }
};

const char* FOUR_MARKED =
    "..........\n..........\n..........\n..........\n..........\n..........\n11........\n22........";

} // namespace

TEST_F(Effects, ThePoolFillsToItsSizeAndThenReplacesTheLastSlot)
{
    for (int i = 0; i < 1200; ++i)
        particle_spawn(100, 100, COLOUR_SPARK, 1, PARTICLE_PIXEL);
    EXPECT_EQ(live_particles(), PARTICLE_POOL_SIZE);
    EXPECT_EQ(random_draws(), 2400u) << "speed then direction, for every spawn";
    // The last spawn replaced the one before it in slot 1023.
    particle_pool[1023].look = 3;
    particle_spawn(50, 60, 9, 1, PARTICLE_SPRITE);
    EXPECT_EQ(particle_pool[1023].look, 9);
    EXPECT_EQ(particle_pool[1023].x, 50 * 65536);
    EXPECT_EQ(live_particles(), PARTICLE_POOL_SIZE);
    // A freed slot is taken before the last one.
    particle_pool[17].active = 0;
    particle_spawn(1, 2, 4, 1, PARTICLE_PIXEL);
    EXPECT_EQ(particle_pool[17].look, 4);
}

TEST_F(Effects, ParticlesAreRetiredJustPastTheScreenEdges)
{
    place(0, 320 * 65536, 100 * 65536);
    place(1, 321 * 65536, 100 * 65536);
    place(2, -20 * 65536, 100 * 65536);
    place(3, -21 * 65536, 100 * 65536);
    place(4, 100 * 65536, 240 * 65536 - PARTICLE_GRAVITY);
    place(5, 100 * 65536, 241 * 65536);
    place(6, 100 * 65536, -500 * 65536);
    particles_update();
    EXPECT_TRUE(particle_pool[0].active) << "x 320 lives";
    EXPECT_FALSE(particle_pool[1].active) << "x 321 is retired";
    EXPECT_TRUE(particle_pool[2].active) << "x -20 lives";
    EXPECT_FALSE(particle_pool[3].active) << "x -21 is retired";
    EXPECT_TRUE(particle_pool[4].active) << "y 240 lives";
    EXPECT_FALSE(particle_pool[5].active) << "y 241 is retired";
    EXPECT_TRUE(particle_pool[6].active) << "above the top edge it lives and falls back";
    EXPECT_EQ(particle_pool[6].vy, PARTICLE_GRAVITY);
}

TEST_F(Effects, ASpriteParticleIsDrawnSolidAsItsArchiveObject)
{
    clear_to_color(BackBuffer, 0);
    place(0, 50 * 65536, 60 * 65536, PARTICLE_SPRITE, 5);
    particles_update();
    BITMAP* expected = create_bitmap(SCREEN_WIDTH, SCREEN_HEIGHT);
    clear_to_color(expected, 0);
    draw_sprite(expected, sprite(6), 50, 60);
    for (int y = 60; y < 79; ++y)
        for (int x = 50; x < 69; ++x)
            ASSERT_EQ(getpixel(BackBuffer, x, y), getpixel(expected, x, y)) << x << "," << y;
    destroy_bitmap(expected);
}

TEST_F(Effects, EachPopStyleShowsItsFramesAndLeavesItsLastLevel)
{
    mark(FOUR_MARKED);
    EXPECT_EQ(frames_for(10, POP_FADE), 21u);
    EXPECT_EQ(board.at(0, 7).light, 50) << "the last fade level is stored but never shown";
    EXPECT_EQ(board.at(0, 7).colour, 0);
    EXPECT_EQ(board.at(0, 7).marked, 1) << "marks stay for the caller to clear";

    mark(FOUR_MARKED);
    EXPECT_EQ(frames_for(5, POP_FADE), 41u) << "the restart's fade";

    mark(FOUR_MARKED);
    EXPECT_EQ(frames_for(0, POP_SHRINK), 19u);
    EXPECT_EQ(board.at(1, 6).light, -19);

    mark(FOUR_MARKED);
    EXPECT_EQ(frames_for(5, POP_FLASH), 52u);
    EXPECT_EQ(board.at(1, 6).flash, 0) << "255 is a multiple of 5";
    EXPECT_EQ(live_particles(), 4 * 20);

    mark(FOUR_MARKED);
    EXPECT_EQ(frames_for(7, POP_FLASH), 37u);
    EXPECT_EQ(board.at(1, 6).flash, 3) << "a step that does not divide 255 leaves a level above 0";

    particles_clear();
    mark(FOUR_MARKED);
    random_restart();
    EXPECT_EQ(frames_for(0, POP_BURST), 0u);
    EXPECT_EQ(live_particles(), 4);
    EXPECT_EQ(random_draws(), 1u + 2u * 4u) << "one cue draw, then speed and direction per tile";
    EXPECT_EQ(particle_pool[0].look, THEME_ORIGINAL * 5 + 1);
    EXPECT_EQ(particle_pool[0].x, 20 * 65536);
    EXPECT_EQ(particle_pool[0].y, (10 + 20 * 6) * 65536) << "column 0, row 6 first: column by column";
    EXPECT_EQ(particle_pool[1].y, (10 + 20 * 7) * 65536);
    EXPECT_EQ(particle_pool[2].x, 40 * 65536);
}

TEST_F(Effects, WithAnimationsOffAPopOnlyEmptiesTheCells)
{
    settings.animations = 0;
    for (int style = 0; style <= 5; ++style) {
        mark(FOUR_MARKED);
        random_restart();
        EXPECT_EQ(frames_for(10, style), 0u) << "style " << style;
        EXPECT_EQ(random_draws(), 0u) << "no cue";
        for (const Cell& c : board.cells)
            EXPECT_EQ(c.colour, 0);
    }
    EXPECT_EQ(live_particles(), 0);
}

TEST_F(Effects, AnUnknownStylePlaysNothingButStillEmptiesTheCells)
{
    mark(FOUR_MARKED);
    random_restart();
    EXPECT_EQ(frames_for(10, 9), 0u);
    EXPECT_EQ(random_draws(), 0u);
    for (const Cell& c : board.cells)
        EXPECT_EQ(c.colour, 0);
}

TEST_F(Effects, TheNewBoardFadesInOverFortyOneFramesAndEndsUnlit)
{
    new_game();
    const unsigned long before = frames_presented;
    board_fade_in(5);
    EXPECT_EQ(frames_presented - before, 41u);
    for (const Cell& c : board.cells) {
        EXPECT_EQ(c.light, 0);
        EXPECT_EQ(c.flash, 0);
    }
    settings.animations = 0;
    for (Cell& c : board.cells)
        c.flash = 9;
    const unsigned long again = frames_presented;
    board_fade_in(5);
    EXPECT_EQ(frames_presented, again);
    for (const Cell& c : board.cells)
        EXPECT_EQ(c.flash, 0);
}

TEST_F(Effects, TheBannerIsCentredOnTheBoardAndSharesOneBaseline)
{
    show_points_banner(8);
    const int w8 = sprite('8' - 15)->w;
    EXPECT_EQ(banner_x, 120 - (w8 >> 1));
    EXPECT_EQ(banner_y, 50);
    EXPECT_EQ(banner_frames_left, 50);

    show_points_banner(63990);
    int total = 0;
    for (char ch : std::string("63990"))
        total += sprite(ch - 15)->w;
    EXPECT_EQ(banner_x, 120 - (total >> 1));
    // Each digit stands on the bitmap's bottom row.
    int pen = 0;
    for (char ch : std::string("63990")) {
        BITMAP* digit = sprite(ch - 15);
        for (int y = 0; y < digit->h; ++y)
            for (int x = 0; x < digit->w; ++x)
                if (getpixel(digit, x, y) != 0) {
                    ASSERT_EQ(getpixel(BannerBitmap, pen + x, 50 - digit->h + y), getpixel(digit, x, y));
                }
        pen += digit->w;
    }
}

TEST_F(Effects, FireworksFollowABannerOfMoreThanThirtyPoints)
{
    struct Case {
        int points;
        int sparks;
    };
    for (const Case& c : {Case{30, 0}, Case{35, 50}, Case{150, 100}, Case{250, 150}}) {
        particles_clear();
        show_points_banner(c.points);
        for (int frame = 0; frame < 49; ++frame)
            draw_points_banner();
        EXPECT_EQ(live_particles(), 0) << "no sparks before the banner ends";
        random_restart();
        draw_points_banner();
        EXPECT_EQ(banner_frames_left, 0);
        EXPECT_EQ(live_particles(), c.sparks) << c.points << " points";
        EXPECT_EQ(random_draws(), 4u * c.sparks) << "y, x, speed and direction per spark";
    }
    // Speed range 1 for 35 points: every spark leaves at one pixel a frame.
    particles_clear();
    show_points_banner(35);
    for (int frame = 0; frame < 50; ++frame)
        draw_points_banner();
    for (const Particle& p : particle_pool) {
        if (!p.active)
            continue;
        EXPECT_NEAR(std::hypot(p.vx / 65536.0, p.vy / 65536.0), 1.0, 0.001);
        EXPECT_GE(p.x, 110 * 65536);
        EXPECT_LT(p.x, 130 * 65536);
        EXPECT_GE(p.y, 70 * 65536);
        EXPECT_LT(p.y, 90 * 65536);
    }
}

TEST_F(Effects, NoFireworksWithAnimationsOffOrWhenANewBannerTakesOver)
{
    settings.animations = 0;
    show_points_banner(500);
    for (int frame = 0; frame < 50; ++frame)
        draw_points_banner();
    EXPECT_EQ(live_particles(), 0);

    settings.animations = 1;
    show_points_banner(500);
    for (int frame = 0; frame < 30; ++frame)
        draw_points_banner();
    show_points_banner(3);
    for (int frame = 0; frame < 49; ++frame)
        draw_points_banner();
    EXPECT_EQ(banner_frames_left, 1) << "the new banner shows for a full 50 frames";
    draw_points_banner();
    EXPECT_EQ(live_particles(), 0) << "the old banner's fireworks never happen";
}

TEST_F(Effects, ThePanelSlidesDownToSeventyAndBackUp)
{
    draw_game_over_panel();
    EXPECT_EQ(panel_y, PANEL_HIDDEN_Y) << "hidden panel stays put";
    game_over_panel_shown = 1;
    for (int frame = 1; frame <= 50; ++frame) {
        draw_game_over_panel();
        ASSERT_EQ(panel_y, -30 + 2 * frame);
    }
    draw_game_over_panel();
    EXPECT_EQ(panel_y, 70) << "at rest";
    game_over_panel_shown = 0;
    for (int frame = 1; frame <= 50; ++frame) {
        draw_game_over_panel();
        ASSERT_EQ(panel_y, 70 - 2 * frame);
    }
    draw_game_over_panel();
    EXPECT_EQ(panel_y, PANEL_HIDDEN_Y) << "gone again";

    // Cleared halfway in, it turns back at once.
    game_over_panel_shown = 1;
    for (int frame = 0; frame < 20; ++frame)
        draw_game_over_panel();
    EXPECT_EQ(panel_y, 10);
    game_over_panel_shown = 0;
    draw_game_over_panel();
    EXPECT_EQ(panel_y, 8);
}
