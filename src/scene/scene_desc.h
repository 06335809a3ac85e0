// scene_desc.h - what makes a show: how many emitters and where they start,
// their pools, their spline paths, and the movement and firing programmes
// they all share; and the BulletML patterns played beside them.
//
// Rules:
//  - The built-in show is SCENE_BUILTIN(); a scene file changes only what it
//    names (scenefile/scene_file.h).
//  - Every emitter runs the same two phase lists; emitter i starts at
//    start_angles[i]: each of its movement phases gets ANGLE = that angle,
//    each firing phase ROTATION = that angle.
//  - A firing phase's MAXBULLET is clamped to pool_size by the turret.
//  - A pattern source is played by its own player (patterns/pattern_player.h),
//    its root starting at (start_x, start_y); its compiled pattern is shared,
//    never changed, so copying a description copies no pattern.
//  - A description may hold no emitter: a BulletML file alone is a scene of
//    one pattern source and no emitter, whose phase lists are then unused.
//  - Each emitter may have lists of its own (`own`, one per emitter or
//    none): an empty list is the scene's. An emitter that carries a
//    pattern's root (`carries`) only moves: its turret never runs and it is
//    not a source of its own; the pattern, which names it as `rider`, is.
//  - `order` lists every source once, as the file gave them; empty, the
//    sources are the emitters, then the patterns.
//  - The pools of a scene together hold at most VP_SCENE_MAX_BULLETS: the
//    emitters' that fire (pool_size each) and the patterns' (pool_size each).
//  - The limits below are what the show promises to run safely: no accepted
//    description crashes it, makes a position infinite or not a number, or
//    grows its memory.
#pragma once

#include <memory>  // the shared pattern
#include <string>  // a pattern's file name
#include <vector>  // the lists

#include "emitters/emitter.h"         // Temitter_phase
#include "patterns/pattern_player.h"  // Tpattern, the root's start
#include "shots/turret.h"             // Tturret_phase

enum {
  VP_SCENE_MAX_EMITTERS = 64,
  VP_SCENE_MAX_POOL = 4096,
  VP_SCENE_MAX_PHASES = 64,
  VP_SCENE_MIN_SPLINE_POINTS = 4,
  VP_SCENE_MAX_SPLINE_POINTS = 1024,
  VP_SCENE_MAX_BULLETS = VP_SCENE_MAX_EMITTERS * VP_SCENE_MAX_POOL,  // all pools together
  VP_SCENE_MAX_FILES = VP_SCENE_MAX_EMITTERS + 1,  // the scene file and a BulletML file per emitter
};

// Where the random spline points are drawn from, in window pixels.
struct Tscene_area {
  float left;
  float top;
  float width;
  float height;
};

// A BulletML pattern played in the scene.
struct Tscene_pattern {
  std::shared_ptr<const Tpattern> pattern;
  std::string file;  // as given: stderr names it, the HUD shows its last component
  double start_x = VP_PATTERN_START_X;
  double start_y = VP_PATTERN_START_Y;
  double rank = -1.0;            // 0 to 1 wins over the scene's rank; below 0: the scene's
  int pool_size = VP_PATTERN_POOL;  // bullets in flight at most
  int stream = 0;                // of its $rand (Tpattern_player::BUILD)
  int rider = -1;                // the emitter whose centre the root stands at each frame; -1: none
};

// An emitter's own lists; an empty one is the scene's.
struct Tscene_emitter_own {
  std::vector<Temitter_phase> movement;
  std::vector<Tturret_phase> firing;
  int carries = -1;  // the pattern whose root it carries; -1: it fires with its turret
};

// One source of the scene: an emitter (index into the emitters) or a
// pattern (index into `patterns`).
struct Tscene_source {
  bool pattern;
  int index;
};

struct Tscene_desc {
  std::vector<int> start_angles;  // one per emitter, degrees
  int pool_size = VP_POOL_SIZE;   // bullets per turret
  int spline_points = 60;
  float spline_speed = 0.01f;     // of a segment per frame
  Tscene_area spline_area = {0.0f, 0.0f, 640.0f, 480.0f};
  std::vector<Temitter_phase> movement;  // ANGLE is set from start_angles
  std::vector<Tturret_phase> firing;     // ROTATION is set from start_angles
  std::vector<Tscene_pattern> patterns;  // played after the emitters, in this order
  std::vector<Tscene_emitter_own> own;   // empty, or one per emitter
  std::vector<Tscene_source> order;      // empty: the emitters, then the patterns
  std::vector<std::string> files;        // what it was read from, its own file first; empty: the built-in show

  int EMITTERS() const { return static_cast<int>(start_angles.size()); }
};

// The show as it always ran: four emitters a quarter turn apart, six
// movement phases, ten firing phases.
const Tscene_desc& SCENE_BUILTIN();
