// vector_test.cpp - Tvector: lengths, the two cross products' signs, sums
// kept in double, and the operators' shapes.
#include <gtest/gtest.h>  // the runner

#include <cmath>  // isnan, isinf

#include "math/vector.h"  // under test

namespace {

void expect_vector(const Tvector& v, float x, float y, float z) {
  EXPECT_FLOAT_EQ(v.x, x);
  EXPECT_FLOAT_EQ(v.y, y);
  EXPECT_FLOAT_EQ(v.z, z);
}

}  // namespace

TEST(Vector, MagnitudesOfZeroAndNonZeroVectors) {
  Tvector zero;
  EXPECT_EQ(zero.MAGNITUDE(), -100000000.0f);
  EXPECT_EQ(VMAGNITUDE(zero), 1.0f);
  Tvector v(3.0f, 4.0f, 0.0f);
  EXPECT_EQ(v.MAGNITUDE(), 5.0f);
  EXPECT_EQ(VMAGNITUDE(v), 5.0f);
  // The smallest subnormal still has a length: its square is formed in double.
  Tvector tiny(1.0e-45f, 0.0f, 0.0f);
  EXPECT_GT(tiny.MAGNITUDE(), 0.0f);
  EXPECT_EQ(tiny.MAGNITUDE(), tiny.x);
  EXPECT_EQ(VMAGNITUDE(tiny), tiny.x);
  // A length that overflows float is not a zero length.
  Tvector huge(3.0e38f, 3.0e38f, 0.0f);
  EXPECT_TRUE(std::isinf(huge.MAGNITUDE()));
}

TEST(Vector, CrossMemberAndFreeHaveOppositeSigns) {
  Tvector a(1.0f, 0.0f, 0.0f);
  Tvector b(0.0f, 1.0f, 0.0f);
  expect_vector(VCROSS(a, b), 0.0f, 0.0f, 1.0f);
  a.CROSS(b);
  expect_vector(a, 0.0f, 0.0f, -1.0f);
  // All three components come from the old values.
  Tvector c(1.0f, 2.0f, 3.0f);
  Tvector d(4.0f, 5.0f, 6.0f);
  Tvector expected = VCROSS(d, c);
  c.CROSS(d);
  expect_vector(c, expected.x, expected.y, expected.z);
  expect_vector(expected, 3.0f, -6.0f, 3.0f);
}

TEST(Vector, SumsOfProductsAreRoundedOnce) {
  // 4097^2 does not fit a float; in float the difference comes out 16383.
  Tvector a(0.0f, 4097.0f, 4095.0f);
  Tvector b(0.0f, 4095.0f, 4097.0f);
  EXPECT_EQ(VCROSS(a, b).x, 16384.0f);
  // 1e8 + 1 - 1e8 is 0 in float arithmetic and 1 in double.
  Tvector p(1.0e8f, 1.0f, 1.0e8f);
  Tvector q(1.0f, 1.0f, -1.0f);
  EXPECT_EQ(VDOT(p, q), 1.0f);
  EXPECT_EQ(p.DOT(q), 1.0f);
}

TEST(Vector, Normalize) {
  Tvector v(0.0f, 3.0f, 4.0f);
  v.NORMALIZE();
  expect_vector(v, 0.0f, 0.6f, 0.8f);
  Tvector w(0.0f, 3.0f, 4.0f);
  VNORMALIZE(w);
  EXPECT_EQ(w.x, v.x);
  EXPECT_EQ(w.y, v.y);
  EXPECT_EQ(w.z, v.z);
  Tvector zero;
  zero.NORMALIZE();
  EXPECT_TRUE(std::isnan(zero.x) && std::isnan(zero.y) && std::isnan(zero.z));
}

TEST(Vector, ConstructionAssignmentAndOperators) {
  expect_vector(Tvector(), 0.0f, 0.0f, 0.0f);
  expect_vector(Tvector(1.5f), 1.5f, 1.5f, 1.5f);
  Tvector v;
  v = 2.5f;
  expect_vector(v, 2.5f, 2.5f, 2.5f);
  v *= Tvector(1.0f, 2.0f, 3.0f);
  expect_vector(v, 2.5f, 5.0f, 7.5f);
  v += 1.0f;
  expect_vector(v, 3.5f, 6.0f, 8.5f);
  v -= Tvector(0.5f, 1.0f, 1.5f);
  expect_vector(v, 3.0f, 5.0f, 7.0f);
  v /= 2.0f;
  expect_vector(v, 1.5f, 2.5f, 3.5f);

  const Tvector a(1.0f, 2.0f, 3.0f);
  const Tvector b(4.0f, 5.0f, 6.0f);
  expect_vector(a + b, 5.0f, 7.0f, 9.0f);
  expect_vector(a - b, -3.0f, -3.0f, -3.0f);
  expect_vector(a * b, 4.0f, 10.0f, 18.0f);
  expect_vector(b / a, 4.0f, 2.5f, 2.0f);
  expect_vector(a - 1.0f, 0.0f, 1.0f, 2.0f);
  expect_vector(a * 2.0f, 2.0f, 4.0f, 6.0f);
  expect_vector(a / 2.0f, 0.5f, 1.0f, 1.5f);
  expect_vector(a + 1.0f, 2.0f, 3.0f, 4.0f);
  expect_vector(a, 1.0f, 2.0f, 3.0f);  // operands untouched

  Tvector inf = a / 0.0f;
  EXPECT_TRUE(std::isinf(inf.x) && std::isinf(inf.y) && std::isinf(inf.z));
}
