// atlas_test.cpp - the sprite atlas in GL: upload, sprite coverage and
// orientation, and bad files ending in white squares.
#include <GL/gl.h>        // the uploaded texture's size
#include <gtest/gtest.h>  // the runner

#include <algorithm>  // count
#include <cstdio>     // the broken file
#include <string>     // paths

#include "gl/atlas.h"         // under test
#include "gl/sprite_pass.h"   // the show's sprite pass
#include "show/show.h"        // the show's atlas reading and its warning
#include "support/gl_window.h"  // the test screen and its read-back
#include "support/png_files.h"  // the pictures

namespace {

Trgba opaque_white(int, int, int, int) { return {255, 255, 255, 255}; }

bool lit(const Tpicture& frame, int x, int y) {
  const std::uint8_t* p = PIXEL_AT(frame, x, y);
  return p[0] + p[1] + p[2] > 0;
}

// Every lit pixel lies in [x0, x1) x [y0, y1) and every pixel there is lit.
void expect_covers(const Tpicture& frame, int x0, int y0, int x1, int y1) {
  int wrong = 0;
  for (int y = 0; y < VP_TEST_HEIGHT; ++y)
    for (int x = 0; x < VP_TEST_WIDTH; ++x) {
      bool inside = x >= x0 && x < x1 && y >= y0 && y < y1;
      if (lit(frame, x, y) != inside && ++wrong < 5) ADD_FAILURE() << "pixel " << x << "," << y << " inside=" << inside;
    }
  EXPECT_EQ(wrong, 0);
}

TEST(AtlasSprites, BulletAndEmitterCoverTheirSquaresFromTheTopLeftCorner) {
  Tscreen& screen = TEST_SCREEN();
  Tatlas atlas = LOAD_TEST_ATLAS(write_png("vorpane_white.png", 64, 32, opaque_white).c_str());
  SPRITE_PASS_BEGIN(screen, atlas);
  DRAW_BULLET_SPRITE(atlas, 100.0f, 200.0f);
  SPRITE_PASS_END(screen);
  expect_covers(READ_FRAME(), 100, 200, 116, 216);

  SPRITE_PASS_BEGIN(screen, atlas);
  DRAW_EMITTER_SPRITE(atlas, 100.0f, 200.0f);
  SPRITE_PASS_END(screen);
  expect_covers(READ_FRAME(), 100, 200, 132, 232);
}

TEST(AtlasSprites, EachHalfIsShownUpsideDown) {
  Tscreen& screen = TEST_SCREEN();
  Tatlas atlas = LOAD_TEST_ATLAS(write_png("vorpane_halves.png", 64, 32, halves).c_str());
  SPRITE_PASS_BEGIN(screen, atlas);
  DRAW_BULLET_SPRITE(atlas, 100.0f, 100.0f);
  DRAW_EMITTER_SPRITE(atlas, 300.0f, 100.0f);
  SPRITE_PASS_END(screen);
  Tpicture frame = READ_FRAME();
  // Bullet: the picture's bottom (blue) at the sprite's top, red at its bottom.
  const std::uint8_t* top = PIXEL_AT(frame, 108, 102);
  const std::uint8_t* bottom = PIXEL_AT(frame, 108, 113);
  EXPECT_GT(top[2], 200);
  EXPECT_LT(top[0], 50);
  EXPECT_GT(bottom[0], 200);
  EXPECT_LT(bottom[2], 50);
  // Emitter: white at its top, green at its bottom.
  top = PIXEL_AT(frame, 316, 104);
  bottom = PIXEL_AT(frame, 316, 126);
  EXPECT_GT(top[0], 200);
  EXPECT_GT(top[2], 200);
  EXPECT_GT(bottom[1], 200);
  EXPECT_LT(bottom[0], 50);
}

TEST(AtlasLoad, SidesThatAreNotPowersOfTwoStillLoad) {
  Tscreen& screen = TEST_SCREEN();
  Tatlas atlas = LOAD_TEST_ATLAS(write_png("vorpane_odd.png", 50, 20, halves).c_str());
  GLint width = 0;
  glBindTexture(GL_TEXTURE_2D, atlas.texture);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
  EXPECT_GT(width, 0);
  SPRITE_PASS_BEGIN(screen, atlas);
  DRAW_BULLET_SPRITE(atlas, 10.0f, 10.0f);
  SPRITE_PASS_END(screen);
  Tpicture frame = READ_FRAME();
  const std::uint8_t* p = PIXEL_AT(frame, 18, 12);
  EXPECT_GT(p[2], 150);  // textured: blue, not white
  EXPECT_LT(p[1], 100);
}

TEST(AtlasLoad, MissingOrBrokenAtlasWarnsOnceAndDrawsWhiteQuads) {
  Tscreen& screen = TEST_SCREEN();
  std::string broken = testing::TempDir() + "vorpane_broken.png";
  std::FILE* f = std::fopen(broken.c_str(), "wb");
  std::fputs("this is not a picture", f);
  std::fclose(f);
  for (const std::string& file : {testing::TempDir() + "vorpane_missing.png", broken}) {
    testing::internal::CaptureStderr();
    Tatlas atlas = LOAD_TEST_ATLAS(file.c_str());
    std::string warning = testing::internal::GetCapturedStderr();
    EXPECT_NE(warning.find(file), std::string::npos) << warning;
    EXPECT_NE(warning.find("white"), std::string::npos) << warning;
    EXPECT_EQ(std::count(warning.begin(), warning.end(), '\n'), 1) << warning;
    SPRITE_PASS_BEGIN(screen, atlas);
    DRAW_BULLET_SPRITE(atlas, 100.0f, 200.0f);
    SPRITE_PASS_END(screen);
    Tpicture frame = READ_FRAME();
    const std::uint8_t* p = PIXEL_AT(frame, 107, 207);
    EXPECT_EQ(p[0], 255);
    EXPECT_EQ(p[1], 255);
    EXPECT_EQ(p[2], 255);
    expect_covers(frame, 100, 200, 116, 216);
  }
}

}  // namespace

