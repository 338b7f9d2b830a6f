// The frame clock, all of it: the 15 ms tick and its counter, the frame
// loops' waits, and what present_frame waits for (the display's retrace, or
// the tick where there is no real retrace).
#pragma once
#include <atomic>

// Raised by the timer every 15 ms (on the library's timer thread), set to 0
// by the frame loops: shared between threads, so atomic, and lock-free, as
// anything a timer callback touches must be.
extern std::atomic<int> tick_counter;
// The timer callback: raises the counters and wakes a waiting loop, nothing else.
void tick_handler();

// Start-up, once the display is open: decides the pacing from the graphics
// driver in use.
void decide_frame_pacing();
// Start-up, once the library's timer is installed: the 15 ms tick, counter at 0.
void start_frame_clock();

enum class FramePacing {
    retrace,  // wait for the vertical retrace, as designed
    tick,     // no real retrace to wait for: wait for the next tick instead
};
extern FramePacing frame_pacing;

// While the game rests (nobody looks at it) the tick is stopped, so that
// the library's timer has nothing to wake for; it starts again with the
// counter as it was.
void stop_frame_clock();
void restart_frame_clock();

// The tick rule of the play loop and the intro: wait (sleeping) until the
// tick counter is non-zero.
void wait_for_tick();
// The wait before every copy to the screen: the retrace, or where the
// display has none, the first tick after the previous call (sleeping).
void wait_for_frame();

// Tests stand in for the timer: the waits call this instead of sleeping,
// and it is expected to raise a tick. Null restores the sleep.
using TickSleep = void (*)();
void set_tick_sleep(TickSleep sleep);
