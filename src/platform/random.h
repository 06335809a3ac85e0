// random.h - the random source: uniform doubles in [0, 1).
//
// Rules:
//  - The generator is splitmix64: tiny, fast and fully specified, so no C
//    library's rand() decides what the show looks like.
//  - A stream starts from a fixed initial state, so its draws are the same on
//    every run and on every machine until it is seeded (the scene's spline
//    points rely on it).
//  - Trandom is one stream, a value type: what must play the same whatever
//    else draws (a BulletML scene's $rand) owns one. Copying it copies its
//    place in the stream.
//  - RND, RANDOMIZE and RANDOM_RESET use one global Trandom: after
//    RANDOM_RESET, RND gives exactly the draws of a fresh Trandom.
#pragma once

#include <cstdint>  // the generator's 64-bit state
#include <cstring>  // memcpy: the seed's bits, not its value, feed the state

class Trandom {
 public:
  // The next 64 random bits.
  std::uint64_t NEXT_BITS() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // The next draw: the top 53 of the next 64 bits, in [0, 1).
  double NEXT() { return static_cast<double>(NEXT_BITS() >> 11) * (1.0 / 9007199254740992.0); }
  // Back to the fixed initial state.
  void RESET() { state_ = k_initial_state; }
  // A state made from the bits of `seed` (a timer reading, say).
  void SEED(double seed) {
    std::uint64_t bits;
    std::memcpy(&bits, &seed, sizeof bits);
    state_ = k_initial_state ^ bits;
  }

 private:
  static constexpr std::uint64_t k_initial_state = 0x566F7270616E6521ull;  // fixed: same draws every run
  std::uint64_t state_ = k_initial_state;
};

void RANDOMIZE(double seed);  // reseeds the global stream from the bits of a timer reading
double RND();                 // the global stream's next draw, 53 random bits, in [0, 1)
void RANDOM_RESET();          // the global stream back to the fixed initial state (tests, tools)
