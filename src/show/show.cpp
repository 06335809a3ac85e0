// show.cpp - the show's start-up, its frame and its window loop.
#include "show/show.h"

#include <cstdio>     // the warning line

#include "platform/console.h"  // the schedules' reports leave once per frame
#include "platform/data_path.h"  // where the atlas is looked for
#include "scenefile/scene_load.h"  // reloads, of either kind
#include "show/scene_watch.h"      // saves of the scene file
#include "platform/random.h"   // seeded once the scene has drawn its points
#include "platform/timer.h"    // the seed, the pacing, the HUD's timings
#include "window/window.h"     // mouse, keys, present, Escape, title

namespace {

// Window pixels to picture pixels; (-1, -1), no position, stays as it is.
Ttarget_point read_mouse(int scale) {
  int x = -1, y = -1;
  MOUSE_POSITION(x, y);
  if (x >= 0) x /= scale;
  if (y >= 0) y /= scale;
  return Ttarget_point{static_cast<float>(x), static_cast<float>(y)};
}

void read_input(int scale, Tframe_input& input) {
  input.target = read_mouse(scale);
  input.key_count = 0;
  while (input.key_count < VP_FRAME_KEYS && KEY_PRESS(input.keys[input.key_count])) ++input.key_count;
}

void draw_frame(Tshow& show) {
  SCENE_SPRITES(show.scene, show.sprites);
  DRAW_SPRITES(show.draw, show.sprites);
  DRAW_OVERLAY(show.draw, show.overlay, show.sprites);
  if (show.play.hud) {
    HUD_LAYOUT(HUD_LINES(show.scene, show.play.frame, show.timed ? &show.timing : nullptr,
                         show.play.note ? show.note + (show.note.empty() ? "" : "\n") + show.play.note : show.note),
               show.hud);
    DRAW_HUD(show.draw, show.hud);
  }
  DRAW_FINISH(show.draw);
}

// A note forces the HUD on; clearing it gives H's choice back.
void set_note(Tshow& show, const std::string& note) {
  if (show.note.empty() && !note.empty()) show.hud_before_note = show.play.hud;
  if (!note.empty()) show.play.hud = true;
  if (!show.note.empty() && note.empty()) show.play.hud = show.hud_before_note;
  show.note = note;
}

// PLAY_SKIP_TO frame by frame, giving up when `seconds` have passed: a frame
// of the densest scene takes milliseconds, so the clock is read after each.
bool skip_within(Tscene& scene, Tplay& play, long last, double seconds) {
  const double start = TIMER();
  while (play.frame < last) {
    PLAY_SKIP_TO(scene, play, play.frame + 1);
    if (TIMER() - start > seconds) return play.frame >= last;
  }
  return true;
}

}  // namespace

void SHOW_BUILD(Tshow& show, const Tscene_desc& scene) {
  BUILD_SCENE(show.scene, scene);
  RANDOMIZE(TIMER());
}

bool SHOW_RELOAD(Tshow& show, const std::string& file) {
  Tscene_desc desc;
  std::string errors;
  if (!SCENE_LOAD(file, desc, errors)) {
    std::fputs(errors.c_str(), stderr);
    set_note(show, "not reloaded, the old scene goes on:\n" + errors);
    return false;
  }
  const long frame = show.play.frame;
  BUILD_SCENE(show.scene, desc);
  show.play.frame = 0;
  if (skip_within(show.scene, show.play, frame, VP_RELOAD_SECONDS)) {
    set_note(show, "");
  } else {
    BUILD_SCENE(show.scene, show.scene.desc);
    show.play.frame = 0;
    show.play.steps = 1;
    set_note(show, "reloaded at frame 1: frame " + std::to_string(frame) + " is more than " +
                       std::to_string(static_cast<int>(VP_RELOAD_SECONDS * 1000)) + " ms of stepping away");
  }
  return true;
}

void SHOW_OPEN(Tshow& show, const Tshow_setup& setup) {
  show.draw = DRAW_OPEN(setup.draw);
  show.scale = setup.draw.scale;
}

bool SHOW_READ_ATLAS(const char* file, Tatlas_pixels& pixels) {
  std::vector<std::string> tried;
  if (ATLAS_DECODE_FILE(DATA_FILE_FIND(file, tried).c_str(), pixels)) return true;
  const std::string folder = DATA_PLACES(tried);
  std::fprintf(stderr,
               "Vorpane: cannot load the sprite atlas \"%s\" from %s (missing, not a PNG, or over %u pixels a side or "
               "%llu megapixels); sprites are drawn as white squares\n",
               file, folder.c_str(), VP_ATLAS_MAX_SIDE, VP_ATLAS_MAX_PIXELS / (1024ull * 1024ull));
  return false;
}

void SHOW_LOAD(Tshow& show, const Tshow_setup& setup) {
  Tatlas_pixels pixels;
  SHOW_READ_ATLAS(setup.atlas, pixels);
  DRAW_ATLAS(show.draw, pixels);
  WINDOW_TITLE(VP_SHOW_TITLE);
}

void SHOW_START(Tshow& show, const Tshow_setup& setup) {
  SHOW_BUILD(show, setup.scene ? *setup.scene : SCENE_BUILTIN());
  SHOW_OPEN(show, setup);
  SHOW_LOAD(show, setup);
}

bool SHOW_FRAME(Tshow& show, const Tframe_input& input, bool draw) {
  const double start = show.timed ? TIMER() : 0.0;
  const bool stepped = PLAY_STEP(show.scene, show.play, input);
  const double stepped_at = show.timed ? TIMER() : 0.0;
  if (draw) draw_frame(show);
  if (show.timed) {
    // A paused frame keeps showing the last stepped frame's figure.
    if (stepped) show.timing.sim_us = (stepped_at - start) * 1e6;
    show.timing.draw_ms = (TIMER() - stepped_at) * 1e3;
  }
  return stepped;
}

long SHOW_RUN(Tshow& show, long max_frames, const Tframe_observer* observer, const Tshow_controls& controls) {
  show.play.paused = controls.paused;
  show.play.hud = controls.hud;
  show.timed = true;
  if (controls.start_frame > 1) PLAY_SKIP_TO(show.scene, show.play, controls.start_frame - 1);
  Tfile_watch watch(controls.scene_file);
  Tframe_input input;
  double last_frame_time = 0.0;
  long presented = 0;
  for (;;) {
    // Every third frame, a twentieth of a second: a save shows within a
    // tenth of a second of settling, and a stat call costs nothing.
    if (!controls.scene_file.empty() && presented % 3 == 0 && watch.SAVED()) SHOW_RELOAD(show, controls.scene_file);
    read_input(show.scale, input);
    SHOW_FRAME(show, input);
    CONSOLE_FLUSH();
    const double previous_present = last_frame_time;
    FRAME_PACE(last_frame_time, VP_FRAME_SECONDS);
    SCREEN_FLIP();
    if (presented > 0) show.timing.fps = 1.0 / (last_frame_time - previous_present);
    ++presented;
    if (observer && observer->presented) observer->presented(observer->context, presented);
    if (KEY_HELD(1)) break;
    if (max_frames > 0 && presented >= max_frames) break;
  }
  return presented;
}

Tpicture SHOW_READ_BACK(Tshow& show) { return DRAW_READ_BACK(show.draw); }
