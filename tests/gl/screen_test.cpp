// Tscreen: the pixel-format requests, the open's validation, the fixed GL
// state and the two views.
#include <GL/gl.h>        // state queries
#include <gtest/gtest.h>  // the runner

#include <cmath>  // the projection's expected terms

#include "platform/runtime_error.h"  // the failed open's report
#include "show/window.h"             // the pixel-format requests
#include "support/gl_window.h"       // the test screen

namespace {

// An invalid width makes the open fail after every request was made, so the
// requests and the flags can be checked without a window.
void construct_failing(int depth, int samples, int& flags) {
  SCREEN_GL_REQUESTS_CLEAR();
  Tfatal_trap trap;
  try {
    Tscreen screen(0, 480, depth, 1, samples, flags);
    FAIL() << "a zero-width screen opened";
  } catch (const Truntime_error& error) {
    EXPECT_EQ(error.code, VP_ERR_ILLEGAL_CALL);
    EXPECT_NE(error.report.find("of Tscreen::"), std::string::npos);
  }
}

TEST(ScreenRequests, ColourBitsFollowDepthAndDepthBufferIs24) {
  const int cases[][2] = {{32, 8}, {16, 4}, {15, 3}, {24, 6}};
  for (const auto& c : cases) {
    int flags = VP_SCREEN_GL;
    construct_failing(c[0], 0, flags);
    const Tscreen_requests& r = SCREEN_GL_REQUESTS();
    EXPECT_EQ(r.value[VP_GL_RED_BITS], c[1]) << "depth " << c[0];
    EXPECT_EQ(r.value[VP_GL_GREEN_BITS], c[1]);
    EXPECT_EQ(r.value[VP_GL_BLUE_BITS], c[1]);
    EXPECT_EQ(r.value[VP_GL_ALPHA_BITS], c[1]);
    EXPECT_EQ(r.value[VP_GL_DEPTH_BITS], 24);
    ASSERT_EQ(r.count, 5);  // no sample request
    const int order[] = {VP_GL_RED_BITS, VP_GL_GREEN_BITS, VP_GL_BLUE_BITS, VP_GL_ALPHA_BITS, VP_GL_DEPTH_BITS};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(r.order[i], order[i]);
  }
}

TEST(ScreenRequests, SamplesSetTheMultisampleFlagInTheCallersVariable) {
  int flags = VP_SCREEN_GL;
  construct_failing(32, 2, flags);
  EXPECT_EQ(flags, 0x40002);
  EXPECT_EQ(SCREEN_GL_REQUESTS().value[VP_GL_SAMPLES], 2);
  EXPECT_EQ(SCREEN_GL_REQUESTS().count, 6);

  flags = VP_SCREEN_GL;
  construct_failing(32, 0, flags);
  EXPECT_EQ(flags, 2);
  EXPECT_EQ(SCREEN_GL_REQUESTS().value[VP_GL_SAMPLES], 0);
}

TEST(ScreenFixed, OpensA640By480ScreenWithBloomBuffersAndNoTextures) {
  SCREEN_GL_REQUESTS_CLEAR();
  Tscreen screen;  // its own window: this test does not use TEST_SCREEN
  const Tscreen_requests& r = SCREEN_GL_REQUESTS();
  EXPECT_EQ(r.value[VP_GL_RED_BITS], 8);
  EXPECT_EQ(r.value[VP_GL_DEPTH_BITS], 24);
  EXPECT_EQ(r.count, 5);  // no multisampling
  EXPECT_EQ(screen.WIDTH(), 640);
  EXPECT_EQ(screen.HEIGHT(), 480);
  EXPECT_EQ(screen.RTT_WIDTH(), 256);
  EXPECT_EQ(screen.RTT_HEIGHT(), 256);
  EXPECT_EQ(screen.RTT_TEXTURE(), 0u);
  EXPECT_EQ(screen.BLOOM_TEXTURE(), 0u);
  ASSERT_EQ(screen.BLOOM_WIDTH() * screen.BLOOM_HEIGHT(), 64 * 64);
  for (int i = 0; i < 64 * 64; ++i) ASSERT_EQ(screen.BLOOM_BUFFER_A()[i] | screen.BLOOM_BUFFER_B()[i], 0u) << i;
}

TEST(ScreenOpen, RejectsBadSizesAndDepths) {
  EXPECT_EQ(SCREEN_VALIDATE(640, 480, 32), 0);
  for (int depth : {1, 2, 4, 8, 15, 16, 24, 32}) EXPECT_EQ(SCREEN_VALIDATE(1, 1, depth), 0) << depth;
  for (int depth : {0, 3, 12, 31, 64, -32}) EXPECT_NE(SCREEN_VALIDATE(640, 480, depth), 0) << depth;
  EXPECT_NE(SCREEN_VALIDATE(0, 480, 32), 0);
  EXPECT_NE(SCREEN_VALIDATE(640, -1, 32), 0);
  EXPECT_NE(SCREEN_OPEN(640, 480, 12, 1, VP_SCREEN_GL, 0), 0);
  EXPECT_FALSE(SCREEN_IS_OPEN());
}

TEST(ScreenDeathTest, FailedOpenEndsWithTheReportAndItsCode) {
  EXPECT_EXIT(
      {
        int flags = VP_SCREEN_GL;
        Tscreen screen(640, 480, 7, 1, 0, flags);
      },
      testing::ExitedWithCode(VP_ERR_ILLEGAL_CALL), "Aborting due to runtime error 1 .* of Tscreen::Tscreen\\(\\)");
}

TEST(ScreenState, InitGlScreenSetsTheFixedState) {
  TEST_SCREEN();
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[0], 0);
  EXPECT_EQ(viewport[1], 0);
  EXPECT_EQ(viewport[2], 640);
  EXPECT_EQ(viewport[3], 480);
  GLint value = 0;
  glGetIntegerv(GL_DEPTH_FUNC, &value);
  EXPECT_EQ(value, GL_LEQUAL);
  glGetIntegerv(GL_SHADE_MODEL, &value);
  EXPECT_EQ(value, GL_SMOOTH);
  glGetIntegerv(GL_BLEND_SRC, &value);
  EXPECT_EQ(value, GL_SRC_ALPHA);
  glGetIntegerv(GL_BLEND_DST, &value);
  EXPECT_EQ(value, GL_ONE);
  glGetIntegerv(GL_LIGHT_MODEL_COLOR_CONTROL, &value);
  EXPECT_EQ(value, GL_SEPARATE_SPECULAR_COLOR);
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_TRUE(glIsEnabled(GL_COLOR_MATERIAL));
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
  EXPECT_FALSE(glIsEnabled(GL_LIGHT0));

