// sheet.cpp - the contact sheet and its frame labels.
#include "capture/sheet.h"

#include <algorithm>  // min, max
#include <cmath>      // ceil, sqrt: a near-square grid
#include <cstdint>    // pixel bytes
#include <string>     // the label's digits

#include "render/font.h"  // the label font

namespace {

void fill(Tpicture& image, int x0, int y0, int w, int h, std::uint8_t grey) {
  for (int y = std::max(0, y0); y < std::min(image.height, y0 + h); ++y)
    for (int x = std::max(0, x0); x < std::min(image.width, x0 + w); ++x) {
      std::uint8_t* p = image.at(x, y);
      p[0] = p[1] = p[2] = grey;
    }
}

// The number at (x0, y0) in the sheet's 3 x 5 digits, each font cell
// `scale` pixels square, on a black box so that it reads over bright bullets
// too.
void draw_number(Tpicture& image, int x0, int y0, long number, int scale) {
  const std::string text = std::to_string(number);
  const int pad = scale;
  fill(image, x0, y0, FONT_TEXT_WIDTH(text.c_str(), scale, VP_FONT_DIGITS_3X5) + 2 * pad,
       FONT_METRICS(VP_FONT_DIGITS_3X5).height * scale + 2 * pad, 0);
  DRAW_TEXT(image, x0 + pad, y0 + pad, text.c_str(), scale, 235, VP_FONT_DIGITS_3X5);
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
