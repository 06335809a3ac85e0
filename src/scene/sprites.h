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
#pragma once

#include <cstdint>  // the kind's width
#include <vector>   // the caller's list, reused frame after frame

#include "scene/scene.h"  // the emitters, their pools, the patterns

enum Tsprite_kind : std::uint8_t { VP_SPRITE_BULLET, VP_SPRITE_EMITTER };

struct Tsprite {
  float x;
  float y;
  Tsprite_kind kind;
};

// Replaces `sprites` with the scene's sprites; after the first frame the
// list's storage is reused, so a frame allocates nothing.
void SCENE_SPRITES(const Tscene& scene, std::vector<Tsprite>& sprites);
