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
//  - The renderer lives as long as its Tshow.
#pragma once

#include <string>  // the HUD's lines
#include <vector>  // the sprite batch

#include "scene/hud_layout.h"  // the HUD's box and letters, reused
#include "scene/play.h"        // the frame step and what a frame is given
#include "scene/scene.h"       // the emitters and the target point
#include "scene/scene_hud.h"   // the HUD's figures
#include "scene/sprites.h"     // the frame's sprites
#include "show/draw.h"         // the renderer

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
  std::string note;            // shown under the HUD's figures, the HUD forced on
  bool hud_before_note = false;  // what H had chosen before the note forced the HUD
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
void SHOW_LOAD(Tshow& show, const Tshow_setup& setup);   // atlas and title
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

// What a person exploring the show asked for; the defaults are the show as
// it always runs.
struct Tshow_controls {
  long start_frame = 1;    // frames before it are stepped silently, unseen
  bool paused = false;     // open paused on the first frame shown
  bool hud = false;        // open with the HUD shown
  std::string scene_file;  // reloaded whenever it is saved; empty: none
};

// How long a reload may spend stepping the new scene up to the frame on
// screen; past it the new scene starts at frame 1 instead.
constexpr double VP_RELOAD_SECONDS = 0.5;

// Reads `file` again into the running show: on success the new scene at the
// frame now on screen (stepped unseen, as --start-frame does), paused or
// running as before; on a mistake the old scene goes on and the report is
// printed on stderr and shown on the HUD until a good save. True on success.
bool SHOW_RELOAD(Tshow& show, const std::string& file);

// The window's loop: mouse and keys, SHOW_FRAME, the pacing wait, present;
// until Escape is held after a frame, or until `max_frames` frames have been
// presented when it is positive. Returns the frames presented. Keys are
// those of scene/play.h; while paused the frame is still presented at the
// show's rate. With a scene file, each save is reloaded (SHOW_RELOAD) within
// a tenth of a second of settling.
long SHOW_RUN(Tshow& show, long max_frames = 0, const Tframe_observer* observer = nullptr,
              const Tshow_controls& controls = Tshow_controls());

// The frame just drawn, as a person would see it.
Tpicture SHOW_READ_BACK(Tshow& show);
