// timer.h - seconds from a monotonic clock, for the frame pacing and the
// random seed.
//
// Rules:
//  - Seconds since the first reading in this process, as a double with
//    sub-millisecond resolution; never goes backwards.
//  - Needs no window: the scene seeds from it before the window opens, and
//    tools and tests use it without a display.
#pragma once

double TIMER();

// Waits without sleeping until `period` seconds have passed since
// `last_frame_time`, then stores a fresh reading in it. A late frame is not
// caught up: the next period starts from its release.
void FRAME_PACE(double& last_frame_time, double period);

// For loops called more often than the show's rate, and not quite evenly (a
// browser's animation callback follows the display: 60, 120 or 144 times a
// second, each a little early or late): whether a frame is due at `now`.
// `due` starts at 0, so the first call is due. The first call at most half a
// period before `due` takes the frame and keeps the cadence, so the show runs
// at 1/period frames a second on any display of that rate or more; a call
// more than half a period late starts the cadence afresh from `now`, so a
// stall is never caught up.
bool FRAME_DUE(double& due, double now, double period);
