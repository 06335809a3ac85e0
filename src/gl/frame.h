// frame.h - one frame of the show: its stepping, its drawing and its pacing.
//
// Rules:
//  - A frame is: mouse into the target, clear, 2D view, for each active
//    emitter in index order its phase step, movement, turret and bullets and
//    then its sprites, back to the 3D view, pacing, present, Escape check.
//    This file holds the middle of that list (clear to 3D view) and the
//    pacing; the loop around it is the show's (game/show.h).
//  - The sprite pass sets every GL state the sprites rely on (view,
//    texturing, atlas, additive blending, white colour, modulation), so it
//    draws the same whatever ran before it; it leaves texturing and blending
//    off.
//  - Pacing busy-waits until one period has passed since the previous frame
//    was released; a late frame is not caught up.
#pragma once

#include "gl/atlas.h"     // sprites
#include "scene/scene.h"     // emitters and the target point
#include "gl/screen.h"  // views

// Clears the frame and enters the 2D view with the sprites' state.
void FRAME_BEGIN_SPRITES(Tscreen& screen, const Tatlas& atlas);
// Back to the perspective view with texturing and blending off.
void FRAME_END_SPRITES(Tscreen& screen);

// Steps and draws every active emitter between FRAME_BEGIN_SPRITES and
// FRAME_END_SPRITES. The target point must already hold this frame's mouse
// position. With `step_seconds`, the time spent stepping the emitters (not
// drawing them) is stored there.
void FRAME_RENDER(Tscene& scene, Tscreen& screen, const Tatlas& atlas, double* step_seconds = nullptr);

// Every active emitter and its bullets as they stand, inside the sprite pass.
void FRAME_DRAW_SPRITES(const Tscene& scene, const Tatlas& atlas);

// The frame FRAME_RENDER drew, drawn once more without stepping anything
// (into the glow's small area, say).
void FRAME_REDRAW(const Tscene& scene, Tscreen& screen, const Tatlas& atlas);

// Waits without sleeping until `period` seconds have passed since
// `last_frame_time`, then stores a fresh timer reading in it.
void FRAME_PACE(double& last_frame_time, double period);
