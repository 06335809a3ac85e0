// atlas_stb.cpp - show/atlas_image.h in a browser: the atlas PNG decoded by
// stb_image, which emscripten ships prebuilt (-sSTB_IMAGE=1), where the
// desktop has FreeImage.
//
// The result is the desktop's to the byte: R, G, B, A per pixel, the
// picture's bottom row first (stb_image delivers the top row first), and the
// same size limits, read from the header before any pixel is decoded.
#include <climits>  // INT_MAX: sizes must fit the upload's int parameters
#include <cstdio>   // FILE: the file read whole
#include <cstring>  // memcpy of the rows
#include <vector>   // the file's bytes

#include "show/atlas_image.h"  // the interface implemented here

// The library's own declarations: its header lies in emscripten's tree, not
// on any include path, and these are all the decoder needs.
extern "C" {
unsigned char* stbi_load_from_memory(const unsigned char* buffer, int length, int* x, int* y, int* channels_in_file,
                                     int desired_channels);
int stbi_info_from_memory(const unsigned char* buffer, int length, int* x, int* y, int* comp);
void stbi_image_free(void* pixels);
}

namespace {

// PNG files only, as the desktop's decoder reads them: stb_image would also
// take JPEG, BMP and others.
bool is_png(const std::uint8_t* bytes, std::size_t size) {
  static const std::uint8_t k_signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  return size >= sizeof k_signature && std::memcmp(bytes, k_signature, sizeof k_signature) == 0;
}

}  // namespace

bool ATLAS_DECODE_MEMORY(const std::uint8_t* bytes, std::size_t size, Tatlas_pixels& pixels) {
  pixels = Tatlas_pixels();
  if (!bytes || size == 0 || size > static_cast<std::size_t>(INT_MAX) || !is_png(bytes, size)) return false;
  const int length = static_cast<int>(size);
  int width = 0, height = 0, channels = 0;
  if (!stbi_info_from_memory(bytes, length, &width, &height, &channels)) return false;
  const unsigned long long area = static_cast<unsigned long long>(width) * static_cast<unsigned long long>(height);
  if (width <= 0 || height <= 0 || static_cast<unsigned>(width) > VP_ATLAS_MAX_SIDE ||
      static_cast<unsigned>(height) > VP_ATLAS_MAX_SIDE || area > VP_ATLAS_MAX_PIXELS)
    return false;
  unsigned char* decoded = stbi_load_from_memory(bytes, length, &width, &height, &channels, 4);
  if (!decoded) return false;
  const std::size_t row = static_cast<std::size_t>(width) * 4;
  pixels.staging.resize(row * static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y)
    std::memcpy(&pixels.staging[row * static_cast<std::size_t>(height - 1 - y)], decoded + row * y, row);
  stbi_image_free(decoded);
  pixels.width = width;
  pixels.height = height;
  return true;
}

bool ATLAS_DECODE_FILE(const char* file, Tatlas_pixels& pixels) {
  pixels = Tatlas_pixels();
  std::FILE* in = std::fopen(file, "rb");
  if (!in) return false;
  std::vector<std::uint8_t> bytes;
  std::uint8_t block[65536];
  for (std::size_t got; (got = std::fread(block, 1, sizeof block, in)) > 0;) bytes.insert(bytes.end(), block, block + got);
  std::fclose(in);
  return ATLAS_DECODE_MEMORY(bytes.data(), bytes.size(), pixels);
}
