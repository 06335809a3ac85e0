// matrix_test.cpp - Tmatrix: multiplication order, the rigid inverse against
// the transpose, axis rotation, owned blocks and the null checks.
#include <gtest/gtest.h>  // the runner

#include <cmath>  // M_PI

#include "math/matrix.h"             // under test
#include "platform/runtime_error.h"  // Tfatal_trap

namespace {

Tmatrix translation(float x, float y, float z) {
  Tmatrix m;
  m.IDENTITY();
  m.ELEMENT(12, x);
  m.ELEMENT(13, y);
  m.ELEMENT(14, z);
  return m;
}

Tmatrix numbered() {
  Tmatrix m;
  for (int i = 0; i < 16; ++i) m.ELEMENT(i, static_cast<float>(i + 1));
  return m;
}

void expect_same(const Tmatrix& a, const Tmatrix& b) {
  for (int i = 0; i < 16; ++i) EXPECT_EQ(a.ELEMENT(i), b.ELEMENT(i)) << "element " << i;
}

}  // namespace

TEST(Matrix, NewMatrixIsZeroAndIdentityMultipliesToACopy) {
  Tmatrix zero;
  for (int i = 0; i < 16; ++i) EXPECT_EQ(zero.ELEMENT(i), 0.0f);
  Tmatrix product = zero * numbered();
  for (int i = 0; i < 16; ++i) EXPECT_EQ(product.ELEMENT(i), 0.0f);
  Tmatrix m;
  m.IDENTITY();
  m.MUL_MATRIX(numbered());
  expect_same(m, numbered());
}

TEST(Matrix, ProductAppliesTheRightOperandFirst) {
  Tmatrix scale;
  scale.IDENTITY();
  scale.ELEMENT(0, 2.0f);
  scale.ELEMENT(5, 2.0f);
  scale.ELEMENT(10, 2.0f);
  // translate * scale: scale first, translation kept as is.
  Tmatrix ts = translation(1.0f, 2.0f, 3.0f);
  ts.MUL_MATRIX(scale);
  EXPECT_EQ(ts.VTRANSLATE().x, 1.0f);
  EXPECT_EQ(ts.VTRANSLATE().z, 3.0f);
  EXPECT_EQ(ts.ELEMENT(0), 2.0f);
  // scale * translate: the translation is scaled too.
  Tmatrix st = scale * translation(1.0f, 2.0f, 3.0f);
  EXPECT_EQ(st.VTRANSLATE().x, 2.0f);
  EXPECT_EQ(st.VTRANSLATE().y, 4.0f);
  EXPECT_EQ(st.VTRANSLATE().z, 6.0f);
  Tmatrix st2 = scale;
  st2 *= translation(1.0f, 2.0f, 3.0f);
  expect_same(st, st2);
  float raw[16];
  for (int i = 0; i < 16; ++i) raw[i] = translation(1.0f, 2.0f, 3.0f).ELEMENT(i);
  Tmatrix st3 = scale;
  st3.MUL_MATRIX(raw);
  expect_same(st, st3);
}

TEST(Matrix, MultiplyingByItselfAndSelfAssignmentUseTheOldValues) {
  const Tmatrix expected = numbered() * numbered();
  Tmatrix a = numbered();
  a.MUL_MATRIX(a);
  expect_same(a, expected);
  Tmatrix b = numbered();
  b.MUL_MATRIX(b.MATRIX_PTR());
  expect_same(b, expected);
  Tmatrix c = numbered();
  c *= c;
  expect_same(c, expected);
  EXPECT_EQ(expected.ELEMENT(0), 90.0f);  // row 0 . column 0 = 1*1+5*2+9*3+13*4

  Tmatrix d = numbered();
  Tmatrix& alias = d;
  d = alias;
  expect_same(d, numbered());
}

TEST(Matrix, CopiesNeverShareTheBlock) {
  Tmatrix a = numbered();
  Tmatrix b(a);
  EXPECT_NE(a.MATRIX_PTR(), b.MATRIX_PTR());
  b.ELEMENT(0, 99.0f);
  EXPECT_EQ(a.ELEMENT(0), 1.0f);

  Tmatrix c;
  const float* before = c.MATRIX_PTR();
  c = a;
  EXPECT_EQ(c.MATRIX_PTR(), before);  // assignment writes into its own block
  c.ELEMENT(1, 77.0f);
  EXPECT_EQ(a.ELEMENT(1), 2.0f);

  Tmatrix d;
  d.COPY_MATRIX(a);
  expect_same(d, a);
  Tmatrix e;
  e.COPY_MATRIX(a.MATRIX_PTR());
  expect_same(e, a);
  EXPECT_NE(e.MATRIX_PTR(), a.MATRIX_PTR());

  Tmatrix t = a.GETTRANSPOSE();
  EXPECT_NE(t.MATRIX_PTR(), a.MATRIX_PTR());
}

TEST(Matrix, TransposeAndInverseOfATranslation) {
  Tmatrix inverse = translation(1.0f, 2.0f, 3.0f);
  inverse.INVERSE();
  Tmatrix transpose = translation(1.0f, 2.0f, 3.0f);
  transpose.TRANSPOSE();
  for (Tmatrix* m : {&inverse, &transpose}) {
    EXPECT_EQ(m->VTRANSLATE().x, -1.0f);
    EXPECT_EQ(m->VTRANSLATE().y, -2.0f);
    EXPECT_EQ(m->VTRANSLATE().z, -3.0f);
  }
}

