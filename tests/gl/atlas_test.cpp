// The sprite atlas: decoding order, upload, sprite coverage and orientation.
#include <FreeImage.h>
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "game/atlas.h"
#include "gl_window.h"

namespace {

struct Trgba {
  BYTE r, g, b, a;
};

// Writes a PNG whose picture rows are given top first, as a person sees them.
std::string write_png(const char* name, int width, int height, Trgba (*texel)(int x, int y_from_top, int w, int h)) {
  FIBITMAP* image = FreeImage_Allocate(width, height, 32);
  for (int y = 0; y < height; ++y) {
    BYTE* row = FreeImage_GetScanLine(image, height - 1 - y);  // scan line 0 is the bottom row
    for (int x = 0; x < width; ++x) {
      Trgba t = texel(x, y, width, height);
      row[4 * x + FI_RGBA_RED] = t.r;
      row[4 * x + FI_RGBA_GREEN] = t.g;
      row[4 * x + FI_RGBA_BLUE] = t.b;
      row[4 * x + FI_RGBA_ALPHA] = t.a;
    }
  }
  std::string path = testing::TempDir() + name;
  EXPECT_TRUE(FreeImage_Save(FIF_PNG, image, path.c_str(), 0));
  FreeImage_Unload(image);
  return path;
}

// Left half: red on top, blue below. Right half: green on top, white below.
Trgba halves(int x, int y, int w, int h) {
  bool top = y < h / 2;
  if (x < w / 2) return top ? Trgba{255, 0, 0, 255} : Trgba{0, 0, 255, 255};
  return top ? Trgba{0, 255, 0, 255} : Trgba{255, 255, 255, 255};
}

Trgba opaque_white(int, int, int, int) { return {255, 255, 255, 255}; }

// The frame loop's state around sprite drawing.
void begin_sprites(Tscreen& screen, const Tatlas& atlas) {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  screen.VIEW_ORTHO();
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE);
  glBindTexture(GL_TEXTURE_2D, atlas.texture);
}

void end_sprites(Tscreen& screen) {
  screen.VIEW_PERSPECTIVE();
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_BLEND);
}

bool lit(const std::vector<std::uint8_t>& frame, int x, int y) {
  const std::uint8_t* p = PIXEL_AT(frame, x, y);
  return p[0] + p[1] + p[2] > 0;
}

// Every lit pixel lies in [x0, x1) x [y0, y1) and every pixel there is lit.
void expect_covers(const std::vector<std::uint8_t>& frame, int x0, int y0, int x1, int y1) {
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
  Tatlas atlas = LOAD_ATLAS(write_png("vorpane_white.png", 64, 32, opaque_white).c_str());
  begin_sprites(screen, atlas);
  DRAW_BULLET_SPRITE(atlas, 100.0f, 200.0f);
  end_sprites(screen);
  expect_covers(READ_FRAME_RGBA(), 100, 200, 116, 216);

  begin_sprites(screen, atlas);
  DRAW_EMITTER_SPRITE(atlas, 100.0f, 200.0f);
  end_sprites(screen);
  expect_covers(READ_FRAME_RGBA(), 100, 200, 132, 232);
}

TEST(AtlasSprites, EachHalfIsShownUpsideDown) {
  Tscreen& screen = TEST_SCREEN();
  Tatlas atlas = LOAD_ATLAS(write_png("vorpane_halves.png", 64, 32, halves).c_str());
  begin_sprites(screen, atlas);
  DRAW_BULLET_SPRITE(atlas, 100.0f, 100.0f);
  DRAW_EMITTER_SPRITE(atlas, 300.0f, 100.0f);
  end_sprites(screen);
  std::vector<std::uint8_t> frame = READ_FRAME_RGBA();
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

TEST(AtlasDecode, StagingIsRgbaWithTheBottomRowFirst) {
  Tatlas_pixels pixels;
  ASSERT_TRUE(ATLAS_DECODE_FILE(write_png("vorpane_decode.png", 64, 32, halves).c_str(), pixels));
  ASSERT_EQ(pixels.width, 64);
  ASSERT_EQ(pixels.height, 32);
  ASSERT_EQ(pixels.staging.size(), 64u * 32u * 4u);
  // First staged pixel: bottom-left of the picture, blue.
  EXPECT_EQ(pixels.staging[0], 0);
  EXPECT_EQ(pixels.staging[2], 255);
  EXPECT_EQ(pixels.staging[3], 255);
  // Last staged pixel: top-right of the picture, green.
  const std::uint8_t* last = &pixels.staging[pixels.staging.size() - 4];
  EXPECT_EQ(last[0], 0);
  EXPECT_EQ(last[1], 255);
  EXPECT_EQ(last[2], 0);
}

TEST(AtlasLoad, SidesThatAreNotPowersOfTwoStillLoad) {
  Tscreen& screen = TEST_SCREEN();
  Tatlas atlas = LOAD_ATLAS(write_png("vorpane_odd.png", 50, 20, halves).c_str());
  GLint width = 0;
  glBindTexture(GL_TEXTURE_2D, atlas.texture);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
  EXPECT_GT(width, 0);
  begin_sprites(screen, atlas);
  DRAW_BULLET_SPRITE(atlas, 10.0f, 10.0f);
  end_sprites(screen);
  std::vector<std::uint8_t> frame = READ_FRAME_RGBA();
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
    Tatlas atlas = LOAD_ATLAS(file.c_str());
    std::string warning = testing::internal::GetCapturedStderr();
    EXPECT_NE(warning.find(file), std::string::npos) << warning;
    EXPECT_NE(warning.find("white"), std::string::npos) << warning;
    EXPECT_EQ(std::count(warning.begin(), warning.end(), '\n'), 1) << warning;
    begin_sprites(screen, atlas);
    DRAW_BULLET_SPRITE(atlas, 100.0f, 200.0f);
    end_sprites(screen);
    std::vector<std::uint8_t> frame = READ_FRAME_RGBA();
    const std::uint8_t* p = PIXEL_AT(frame, 107, 207);
    EXPECT_EQ(p[0], 255);
    EXPECT_EQ(p[1], 255);
    EXPECT_EQ(p[2], 255);
    expect_covers(frame, 100, 200, 116, 216);
  }
}

}  // namespace
