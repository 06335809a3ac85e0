// main.cpp - the show in a browser page: started by the page's script, then
// one frame whenever a sixtieth of a second has passed, from the browser's
// animation callback, until Escape is held after a frame.
//
//   callMain([START_FRAME, "paused" | "running", RANK, [SCENE_FILE]])
//
// The page's script reads the address (?start-frame=N&paused&scale=K&rank=R
// and scene=NAME, or a scene in the fragment), checks it, scales the canvas, writes the atlas and the scene
// into the file system and calls main; the scale is the page's alone.
// Everything else is the desktop's show: SHOW_START, the loop's body
// (SHOW_LOOP_FRAME), the same keys, a scene file's mistakes in the same
// words. The schedules' console reports are not printed on the web.
//
// The page's editor hands each text it holds to vorpane_edit_scene, which
// checks it and plays it when it is good; its mistakes come back as records
// (vorpane_mistake_*), which the page marks in the text. The page's buttons
// press the show's keys (vorpane_press) and a touch aims (vorpane_aim),
// both through the window's own input, so PLAY_STEP takes them as it takes
// keys and the pointer.
//
// A format 2 scene's BulletML files come only from what the page holds: the
// files it opened or had dropped on it (VP_PAGE_OPENED, by name; they win)
// and the shipped scenes (VP_PAGE_SHIPPED). Any other name, a folder's
// included, is a mistake at its `bulletml` key: nothing else of the
// program's file system (the atlas, the editor's own text, /dev) is a file a
// scene may name.
#include <emscripten.h>  // the animation callback, the page's hooks

#include <cstdio>   // the scene's report on stderr
#include <cstdlib>  // strtol, strtod of the page's arguments
#include <cstring>  // strcmp
#include <string>   // the scene's report
#include <vector>   // the edited scene's mistakes

#include "platform/console.h"      // reports silenced
#include "platform/textfile.h"     // READ_WHOLE_FILE of a file the page holds
#include "platform/timer.h"        // FRAME_DUE
#include "bulletml/bulletml_read.h"  // VP_BULLETML_MAX_FILE_BYTES
#include "scenefile/scene_load.h"    // a scene the page names, of either kind
#include "show/show.h"             // the show and the loop's body
#include "webgl/window_web.h"      // the buttons' presses, a touch's aim