TEST(Matrix, InverseRotatesTheTranslationAndTransposeDoesNot) {
  Tmatrix m;
  m.ROTATE_ON_AXIS(static_cast<float>(M_PI / 2), 0.0f, 0.0f, 1.0f);
  m.ELEMENT(12, 1.0f);
  m.ELEMENT(13, 2.0f);
  m.ELEMENT(14, 3.0f);
  const Tmatrix original = m;

  Tmatrix inverse = m.GETINVERSE();
  expect_same(m, original);
  EXPECT_NEAR(inverse.ELEMENT(12), -2.0f, 1e-6);
  EXPECT_NEAR(inverse.ELEMENT(13), 1.0f, 1e-6);
  EXPECT_NEAR(inverse.ELEMENT(14), -3.0f, 1e-6);
  Tmatrix in_place = m;
  in_place.INVERSE();
  expect_same(in_place, inverse);
  Tmatrix round_trip = original * inverse;
  Tmatrix identity;
  identity.IDENTITY();
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(round_trip.ELEMENT(i), identity.ELEMENT(i), 1e-6);

  // Bottom row of the inverse is always 0 0 0 1, whatever the source had.
  Tmatrix skewed = numbered();
  skewed.INVERSE();
  EXPECT_EQ(skewed.ELEMENT(3), 0.0f);
  EXPECT_EQ(skewed.ELEMENT(7), 0.0f);
  EXPECT_EQ(skewed.ELEMENT(11), 0.0f);
  EXPECT_EQ(skewed.ELEMENT(15), 1.0f);
  EXPECT_EQ(skewed.ELEMENT(1), 5.0f);

  Tmatrix transposed = original.GETTRANSPOSE();
  expect_same(transposed, MATRIX_TRANSPOSE(original));
  expect_same(m, original);
  EXPECT_EQ(transposed.ELEMENT(12), -1.0f);
  EXPECT_EQ(transposed.ELEMENT(13), -2.0f);
  EXPECT_EQ(transposed.ELEMENT(1), original.ELEMENT(4));
  EXPECT_EQ(transposed.ELEMENT(4), original.ELEMENT(1));

  Tmatrix bottom = numbered();
  bottom.TRANSPOSE();
  EXPECT_EQ(bottom.ELEMENT(3), 4.0f);
  EXPECT_EQ(bottom.ELEMENT(15), 16.0f);
  EXPECT_EQ(bottom.ELEMENT(6), 10.0f);
  EXPECT_EQ(bottom.ELEMENT(9), 7.0f);
}

TEST(Matrix, RotateOnAxisNormalizesTheAxis) {
  Tmatrix m = numbered();
  m.ROTATE_ON_AXIS(static_cast<float>(M_PI / 2), 0.0f, 0.0f, 2.0f);
  EXPECT_NEAR(m.VRIGHT().x, 0.0f, 1e-6);
  EXPECT_NEAR(m.VRIGHT().y, 1.0f, 1e-6);
  EXPECT_NEAR(m.VRIGHT().z, 0.0f, 1e-6);
  EXPECT_NEAR(m.VUP().x, -1.0f, 1e-6);
  EXPECT_NEAR(m.VUP().y, 0.0f, 1e-6);
  EXPECT_NEAR(m.VFORWARD().z, 1.0f, 1e-6);
  for (int i : {3, 7, 11, 12, 13, 14}) EXPECT_EQ(m.ELEMENT(i), 0.0f);
  EXPECT_EQ(m.ELEMENT(15), 1.0f);
}

TEST(Matrix, TransformVectorIgnoresTheTranslation) {
  Tmatrix m = translation(5.0f, 6.0f, 7.0f);
  Tvector v(1.0f, 2.0f, 3.0f);
  m.TRANSFORM_VECTOR(v);
  EXPECT_EQ(v.x, 1.0f);
  EXPECT_EQ(v.y, 2.0f);
  EXPECT_EQ(v.z, 3.0f);
  Tmatrix r;
  r.ROTATE_ON_AXIS(static_cast<float>(M_PI / 2), 0.0f, 0.0f, 1.0f);
  Tvector x_axis(1.0f, 0.0f, 0.0f);
  r.TRANSFORM_VECTOR(x_axis);
  EXPECT_NEAR(x_axis.x, 0.0f, 1e-6);
  EXPECT_NEAR(x_axis.y, 1.0f, 1e-6);
  Tvector w(1.0f, 2.0f, 3.0f);
  numbered().TRANSFORM_VECTOR(w);
  EXPECT_EQ(w.x, 1.0f * 1 + 5.0f * 2 + 9.0f * 3);
  EXPECT_EQ(w.z, 3.0f * 1 + 7.0f * 2 + 11.0f * 3);
}

TEST(Matrix, NullSourcesAreFatal) {
  Tfatal_trap trap;
  Tmatrix m;
  try {
    m.COPY_MATRIX(static_cast<const float*>(nullptr));
    FAIL() << "no report";
  } catch (const Truntime_error& e) {
    EXPECT_EQ(e.code, VP_ERR_NULL_POINTER);
    EXPECT_NE(e.report.find("of Tmatrix::COPY_MATRIX()"), std::string::npos);
  }
  EXPECT_THROW(m.MUL_MATRIX(static_cast<const float*>(nullptr)), Truntime_error);
}
