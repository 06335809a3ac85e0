// scene_hud.cpp - HUD text from the scene's state.
#include "scene/scene_hud.h"

#include <cstdarg>  // va_list: one checked printf-style helper
#include <cstdio>   // vsnprintf: fixed-width columns
#include <cstdlib>  // labs: the width of a shot's spread

#include "scene/scene_bodies.h"  // bullets in flight, of both kinds

namespace {

// A shot narrower than this many degrees reads as one thick line.
constexpr long k_stream_spread = 10;
// A pattern's file name fills the emitter table's two name columns and the
// blank between them.
constexpr std::size_t k_pattern_name_columns = 21;
// In the emitter table, a file's name fills the fire column less its blank.
constexpr std::size_t k_file_columns = 10;

// Longer results are cut at 127 characters; no HUD line comes near that.
__attribute__((format(printf, 1, 2))) std::string format(const char* pattern, ...) {
  char buffer[128];
  va_list args;
  va_start(args, pattern);
  std::vsnprintf(buffer, sizeof buffer, pattern, args);
  va_end(args);
  return buffer;
}

// The last component of a path: the HUD has no room for folders.
std::string file_name(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  if (name.size() > k_pattern_name_columns) name.resize(k_pattern_name_columns);
  return name;
}

// Each fault a player found; named by its pattern (P0) or, where the file
// gave every emitter its place, by its emitter (E2).
void fault_lines(const Tscene& scene, std::vector<std::string>& lines) {
  const bool by_emitter = !scene.desc.order.empty();
  const int sources = static_cast<int>(scene.sources.size());
  for (int source = 0; source < sources; ++source) {
    const Tscene_source& s = scene.sources[static_cast<std::size_t>(source)];
    if (!s.pattern) continue;
    const Tpattern_player& player = scene.players[static_cast<std::size_t>(s.index)];
    for (int i = 0; i < player.FAULT_COUNT(); ++i) {
      const Tpattern_fault& f = player.FAULT(i);
      const std::string text = format("%c%d line %d: %s", by_emitter ? 'E' : 'P', by_emitter ? source : s.index,
                                      f.line, PATTERN_FAULT_TEXT(f.kind));
      for (const std::string& line : HUD_WRAP(text, VP_HUD_COLUMNS)) lines.push_back(line);
    }
  }
}

}  // namespace

const char* MOVEMENT_NAME(const Temitter& emitter) {
  for (const Tmovement_pattern& p : VP_MOVEMENT_PATTERNS)
    if (emitter.AI_PROC() == p.proc) return p.name;
  return "?";
}

// The first rule that matches names the pattern:
//  - none:    an inactive turret or no bullets per shot fires nothing.
//  - the bullet motion's HUD word, where VP_BULLET_MOTIONS has one:
//             "aimed" bullets stop and then set off at the target, whatever
//             the shape they were fired in.
//  - stream:  one or two bullets per shot, or a whole shot under 10 degrees
//             wide: each shot adds a dot to lines that the turning turret
//             draws out.
//  - the firing mode's HUD word in VP_FIRING_MODES, its stepped one when
//    speeds step: "chevron" for parallel bullets whose speeds grow from the
//    middle out (a travelling V), "wall" for equal ones; "sweep", a
//    one-sided fan; "fan", a centred one; "wave", an equal-speed fan whose
//    speed rises shot by shot through the wave (alternating two widths or
//    not), as every mode outside the table fires.
// The show's ten firing phases read: stream, chevron, sweep, stream, chevron,
// wave, fan, sweep, sweep, aimed.
const char* FIRING_NAME(const Tturret& turret) {
  const int n = turret.BULLETS_PER_SHOT();
  if (turret.ACTIVE() == 0 || n <= 0) return "none";
  const Tbullet_motion* motion = BULLET_MOTION(turret.BULLET_TYPE());
  if (motion && motion->hud) return motion->hud;
  if (n <= 2 || std::labs(static_cast<long>(n) * turret.SPREAD_ROTATION()) < k_stream_spread) return "stream";
  const Tfiring_mode& mode = FIRING_MODE(turret.WAVEMODE());
  return turret.BULLETSPEED_DELTA() != 0.0f ? mode.hud_stepped : mode.hud;
}

int BULLETS_IN_FLIGHT(const Tturret& turret) {
  int flying = 0;
  for (int i = 0; i < turret.MAXBULLET(); ++i)
    if (turret.BULLET(i).ACTIVE() != 0) ++flying;
  return flying;
}

