// quad.h - the axis-aligned quads every drawing backend draws, as four
// corners with their texture coordinates, in the order a backend sends them
// as one quad.
//
// Rules:
//  - No GL here: a backend sends each corner as it stands (texture
//    coordinate, then vertex), so every backend draws the same quads and the
//    geometry is typed once, in these functions and SPRITE_QUAD
//    (scene/sprites.h).
//  - The corner order is part of the picture: a quad is cut into triangles
//    along its first and third corners, and texture coordinates are
//    interpolated across each triangle.
//  - QUAD_TEXTURED's corners go (x0, y0), (x0, y1), (x1, y1), (x1, y0): in
//    the y-down 2D view top-left, bottom-left, bottom-right, top-right. It
//    maps (s0, t1) to (x0, y0) and (s1, t0) to (x1, y1): the texture's first
//    row, which holds the picture's bottom, lands along y1, so a picture
//    copied from the frame buffer stands upright.
#pragma once

struct Tquad_corner {
  float x, y;  // 2D view units, one a picture pixel
  float s, t;  // texture coordinates; 0 for a quad drawn untextured
};

struct Tquad {
  Tquad_corner corner[4];  // in drawing order
};

inline Tquad QUAD_TEXTURED(float x0, float y0, float x1, float y1, float s0, float t0, float s1, float t1) {
  return Tquad{{{x0, y0, s0, t1}, {x0, y1, s0, t0}, {x1, y1, s1, t0}, {x1, y0, s1, t1}}};
}

// The same corners without texture coordinates: the HUD's box and letters.
inline Tquad QUAD_PLAIN(float x0, float y0, float x1, float y1) {
  return QUAD_TEXTURED(x0, y0, x1, y1, 0.0f, 0.0f, 0.0f, 0.0f);
}
