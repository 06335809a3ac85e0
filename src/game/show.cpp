// show.cpp - the show's start-up, loop and overlay pass.
#include "game/show.h"

#include <GL/gl.h>  // glFinish before the wait; the overlay's state backup

#include "game/frame.h"        // one frame's drawing and the pacing
#include "platform/console.h"  // the schedules' reports leave once per frame
#include "platform/random.h"   // seeded once the scene has drawn its points
#include "platform/timer.h"    // the seed
#include "platform/window.h"   // mouse, present, Escape, title

void SHOW_BUILD(Tshow& show) {
  BUILD_SCENE(show.scene);
  RANDOMIZE(TIMER());
}

void SHOW_OPEN(Tshow& show, const Tshow_setup& setup) {
  int flags = VP_SCREEN_GL | (setup.hidden ? VP_SCREEN_HIDDEN : 0);
  show.screen.reset(new Tscreen(VP_SHOW_WIDTH, VP_SHOW_HEIGHT, VP_SHOW_DEPTH, 1, setup.samples, flags));
  show.screen->INIT_GL_SCREEN();
}

void SHOW_LOAD(Tshow& show, const Tshow_setup& setup) {
  show.atlas = LOAD_ATLAS(setup.atlas);
  WINDOW_TITLE(VP_SHOW_TITLE);
}

void SHOW_START(Tshow& show, const Tshow_setup& setup) {
  SHOW_BUILD(show);
  SHOW_OPEN(show, setup);
  SHOW_LOAD(show, setup);
}

long SHOW_RUN(Tshow& show, long max_frames, const Tframe_observer* observer) {
  double last_frame_time = 0.0;
  long frames = 0;
  for (;;) {
    int mouse_x = -1, mouse_y = -1;
    MOUSE_POSITION(mouse_x, mouse_y);
    show.scene.target.x = static_cast<float>(mouse_x);
    show.scene.target.y = static_cast<float>(mouse_y);
    FRAME_RENDER(show.scene, *show.screen, show.atlas);
    // The drawing is finished before the wait, not inside the swap after
    // it: a renderer that rasterises lazily would otherwise present each
    // frame late by its whole drawing time, and unevenly.
    glFinish();
    CONSOLE_FLUSH();
    FRAME_PACE(last_frame_time, VP_FRAME_SECONDS);
    SCREEN_FLIP();
    ++frames;
    if (observer && observer->presented) observer->presented(observer->context, frames);
    if (KEY_HELD(1)) break;
    if (max_frames > 0 && frames >= max_frames) break;
  }
  return frames;
}

void SHOW_DRAW_OVERLAY(Tshow& show, const Toverlay& overlay) {
  if (overlay.kind == Toverlay::none) return;
  Tscreen& screen = *show.screen;
  // The post-process leaves its colour, its small viewport, its blending and
  // its texture behind; the show's next frame must not see any of them.
  glPushAttrib(GL_CURRENT_BIT | GL_VIEWPORT_BIT | GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_TEXTURE_BIT);
  screen.START_RENDER2TEXTURE();
  FRAME_REDRAW(show.scene, screen, show.atlas);
  if (overlay.kind == Toverlay::glow) {
    screen.STOP_RENDER2TEXTURE();
  } else {
    screen.DO_BLOOM(overlay.bloom_passes);
    // The bloom reads the corner back but leaves the small viewport in force.
    glViewport(0, 0, screen.WIDTH(), screen.HEIGHT());
  }
  FRAME_REDRAW(show.scene, screen, show.atlas);
  if (overlay.kind == Toverlay::glow) screen.DRAW_GLOW(overlay.glow_alpha);
  else screen.DRAW_BLOOM(1.0f);
  glPopAttrib();
}

Tpicture SHOW_READ_BACK() { return READ_BACK_BUFFER(VP_SHOW_WIDTH, VP_SHOW_HEIGHT); }
