// timer.cpp - TIMER on the C++ steady clock, and the pacing wait.
#include "platform/timer.h"

#include <sched.h>  // sched_yield inside the busy-wait
#include <time.h>   // nanosleep before it

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

void FRAME_PACE_SLEEPING(double& last_frame_time, double period) {
  const double asleep = period - VP_PACE_SPIN_SECONDS - (TIMER() - last_frame_time);
  if (asleep > 0.0) {
    timespec wait;
    wait.tv_sec = static_cast<time_t>(asleep);
    wait.tv_nsec = static_cast<long>((asleep - static_cast<double>(wait.tv_sec)) * 1e9);
    // A signal cuts the sleep short; the spin below still waits the rest.
    nanosleep(&wait, nullptr);
  }
  FRAME_PACE(last_frame_time, period);
}

bool FRAME_DUE(double& due, double now, double period) {
  if (now < due - period / 2) return false;
  due = now > due + period / 2 ? now + period : due + period;
  return true;
}
