// scene.h - the fixed show: four emitters a quarter turn apart, their
// movement and firing programmes, and the one target point.
//
// Rules:
//  - GL-free: the trace tool and the unit tests run the scene without a
//    window.
//  - The scene must not move after BUILD_SCENE: every turret points at its
//    `target`.
//  - BUILD_SCENE rewinds the random source to its fixed initial state and
//    draws 480 values from it (60 spline points per emitter, x before y), so
//    every build, in every program, has the same paths.
//  - A scene owns its emitters and destroys them (3, 2, 1, 0) when it ends;
//    it is never copied.
#pragma once

#include "emitters/emitter.h"  // Temitter; Ttarget_point comes with its turret

enum { VP_EMITTER_COUNT = 4 };
enum { VP_EMITTER_PHASES = 6, VP_TURRET_PHASES = 10 };  // phases each schedule adds

struct Tscene {
  Temitter* emitters = nullptr;  // one allocation of VP_EMITTER_COUNT
  Ttarget_point target = {0.0f, 0.0f};
  // Whether each emitter was active in the last frame stepped, and so is
  // shown with its bullets (scene/sprites.h); all are before the first.
  int shown[VP_EMITTER_COUNT] = {};

  Tscene() = default;
  ~Tscene();
  Tscene(const Tscene&) = delete;
  Tscene& operator=(const Tscene&) = delete;
};

// Builds the emitters, their phases and spline paths, rewinds every
// schedule and points every turret at `scene.target` (set to 0, 0). A scene
// built before is destroyed first, so this also starts the show over.
void BUILD_SCENE(Tscene& scene);

// Destroys emitters 3, 2, 1, 0 and frees their allocation; harmless on a
// scene that holds none.
void DESTROY_SCENE(Tscene& scene);

// One frame of an active emitter: phase step, movement, turret. Returns -1
// when the emitter was active (and should be drawn), else 0.
int STEP_EMITTER(Temitter& emitter);

// One frame of the whole scene without drawing; records `shown`. Programs
// step frames through PLAY_STEP (scene/play.h), which calls this.
void STEP_SCENE(Tscene& scene);

// The ACTIVETIME of movement phase k and of firing phase k, numbered from 1
// as LISTINDEX counts them (the same for all four emitters); any other k is
// fatal.
int SCENE_EMITTER_PHASE_TIME(int k);
int SCENE_TURRET_PHASE_TIME(int k);
