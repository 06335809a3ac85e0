// mipmap_test.cpp - the processor's mipmap chain against GLU's: every level
// that gluBuild2DMipmaps leaves in the texture, byte for byte.
#include <GL/gl.h>        // the texture and its levels read back
#include <GL/glu.h>       // gluBuild2DMipmaps, the oracle
#include <gtest/gtest.h>  // the runner

#include <cstdint>  // pixel bytes
#include <string>   // the atlas's path
#include <vector>   // pictures

#include "render/mipmap.h"      // under test
#include "show/atlas_image.h"   // the shipped atlas
#include "support/gl_window.h"  // a context

namespace {

// GLU's levels 1 and on, read back from a texture it built.
std::vector<Tmipmap_level> glu_chain(const std::uint8_t* rgba, int width, int height) {
  TEST_SCREEN();
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
  std::vector<Tmipmap_level> chain;
  for (int level = 1; width > 1 || height > 1; ++level) {
    width = width > 1 ? width / 2 : 1;
    height = height > 1 ? height / 2 : 1;
    Tmipmap_level read;
    read.width = width;
    read.height = height;
    read.rgba.resize(static_cast<std::size_t>(width) * height * 4);
    glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, read.rgba.data());
    chain.push_back(read);
  }
  glDeleteTextures(1, &texture);
  return chain;
}

void expect_glu_chain(const std::uint8_t* rgba, int width, int height) {
  const std::vector<Tmipmap_level> expected = glu_chain(rgba, width, height);
  const std::vector<Tmipmap_level> got = MIPMAP_CHAIN(rgba, width, height);
  ASSERT_EQ(got.size(), expected.size()) << width << " x " << height;
  for (std::size_t i = 0; i < got.size(); ++i) {
    EXPECT_EQ(got[i].width, expected[i].width);
    EXPECT_EQ(got[i].height, expected[i].height);
    EXPECT_TRUE(got[i].rgba == expected[i].rgba) << width << " x " << height << ", level " << i + 1;
  }
}

std::vector<std::uint8_t> noise(int width, int height, std::uint32_t seed) {
  std::vector<std::uint8_t> rgba(static_cast<std::size_t>(width) * height * 4);
  for (std::uint8_t& byte : rgba) {
    seed = seed * 1664525u + 1013904223u;
    byte = static_cast<std::uint8_t>(seed >> 24);
  }
  return rgba;
}

TEST(Mipmap, TheShippedAtlasLevelByLevel) {
  Tatlas_pixels atlas;
  ASSERT_TRUE(ATLAS_DECODE_FILE((std::string(VORPANE_SOURCE_DIR) + "/assets/parts.png").c_str(), atlas));
  expect_glu_chain(atlas.staging.data(), atlas.width, atlas.height);
}

// Odd sums, where the rounding shows, and pictures one pixel wide or high,
// where GLU halves along one side only.
TEST(Mipmap, NoiseInWideTallAndThinPictures) {
  const int sizes[][2] = {{16, 16}, {32, 4}, {4, 32}, {8, 1}, {1, 8}, {2, 2}};
  std::uint32_t seed = 7;
  for (const auto& size : sizes) {
    const std::vector<std::uint8_t> rgba = noise(size[0], size[1], seed++);
    expect_glu_chain(rgba.data(), size[0], size[1]);
  }
}

}  // namespace
