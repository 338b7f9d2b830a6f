// Frames composed into memory: moving tiles, shrinking and shaking tiles,
// the framed boxes and the board well's shadow.
#include <gtest/gtest.h>

#include "board/board.h"
#include "board/random.h"
#include "board_text.h"
#include "persist/settings.h"
#include "shell/background.h"
#include "shell/input.h"
#include "shell/render.h"
#include "shell/shell.h"
#include "test_env.h"

namespace {

const char* NO_TILES =
    "..........\n..........\n..........\n..........\n..........\n..........\n..........\n..........";

class Rendering : public ::testing::Test {
protected:
    void SetUp() override
    {
        start_scene();
        set_board(NO_TILES);
    }
    void TearDown() override { end_scene(); }

    BITMAP* tile(int colour) { return sprite(OBJ_TILE_BASE + 5 * settings.theme + colour); }

    // The background with `picture` drawn over it where expected, compared
    // with the frame over the whole board well.
    bool board_area_matches(BITMAP* expected)
    {
        for (int y = 5; y < 175; ++y)
            for (int x = 15; x < 225; ++x)
                if (getpixel(BackBuffer, x, y) != getpixel(expected, x, y))
                    return false;
        return true;
    }

    BITMAP* background_copy()
    {
        BITMAP* copy = create_bitmap(SCREEN_WIDTH, SCREEN_HEIGHT);
        blit(BackgroundBitmap, copy, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
        return copy;
    }
};

} // namespace

TEST_F(Rendering, AMovedTileSlidesSidewaysFirstThenFallsHomeInTenFrames)
{
    board.at(5, 5).colour = 2;
    board.at(5, 5).offset_x = -20;
    board.at(5, 5).offset_y = -20;
    const int home_x = 20 + 20 * 5;
    const int home_y = 10 + 20 * 5;
    const int expected[11][2] = {{-20, -20}, {-16, -20}, {-12, -20}, {-8, -20}, {-4, -20}, {0, -20},
                                 {0, -16},   {0, -12},   {0, -8},    {0, -4},   {0, 0}};
    for (int frame = 0; frame <= 10; ++frame) {
        render_frame(true);
        BITMAP* picture = background_copy();
        draw_sprite(picture, tile(2), home_x + expected[frame][0], home_y + expected[frame][1]);
        EXPECT_TRUE(board_area_matches(picture)) << "frame " << frame;
        destroy_bitmap(picture);
    }
    EXPECT_EQ(board.at(5, 5).offset_x, 0);
    EXPECT_EQ(board.at(5, 5).offset_y, 0);
}

TEST_F(Rendering, AnEmptyCellIsSkippedAndKeepsItsOffsets)
{
    board.at(3, 3).offset_x = -20;
    board.at(3, 3).offset_y = 12;
    board.at(3, 3).light = 200;
    board.at(3, 3).marked = 1;
    random_restart();
    render_frame(false);
    EXPECT_EQ(board.at(3, 3).offset_x, -20);
    EXPECT_EQ(board.at(3, 3).offset_y, 12);
    EXPECT_EQ(random_draws(), 0u) << "an empty cell draws no shake";
    BITMAP* picture = background_copy();
    EXPECT_TRUE(board_area_matches(picture));
    destroy_bitmap(picture);
}

TEST_F(Rendering, AShrinkLevelOfNineteenLeavesNothingVisible)
{
    board.at(9, 7).colour = 1;
    board.at(9, 7).light = -19;
    render_frame(false);
    BITMAP* picture = background_copy();
    EXPECT_TRUE(board_area_matches(picture));
    destroy_bitmap(picture);
}

TEST_F(Rendering, AMarkedTileShakesWithinOnePixelAndStillSlides)
{
    board.at(4, 2).colour = 3;
    board.at(4, 2).marked = 1;
    board.at(4, 2).offset_x = -20;
    const int home_x = 20 + 20 * 4;
    const int home_y = 10 + 20 * 2;
    int positions_seen = 0;
    bool seen[3][3] = {};
    for (int frame = 0; frame < 40; ++frame) {
        random_restart(1000 + frame);
        render_frame(false);
        int found = 0;
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                BITMAP* picture = background_copy();
                draw_sprite(picture, tile(3), home_x + dx, home_y + dy);
                if (board_area_matches(picture)) {
                    ++found;
                    if (!seen[dy + 1][dx + 1])
                        ++positions_seen;
                    seen[dy + 1][dx + 1] = true;
                }
                destroy_bitmap(picture);
            }
        }
        EXPECT_EQ(found, 1) << "frame " << frame << ": the tile lies within a pixel of home, offsets ignored";
        EXPECT_EQ(random_draws(), 2u) << "one draw for y, one for x";
    }
    EXPECT_GT(positions_seen, 3) << "the shake moves the tile about";
    EXPECT_EQ(board.at(4, 2).offset_x, 0) << "offsets decay while shaking";
}

