// The degree functions against long double's (64-bit mantissa, an oracle
// some 2000 times finer than a double's ulp), over millions of arguments:
// uniform, every kind of bit pattern, integers, runs of ulps around the
// multiples of 90 and around the edges between the sine's table nodes, ratios
// around the arc tangent's nodes and the diagonal, subnormals; the exact
// values and special cases; and the bits themselves, pinned.
#include <gtest/gtest.h>

#include <cfloat>   // LDBL_MANT_DIG, DBL_MAX, DBL_TRUE_MIN
#include <cmath>    // the oracle's sinl, cosl, atan2l; nextafter
#include <cstdint>  // bit patterns, the fingerprint
#include <cstring>  // memcpy between doubles and their bits
#include <limits>   // infinity, NaN

#include "core/trig_degrees.h"
#include "platform/random.h"  // the arguments

namespace {

using Tlong = long double;
const Tlong k_pi = 3.141592653589793238462643383279502884L;

double from_bits(std::uint64_t bits) {
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

std::uint64_t bits_of(double value) {
  std::uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

// sin((d + 90 quarters) degrees): reduced exactly to within 45 degrees of a
// multiple of 90, so the oracle's own rounding of the argument stays
// relative to a small angle.
Tlong oracle_sine(double d, int quarters) {
  const Tlong turn = std::fmod(static_cast<Tlong>(d), 360.0L);
  const Tlong quarter = std::nearbyint(turn / 90.0L);
  const Tlong x = (turn - 90.0L * quarter) * (k_pi / 180.0L);
  const int q = (static_cast<int>(quarter) + quarters) & 3;
  const Tlong v = (q & 1) ? std::cos(x) : std::sin(x);
  return (q & 2) ? -v : v;
}

// The largest error in ulps of the exact value, for normal and for
// subnormal results apart, and where the largest normal one was.
class Tulp_errors {
 public:
  void CHECK(double got, Tlong exact, double y, double x = 0.0) {
    ++checked_;
    Tlong magnitude = std::fabs(exact);
    if (magnitude == 0.0L) {
      if (got != 0.0) ADD_FAILURE() << "exact 0, got " << got << " at " << y << ", " << x;
      return;
    }
    int exponent;
    std::frexp(magnitude, &exponent);
    const bool subnormal = magnitude < 0x1p-1022L;
    const Tlong ulp = subnormal ? 0x1p-1074L : std::ldexp(1.0L, exponent - 53);
    const Tlong error = std::fabs(static_cast<Tlong>(got) - exact) / ulp;
    if (subnormal) {
      if (error > subnormal_) subnormal_ = error;
    } else if (error > normal_) {
      normal_ = error;
      where_y_ = y;
      where_x_ = x;
    }
  }
  void EXPECT_WITHIN(Tlong normal, Tlong subnormal, long at_least) const {
    EXPECT_LT(normal_, normal) << "at " << where_y_ << ", " << where_x_;
    EXPECT_LT(subnormal_, subnormal);
    EXPECT_GE(checked_, at_least);
    std::printf("    %ld arguments: largest error %.4Lf ulp (%.4Lf where subnormal)\n", checked_, normal_,
                subnormal_);
  }

 private:
  long checked_ = 0;
  Tlong normal_ = 0.0L;
  Tlong subnormal_ = 0.0L;
  double where_y_ = 0.0;
  double where_x_ = 0.0;
};

// The double `steps` ulps from `from`.
double ulps_away(double from, int steps) {
  for (; steps > 0; --steps) from = std::nextafter(from, DBL_MAX);
  for (; steps < 0; ++steps) from = std::nextafter(from, -DBL_MAX);
  return from;
}

TEST(TrigDegrees, ExactValuesSignedZerosAndNaN) {
  EXPECT_EQ(bits_of(TRIG_SIN_DEG(180.0)), bits_of(0.0));
  EXPECT_EQ(bits_of(TRIG_SIN_DEG(-180.0)), bits_of(-0.0));
  EXPECT_EQ(bits_of(TRIG_SIN_DEG(-0.0)), bits_of(-0.0));
  EXPECT_EQ(bits_of(TRIG_SIN_DEG(720.0)), bits_of(0.0));
  EXPECT_EQ(bits_of(TRIG_COS_DEG(90.0)), bits_of(0.0));
  EXPECT_EQ(bits_of(TRIG_COS_DEG(-270.0)), bits_of(0.0));
  struct Tvalue {
    double degrees, sine;
  };
  for (const Tvalue& v : {Tvalue{30.0, 0.5}, Tvalue{150.0, 0.5}, Tvalue{210.0, -0.5}, Tvalue{-30.0, -0.5},
                          Tvalue{390.0, 0.5}, Tvalue{3600030.0, 0.5}, Tvalue{90.0, 1.0}, Tvalue{-90.0, -1.0},
                          Tvalue{270.0, -1.0}, Tvalue{450.0, 1.0}}) {
    EXPECT_EQ(TRIG_SIN_DEG(v.degrees), v.sine) << v.degrees;
    EXPECT_EQ(TRIG_COS_DEG(v.degrees - 90.0), v.sine) << v.degrees;
  }
  EXPECT_EQ(TRIG_COS_DEG(1e22), TRIG_COS_DEG(std::fmod(1e22, 360.0)));

  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (double bad : {inf, -inf, nan, -nan}) {
    EXPECT_EQ(bits_of(TRIG_SIN_DEG(bad)), bits_of(nan));
    EXPECT_EQ(bits_of(TRIG_COS_DEG(bad)), bits_of(nan));
  }
  for (double other : {1.0, -inf, nan, -nan}) {
    EXPECT_EQ(bits_of(TRIG_ATAN2_DEG(-nan, other)), bits_of(nan));
    EXPECT_EQ(bits_of(TRIG_ATAN2_DEG(other, -nan)), bits_of(nan));
  }
  // std::atan2's conventions, each in degrees and exact.
  struct Tcase {
    double y, x, degrees;
  };
  for (const Tcase& c : {Tcase{0.0, 0.0, 0.0}, Tcase{0.0, -0.0, 180.0}, Tcase{0.0, 5.0, 0.0}, Tcase{0.0, -5.0, 180.0},
                         Tcase{3.0, 0.0, 90.0}, Tcase{3.0, -0.0, 90.0}, Tcase{inf, 1.0, 90.0}, Tcase{inf, -1e300, 90.0},
                         Tcase{inf, inf, 45.0}, Tcase{inf, -inf, 135.0}, Tcase{1.0, inf, 0.0}, Tcase{1.0, -inf, 180.0},
                         Tcase{7.0, 7.0, 45.0}, Tcase{7.0, -7.0, 135.0}, Tcase{DBL_TRUE_MIN, DBL_MAX, 0.0}}) {
    for (double sign : {1.0, -1.0}) {
      const double got = TRIG_ATAN2_DEG(sign * c.y, c.x);
      EXPECT_EQ(bits_of(got), bits_of(sign * c.degrees)) << sign * c.y << ", " << c.x;
      EXPECT_EQ(std::signbit(got), std::signbit(std::atan2(sign * c.y, c.x))) << sign * c.y << ", " << c.x;
    }
  }
}

TEST(TrigDegrees, SineAndCosineWithinHalfAnUlpAndABit) {
  if (LDBL_MANT_DIG < 64) GTEST_SKIP() << "no long double wider than double to check against";
  Tulp_errors sine, cosine;
  auto check = [&](double d) {
    sine.CHECK(TRIG_SIN_DEG(d), oracle_sine(d, 0), d);
    cosine.CHECK(TRIG_COS_DEG(d), oracle_sine(d, 1), d);
  };
  Trandom random;
  for (int i = 0; i < 1000000; ++i) check((random.NEXT() - 0.5) * 1440.0);
  for (int i = 0; i < 400000; ++i) {
    const double d = from_bits(random.NEXT_BITS());
    if (std::isfinite(d)) check(d);
  }
  for (int i = 0; i < 20000; ++i) check(from_bits(random.NEXT_BITS() >> 12));  // subnormal
  for (int i = -100000; i <= 100000; ++i) {
    check(i);
    check(i + 0.5);
  }
  // Runs of ulps around the multiples of 90 (big ones too), where a result
  // crosses 0 or 1, and around the edges between two nodes of the table.
  for (double base : {0.0, 90.0, 180.0, 270.0, 360.0, -90.0, -180.0, 90.0 * 0x1p40, 90.0 * 1e15})
    for (int step = -2000; step <= 2000; ++step) check(ulps_away(base, step));
  for (int edge = 0; edge < 4 * 64; ++edge)
    for (int step = -50; step <= 50; ++step) check(ulps_away((edge + 0.5) * 45.0 / 32.0, step));
  sine.EXPECT_WITHIN(0.501L, 1.0L, 1800000);
  cosine.EXPECT_WITHIN(0.501L, 1.0L, 1800000);
}

TEST(TrigDegrees, Atan2WithinHalfAnUlpAndABit) {
  if (LDBL_MANT_DIG < 64) GTEST_SKIP() << "no long double wider than double to check against";
  Tulp_errors atan2;
  auto check = [&](double y, double x) {
    atan2.CHECK(TRIG_ATAN2_DEG(y, x), std::atan2(static_cast<Tlong>(y), static_cast<Tlong>(x)) * (180.0L / k_pi), y,
                x);
  };
  Trandom random;
  // Each draw in a statement of its own: the order in which a call's
  // arguments are evaluated differs between compilers.
  for (int i = 0; i < 1000000; ++i) {
    const double y = (random.NEXT() - 0.5) * 2000.0;
    check(y, (random.NEXT() - 0.5) * 2000.0);
  }
  for (int i = 0; i < 400000; ++i) {
    const double y = from_bits(random.NEXT_BITS());
    const double x = from_bits(random.NEXT_BITS());
    if (std::isfinite(y) && std::isfinite(x)) check(y, x);
  }
  for (int i = 0; i < 100000; ++i) {  // subnormal arguments, results near and in the subnormal range
    const double subnormal = from_bits(random.NEXT_BITS() >> 12);
    const double other = from_bits(random.NEXT_BITS() >> 12);
    check(subnormal, (random.NEXT() - 0.5) * 1e-300);
    check(subnormal, other);
    check(other, from_bits(random.NEXT_BITS() >> 1));
  }
  // Ratios around every node of the table (k/32 and the edges between),
  // both ways round, and runs of ulps off the diagonal.
  for (int i = 0; i < 300000; ++i) {
    const double x = (random.NEXT() - 0.5) * 1000.0;
    const double y = x * ((i % 65 - 32) / 32.0 + (random.NEXT() - 0.5) / 32.0);
    check(y, x);
    check(x, y);
  }
  for (int i = 0; i < 100000; ++i) {
    const double x = (random.NEXT() + 0.01) * 100.0;
    const double y = ulps_away(x, i % 400 - 200);
    check(y, x);
    check(-x, y);
  }
  atan2.EXPECT_WITHIN(0.501L, 1.0L, 2400000);
}

// The bits of 300,000 results, as this build computes them: every build
// must compute the same (the C library's functions do not), and a change of
// these bits changes every BulletML trace.
TEST(TrigDegrees, TheSameBitsInEveryBuild) {
  Trandom random;
  std::uint64_t hash = 0xcbf29ce484222325ull;  // FNV-1a over the results' bits
  auto mix = [&](double v) {
    std::uint64_t bits = bits_of(v);
    for (int i = 0; i < 8; ++i, bits >>= 8) hash = (hash ^ (bits & 0xff)) * 0x100000001b3ull;
  };
  for (int i = 0; i < 100000; ++i) {
    const double d = (random.NEXT() - 0.5) * 1440.0;
    mix(TRIG_SIN_DEG(d));
    mix(TRIG_COS_DEG(d));
    const double y = random.NEXT() - 0.5;
    const double x = random.NEXT() - 0.5;
    mix(TRIG_ATAN2_DEG(y, x));
  }
  EXPECT_EQ(hash, 0x5171d8a3013754faull);
}

}  // namespace
