// random.cpp - splitmix64 behind RND.
#include "platform/random.h"

#include <cstring>  // memcpy: the seed's bits, not its value, feed the state

namespace {
constexpr std::uint64_t k_initial_state = 0x566F7270616E6521ull;  // fixed: same draws every run
std::uint64_t g_state = k_initial_state;
}  // namespace

void RANDOMIZE(double seed) {
  std::uint64_t bits;
  std::memcpy(&bits, &seed, sizeof bits);
  g_state = k_initial_state ^ bits;
}

void RANDOM_RESET() { g_state = k_initial_state; }

double RND() {
  std::uint64_t z = (g_state += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  z ^= z >> 31;
  return static_cast<double>(z >> 11) * (1.0 / 9007199254740992.0);
}
