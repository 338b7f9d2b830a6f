// Frame pacing: the display's retrace where it has one, else the 15 ms tick.
#include <allegro.h>
#include <gtest/gtest.h>

#include "play/game_loop.h"
#include "board_text.h"
#include "effects/pop.h"
#include "shell/frame_clock.h"
#include "shell/render.h"
#include "shell/shell.h"
#include "test_env.h"

namespace {

int retrace_waits = 0;
int ticks_slept = 0;
void count_retrace_wait() { ++retrace_waits; }
// The timer's stand-in: a wait that would sleep sees the next tick at once.
void tick_arrives()
{
    ++ticks_slept;
    tick_handler();
}

// The library reports this driver; its retrace wait only counts.
class Pacing : public ::testing::Test {
protected:
    void SetUp() override
    {
        start_scene();
        set_board("..........\n..........\n..........\n..........\n..........\n..........\n..........\n11........");
        driver.vsync = count_retrace_wait;
        gfx_driver = &driver;
        screen = create_bitmap(SCREEN_WIDTH, SCREEN_HEIGHT);
        set_tick_sleep(tick_arrives);
        retrace_waits = 0;
        ticks_slept = 0;
    }
    void TearDown() override
    {
        set_tick_sleep(nullptr);
        destroy_bitmap(screen);
        screen = nullptr;
        gfx_driver = nullptr;
        frame_pacing = FramePacing::retrace;
        end_scene();
    }
    GFX_DRIVER driver{};
};

// Every loop that shows frames, once each: the board's fade-in (41 frames
// paced by presenting alone), a frame of play with run_game's wait for the
// tick after it, and a frame of the intro (wait for the tick, then present).
// 43 frames, two of the waits the loops' own.
void show_a_frame_of_each_loop()
{
    retrace_waits = 0;
    ticks_slept = 0;
    board_fade_in(5);
    ClickState click = ClickState::idle;
    EXPECT_EQ(play_frame(click), LOOP_CONTINUE);
    wait_for_tick();
    tick_counter = 0;
    wait_for_tick();
    present_frame();
}

} // namespace

TEST_F(Pacing, InAWindowEveryLoopShowsOneFramePerTickAndNeverWaitsForTheEmulatedRetrace)
{
    driver.windowed = TRUE;
    decide_frame_pacing();
    present_frame();  // the first waits for whatever tick comes next
    show_a_frame_of_each_loop();
    EXPECT_EQ(ticks_slept, 43) << "one tick per frame, not two";
    EXPECT_EQ(retrace_waits, 0);
}

TEST_F(Pacing, FullScreenEveryFrameWaitsForTheRetraceExceptUnderXWhichOnlyEmulatesIt)
{
    decide_frame_pacing();
    show_a_frame_of_each_loop();
    EXPECT_EQ(retrace_waits, 43) << "a real retrace paces every frame, as designed";
    EXPECT_EQ(ticks_slept, 2) << "only the loops' own waits for the tick";

    SYSTEM_DRIVER x11 = *system_driver;
    x11.id = SYSTEM_XWINDOWS;
    SYSTEM_DRIVER* real = system_driver;
    system_driver = &x11;
    decide_frame_pacing();
    system_driver = real;
    present_frame();
    show_a_frame_of_each_loop();
    EXPECT_EQ(retrace_waits, 0);
    EXPECT_EQ(ticks_slept, 43);
}
