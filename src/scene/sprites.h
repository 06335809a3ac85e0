// sprites.h - what a frame shows: the sprites of the scene as it stands, in
// drawing order.
//
// Rules:
//  - Order: emitter 0, then its turret's bullets in pool order, emitter 1,
//    and so on; then each pattern's root and its bullets in creation order
//    (scene/scene_bodies.h). Later sprites are added on top of earlier
//    ones, so the order is part of the picture.
//  - An emitter is shown, with its bullets, when it was active in the last
//    frame stepped (scene.shown): one whose phase switches it off in a frame
//    is still drawn in that frame, and from the next frame on it is not.
//  - Positions are the sprites' top-left corners in picture pixels; a bullet
//    covers 16 x 16 pixels, an emitter 32 x 32. An emitter's sprite and its
//    bullets' stand at their positions, as the show always drew them; a
//    pattern's are centred on theirs: the root's corner is its position
//    less 16, a bullet's less 8, subtracted in double and rounded to float
//    once.
//  - SPRITE_QUAD is the one statement of how a sprite is drawn; every
//    backend and the drawing benchmark take their quads from it.
#pragma once

#include <cstdint>  // the kind's width
#include <vector>   // the caller's list, reused frame after frame

#include "render/quad.h"   // the quad a sprite is drawn as
#include "scene/scene.h"   // the emitters, their pools, the patterns

enum Tsprite_kind : std::uint8_t { VP_SPRITE_BULLET, VP_SPRITE_EMITTER };

struct Tsprite {
  float x;
  float y;
  Tsprite_kind kind;
};

constexpr float VP_BULLET_SIDE = 16.0f;
constexpr float VP_EMITTER_SIDE = 32.0f;

// The sprite's quad: its square from the top-left corner, textured with the
// atlas's left half for a bullet and its right half for an emitter, whatever
// the atlas's pixel size. The atlas is uploaded with the picture's bottom row
// first (show/atlas_image.h) and t runs down the view with y, so each sprite
// shows its half upside down, as the show always has. Corners go
// bottom-left, top-left, top-right, bottom-right.
inline Tquad SPRITE_QUAD(const Tsprite& sprite) {
  const bool bullet = sprite.kind == VP_SPRITE_BULLET;
  const float side = bullet ? VP_BULLET_SIDE : VP_EMITTER_SIDE;
  const float s0 = bullet ? 0.0f : 0.5f;
  const float s1 = bullet ? 0.5f : 1.0f;
  const float x0 = sprite.x, y0 = sprite.y, x1 = sprite.x + side, y1 = sprite.y + side;
  return Tquad{{{x0, y1, s0, 1.0f}, {x0, y0, s0, 0.0f}, {x1, y0, s1, 0.0f}, {x1, y1, s1, 1.0f}}};
}

// Replaces `sprites` with the scene's sprites; after the first frame the
// list's storage is reused, so a frame allocates nothing.
void SCENE_SPRITES(const Tscene& scene, std::vector<Tsprite>& sprites);
