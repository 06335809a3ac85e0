// scene_file.cpp - the scene file reader: TOML through toml++, every key
// checked against its range, every mistake reported where it stands.
#include "scenefile/scene_file.h"

#include <sys/stat.h>  // what kind of file a path names

// Header-only, without exceptions: a parse failure is a value like any
// other mistake, and nothing else in the program throws.
#define TOML_EXCEPTIONS 0
#define TOML_ENABLE_FORMATTERS 0
// toml++ 3.3 leaves one precondition of its own unchecked: a table header
// whose name opens with a character no key can start with ("[[[1]]]", "[[=",
// "[[" and a NUL) reaches its key parser, where the precondition is an
// assert (a build without NDEBUG aborts on such a file) or, with NDEBUG under
// clang, __builtin_assume (undefined behaviour). With its assertions made
// no-ops and NDEBUG hidden while it is included, such a header takes the
// parser's own error path in every build. Fixed upstream after 3.3
// (marzer/tomlplusplus#301).
#pragma push_macro("NDEBUG")
#undef NDEBUG
#define TOML_ASSERT(expr) static_assert(true)
#include <toml++/toml.h>  // the parser, with line and column for every value
#pragma pop_macro("NDEBUG")

#include <algorithm>  // min of three, max
#include <cerrno>   // why a file cannot be read
#include <cmath>    // isfinite
#include <cstdio>   // snprintf of values in messages
#include <cstdlib>  // strtof: floats as the decimal written
#include <cstring>  // strerror
#include <fstream>  // the file
#include <vector>   // line starts, candidate keys

namespace {

struct Tword {
  const char* word;
  int value;
};

// Firing modes, rotation procedures and bullet motions each get a word of
// their own per value the turret knows.
const Tword k_modes[] = {{"one-sided", 2}, {"centred", 3}, {"alternating", 4}, {"parallel", 5}, {"even", 0}};
const Tword k_turnings[] = {{"wrap", 0}, {"sweep", 1}};
const Tword k_motions[] = {{"straight", 0}, {"accelerating", 1}, {"damped", 2}, {"aimed", 3}};

std::size_t edit_distance(const std::string& a, const std::string& b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0u : 1u)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

std::string number_text(double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.9g", value);
  return buffer;
}

const char* kind_of(const toml::node& node) {
  switch (node.type()) {
    case toml::node_type::string: return "a string";
    case toml::node_type::integer: return "a whole number";
    case toml::node_type::floating_point: return "a number with a fraction";
    case toml::node_type::boolean: return "true or false";
    case toml::node_type::table: return "a table";
    case toml::node_type::array: return "a list";
    default: return "a date or time";
  }
}

class Treader {
 public:
  Treader(const std::string& text, const std::string& name) : text_(text), name_(name) {
    line_starts_.push_back(0);
    for (std::size_t i = 0; i < text.size(); ++i)
      if (text[i] == '\n') line_starts_.push_back(i + 1);
  }

  std::string errors;

  void error(const toml::source_region& at, const std::string& what) {
    errors += name_ + ":" + std::to_string(at.begin.line) + ":" + std::to_string(at.begin.column) + ": " + what + "\n";
  }

  // Every key a table may hold is asked for by one of the reads below,
  // present or not; the keys asked since the last check are its known ones.
  const toml::node* ask(const toml::table& table, const char* key) {
    asked_.push_back(key);
    return table.get(key);
  }

  // Unknown keys are mistakes; a near miss names the key meant. Called once
  // a table's keys have all been asked for.
  void check_keys(const toml::table& table, const std::string& where) {
    const std::vector<const char*> known = asked_;
    asked_.clear();
    for (auto&& [key, node] : table) {
      const std::string name(key.str());
      const char* best = nullptr;
      std::size_t best_distance = 0;
      for (const char* k : known) {
        if (name == k) {
          best = k;
          best_distance = 0;
          break;
        }
        const std::size_t d = edit_distance(name, k);
        if (!best || d < best_distance) {
          best = k;
          best_distance = d;
        }
      }
      if (best_distance == 0 && best) continue;
      std::string what = "unknown key `" + name + "`" + where;
      if (best && best_distance <= std::max<std::size_t>(2, name.size() / 3))
        what += "; did you mean `" + std::string(best) + "`?";
      error(key.source(), what);
    }
  }

