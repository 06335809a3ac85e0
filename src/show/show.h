// show.h - the show composed once: its window, title, atlas and frame
// period, its start-up order, its loop and the passes that draw over it.
//
// Rules:
//  - Every program that runs the show (the show itself, the capture tool,
//    the benchmarks, the GL tests) starts it through here, so they open the
//    same screen in the same order and draw with the same GL state; none of
//    them needs a GL call of its own.
//  - Start-up order: the scene (its spline points drawn from the random
//    source's fixed initial state), the seed, the screen, the atlas, the
//    title. Each step is callable alone, so the start-up benchmark can time
//    them; SHOW_START runs all of them in order.
//  - The overlay pass restores every GL state it changes; the sprite pass
//    (game/frame.h) sets every state it relies on.
//  - The show's screen lives as long as its Tshow; the scene cleans up after
//    itself.
#pragma once

#include <memory>  // the screen is made in place once the scene exists

#include "gl/atlas.h"      // the sprites
#include "scene/scene.h"      // the emitters and the target point
#include "scene/scene_hud.h"  // the HUD's figures
#include "gl/screen.h"   // the window, views, glow and bloom

constexpr int VP_SHOW_WIDTH = 640;
constexpr int VP_SHOW_HEIGHT = 480;
constexpr int VP_SHOW_DEPTH = 32;
constexpr int VP_SHOW_SAMPLES = 2;
constexpr char VP_SHOW_TITLE[] = "Vorpane";
constexpr char VP_SHOW_ATLAS[] = "parts.png";
constexpr double VP_FRAME_SECONDS = 1.0 / 60.0;

// How a program wants the show's screen; the defaults are the show's own.
struct Tshow_setup {
  const char* atlas = VP_SHOW_ATLAS;
  int samples = VP_SHOW_SAMPLES;  // the benchmarks compare 0 with the show's 2
  bool hidden = false;            // an offscreen window (capture, tests)
  int scale = 1;                  // a window this many times larger, 1 to 4
};

// Members in this order so that the scene goes first at the end, while the
// screen and its context still exist.
struct Tshow {
  std::unique_ptr<Tscreen> screen;
  Tatlas atlas;
  Tscene scene;
  int scale = 1;             // window pixels per picture pixel
  unsigned upscale_texture = 0;  // the picture, copied for a larger window
};

// The three start-up steps, in the order SHOW_START runs them.
void SHOW_BUILD(Tshow& show);                            // scene, then the seed
void SHOW_OPEN(Tshow& show, const Tshow_setup& setup);   // screen and its GL state
void SHOW_LOAD(Tshow& show, const Tshow_setup& setup);   // atlas and title
void SHOW_START(Tshow& show, const Tshow_setup& setup = Tshow_setup());

// Called after each presented frame (benchmarks time the loop through it).
struct Tframe_observer {
  void (*presented)(void* context, long frame);
  void* context;
};

// What a person exploring the show asked for; the defaults are the show as
// it always runs.
struct Tshow_controls {
  long start_frame = 1;  // frames before it are stepped silently, unseen
  bool paused = false;   // open paused on the first frame shown
  bool hud = false;      // open with the HUD shown
};

// The frame loop: runs until Escape is held after a frame, or until
// `max_frames` frames have been presented when it is positive. Returns the
// frames presented. Keys (window.h): Space pauses and resumes; Right or '.'
// steps one frame while paused; Page Down and Page Up jump to the next and
// previous frame at which an emitter or a turret enters a phase; H shows or
// hides the HUD. While paused nothing is stepped and nothing is reported,
// but the frame is still presented at the show's rate.
long SHOW_RUN(Tshow& show, long max_frames = 0, const Tframe_observer* observer = nullptr,
              const Tshow_controls& controls = Tshow_controls());

// Steps the scene silently, unseen and with the mouse outside the window,
// from `frame` (the frames stepped so far) up to `last`; a `last` behind
// `frame` rebuilds the scene first. Afterwards `frame` is `last`.
void SHOW_SKIP_TO(Tshow& show, long& frame, long last);

// The library's glow or bloom laid over the frame just drawn: the frame
// once more into the small corner area, that area into its texture (blurred
// for the bloom), then the frame again with the texture stretched over it.
struct Toverlay {
  enum Tkind { none, glow, bloom } kind = none;
  float glow_alpha = 0.0f;
  int bloom_passes = 0;
};
void SHOW_DRAW_OVERLAY(Tshow& show, const Toverlay& overlay);

// The HUD over the frame just drawn: frame number, phases, bullets and,
// given `timing`, the last frame's figures.
void SHOW_DRAW_HUD(Tshow& show, long frame, const Thud_timing* timing);

// The frame just drawn, as a person would see it.
Tpicture SHOW_READ_BACK();
