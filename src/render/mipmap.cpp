// mipmap.cpp - the mipmap chain, halved level by level.
#include "render/mipmap.h"

#include <cstddef>  // size_t offsets

namespace {

bool power_of_two(int side) { return side > 0 && (side & (side - 1)) == 0; }

std::size_t offset(int width, int x, int y) {
  return (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) * 4;
}

Tmipmap_level halve(const std::uint8_t* rgba, int width, int height) {
  Tmipmap_level level;
  level.width = width > 1 ? width / 2 : 1;
  level.height = height > 1 ? height / 2 : 1;
  level.rgba.resize(offset(level.width, 0, level.height));
  for (int y = 0; y < level.height; ++y) {
    for (int x = 0; x < level.width; ++x) {
      std::uint8_t* out = &level.rgba[offset(level.width, x, y)];
      if (width > 1 && height > 1) {
        const std::uint8_t* a = rgba + offset(width, 2 * x, 2 * y);
        const std::uint8_t* b = rgba + offset(width, 2 * x + 1, 2 * y);
        const std::uint8_t* c = rgba + offset(width, 2 * x, 2 * y + 1);
        const std::uint8_t* d = rgba + offset(width, 2 * x + 1, 2 * y + 1);
        for (int k = 0; k < 4; ++k) out[k] = static_cast<std::uint8_t>((a[k] + b[k] + c[k] + d[k] + 2) / 4);
      } else {
        // A row or a column: pairs along it, GLU's one-dimensional halving.
        const std::uint8_t* a = rgba + offset(width, width > 1 ? 2 * x : x, height > 1 ? 2 * y : y);
        const std::uint8_t* b = rgba + offset(width, width > 1 ? 2 * x + 1 : x, height > 1 ? 2 * y + 1 : y);
        for (int k = 0; k < 4; ++k) out[k] = static_cast<std::uint8_t>((a[k] + b[k]) / 2);
      }
    }
  }
  return level;
}

}  // namespace

std::vector<Tmipmap_level> MIPMAP_CHAIN(const std::uint8_t* rgba, int width, int height) {
  std::vector<Tmipmap_level> chain;
  if (!rgba || !power_of_two(width) || !power_of_two(height)) return chain;
  while (width > 1 || height > 1) {
    chain.push_back(halve(chain.empty() ? rgba : chain.back().rgba.data(), width, height));
    width = chain.back().width;
    height = chain.back().height;
  }
  return chain;
}
