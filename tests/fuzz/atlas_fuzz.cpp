// atlas_fuzz.cpp - libFuzzer target: PNG bytes to the atlas's staging copy.
//
// ATLAS_DECODE_MEMORY either fails with an empty result or delivers
// width x height x 4 staged bytes; the decoder's own buffer is swapped in
// place on the way. Anything the sanitizers see, or a result whose size does
// not match its dimensions, is a fault.
#include <cstddef>  // size_t
#include <cstdint>  // uint8_t
#include <cstdlib>  // abort

#include "show/atlas_image.h"  // under test

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Tatlas_pixels pixels;
  const bool ok = ATLAS_DECODE_MEMORY(data, size, pixels);
  if (!ok) {
    if (pixels.width != 0 || pixels.height != 0 || !pixels.staging.empty()) std::abort();
    return 0;
  }
  if (pixels.width <= 0 || pixels.height <= 0) std::abort();
  const std::size_t expected = static_cast<std::size_t>(pixels.width) * pixels.height * 4;
  if (pixels.staging.size() != expected) std::abort();
  // Read the last staged pixel: the copy must reach the end of the buffer.
  volatile std::uint8_t last = pixels.staging[expected - 1];
  (void)last;
  return 0;
}
