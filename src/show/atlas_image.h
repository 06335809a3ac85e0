// atlas_image.h - the sprite atlas decoded from its PNG file, ready for
// upload: the decoder's half of the seam beside draw.h, implemented by
// src/image with FreeImage on the desktop and by src/webgl/atlas_stb.cpp
// with stb_image in the browser.
//
// Rules:
//  - The staging copy is R, G, B, A per pixel with the bottom row of the
//    picture first (FreeImage's order; every decoder delivers it so).
//  - A picture past the size limits, or one that does not decode, gives an
//    empty (0 x 0) result, never a partial one.
//  - No GL here: the decoder is tested and fuzzed without a display.
#pragma once

#include <cstddef>  // size_t
#include <cstdint>  // staging bytes
#include <vector>   // the staging copy

// The decoded atlas, ready for upload. Empty (0 x 0) when the image is
// missing or cannot be decoded.
struct Tatlas_pixels {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> staging;
};

// The largest atlas accepted: a side no OpenGL texture exceeds, and at most
// 64 megapixels (256 MiB staged), so a lying header cannot exhaust memory.
constexpr unsigned VP_ATLAS_MAX_SIDE = 16384;
constexpr unsigned long long VP_ATLAS_MAX_PIXELS = 8192ull * 8192ull;

// Decode a PNG from a file or from memory into the staging copy. False when
// nothing could be decoded; `pixels` is then empty.
bool ATLAS_DECODE_FILE(const char* file, Tatlas_pixels& pixels);
bool ATLAS_DECODE_MEMORY(const std::uint8_t* bytes, std::size_t size, Tatlas_pixels& pixels);

