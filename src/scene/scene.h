// scene.h - the show built from its description: the emitters, their
// movement and firing programmes, the BulletML patterns' players, and the
// one target point.
//
// Rules:
//  - GL-free: the trace tool and the unit tests run the scene without a
//    window.
//  - The scene must not move after BUILD_SCENE: every turret points at its
//    `target`.
//  - BUILD_SCENE rewinds the random source to its fixed initial state and
//    draws the spline points from it (the built-in show: 60 points for each
//    of four emitters, x before y, 480 values), so every build, in every
//    program, has the same paths.
//  - A scene keeps the description it was built from: a rebuild (Page Up,
//    a backwards skip) builds the same show.
//  - A scene owns its emitters and destroys them last to first when it
//    ends; it is never copied.
//  - Sources are numbered in `sources`: the description's order, or, when
//    it gives none, emitters first (0 .. emitter_count - 1), then the
//    patterns in the description's order; scene/scene_bodies.h gives what
//    is in flight of both kinds. An emitter that carries a pattern's root
//    is no source: it moves (its phases, no turret) before the patterns are
//    stepped, and its pattern's root then stands at its sprite's centre.
//  - BUILD_SCENE sizes each pattern's player (its pools) and leaves `rank`
//    and the held $rand as they are: they are how the scene is played, not
//    what it is, so a rebuild (Page Up, a reload) keeps them. Stepping
//    allocates nothing.
//  - Each pattern prints one status line per frame on the console (frame,
//    bullets in flight, missed, rank): on row 2 + its index when the scene
//    has no emitter, where the emitters' reports would stand, else below
//    them from row 8. A fault its player finds is written on stderr once,
//    "FILE:LINE:COLUMN: what (frame N)".
#pragma once

#include <vector>  // which emitters are shown, the patterns' players

#include "emitters/emitter.h"   // Temitter; Ttarget_point comes with its turret
#include "scene/scene_desc.h"   // what the scene is built from

enum { VP_EMITTER_COUNT = 4 };  // the built-in show's

struct Tscene {
  Temitter* emitters = nullptr;  // one allocation of emitter_count
  int emitter_count = 0;
  Ttarget_point target = {0.0f, 0.0f};
  // Whether each emitter was active in the last frame stepped, and so is
  // shown with its bullets (scene/sprites.h); all are before the first.
  std::vector<int> shown;
  Tscene_desc desc;
  std::vector<Tpattern_player> players;  // one per desc.patterns, same order
  std::vector<Tscene_source> sources;    // desc.order, or the emitters then the patterns
  std::vector<int> faults_reported;      // per player: its faults already on stderr
  double rank = 0.5;                     // every pattern's $rank, 0 to 1
  bool hold_rand = false;                // every $rand is rand_value instead of a draw
  double rand_value = 0.5;

  Tscene() = default;
  ~Tscene();
  Tscene(const Tscene&) = delete;
  Tscene& operator=(const Tscene&) = delete;
};

// Builds the emitters, their phases and spline paths, rewinds every
// schedule and points every turret at `scene.target` (set to 0, 0). A scene
// built before is destroyed first, so this also starts the show over. The
// first form builds the built-in show, the second the given one; the
// description must keep the limits of scene_desc.h (the scene file reader
// checks them).
void BUILD_SCENE(Tscene& scene);
void BUILD_SCENE(Tscene& scene, const Tscene_desc& desc);

// Destroys the emitters, last to first, and frees their allocation;
// harmless on a scene that holds none.
void DESTROY_SCENE(Tscene& scene);

// One frame of an active emitter: phase step, movement, turret. Returns -1
// when the emitter was active (and should be drawn), else 0.
int STEP_EMITTER(Temitter& emitter);

// Emitter i's phase lists: its own where it has them, else the scene's; a
// carrier's firing list is empty (its turret never runs).
const std::vector<Temitter_phase>& SCENE_MOVEMENT_OF(const Tscene& scene, int i);
const std::vector<Tturret_phase>& SCENE_FIRING_OF(const Tscene& scene, int i);

// The rank pattern p plays at: its own when it has one, else the scene's.
inline double SCENE_PATTERN_RANK(const Tscene& scene, int p) {
  const double own = scene.desc.patterns[static_cast<std::size_t>(p)].rank;
  return own >= 0.0 ? own : scene.rank;
}

// One frame of the whole scene without drawing: the emitters as ever, then
// each pattern's player with the scene's target and rank; records `shown`. Programs
// step frames through PLAY_STEP (scene/play.h), which calls this.
void STEP_SCENE(Tscene& scene);
