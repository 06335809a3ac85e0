// draw_webgl.cpp - the drawing seam in a browser: WebGL through emscripten's
// emulation of fixed-function OpenGL (-sLEGACY_GL_EMULATION=1).
//
// Implemented: the screen, the atlas with its mipmap chain, the sprites, the
// HUD, the read-back. Left out, and why:
//  - the overlay (glow, bloom): only the capture tool lays one, never a page;
//  - the upscale: the page enlarges the canvas with CSS, pixels kept square;
//  - the lighting state and the perspective projection of the desktop's
//    fixed state: nothing switches lighting on, and every pass draws in the
//    2D view, which here is set once and never left;
//  - the finish: the browser presents when the frame's callback returns.
//
// Where the desktop's backend (src/gl) relies on what the emulation lacks:
//  - display lists: the frame's sprites are one glBegin(GL_QUADS) batch of
//    the same quads, each SPRITE_QUAD at the sprite's place where the
//    desktop translates the list holding it at the origin;
//  - glPushAttrib: each pass sets the state it relies on from a record and
//    applies the record it found again afterwards (Tgl_state);
//  - gluBuild2DMipmaps: the chain is built by render/mipmap.h with GLU's box
//    filter and uploaded level by level.
#include <GL/gl.h>  // the emulated fixed-function API

#include <cstdint>  // pixel bytes
#include <vector>   // the read-back's rows

#include "platform/runtime_error.h"  // a canvas without WebGL is fatal
#include "render/mipmap.h"           // the chain GLU would build
#include "render/picture.h"          // the read-back's rows turned upright
#include "render/quad.h"             // the quads every backend draws
#include "show/draw.h"               // the interface implemented here
#include "show/window.h"             // the canvas and its context

namespace {

// The state a pass relies on, all of it. The emulation answers few glGet
// queries, so the backend keeps its own record of what it last set.
struct Tgl_state {
  bool texture = false;
  bool blend = false;
  GLenum blend_source = GL_SRC_ALPHA;
  GLenum blend_destination = GL_ONE;
  float colour[4] = {1.0f, 1.0f, 1.0f, 1.0f};
};

// Sprites add texel colour times alpha over what is there.
Tgl_state sprite_state(bool textured) {
  Tgl_state state;
  state.texture = textured;
  state.blend = true;
  return state;
}

// The HUD's box dims what lies behind it; the letters cover it.
Tgl_state hud_state(const float (&colour)[4]) {
  Tgl_state state;
  state.blend = true;
  state.blend_destination = GL_ONE_MINUS_SRC_ALPHA;
  for (int k = 0; k < 4; ++k) state.colour[k] = colour[k];
  return state;
}

}  // namespace

struct Tdraw {
  GLuint atlas = 0;
  bool atlas_loaded = false;  // without pixels the sprites are white squares
  Tgl_state state;            // what GL holds now
};

