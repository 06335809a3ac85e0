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
