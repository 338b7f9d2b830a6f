// The frame pacing decision: wait for the retrace where the display has one.
#include "shell/pacing.h"

#include "shell/shell.h"

FramePacing frame_pacing = FramePacing::retrace;

namespace {

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

} // namespace

void decide_frame_pacing()
{
    frame_pacing = has_real_retrace(gfx_driver, system_driver) ? FramePacing::retrace : FramePacing::tick;
}

void wait_for_frame()
{
    if (frame_pacing == FramePacing::retrace)
        vsync();
    else
        wait_for_frame_tick();
}
