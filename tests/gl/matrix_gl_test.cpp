// matrix_gl_test.cpp - ROTATE_ON_AXIS against the matrix GL itself builds
// with glRotatef for the same axis and angle.
#include <GL/gl.h>        // glRotatef and the modelview read-back
#include <gtest/gtest.h>  // the runner

#include <cmath>  // M_PI

#include "support/gl_window.h"  // the test window's context
#include "math/matrix.h"    // under test

TEST(MatrixGl, RotateOnAxisEqualsGlRotate) {
  TEST_SCREEN();
  const float cases[][4] = {
      {90.0f, 0.0f, 0.0f, 1.0f}, {30.0f, 1.0f, 0.0f, 0.0f},  {-45.0f, 0.0f, 2.0f, 0.0f},
      {123.0f, 1.0f, 2.0f, 3.0f}, {200.0f, -1.0f, 0.5f, 0.25f}, {7.5f, 3.0f, -4.0f, 12.0f},
  };
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  for (const auto& c : cases) {
    glLoadIdentity();
    glRotatef(c[0], c[1], c[2], c[3]);
    float expected[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, expected);
    Tmatrix m;
    m.ROTATE_ON_AXIS(static_cast<float>(c[0] * M_PI / 180.0), c[1], c[2], c[3]);
    for (int i = 0; i < 16; ++i) {
      EXPECT_NEAR(m.ELEMENT(i), expected[i], 1e-6) << "angle " << c[0] << " element " << i;
    }
  }
  glPopMatrix();
}
