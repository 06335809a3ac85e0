// show.h - the show composed once: its scene, its renderer, its window loop.
//
// Rules:
//  - Every program that shows the show (the show itself, the capture tool,
//    the benchmarks, the GL tests, the browser page) starts it through here,
//    so they open the same screen in the same order and draw the same
//    passes; none of them needs a GL call of its own.
//  - Start-up order: the scene (its spline points drawn from the random
//    source's fixed initial state), the seed, the screen, the atlas, the
//    title. Each step is callable alone, so the start-up benchmark can time
//    them; SHOW_START runs all of them in order.
//  - SHOW_FRAME is the one frame: the frame step of scene/play.h, then the
//    drawing through show/draw.h. Stepping never draws and drawing never
//    steps, so a frame drawn or not (--fast-forward) leaves the same scene.
//  - SHOW_LOOP_FRAME is the one loop body, the desktop's window loop
//    (SHOW_RUN) and the page's animation callback alike: only the loop's head
//    and its pacing differ (Tframe_wait).
//  - The renderer lives as long as its Tshow.
#pragma once

#include <string>  // the HUD's lines
#include <vector>  // the sprite batch

#include "platform/file_watch.h"  // the scene file's saves
#include "scene/hud_layout.h"     // the HUD's box and letters, reused
#include "scene/play.h"           // the frame step and what a frame is given
#include "scene/scene.h"          // the emitters and the target point
#include "scene/scene_hud.h"      // the HUD's figures
#include "scene/scene_reload.h"   // a saved scene read again, its note
#include "scene/sprites.h"        // the frame's sprites
#include "show/draw.h"            // the renderer

constexpr char VP_SHOW_TITLE[] = "Vorpane";
constexpr char VP_SHOW_ATLAS[] = "parts.png";

// How a program wants the show; the defaults are the show's own.
struct Tshow_setup {
  const char* atlas = VP_SHOW_ATLAS;
  const Tscene_desc* scene = nullptr;  // a scene file's show; null: the built-in one
  Tdraw_setup draw;
};

struct Tshow {
  Tscene scene;
  Tplay play;
  Toverlay overlay;            // laid over every frame drawn (the capture's --glow, --bloom)
  bool timed = false;          // the HUD shows timings; the window's loop measures them
  Thud_timing timing = {0.0, 0.0, 0.0};
  Tplay_note note;             // shown under the HUD's figures, the HUD forced on
  Tdraw* draw = nullptr;
  int scale = 1;                 // window pixels per picture pixel
  std::vector<Tsprite> sprites;  // the frame's batch, kept to reuse its storage
  Thud_layout hud;

  Tshow() = default;
  ~Tshow() { DRAW_CLOSE(draw); }
  Tshow(const Tshow&) = delete;
  Tshow& operator=(const Tshow&) = delete;
};

// The three start-up steps, in the order SHOW_START runs them.
void SHOW_BUILD(Tshow& show, const Tscene_desc& scene = SCENE_BUILTIN());  // scene, then the seed
void SHOW_OPEN(Tshow& show, const Tshow_setup& setup);   // screen and its fixed state
void SHOW_LOAD_ATLAS(Tshow& show, const Tshow_setup& setup);  // atlas and title
void SHOW_START(Tshow& show, const Tshow_setup& setup = Tshow_setup());

// Decodes the atlas, a bare name looked for in the data folders
// (platform/data_path.h); a missing or undecodable file is reported in one
// line on stderr, naming the file and every folder looked in, and leaves
// `pixels` empty.
bool SHOW_READ_ATLAS(const char* file, Tatlas_pixels& pixels);

// One frame: the frame step, then, when `draw` is set, the sprites, the
// overlay, the HUD when the play shows it, and the finish. True when the
// scene was stepped (false while paused).
bool SHOW_FRAME(Tshow& show, const Tframe_input& input, bool draw = true);

// Called after each presented frame (benchmarks time the loop through it).
struct Tframe_observer {
  void (*presented)(void* context, long frame);
  void* context;
};

// How a loop waits for a frame's time and presents it.
enum class Tframe_wait {
  busy,    // FRAME_PACE, then SCREEN_FLIP: the show as it always ran
  sleep,   // FRAME_PACE_SLEEPING, then SCREEN_FLIP (--sleep-wait): the same frames and times, the core left idle
  caller,  // neither: the caller's head paces (FRAME_DUE) and something else presents (the browser)
};

// What a person exploring the show asked for, and how the program runs its
// loop; the defaults are the show as it always runs.
struct Tshow_controls {
  long start_frame = 1;    // frames before it are stepped silently, unseen
  bool paused = false;     // open paused on the first frame shown
  bool hud = false;        // open with the HUD shown
  bool timings = true;     // the HUD shows the loop's timings (not the page's: the browser draws later)
  Tframe_wait wait = Tframe_wait::busy;
  std::string scene_file;  // reloaded whenever it or a file it names is saved; empty: none
  Tscene_loader scene_loader = nullptr;  // reads scene_file; without one it is not watched
};

// Reads `file` again with `load` into the running show (SCENE_RELOAD): on
// success the new scene at the frame now on screen, paused or running as
// before; on a mistake the old scene goes on and the report is printed on
// stderr and shown on the HUD until a good save. True on success.
bool SHOW_RELOAD_SCENE(Tshow& show, const std::string& file, Tscene_loader load);

// A loop's state from one frame to the next.
struct Tshow_loop {
  explicit Tshow_loop(const Tshow_controls& controls) : controls(controls), watch(controls.scene_file) {}
  Tshow_controls controls;
  Tfile_watch watch;          // controls.scene_file, looked at every third frame
  // The other files the scene playing was read from (a format 2 scene's
  // BulletML files, at most VP_SCENE_MAX_FILES - 1), looked at with it;
  // made again when a reload changes the list.
  std::vector<std::string> named_files;
  std::vector<Tfile_watch> named;
  Tframe_input input;         // reused: reading a frame's input allocates nothing
  long presented = 0;         // frames gone through the loop's body
  double presented_at = 0.0;  // TIMER() after the last pacing wait (busy and sleep)
  const Tframe_observer* observer = nullptr;  // told after each frame
};

// The loop's prologue: paused, the HUD, its timings, and the frames before
// the start frame stepped unseen.
void SHOW_LOOP_BEGIN(Tshow& show, const Tshow_loop& loop);

// One frame's body: the scene file and the files it names looked at (a
// save of any, settled, reloads the scene file,
// SHOW_RELOAD_SCENE, within a tenth of a second), mouse and keys, SHOW_FRAME,
// the console flushed, the wait and the present unless the caller's, the
// observer told; then whether to go on: false once Escape is held after the
// frame.
bool SHOW_LOOP_FRAME(Tshow& show, Tshow_loop& loop);

// The window's loop: SHOW_LOOP_BEGIN, then SHOW_LOOP_FRAME paced by
// `controls.wait` (busy or sleep), until Escape is held after a frame, or
// until `max_frames` frames have been presented when it is positive.
// Returns the frames presented. Keys are those of scene/play.h; while paused
// the frame is still presented at the show's rate.
long SHOW_RUN(Tshow& show, long max_frames = 0, const Tframe_observer* observer = nullptr,
              const Tshow_controls& controls = Tshow_controls());

// The frame just drawn, as a person would see it.
Tpicture SHOW_READ_BACK(Tshow& show);