namespace {

// The folders of the page's files, written by its script.
constexpr const char* VP_PAGE_OPENED = "/opened/";
constexpr const char* VP_PAGE_SHIPPED = "/shipped/";

struct Tpage_show {
  explicit Tpage_show(const Tshow_controls& controls) : loop(controls) {}
  Tshow show;
  Tshow_loop loop;
  double due = 0.0;  // when the next frame is
  bool ended = false;
};

Tpage_show* g_page = nullptr;
// The mistakes of the text the editor last handed in; empty once one plays.
std::vector<Tmistake> g_mistakes;

// The names the scene files read since the editor's last text asked for.
std::vector<std::string> g_asked;

// A BulletML file a scene names, from the files the page holds; the path is
// the name as written (the editor's texts stand at the root).
bool page_source(const std::string& path, std::string& text, std::string& why) {
  g_asked.push_back(path);
  why = "the page has only the shipped scenes' files and the files opened into it";
  if (path.empty() || path.find('/') != std::string::npos) return false;
  std::string not_here;
  for (const char* folder : {VP_PAGE_OPENED, VP_PAGE_SHIPPED}) {
    if (READ_WHOLE_FILE(std::string(folder) + path, VP_BULLETML_MAX_FILE_BYTES, "a BulletML file", text, not_here)) return true;
  }
  return false;
}

// SCENE_LOAD with the page's source, for SHOW_START and every reload.
bool page_load(const std::string& path, Tscene_desc& desc, std::string& errors) {
  std::vector<Tmistake> mistakes;
  errors.clear();
  if (SCENE_LOAD_CHECK(path, desc, mistakes, page_source)) return true;
  for (const Tmistake& m : mistakes) errors += MISTAKE_TEXT(m) + "\n";
  return false;
}

const Tmistake* mistake_at(int i) {
  return i >= 0 && static_cast<std::size_t>(i) < g_mistakes.size() ? &g_mistakes[static_cast<std::size_t>(i)] : nullptr;
}

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
EMSCRIPTEN_KEEPALIVE double vorpane_rank() { return g_page ? g_page->show.scene.rank : 0.0; }
// The BulletML patterns the scene plays (the rank acts on them alone).
EMSCRIPTEN_KEEPALIVE int vorpane_patterns() {
  return g_page ? static_cast<int>(g_page->show.scene.desc.patterns.size()) : 0;
}

// A scene file the page's editor wrote, checked; when it has no mistake it
// is read into the running show as the desktop reads a saved --scene file
// (SHOW_RELOAD_SCENE). Returns the number of mistakes (0: it plays), or -1
// when no show runs. A text with mistakes leaves the show, its HUD and
// stderr as they are: the editor shows them.
EMSCRIPTEN_KEEPALIVE int vorpane_edit_scene(const char* path) {
  g_mistakes.clear();
  g_asked.clear();
  if (!g_page || g_page->ended) return -1;
  Tscene_desc desc;
  if (!SCENE_LOAD_CHECK(path, desc, g_mistakes, page_source)) return static_cast<int>(g_mistakes.size());
  SHOW_RELOAD_SCENE(g_page->show, path, g_page->loop.controls.scene_loader);
  return 0;
}

// Whether the editor's last text named the BulletML file `name`, found or
// not: a file of that name opened into the page is then read with it again.
EMSCRIPTEN_KEEPALIVE int vorpane_names(const char* name) {
  for (const std::string& asked : g_asked)
    if (asked == name) return 1;
  return 0;
}

// The BulletML files the playing scene was read from besides its own, and
// the name of file i of them ("" past the last): a scene that names any
// cannot be carried by an address, which holds one text.
EMSCRIPTEN_KEEPALIVE int vorpane_named_files() {
  return g_page && !g_page->show.scene.desc.files.empty()
             ? static_cast<int>(g_page->show.scene.desc.files.size()) - 1
             : 0;
}
EMSCRIPTEN_KEEPALIVE const char* vorpane_named_file(int i) {
  return i >= 0 && i < vorpane_named_files() ? g_page->show.scene.desc.files[static_cast<std::size_t>(i) + 1].c_str()
                                             : "";
}

// Mistake i of the last vorpane_edit_scene; "" and 0 past the last.
EMSCRIPTEN_KEEPALIVE const char* vorpane_mistake_file(int i) { return mistake_at(i) ? mistake_at(i)->file.c_str() : ""; }
EMSCRIPTEN_KEEPALIVE long vorpane_mistake_line(int i) { return mistake_at(i) ? mistake_at(i)->line : 0; }
EMSCRIPTEN_KEEPALIVE long vorpane_mistake_column(int i) { return mistake_at(i) ? mistake_at(i)->column : 0; }
EMSCRIPTEN_KEEPALIVE const char* vorpane_mistake_message(int i) {
  return mistake_at(i) ? mistake_at(i)->message.c_str() : "";
}

// A button's press of the show's key for `what` ("pause", "step",
// "prev-phase", "next-phase", "hud", "rank-down", "rank-up"), taken by the next frame as the key's
// press is. 0 for a name the show has no key for.
EMSCRIPTEN_KEEPALIVE int vorpane_press(const char* what) {
  static const struct {
    const char* name;
    Tkey key;
  } k_buttons[] = {{"pause", VP_KEY_SPACE},          {"step", VP_KEY_RIGHT}, {"prev-phase", VP_KEY_PAGE_UP},
                   {"next-phase", VP_KEY_PAGE_DOWN}, {"hud", VP_KEY_H},        {"rank-down", VP_KEY_MINUS},
                   {"rank-up", VP_KEY_PLUS}};
  for (const auto& button : k_buttons) {
    if (std::strcmp(button.name, what) != 0) continue;
    WINDOW_WEB_PRESS(button.key);
    return 1;
  }
  return 0;
}

// A touch at (x, y) canvas pixels aims there, as the pointer would.
EMSCRIPTEN_KEEPALIVE void vorpane_aim(double x, double y) { WINDOW_WEB_AIM(x, y); }
}

int main(int argc, char** argv) {
  const long start_frame = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 1;
  const bool paused = argc > 2 && std::strcmp(argv[2], "paused") == 0;
  const double rank = argc > 3 ? std::strtod(argv[3], nullptr) : 0.5;
  // A scene with a mistake starts nothing, as on the desktop; main's status
  // tells the page, which shows the report.
  Tscene_desc scene;
  Tshow_setup setup;
  if (argc > 4) {
    std::string errors;
    if (!page_load(argv[4], scene, errors)) {
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
  controls.scene_loader = page_load;
  g_page = new Tpage_show(controls);
  SHOW_START(g_page->show, setup);
  g_page->show.scene.rank = rank;  // before the frames stepped up to the start frame
  SHOW_LOOP_BEGIN(g_page->show, g_page->loop);
  // The browser calls back once per display refresh; FRAME_DUE picks the
  // calls that step the show. main returns at once and the page lives on.
  emscripten_set_main_loop(animation_callback, 0, false);
  return 0;
}
