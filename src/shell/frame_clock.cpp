// The frame clock: the 15 ms tick, the frame loops' waits, and the retrace
// decision for present_frame.
#include "shell/frame_clock.h"

#include <allegro.h>
#include <semaphore.h>

std::atomic<int> tick_counter{0};
static_assert(std::atomic<int>::is_always_lock_free, "the timer callback may not take a lock");
FramePacing frame_pacing = FramePacing::retrace;

namespace {

// Wakes the frame loop once a tick instead of it looking every millisecond.
sem_t tick_signal;
bool tick_signal_ready = false;

// Every tick since start-up. No loop resets it, so a wait can ask for the
// first tick after an earlier moment whatever the loops do to tick_counter.
std::atomic<unsigned> ticks_elapsed{0};
static_assert(std::atomic<unsigned>::is_always_lock_free, "the timer callback may not take a lock");
unsigned last_frame_tick = 0;

void sleep_for_a_tick()
{
    if (tick_signal_ready)
        sem_wait(&tick_signal);
    else
        rest(1);
}

TickSleep tick_sleep = sleep_for_a_tick;

// Sleeps until `ticked` holds: the player may think for minutes. Signals
// left over from ticks nobody waited for are dropped first.
template <typename Ticked>
void sleep_until(Ticked ticked)
{
    if (tick_signal_ready) {
        while (sem_trywait(&tick_signal) == 0) {
        }
    }
    while (!ticked())
        tick_sleep();
}

// The library offers no flag for "this retrace is real"; what it does under
// X is plain from its drivers. X tells a client nothing of the retrace, so
// every X driver (the window, full screen, DGA) waits in `vsync` for the
// library's own retrace_count, which its timer thread raises, about 70
// times a second, when it wakes: in practice at the game's ticks. The
// intro, which waits for the tick and then for that count, showed a frame
// every two ticks (22 s instead of 11.4), and the loops paced by the
// retrace alone ran at whatever rate the emulation gave. A window elsewhere
// is copied to the display whenever the system likes, and a driver without
// a retrace wait would let the retrace-paced loops run flat out.
bool has_real_retrace(const GFX_DRIVER* driver, const SYSTEM_DRIVER* system)
{
    if (driver == nullptr || driver->vsync == nullptr || driver->windowed)
        return false;
    return system == nullptr || system->id != SYSTEM_XWINDOWS;
}

// Where the display has no retrace: the first tick after the previous call.
void wait_for_frame_tick()
{
    // A tick that came while the frame was composed counts: the frame loops
    // that wait for the tick first (the intro) or after (run_game) then
    // still show one frame per tick, not one per two.
    sleep_until([] { return ticks_elapsed != last_frame_tick; });
    last_frame_tick = ticks_elapsed;
}

} // namespace

void tick_handler()
{
    ++tick_counter;
    ++ticks_elapsed;
    if (tick_signal_ready)
        sem_post(&tick_signal);
}
END_OF_FUNCTION(tick_handler)

void decide_frame_pacing()
{
    frame_pacing = has_real_retrace(gfx_driver, system_driver) ? FramePacing::retrace : FramePacing::tick;
}

void start_frame_clock()
{
    LOCK_VARIABLE(tick_counter);
    LOCK_VARIABLE(ticks_elapsed);
    LOCK_FUNCTION(tick_handler);
    tick_signal_ready = sem_init(&tick_signal, 0, 0) == 0;
    install_int(tick_handler, 15);
    tick_counter = 0;
}

void stop_frame_clock() { remove_int(tick_handler); }

void restart_frame_clock() { install_int(tick_handler, 15); }

void wait_for_tick()
{
    sleep_until([] { return tick_counter != 0; });
}

void wait_for_frame()
{
    if (frame_pacing == FramePacing::retrace)
        vsync();
    else
        wait_for_frame_tick();
}

void set_tick_sleep(TickSleep sleep)
{
    tick_sleep = sleep != nullptr ? sleep : sleep_for_a_tick;
}
