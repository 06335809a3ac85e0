// atlas.cpp - the atlas upload and the two sprite display lists.
#include "gl/atlas.h"

#include <GL/gl.h>      // texture upload and display lists
#include <GL/glu.h>     // gluBuild2DMipmaps

#include "gl/quad_gl.h"  // the sprites' quads

namespace {

// The kind's quad at the origin; drawing translates it to the sprite.
unsigned record_quad(Tsprite_kind kind) {
  const unsigned list = glGenLists(1);
  glNewList(list, GL_COMPILE);
  glBegin(GL_QUADS);
  QUAD_SEND(SPRITE_QUAD(Tsprite{0.0f, 0.0f, kind}));
  glEnd();
  glEndList();
  return list;
}

void draw_list(unsigned list, float x, float y) {
  glPushMatrix();
  glTranslatef(x, y, 0.0f);
  glCallList(list);
  glPopMatrix();
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

  atlas.bullet_quad = record_quad(VP_SPRITE_BULLET);
  atlas.emitter_quad = record_quad(VP_SPRITE_EMITTER);
  return atlas;
}

void DRAW_BULLET_SPRITE(const Tatlas& atlas, float x, float y) { draw_list(atlas.bullet_quad, x, y); }

void DRAW_EMITTER_SPRITE(const Tatlas& atlas, float x, float y) { draw_list(atlas.emitter_quad, x, y); }
