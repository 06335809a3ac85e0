// pattern_text.h - BulletML text read and played in the tests: a pattern
// from inline XML, its mistakes as "LINE:COLUMN: message" lines, the
// bullets in flight frame by frame, and a scene playing a pattern. No test
// framework here.
#pragma once

#include <memory>  // the scene's shared pattern
#include <string>  // the XML, the mistakes
#include <vector>  // frames of rows

#include "bulletml/bulletml_read.h"   // the reader
#include "patterns/pattern_player.h"  // the player
#include "scene/scene_desc.h"         // a scene of a pattern

// The pattern of `xml`; false with its mistakes in `mistakes`.
inline bool PATTERN_TEXT(const std::string& xml, Tpattern& pattern, std::string& mistakes) {
  std::vector<Tbulletml_mistake> found;
  const bool ok = BULLETML_READ("test.xml", xml, pattern, found);
  mistakes.clear();
  for (const Tbulletml_mistake& m : found)
    mistakes += std::to_string(m.line) + ":" + std::to_string(m.column) + ": " + m.message + "\n";
  return ok;
}

// The mistakes of `xml`, "" when it is good.
inline std::string PATTERN_MISTAKES(const std::string& xml) {
  Tpattern pattern;
  std::string mistakes;
  PATTERN_TEXT(xml, pattern, mistakes);
  return mistakes;
}

// A file whose only top action holds `commands`.
inline std::string TOP_ACTION(const std::string& commands) {
  return "<bulletml><action label=\"top\">" + commands + "</action></bulletml>";
}

struct Tpattern_row {
  long long number;
  double x, y;
};

// One frame as the trace prints it: the root, then the bullets in flight.
struct Tpattern_frame {
  double root_x, root_y;
  std::vector<Tpattern_row> shots;
};

// `frames` frames of `player` with the same input each; element 0 is frame 1.
inline std::vector<Tpattern_frame> PATTERN_FRAMES(Tpattern_player& player, const Tpattern_input& input, int frames) {
  std::vector<Tpattern_frame> out;
  for (int f = 0; f < frames; ++f) {
    player.STEP(input);
    Tpattern_frame frame{player.ROOT().x, player.ROOT().y, {}};
    for (int i = 0; i < player.IN_FLIGHT(); ++i)
      frame.shots.push_back(Tpattern_row{player.SHOT(i).number, player.SHOT(i).x, player.SHOT(i).y});
    out.push_back(frame);
  }
  return out;
}

// The frames (from 1) in which a bullet was fired.
inline std::vector<int> FIRING_FRAMES(const std::vector<Tpattern_frame>& frames) {
  std::vector<int> out;
  long long last = 0;
  for (std::size_t f = 0; f < frames.size(); ++f) {
    for (const Tpattern_row& row : frames[f].shots) {
      if (row.number > last) {
        if (out.empty() || out.back() != static_cast<int>(f + 1)) out.push_back(static_cast<int>(f + 1));
        last = row.number;
      }
    }
  }
  return out;
}

// A scene of one pattern source and no emitter, as SCENE_LOAD makes of a
// BulletML file, from a pattern already read; `file` is what the HUD and the
// fault lines name.
inline Tscene_desc PATTERN_SCENE(const Tpattern& pattern, const std::string& file = "test.xml") {
  Tscene_desc desc;
  desc.start_angles.clear();
  desc.movement.clear();
  desc.firing.clear();
  Tscene_pattern source;
  source.pattern = std::make_shared<const Tpattern>(pattern);
  source.file = file;
  desc.patterns.push_back(source);
  return desc;
}
