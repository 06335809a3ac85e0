// atlas.h - the sprite atlas as a GL texture and the two sprites cut from it.
//
// Rules:
//  - Each kind's display list holds its SPRITE_QUAD (scene/sprites.h) at the
//    origin, drawn translated to the sprite's top-left corner: the halves,
//    sizes and the upside-down t are that function's, not this file's.
//  - Drawing expects the 2D view, GL_TEXTURE_2D on with the atlas bound and
//    additive blending (GL_SRC_ALPHA, GL_ONE) on.
#pragma once

#include "scene/sprites.h"     // the sprites' quads
#include "show/atlas_image.h"  // the decoded picture

struct Tatlas {
  unsigned texture = 0;
  unsigned bullet_quad = 0;
  unsigned emitter_quad = 0;
};

// Uploads the decoded atlas with the context current. With empty pixels (a
// missing or undecodable file) the texture stays incomplete and the sprites
// are untextured, white.
Tatlas ATLAS_UPLOAD(const Tatlas_pixels& pixels);

void DRAW_BULLET_SPRITE(const Tatlas& atlas, float x, float y);
void DRAW_EMITTER_SPRITE(const Tatlas& atlas, float x, float y);