TEST(AtlasLoad, BadFilesThroughTheLoadEndInTheWarningAndAnEmptyTexture) {
  TEST_SCREEN();
  const Tbytes good = make_png(2, 2, k_rows_2x2);
  for (const std::string& path :
       {write_bytes("load_empty.png", {}), write_bytes("load_cut.png", prefix(good, 50)),
        write_bytes("load_huge.png", make_png(1000000, 1000000, {0, 1, 2, 3}))}) {
    testing::internal::CaptureStderr();
    const Tatlas atlas = LOAD_TEST_ATLAS(path.c_str());
    const std::string warning = testing::internal::GetCapturedStderr();
    EXPECT_NE(warning.find(path), std::string::npos) << warning;
    EXPECT_NE(warning.find("white squares"), std::string::npos) << warning;
    GLint width = -1;
    glBindTexture(GL_TEXTURE_2D, atlas.texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    EXPECT_EQ(width, 0) << path;
    EXPECT_NE(atlas.bullet_quad, 0u);
    EXPECT_NE(atlas.emitter_quad, 0u);
  }
}

TEST(AtlasLoad, AMissingAtlasIsReportedWithEveryFolderLookedIn) {
  testing::internal::CaptureStderr();
  Tatlas_pixels pixels;
  EXPECT_FALSE(SHOW_READ_ATLAS("vorpane_nowhere.png", pixels));
  const std::string warning = testing::internal::GetCapturedStderr();
  // The working folder, then the build tree's assets, where this test runs.
  EXPECT_NE(warning.find("\"vorpane_nowhere.png\" from /"), std::string::npos) << warning;
  EXPECT_NE(warning.find(" or " VORPANE_SOURCE_DIR "/assets ("), std::string::npos) << warning;
  EXPECT_EQ(std::count(warning.begin(), warning.end(), '\n'), 1) << warning;
}
