// scene_phases.h - the frames at which the show's emitters and turrets enter
// a phase, worked out from the phase durations instead of by running the show.
//
// Rules:
//  - Frames are counted as the show counts them: frame 1 is the first
//    STEP_SCENE after BUILD_SCENE. An entry frame is one in which a
//    schedule's MANAGE_LIST applies a phase (returns -1); every schedule
//    enters its phase 1 in frame 1.
//  - The timing is the schedule's own: a record of ACTIVETIME t is counted
//    down for max(t, 0) + 1 calls, the next phase being entered in the last;
//    the all-zero constructor record opens every cycle, counted from 0 in the
//    first cycle and from the last phase's ACTIVETIME in every later one.
//    So cycle 0 differs from the rest and cycles 1, 2, ... repeat with a
//    fixed period, which is what lets any frame be answered in O(log n).
//  - Nothing here runs the simulation, prints or allocates after
//    construction; answers hold only while the schedules are the scene's own,
//    rewound by BUILD_SCENE and stepped once per frame from then on.
#pragma once

#include <vector>  // the phase durations and the entry offsets

#include "scene/scene.h"  // the scene's phase lists

// The entry frames of one schedule: the owner's constructor record followed
// by phases of the given ACTIVETIMEs (at least one).
class Tphase_timeline {
 public:
  explicit Tphase_timeline(const std::vector<int>& durations);

  // The first entry frame after `frame`: 1 for any frame below 1.
  long NEXT_ENTRY(long frame) const;
  // The last entry frame before `frame`; 0 when there is none (frame <= 1).
  long PREVIOUS_ENTRY(long frame) const;

 private:
  // The frame at which the cycle holding `frame` (>= 1) begins.
  long cycle_start(long frame) const;
  long next_cycle_start(long start) const { return start < second_cycle_ ? second_cycle_ : start + period_; }

  std::vector<long> offsets_;  // entry of phase k+1 minus entry of phase 1, within one cycle
  long second_cycle_ = 0;      // where cycle 1 begins: the second entry of phase 1
  long period_ = 0;            // frames of each cycle from cycle 1 on
};

// The whole scene (movement and firing schedules of all its emitters, which
// share their durations): the first frame after `frame` at which any of
// them enters a phase, and the last one before it (0 when there is none).
// Timelines are worked out on each call: a key press's worth of work.
long NEXT_PHASE_FRAME(const Tscene& scene, long frame);
long PREVIOUS_PHASE_FRAME(const Tscene& scene, long frame);
