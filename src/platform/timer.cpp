// timer.cpp - TIMER on the C++ steady clock.
#include "platform/timer.h"

#include <chrono>  // steady_clock: monotonic, unaffected by wall-clock changes

double TIMER() {
  using clock = std::chrono::steady_clock;
  static const clock::time_point origin = clock::now();
  return std::chrono::duration<double>(clock::now() - origin).count();
}
