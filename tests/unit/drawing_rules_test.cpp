// drawing_rules_test.cpp - the drawing rules every backend takes from one
// GL-free place: the sprites' and the HUD's quads, the pixel-format request,
// the read-back's row flip.
#include <gtest/gtest.h>  // the runner

#include <cstdint>  // pixel bytes
#include <vector>   // the requests seen, the read-back bytes

#include "render/picture.h"    // under test: PICTURE_FROM_BOTTOM_UP_RGBA
#include "render/quad.h"       // under test
#include "scene/hud_layout.h"  // under test: HUD_QUAD
#include "scene/sprites.h"     // under test: SPRITE_QUAD
#include "show/window.h"       // under test: SCREEN_REQUEST_PIXEL_FORMAT

// A window backend's request record, as far as SCREEN_REQUEST_PIXEL_FORMAT
// reaches: the requests in the order made. This test program links no
// window backend, so these are the only definitions.
namespace {
std::vector<std::pair<Tscreen_attribute, int>> g_requests;
}  // namespace
void SCREEN_GL_REQUEST(Tscreen_attribute attribute, int value) { g_requests.emplace_back(attribute, value); }

namespace {

void expect_corner(const Tquad_corner& c, float x, float y, float s, float t) {
  EXPECT_EQ(c.x, x);
  EXPECT_EQ(c.y, y);
  EXPECT_EQ(c.s, s);
  EXPECT_EQ(c.t, t);
}

TEST(DrawingRules, ABulletIsTheLeftHalfOn16PixelsShownUpsideDownFromTheBottomLeftCorner) {
  const Tquad q = SPRITE_QUAD(Tsprite{100.5f, 200.25f, VP_SPRITE_BULLET});
  expect_corner(q.corner[0], 100.5f, 216.25f, 0.0f, 1.0f);
  expect_corner(q.corner[1], 100.5f, 200.25f, 0.0f, 0.0f);
  expect_corner(q.corner[2], 116.5f, 200.25f, 0.5f, 0.0f);
  expect_corner(q.corner[3], 116.5f, 216.25f, 0.5f, 1.0f);
}

TEST(DrawingRules, AnEmitterIsTheRightHalfOn32Pixels) {
  const Tquad q = SPRITE_QUAD(Tsprite{-8.0f, 470.0f, VP_SPRITE_EMITTER});
  expect_corner(q.corner[0], -8.0f, 502.0f, 0.5f, 1.0f);
  expect_corner(q.corner[1], -8.0f, 470.0f, 0.5f, 0.0f);
  expect_corner(q.corner[2], 24.0f, 470.0f, 1.0f, 0.0f);
  expect_corner(q.corner[3], 24.0f, 502.0f, 1.0f, 1.0f);
  EXPECT_EQ(VP_EMITTER_SIDE, 2.0f * VP_BULLET_SIDE);
}

// The corners land where adding the side in float lands them, as the
// browser's batch always computed them: no rounding of the position.
TEST(DrawingRules, ASpriteKeepsItsFractionalPosition) {
  const float x = 319.99998f, y = 0.1f;
  const Tquad q = SPRITE_QUAD(Tsprite{x, y, VP_SPRITE_BULLET});
  EXPECT_EQ(q.corner[2].x, x + 16.0f);
  EXPECT_EQ(q.corner[0].y, y + 16.0f);
}

TEST(DrawingRules, ATexturedQuadGoesAroundFromTheTopLeftWithTheTextureUpright) {
  const Tquad q = QUAD_TEXTURED(1.0f, 2.0f, 641.0f, 482.0f, 0.0f, 0.25f, 0.625f, 0.9375f);
  expect_corner(q.corner[0], 1.0f, 2.0f, 0.0f, 0.9375f);
  expect_corner(q.corner[1], 1.0f, 482.0f, 0.0f, 0.25f);
  expect_corner(q.corner[2], 641.0f, 482.0f, 0.625f, 0.25f);
  expect_corner(q.corner[3], 641.0f, 2.0f, 0.625f, 0.9375f);
}

TEST(DrawingRules, TheHudsBoxAndCellsArePlainQuadsOverTheirRectangles) {
  const Tquad q = HUD_QUAD(Tfont_cell{4, 9, 35, 2});
  expect_corner(q.corner[0], 4.0f, 9.0f, 0.0f, 0.0f);
  expect_corner(q.corner[1], 4.0f, 11.0f, 0.0f, 0.0f);
  expect_corner(q.corner[2], 39.0f, 11.0f, 0.0f, 0.0f);
  expect_corner(q.corner[3], 39.0f, 9.0f, 0.0f, 0.0f);
}

TEST(DrawingRules, ThePixelFormatIsAskedInTheShowsOrderAndSamplesOnlyWhenWanted) {
  g_requests.clear();
  EXPECT_EQ(SCREEN_REQUEST_PIXEL_FORMAT(32, 0), 0);
  const std::vector<std::pair<Tscreen_attribute, int>> plain = {
      {VP_GL_RED_BITS, 8}, {VP_GL_GREEN_BITS, 8}, {VP_GL_BLUE_BITS, 8}, {VP_GL_ALPHA_BITS, 8}, {VP_GL_DEPTH_BITS, 24}};
  EXPECT_EQ(g_requests, plain);

  g_requests.clear();
  EXPECT_EQ(SCREEN_REQUEST_PIXEL_FORMAT(16, 2), VP_SCREEN_MULTISAMPLE);
  const std::vector<std::pair<Tscreen_attribute, int>> sampled = {{VP_GL_RED_BITS, 4},   {VP_GL_GREEN_BITS, 4},
                                                                  {VP_GL_BLUE_BITS, 4},  {VP_GL_ALPHA_BITS, 4},
                                                                  {VP_GL_DEPTH_BITS, 24}, {VP_GL_SAMPLES, 2}};
  EXPECT_EQ(g_requests, sampled);
}

TEST(DrawingRules, TheReadBackIsTurnedUprightAndLosesItsAlpha) {
  // 2 x 3 pixels, bottom row first: each pixel's bytes are (row, column, 7, 99).
  std::vector<std::uint8_t> rgba;
  for (int row = 0; row < 3; ++row)
    for (int column = 0; column < 2; ++column)
      rgba.insert(rgba.end(), {static_cast<std::uint8_t>(row), static_cast<std::uint8_t>(column), 7, 99});
  const Tpicture picture = PICTURE_FROM_BOTTOM_UP_RGBA(rgba.data(), 2, 3);
  ASSERT_EQ(picture.width, 2);
  ASSERT_EQ(picture.height, 3);
  ASSERT_EQ(picture.rgb.size(), 2u * 3u * 3u);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 2; ++x) {
      const std::uint8_t* p = picture.at(x, y);
      EXPECT_EQ(p[0], 2 - y) << x << "," << y;  // the top row is the last one read
      EXPECT_EQ(p[1], x);
      EXPECT_EQ(p[2], 7);
    }
}

}  // namespace
