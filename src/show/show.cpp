// show.cpp - the show's start-up, loop and overlay pass.
#include "show/show.h"

#include <GL/gl.h>  // glFinish before the wait; the overlay's state backup

#include "gl/frame.h"         // one frame's drawing and the pacing
#include "gl/hud.h"           // the HUD's drawing
#include "scene/scene_phases.h"  // where Page Down and Page Up land
#include "platform/console.h"   // the schedules' reports leave once per frame
#include "platform/random.h"    // seeded once the scene has drawn its points
#include "platform/timer.h"     // the seed, the HUD's timings
#include "window/window.h"    // mouse, keys, present, Escape, title

namespace {

// The smallest power-of-two texture (OpenGL 1.2 needs one) that holds the
// 640 x 480 picture: 1024 x 512.
constexpr int k_upscale_side = 1024;

// Lays the picture in the window's corner over the whole window.
void upscale(const Tshow& show) {
  glPushAttrib(GL_VIEWPORT_BIT | GL_ENABLE_BIT | GL_TEXTURE_BIT | GL_CURRENT_BIT);
  glBindTexture(GL_TEXTURE_2D, show.upscale_texture);
  glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, VP_SHOW_WIDTH, VP_SHOW_HEIGHT);
  glViewport(0, 0, VP_SHOW_WIDTH * show.scale, VP_SHOW_HEIGHT * show.scale);
  glEnable(GL_TEXTURE_2D);
  glDisable(GL_BLEND);
  glDisable(GL_DEPTH_TEST);
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  show.screen->VIEW_ORTHO();
  const float s = static_cast<float>(VP_SHOW_WIDTH) / k_upscale_side;
  const float t = static_cast<float>(VP_SHOW_HEIGHT) / (k_upscale_side / 2);
  glBegin(GL_QUADS);
  glTexCoord2f(0.0f, t);  // the texture's first row is the picture's bottom
  glVertex2i(0, 0);
  glTexCoord2f(0.0f, 0.0f);
  glVertex2i(0, VP_SHOW_HEIGHT);
  glTexCoord2f(s, 0.0f);
  glVertex2i(VP_SHOW_WIDTH, VP_SHOW_HEIGHT);
  glTexCoord2f(s, t);
  glVertex2i(VP_SHOW_WIDTH, 0);
  glEnd();
  show.screen->VIEW_PERSPECTIVE();
  glPopAttrib();
}

// Window pixels to picture pixels; (-1, -1), no position, stays as it is.
void read_mouse(Tshow& show) {
  int x = -1, y = -1;
  MOUSE_POSITION(x, y);
  if (x >= 0) x /= show.scale;
  if (y >= 0) y /= show.scale;
  show.scene.target.x = static_cast<float>(x);
  show.scene.target.y = static_cast<float>(y);
}

}  // namespace

void SHOW_BUILD(Tshow& show) {
  BUILD_SCENE(show.scene);
  RANDOMIZE(TIMER());
}

void SHOW_OPEN(Tshow& show, const Tshow_setup& setup) {
  int flags = VP_SCREEN_GL | (setup.hidden ? VP_SCREEN_HIDDEN : 0);
  SCREEN_WINDOW_SCALE(setup.scale);
  show.screen.reset(new Tscreen(VP_SHOW_WIDTH, VP_SHOW_HEIGHT, VP_SHOW_DEPTH, 1, setup.samples, flags));
  show.screen->INIT_GL_SCREEN();
  show.scale = setup.scale;
  if (show.scale > 1) {
    // The picture is drawn at 640 x 480 in the window's corner, as always,
    // then copied here and laid over the whole window, each picture pixel a
    // square of window pixels: the same picture, only larger.
    glGenTextures(1, &show.upscale_texture);
    glBindTexture(GL_TEXTURE_2D, show.upscale_texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, k_upscale_side, k_upscale_side / 2, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glBindTexture(GL_TEXTURE_2D, 0);
  }
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

void SHOW_SKIP_TO(Tshow& show, long& frame, long last) {
  if (last < frame) {
    BUILD_SCENE(show.scene);
    frame = 0;
  }
  Tconsole_quiet quiet;
  for (; frame < last; ++frame) {
    show.scene.target = Ttarget_point{-1.0f, -1.0f};
    STEP_SCENE(show.scene);
  }
}

long SHOW_RUN(Tshow& show, long max_frames, const Tframe_observer* observer, const Tshow_controls& controls) {
  long frame = 0;  // frames stepped: the number of the frame on screen
  if (controls.start_frame > 1) SHOW_SKIP_TO(show, frame, controls.start_frame - 1);
  bool paused = controls.paused;
  bool hud = controls.hud;
  long steps = 1;  // frames to step while paused; the first is always stepped
  Thud_timing timing = {0.0, 0.0, 0.0};
  double last_frame_time = 0.0;
  long presented = 0;
  for (;;) {
    const double drawing_start = hud ? TIMER() : 0.0;
    double stepping = 0.0;
    const bool stepping_now = steps > 0 || !paused;
    if (stepping_now) {
      read_mouse(show);
      FRAME_RENDER(show.scene, *show.screen, show.atlas, hud ? &stepping : nullptr);
      ++frame;
    } else {
      FRAME_REDRAW(show.scene, *show.screen, show.atlas);
    }
    if (steps > 0) --steps;
    if (hud) SHOW_DRAW_HUD(show, frame, &timing);
    if (show.scale > 1) upscale(show);
    // The drawing is finished before the wait, not inside the swap after
    // it: a renderer that rasterises lazily would otherwise present each
    // frame late by its whole drawing time, and unevenly.
    glFinish();
    if (hud) {
      // A paused frame keeps showing the last stepped frame's figures.
      if (stepping_now) timing.sim_us = stepping * 1e6;
      timing.draw_ms = (TIMER() - drawing_start - stepping) * 1e3;
    }
    CONSOLE_FLUSH();
    const double previous_present = last_frame_time;
    FRAME_PACE(last_frame_time, VP_FRAME_SECONDS);
    SCREEN_FLIP();
    if (presented > 0) timing.fps = 1.0 / (last_frame_time - previous_present);
    ++presented;
    if (observer && observer->presented) observer->presented(observer->context, presented);
    if (KEY_HELD(1)) break;
    if (max_frames > 0 && presented >= max_frames) break;

    Tkey key;
    while (KEY_PRESS(key)) {
      switch (key) {
        case VP_KEY_SPACE: paused = !paused; break;
        case VP_KEY_RIGHT:
        case VP_KEY_PERIOD:
          if (paused) ++steps;  // each press one frame, presses in one frame too
          break;
        case VP_KEY_H: hud = !hud; break;
        case VP_KEY_PAGE_DOWN:
        case VP_KEY_PAGE_UP: {
          // Land on the frame before the entry, so that the entry itself is
          // stepped, drawn and reported like any other frame.
          const long to = key == VP_KEY_PAGE_DOWN ? NEXT_PHASE_FRAME(frame) : PREVIOUS_PHASE_FRAME(frame);
          if (to < 1) break;
          SHOW_SKIP_TO(show, frame, to - 1);
          steps = 1;
          break;
        }
        case VP_KEY_ESCAPE: break;  // held, not pressed, ends the show
      }
    }
  }
  return presented;
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

void SHOW_DRAW_HUD(Tshow& show, long frame, const Thud_timing* timing) {
  HUD_DRAW(*show.screen, HUD_LINES(show.scene, frame, timing));
}

Tpicture SHOW_READ_BACK() { return READ_BACK_BUFFER(VP_SHOW_WIDTH, VP_SHOW_HEIGHT); }
