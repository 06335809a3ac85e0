// scene_reload.h - a scene file read again into a running play: the new
// scene at the frame on screen, or the old one going on with the mistakes
// shown, and the note that keeps them on the HUD.
//
// Rules:
//  - Needs no display and no file format: the reader is handed in
//    (Tscene_loader), so the simulation's library links no reader of its
//    own; each program passes the one that reads what its --scene takes.
//  - A good reload keeps the frame number, paused or running as before: the
//    new scene is stepped unseen (as --start-frame does) up to the frame on
//    screen. Stepping that takes longer than the time box starts the new
//    scene at frame 1 instead, so a save never freezes the show for long.
//  - A bad one changes nothing but the note: the reader's report goes to
//    stderr and into the note, word for word.
//  - A note forces the HUD on while it stands; clearing it gives back what
//    H had chosen before it came (a press of H while it stood included).
#pragma once

#include <string>  // the file, the reader's report, the note

#include "scene/play.h"        // the play the reload keeps
#include "scene/scene.h"       // the scene rebuilt
#include "scene/scene_desc.h"  // what a reader fills in

// Reads `file` into `desc`; on a mistake returns false with the report,
// one "FILE:LINE:COLUMN: ..." line a mistake, in `errors`.
using Tscene_loader = bool (*)(const std::string& file, Tscene_desc& desc, std::string& errors);

// How long a reload may spend stepping the new scene up to the frame on
// screen; past it the new scene starts at frame 1 instead.
constexpr double VP_RELOAD_SECONDS = 0.5;

// The time box of a reload: its length and the clock it is read on (null:
// TIMER), which tests replace so that nothing in them is timed.
struct Treload_budget {
  double seconds = VP_RELOAD_SECONDS;
  double (*clock)() = nullptr;
};

// Text shown under the HUD's figures, and H's choice it overrides.
struct Tplay_note {
  std::string text;         // empty: no note
  bool hud_before = false;  // what H had chosen when the note came
};

// Sets the note (empty: clears it), forcing the HUD on or giving H's choice
// back as the rules say.
void PLAY_SET_NOTE(Tplay& play, Tplay_note& note, const std::string& text);

// Reads `file` with `load` into the running play. True when the new scene
// plays (at the frame on screen, or at frame 1 with a note saying why);
// false when the old one goes on, the report on stderr and in the note.
bool SCENE_RELOAD(Tscene& scene, Tplay& play, Tplay_note& note, const std::string& file, Tscene_loader load,
                  const Treload_budget& budget = Treload_budget());
