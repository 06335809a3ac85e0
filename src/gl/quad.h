// quad.h - the axis-aligned quads every pass draws, inside glBegin(GL_QUADS).
//
// Rules:
//  - Corners go (x0, y0), (x0, y1), (x1, y1), (x1, y0): in the y-down 2D view
//    top-left, bottom-left, bottom-right, top-right.
//  - A textured quad maps (s0, t1) to (x0, y0) and (s1, t0) to (x1, y1): the
//    texture's first row, which holds the picture's bottom, lands along y1,
//    so a picture read back from the frame buffer stands upright.
#pragma once

#include <GL/gl.h>  // immediate-mode vertices

inline void QUAD_TEXTURED(int x0, int y0, int x1, int y1, float s0, float t0, float s1, float t1) {
  glTexCoord2f(s0, t1);
  glVertex2i(x0, y0);
  glTexCoord2f(s0, t0);
  glVertex2i(x0, y1);
  glTexCoord2f(s1, t0);
  glVertex2i(x1, y1);
  glTexCoord2f(s1, t1);
  glVertex2i(x1, y0);
}

inline void QUAD_PLAIN(int x0, int y0, int x1, int y1) {
  glVertex2i(x0, y0);
  glVertex2i(x0, y1);
  glVertex2i(x1, y1);
  glVertex2i(x1, y0);
}