  void whole(const toml::table& table, const char* key, long long min, long long max, int& out) {
    const toml::node* node = ask(table, key);
    if (!node) return;
    const auto value = node->value_exact<std::int64_t>();
    if (!node->is_integer() || !value) {
      error(node->source(), "`" + std::string(key) + "` wants a whole number, not " + kind_of(*node));
    } else if (*value < min || *value > max) {
      error(node->source(), "`" + std::string(key) + "` is " + std::to_string(*value) + "; it must be from " +
                                std::to_string(min) + " to " + std::to_string(max));
    } else {
      out = static_cast<int>(*value);
    }
  }

  bool number_of(const toml::node& node, const std::string& what, double min, double max, float& out) {
    if (!node.is_number()) {
      error(node.source(), what + " wants a number, not " + kind_of(node));
      return false;
    }
    const double value = node.is_integer() ? static_cast<double>(*node.value<std::int64_t>()) : *node.value<double>();
    if (!std::isfinite(value) || value < min || value > max) {
      error(node.source(), what + " is " + number_text(value) + "; it must be from " + number_text(min) + " to " +
                               number_text(max));
      return false;
    }
    out = node.is_integer() ? static_cast<float>(value) : float_as_written(node, value);
    return true;
  }

  void number(const toml::table& table, const char* key, double min, double max, float& out) {
    if (const toml::node* node = ask(table, key)) number_of(*node, "`" + std::string(key) + "`", min, max, out);
  }

  void flag(const toml::table& table, const char* key, int& out) {
    const toml::node* node = ask(table, key);
    if (!node) return;
    if (!node->is_boolean()) {
      error(node->source(), "`" + std::string(key) + "` wants true or false, not " + kind_of(*node));
      return;
    }
    out = *node->value<bool>() ? 1 : 0;
  }

  template <std::size_t N>
  void word(const toml::table& table, const char* key, const Tword (&words)[N], int& out) {
    std::vector<Tword> all(words, words + N);
    word_of(table, key, all, out);
  }

  void word_of(const toml::table& table, const char* key, const std::vector<Tword>& words, int& out) {
    const toml::node* node = ask(table, key);
    if (!node) return;
    std::string allowed;
    for (std::size_t i = 0; i < words.size(); ++i)
      allowed += std::string(i == 0 ? "" : i + 1 == words.size() ? " or " : ", ") + "\"" + words[i].word + "\"";
    if (!node->is_string()) {
      error(node->source(), "`" + std::string(key) + "` wants one of " + allowed + ", not " + kind_of(*node));
      return;
    }
    const std::string given = *node->value<std::string>();
    for (const Tword& w : words)
      if (given == w.word) {
        out = w.value;
        return;
      }
    error(node->source(), "`" + std::string(key) + "` is \"" + given + "\"; it must be one of " + allowed);
  }

  // A [table] or nothing; anything else is reported.
  const toml::table* table_at(const toml::table& table, const char* key) {
    const toml::node* node = ask(table, key);
    if (!node) return nullptr;
    if (!node->is_table()) error(node->source(), "`" + std::string(key) + "` wants a table ([" + key + "])");
    return node->as_table();
  }

  // A [[list]] of 1 to VP_SCENE_MAX_PHASES tables, or nothing.
  const toml::array* phases_at(const toml::table& table, const char* key) {
    const toml::node* node = ask(table, key);
    if (!node) return nullptr;
    const toml::array* phases = node->as_array();
    if (!phases || !phases->is_array_of_tables() || phases->empty() || phases->size() > VP_SCENE_MAX_PHASES) {
      error(node->source(), "`" + std::string(key) + "` wants 1 to " + std::to_string(VP_SCENE_MAX_PHASES) +
                                " phases, each a [[" + key + "]] table");
      return nullptr;
    }
    return phases;
  }

