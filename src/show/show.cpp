// show.cpp - the show's start-up, its frame and its window loop.
#include "show/show.h"

#include <unistd.h>  // getcwd, for the warning that names the folder

#include <climits>  // PATH_MAX
#include <cstdio>   // the warning line

#include "platform/console.h"  // the schedules' reports leave once per frame
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
    HUD_LAYOUT(HUD_LINES(show.scene, show.play.frame, show.timed ? &show.timing : nullptr), show.hud);
    DRAW_HUD(show.draw, show.hud);
  }
  DRAW_FINISH(show.draw);
}

}  // namespace

void SHOW_BUILD(Tshow& show) {
  BUILD_SCENE(show.scene);
  RANDOMIZE(TIMER());
}

void SHOW_OPEN(Tshow& show, const Tshow_setup& setup) {
  show.draw = DRAW_OPEN(setup.draw);
  show.scale = setup.draw.scale;
}

bool SHOW_READ_ATLAS(const char* file, Tatlas_pixels& pixels) {
  if (ATLAS_DECODE_FILE(file, pixels)) return true;
  char folder[PATH_MAX];
  if (!getcwd(folder, sizeof folder)) std::snprintf(folder, sizeof folder, "(unknown folder)");
  std::fprintf(stderr,
               "Vorpane: cannot load the sprite atlas \"%s\" from %s (missing, not a PNG, or over %u pixels a side or "
               "%llu megapixels); sprites are drawn as white squares\n",
               file, folder, VP_ATLAS_MAX_SIDE, VP_ATLAS_MAX_PIXELS / (1024ull * 1024ull));
  return false;
}

void SHOW_LOAD(Tshow& show, const Tshow_setup& setup) {
  Tatlas_pixels pixels;
  SHOW_READ_ATLAS(setup.atlas, pixels);
  DRAW_ATLAS(show.draw, pixels);
  WINDOW_TITLE(VP_SHOW_TITLE);
}

void SHOW_START(Tshow& show, const Tshow_setup& setup) {
  SHOW_BUILD(show);
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
  Tframe_input input;
  double last_frame_time = 0.0;
  long presented = 0;
  for (;;) {
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
