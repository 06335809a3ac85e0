// sprite_pass.h - the sprite pass: the frame cleared, the 2D view with the
// sprites' state, the sprites, and back to the perspective view.
//
// Rules:
//  - The pass sets every GL state the sprites rely on (view, texturing, the
//    atlas, additive blending, white colour, modulation), so it draws the
//    same whatever ran before it; it leaves texturing and blending off.
//  - Sprites are drawn one by one from the atlas's display lists, in the
//    order given.
#pragma once

#include <vector>  // the batch

#include "gl/atlas.h"          // the sprites' texture and quads
#include "gl/screen.h"         // views
#include "scene/sprites.h"     // Tsprite

// Clears the frame and enters the 2D view with the sprites' state.
void SPRITE_PASS_BEGIN(Tscreen& screen, const Tatlas& atlas);
// Back to the perspective view with texturing and blending off.
void SPRITE_PASS_END(Tscreen& screen);

// The sprites, between SPRITE_PASS_BEGIN and SPRITE_PASS_END.
void SPRITE_PASS_DRAW(const Tatlas& atlas, const std::vector<Tsprite>& sprites);

// The whole pass.
void SPRITE_PASS(Tscreen& screen, const Tatlas& atlas, const std::vector<Tsprite>& sprites);
