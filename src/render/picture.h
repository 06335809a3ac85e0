// picture.h - a frame as a person sees it.
//
// Rules:
//  - Rows run top first, three bytes R, G, B per pixel, no padding. (OpenGL
//    and the PNG decoder both keep the bottom row first; the conversions
//    happen here and nowhere else.)
//  - Alpha is dropped: the screen does not show it.
//  - No GL and no image codec here: pictures are read back by the drawing
//    backend, written to PNG files by image/png.h, and compared by tests that
//    link neither.
#pragma once

#include <cstddef>  // size_t
#include <cstdint>  // pixel bytes
#include <vector>   // the pixels

struct Tpicture {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;

  Tpicture() = default;
  Tpicture(int w, int h, std::uint8_t grey)
      : width(w), height(h), rgb(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 3, grey) {}
  std::uint8_t* at(int x, int y) { return &rgb[(static_cast<std::size_t>(y) * width + x) * 3]; }
  const std::uint8_t* at(int x, int y) const { return &rgb[(static_cast<std::size_t>(y) * width + x) * 3]; }
};

// The picture of a frame read back as every drawing backend reads it:
// `rgba` holds width x height pixels of R, G, B, A bytes, bottom row first,
// no padding (a GL read-back with a pack alignment of 1).
inline Tpicture PICTURE_FROM_BOTTOM_UP_RGBA(const std::uint8_t* rgba, int width, int height) {
  Tpicture picture(width, height, 0);
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* row = rgba + static_cast<std::size_t>(height - 1 - y) * width * 4;
    for (int x = 0; x < width; ++x) {
      std::uint8_t* out = picture.at(x, y);
      out[0] = row[x * 4 + 0];
      out[1] = row[x * 4 + 1];
      out[2] = row[x * 4 + 2];
    }
  }
  return picture;
}
