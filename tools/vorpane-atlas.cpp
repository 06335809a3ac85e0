// vorpane-atlas - draws the show's sprite atlas and writes it as a PNG.
//
//   vorpane-atlas [FILE]                 (default: parts.png)
//   vorpane-atlas --icon FILE [ATLAS]    the emitter sprite cut from ATLAS
//                                        (default: parts.png) as the show
//                                        shows it, the desktop's icon
//
// The atlas is 128 x 64: a soft, glowing round bullet in the left half and a
// larger emitter (a bright core inside a ring) in the right half. Both are
// symmetric top to bottom, because the show draws each half upside down.
// Colour is premultiplied into alpha-weighted additive light: black texels
// and zero alpha add nothing.
#include <FreeImage.h>  // PNG writing

#include <algorithm>  // clamp
#include <cmath>      // exp, sqrt
#include <cstdio>     // messages
#include <cstring>    // the options

#include "vorpane_version.h"  // --version

namespace {

constexpr int k_half = 64;  // each sprite is 64 x 64 pixels

struct Tlight {
  float r, g, b, a;
};

// Glowing ball: a white-hot core that cools to magenta towards its rim.
Tlight bullet_texel(float d) {
  float core = std::exp(-d * d * 10.0f);
  float glow = std::exp(-d * d * 3.0f);
  float edge = std::clamp((1.0f - d) * 6.0f, 0.0f, 1.0f);  // nothing outside the disc
  return {(0.55f * glow + core) * edge, (0.15f * glow + 0.9f * core) * edge,
          (0.65f * glow + core) * edge, std::min(1.0f, glow * 1.2f) * edge};
}

// Emitter: a cyan ring around a small bright core.
Tlight emitter_texel(float d) {
  float ring = std::exp(-(d - 0.72f) * (d - 0.72f) * 220.0f);
  float core = std::exp(-d * d * 30.0f);
  float haze = std::exp(-d * d * 3.0f) * 0.25f;
  float edge = std::clamp((1.0f - d) * 8.0f, 0.0f, 1.0f);
  return {(0.2f * ring + core + 0.1f * haze) * edge, (0.9f * ring + core + 0.6f * haze) * edge,
          (1.0f * ring + core + haze) * edge, std::min(1.0f, ring + core + haze) * edge};
}

BYTE to_byte(float v) { return static_cast<BYTE>(std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.5f); }

const char k_usage[] = "usage: vorpane-atlas [FILE | --icon FILE [ATLAS] | --help | --version]";

// The right half of the atlas turned upside down, as the show draws it, so
// the icon follows whatever atlas is shipped; alpha is kept.
int write_icon(const char* atlas, const char* file) {
  FIBITMAP* loaded = FreeImage_Load(FIF_PNG, atlas, 0);
  FIBITMAP* image = loaded ? FreeImage_ConvertTo32Bits(loaded) : nullptr;
  const int width = image ? static_cast<int>(FreeImage_GetWidth(image)) : 0;
  const int height = image ? static_cast<int>(FreeImage_GetHeight(image)) : 0;
  FIBITMAP* emitter = width >= 2 ? FreeImage_Copy(image, width / 2, 0, width, height) : nullptr;
  const bool ok = emitter && FreeImage_FlipVertical(emitter) && FreeImage_Save(FIF_PNG, emitter, file, 0);
  for (FIBITMAP* bitmap : {emitter, image, loaded})
    if (bitmap) FreeImage_Unload(bitmap);
  if (!ok) std::fprintf(stderr, "vorpane-atlas: cannot make the icon %s from the atlas %s\n", file, atlas);
  return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const char* file = argc > 1 ? argv[1] : "parts.png";
  if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
    std::printf("%s\n\nDraws the show's sprite atlas, the bullet in the left half and the emitter in the\n"
                "right, into FILE (default parts.png). With --icon, cuts the emitter from ATLAS\n"
                "(default parts.png), upside down as the show draws it, into FILE: the show's\n"
                "desktop icon.\n",
                k_usage);
    return 0;
  }
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("vorpane-atlas %s\n", VP_VERSION);
    return 0;
  }
  if ((argc == 3 || argc == 4) && std::strcmp(argv[1], "--icon") == 0)
    return write_icon(argc == 4 ? argv[3] : "parts.png", argv[2]);
  if (argc > 2 || (argc == 2 && argv[1][0] == '-')) {
    std::fprintf(stderr, "%s\n", k_usage);
    return 2;
  }
  FIBITMAP* image = FreeImage_Allocate(2 * k_half, k_half, 32);
  if (!image) {
    std::fprintf(stderr, "vorpane-atlas: out of memory\n");
    return 1;
  }
  for (int y = 0; y < k_half; ++y) {
    BYTE* row = FreeImage_GetScanLine(image, y);
    for (int x = 0; x < 2 * k_half; ++x) {
      float cx = static_cast<float>(x % k_half) + 0.5f - k_half / 2.0f;
      float cy = static_cast<float>(y) + 0.5f - k_half / 2.0f;
      float d = std::sqrt(cx * cx + cy * cy) / (k_half / 2.0f);
      Tlight t = x < k_half ? bullet_texel(d) : emitter_texel(d);
      BYTE* p = row + 4 * x;
      p[FI_RGBA_RED] = to_byte(t.r);
      p[FI_RGBA_GREEN] = to_byte(t.g);
      p[FI_RGBA_BLUE] = to_byte(t.b);
      p[FI_RGBA_ALPHA] = to_byte(t.a);
    }
  }
  bool ok = FreeImage_Save(FIF_PNG, image, file, 0);
  FreeImage_Unload(image);
  if (!ok) {
    std::fprintf(stderr, "vorpane-atlas: cannot write %s\n", file);
    return 1;
  }
  return 0;
}
