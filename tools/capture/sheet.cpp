// sheet.cpp - the contact sheet and its frame labels.
#include "capture/sheet.h"

#include <algorithm>  // min, max
#include <cmath>      // ceil, sqrt: a near-square grid
#include <cstdint>    // pixel bytes
#include <string>     // the label's digits

namespace {

// Digits 0-9 on a 3 x 5 grid, one row per entry, bit 2 the left column.
const std::uint8_t k_digits[10][5] = {
    {7, 5, 5, 5, 7}, {2, 6, 2, 2, 7}, {7, 1, 7, 4, 7}, {7, 1, 3, 1, 7}, {5, 5, 7, 1, 1},
    {7, 4, 7, 1, 7}, {7, 4, 7, 5, 7}, {7, 1, 2, 2, 2}, {7, 5, 7, 5, 7}, {7, 5, 7, 1, 7},
};

void fill(Tpicture& image, int x0, int y0, int w, int h, std::uint8_t grey) {
  for (int y = std::max(0, y0); y < std::min(image.height, y0 + h); ++y)
    for (int x = std::max(0, x0); x < std::min(image.width, x0 + w); ++x) {
      std::uint8_t* p = image.at(x, y);
      p[0] = p[1] = p[2] = grey;
    }
}

// The number at (x0, y0), each font cell `scale` pixels square, on a black
// box so that it reads over bright bullets too.
void draw_number(Tpicture& image, int x0, int y0, long number, int scale) {
  const std::string text = std::to_string(number);
  const int advance = 4 * scale;
  const int pad = scale;
  fill(image, x0, y0, static_cast<int>(text.size()) * advance - scale + 2 * pad, 5 * scale + 2 * pad, 0);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const std::uint8_t* glyph = k_digits[text[i] - '0'];
    for (int row = 0; row < 5; ++row)
      for (int column = 0; column < 3; ++column)
        if (glyph[row] & (4 >> column))
          fill(image, x0 + pad + static_cast<int>(i) * advance + column * scale, y0 + pad + row * scale, scale,
               scale, 235);
  }
}

// A 2 x 2 box average: half the size, nothing aliased away entirely.
Tpicture half_size(const Tpicture& image) {
  Tpicture half(image.width / 2, image.height / 2, 0);
  for (int y = 0; y < half.height; ++y)
    for (int x = 0; x < half.width; ++x)
      for (int c = 0; c < 3; ++c) {
        int sum = image.at(2 * x, 2 * y)[c] + image.at(2 * x + 1, 2 * y)[c] + image.at(2 * x, 2 * y + 1)[c] +
                  image.at(2 * x + 1, 2 * y + 1)[c];
        half.at(x, y)[c] = static_cast<std::uint8_t>((sum + 2) / 4);
      }
  return half;
}

}  // namespace

Tsheet::Tsheet(std::size_t count, int width, int height) {
  columns_ = std::max(1, std::min(6, static_cast<int>(std::ceil(std::sqrt(static_cast<double>(count))))));
  int rows = static_cast<int>((count + columns_ - 1) / columns_);
  image_ = Tpicture(k_gap + columns_ * (width / 2 + k_gap), k_gap + rows * (height / 2 + k_gap), 48);
}

void Tsheet::ADD(const Tpicture& frame, long number) {
  Tpicture tile = half_size(frame);
  int x0 = k_gap + (placed_ % columns_) * (tile.width + k_gap);
  int y0 = k_gap + (placed_ / columns_) * (tile.height + k_gap);
  for (int y = 0; y < tile.height; ++y)
    for (int x = 0; x < tile.width; ++x) {
      const std::uint8_t* in = tile.at(x, y);
      std::uint8_t* out = image_.at(x0 + x, y0 + y);
      out[0] = in[0];
      out[1] = in[1];
      out[2] = in[2];
    }
  draw_number(image_, x0 + 3, y0 + 3, number, 2);
  ++placed_;
}
