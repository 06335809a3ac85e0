// glow_test.cpp - the glow and bloom post-process under a real context: a
// known picture drawn into the small area, each operation run, the frame or
// the texture read back.
#include <GL/gl.h>        // drawing the pictures, state queries, texture read-back
#include <gtest/gtest.h>  // the runner

#include <cstdint>  // pixels
#include <cstdlib>  // abs
#include <vector>   // buffers

#include "render/blur.h"          // the bloom's expected blur
#include "gl/screen.h"        // under test
#include "support/gl_window.h"    // TEST_SCREEN, READ_FRAME, PIXEL_AT

namespace {

struct Trgb {
  int r, g, b;
};

// A 2D-view rectangle in one colour, opaque, untextured, unblended.
void fill(Tscreen& screen, int x0, int y0, int x1, int y1, Trgb c) {
  screen.VIEW_ORTHO();
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_BLEND);
  glColor4ub(static_cast<GLubyte>(c.r), static_cast<GLubyte>(c.g), static_cast<GLubyte>(c.b), 255);
  glBegin(GL_QUADS);
  glVertex2i(x0, y0);
  glVertex2i(x0, y1);
  glVertex2i(x1, y1);
  glVertex2i(x1, y0);
  glEnd();
  screen.VIEW_PERSPECTIVE();
}

void clear_frame() {
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

// Draws the picture (window-sized rectangles) squeezed into the small area
// and copies it into the render-to-texture texture.
template <typename Tdraw>
void render_to_texture(Tscreen& screen, Tdraw draw) {
  clear_frame();
  screen.START_RENDER2TEXTURE();
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], 64);
  EXPECT_EQ(viewport[3], 64);
  draw();
  screen.STOP_RENDER2TEXTURE();
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], 640);
  EXPECT_EQ(viewport[3], 480);
  GLint bound = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  EXPECT_EQ(static_cast<unsigned>(bound), screen.RTT_TEXTURE());
  clear_frame();
}

void expect_rgb(const Tpicture& frame, int x, int y, Trgb c, int tolerance = 2) {
  const std::uint8_t* p = PIXEL_AT(frame, x, y);
  EXPECT_LE(std::abs(p[0] - c.r), tolerance) << "red at " << x << "," << y;
  EXPECT_LE(std::abs(p[1] - c.g), tolerance) << "green at " << x << "," << y;
  EXPECT_LE(std::abs(p[2] - c.b), tolerance) << "blue at " << x << "," << y;
}

// What every drawing operation leaves: blending and texturing off, back in
// the perspective view with both matrix stacks as they were.
void expect_left_clean(GLenum source_factor, GLenum destination_factor) {
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
  GLint value = 0;
  glGetIntegerv(GL_BLEND_SRC, &value);
  EXPECT_EQ(static_cast<GLenum>(value), source_factor);
  glGetIntegerv(GL_BLEND_DST, &value);
  EXPECT_EQ(static_cast<GLenum>(value), destination_factor);
  glGetIntegerv(GL_MATRIX_MODE, &value);
  EXPECT_EQ(value, GL_MODELVIEW);
  glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &value);
  EXPECT_EQ(value, 1);
  glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &value);
  EXPECT_EQ(value, 1);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// Starts a drawing operation from the worst state: both switched on.
void dirty_state() {
  glEnable(GL_BLEND);
  glEnable(GL_TEXTURE_2D);
}

const Trgb k_black{0, 0, 0};
const Trgb k_white{255, 255, 255};
const Trgb k_red{255, 0, 0};
const Trgb k_green{0, 255, 0};

}  // namespace

TEST(Glow, FiveDisplacedCopiesLandWhereTheyShould) {
  Tscreen& screen = TEST_SCREEN();
  const Trgb level{40, 40, 40};
  render_to_texture(screen, [&] { fill(screen, 0, 0, 640, 480, level); });
  dirty_state();
  screen.DRAW_GLOW(1.0f);
  expect_left_clean(GL_SRC_ALPHA, GL_ONE);
  const Tpicture frame = READ_FRAME();
  const Trgb five{200, 200, 200}, four{160, 160, 160}, three{120, 120, 120};
  expect_rgb(frame, 320, 240, five);
  expect_rgb(frame, 5, 240, five);
  expect_rgb(frame, 634, 240, five);
  expect_rgb(frame, 320, 5, five);
  expect_rgb(frame, 320, 474, five);
  expect_rgb(frame, 4, 240, four);    // the copy moved right misses x < 5
  expect_rgb(frame, 635, 240, four);  // the copy moved left misses x >= 635
  expect_rgb(frame, 320, 4, four);    // the copy moved down misses y < 5
  expect_rgb(frame, 320, 475, four);  // the copy moved up misses y >= 475
  expect_rgb(frame, 0, 0, three);
  expect_rgb(frame, 639, 479, three);

  clear_frame();
  screen.DRAW_GLOW(0.5f);
  expect_rgb(READ_FRAME(), 320, 240, Trgb{100, 100, 100});
}