  GLfloat v[4];
  glGetFloatv(GL_COLOR_CLEAR_VALUE, v);
  EXPECT_EQ(v[0], 0.0f);
  EXPECT_EQ(v[1], 0.0f);
  EXPECT_EQ(v[2], 0.0f);
  EXPECT_EQ(v[3], 1.0f);
  glGetFloatv(GL_DEPTH_CLEAR_VALUE, v);
  EXPECT_EQ(v[0], 1.0f);

  // Colour material is on, so GL keeps the front ambient and diffuse equal
  // to the current colour (white) whatever glMaterialfv asked for; the
  // specular and shininess are the ones set.
  glGetMaterialfv(GL_FRONT, GL_SPECULAR, v);
  EXPECT_EQ(v[0], 1.0f);
  EXPECT_EQ(v[3], 1.0f);
  glGetMaterialfv(GL_FRONT, GL_SHININESS, v);
  EXPECT_EQ(v[0], 15.0f);
  glGetMaterialfv(GL_FRONT, GL_DIFFUSE, v);
  EXPECT_EQ(v[0], 1.0f);
  EXPECT_EQ(v[2], 1.0f);
  GLint tracked = 0;
  glGetIntegerv(GL_COLOR_MATERIAL_PARAMETER, &tracked);
  EXPECT_EQ(tracked, GL_AMBIENT_AND_DIFFUSE);
  glGetLightfv(GL_LIGHT0, GL_AMBIENT, v);
  EXPECT_FLOAT_EQ(v[0], 0.5f);
  EXPECT_FLOAT_EQ(v[3], 1.0f);
  glGetLightfv(GL_LIGHT0, GL_DIFFUSE, v);
  EXPECT_FLOAT_EQ(v[1], 0.5f);
  glGetLightfv(GL_LIGHT0, GL_POSITION, v);  // eye coordinates; the modelview was identity
  EXPECT_FLOAT_EQ(v[0], -7.0f);
  EXPECT_FLOAT_EQ(v[1], 8.0f);
  EXPECT_FLOAT_EQ(v[2], -6.0f);
  EXPECT_FLOAT_EQ(v[3], 1.0f);

