// scene_reload.cpp - the reload and its note.
#include "scene/scene_reload.h"

#include <cstdio>  // the report on stderr

#include "platform/timer.h"  // the time box's clock

namespace {

// PLAY_SKIP_TO frame by frame, giving up when the budget has passed: a frame
// of the densest scene takes milliseconds, so the clock is read after each.
bool skip_within(Tscene& scene, Tplay& play, long last, const Treload_budget& budget) {
  double (*const clock)() = budget.clock ? budget.clock : TIMER;
  const double start = clock();
  while (play.frame < last) {
    PLAY_SKIP_TO(scene, play, play.frame + 1);
    if (clock() - start > budget.seconds) return play.frame >= last;
  }
  return true;
}

}  // namespace

void PLAY_SET_NOTE(Tplay& play, Tplay_note& note, const std::string& text) {
  if (note.text.empty() && !text.empty()) note.hud_before = play.hud;
  if (!text.empty()) play.hud = true;
  if (!note.text.empty() && text.empty()) play.hud = note.hud_before;
  note.text = text;
}

bool SCENE_RELOAD(Tscene& scene, Tplay& play, Tplay_note& note, const std::string& file, Tscene_loader load,
                  const Treload_budget& budget) {
  Tscene_desc desc;
  std::string errors;
  if (!load(file, desc, errors)) {
    std::fputs(errors.c_str(), stderr);
    PLAY_SET_NOTE(play, note, "not reloaded, the old scene goes on:\n" + errors);
    return false;
  }
  const long frame = play.frame;
  BUILD_SCENE(scene, desc);
  play.frame = 0;
  if (skip_within(scene, play, frame, budget)) {
    PLAY_SET_NOTE(play, note, "");
  } else {
    BUILD_SCENE(scene, scene.desc);
    play.frame = 0;
    play.steps = 1;
    PLAY_SET_NOTE(play, note, "reloaded at frame 1: frame " + std::to_string(frame) + " is more than " +
                                  std::to_string(static_cast<int>(budget.seconds * 1000)) + " ms of stepping away");
  }
  return true;
}
