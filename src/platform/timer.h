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

// FRAME_PACE that sleeps first: asleep until VP_PACE_SPIN_SECONDS before the
// period is over, then the same wait on the timer for the rest, so the
// frame is released when FRAME_PACE would release it while the core stays
// idle for most of the frame. A sleeper woken later than that releases its
// frame late, and the next period starts from the release, as FRAME_PACE's do.
void FRAME_PACE_SLEEPING(double& last_frame_time, double period);

// How long before a frame is due FRAME_PACE_SLEEPING wakes: more than the
// kernel's usual lateness in waking a sleeper (timer slack and scheduling,
// tens of microseconds to a millisecond on a busy machine).
constexpr double VP_PACE_SPIN_SECONDS = 0.002;

// For loops called more often than the show's rate, and not quite evenly (a
// browser's animation callback follows the display: 60, 120 or 144 times a
// second, each a little early or late): whether a frame is due at `now`.
// `due` starts at 0, so the first call is due. The first call at most half a
// period before `due` takes the frame and keeps the cadence, so the show runs
// at 1/period frames a second on any display of that rate or more; a call
// more than half a period late starts the cadence afresh from `now`, so a
// stall is never caught up.
bool FRAME_DUE(double& due, double now, double period);
