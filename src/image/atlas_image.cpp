// atlas_image.cpp - show/atlas_image.h on the desktop: the atlas PNG decoded
// into the staging copy by FreeImage.
#include "show/atlas_image.h"

#include <FreeImage.h>  // PNG decoding

#include <climits>  // INT_MAX: sizes must fit the upload's int parameters

namespace {


// Swaps the decoder's B and R in place (the decoder's buffer is changed, as
// the upload needs R first) and copies every byte into the staging copy.
bool stage(FIBITMAP* loaded, Tatlas_pixels& pixels) {
  pixels = Tatlas_pixels();
  if (!loaded) return false;
  FIBITMAP* converted = FreeImage_ConvertTo32Bits(loaded);
  bool ok = false;
  if (converted) {
    unsigned width = FreeImage_GetWidth(converted);
    unsigned height = FreeImage_GetHeight(converted);
    BYTE* bits = FreeImage_GetBits(converted);
    // 32-bit rows need no padding, so the pitch is width * 4; a decoder
    // that says otherwise is not trusted with a flat copy.
    if (bits && width > 0 && height > 0 && width <= INT_MAX / 4 && height <= INT_MAX &&
        FreeImage_GetPitch(converted) == width * 4) {
      std::size_t bytes = static_cast<std::size_t>(width) * height * 4;
      pixels.staging.resize(bytes);
      for (std::size_t i = 0; i < bytes; i += 4) {
        BYTE blue = bits[i];
        bits[i] = bits[i + 2];
        bits[i + 2] = blue;
        pixels.staging[i] = bits[i];
        pixels.staging[i + 1] = bits[i + 1];
        pixels.staging[i + 2] = bits[i + 2];
        pixels.staging[i + 3] = bits[i + 3];
      }
      pixels.width = static_cast<int>(width);
      pixels.height = static_cast<int>(height);
      ok = true;
    }
    FreeImage_Unload(converted);
  }
  FreeImage_Unload(loaded);
  return ok;
}

// A PNG header may claim any size; decoding a claimed 30000 x 30000 picture
// would zero gigabytes before any pixel is read. The header is read alone
// first, and pictures past the limits are refused as undecodable.
bool header_size_ok(FIBITMAP* header) {
  if (!header) return false;
  std::uint64_t width = FreeImage_GetWidth(header);
  std::uint64_t height = FreeImage_GetHeight(header);
  FreeImage_Unload(header);
  return width > 0 && height > 0 && width <= VP_ATLAS_MAX_SIDE && height <= VP_ATLAS_MAX_SIDE &&
         width * height <= VP_ATLAS_MAX_PIXELS;
}

}  // namespace

bool ATLAS_DECODE_FILE(const char* file, Tatlas_pixels& pixels) {
  pixels = Tatlas_pixels();
  if (!header_size_ok(FreeImage_Load(FIF_PNG, file, FIF_LOAD_NOPIXELS))) return false;
  return stage(FreeImage_Load(FIF_PNG, file, 0), pixels);
}

bool ATLAS_DECODE_MEMORY(const std::uint8_t* bytes, std::size_t size, Tatlas_pixels& pixels) {
  pixels = Tatlas_pixels();
  if (!bytes || size == 0 || size > 0xFFFFFFFFu) return false;
  FIMEMORY* memory = FreeImage_OpenMemory(const_cast<BYTE*>(bytes), static_cast<DWORD>(size));
  if (!memory) return false;
  bool ok = header_size_ok(FreeImage_LoadFromMemory(FIF_PNG, memory, FIF_LOAD_NOPIXELS)) &&
            FreeImage_SeekMemory(memory, 0, SEEK_SET) &&
            stage(FreeImage_LoadFromMemory(FIF_PNG, memory, 0), pixels);
  FreeImage_CloseMemory(memory);
  return ok;
}
