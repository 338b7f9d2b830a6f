// How present_frame paces the frames: the display's retrace, or the 15 ms tick.
#pragma once

enum class FramePacing {
    retrace,  // wait for the vertical retrace, as designed
    tick,     // no real retrace to wait for: wait for the next tick instead
};

// Decided once, at start-up, from the graphics driver in use.
extern FramePacing frame_pacing;
void decide_frame_pacing();

// The wait before every copy to the screen.
void wait_for_frame();
