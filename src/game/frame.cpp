// frame.cpp - the frame loop's drawing, pacing and presentation.
#include "game/frame.h"

#include <GL/gl.h>  // clear, matrices, blending
#include <sched.h>  // sched_yield inside the busy-wait

#include "platform/console.h"  // the schedules' reports leave once per frame
#include "platform/window.h"   // mouse, timer, present, Escape

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

// Steps 2 to 4: clear, the 2D view, texturing and additive blending.
void begin_sprites(Tscreen& screen, const Tatlas& atlas) {
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glPushMatrix();
  screen.VIEW_ORTHO();
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE);
  glBindTexture(GL_TEXTURE_2D, atlas.texture);
  glPushMatrix();
}

// Step 6: back to the perspective view with texturing and blending off.
void end_sprites(Tscreen& screen) {
  glPopMatrix();
  screen.VIEW_PERSPECTIVE();
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_BLEND);
  glPopMatrix();
}

}  // namespace

void FRAME_DRAW_SPRITES(const Tscene& scene, const Tatlas& atlas) {
  for (int i = 0; i < VP_EMITTER_COUNT; ++i)
    if (scene.emitters[i].ACTIVE() != 0) draw_emitter(scene.emitters[i], atlas);
}

void FRAME_RENDER(Tscene& scene, Tscreen& screen, const Tatlas& atlas) {
  begin_sprites(screen, atlas);
  for (int i = 0; i < VP_EMITTER_COUNT; ++i) {
    Temitter& emitter = scene.emitters[i];
    if (STEP_EMITTER(emitter)) draw_emitter(emitter, atlas);
  }
  end_sprites(screen);
}

void FRAME_REDRAW(const Tscene& scene, Tscreen& screen, const Tatlas& atlas) {
  begin_sprites(screen, atlas);
  FRAME_DRAW_SPRITES(scene, atlas);
  end_sprites(screen);
}

void FRAME_PACE(double& last_frame_time) {
  while (TIMER() - last_frame_time < VP_FRAME_SECONDS) {
    // Still a busy-wait, but one that lets the renderer's and the display
    // server's threads use this core meanwhile instead of fighting it.
    sched_yield();
  }
  last_frame_time = TIMER();
}

long RUN_FRAME_LOOP(Tscene& scene, Tscreen& screen, const Tatlas& atlas, long max_frames,
                    const Tframe_observer* observer) {
  double last_frame_time = 0.0;
  long frames = 0;
  for (;;) {
    int mouse_x = -1, mouse_y = -1;
    MOUSE_POSITION(mouse_x, mouse_y);
    scene.target.x = static_cast<float>(mouse_x);
    scene.target.y = static_cast<float>(mouse_y);
    FRAME_RENDER(scene, screen, atlas);
    // The drawing is finished before the wait, not inside the swap after
    // it: a renderer that rasterises lazily would otherwise present each
    // frame late by its whole drawing time, and unevenly.
    glFinish();
    CONSOLE_FLUSH();
    FRAME_PACE(last_frame_time);
    SCREEN_FLIP();
    ++frames;
    if (observer && observer->presented) observer->presented(observer->context, frames);
    if (KEY_HELD(1)) break;
    if (max_frames > 0 && frames >= max_frames) break;
  }
  return frames;
}
