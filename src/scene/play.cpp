// play.cpp - the frame step and the explore keys.
#include "scene/play.h"

#include <cmath>  // nearbyint: the rank's tenths

#include "platform/console.h"  // skipped frames are not reported
#include "scene/scene_phases.h"  // where Page Down and Page Up land

namespace {

void step(Tscene& scene, Tplay& play, Ttarget_point target) {
  scene.target = target;
  STEP_SCENE(scene);
  ++play.frame;
}

constexpr char k_no_phases[] = "Page Up and Page Down: a BulletML scene has no phases to jump between";

void press(Tscene& scene, Tplay& play, Tkey key) {
  const bool page = key == VP_KEY_PAGE_DOWN || key == VP_KEY_PAGE_UP;
  if (!page) play.note = nullptr;
  if (page && scene.emitter_count == 0) {
    play.note = k_no_phases;
    play.hud = true;
    return;
  }
  switch (key) {
    case VP_KEY_SPACE: play.paused = !play.paused; break;
    case VP_KEY_RIGHT:
    case VP_KEY_PERIOD:
      if (play.paused) ++play.steps;  // each press one frame, presses in one frame too
      break;
    case VP_KEY_H: play.hud = !play.hud; break;
    case VP_KEY_PAGE_DOWN:
    case VP_KEY_PAGE_UP: {
      // Land on the frame before the entry, so that the entry itself is
      // stepped, drawn and reported like any other frame.
      const long to = key == VP_KEY_PAGE_DOWN ? NEXT_PHASE_FRAME(scene, play.frame)
                                               : PREVIOUS_PHASE_FRAME(scene, play.frame);
      if (to < 1) break;
      PLAY_SKIP_TO(scene, play, to - 1);
      play.steps = 1;
      break;
    }
    case VP_KEY_MINUS: scene.rank = PLAY_RANK_STEP(scene.rank, false); break;
    case VP_KEY_PLUS: scene.rank = PLAY_RANK_STEP(scene.rank, true); break;
    case VP_KEY_ESCAPE: break;  // held, not pressed, ends the show
  }
}

}  // namespace

double PLAY_RANK_STEP(double rank, bool up) {
  double tenths = std::nearbyint(rank * 10.0) + (up ? 1.0 : -1.0);
  if (tenths < 0.0) tenths = 0.0;
  if (tenths > 10.0) tenths = 10.0;
  return tenths / 10.0;
}

bool PLAY_STEP(Tscene& scene, Tplay& play, const Tframe_input& input) {
  for (int i = 0; i < input.key_count; ++i) press(scene, play, input.keys[i]);
  if (play.steps == 0 && play.paused) return false;
  if (play.steps > 0) --play.steps;
  step(scene, play, input.target);
  return true;
}

void PLAY_SKIP_TO(Tscene& scene, Tplay& play, long last, Ttarget_point target) {
  if (last < play.frame) {
    // Its own description: the one-argument form would build the built-in
    // show in place of a scene file's.
    BUILD_SCENE(scene, scene.desc);
    play.frame = 0;
  }
  Tconsole_quiet quiet;
  while (play.frame < last) step(scene, play, target);
}
