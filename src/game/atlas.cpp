// atlas.cpp - decoding, upload and the two sprite display lists.
#include "game/atlas.h"

#include <FreeImage.h>  // PNG decoding
#include <GL/gl.h>      // texture upload and display lists
#include <GL/glu.h>     // gluBuild2DMipmaps
#include <unistd.h>     // getcwd, for the warning that names the folder

#include <climits>  // PATH_MAX
#include <cstdio>   // the warning line

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

void record_quad(unsigned list, float s0, float s1) {
  glNewList(list, GL_COMPILE);
  glBegin(GL_QUADS);
  glTexCoord2f(s0, 1.0f);
  glVertex2i(0, 16);
  glTexCoord2f(s0, 0.0f);
  glVertex2i(0, 0);
  glTexCoord2f(s1, 0.0f);
  glVertex2i(16, 0);
  glTexCoord2f(s1, 1.0f);
  glVertex2i(16, 16);
  glEnd();
  glEndList();
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

Tatlas LOAD_ATLAS(const char* file) {
  Tatlas atlas;
  glGenTextures(1, &atlas.texture);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, atlas.texture);

  Tatlas_pixels pixels;
  if (!ATLAS_DECODE_FILE(file, pixels)) {
    char folder[PATH_MAX];
    if (!getcwd(folder, sizeof folder)) std::snprintf(folder, sizeof folder, "(unknown folder)");
    std::fprintf(stderr,
                 "Vorpane: cannot load the sprite atlas \"%s\" from %s (missing, not a PNG, or over %u pixels a side or %llu megapixels); "
                 "sprites are drawn as white squares\n",
                 file, folder, VP_ATLAS_MAX_SIDE, VP_ATLAS_MAX_PIXELS / (1024ull * 1024ull));
  }
  // With no image both uploads fail silently and the texture stays
  // incomplete, which leaves the quads untextured.
  const void* data = pixels.staging.empty() ? nullptr : pixels.staging.data();
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, pixels.width, pixels.height, 0, GL_RGBA, GL_UNSIGNED_BYTE, data);
  if (data) gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA, pixels.width, pixels.height, GL_RGBA, GL_UNSIGNED_BYTE, data);

  atlas.bullet_quad = glGenLists(1);
  atlas.emitter_quad = glGenLists(1);
  record_quad(atlas.bullet_quad, 0.0f, 0.5f);
  record_quad(atlas.emitter_quad, 0.5f, 1.0f);
  return atlas;
}

void DRAW_BULLET_SPRITE(const Tatlas& atlas, float x, float y) {
  glPushMatrix();
  glTranslatef(x, y, 0.0f);
  glCallList(atlas.bullet_quad);
  glPopMatrix();
}

void DRAW_EMITTER_SPRITE(const Tatlas& atlas, float x, float y) {
  glPushMatrix();
  glTranslatef(x, y, 0.0f);
  glScalef(2.0f, 2.0f, 1.0f);
  glCallList(atlas.emitter_quad);
  glPopMatrix();
}