namespace {

// The emitter table: a line for each of the first `sources` sources, in the
// scene's order (a format 1 scene's emitters come first); a BulletML
// emitter's move is its carrier's phase ("-" where its root moves as its
// file says), its fire its file's name. Phase numbers are LISTINDEX: 0
// while a schedule wraps, when the last phase's pattern is still in force.
void emitter_lines(const Tscene& scene, const std::vector<int>& flying, int sources, std::vector<std::string>& lines) {
  lines.push_back(format("%-3s%-11s%-11s%6s%7s", "", "move", "fire", "flying", "missed"));
  const int rows = sources > VP_HUD_EMITTER_ROWS ? VP_HUD_EMITTER_ROWS - 1 : sources;
  for (int source = 0; source < rows; ++source) {
    const Tscene_source& s = scene.sources[static_cast<std::size_t>(source)];
    std::string move = "-", fire;
    if (!s.pattern) {
      const Temitter& e = scene.emitters[s.index];
      move = format("%d %s", e.LISTINDEX(), MOVEMENT_NAME(e));
      fire = format("%d %s", e.turret.LISTINDEX(), FIRING_NAME(e.turret));
    } else {
      const Tscene_pattern& pattern = scene.desc.patterns[static_cast<std::size_t>(s.index)];
      if (pattern.rider >= 0) {
        const Temitter& e = scene.emitters[pattern.rider];
        move = format("%d %s", e.LISTINDEX(), MOVEMENT_NAME(e));
      }
      fire = file_name(pattern.file).substr(0, k_file_columns);
    }
    lines.push_back(format("E%-2d%-11s%-11s%6d%7lld", source, move.c_str(), fire.c_str(),
                           flying[static_cast<std::size_t>(source)], SCENE_MISSED(scene, source)));
  }
  if (rows < sources) lines.push_back(format("+ %d more emitters", sources - rows));
}

}  // namespace

std::vector<std::string> HUD_WRAP(const std::string& text, std::size_t columns) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start <= text.size() && columns > 0) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string rest = text.substr(start, end - start);
    while (rest.size() > columns) {
      std::size_t cut = rest.rfind(' ', columns);
      const std::size_t next = (cut == std::string::npos || cut == 0) ? columns : cut + 1;
      if (cut == std::string::npos || cut == 0) cut = columns;
      lines.push_back(rest.substr(0, cut));
      rest = rest.substr(next);
    }
    if (!rest.empty()) lines.push_back(rest);
    start = end + 1;
  }
  return lines;
}

std::vector<std::string> HUD_LINES(const Tscene& scene, long frame, const Thud_timing* timing,
                                   const std::string& note) {
  std::vector<std::string> lines;
  lines.push_back(format("frame %ld", frame));
  std::vector<int> flying(static_cast<std::size_t>(SCENE_SOURCES(scene)), 0);
  SCENE_EACH_BODY(scene, [&flying](const Tscene_body& body) {
    if (body.kind == VP_SPRITE_BULLET) ++flying[static_cast<std::size_t>(body.source)];
  });
  const int patterns = static_cast<int>(scene.players.size());
  const bool own_tables = !scene.desc.order.empty();
  if (own_tables)
    emitter_lines(scene, flying, SCENE_SOURCES(scene), lines);
  else if (scene.emitter_count > 0 || patterns == 0)
    emitter_lines(scene, flying, scene.emitter_count, lines);
  if (patterns > 0) {
    if (!own_tables) {
      lines.push_back(format("%-3s%-22s%6s%7s", "", "pattern", "flying", "missed"));
      for (int p = 0; p < patterns; ++p) {
        const int source = scene.emitter_count + p;
        const std::string name = file_name(scene.desc.patterns[static_cast<std::size_t>(p)].file);
        lines.push_back(format("P%-2d%-22s%6d%7lld", p, name.c_str(), flying[static_cast<std::size_t>(source)],
                               SCENE_MISSED(scene, source)));
      }
    }
    lines.push_back(format("rank %.2f", scene.rank));
    fault_lines(scene, lines);
  }
  if (timing)
    lines.push_back(format("sim %.0f us  draw %.1f ms  %.0f fps", timing->sim_us, timing->draw_ms, timing->fps));
  std::vector<std::string> wrapped = HUD_WRAP(note, VP_HUD_COLUMNS);
  if (wrapped.size() > VP_HUD_NOTE_ROWS) {
    wrapped.resize(VP_HUD_NOTE_ROWS);
    wrapped.back() = "...";
  }
  lines.insert(lines.end(), wrapped.begin(), wrapped.end());
  return lines;
}
