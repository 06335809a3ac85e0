// frame.h - one frame of the show and the frame loop around it.
//
// Rules:
//  - A frame is: mouse into the target, clear, 2D view, for each active
//    emitter in index order its phase step, movement, turret and bullets and
//    then its sprites, back to the 3D view, pacing, present, Escape check.
//  - Pacing busy-waits until 1/60 s has passed since the previous frame was
//    released; a late frame is not caught up.
//  - Escape is looked at only after a frame has been presented.
#pragma once

#include "game/atlas.h"    // sprites
#include "game/scene.h"    // emitters and the target point
#include "render/screen.h"  // views

constexpr double VP_FRAME_SECONDS = 1.0 / 60.0;

// Steps 2 to 6: draw and advance every active emitter. The target point must
// already hold this frame's mouse position.
void FRAME_RENDER(Tscene& scene, Tscreen& screen, const Tatlas& atlas);

// Step 5's drawing alone: every active emitter and its bullets as they
// stand. Expects the state FRAME_RENDER sets up around it: 2D view,
// texturing and additive blending on, atlas bound.
void FRAME_DRAW_SPRITES(const Tscene& scene, const Tatlas& atlas);

// Steps 2 to 6 without stepping anything: the frame FRAME_RENDER drew,
// drawn once more (into the glow's small area, say).
void FRAME_REDRAW(const Tscene& scene, Tscreen& screen, const Tatlas& atlas);

// Step 7: waits without sleeping until VP_FRAME_SECONDS have passed since
// `last_frame_time`, then stores a fresh timer reading in it.
void FRAME_PACE(double& last_frame_time);

// Called after each presented frame (benchmarks time the loop through it).
struct Tframe_observer {
  void (*presented)(void* context, long frame);
  void* context;
};

// The frame loop: runs until Escape is held after a frame, or until
// `max_frames` frames have run when it is positive. Returns the frames run.
long RUN_FRAME_LOOP(Tscene& scene, Tscreen& screen, const Tatlas& atlas, long max_frames = 0,
                    const Tframe_observer* observer = nullptr);