 private:
  // The decimal as written, rounded once to float: going through the
  // parser's double first could round twice.
  float float_as_written(const toml::node& node, double value) const {
    const auto& at = node.source().begin;
    if (at.line < 1 || at.line > line_starts_.size()) return static_cast<float>(value);
    std::string token;
    for (std::size_t p = line_starts_[at.line - 1] + at.column - 1;
         p < text_.size() && text_[p] != '\0' && std::strchr("0123456789+-.eE_", text_[p]); ++p)
      if (text_[p] != '_') token += text_[p];
    char* end = nullptr;
    const float exact = token.empty() ? 0.0f : std::strtof(token.c_str(), &end);
    // Trusted only when it is the parser's number (a column counted past
    // other text on the line could point elsewhere).
    const bool same = end && *end == '\0' && std::fabs(static_cast<double>(exact) - value) <= std::fabs(value) * 1e-6;
    return same ? exact : static_cast<float>(value);
  }

  const std::string& text_;
  std::string name_;
  std::vector<std::size_t> line_starts_;
  std::vector<const char*> asked_;
};

std::vector<Tword> pattern_words() {
  std::vector<Tword> words;
  for (int i = 0; i < VP_MOVEMENT_PATTERN_COUNT; ++i) words.push_back(Tword{VP_MOVEMENT_PATTERNS[i].name, i});
  return words;
}

// A phase a file leaves mostly empty: where the built-in show's phases agree,
// their value; else a value that shows something.
Temitter_phase default_movement() {
  Temitter_phase p;
  p.ACTIVETIME = 1300;
  p.X = 320.0f;
  p.Y = 240.0f;
  p.XCENTER = 320.0f;
  p.YCENTER = 240.0f;
  p.ACTIVE = 1;
  p.ANGLE_SPEED = 2;
  p.RADIUS_DELTA = 2;
  p.AI = AI_CIRCLE_ID;
  return p;
}

Tturret_phase default_firing() {
  Tturret_phase p = SCENE_BUILTIN().firing[1];  // the fixed fields: energy, frames, active
  p.ACTIVETIME = 700;
  p.YG = 0.0f;
  p.MAXSPAWNDELAY = 5;
  p.MAXBULLET = VP_SCENE_MAX_POOL;  // the pool's size, whatever it is
  p.BULLETS_PER_SHOT = 6;
  p.SPREAD_ROTATION = 36;
  p.BULLETSPEED = 2.0f;
  p.BULLETSPEED_DELTA = 0.0f;
  p.BULLETOFFSET = 1.0f;
  p.WAVEMODE = 3;
  p.BULLETCOUNTERDELAY = 0;
  p.BULLETWAVEMAX = 0;
  p.BULLETWAVEMAXDELAY = 2;
  p.BULLET_TYPE = 0;
  return p;
}

// Ranges that several keys share: positions and speeds in pixels (per
// frame), durations in frames.
constexpr double k_far_left = -1000, k_far_right = 2000;
constexpr double k_fastest = 100;
constexpr long long k_longest = 1000000;

// How long a phase lasts, where it puts its emitter or turret and how that
// drifts: the same keys in both lists.
template <typename Tphase>
void read_place(Treader& r, const toml::table& t, Tphase& p) {
  r.whole(t, "frames", 0, k_longest, p.ACTIVETIME);
  r.number(t, "x", k_far_left, k_far_right, p.X);
  r.number(t, "y", k_far_left, k_far_right, p.Y);
  r.number(t, "x_speed", -k_fastest, k_fastest, p.XV);
  r.number(t, "y_speed", -k_fastest, k_fastest, p.YV);
}

void read_movement(Treader& r, const toml::table& t, Temitter_phase& p) {
  read_place(r, t, p);
  r.word_of(t, "pattern", pattern_words(), p.AI);
  r.number(t, "center_x", k_far_left, k_far_right, p.XCENTER);
  r.number(t, "center_y", k_far_left, k_far_right, p.YCENTER);
  r.whole(t, "angle_speed", -360, 360, p.ANGLE_SPEED);
  r.whole(t, "radius", -1000, 1000, p.RADIUS_DELTA);
  r.check_keys(t, " in a [[movement]] phase");
}

void read_firing(Treader& r, const toml::table& t, Tturret_phase& p) {
  read_place(r, t, p);
  r.flag(t, "aim", p.TARGETING);
  r.number(t, "gravity_x", -10, 10, p.XG);
  r.number(t, "gravity_y", -10, 10, p.YG);
  r.number(t, "spawn_radius_x", -1000, 1000, p.X_RADIUS);
  r.number(t, "spawn_radius_y", -1000, 1000, p.Y_RADIUS);
  r.whole(t, "min_direction", -3600, 3600, p.MINROTATION);
  r.whole(t, "max_direction", -3600, 3600, p.MAXROTATION);
  r.word(t, "turning", k_turnings, p.ROTATION_TYPE);
  r.whole(t, "turn_speed", -3600, 3600, p.ROTSPEED);
  r.whole(t, "turn_direction", -1, 1, p.ROTDIR);
  r.whole(t, "first_shot_delay", 0, k_longest, p.SPAWNDELAY);
  r.whole(t, "wave_pause", 0, k_longest, p.MAXSPAWNDELAY);
  r.whole(t, "bullet_limit", 0, VP_SCENE_MAX_POOL, p.MAXBULLET);
  r.whole(t, "bullets_per_shot", 0, 360, p.BULLETS_PER_SHOT);
  r.whole(t, "spread", -360, 360, p.SPREAD_ROTATION);
  r.number(t, "bullet_speed", -k_fastest, k_fastest, p.BULLETSPEED);
  r.number(t, "speed_step", -k_fastest, k_fastest, p.BULLETSPEED_DELTA);
  r.number(t, "odd_shot_spread", -10, 10, p.BULLETOFFSET);
  r.word(t, "mode", k_modes, p.WAVEMODE);
  int shots = p.BULLETWAVEMAX + 1;
  r.whole(t, "shots_per_wave", 1, 1000, shots);
  p.BULLETWAVEMAX = shots - 1;
  r.whole(t, "shot_pause", 0, k_longest, p.BULLETWAVEMAXDELAY);
  r.whole(t, "bullet_stop_at", -100000, 100000, p.BULLETCOUNTERDELAY);
  r.word(t, "motion", k_motions, p.BULLET_TYPE);
  r.check_keys(t, " in a [[firing]] phase");
}

void read_spline(Treader& r, const toml::table& t, Tscene_desc& d) {
  r.whole(t, "points", VP_SCENE_MIN_SPLINE_POINTS, VP_SCENE_MAX_SPLINE_POINTS, d.spline_points);
  r.number(t, "speed", 0, 1, d.spline_speed);
  const toml::node* area = r.ask(t, "area");
  r.check_keys(t, " in [spline]");
  if (!area) return;
  const toml::array* values = area->as_array();
  if (!values || values->size() != 4) {
    r.error(area->source(), "`area` wants four numbers: [left, top, width, height]");
    return;
  }
  const char* const names[4] = {"`area` left", "`area` top", "`area` width", "`area` height"};
  const double mins[4] = {k_far_left, k_far_left, 0, 0};
  const double maxs[4] = {k_far_right, k_far_right, 4000, 4000};
  float* fields[4] = {&d.spline_area.left, &d.spline_area.top, &d.spline_area.width, &d.spline_area.height};
  for (int i = 0; i < 4; ++i) r.number_of(*values->get(static_cast<std::size_t>(i)), names[i], mins[i], maxs[i], *fields[i]);
}

void read_emitters(Treader& r, const toml::table& top, Tscene_desc& d) {
  int count = 0;
  r.whole(top, "emitters", 1, VP_SCENE_MAX_EMITTERS, count);
  const toml::node* node = r.ask(top, "start_angles");
  if (!node) {
    // Evenly spaced, as the built-in show's four are.
    if (count > 0 && count != d.EMITTERS()) {
      d.start_angles.clear();
      for (int i = 0; i < count; ++i) d.start_angles.push_back(i * 360 / count);
    }
    return;
  }
  const toml::array* angles = node->as_array();
  if (!angles || angles->empty() || angles->size() > VP_SCENE_MAX_EMITTERS) {
    r.error(node->source(), "`start_angles` wants a list of 1 to " + std::to_string(VP_SCENE_MAX_EMITTERS) +
                                " whole numbers of degrees, one per emitter");
    return;
  }
  if (count > 0 && static_cast<std::size_t>(count) != angles->size()) {
    r.error(node->source(), "`start_angles` holds " + std::to_string(angles->size()) + " angles but `emitters` is " +
                                std::to_string(count));
    return;
  }
  std::vector<int> read;
  for (const toml::node& angle : *angles) {
    const auto value = angle.value_exact<std::int64_t>();
    if (!angle.is_integer() || !value || *value < -3600 || *value > 3600) {
      r.error(angle.source(), "a start angle must be a whole number of degrees from -3600 to 3600");
      return;
    }
    read.push_back(static_cast<int>(*value));
  }
  d.start_angles = read;
}

template <typename Tphase>
void read_phases(Treader& r, const toml::array* tables, const Tphase& defaults, std::vector<Tphase>& out,
                 void (*read)(Treader&, const toml::table&, Tphase&)) {
  if (!tables) return;
  out.clear();
  for (const toml::node& node : *tables) {
    Tphase phase = defaults;
    read(r, *node.as_table(), phase);
    out.push_back(phase);
  }
}

}  // namespace

