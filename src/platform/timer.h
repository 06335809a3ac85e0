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
