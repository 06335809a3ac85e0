// blur_test.cpp - the bloom's box filters: the single bright pixel, alpha
// kept, BLUR_V's untouched border rows, the edge rule at the buffer's ends.
#include <gtest/gtest.h>  // the runner

#include <cstdint>  // pixel words
#include <vector>   // buffers

#include "platform/runtime_error.h"  // Tfatal_trap
#include "render/blur.h"             // under test

namespace {

constexpr std::uint32_t k_side = 64;

std::uint32_t colour_of(std::uint32_t pixel) { return pixel & 0xffffffu; }
std::uint32_t grey(std::uint32_t level) { return level | (level << 8) | (level << 16); }

// Alpha differs from pixel to pixel so that any mixing of alpha shows.
std::vector<std::uint32_t> black_with_alpha_ramp() {
  std::vector<std::uint32_t> buffer(k_side * k_side);
  for (std::uint32_t i = 0; i < buffer.size(); ++i) buffer[i] = (i * 7u & 0xffu) << 24;
  return buffer;
}

}  // namespace

TEST(Blur, HorizontalSpreadsOneWhitePixelOverFiveAndKeepsAlpha) {
  std::vector<std::uint32_t> source = black_with_alpha_ramp();
  const std::uint32_t centre = 32 * k_side + 32;
  source[centre] |= 0xffffffu;
  std::vector<std::uint32_t> destination(source.size(), 0x12345678u);
  BLUR_H(source.data(), destination.data(), k_side, k_side, 2);
  for (std::uint32_t i = 0; i < source.size(); ++i) {
    const bool lit = i + 2 >= centre && i <= centre + 2;
    ASSERT_EQ(colour_of(destination[i]), lit ? grey(51) : 0u) << "pixel " << i;
    ASSERT_EQ(destination[i] >> 24, source[i] >> 24) << "pixel " << i;
  }
}

TEST(Blur, VerticalSpreadsAlongTheColumnAndLeavesTheBorderRows) {
  std::vector<std::uint32_t> source = black_with_alpha_ramp();
  const std::uint32_t x = 10;
  source[20 * k_side + x] |= 0xffffffu;
  const std::uint32_t untouched = 0xdeadbeefu;
  std::vector<std::uint32_t> destination(source.size(), untouched);
  BLUR_V(source.data(), destination.data(), k_side, k_side, 2);
  for (std::uint32_t y = 0; y < k_side; ++y) {
    for (std::uint32_t column = 0; column < k_side; ++column) {
      const std::uint32_t i = y * k_side + column;
      if (y < 2 || y >= k_side - 2) {
        ASSERT_EQ(destination[i], untouched) << "row " << y;
        continue;
      }
      const bool lit = column == x && y >= 18 && y <= 22;
      ASSERT_EQ(colour_of(destination[i]), lit ? grey(51) : 0u) << "row " << y;
      ASSERT_EQ(destination[i] >> 24, source[i] >> 24);
    }
  }
  // Too few rows for a whole window: nothing is written.
  std::vector<std::uint32_t> small(4 * 4, 0x00ffffffu);
  std::vector<std::uint32_t> small_out(small.size(), untouched);
  BLUR_V(small.data(), small_out.data(), 4, 4, 2);
  for (std::uint32_t word : small_out) EXPECT_EQ(word, untouched);
}

TEST(Blur, HorizontalNeighboursRunAcrossRowEnds) {
  // 4 x 2: the last pixel of row 0 averages in the first pixel of row 1.
  std::vector<std::uint32_t> source(8, 0);
  source[4] = 0xff;
  std::vector<std::uint32_t> destination(8, 0);
  BLUR_H(source.data(), destination.data(), 4, 2, 1);
  EXPECT_EQ(destination[3], 85u);
  EXPECT_EQ(destination[4], 85u);
  EXPECT_EQ(destination[5], 85u);
  EXPECT_EQ(destination[2], 0u);
}

TEST(Blur, HorizontalEdgesRepeatTheBuffersFirstAndLastPixel) {
  // The buffer sits between guard words that would show if they were read.
  const std::uint32_t guard = 0x00ffffffu;
  std::vector<std::uint32_t> memory(4 + 8 + 4, guard);
  std::uint32_t* source = memory.data() + 4;
  const std::uint32_t red[8] = {10, 20, 30, 40, 50, 60, 70, 80};
  for (int i = 0; i < 8; ++i) source[i] = red[i] | 0x80000000u;
  std::vector<std::uint32_t> destination(8, 0);
  BLUR_H(source, destination.data(), 4, 2, 2);
  EXPECT_EQ(destination[0], 0x80000000u | (10 * 3 + 20 + 30) / 5);
  EXPECT_EQ(destination[1], 0x80000000u | (10 * 2 + 20 + 30 + 40) / 5);
  EXPECT_EQ(destination[6], 0x80000000u | (50 + 60 + 70 + 80 * 2) / 5);
  EXPECT_EQ(destination[7], 0x80000000u | (60 + 70 + 80 * 3) / 5);

  // A flat buffer stays flat to its very ends.
  std::vector<std::uint32_t> flat(k_side * k_side, grey(200) | 0xff000000u);
  std::vector<std::uint32_t> out(flat.size(), 0);
  BLUR_H(flat.data(), out.data(), k_side, k_side, 2);
  EXPECT_EQ(out, flat);

  // One pixel and a radius wider than the buffer.
  std::uint32_t single = grey(9);
  std::uint32_t single_out = 0;
  BLUR_H(&single, &single_out, 1, 1, 5);
  EXPECT_EQ(single_out, grey(9));
}

TEST(Blur, NullBuffersAreFatalAndNegativeRadiusWritesNothing) {
  Tfatal_trap trap;
  std::vector<std::uint32_t> buffer(16, 0);
  try {
    BLUR_H(nullptr, buffer.data(), 4, 4, 2);
    FAIL() << "no report";
  } catch (const Truntime_error& e) {
    EXPECT_EQ(e.code, VP_ERR_NULL_POINTER);
    EXPECT_NE(e.report.find("of Tscreen::BLUR_H()"), std::string::npos);
  }
  EXPECT_THROW(BLUR_H(buffer.data(), nullptr, 4, 4, 2), Truntime_error);
  EXPECT_THROW(BLUR_V(nullptr, buffer.data(), 4, 4, 1), Truntime_error);
  EXPECT_THROW(BLUR_V(buffer.data(), nullptr, 4, 4, 1), Truntime_error);

  std::vector<std::uint32_t> out(16, 7u);
  BLUR_H(buffer.data(), out.data(), 4, 4, -1);
  BLUR_V(buffer.data(), out.data(), 4, 4, -1);
  for (std::uint32_t word : out) EXPECT_EQ(word, 7u);
}