bool SCENE_TEXT_READ(const std::string& text, const std::string& name, Tscene_desc& desc, std::string& errors) {
  Treader r(text, name);
  // The parser's test for non-ASCII blanks reaches code it marks as
  // unreachable for many characters (accented letters among them), which is
  // undefined behaviour; so scene files are plain ASCII, comments included.
  for (std::size_t i = 0, line = 1, column = 1; i < text.size(); ++i, ++column) {
    if (static_cast<unsigned char>(text[i]) >= 0x80) {
      toml::source_region at;
      at.begin = toml::source_position{static_cast<toml::source_index>(line), static_cast<toml::source_index>(column)};
      r.error(at, "only plain ASCII characters may stand in a scene file, comments included");
      errors = r.errors;
      return false;
    }
    if (text[i] == '\n') {
      ++line;
      column = 0;
    }
  }
  toml::parse_result parsed = toml::parse(text, name);
  if (!parsed) {
    std::string what(parsed.error().description());
    const std::string prefix = "Error while parsing ";
    if (what.compare(0, prefix.size(), prefix) == 0) what = "syntax error in " + what.substr(prefix.size());
    r.error(parsed.error().source(), what);
    errors = r.errors;
    return false;
  }
  const toml::table& top = parsed.table();
  Tscene_desc d = SCENE_BUILTIN();
  int format = VP_SCENE_FORMAT;
  r.whole(top, "format", 1, VP_SCENE_FORMAT, format);
  read_emitters(r, top, d);
  r.whole(top, "pool_size", 1, VP_SCENE_MAX_POOL, d.pool_size);
  const toml::table* spline = r.table_at(top, "spline");
  const toml::array* movement = r.phases_at(top, "movement");
  const toml::array* firing = r.phases_at(top, "firing");
  r.check_keys(top, "");
  if (spline) read_spline(r, *spline, d);
  read_phases(r, movement, default_movement(), d.movement, read_movement);
  read_phases(r, firing, default_firing(), d.firing, read_firing);
  errors = r.errors;
  if (!errors.empty()) return false;
  desc = d;
  return true;
}

