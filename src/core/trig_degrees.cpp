// trig_degrees.cpp - degree sine, cosine and arc tangent from basic operations and tables.
//
// Each function keeps the leading terms of its result as unevaluated sums of
// two doubles (hi + lo, the pairs below) and rounds once at the end, so the
// result is the exact value's nearest double but for a tiny fraction of an
// ulp (the unit test measures 0.5005 at most). The pair operations (two_sum, two_product) are exact in IEEE double
// arithmetic without fused multiply-adds, which is what makes them the same
// in every build.
#include "core/trig_degrees.h"

#include <cfloat>   // FLT_EVAL_METHOD
#include <cmath>    // fmod (exact), fabs, signbit, copysign, isnan, isinf
#include <cstdint>  // the bits of a double
#include <cstring>  // memcpy between a double and its bits
#include <limits>   // the quiet NaN

static_assert(FLT_EVAL_METHOD == 0, "double arithmetic must round to double, or the pairs below are not exact");

namespace {

struct Tpair {
  double hi;
  double lo;
};

// s + e == a + b exactly.
void two_sum(double a, double b, double& s, double& e) {
  s = a + b;
  const double b_part = s - a;
  e = (a - (s - b_part)) + (b - b_part);
}

// Veltkamp's split into two halves of 26 bits: a == hi + lo exactly, and a
// product of two halves is exact. |a| must stay below 2^995.
void split(double a, double& hi, double& lo) {
  const double c = 134217729.0 * a;  // 2^27 + 1
  hi = c - (c - a);
  lo = a - hi;
}

// p + e == a * b exactly (Dekker), unless e falls below the normal range.
void two_product(double a, double b, double& p, double& e) {
  p = a * b;
  double a_hi, a_lo, b_hi, b_lo;
  split(a, a_hi, a_lo);
  split(b, b_hi, b_lo);
  e = ((a_hi * b_hi - p) + a_hi * b_lo + a_lo * b_hi) + a_lo * b_lo;
}

double quiet_nan() { return std::numeric_limits<double>::quiet_NaN(); }

// pi / 180 and 180 / pi as pairs, from 300-bit arithmetic.
constexpr Tpair k_radians_per_degree = {0x1.1df46a2529d39p-6, 0x1.5c1d8becdd291p-62};
constexpr Tpair k_degrees_per_radian = {0x1.ca5dc1a63c1f8p+5, -0x1.1e7ab456405f9p-49};

// ---- sine and cosine ----------------------------------------------------

// The nodes are 45/32 degree apart (exact in binary), so an angle in [0, 90)
// lies within 0.71 degree (0.0123 rad) of one and short polynomials reach it.
constexpr double k_node_step = 45.0 / 32.0;
constexpr int k_quarter_nodes = 64;

// sin(k * 45/32 degrees) for k = 0..64, each the pair nearest to it (from
// 300-bit arithmetic). cos of node k is sin of node 64 - k.
constexpr Tpair k_node_sine[k_quarter_nodes + 1] = {
    {0.0, 0.0},
    {0x1.92155f7a3667ep-6, -0x1.b1d63091a0130p-64},
    {0x1.91f65f10dd814p-5, -0x1.912bd0d569a90p-61},
    {0x1.2d52092ce19f6p-4, -0x1.9a088a8bf6b2cp-59},
    {0x1.917a6bc29b42cp-4, -0x1.e2718d26ed688p-60},
    {0x1.f564e56a9730ep-4, 0x1.a2704729ae56dp-59},
    {0x1.2c8106e8e613ap-3, 0x1.13000a89a11e0p-58},
    {0x1.5e214448b3fc6p-3, 0x1.531ff779ddac6p-57},
    {0x1.8f8b83c69a60bp-3, -0x1.26d19b9ff8d82p-57},
    {0x1.c0b826a7e4f63p-3, -0x1.af1439e521935p-62},
    {0x1.f19f97b215f1bp-3, -0x1.42deef11da2c4p-57},
    {0x1.111d262b1f677p-2, 0x1.824c20ab7aa9ap-56},
    {0x1.294062ed59f06p-2, -0x1.5d28da2c4612dp-56},
    {0x1.4135c94176601p-2, 0x1.0c97c4afa2518p-56},
    {0x1.58f9a75ab1fddp-2, -0x1.efdc0d58cf620p-62},
    {0x1.7088530fa459fp-2, -0x1.44b19e0864c5dp-56},
    {0x1.87de2a6aea963p-2, -0x1.72cedd3d5a610p-57},
    {0x1.9ef7943a8ed8ap-2, 0x1.6da81290bdbabp-57},
    {0x1.b5d1009e15cc0p-2, 0x1.5b362cb974183p-57},
    {0x1.cc66e9931c45ep-2, 0x1.6850e59c37f8fp-58},
    {0x1.e2b5d3806f63bp-2, 0x1.e0d891d3c6841p-58},
    {0x1.f8ba4dbf89abap-2, -0x1.2ec1fc1b776b8p-60},
    {0x1.073879922ffeep-1, -0x1.a5a014347406cp-55},
    {0x1.11eb3541b4b23p-1, -0x1.ef23b69abe4f1p-55},
    {0x1.1c73b39ae68c8p-1, 0x1.b25dd267f6600p-55},
    {0x1.26d054cdd12dfp-1, -0x1.5da743ef3770cp-55},
    {0x1.30ff7fce17035p-1, -0x1.efcc626f74a6fp-57},
    {0x1.3affa292050b9p-1, 0x1.e3e25e3954964p-56},
    {0x1.44cf325091dd6p-1, 0x1.8076a2cfdc6b3p-57},
    {0x1.4e6cabbe3e5e9p-1, 0x1.3c293edceb327p-57},
    {0x1.57d69348ceca0p-1, -0x1.75720992bfbb2p-55},
    {0x1.610b7551d2cdfp-1, -0x1.251b352ff2a37p-56},
    {0x1.6a09e667f3bcdp-1, -0x1.bdd3413b26456p-55},
    {0x1.72d0837efff96p-1, 0x1.0d4ef0f1d915cp-55},
    {0x1.7b5df226aafafp-1, -0x1.0f537acdf0ad7p-56},
    {0x1.83b0e0bff976ep-1, -0x1.6f420f8ea3475p-56},
    {0x1.8bc806b151741p-1, -0x1.2c5e12ed1336dp-55},
    {0x1.93a22499263fbp-1, 0x1.3d419a920df0bp-55},
    {0x1.9b3e047f38741p-1, -0x1.30ee286712474p-55},
    {0x1.a29a7a0462782p-1, -0x1.128bb015df175p-56},
    {0x1.a9b66290ea1a3p-1, 0x1.9f630e8b6dac8p-60},
    {0x1.b090a58150200p-1, -0x1.926da300ffccep-55},
    {0x1.b728345196e3ep-1, -0x1.bc69f324e6d61p-55},
    {0x1.bd7c0ac6f952ap-1, -0x1.825a732ac700ap-55},
    {0x1.c38b2f180bdb1p-1, -0x1.6e0b1757c8d07p-56},
    {0x1.c954b213411f5p-1, -0x1.2fb761e946603p-58},
    {0x1.ced7af43cc773p-1, -0x1.e7b6bb5ab58aep-58},
    {0x1.d4134d14dc93ap-1, -0x1.4ef5295d25af2p-55},
    {0x1.d906bcf328d46p-1, 0x1.457e610231ac2p-56},
    {0x1.ddb13b6ccc23cp-1, 0x1.83c37c6107db3p-55},
    {0x1.e212104f686e5p-1, -0x1.014c76c126527p-55},
    {0x1.e6288ec48e112p-1, -0x1.16b56f2847754p-57},
    {0x1.e9f4156c62ddap-1, 0x1.760b1e2e3f81ep-55},
    {0x1.ed740e7684963p-1, 0x1.e82c791f59cc2p-56},
    {0x1.f0a7efb9230d7p-1, 0x1.52c7adc6b4989p-56},
    {0x1.f38f3ac64e589p-1, -0x1.d7bafb51f72e6p-56},
    {0x1.f6297cff75cb0p-1, 0x1.562172a361fd3p-56},
    {0x1.f8764fa714ba9p-1, 0x1.ab256778ffcb6p-56},
    {0x1.fa7557f08a517p-1, -0x1.7a0a8ca13571fp-55},
    {0x1.fc26470e19fd3p-1, 0x1.1ec8668ecaceep-55},
    {0x1.fd88da3d12526p-1, -0x1.87df6378811c7p-55},
    {0x1.fe9cdad01883ap-1, 0x1.521ecd0c67e35p-57},
    {0x1.ff621e3796d7ep-1, -0x1.c57bc2e24aa15p-57},
    {0x1.ffd886084cd0dp-1, -0x1.1354d4556e4cbp-55},
    {0x1.0000000000000p+0, 0.0},
};

// sin(node + t degrees), |t| <= 0.71:
//   sin(node) + cos(node) t + sin(node) (cos t - 1) + cos(node) (sin t - t),
// the first two terms as an exact pair, the others small enough (under 1e-4
// of the result) that their rounding is lost in the final one. Taylor terms
// to t^6 and t^7 leave less than 1e-20 of the result out.
double sine_near_node(int node, double t_degrees) {
  const Tpair s = k_node_sine[node];
  const Tpair c = k_node_sine[k_quarter_nodes - node];
  double t, t_lo;  // t in radians, as a pair
  two_product(t_degrees, k_radians_per_degree.hi, t, t_lo);
  t_lo += t_degrees * k_radians_per_degree.lo;
  const double z = t * t;
  const double cos_minus_1 = z * (-0.5 + z * (1.0 / 24.0 - z * (1.0 / 720.0)));
  const double sin_minus_t = t * z * (-1.0 / 6.0 + z * (1.0 / 120.0 - z * (1.0 / 5040.0)));
  double p, p_lo, sum, sum_lo;
  two_product(c.hi, t, p, p_lo);
  two_sum(s.hi, p, sum, sum_lo);
  const double small =
      sum_lo + p_lo + s.lo + (c.hi * t_lo + c.lo * t) + s.hi * cos_minus_1 + c.hi * sin_minus_t;
  return sum + small;
}

// sin(a + 90 quarters) for a in [0, 360): quarters = 1 gives the cosine.
double sine_of_reduced(double a, int quarters) {
  // Each subtraction is exact: the operands are within a factor of two.
  int quadrant = 0;
  if (a >= 270.0) {
    quadrant = 3;
    a -= 270.0;
  } else if (a >= 180.0) {
    quadrant = 2;
    a -= 180.0;
  } else if (a >= 90.0) {
    quadrant = 1;
    a -= 90.0;
  }
  quadrant = (quadrant + quarters) & 3;
  // a in [0, 90). Its distance to the node is exact too: past node 0, a is
  // at least 0.7 and the node a multiple of 1/32, so the difference is a
  // multiple of 2^-53 below 1.
  const int node = static_cast<int>(a * (1.0 / k_node_step) + 0.5);
  const double t = a - node * k_node_step;
  // cos(node + t) = sin((64 - node) - t)
  const double value = (quadrant & 1) ? sine_near_node(k_quarter_nodes - node, -t) : sine_near_node(node, t);
  return (quadrant & 2) ? -value : value;
}

// sin(a degrees) for 0 <= a < 2^-900: a * pi/180 to far beyond double
// precision, worked out scaled up so that the product's low half does not
// fall below the normal range.
double tiny_sine(double a) {
  const double scaled = a * 0x1p600;
  double p, p_lo;
  two_product(scaled, k_radians_per_degree.hi, p, p_lo);
  return (p + (p_lo + scaled * k_radians_per_degree.lo)) * 0x1p-600;
}

double reduce_turns(double degrees) {
  // fmod is exact; most arguments need none.
  return std::fabs(degrees) < 360.0 ? degrees : std::fmod(degrees, 360.0);
}

// ---- arc tangent --------------------------------------------------------

// atan(k / 32) in degrees for k = 0..32, each the pair nearest to it (from
// 300-bit arithmetic).
constexpr int k_ratio_nodes = 32;
constexpr Tpair k_node_atan[k_ratio_nodes + 1] = {
    {0.0, 0.0},
    {0x1.ca3794e52e2a8p+0, -0x1.b18cf3a9c5ff0p-54},
    {0x1.c9c55326164cfp+1, -0x1.88708ff33aabap-55},
    {0x1.56c5d6668a4b3p+2, -0x1.fed98a21ac307p-53},
    {0x1.c80044927fe83p+2, -0x1.2a9346eb4b87bp-53},
    {0x1.1c2e5c194d0b0p+3, 0x1.6109e7ac86fa3p-51},
    {0x1.53d4374d3c2a3p+3, 0x1.c5b7fa992d71fp-52},
    {0x1.8ad9cd905cd23p+3, -0x1.aa32691274d02p-51},
    {0x1.c128e80fae02ep+3, -0x1.0fc10e257c651p-53},
    {0x1.f6ad293d8a981p+3, 0x1.8ffa0b91f5008p-51},
    {0x1.15aa15bcab87ep+4, 0x1.2f23fe5f78d35p-52},
    {0x1.2f86ca5693b95p+4, -0x1.921d12e9bd286p-51},
    {0x1.48e58fac13547p+4, 0x1.bdef92fae944fp-51},
    {0x1.61c04ce8103cap+4, 0x1.cb0f408701ac7p-51},
    {0x1.7a11ee6220071p+4, -0x1.63c539bb8dcc2p-55},
    {0x1.91d65d1b06e47p+4, 0x1.bba81c7320b23p-51},
    {0x1.a90a731a61dc4p+4, -0x1.80b27b26e182bp-51},
    {0x1.bfabed561cab5p+4, -0x1.4f228abff8141p-50},
    {0x1.d5b95bc765110p+4, 0x1.6f006acd20fc1p-52},
    {0x1.eb32104600588p+4, -0x1.cdc8f191d54cdp-50},
    {0x1.000b0659f5545p+5, 0x1.0e62435c62f2fp-49},
    {0x1.0a32f878c76f4p+5, 0x1.ef68cf8c9d5bbp-49},
    {0x1.141174800a666p+5, 0x1.e004defca5108p-50},
    {0x1.1da74dd22fa17p+5, -0x1.38573f69caa41p-51},
    {0x1.26f58ce59e23cp+5, 0x1.80b27b26e182bp-50},
    {0x1.2ffd676f50180p+5, 0x1.1391e62807a10p-50},
    {0x1.38c03916765b8p+5, 0x1.50a2d34ee7050p-49},
    {0x1.413f7cbb39bbep+5, 0x1.cb329a1df12d3p-49},
    {0x1.497cc65551cf8p+5, -0x1.2dd089737cc28p-49},
    {0x1.5179bd6aca3a8p+5, 0x1.67cc66a04f573p-49},
    {0x1.5938181bde651p+5, 0x1.ea28ab192aaf3p-51},
    {0x1.60b996be388b1p+5, -0x1.c843a99069d6dp-51},
    {0x1.6800000000000p+5, 0.0},
};

// A finite positive double as mantissa * 2^exponent, the mantissa in [1, 2).
void binary_parts(double v, double& mantissa, int& exponent) {
  int bias = 0;
  if (v < 0x1p-1022) {  // subnormal: made normal first, exactly
    v *= 0x1p54;
    bias = 54;
  }
  std::uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  exponent = static_cast<int>(bits >> 52) - 1023 - bias;
  bits = (bits & 0x000FFFFFFFFFFFFFull) | (std::uint64_t{1023} << 52);
  std::memcpy(&mantissa, &bits, sizeof mantissa);
}

// 2^e for e in [-1022, 1023].
double power_of_two(int e) {
  const std::uint64_t bits = static_cast<std::uint64_t>(e + 1023) << 52;
  double v;
  std::memcpy(&v, &bits, sizeof v);
  return v;
}

// atan(small / large) in degrees, 0 < small <= large, both finite, as
// node + p + small: a table value, an exact product and a remainder far
// smaller than either, to be added in that order.
struct Tatan_parts {
  double node;
  double p;
  double small;
};

Tatan_parts atan_of_ratio(double small, double large) {
  // The ratio as a pair q + q_lo, from mantissas so that nothing under- or
  // overflows, then scaled by the exponents' difference.
  double small_m, large_m;
  int small_e, large_e;
  binary_parts(small, small_m, small_e);
  binary_parts(large, large_m, large_e);
  double q = small_m / large_m;
  double pp, pp_lo;
  two_product(q, large_m, pp, pp_lo);
  double q_lo = ((small_m - pp) - pp_lo) / large_m;
  const int scale = small_e - large_e;  // <= 0
  if (scale < -960) {
    // Below 2^-959 the arc tangent is the ratio to far more than double
    // precision. The sum is rounded before it is scaled down in two steps:
    // a low part scaled alone could round to the smallest subnormal.
    if (scale < -1200) return {0.0, 0.0, 0.0};
    double p, p_lo;
    two_product(k_degrees_per_radian.hi, q, p, p_lo);
    const double degrees = p + (p_lo + k_degrees_per_radian.hi * q_lo + k_degrees_per_radian.lo * q);
    return {0.0, degrees * 0x1p-600 * power_of_two(scale + 600), 0.0};
  }
  q *= power_of_two(scale);
  q_lo *= power_of_two(scale);

  // atan(r) = atan(node) + atan(u), u = (r - node) / (1 + r node), |u| <= 1/64.
  const int k = static_cast<int>(q * k_ratio_nodes + 0.5);
  const double node = k * (1.0 / k_ratio_nodes);
  double u = q, u_lo = q_lo;
  if (k > 0) {
    double n, n_lo, m, m_lo, d, d_lo;
    two_sum(q, -node, n, n_lo);
    n_lo += q_lo;
    two_product(q, node, m, m_lo);
    two_sum(1.0, m, d, d_lo);
    d_lo += m_lo + q_lo * node;
    u = n / d;
    two_product(u, d, pp, pp_lo);
    u_lo = (((n - pp) - pp_lo) + n_lo - u * d_lo) / d;
  }
  // Taylor terms to u^11 leave less than 2^-60 of atan(u) out.
  const double w = u * u;
  const double atan_minus_u =
      u * w * (-1.0 / 3.0 + w * (1.0 / 5.0 + w * (-1.0 / 7.0 + w * (1.0 / 9.0 - w * (1.0 / 11.0)))));
  double p, p_lo;
  two_product(k_degrees_per_radian.hi, u, p, p_lo);
  const double small_part =
      p_lo + k_degrees_per_radian.hi * (u_lo + atan_minus_u) + k_degrees_per_radian.lo * u + k_node_atan[k].lo;
  return {k_node_atan[k].hi, p, small_part};
}

}  // namespace

