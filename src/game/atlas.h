// atlas.h - the sprite atlas "parts.png" and the two sprites cut from it.
//
// Rules:
//  - The left half of the atlas is the bullet sprite, the right half the
//    emitter sprite, whatever the image's pixel size.
//  - The staging copy is R, G, B, A per pixel with the bottom row of the
//    picture first (the decoder's order), so in the y-down 2D view each
//    sprite shows its half upside down.
//  - A sprite is drawn at its top-left corner: bullets cover 16 x 16 pixels,
//    emitters 32 x 32.
//  - Drawing expects the 2D view, GL_TEXTURE_2D on with the atlas bound and
//    additive blending (GL_SRC_ALPHA, GL_ONE) on.
#pragma once

#include <cstddef>  // size_t
#include <cstdint>  // staging bytes
#include <vector>   // the staging copy

struct Tatlas {
  unsigned texture = 0;
  unsigned bullet_quad = 0;
  unsigned emitter_quad = 0;
};

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

// Loads the atlas with the context current. A missing or undecodable file is
// reported in one line on stderr; the sprites are then untextured, white.
Tatlas LOAD_ATLAS(const char* file = "parts.png");

void DRAW_BULLET_SPRITE(const Tatlas& atlas, float x, float y);
void DRAW_EMITTER_SPRITE(const Tatlas& atlas, float x, float y);
