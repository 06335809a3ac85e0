// scene_hud.h - the HUD's lines of text: frame, each emitter's movement and
// firing phase, its turret's bullets, each pattern's file and bullets, the
// rank, and the last frame's timings.
//
// Rules:
//  - Reads the scene and nothing else; no GL, no console, no state of its own.
//  - Every line fits in VP_HUD_COLUMNS characters of the 5 x 7 font (the
//    frame number and a miss count past a million may widen theirs).
//  - Names follow what the objects do, not what a field claims: the movement
//    name comes from the pattern procedure in force, the firing name from the
//    turret's current parameter block (rule in FIRING_NAME).
#pragma once

#include <string>  // one HUD line
#include <vector>  // the lines, top first

#include "scene/scene.h"  // Tscene, Temitter, Tturret

enum {
  VP_HUD_COLUMNS = 40,
  // With the header, the timing line and a note, the lines still fit in the
  // 480-pixel picture (52 lines of the 5 x 7 font).
  VP_HUD_EMITTER_ROWS = 40,
  VP_HUD_NOTE_ROWS = 8
};

// The last frame's costs, as measured by the frame loop.
struct Thud_timing {
  double sim_us;   // stepping the scene, microseconds
  double draw_ms;  // drawing the frame, milliseconds
  double fps;      // frames per second
};

// The word VP_MOVEMENT_PATTERNS gives the pattern procedure the emitter moves
// by ("linear", "orbit", ...); "?" for a procedure outside the table.
const char* MOVEMENT_NAME(const Temitter& emitter);

// A short name for the pattern the turret fires with its current parameters,
// from VP_BULLET_MOTIONS and VP_FIRING_MODES.
const char* FIRING_NAME(const Tturret& turret);

// Bullets of the turret's pool (its first MAXBULLET) now in flight.
int BULLETS_IN_FLIGHT(const Tturret& turret);

// The HUD, top line first:
//   frame 7600
//      move       fire       flying missed
//   E0 6 spline   10 aimed       96      0      (one line per emitter)
//      pattern                flying missed    (when the scene has patterns)
//   P0 turning-spiral.xml        360      0    (one line per pattern)
//   rank 0.50
//   P0 line 12: stopped: ...                   (each fault its player found)
//   sim 85 us  draw 3.2 ms  60 fps
//   (a note: a scene file's mistakes, a reload's news, wrapped)
// A scene of patterns alone leaves out the emitters' header; a pattern's
// file shows its last path component, cut to 21 characters.
// `frame` is the number of frames stepped since BUILD_SCENE. Without
// `timing` (a capture, which has no real-time figures) the timing line is
// left out. Past VP_HUD_EMITTER_ROWS emitters one line says how many more
// there are; past VP_HUD_NOTE_ROWS lines the note ends in "...".
std::vector<std::string> HUD_LINES(const Tscene& scene, long frame, const Thud_timing* timing,
                                   const std::string& note = std::string());

// `text` broken into lines of at most `columns` characters, at blanks where
// it can and inside a word where it must; '\n' always breaks.
std::vector<std::string> HUD_WRAP(const std::string& text, std::size_t columns);
