// draw.h - the drawing seam: everything the show asks of a renderer. Beside
// it, the other interfaces a backend implements: show/window.h (the window
// and input) and show/atlas_image.h (the atlas decoded).
//
// Rules:
//  - One backend per build, chosen at link time: src/gl implements these
//    with OpenGL 1.2 for the desktop, src/webgl for the browser. The show's
//    logic names no GL type and draws through nothing else, so another
//    backend is files of its own (docs/ARCHITECTURE.md, "Add a drawing
//    backend").
//  - Every backend draws the same quads in the same order: SPRITE_QUAD
//    (scene/sprites.h) for the sprites, HUD_QUAD (scene/hud_layout.h) for the
//    HUD, and reads the frame back through PICTURE_FROM_BOTTOM_UP_RGBA.
//  - Every call is made on the thread that opened the screen, between
//    DRAW_OPEN and DRAW_CLOSE.
//  - A frame is drawn as DRAW_SPRITES (which clears first), then at most one
//    DRAW_OVERLAY, then DRAW_HUD, then DRAW_FINISH; DRAW_READ_BACK may
//    follow. Each pass sets every state it relies on and restores what it
//    changes, so passes can be left out or repeated without changing the
//    others' pixels.
//  - Pictures are 640 x 480 (VP_SHOW_WIDTH x VP_SHOW_HEIGHT), whatever the
//    window's scale.
#pragma once

#include <vector>  // sprite batches

#include "show/atlas_image.h"  // Tatlas_pixels: the decoded atlas
#include "render/picture.h"     // what the frame is read back into
#include "scene/hud_layout.h"   // the HUD's box and letters
#include "scene/sprites.h"      // Tsprite

constexpr int VP_SHOW_WIDTH = 640;
constexpr int VP_SHOW_HEIGHT = 480;
constexpr int VP_SHOW_DEPTH = 32;
constexpr int VP_SHOW_SAMPLES = 2;

struct Tdraw;  // the backend's own state

struct Tdraw_setup {
  int samples = VP_SHOW_SAMPLES;  // multisampling requested; the benchmarks compare 0 with 2
  bool hidden = false;            // an offscreen window (capture, tests)
  int scale = 1;                  // a window this many times larger, 1 to 4
};

// The library's glow or bloom laid over the frame: the frame once more into
// the small corner area, that area into its texture (blurred for the bloom),
// then the frame again with the texture stretched over it.
struct Toverlay {
  enum Tkind { none, glow, bloom } kind = none;
  float glow_alpha = 0.0f;
  int bloom_passes = 0;
};

// Opens the window with its context and puts the renderer in its fixed
// state; a window that cannot open is fatal.
Tdraw* DRAW_OPEN(const Tdraw_setup& setup);
void DRAW_CLOSE(Tdraw* draw);

// Uploads the atlas; with empty pixels the sprites are drawn as white
// squares.
void DRAW_ATLAS(Tdraw* draw, const Tatlas_pixels& pixels);

// Clears the frame and draws the sprites in order, added on top of each
// other.
void DRAW_SPRITES(Tdraw* draw, const std::vector<Tsprite>& sprites);

// The overlay over the frame just drawn from `sprites`.
void DRAW_OVERLAY(Tdraw* draw, const Toverlay& overlay, const std::vector<Tsprite>& sprites);

void DRAW_HUD(Tdraw* draw, const Thud_layout& layout);

// Lays a small picture over a larger window and waits until the frame is
// drawn: a renderer that rasterises lazily would otherwise present each
// frame late by its whole drawing time, and unevenly.
void DRAW_FINISH(Tdraw* draw);

// The frame as a person would see it at scale 1.
Tpicture DRAW_READ_BACK(Tdraw* draw);
