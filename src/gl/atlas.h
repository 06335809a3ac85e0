// atlas.h - the sprite atlas as a GL texture and the two sprites cut from it.
//
// Rules:
//  - The left half of the atlas is the bullet sprite, the right half the
//    emitter sprite, whatever the image's pixel size.
//  - The picture is uploaded bottom row first (see atlas_image.h), so in
//    the y-down 2D view each sprite shows its half upside down.
//  - A sprite is drawn at its top-left corner: bullets cover 16 x 16 pixels,
//    emitters 32 x 32.
//  - Drawing expects the 2D view, GL_TEXTURE_2D on with the atlas bound and
//    additive blending (GL_SRC_ALPHA, GL_ONE) on.
#pragma once

#include "image/atlas_image.h"  // the decoded picture

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