  // A 45 degree vertical field of view, aspect 4:3, near 1, far 500.
  GLfloat p[16];
  glGetFloatv(GL_PROJECTION_MATRIX, p);
  const double f = 1.0 / std::tan(22.5 * 3.14159265358979323846 / 180.0);
  EXPECT_NEAR(p[5], f, 1e-5);
  EXPECT_NEAR(p[0], f / (640.0 / 480.0), 1e-5);
  EXPECT_NEAR(p[10], (500.0 + 1.0) / (1.0 - 500.0), 1e-5);
  EXPECT_NEAR(p[14], 2.0 * 500.0 * 1.0 / (1.0 - 500.0), 1e-5);
  EXPECT_EQ(p[11], -1.0f);
}

TEST(ScreenViews, OrthoPutsTheOriginTopLeftAndPerspectiveRestoresBothMatrices) {
  Tscreen& screen = TEST_SCREEN();
  glMatrixMode(GL_MODELVIEW);
  glTranslatef(1.0f, 2.0f, 3.0f);  // something to restore
  GLfloat projection_before[16], modelview_before[16];
  glGetFloatv(GL_PROJECTION_MATRIX, projection_before);
  glGetFloatv(GL_MODELVIEW_MATRIX, modelview_before);

  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  screen.VIEW_ORTHO();
  GLint mode = 0;
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  EXPECT_EQ(mode, GL_MODELVIEW);
  glDisable(GL_TEXTURE_2D);
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  glBegin(GL_QUADS);  // the top-left pixel and the bottom-right pixel
  glVertex2i(0, 1);
  glVertex2i(0, 0);
  glVertex2i(1, 0);
  glVertex2i(1, 1);
  glVertex2i(639, 480);
  glVertex2i(639, 479);
  glVertex2i(640, 479);
  glVertex2i(640, 480);
  glEnd();
  screen.VIEW_PERSPECTIVE();

  Tpicture frame = READ_FRAME();
  EXPECT_EQ(PIXEL_AT(frame, 0, 0)[0], 255);
  EXPECT_EQ(PIXEL_AT(frame, 1, 0)[0], 0);
  EXPECT_EQ(PIXEL_AT(frame, 0, 1)[0], 0);
  EXPECT_EQ(PIXEL_AT(frame, 639, 479)[0], 255);
  EXPECT_EQ(PIXEL_AT(frame, 638, 479)[0], 0);

  GLfloat projection_after[16], modelview_after[16];
  glGetFloatv(GL_PROJECTION_MATRIX, projection_after);
  glGetFloatv(GL_MODELVIEW_MATRIX, modelview_after);
  for (int i = 0; i < 16; ++i) {
    EXPECT_EQ(projection_after[i], projection_before[i]) << i;
    EXPECT_EQ(modelview_after[i], modelview_before[i]) << i;
  }
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  EXPECT_EQ(mode, GL_MODELVIEW);
}

}  // namespace
