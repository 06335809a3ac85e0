// mipmap.h - the mipmap chain of an RGBA picture, built on the processor the
// way GLU's gluBuild2DMipmaps builds it, for renderers that have no GLU.
//
// Rules:
//  - Pixels are 4 bytes, R, G, B, A, rows packed without gaps, in either
//    row order: every level keeps the order of the picture.
//  - Each level halves both sides (a side of 1 stays 1) and averages each
//    2 x 2 block, or each pair where one side is 1, rounding as GLU does, so
//    a renderer sampling these levels shows what the desktop shows.
//  - Only pictures whose sides are powers of two have a chain here; GLU
//    first rescales any other picture, which this does not copy.
#pragma once

#include <cstdint>  // pixel bytes
#include <vector>   // the levels

struct Tmipmap_level {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgba;
};

// Levels 1 to the last (1 x 1) of `rgba`, level 0 being the picture itself.
// Empty when a side is not a power of two or not positive.
std::vector<Tmipmap_level> MIPMAP_CHAIN(const std::uint8_t* rgba, int width, int height);
