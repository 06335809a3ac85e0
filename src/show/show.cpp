// show.cpp - the show's start-up, its frame, the loop's body and the window
// loop.
#include "show/show.h"

#include <algorithm>  // equal, min: the files watched
#include <cstdio>     // the warning line

#include "platform/console.h"  // the schedules' reports leave once per frame
#include "platform/data_path.h"  // where the atlas is looked for
#include "platform/random.h"   // seeded once the scene has drawn its points
#include "platform/timer.h"    // the seed, the pacing, the HUD's timings
#include "show/window.h"       // mouse, keys, present, Escape, title

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
                         show.play.note ? show.note.text + (show.note.text.empty() ? "" : "\n") + show.play.note
                                        : show.note.text),
               show.hud);
    DRAW_HUD(show.draw, show.hud);
  }
  DRAW_FINISH(show.draw);
}

// The paced waits: the frame's time, then the present. A late frame is not
// caught up (FRAME_PACE).
void present(Tshow& show, Tshow_loop& loop) {
  const double previous_present = loop.presented_at;
  if (loop.controls.wait == Tframe_wait::sleep) FRAME_PACE_SLEEPING(loop.presented_at, VP_FRAME_SECONDS);
  else FRAME_PACE(loop.presented_at, VP_FRAME_SECONDS);
  SCREEN_FLIP();
  if (loop.presented > 0) show.timing.fps = 1.0 / (loop.presented_at - previous_present);
}

// The watches follow the files the scene playing was read from, past its
// own; a list unchanged since the last look keeps its watches, and their
// state. A bad save changes no list: the old scene's files stay watched.
void watch_named(const Tshow& show, Tshow_loop& loop) {
  const std::vector<std::string>& files = show.scene.desc.files;
  const std::size_t named = files.size() > 1 ? std::min<std::size_t>(files.size(), VP_SCENE_MAX_FILES) - 1 : 0;
  const auto first = named > 0 ? files.begin() + 1 : files.end();
  if (loop.named_files.size() == named && std::equal(loop.named_files.begin(), loop.named_files.end(), first)) return;
  loop.named_files.assign(first, first + static_cast<std::ptrdiff_t>(named));
  loop.named.clear();
  for (const std::string& file : loop.named_files) loop.named.emplace_back(file);
}

// Every file is looked at, so that each watch keeps its own state.
bool any_saved(Tshow_loop& loop) {
  bool saved = loop.watch.SAVED();
  for (Tfile_watch& watch : loop.named) saved = watch.SAVED() || saved;
  return saved;
}

}  // namespace

void SHOW_BUILD(Tshow& show, const Tscene_desc& scene) {
  BUILD_SCENE(show.scene, scene);
  RANDOMIZE(TIMER());
}

bool SHOW_RELOAD_SCENE(Tshow& show, const std::string& file, Tscene_loader load) {
  return SCENE_RELOAD(show.scene, show.play, show.note, file, load);
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

void SHOW_LOAD_ATLAS(Tshow& show, const Tshow_setup& setup) {
  Tatlas_pixels pixels;
  SHOW_READ_ATLAS(setup.atlas, pixels);
  DRAW_ATLAS(show.draw, pixels);
  WINDOW_TITLE(VP_SHOW_TITLE);
}

void SHOW_START(Tshow& show, const Tshow_setup& setup) {
  SHOW_BUILD(show, setup.scene ? *setup.scene : SCENE_BUILTIN());
  SHOW_OPEN(show, setup);
  SHOW_LOAD_ATLAS(show, setup);
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

void SHOW_LOOP_BEGIN(Tshow& show, const Tshow_loop& loop) {
  show.play.paused = loop.controls.paused;
  show.play.hud = loop.controls.hud;
  show.timed = loop.controls.timings;
  if (loop.controls.start_frame > 1) PLAY_SKIP_TO(show.scene, show.play, loop.controls.start_frame - 1);
}

bool SHOW_LOOP_FRAME(Tshow& show, Tshow_loop& loop) {
  const Tshow_controls& controls = loop.controls;
  // Every third frame, a twentieth of a second: a save shows within a
  // tenth of a second of settling, and a stat call costs nothing.
  if (!controls.scene_file.empty() && controls.scene_loader && loop.presented % 3 == 0) {
    watch_named(show, loop);
    if (any_saved(loop)) SHOW_RELOAD_SCENE(show, controls.scene_file, controls.scene_loader);
  }
  read_input(show.scale, loop.input);
  SHOW_FRAME(show, loop.input);
  CONSOLE_FLUSH();
  if (controls.wait != Tframe_wait::caller) present(show, loop);
  ++loop.presented;
  if (loop.observer && loop.observer->presented) loop.observer->presented(loop.observer->context, loop.presented);
  return !KEY_HELD(VP_SCANCODE_ESCAPE);
}

long SHOW_RUN(Tshow& show, long max_frames, const Tframe_observer* observer, const Tshow_controls& controls) {
  Tshow_loop loop(controls);
  loop.observer = observer;
  SHOW_LOOP_BEGIN(show, loop);
  while (SHOW_LOOP_FRAME(show, loop)) {
    if (max_frames > 0 && loop.presented >= max_frames) break;
  }
  return loop.presented;
}

Tpicture SHOW_READ_BACK(Tshow& show) { return DRAW_READ_BACK(show.draw); }
