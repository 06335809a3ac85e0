// sprite_pass.cpp - the sprite pass.
#include "gl/sprite_pass.h"

#include <GL/gl.h>  // clear, matrices, blending

void SPRITE_PASS_BEGIN(Tscreen& screen, const Tatlas& atlas) {
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glPushMatrix();
  screen.VIEW_ORTHO();
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE);
  glBindTexture(GL_TEXTURE_2D, atlas.texture);
  // The sprites add texel colour times alpha: a colour or texture mode left
  // behind by another pass (the glow's alpha, say) would tint every sprite.
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  glPushMatrix();
}

void SPRITE_PASS_END(Tscreen& screen) {
  glPopMatrix();
  screen.VIEW_PERSPECTIVE();
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_BLEND);
  glPopMatrix();
}

void SPRITE_PASS_DRAW(const Tatlas& atlas, const std::vector<Tsprite>& sprites) {
  for (const Tsprite& sprite : sprites) {
    if (sprite.kind == VP_SPRITE_BULLET) DRAW_BULLET_SPRITE(atlas, sprite.x, sprite.y);
    else DRAW_EMITTER_SPRITE(atlas, sprite.x, sprite.y);
  }
}

void SPRITE_PASS(Tscreen& screen, const Tatlas& atlas, const std::vector<Tsprite>& sprites) {
  SPRITE_PASS_BEGIN(screen, atlas);
  SPRITE_PASS_DRAW(atlas, sprites);
  SPRITE_PASS_END(screen);
}