bool SCENE_FILE_READ(const std::string& path, Tscene_desc& desc, std::string& errors) {
  const auto refuse = [&](const std::string& why) {
    errors = path + ": cannot read the scene file (" + why + ")\n";
    return false;
  };
  // Looked at before it is opened: opening a FIFO blocks until a writer comes.
  struct stat info;
  if (stat(path.c_str(), &info) != 0) return refuse(std::strerror(errno));
  if (!S_ISREG(info.st_mode)) return refuse("not a regular file");
  std::ifstream file(path, std::ios::binary);
  if (!file) return refuse(std::strerror(errno));
  // One byte past the limit is asked for, so that a file that grew since
  // the look above is refused too.
  std::string text(static_cast<std::size_t>(VP_SCENE_MAX_FILE_BYTES) + 1, '\0');
  file.read(&text[0], static_cast<std::streamsize>(text.size()));
  if (file.bad()) return refuse(std::strerror(errno));
  text.resize(static_cast<std::size_t>(file.gcount()));
  if (text.size() > static_cast<std::size_t>(VP_SCENE_MAX_FILE_BYTES))
    return refuse("larger than " + std::to_string(VP_SCENE_MAX_FILE_BYTES) + " bytes, the most a scene file may hold");
  return SCENE_TEXT_READ(text, path, desc, errors);
}