TEST_F(Rendering, TheFramedBoxLeavesTwoCornersAlone)
{
    BITMAP* b = create_bitmap(40, 40);
    const int under = 100;
    clear_to_color(b, under);
    draw_framed_box(b, 10, 10, 20, 20, 7);
    EXPECT_EQ(getpixel(b, 15, 15), 7);
    EXPECT_EQ(getpixel(b, 21, 9), under) << "top-right corner untouched";
    EXPECT_EQ(getpixel(b, 9, 21), under) << "bottom-left corner untouched";
    const int darker = dark_light_table.data[170][under];
    const int lighter = white_light_table.data[170][under];
    EXPECT_EQ(getpixel(b, 10, 9), darker) << "top edge";
    EXPECT_EQ(getpixel(b, 9, 9), darker) << "top-left corner, with the left edge";
    EXPECT_EQ(getpixel(b, 9, 20), darker) << "left edge";
    EXPECT_EQ(getpixel(b, 21, 10), lighter) << "right edge";
    EXPECT_EQ(getpixel(b, 21, 21), lighter) << "bottom-right corner, with the right edge";
    EXPECT_EQ(getpixel(b, 20, 21), lighter) << "bottom edge";
    EXPECT_NE(darker, lighter);
    destroy_bitmap(b);
}

TEST_F(Rendering, TheShadowDarkensTheBoardWellAndItsRimButNothingOutside)
{
    BITMAP* picture = sprite(OBJ_BACKGROUND);
    for (int x : {15, 18, 100})
        EXPECT_NE(getpixel(BackgroundBitmap, x, 100), getpixel(picture, x, 100)) << "x " << x;
    EXPECT_EQ(getpixel(BackgroundBitmap, 14, 100), getpixel(picture, 14, 100));
}

TEST_F(Rendering, TheHeadUpBoxesShowScoreTilesAndModeTag)
{
    score = 0;
    render_frame(false);
    BITMAP* zero = create_bitmap(SCREEN_WIDTH, SCREEN_HEIGHT);
    blit(BackBuffer, zero, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    score = 12345;
    render_frame(false);
    bool score_changed = false;
    bool tag_same = true;
    for (int y = 19; y < 36; ++y)
        for (int x = 240; x <= 310; ++x)
            score_changed |= getpixel(BackBuffer, x, y) != getpixel(zero, x, y);
    for (int y = 119; y < 136; ++y)
        for (int x = 240; x <= 310; ++x)
            tag_same &= getpixel(BackBuffer, x, y) == getpixel(zero, x, y);
    EXPECT_TRUE(score_changed);
    EXPECT_TRUE(tag_same);
    settings.game_mode = MODE_MEGASHIFTER;
    render_frame(false);
    bool tag_changed = false;
    for (int y = 119; y < 136; ++y)
        for (int x = 240; x <= 310; ++x)
            tag_changed |= getpixel(BackBuffer, x, y) != getpixel(zero, x, y);
    EXPECT_TRUE(tag_changed) << "TRAD becomes MEGA";
    destroy_bitmap(zero);
}

TEST(WindowScale, TheLargestWindowThatFitsNinetyPercentOfTheDesktop)
{
    EXPECT_EQ(choose_scale(1920, 1080), 4);
    EXPECT_EQ(choose_scale(1366, 768), 2);
    EXPECT_EQ(choose_scale(1280, 1024), 3);
    EXPECT_EQ(choose_scale(320, 240), 1);
    EXPECT_EQ(choose_scale(3840, 2160), 6);
    EXPECT_EQ(choose_scale(100, 100), 1) << "never below 1";
}

TEST(WholeScreen, ThePictureTakesTheLargestWholeScaleAndThePointerLandsWhereItIsDrawn)
{
    EXPECT_EQ(whole_screen_scale(1920, 1080), 4);
    EXPECT_EQ(whole_screen_scale(1024, 768), 3);
    EXPECT_EQ(whole_screen_scale(1366, 768), 3);
    EXPECT_EQ(whole_screen_scale(3840, 2160), 9);
    EXPECT_EQ(whole_screen_scale(320, 240), 1);
    EXPECT_EQ(whole_screen_scale(300, 200), 1) << "never below 1";

    // Every scale, in a window (at 0, 0) and centred on a whole screen: each
    // display pixel of a game pixel's square is read as that game pixel,
    // and the black band round the picture as its nearest edge.
    start_headless();
    set_pointer_source(nullptr);
    const PicturePlace before = picture_place;
    for (int k = 1; k <= 16; ++k) {
        for (const PicturePlace& at : {PicturePlace{k, 0, 0}, PicturePlace{k, 37, 21}}) {
            picture_place = at;
            for (const auto& [x, y] : {std::pair{0, 0}, std::pair{30, 20}, std::pair{217, 133}, std::pair{319, 239}}) {
                for (const int inside : {0, k - 1}) {
                    mouse_x = at.left + x * k + inside;
                    mouse_y = at.top + y * k + inside;
                    const PointerState p = read_pointer();
                    EXPECT_EQ(p.x, x) << "scale " << k << ", picture at " << at.left << ", display x " << mouse_x;
                    EXPECT_EQ(p.y, y) << "scale " << k << ", picture at " << at.top << ", display y " << mouse_y;
                }
            }
            mouse_x = at.left - 1;
            mouse_y = at.top + SCREEN_HEIGHT * k;
            const PointerState band = read_pointer();
            EXPECT_EQ(band.x, 0) << "left of the picture, scale " << k;
            EXPECT_EQ(band.y, SCREEN_HEIGHT - 1) << "below the picture, scale " << k;
        }
    }
    picture_place = before;
}
