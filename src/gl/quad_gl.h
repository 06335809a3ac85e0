// quad_gl.h - render/quad.h's quads sent to OpenGL, inside glBegin(GL_QUADS).
//
// Rules:
//  - Corners are sent in the quad's order, each texture coordinate before
//    its vertex; nothing is computed here, so the geometry stays the shared
//    one.
#pragma once

#include <GL/gl.h>  // immediate-mode vertices

#include "render/quad.h"  // the corners

inline void QUAD_SEND(const Tquad& quad) {
  for (const Tquad_corner& c : quad.corner) {
    glTexCoord2f(c.s, c.t);
    glVertex2f(c.x, c.y);
  }
}

// For untextured quads: no texture coordinate is set.
inline void QUAD_SEND_PLAIN(const Tquad& quad) {
  for (const Tquad_corner& c : quad.corner) glVertex2f(c.x, c.y);
}
