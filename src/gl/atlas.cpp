// atlas.cpp - the atlas upload and the two sprite display lists.
#include "gl/atlas.h"

#include <GL/gl.h>      // texture upload and display lists
#include <GL/glu.h>     // gluBuild2DMipmaps

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

Tatlas ATLAS_UPLOAD(const Tatlas_pixels& pixels) {
  Tatlas atlas;
  glGenTextures(1, &atlas.texture);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, atlas.texture);
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
