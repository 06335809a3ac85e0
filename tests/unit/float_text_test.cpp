// The printf route to the shortest float and double text against
// std::to_chars, the oracle: edge values, every power of two and its
// neighbours (where the interval that reads back is lopsided), the positions
// of a run of the show, a dense walk over the play area's range, random bit
// patterns; for doubles also powers of ten, integers and halves, subnormals
// and values of the play area with every low bit set at random.
#include <gtest/gtest.h>

#include <charconv>  // the oracle
#include <cfloat>    // FLT_MIN, FLT_MAX, FLT_TRUE_MIN, DBL_*
#include <cmath>     // nextafter, ldexp, floor: doubles around powers and whole numbers
#include <cstdint>   // bit patterns
#include <cstdlib>   // strtod: the powers of ten
#include <cstring>   // memcpy between values and their bits
#include <limits>    // infinity, NaN
#include <string>

#include "core/float_text.h"
#include "platform/console.h"  // the schedules' reports kept quiet
#include "platform/random.h"   // random doubles and bit patterns
#include "scene/play.h"        // a run of the show
#include "scene/scene.h"

namespace {

float from_bits(std::uint32_t bits) {
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

double double_from_bits(std::uint64_t bits) {
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

template <typename Tvalue>
std::string by_to_chars(Tvalue value) {
  char text[64];
  return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

std::string by_printf(float value) {
  char text[32];
  return std::string(text, FLOAT_TEXT_BY_PRINTF(text, value));
}

std::string by_printf(double value) {
  char text[32];
  return std::string(text, DOUBLE_TEXT_BY_PRINTF(text, value));
}

// Counts the values whose texts differ, naming the first few.
template <typename Tvalue>
class Ttext_compare {
 public:
  void CHECK(Tvalue value) {
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
using Tfloat_compare = Ttext_compare<float>;
using Tdouble_compare = Ttext_compare<double>;

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

TEST(DoubleText, EdgeValuesAndLayouts) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  Tdouble_compare compare;
  for (double v : {0.0, 1.0, 0.1, 0.2, 0.3, 1.0 / 3.0, 2.0 / 3.0, 100.0, 1e-4, 1e-5, 320.5, 640.0, -50.0, 690.0,
                   123456.0, 1e15, 1e16, 1e17, 1e21, 1e22, 1e23, 9007199254740992.0, 9007199254740994.0,
                   123456789012345680000.0, 1.7976931348623157e308, 5e-324, DBL_MIN, DBL_MAX, DBL_TRUE_MIN,
                   DBL_EPSILON, 2.2250738585072009e-308, 4.9406564584124654e-324, 1.5e300, 2.5e-3, inf, nan}) {
    compare.CHECK(v);
    compare.CHECK(-v);
  }
  EXPECT_EQ(compare.MISMATCHES(), 0);
  // The layouts a BulletML trace relies on, spelled out.
  EXPECT_EQ(by_printf(-0.0), "-0");
  EXPECT_EQ(by_printf(0.1), "0.1");
  EXPECT_EQ(by_printf(0.001), "0.001");
  EXPECT_EQ(by_printf(1e-4), "1e-04");
  EXPECT_EQ(by_printf(320.5), "320.5");
  EXPECT_EQ(by_printf(0.1 + 0.2), "0.30000000000000004");
  EXPECT_EQ(by_printf(1e22), "1e+22");
  EXPECT_EQ(by_printf(5e-324), "5e-324");
  EXPECT_EQ(by_printf(-inf), "-inf");
}

TEST(DoubleText, PowersOfTenAndOfTwoAndTheirNeighbours) {
  const double infinity = std::numeric_limits<double>::infinity();
  Tdouble_compare compare;
  auto around = [&](double v) {
    for (double u : {v, std::nextafter(v, 0.0), std::nextafter(std::nextafter(v, 0.0), 0.0), std::nextafter(v, infinity),
                     std::nextafter(std::nextafter(v, infinity), infinity)}) {
      if (!std::isfinite(u)) continue;
      compare.CHECK(u);
      compare.CHECK(-u);
    }
  };
  for (int exponent = -323; exponent <= 308; ++exponent) around(std::strtod(("1e" + std::to_string(exponent)).c_str(), nullptr));
  for (int exponent = -1074; exponent <= 1023; ++exponent) around(std::ldexp(1.0, exponent));
  EXPECT_GT(compare.CHECKED(), 25000);
  EXPECT_EQ(compare.MISMATCHES(), 0);
}

TEST(DoubleText, IntegersHalvesAndPlayAreaValues) {
  Tdouble_compare compare;
  for (int i = -20000; i <= 20000; ++i) {
    compare.CHECK(i);
    compare.CHECK(i + 0.5);
    compare.CHECK(i * 0.001);
  }
  // Whole numbers up to 2^70, printed plainly or exactly, and what a runner's
  // positions look like: the play area's range with every low bit random.
  Trandom random;
  for (int i = 0; i < 50000; ++i) compare.CHECK(std::floor(std::ldexp(random.NEXT(), 20 + i % 51)));
  for (int i = 0; i < 200000; ++i) compare.CHECK(-50.0 + random.NEXT() * 740.0);
  EXPECT_EQ(compare.MISMATCHES(), 0);
}

TEST(DoubleText, RandomBitPatternsAndSubnormals) {
  Trandom random;
  Tdouble_compare compare;
  for (int i = 0; i < 300000; ++i) compare.CHECK(double_from_bits(random.NEXT_BITS()));
  for (int i = 0; i < 20000; ++i) compare.CHECK(double_from_bits(random.NEXT_BITS() >> 12));
  EXPECT_EQ(compare.MISMATCHES(), 0);
}

}  // namespace
