// pattern_numbers.h - the trigonometry in degrees and the random stream a
// pattern plays with, in one place.
//
// Rules:
//  - Directions are degrees, 0 up, clockwise on screen. PATTERN_SIN_DEG and
//    PATTERN_COS_DEG take the direction as it is (any size); PATTERN_AIM_DEG
//    is the direction from (x, y) towards (tx, ty).
//  - The stream is the project's random source (splitmix64, its fixed
//    initial state, 53 bits into [0, 1)) as an instance: a pattern's draws
//    are its own, the same in every program, and RESET rewinds it.
#pragma once

#include <cmath>    // sin, cos, atan2 until the project's own exact ones land
#include <cstdint>  // the generator's state

inline double PATTERN_SIN_DEG(double degrees) { return std::sin(degrees * (3.14159265358979323846 / 180.0)); }
inline double PATTERN_COS_DEG(double degrees) { return std::cos(degrees * (3.14159265358979323846 / 180.0)); }
inline double PATTERN_AIM_DEG(double x, double y, double tx, double ty) {
  return std::atan2(tx - x, -(ty - y)) * (180.0 / 3.14159265358979323846);
}

class Tpattern_random {
 public:
  double NEXT() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return static_cast<double>(z >> 11) * (1.0 / 9007199254740992.0);
  }
  void RESET() { state_ = k_initial; }

 private:
  static constexpr std::uint64_t k_initial = 0x566F7270616E6521ull;
  std::uint64_t state_ = k_initial;
};
