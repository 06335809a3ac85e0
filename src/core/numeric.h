// numeric.h - the fixed numbers and the integer arithmetic of the simulation.
//
// Rules:
//  - Angles are whole degrees; radians exist only inside the trigonometry and
//    are formed with DEG_TO_RAD (pi taken to six decimals, a double), then
//    rounded to single precision before a sine or cosine is taken.
//  - Counters that grow without bound (an emitter's ANGLE, a bullet's
//    COUNTER, rotation sums) wrap as 32-bit two's complement: the sum is done
//    in uint32_t and converted back, so it is never undefined behaviour.
//  - A double turned into an int is rounded to nearest, ties to even, and
//    saturated to the 32-bit range (NaN gives 0) instead of being undefined.
#pragma once

#include <cmath>    // nearbyint: ties to even under the default rounding mode
#include <cstdint>  // INT32_MIN and the unsigned carrier of wrapping sums

constexpr double DEG_TO_RAD = 0.01745329444444444;  // 3.141593 / 180
constexpr double RAD_TO_DEG = 180.0 / 3.141593;     // 57.29577319531843

// An omitted integer coordinate argument: no value given.
constexpr int MISSING_COORD = INT32_MIN;

inline int WRAP_ADD(int a, int b) {
  return static_cast<int>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

inline int WRAP_SUB(int a, int b) {
  return static_cast<int>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}

inline int WRAP_MUL(int a, int b) {
  return static_cast<int>(static_cast<std::uint32_t>(a) * static_cast<std::uint32_t>(b));
}

inline int NEAREST_INT(double value) {
  double r = std::nearbyint(value);
  if (!(r >= -2147483648.0)) return r < 0.0 ? INT32_MIN : 0;  // NaN lands on 0
  if (r > 2147483647.0) return INT32_MAX;
  return static_cast<int>(r);
}