double TRIG_SIN_DEG(double degrees) {
  if (!std::isfinite(degrees)) return quiet_nan();
  const double a = std::fabs(reduce_turns(degrees));
  // + 0.0 turns an exact zero's sign positive; the argument's sign is put
  // back after, so sin stays odd.
  const double value = a < 0x1p-900 ? tiny_sine(a) : sine_of_reduced(a, 0) + 0.0;
  return std::signbit(degrees) ? -value : value;
}

double TRIG_COS_DEG(double degrees) {
  if (!std::isfinite(degrees)) return quiet_nan();
  return sine_of_reduced(std::fabs(reduce_turns(degrees)), 1) + 0.0;
}

double TRIG_ATAN2_DEG(double y, double x) {
  if (std::isnan(x) || std::isnan(y)) return quiet_nan();
  const double ay = std::fabs(y);
  const double ax = std::fabs(x);
  const bool left = std::signbit(x);
  double angle;  // for |y|, in [0, 180]
  if (ay == 0.0) {
    angle = left ? 180.0 : 0.0;
  } else if (std::isinf(ay)) {
    angle = std::isinf(ax) ? (left ? 135.0 : 45.0) : 90.0;
  } else if (std::isinf(ax) || ax == 0.0) {
    angle = ax == 0.0 ? 90.0 : (left ? 180.0 : 0.0);
  } else {
    // angle = base + sign * atan(min / max), base and sign from the octant.
    const bool steep = ay > ax;
    const Tatan_parts parts = steep ? atan_of_ratio(ax, ay) : atan_of_ratio(ay, ax);
    const double base = steep ? 90.0 : (left ? 180.0 : 0.0);
    const double sign = steep == left ? 1.0 : -1.0;
    double s1, e1, s2, e2;
    two_sum(base, sign * parts.node, s1, e1);
    two_sum(s1, sign * parts.p, s2, e2);
    angle = s2 + ((e1 + e2) + sign * parts.small);
  }
  return std::copysign(angle, y);
}