namespace {

void apply(Tdraw& draw, const Tgl_state& state) {
  if (state.texture) glEnable(GL_TEXTURE_2D);
  else glDisable(GL_TEXTURE_2D);
  if (state.blend) glEnable(GL_BLEND);
  else glDisable(GL_BLEND);
  glBlendFunc(state.blend_source, state.blend_destination);
  glColor4f(state.colour[0], state.colour[1], state.colour[2], state.colour[3]);
  draw.state = state;
}

// A shared quad's corners as they stand (the desktop's gl/quad_gl.h does the
// same with its own GL headers).
void send(const Tquad& quad) {
  for (const Tquad_corner& c : quad.corner) {
    glTexCoord2f(c.s, c.t);
    glVertex2f(c.x, c.y);
  }
}

void send_plain(const Tquad& quad) {
  for (const Tquad_corner& c : quad.corner) glVertex2f(c.x, c.y);
}

void upload_level(int level, int width, int height, const std::uint8_t* rgba) {
  glTexImage2D(GL_TEXTURE_2D, level, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
}

}  // namespace

Tdraw* DRAW_OPEN(const Tdraw_setup& setup) {
  const int flags = VP_SCREEN_GL | SCREEN_REQUEST_PIXEL_FORMAT(VP_SHOW_DEPTH, setup.samples);
  SCREEN_WINDOW_SCALE(setup.scale);
  const int error = SCREEN_OPEN(VP_SHOW_WIDTH, VP_SHOW_HEIGHT, VP_SHOW_DEPTH, 1, flags, 0);
  if (error != 0) RUNTIME_ERROR(error, __LINE__, "Tdraw", "DRAW_OPEN");

  Tdraw* draw = new Tdraw;
  glViewport(0, 0, VP_SHOW_WIDTH, VP_SHOW_HEIGHT);
  // The 2D view: origin at the top-left corner, y down, one unit a pixel.
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0.0, VP_SHOW_WIDTH, VP_SHOW_HEIGHT, 0.0, -1.0, 1.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glClearDepth(1.0);
  // Every sprite lies at depth 0, and GL_LEQUAL lets each one through.
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  apply(*draw, Tgl_state());
  return draw;
}

void DRAW_CLOSE(Tdraw* draw) {
  if (draw && draw->atlas) glDeleteTextures(1, &draw->atlas);
  delete draw;
}

void DRAW_ATLAS(Tdraw* draw, const Tatlas_pixels& pixels) {
  glGenTextures(1, &draw->atlas);
  glBindTexture(GL_TEXTURE_2D, draw->atlas);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  const std::vector<Tmipmap_level> chain = MIPMAP_CHAIN(pixels.staging.data(), pixels.width, pixels.height);
  // WebGL samples a texture missing a level as black, where the desktop's
  // incomplete texture leaves the quads untextured: without a whole chain
  // the sprites are drawn untextured, white, as on the desktop.
  draw->atlas_loaded = !chain.empty();
  if (!draw->atlas_loaded) return;
  upload_level(0, pixels.width, pixels.height, pixels.staging.data());
  for (std::size_t level = 0; level < chain.size(); ++level)
    upload_level(static_cast<int>(level + 1), chain[level].width, chain[level].height, chain[level].rgba.data());
}

void DRAW_SPRITES(Tdraw* draw, const std::vector<Tsprite>& sprites) {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  if (sprites.empty()) return;
  const Tgl_state found = draw->state;
  apply(*draw, sprite_state(draw->atlas_loaded));
  glBindTexture(GL_TEXTURE_2D, draw->atlas);
  glBegin(GL_QUADS);
  for (const Tsprite& sprite : sprites) send(SPRITE_QUAD(sprite));
  glEnd();
  apply(*draw, found);
}

void DRAW_OVERLAY(Tdraw*, const Toverlay&, const std::vector<Tsprite>&) {}

void DRAW_HUD(Tdraw* draw, const Thud_layout& layout) {
  if (layout.box.width == 0) return;
  // The emulation takes a colour given between glBegin and glEnd as a
  // colour of every vertex, so each colour gets a batch of its own.
  const Tgl_state found = draw->state;
  apply(*draw, hud_state(VP_HUD_BOX_RGBA));
  glBegin(GL_QUADS);
  send_plain(HUD_QUAD(layout.box));
  glEnd();
  apply(*draw, hud_state(VP_HUD_TEXT_RGBA));
  glBegin(GL_QUADS);
  for (const Tfont_cell& cell : layout.cells) send_plain(HUD_QUAD(cell));
  glEnd();
  apply(*draw, found);
}

void DRAW_FINISH(Tdraw*) {}

Tpicture DRAW_READ_BACK(Tdraw*) {
  const int width = VP_SHOW_WIDTH, height = VP_SHOW_HEIGHT;
  std::vector<std::uint8_t> rgba(static_cast<std::size_t>(width) * height * 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
  return PICTURE_FROM_BOTTOM_UP_RGBA(rgba.data(), width, height);
}
