// draw_gl.h - the OpenGL 1.2 backend's state behind the drawing seam.
//
// Rules:
//  - Only this backend, the GL tests and the drawing benchmark look inside;
//    the show holds a Tdraw* and calls show/draw.h.
//  - The screen lives as long as the Tdraw; DRAW_CLOSE destroys it with the
//    context still current. Display lists and the atlas texture go with the
//    context.
#pragma once

#include <memory>  // the screen is made in place once the window may open

#include "gl/atlas.h"   // the sprites' texture and display lists
#include "gl/screen.h"  // the window, views, glow and bloom
#include "show/draw.h"  // the interface implemented here

struct Tdraw {
  std::unique_ptr<Tscreen> screen;
  Tatlas atlas;
  int scale = 1;                 // window pixels per picture pixel
  unsigned upscale_texture = 0;  // the picture, copied for a larger window
};
