// atlas_image_test.cpp - decoding "parts.png": the staging order, and files
// that are missing, empty, cut short, not a PNG, lying about their size, or
// simply very large. Every bad one ends in an empty decode; a large good one
// decodes whole.
#include <FreeImage.h>    // the large PNG
#include <gtest/gtest.h>  // the runner

#include <cstdint>  // bytes
#include <cstdio>   // files
#include <string>   // paths
#include <vector>   // byte buffers

#include "show/atlas_image.h"   // under test
#include "support/png_files.h"  // the pictures

namespace {

// Decodes from memory and from a file; both must agree on failure.
void expect_refused(const std::string& name, const Tbytes& bytes) {
  Tatlas_pixels pixels;
  pixels.width = 5;  // a failed decode must not leave stale values behind
  pixels.staging.assign(7, 1);
  EXPECT_FALSE(ATLAS_DECODE_MEMORY(bytes.data(), bytes.size(), pixels)) << name;
  EXPECT_EQ(pixels.width, 0) << name;
  EXPECT_EQ(pixels.height, 0) << name;
  EXPECT_TRUE(pixels.staging.empty()) << name;
  Tatlas_pixels from_file;
  EXPECT_FALSE(ATLAS_DECODE_FILE(write_bytes(name, bytes).c_str(), from_file)) << name;
  EXPECT_TRUE(from_file.staging.empty()) << name;
}

}  // namespace

TEST(HardeningAtlas, TheHandMadePngIsGood) {
  // The builder itself must be right, or the refusals below prove nothing.
  const Tbytes good = make_png(2, 2, k_rows_2x2);
  Tatlas_pixels pixels;
  ASSERT_TRUE(ATLAS_DECODE_MEMORY(good.data(), good.size(), pixels));
  ASSERT_EQ(pixels.width, 2);
  ASSERT_EQ(pixels.height, 2);
  const Tbytes staged(pixels.staging.begin(), pixels.staging.end());
  // Bottom row first: blue, white, then red, green; alpha 255.
  EXPECT_EQ(staged, (Tbytes{0, 0, 255, 255, 255, 255, 255, 255, 255, 0, 0, 255, 0, 255, 0, 255}));
}

TEST(HardeningAtlas, MissingEmptyAndCutShortFilesDecodeToNothing) {
  Tatlas_pixels pixels;
  EXPECT_FALSE(ATLAS_DECODE_FILE((testing::TempDir() + "vorpane_hardening_absent.png").c_str(), pixels));
  EXPECT_FALSE(ATLAS_DECODE_MEMORY(nullptr, 10, pixels));
  const Tbytes good = make_png(2, 2, k_rows_2x2);
  expect_refused("empty.png", {});
  expect_refused("signature_only.png", prefix(good, 8));
  expect_refused("header_only.png", prefix(good, 33));
  expect_refused("cut_in_data.png", prefix(good, 50));
  expect_refused("cut_before_end.png", prefix(good, good.size() - 12));
  expect_refused("last_byte_missing.png", prefix(good, good.size() - 1));
  expect_refused("too_little_data.png", make_png(2, 2, prefix(k_rows_2x2, 4)));
}

TEST(HardeningAtlas, OtherFormatsAndNoiseAreNotTakenForAPng) {
  const std::string text = "this is not a picture\n";
  expect_refused("text.png", Tbytes(text.begin(), text.end()));
  Tbytes noise(4096);
  std::uint32_t x = 12345;
  for (std::uint8_t& byte : noise) {
    x = x * 1103515245u + 12345u;
    byte = static_cast<std::uint8_t>(x >> 24);
  }
  expect_refused("noise.png", noise);
  // A real BMP named parts.png: the decoder is asked for a PNG only.
  expect_refused("bitmap.png", encoded(4, 4, 32, FIF_BMP));
}

TEST(HardeningAtlas, HeadersClaimingImpossibleSizesAreRefused) {
  // Zero, past the format's 2^31 - 1, past the decoder's million-pixel side,
  // and a million by a million (3 TB at 24 bits) that no allocation can
  // hold: each with a few bytes of data.
  const Tbytes rows = {0, 1, 2, 3};
  expect_refused("zero_width.png", make_png(0, 5, rows));
  expect_refused("zero_height.png", make_png(5, 0, rows));
  expect_refused("width_2_31.png", make_png(0x80000000u, 1, rows));
  expect_refused("width_million_and_one.png", make_png(1000001, 1, rows));
  expect_refused("million_by_million.png", make_png(1000000, 1000000, rows));
}

TEST(HardeningAtlas, HeadersPastTheAtlasLimitsAreRefusedBeforeAnyPixelIsAllocated) {
  // 30000 x 30000 would be 3.6 GB of decoder memory for a 60-byte file; the
  // header alone says no. Just inside the limits, the short data still fails
  // to decode, but only after the header was accepted.
  const Tbytes rows = {0, 1, 2, 3};
  expect_refused("claims_30000_square.png", make_png(30000, 30000, rows));
  expect_refused("side_past_limit.png", make_png(VP_ATLAS_MAX_SIDE + 1, 1, rows));
  expect_refused("too_many_pixels.png", make_png(16384, 8193, rows));

  // A real, decodable picture one row and column past 8192 x 8192: small as
  // a one-bit PNG, but 268 MB once converted, and refused by its header.
  Tbytes decodable = encoded(8193, 8193, 1, FIF_PNG);
  ASSERT_FALSE(decodable.empty());
  expect_refused("decodable_8193_square.png", decodable);
}

TEST(HardeningAtlas, A8192By8192AtlasDecodesWhole) {
  // 256 MiB of staging: large, but a real image of that size is taken whole.
  const unsigned side = 8192;
  FIBITMAP* image = FreeImage_Allocate(side, side, 32);
  ASSERT_NE(image, nullptr);
  BYTE* top = FreeImage_GetScanLine(image, side - 1);
  top[4 * (side - 1) + FI_RGBA_RED] = 200;  // top-right pixel of the picture
  top[4 * (side - 1) + FI_RGBA_ALPHA] = 255;
  FIMEMORY* memory = FreeImage_OpenMemory();
  ASSERT_TRUE(FreeImage_SaveToMemory(FIF_PNG, image, memory, PNG_Z_BEST_SPEED));
  FreeImage_Unload(image);
  BYTE* data = nullptr;
  DWORD size = 0;
  FreeImage_AcquireMemory(memory, &data, &size);
  Tatlas_pixels pixels;
  const bool ok = ATLAS_DECODE_MEMORY(data, size, pixels);
  FreeImage_CloseMemory(memory);
  ASSERT_TRUE(ok);
  ASSERT_EQ(pixels.width, 8192);
  ASSERT_EQ(pixels.height, 8192);
  ASSERT_EQ(pixels.staging.size(), std::size_t{8192} * 8192 * 4);
  const std::uint8_t* last = &pixels.staging[pixels.staging.size() - 4];
  EXPECT_EQ(last[0], 200);
  EXPECT_EQ(last[3], 255);
  EXPECT_EQ(pixels.staging[0], 0);
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
