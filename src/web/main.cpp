// main.cpp - the show in a browser page: started by the page's script, then
// one frame whenever a sixtieth of a second has passed, from the browser's
// animation callback, until Escape is held after a frame.
//
//   callMain([START_FRAME, "paused" | "running", [SCENE_FILE]])
//
// The page's script reads the address (?start-frame=N&paused&scale=K and
// scene=NAME), checks it, scales the canvas, writes the atlas and the scene
// into the file system and calls main; the scale is the page's alone.
// Everything else is the desktop's show: SHOW_START, the loop's body
// (SHOW_LOOP_FRAME), the same keys, a scene file's mistakes reported in the
// same words on stderr (which the page shows). The schedules' console
// reports are not printed on the web.
#include <emscripten.h>  // the animation callback, the page's hooks

#include <cstdio>   // the scene's report on stderr
#include <cstdlib>  // strtol of the page's arguments
#include <cstring>  // strcmp
#include <string>   // the scene's report

#include "platform/console.h"      // reports silenced
#include "platform/timer.h"        // FRAME_DUE
#include "scenefile/scene_load.h"  // a scene the page names, of either kind
#include "show/show.h"             // the show and the loop's body

namespace {

struct Tpage_show {
  explicit Tpage_show(const Tshow_controls& controls) : loop(controls) {}
  Tshow show;
  Tshow_loop loop;
  double due = 0.0;  // when the next frame is
  bool ended = false;
};

Tpage_show* g_page = nullptr;

// The loop's head: FRAME_DUE picks the callbacks that take a frame, and the
// browser presents it once this returns.
void animation_callback() {
  Tpage_show& page = *g_page;
  if (!FRAME_DUE(page.due, TIMER(), VP_FRAME_SECONDS)) return;
  const bool go_on = SHOW_LOOP_FRAME(page.show, page.loop);
  if (page.loop.presented == 1) {
    EM_ASM({
      if (Module.onFirstFrame) Module.onFirstFrame();
    });
  }
  if (!go_on) {
    page.ended = true;
    emscripten_cancel_main_loop();
    EM_ASM({
      if (Module.onShowEnded) Module.onShowEnded();
    });
  }
}

}  // namespace

// What the page and its tests read back, polled by the page's script.
extern "C" {
EMSCRIPTEN_KEEPALIVE long vorpane_frame() { return g_page ? g_page->show.play.frame : 0; }
EMSCRIPTEN_KEEPALIVE long vorpane_presented() { return g_page ? g_page->loop.presented : 0; }
EMSCRIPTEN_KEEPALIVE int vorpane_paused() { return g_page && g_page->show.play.paused ? 1 : 0; }
EMSCRIPTEN_KEEPALIVE int vorpane_hud() { return g_page && g_page->show.play.hud ? 1 : 0; }
EMSCRIPTEN_KEEPALIVE int vorpane_ended() { return g_page && g_page->ended ? 1 : 0; }

// A scene file the page wrote (pasted, or opened from disk) read into the
// running show as the desktop reads a saved --scene file: 1 when it plays, 0
// when the old scene goes on, its mistakes on stderr and on the HUD.
EMSCRIPTEN_KEEPALIVE int vorpane_play_scene(const char* path) {
  return g_page && !g_page->ended && SHOW_RELOAD_SCENE(g_page->show, path, g_page->loop.controls.scene_loader) ? 1 : 0;
}
}

int main(int argc, char** argv) {
  const long start_frame = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 1;
  const bool paused = argc > 2 && std::strcmp(argv[2], "paused") == 0;
  // A scene with a mistake starts nothing, as on the desktop; main's status
  // tells the page, which shows the report.
  Tscene_desc scene;
  Tshow_setup setup;
  if (argc > 3) {
    std::string errors;
    if (!SCENE_LOAD(argv[3], scene, errors)) {
      std::fputs(errors.c_str(), stderr);
      return 2;
    }
    setup.scene = &scene;
  }
  CONSOLE_SILENCE();
  Tshow_controls controls;
  controls.start_frame = start_frame;
  controls.paused = paused;
  // No timings on the HUD: the browser draws after the callback returns,
  // so a drawing time measured inside it would be a fraction of the real
  // one. The HUD is then the capture tool's.
  controls.timings = false;
  controls.wait = Tframe_wait::caller;
  controls.scene_loader = SCENE_LOAD;
  g_page = new Tpage_show(controls);
  SHOW_START(g_page->show, setup);
  SHOW_LOOP_BEGIN(g_page->show, g_page->loop);
  // The browser calls back once per display refresh; FRAME_DUE picks the
  // calls that step the show. main returns at once and the page lives on.
  emscripten_set_main_loop(animation_callback, 0, false);
  return 0;
}
