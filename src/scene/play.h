// play.h - one frame of the show as a person plays it: the keys of that
// frame, the target point, and the simulation stepped once (or not, while
// paused).
//
// Rules:
//  - PLAY_STEP is the one frame step. The window's loop, the capture, the
//    benchmarks and the browser's animation callback all reach the
//    simulation through it (show/show.h adds the drawing); skipping ahead is
//    PLAY_SKIP_TO, the same step with the console quiet.
//  - Frames are counted as the show counts them: frame 1 is the first step
//    after BUILD_SCENE, and `frame` is the number of frames stepped so far,
//    which is the number of the frame on screen.
//  - Keys act on presses, in the order they came, before the frame is
//    stepped. Escape is not a key here: the loop that owns the window ends
//    the show when it is held.
//  - The target is written into the scene only on a frame that is stepped;
//    while paused nothing in the scene changes but the rank.
//  - The rank keys step it by a tenth, on the tenths: a press takes the
//    nearest tenth (ties to even) one step down or up, clamped to 0 .. 1,
//    and stores k / 10.0, so ten presses from 0 give exactly 1 and any
//    number of presses lands on the same value by any road.
//  - A scene without emitters has no phases: Page Down and Up leave it as it
//    is and say so in `note` (the HUD shows it, and is turned on to show it);
//    the next other key clears the note.
#pragma once

#include "platform/keys.h"  // Tkey: the presses a frame is given
#include "scene/scene.h"    // the scene stepped, its target point

constexpr int VP_FRAMES_PER_SECOND = 60;
constexpr double VP_FRAME_SECONDS = 1.0 / VP_FRAMES_PER_SECOND;
// The last frame any program starts on or captures: about 19 days of show.
constexpr long VP_LAST_FRAME = 100000000;

enum { VP_FRAME_KEYS = 64 };  // presses one frame takes; the window queues no more

// Where the mouse is when it is outside the window or the window is not the
// active one.
constexpr Ttarget_point VP_NO_TARGET = {-1.0f, -1.0f};

// What one frame is given: where the mouse is (-1, -1: outside the window)
// and the keys pressed since the previous frame, oldest first.
struct Tframe_input {
  Ttarget_point target = VP_NO_TARGET;
  Tkey keys[VP_FRAME_KEYS] = {};
  int key_count = 0;
};

// How the show is being played.
struct Tplay {
  long frame = 0;      // frames stepped since the scene was built
  bool paused = false;
  bool hud = false;    // the HUD is drawn over the frame
  long steps = 1;      // frames to step even while paused; the first frame always is
  const char* note = nullptr;  // what the last key has to say on the HUD; null: nothing
};

// The rank after one press of a rank key: `up` or down by a tenth, as the
// rules above say.
double PLAY_RANK_STEP(double rank, bool up);

// Applies the frame's keys, then steps the scene once unless paused with no
// step pending. True when a frame was stepped.
bool PLAY_STEP(Tscene& scene, Tplay& play, const Tframe_input& input);

// Steps unseen and unreported, with the mouse at `target` in every frame,
// until `play.frame` is `last`; a `last` behind it rebuilds the scene first,
// from the description it was built from.
void PLAY_SKIP_TO(Tscene& scene, Tplay& play, long last, Ttarget_point target = VP_NO_TARGET);