TEST(Glow, ZoomedCopyKeepsTheTextureUprightAndHonoursTheInset) {
  Tscreen& screen = TEST_SCREEN();
  render_to_texture(screen, [&] {
    fill(screen, 0, 0, 640, 240, k_red);
    fill(screen, 0, 240, 640, 480, k_green);
  });
  dirty_state();
  screen.DRAW_GLOW(1.0f, 0.0f);
  expect_left_clean(GL_ONE, GL_ONE);
  Tpicture frame = READ_FRAME();
  expect_rgb(frame, 320, 60, k_red);
  expect_rgb(frame, 10, 10, k_red);
  expect_rgb(frame, 320, 420, k_green);
  expect_rgb(frame, 630, 470, k_green);

  clear_frame();
  screen.DRAW_GLOW(0.5f, 0.0f);
  expect_rgb(READ_FRAME(), 320, 60, Trgb{128, 0, 0});

  // A white square over the centre half of the picture.
  render_to_texture(screen, [&] {
    fill(screen, 0, 0, 640, 480, k_black);
    fill(screen, 160, 120, 480, 360, k_white);
  });
  screen.DRAW_GLOW(1.0f, 0.0f);
  frame = READ_FRAME();
  expect_rgb(frame, 320, 240, k_white);
  expect_rgb(frame, 40, 30, k_black);
  clear_frame();
  screen.DRAW_GLOW(1.0f, 0.25f);  // the centre enlarged to the whole window
  frame = READ_FRAME();
  expect_rgb(frame, 40, 30, k_white);
  expect_rgb(frame, 600, 450, k_white);
  clear_frame();
  screen.DRAW_GLOW(1.0f, -0.5f);  // shrunk to a quarter and repeated
  frame = READ_FRAME();
  expect_rgb(frame, 320, 240, k_white);
  expect_rgb(frame, 40, 30, k_white);
  expect_rgb(frame, 160, 120, k_black);
  expect_left_clean(GL_ONE, GL_ONE);
}

namespace {

// A distinct value in every pixel of the bottom-left 64 x 64, opaque.
std::vector<std::uint32_t> draw_pattern(Tscreen& screen) {
  std::vector<std::uint32_t> pattern(64 * 64);
  for (std::uint32_t y = 0; y < 64; ++y) {
    for (std::uint32_t x = 0; x < 64; ++x) {
      pattern[y * 64 + x] = 0xff000000u | (((x * 3 + y * 5) & 0xffu) << 16) | ((y * 4) << 8) | (x * 4);
    }
  }
  clear_frame();
  screen.VIEW_ORTHO();
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_BLEND);
  glDisable(GL_DEPTH_TEST);
  glRasterPos2f(0.25f, 479.75f);  // window (0.25, 0.25): pixel (0, 0) onwards
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glDrawPixels(64, 64, GL_RGBA, GL_UNSIGNED_BYTE, pattern.data());
  glEnable(GL_DEPTH_TEST);
  screen.VIEW_PERSPECTIVE();
  return pattern;
}

std::vector<std::uint32_t> bloom_texture(Tscreen& screen) {
  std::vector<std::uint32_t> pixels(64 * 64);
  glBindTexture(GL_TEXTURE_2D, screen.BLOOM_TEXTURE());
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  return pixels;
}

void expect_bloom_state(Tscreen& screen) {
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
  GLint bound = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  EXPECT_EQ(static_cast<unsigned>(bound), screen.BLOOM_TEXTURE());
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace

TEST(Bloom, NoPassesUploadsThePixelsUnblurred) {
  Tscreen& screen = TEST_SCREEN();
  const std::vector<std::uint32_t> pattern = draw_pattern(screen);
  glDisable(GL_TEXTURE_2D);
  screen.DO_BLOOM(0);
  expect_bloom_state(screen);
  const std::vector<std::uint32_t> buffer(screen.BLOOM_BUFFER_A(), screen.BLOOM_BUFFER_A() + 64 * 64);
  EXPECT_EQ(buffer, pattern);
  EXPECT_EQ(bloom_texture(screen), pattern);
  screen.DO_BLOOM(-3);
  EXPECT_EQ(bloom_texture(screen), pattern);
}

TEST(Bloom, PassesBlurHorizontallyThenVertically) {
  Tscreen& screen = TEST_SCREEN();
  const std::vector<std::uint32_t> pattern = draw_pattern(screen);
  std::vector<std::uint32_t> expected = pattern;
  std::vector<std::uint32_t> scratch(64 * 64);
  for (int pass = 0; pass < 2; ++pass) {
    BLUR_H(expected.data(), scratch.data(), 64, 64, 2);
    BLUR_V(scratch.data(), expected.data(), 64, 64, 2);
  }
  screen.DO_BLOOM(2);
  expect_bloom_state(screen);
  const std::vector<std::uint32_t> buffer(screen.BLOOM_BUFFER_A(), screen.BLOOM_BUFFER_A() + 64 * 64);
  EXPECT_EQ(buffer, expected);
  EXPECT_EQ(bloom_texture(screen), expected);
  // The two bottom and two top rows keep the pixels as read.
  for (int i : {0, 64 + 7, 62 * 64 + 30, 64 * 64 - 1}) EXPECT_EQ(buffer[i], pattern[i]) << i;
  EXPECT_NE(buffer[32 * 64 + 32], pattern[32 * 64 + 32]);
}

TEST(Bloom, DrawBloomCoversTheWindowUpright) {
  Tscreen& screen = TEST_SCREEN();
  clear_frame();
  fill(screen, 0, 416, 640, 480, k_green);  // the bottom 64 rows
  fill(screen, 0, 416, 640, 448, k_red);    // the upper half of them
  screen.DO_BLOOM(0);
  clear_frame();
  dirty_state();
  screen.DRAW_BLOOM(1.0f);
  expect_left_clean(GL_ONE, GL_ONE);
  const Tpicture frame = READ_FRAME();
  expect_rgb(frame, 320, 60, k_red);
  expect_rgb(frame, 10, 10, k_red);
  expect_rgb(frame, 320, 420, k_green);
  expect_rgb(frame, 630, 470, k_green);
  // Within half a texel of the window's edge the texture wraps (GL_REPEAT)
  // and the opposite edge bleeds in; the points above stay clear of it.
}
