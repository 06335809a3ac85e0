// The printf route to the shortest float text against std::to_chars, the
// oracle: edge values, every power of two and its neighbours (where the
// interval that reads back is lopsided), the positions of a run of the show,
// a dense walk over the play area's range and random bit patterns.
#include <gtest/gtest.h>

#include <charconv>  // the oracle
#include <cfloat>    // FLT_MIN, FLT_MAX, FLT_TRUE_MIN
#include <cstdint>   // bit patterns
#include <cstring>   // memcpy between floats and their bits
#include <limits>    // infinity, NaN
#include <string>

#include "core/float_text.h"
#include "platform/console.h"  // the schedules' reports kept quiet
#include "scene/play.h"        // a run of the show
#include "scene/scene.h"

namespace {

float from_bits(std::uint32_t bits) {
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

std::string by_to_chars(float value) {
  char text[64];
  return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

std::string by_printf(float value) {
  char text[32];
  return std::string(text, FLOAT_TEXT_BY_PRINTF(text, value));
}

// Counts the values whose texts differ, naming the first few.
class Tfloat_compare {
 public:
  void CHECK(float value) {
    ++checked_;
    const std::string expected = by_to_chars(value);
    const std::string got = by_printf(value);
    if (expected == got) return;
    if (++mismatches_ <= 5) ADD_FAILURE() << "to_chars \"" << expected << "\", printf route \"" << got << "\"";
  }
  long CHECKED() const { return checked_; }
  long MISMATCHES() const { return mismatches_; }

 private:
  long checked_ = 0;
  long mismatches_ = 0;
};

TEST(FloatText, EdgeValuesAndLayouts) {
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  Tfloat_compare compare;
  for (float v : {0.0f, 1.0f, 0.1f, 100.0f, 1e-4f, 1e-5f, 123456.0f, 1234567.0f, 1e7f, 1e10f, 3.4e38f, 1.5f, 640.0f,
                  -50.0f, 690.0f, 0.3f, 2.5e-3f, 16777216.0f, 16777217.0f, 9.999999e-5f, FLT_MIN, FLT_MAX,
                  FLT_TRUE_MIN, FLT_EPSILON, inf, nan}) {
    compare.CHECK(v);
    compare.CHECK(-v);
  }
  EXPECT_EQ(compare.MISMATCHES(), 0);
  // The layouts the trace relies on, spelled out.
  EXPECT_EQ(by_printf(-0.0f), "-0");
  EXPECT_EQ(by_printf(100.0f), "100");
  EXPECT_EQ(by_printf(1e10f), "1e+10");
  EXPECT_EQ(by_printf(1e-4f), "1e-04");
  EXPECT_EQ(by_printf(0.001f), "0.001");
  EXPECT_EQ(by_printf(-312.25f), "-312.25");
  EXPECT_EQ(by_printf(inf), "inf");
  EXPECT_EQ(by_printf(-inf), "-inf");
}

TEST(FloatText, EveryPowerOfTwoAndItsNeighbours) {
  Tfloat_compare compare;
  for (std::uint32_t exponent = 0; exponent < 255; ++exponent) {
    const std::uint32_t power = exponent << 23;
    for (std::uint32_t bits : {power, power + 1, power + 2, power - 1, power - 2, power | 0x7fffffu}) {
      if (bits >= 0x7f800000u) continue;
      compare.CHECK(from_bits(bits));
      compare.CHECK(from_bits(bits | 0x80000000u));
    }
  }
  EXPECT_GT(compare.CHECKED(), 3000);
  EXPECT_EQ(compare.MISMATCHES(), 0);
}

TEST(FloatText, EveryPositionOfAShowRun) {
  Tconsole_quiet quiet;
  Tscene scene;
  BUILD_SCENE(scene);
  Tplay play;
  Tframe_input input;
  input.target = Ttarget_point{400.0f, 300.0f};
  Tfloat_compare compare;
  for (int frame = 0; frame < 600; ++frame) {
    PLAY_STEP(scene, play, input);
    if (frame % 3 != 0) continue;
    for (int i = 0; i < scene.emitter_count; ++i) {
      const Temitter& emitter = scene.emitters[i];
      compare.CHECK(emitter.X());
      compare.CHECK(emitter.Y());
      for (int j = 0; j < emitter.turret.MAXBULLET(); ++j) {
        const Tbullet bullet = emitter.turret.BULLET(j);
        if (bullet.ACTIVE() == 0) continue;
        compare.CHECK(bullet.X());
        compare.CHECK(bullet.Y());
      }
    }
  }
  EXPECT_GT(compare.CHECKED(), 50000);
  EXPECT_EQ(compare.MISMATCHES(), 0);
}

// Every 4079th float from -1024 to 1024, which holds every position the trace
// prints (the play area runs from -50 to 690), down to the smallest.
TEST(FloatText, ADenseWalkOverThePlayAreasRange) {
  Tfloat_compare compare;
  const std::uint32_t last = 0x44800000u;  // 1024
  for (std::uint32_t bits = 0; bits <= last; bits += 4079) {
    compare.CHECK(from_bits(bits));
    compare.CHECK(from_bits(bits | 0x80000000u));
  }
  EXPECT_GT(compare.CHECKED(), 500000);
  EXPECT_EQ(compare.MISMATCHES(), 0);
}

TEST(FloatText, RandomBitPatterns) {
  std::uint64_t state = 0x9e3779b97f4a7c15ull;
  Tfloat_compare compare;
  for (int i = 0; i < 500000; ++i) {
    // splitmix64: every bit pattern of a float equally likely.
    std::uint64_t z = (state += 0x9e3779b97f4a7c15ull);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
    z ^= z >> 31;
    compare.CHECK(from_bits(static_cast<std::uint32_t>(z)));
  }
  EXPECT_EQ(compare.MISMATCHES(), 0);
}

}  // namespace
