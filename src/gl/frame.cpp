// frame.cpp - one frame's drawing and the pacing wait.
#include "gl/frame.h"

#include <GL/gl.h>  // clear, matrices, blending
#include <sched.h>  // sched_yield inside the busy-wait

#include "platform/timer.h"  // pacing, the stepping time

namespace {

// The emitter first, then its bullets in pool order. Every slot is read by
// value, in flight or not; only those in flight are drawn.
void draw_emitter(const Temitter& emitter, const Tatlas& atlas) {
  DRAW_EMITTER_SPRITE(atlas, emitter.X(), emitter.Y());
  const Tturret& turret = emitter.turret;
  const int count = turret.MAXBULLET();
  for (int j = 0; j < count; ++j) {
    Tbullet bullet = turret.BULLET(j);
    if (bullet.ACTIVE() != 0) DRAW_BULLET_SPRITE(atlas, bullet.X(), bullet.Y());
  }
}

}  // namespace

void FRAME_BEGIN_SPRITES(Tscreen& screen, const Tatlas& atlas) {
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

void FRAME_END_SPRITES(Tscreen& screen) {
  glPopMatrix();
  screen.VIEW_PERSPECTIVE();
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_BLEND);
  glPopMatrix();
}

void FRAME_DRAW_SPRITES(const Tscene& scene, const Tatlas& atlas) {
  for (int i = 0; i < VP_EMITTER_COUNT; ++i)
    if (scene.emitters[i].ACTIVE() != 0) draw_emitter(scene.emitters[i], atlas);
}

void FRAME_RENDER(Tscene& scene, Tscreen& screen, const Tatlas& atlas, double* step_seconds) {
  FRAME_BEGIN_SPRITES(screen, atlas);
  double stepping = 0.0;
  for (int i = 0; i < VP_EMITTER_COUNT; ++i) {
    Temitter& emitter = scene.emitters[i];
    const double start = step_seconds ? TIMER() : 0.0;
    const int active = STEP_EMITTER(emitter);
    if (step_seconds) stepping += TIMER() - start;
    if (active) draw_emitter(emitter, atlas);
  }
  FRAME_END_SPRITES(screen);
  if (step_seconds) *step_seconds = stepping;
}

void FRAME_REDRAW(const Tscene& scene, Tscreen& screen, const Tatlas& atlas) {
  FRAME_BEGIN_SPRITES(screen, atlas);
  FRAME_DRAW_SPRITES(scene, atlas);
  FRAME_END_SPRITES(screen);
}

void FRAME_PACE(double& last_frame_time, double period) {
  while (TIMER() - last_frame_time < period) {
    // Still a busy-wait, but one that lets the renderer's and the display
    // server's threads use this core meanwhile instead of fighting it.
    sched_yield();
  }
  last_frame_time = TIMER();
}
