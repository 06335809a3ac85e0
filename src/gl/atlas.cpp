// atlas.cpp - the atlas upload and the two sprite display lists.
#include "gl/atlas.h"

#include <GL/gl.h>      // texture upload and display lists
#include <GL/glu.h>     // gluBuild2DMipmaps
#include <unistd.h>     // getcwd, for the warning that names the folder

#include <climits>  // PATH_MAX
#include <cstdio>   // the warning line

namespace {

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

}  // namespace

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
