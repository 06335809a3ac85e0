// host_random.h - the project's random stream, copied for the BulletML host.
//
// Rules:
//  - Thost_random gives the draws RND() gives after RANDOM_RESET()
//    (platform/random.cpp): splitmix64 from the same fixed state, 53 bits to
//    [0, 1). host_random_test holds it to RND(); the copy keeps the oracle
//    free of the project's libraries, so a change there cannot move both
//    sides of the agreement test at once.
#pragma once

#include <cstdint>  // the generator's 64-bit state

class Thost_random {
 public:
  double NEXT() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return static_cast<double>(z >> 11) * (1.0 / 9007199254740992.0);
  }

 private:
  std::uint64_t state_ = 0x566F7270616E6521ull;
};
