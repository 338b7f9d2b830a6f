// The intro: its fixed number of draws, the first board dealt after it,
// Esc, a full sky of tiles, and the two depth layers.
#include <gtest/gtest.h>

#include <sstream>

#include "board/board.h"
#include "board/random.h"
#include "board_text.h"
#include "shell/intro.h"
#include "shell/shell.h"
#include "test_env.h"

namespace {

class IntroSequence : public ::testing::Test {
protected:
    void SetUp() override
    {
        start_headless_with_archive();
        random_restart();
    }
};

} // namespace

TEST_F(IntroSequence, TheFullIntroShowsSevenHundredSixtyFramesAndFixesTheFirstDeal)
{
    Intro intro;
    intro_setup(intro);
    EXPECT_EQ(random_draws(), 256u) << "one colour per tile, in index order";
    int frames = 0;
    do {
        intro_frame(intro);
        ++frames;
    } while (intro_continues(intro, false));
    EXPECT_EQ(frames, INTRO_FRAMES);
    EXPECT_EQ(intro.p_y, 400 - 760);
    // Both numbers follow from the game's design, whatever the archive holds.
    const std::string recorded = read_file(std::string(ZORBL_SOURCE_DIR) + "/tests/golden/first_deal.txt");
    std::ostringstream played;
    played << "draws " << random_draws() << "\n";
    new_game();
    played << board_text();
    EXPECT_EQ(played.str(), recorded);
}

TEST_F(IntroSequence, HoldingEscEndsItAfterOneFrame)
{
    Intro intro;
    intro_setup(intro);
    intro_frame(intro);
    EXPECT_FALSE(intro_continues(intro, true));
}

TEST_F(IntroSequence, WithEveryTileInFlightALaunchDrawsNothingMore)
{
    Intro intro;
    intro_setup(intro);
    for (RisingTile& t : intro.tiles) {
        t.active = 1;
        t.speed = 1;
        t.y = 200;
        t.x = 0;
    }
    random_restart();
    for (int frame = 0; frame < 20; ++frame)
        intro_frame(intro);
    EXPECT_EQ(random_draws(), 20u) << "only the launch draw, every frame";
    EXPECT_EQ(intro.tiles[0].y, 180);
}

TEST_F(IntroSequence, AReusedSlotKeepsItsColourAndATileLeavesPastMinusTwenty)
{
    Intro intro;
    intro_setup(intro);
    const uint8_t colour = intro.tiles[0].colour;
    intro.tiles[0] = RisingTile{colour, 1, 4, 10, -16};
    for (RisingTile& t : intro.tiles)
        if (&t != &intro.tiles[0])
            t.active = 1, t.y = 100000, t.speed = 1;
    intro_frame(intro);
    EXPECT_EQ(intro.tiles[0].y, -20);
    EXPECT_TRUE(intro.tiles[0].active) << "still drawn at -20";
    intro_frame(intro);
    EXPECT_FALSE(intro.tiles[0].active) << "gone below -20";
    EXPECT_EQ(intro.tiles[0].colour, colour);
}

TEST_F(IntroSequence, SlowTilesRiseBehindThePicturesAndFastOnesInFront)
{
    for (int speed : {3, 4}) {
        Intro intro;
        intro_setup(intro);
        for (RisingTile& t : intro.tiles)
            t.active = 1, t.y = 100000, t.speed = 1;
        // A solid pixel of the first picture, unlike the tile's middle, under
        // the tile's middle; the tile moves up by its speed before it is drawn.
        intro.p_y = 100;
        BITMAP* picture = sprite(OBJ_INTRO_1);
        BITMAP* tile = sprite(intro.tiles[5].colour + 1);
        int px = -1;
        int py = -1;
        for (int y = 9; y < picture->h - 10 && px < 0; ++y)
            for (int x = 9; x < picture->w - 10 && px < 0; ++x)
                if (getpixel(picture, x, y) != 0 && getpixel(picture, x, y) != getpixel(tile, 9, 9))
                    px = x - 9, py = y - 9;
        ASSERT_GE(px, 0);
        intro.tiles[5] = RisingTile{intro.tiles[5].colour, 1, speed, 28 + px, 100 + py + speed};
        intro_frame(intro);
        const int cx = 28 + px + 9;
        const int cy = 100 + py + 9;
        if (speed == 3)
            EXPECT_EQ(getpixel(BackBuffer, cx, cy), getpixel(picture, px + 9, py + 9)) << "speed 3 is behind";
        else
            EXPECT_EQ(getpixel(BackBuffer, cx, cy), getpixel(tile, 9, 9)) << "speed 4 is in front";
    }
}
