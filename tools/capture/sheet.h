// sheet.h - a contact sheet: captured frames tiled at half size into one
// picture, each labelled with its frame number.
//
// Rules:
//  - Tiles go in reading order, at most six to a row, on a dark grey ground.
//  - Halving averages 2 x 2 boxes, so no bullet is aliased away entirely.
//  - Labels sit on a black box, so they read over bright bullets too.
#pragma once

#include <cstddef>  // size_t

#include "render/picture.h"  // the frames and the sheet

class Tsheet {
 public:
  // A sheet with room for `count` frames of `width` x `height` pixels.
  Tsheet(std::size_t count, int width, int height);

  void ADD(const Tpicture& frame, long number);
  const Tpicture& IMAGE() const { return image_; }

 private:
  static constexpr int k_gap = 4;
  int columns_ = 1;
  int placed_ = 0;
  Tpicture image_;
};
