// blur.h - box filters over 32-bit RGBA pixel buffers (the bloom's blur).
//
// Rules:
//  - A pixel is one word holding R, G, B, A in memory order: on this
//    little-endian machine bits 0-7 red, 8-15 green, 16-23 blue, 24-31
//    alpha. The three low bytes are averaged alike; alpha is copied from the
//    source pixel untouched.
//  - Rows are stored one after another (bottom row first as GL reads them);
//    the buffer holds width * height words.
//  - Sums and divisions are unsigned with truncation: n = 2 * radius + 1.
//  - A null buffer is fatal (null-pointer report, module "Tscreen"); a
//    negative radius writes nothing. Limits otherwise the caller's: width,
//    height >= 1.
//  - No GL here, so the filters are tested without a display.
#pragma once

#include <cstdint>  // pixel words and the filters' unsigned sizes

// Horizontal box filter over every pixel; neighbours run linearly through
// the buffer, so at a row's ends they come from the adjacent rows.
void BLUR_H(const std::uint32_t* source, std::uint32_t* destination, std::uint32_t width,
            std::uint32_t height, std::int32_t radius);

// Vertical box filter over the rows whose whole window lies in the buffer;
// the first and last `radius` rows of the destination are not written.
void BLUR_V(const std::uint32_t* source, std::uint32_t* destination, std::uint32_t width,
            std::uint32_t height, std::int32_t radius);
