// timer.cpp - TIMER on the C++ steady clock, and the pacing wait.
#include "platform/timer.h"

#include <sched.h>  // sched_yield inside the busy-wait

#include <chrono>  // steady_clock: monotonic, unaffected by wall-clock changes

double TIMER() {
  using clock = std::chrono::steady_clock;
  static const clock::time_point origin = clock::now();
  return std::chrono::duration<double>(clock::now() - origin).count();
}

void FRAME_PACE(double& last_frame_time, double period) {
  while (TIMER() - last_frame_time < period) {
    // Still a busy-wait, but one that lets the renderer's and the display
    // server's threads use this core meanwhile instead of fighting it.
    sched_yield();
  }
  last_frame_time = TIMER();
}

bool FRAME_DUE(double& due, double now, double period) {
  if (now < due - period / 2) return false;
  due = now > due + period / 2 ? now + period : due + period;
  return true;
}
