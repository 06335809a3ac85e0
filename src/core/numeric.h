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
//  - Sine, cosine and atan2 are the double functions of float arguments, and
//    a value rounded to float is computed in double and rounded once (the
//    helpers below). The float library calls differ from them by an ulp
//    often enough to move a pattern over thousands of frames.
#pragma once

#include <cmath>    // nearbyint (ties to even under the default rounding mode); double sin, cos, atan2
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

// Direction from a point towards another, given the float differences, as a
// float angle in radians.
inline float AIM_ANGLE(float dy, float dx) {
  return static_cast<float>(std::atan2(static_cast<double>(dy), static_cast<double>(dx)));
}

// r * cos(a) and r * sin(a), each rounded to float once.
inline float COS_TIMES(float a, float r) {
  return static_cast<float>(std::cos(static_cast<double>(a)) * static_cast<double>(r));
}
inline float SIN_TIMES(float a, float r) {
  return static_cast<float>(std::sin(static_cast<double>(a)) * static_cast<double>(r));
}
