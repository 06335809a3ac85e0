// draw_gl.cpp - the drawing seam in OpenGL 1.2: display lists for the
// sprites, glPushAttrib around every pass that changes shared state.
#include "gl/draw_gl.h"

#include <GL/gl.h>  // the upscale copy, the finish, the overlay's state backup

#include "gl/hud.h"          // the HUD's quads
#include "gl/quad_gl.h"      // the upscaled picture
#include "gl/sprite_pass.h"  // the sprite pass
#include "show/window.h"     // the window's scale and flags

namespace {

// The smallest power-of-two texture (OpenGL 1.2 needs one) that holds the
// 640 x 480 picture: 1024 x 512.
constexpr int k_upscale_side = 1024;

// The picture is drawn at 640 x 480 in the window's corner, as always, then
// copied into a texture and laid over the whole window, each picture pixel a
// square of window pixels: the same picture, only larger.
void make_upscale_texture(Tdraw& draw) {
  glGenTextures(1, &draw.upscale_texture);
  glBindTexture(GL_TEXTURE_2D, draw.upscale_texture);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, k_upscale_side, k_upscale_side / 2, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glBindTexture(GL_TEXTURE_2D, 0);
}

void upscale(Tdraw& draw) {
  glPushAttrib(GL_VIEWPORT_BIT | GL_ENABLE_BIT | GL_TEXTURE_BIT | GL_CURRENT_BIT);
  glBindTexture(GL_TEXTURE_2D, draw.upscale_texture);
  glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, VP_SHOW_WIDTH, VP_SHOW_HEIGHT);
  glViewport(0, 0, VP_SHOW_WIDTH * draw.scale, VP_SHOW_HEIGHT * draw.scale);
  glEnable(GL_TEXTURE_2D);
  glDisable(GL_BLEND);
  glDisable(GL_DEPTH_TEST);
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  draw.screen->VIEW_ORTHO();
  const float s = static_cast<float>(VP_SHOW_WIDTH) / k_upscale_side;
  const float t = static_cast<float>(VP_SHOW_HEIGHT) / (k_upscale_side / 2);
  glBegin(GL_QUADS);
  QUAD_SEND(QUAD_TEXTURED(0, 0, VP_SHOW_WIDTH, VP_SHOW_HEIGHT, 0.0f, 0.0f, s, t));
  glEnd();
  draw.screen->VIEW_PERSPECTIVE();
  glPopAttrib();
}

}  // namespace

Tdraw* DRAW_OPEN(const Tdraw_setup& setup) {
  Tdraw* draw = new Tdraw;
  int flags = VP_SCREEN_GL | (setup.hidden ? VP_SCREEN_HIDDEN : 0);
  SCREEN_WINDOW_SCALE(setup.scale);
  draw->screen.reset(new Tscreen(VP_SHOW_WIDTH, VP_SHOW_HEIGHT, VP_SHOW_DEPTH, 1, setup.samples, flags));
  draw->screen->INIT_GL_SCREEN();
  draw->scale = setup.scale;
  if (draw->scale > 1) make_upscale_texture(*draw);
  return draw;
}

void DRAW_CLOSE(Tdraw* draw) { delete draw; }

void DRAW_ATLAS(Tdraw* draw, const Tatlas_pixels& pixels) { draw->atlas = ATLAS_UPLOAD(pixels); }

void DRAW_SPRITES(Tdraw* draw, const std::vector<Tsprite>& sprites) {
  SPRITE_PASS(*draw->screen, draw->atlas, sprites);
}

void DRAW_OVERLAY(Tdraw* draw, const Toverlay& overlay, const std::vector<Tsprite>& sprites) {
  if (overlay.kind == Toverlay::none) return;
  Tscreen& screen = *draw->screen;
  // The post-process leaves its colour, its small viewport, its blending and
  // its texture behind; the show's next frame must not see any of them.
  glPushAttrib(GL_CURRENT_BIT | GL_VIEWPORT_BIT | GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_TEXTURE_BIT);
  screen.START_RENDER2TEXTURE();
  SPRITE_PASS(screen, draw->atlas, sprites);
  if (overlay.kind == Toverlay::glow) {
    screen.STOP_RENDER2TEXTURE();
  } else {
    screen.DO_BLOOM(overlay.bloom_passes);
    // The bloom reads the corner back but leaves the small viewport in force.
    glViewport(0, 0, screen.WIDTH(), screen.HEIGHT());
  }
  SPRITE_PASS(screen, draw->atlas, sprites);
  if (overlay.kind == Toverlay::glow) screen.DRAW_GLOW(overlay.glow_alpha);
  else screen.DRAW_BLOOM(1.0f);
  glPopAttrib();
}

void DRAW_HUD(Tdraw* draw, const Thud_layout& layout) { HUD_DRAW(*draw->screen, layout); }

void DRAW_FINISH(Tdraw* draw) {
  if (draw->scale > 1) upscale(*draw);
  glFinish();
}

Tpicture DRAW_READ_BACK(Tdraw*) { return READ_BACK_BUFFER(VP_SHOW_WIDTH, VP_SHOW_HEIGHT); }
