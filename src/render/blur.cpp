// blur.cpp - the bloom's box filters.
#include "render/blur.h"

#include "platform/runtime_error.h"  // null buffers are fatal

namespace {

// Byte lanes of one pixel word.
void add_colour(std::uint32_t pixel, std::uint32_t& sum0, std::uint32_t& sum1, std::uint32_t& sum2) {
  sum0 += pixel & 0xffu;
  sum1 += (pixel >> 8) & 0xffu;
  sum2 += (pixel >> 16) & 0xffu;
}

std::uint32_t pack(std::uint32_t alpha, std::uint32_t sum0, std::uint32_t sum1, std::uint32_t sum2) {
  return (alpha << 24) + ((sum2 & 0xffu) << 16) + ((sum1 & 0xffu) << 8) + (sum0 & 0xffu);
}

}  // namespace

void BLUR_H(const std::uint32_t* source, std::uint32_t* destination, std::uint32_t width,
            std::uint32_t height, std::int32_t radius) {
  VP_CHECK_PTR(source, "Tscreen", "BLUR_H");
  VP_CHECK_PTR(destination, "Tscreen", "BLUR_H");
  if (radius < 0) return;
  const std::uint32_t n = 2u * static_cast<std::uint32_t>(radius) + 1u;
  const long long count = static_cast<long long>(width) * static_cast<long long>(height);
  for (long long i = 0; i < count; ++i) {
    std::uint32_t sum0 = 0;
    std::uint32_t sum1 = 0;
    std::uint32_t sum2 = 0;
    for (long long k = -static_cast<long long>(radius); k <= radius; ++k) {
      // Edge rule: a neighbour before the first pixel or after the last one
      // of the buffer is replaced by that first or last pixel (the divisor
      // stays n), so a flat buffer stays flat and nothing outside is read;
      // everywhere else the index runs on linearly across row ends.
      long long j = i + k;
      if (j < 0) j = 0;
      if (j >= count) j = count - 1;
      add_colour(source[j], sum0, sum1, sum2);
    }
    destination[i] = pack(source[i] >> 24, sum0 / n, sum1 / n, sum2 / n);
  }
}

void BLUR_V(const std::uint32_t* source, std::uint32_t* destination, std::uint32_t width,
            std::uint32_t height, std::int32_t radius) {
  VP_CHECK_PTR(source, "Tscreen", "BLUR_V");
  VP_CHECK_PTR(destination, "Tscreen", "BLUR_V");
  if (radius < 0) return;
  const std::uint32_t n = 2u * static_cast<std::uint32_t>(radius) + 1u;
  const long long w = width;
  const long long last_row = static_cast<long long>(height) - 1 - radius;
  for (long long x = 0; x < w; ++x) {
    for (long long y = radius; y <= last_row; ++y) {
      std::uint32_t sum0 = 0;
      std::uint32_t sum1 = 0;
      std::uint32_t sum2 = 0;
      for (long long k = -static_cast<long long>(radius); k <= radius; ++k) {
        add_colour(source[(y + k) * w + x], sum0, sum1, sum2);
      }
      destination[y * w + x] = pack(source[y * w + x] >> 24, sum0 / n, sum1 / n, sum2 / n);
    }
  }
}
