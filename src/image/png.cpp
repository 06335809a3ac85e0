// png.cpp - PNG files of pictures, top row first.
#include "image/png.h"

#include <FreeImage.h>  // PNG reading and writing

// FreeImage's scan line 0 is the bottom row, so picture row y is scan line
// height - 1 - y.
bool SAVE_PNG(const Tpicture& picture, const std::string& path) {
  FIBITMAP* bitmap = FreeImage_Allocate(picture.width, picture.height, 24, FI_RGBA_RED_MASK,
                                        FI_RGBA_GREEN_MASK, FI_RGBA_BLUE_MASK);
  if (!bitmap) return false;
  for (int y = 0; y < picture.height; ++y) {
    BYTE* line = FreeImage_GetScanLine(bitmap, picture.height - 1 - y);
    for (int x = 0; x < picture.width; ++x) {
      const std::uint8_t* in = picture.at(x, y);
      line[x * 3 + FI_RGBA_RED] = in[0];
      line[x * 3 + FI_RGBA_GREEN] = in[1];
      line[x * 3 + FI_RGBA_BLUE] = in[2];
    }
  }
  bool ok = FreeImage_Save(FIF_PNG, bitmap, path.c_str(), PNG_DEFAULT) != 0;
  FreeImage_Unload(bitmap);
  return ok;
}

bool LOAD_PNG(const std::string& path, Tpicture& picture) {
  FIBITMAP* loaded = FreeImage_Load(FIF_PNG, path.c_str(), 0);
  if (!loaded) return false;
  FIBITMAP* rgb = FreeImage_ConvertTo24Bits(loaded);
  FreeImage_Unload(loaded);
  if (!rgb) return false;
  picture = Tpicture(static_cast<int>(FreeImage_GetWidth(rgb)), static_cast<int>(FreeImage_GetHeight(rgb)), 0);
  for (int y = 0; y < picture.height; ++y) {
    const BYTE* line = FreeImage_GetScanLine(rgb, picture.height - 1 - y);
    for (int x = 0; x < picture.width; ++x) {
      std::uint8_t* out = picture.at(x, y);
      out[0] = line[x * 3 + FI_RGBA_RED];
      out[1] = line[x * 3 + FI_RGBA_GREEN];
      out[2] = line[x * 3 + FI_RGBA_BLUE];
    }
  }
  FreeImage_Unload(rgb);
  return true;
}
