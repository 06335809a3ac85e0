// scene_desc.h - what makes a show: how many emitters and where they start,
// their pools, their spline paths, and the movement and firing programmes
// they all share.
//
// Rules:
//  - The built-in show is SCENE_BUILTIN(); a scene file changes only what it
//    names (scenefile/scene_file.h).
//  - Every emitter runs the same two phase lists; emitter i starts at
//    start_angles[i]: each of its movement phases gets ANGLE = that angle,
//    each firing phase ROTATION = that angle.
//  - A firing phase's MAXBULLET is clamped to pool_size by the turret.
//  - The limits below are what the show promises to run safely: no accepted
//    description crashes it, makes a position infinite or not a number, or
//    grows its memory.
#pragma once

#include <vector>  // the lists

#include "emitters/emitter.h"  // Temitter_phase
#include "shots/turret.h"      // Tturret_phase

enum {
  VP_SCENE_MAX_EMITTERS = 64,
  VP_SCENE_MAX_POOL = 4096,
  VP_SCENE_MAX_PHASES = 64,
  VP_SCENE_MIN_SPLINE_POINTS = 4,
  VP_SCENE_MAX_SPLINE_POINTS = 1024,
};

// Where the random spline points are drawn from, in window pixels.
struct Tscene_area {
  float left;
  float top;
  float width;
  float height;
};

struct Tscene_desc {
  std::vector<int> start_angles;  // one per emitter, degrees
  int pool_size = VP_POOL_SIZE;   // bullets per turret
  int spline_points = 60;
  float spline_speed = 0.01f;     // of a segment per frame
  Tscene_area spline_area = {0.0f, 0.0f, 640.0f, 480.0f};
  std::vector<Temitter_phase> movement;  // ANGLE is set from start_angles
  std::vector<Tturret_phase> firing;     // ROTATION is set from start_angles

  int EMITTERS() const { return static_cast<int>(start_angles.size()); }
};

// The show as it always ran: four emitters a quarter turn apart, six
// movement phases, ten firing phases.
const Tscene_desc& SCENE_BUILTIN();
