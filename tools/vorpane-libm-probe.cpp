// vorpane-libm-probe - the bits of the C library's sine, cosine and atan2 at
// the arguments the simulation gives them, one line per call: the function,
// the float arguments, the double result and that result rounded to float.
//
//   vorpane-libm-probe > probe.txt
//
// The simulation rounds every sine, cosine and atan2 to float (core/
// numeric.h), so two C libraries may differ in a double's last bits and still
// step the same show, but not in a rounded result: two builds whose last
// columns differ cannot be trusted to print the same trace, and the first
// differing line names the function and the argument. Arguments: every whole
// degree of four turns each way, rounded to float as the simulation rounds
// it; random radians; atan2 over a grid of the play area's differences and at
// random ones.
#include <cinttypes>  // PRIx32, PRIx64
#include <cmath>      // the double functions under test
#include <cstdint>    // bit patterns
#include <cstdio>     // the lines
#include <cstring>    // memcpy to bits

#include "core/numeric.h"     // DEG_TO_RAD
#include "platform/random.h"  // arguments from the fixed initial state

namespace {

std::uint32_t bits_of(float value) {
  std::uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

std::uint64_t bits_of(double value) {
  std::uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

void result(double value) {
  std::printf(" %016" PRIx64 " %08" PRIx32 "\n", bits_of(value), bits_of(static_cast<float>(value)));
}

void sine_and_cosine(float radians) {
  const double a = static_cast<double>(radians);
  std::printf("sin %08" PRIx32, bits_of(radians));
  result(std::sin(a));
  std::printf("cos %08" PRIx32, bits_of(radians));
  result(std::cos(a));
}

void arc_tangent(float dy, float dx) {
  std::printf("atan2 %08" PRIx32 " %08" PRIx32, bits_of(dy), bits_of(dx));
  result(std::atan2(static_cast<double>(dy), static_cast<double>(dx)));
}

}  // namespace

int main() {
  RANDOM_RESET();
  for (int degrees = -1440; degrees <= 1440; ++degrees)
    sine_and_cosine(static_cast<float>(degrees * DEG_TO_RAD));
  for (int i = 0; i < 50000; ++i) sine_and_cosine(static_cast<float>((RND() - 0.5) * 200.0));
  for (float dy = -740.0f; dy <= 740.0f; dy += 7.25f)
    for (float dx = -740.0f; dx <= 740.0f; dx += 7.25f) arc_tangent(dy, dx);
  for (int i = 0; i < 50000; ++i) {
    // Drawn one statement at a time: the order a call's arguments are
    // evaluated in differs between compilers.
    const float dy = static_cast<float>((RND() - 0.5) * 1480.0);
    const float dx = static_cast<float>((RND() - 0.5) * 1480.0);
    arc_tangent(dy, dx);
  }
  return std::fflush(stdout) == 0 ? 0 : 1;
}
